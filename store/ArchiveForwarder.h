#pragma once

#include <QObject>
#include <QString>

#include <memory>

class ArchiveStore;
class Journal;
class QTimer;

// Store and forward: sends the journal's finished shots to the plant archive, oldest first,
// and marks each as archived once the server has it. While the server cannot be reached the
// shots wait in the journal; the forwarder tries again, a little less often each time up to
// maxRetryMs. A shot is written with its id as key, so one sent again after a crash between
// the write and the mark is not doubled.
//
// Lives on a thread of its own (the network may hang); its owner moves it there, then calls
// start() there.
class ArchiveForwarder : public QObject
{
    Q_OBJECT

public:
    static constexpr int firstRetryMs = 1000;
    static constexpr int maxRetryMs = 10000;
    // Shots sent between two looks at the event loop, so that a stop is not held up long.
    static constexpr int batch = 20;

    ArchiveForwarder(const QString& journalPath, const QString& connection, const QString& station,
                     QObject* parent = nullptr);
    ~ArchiveForwarder() override;

    void start();
    // A shot was finished: send it now rather than at the next try.
    void forwardNow();

signals:
    // connected: the server took the last attempt; waiting: shots not yet archived.
    void stateChanged(bool connected, int waiting, const QString& error);

private:
    void forward();
    void scheduleRetry();

    QString m_journalPath;
    QString m_connection;
    QString m_station;
    std::unique_ptr<Journal> m_journal;
    std::unique_ptr<ArchiveStore> m_archive;
    QTimer* m_timer = nullptr;
    int m_retryMs = firstRetryMs;
    QString m_error;
};
