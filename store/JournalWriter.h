#pragma once

#include "store/Journal.h"

#include <QObject>
#include <QString>
#include <QUuid>
#include <QVector>

#include <memory>

// The journal's writing side for one program run, on a thread of its own so that a commit
// (synchronous on the disk) never holds up the device's lines. Its owner moves it to the
// thread and calls it there only (queued); every call is one transaction.
class JournalWriter : public QObject
{
    Q_OBJECT

public:
    explicit JournalWriter(const QString& path, QObject* parent = nullptr);
    ~JournalWriter() override;

    // Opens the file for the run's session (begun by the owner); failed() tells when it
    // cannot.
    void open(qint64 session);
    void beginShot(const StoredShot& meta, int number);
    void appendRows(const QUuid& id, const QVector<double>& rows);
    void finishShot(const QUuid& id, const QString& verdict);
    void markSaved(const QVector<QUuid>& ids, const QString& file);
    void markDiscarded(const QVector<QUuid>& ids);
    void markUnsaved(const QVector<QUuid>& ids);
    // The run ended normally: its shots are not offered as left behind by a crash.
    void endSession();
    void prune(int days, bool keepUnarchived);

signals:
    void failed(const QString& error);
    void shotFinished(const QUuid& id);

private:
    // Reports a failed call once per kind of failure, so that a full disk does not flood.
    void report(bool ok);

    QString m_path;
    std::unique_ptr<Journal> m_journal;
    qint64 m_session = 0;
    QString m_lastError;
};
