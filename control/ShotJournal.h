#pragma once

#include "store/Journal.h"
#include "store/StoredShot.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>
#include <QTimer>
#include <QUuid>
#include <QVector>

#include <memory>

class JournalWriter;
class Model;

// Every live shot goes to this program's journal as it is recorded: the running shot's
// readings at least every flushMs, a finished shot whole as soon as it ends. The writing
// runs on a thread of its own; this side only gathers readings and tells it what happened
// (saved with the project file, discarded by the user).
class ShotJournal : public QObject
{
    Q_OBJECT

public:
    static constexpr int flushMs = 250;

    // Opens this program's journal in folder (Journal::openOwn).
    ShotJournal(Model* model, const QString& folder, QObject* parent = nullptr);
    // Writes what is pending, ends the run's session and stops the thread.
    ~ShotJournal() override;

    bool isOpen() const { return m_reader && m_reader->isOpen(); }
    QString error() const { return m_error; }
    QString path() const { return m_path; }
    // A connection of the GUI thread for reading; null when the journal could not be opened.
    Journal* reader() const { return m_reader.get(); }
    // Unsaved shots of earlier runs that ended without their user's decision (a crash,
    // a killed program, a power cut), oldest first.
    QVector<Journal::Entry> leftBehind() const;

    // The model's shot index just got its first readings' shot; it gets a journal id.
    void startShot(int index);
    void appendReadings(const QVector<double>& readings);
    // Ends the running shot, if any, with its verdict ("OK", "NOK" or empty).
    void finishShot(const QString& verdict);
    int runningIndex() const { return m_runningIndex; }
    // The model's shot index came whole, not live (from the device's black box): it is
    // journalled at once as a finished shot, so that a recovery and the plant archive have it
    // as they have live shots.
    void addWholeShot(int index);
    // The user threw these shots away; they are never offered again.
    void discard(const QVector<QUuid>& ids);
    // Discarded shots the user took back.
    void restore(const QVector<QUuid>& ids);
    // Every live shot of the model.
    void discardAll();
    void prune(int days, bool keepUnarchived);
    // Posts the readings gathered so far to the writer now (the timer does so every flushMs).
    void flush();

signals:
    void failed(const QString& error);
    void shotFinished(const QUuid& id);

private:
    void onProjectWritten(const QString& path, int shots);
    // The journal's record of the model's shot index, with a new id that the model keeps.
    StoredShot startRecord(int index);
    template <typename Call>
    void post(Call call);

    Model* m_model;
    QString m_path;
    QString m_error;
    std::unique_ptr<Journal> m_reader;
    QThread m_thread;
    QPointer<JournalWriter> m_writer;
    QUuid m_running;
    int m_runningIndex = -1;
    int m_shotNumber = 0;
    qint64 m_session = 0;
    QVector<double> m_pending;
    QTimer m_flush;
};
