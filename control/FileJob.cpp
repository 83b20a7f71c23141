#include "control/FileJob.h"

#include <QEventLoop>
#include <QPointer>

#include <atomic>
#include <thread>
#include <utility>

namespace {

std::function<void()>& workerStartHook()
{
    static std::function<void()> hook;
    return hook;
}

} // namespace

FileJob::FileJob(QObject* parent)
    : QObject(parent)
{
}

void FileJob::setWorkerStartHook(std::function<void()> hook)
{
    workerStartHook() = std::move(hook);
}

bool FileJob::runOnWorker(const Work& work, const Progress& progress)
{
    FileJob job;
    connect(&job, &FileJob::progress, &job, [&progress](int percent) { progress(percent); });
    return job.run(work);
}

bool FileJob::run(const Work& work)
{
    QEventLoop loop;
    std::atomic<int> lastPercent{-1};
    bool result = false;
    const std::function<void()> hook = std::exchange(workerStartHook(), nullptr);

    // Percent changes are few, so each may cross to the GUI thread as a queued call.
    const Progress report = [this, &lastPercent](int percent) {
        if (lastPercent.exchange(percent) == percent)
            return;
        QMetaObject::invokeMethod(
            this, [this, percent] { emit progress(percent); }, Qt::QueuedConnection);
    };

    std::thread worker([&] {
        if (hook)
            hook();
        result = work(report);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    // Progress calls still queued belong to a finished job.
    return result;
}
