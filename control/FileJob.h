#pragma once

#include <QObject>

#include <functional>

// Runs one file operation (open, save, export) on a worker thread while the calling GUI
// thread goes on with its event loop: the window repaints and device lines arrive. User
// input waits until the operation is done and is then handled in its order. The work
// touches only data of its own; it reports progress through a callback that may be called
// from the worker.
class FileJob : public QObject
{
    Q_OBJECT

public:
    using Progress = std::function<void(int percent)>;
    using Work = std::function<bool(const Progress& progress)>;

    explicit FileJob(QObject* parent = nullptr);

    // Returns the work's result once it has finished; progress() is emitted in the
    // calling thread meanwhile.
    bool run(const Work& work);

    // One job's run with its progress handed to progress in the calling thread: the
    // model's file work runner (Model::setFileWorkRunner).
    static bool runOnWorker(const Work& work, const Progress& progress);

    // For tests: runs on the worker thread before the next job's work, so that a test can
    // hold the work while lines and commands arrive. Used once.
    static void setWorkerStartHook(std::function<void()> hook);

signals:
    void progress(int percent);
};
