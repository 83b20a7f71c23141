#pragma once

#include "store/StoredShot.h"

#include <QDateTime>
#include <QString>
#include <QUuid>
#include <QVariant>
#include <QVector>

#include <memory>
#include <optional>

class QLockFile;
class QSqlQuery;

// The journal of every live shot, in an embedded SQLite database, so that no shot is lost
// between two saves of the project: a crash, a killed program or a power cut leaves every
// finished shot whole and the running one up to its last written samples.
//
// One object holds one connection and is used from one thread only (the writer's thread,
// the archive's thread, a recovery); several may open the same file at once. The file is in
// WAL mode with synchronous=FULL: a commit is on the disk when it returns.
//
// A shot is Unsaved until the project file holding it was written (Saved, with that file)
// or the user threw it away (Discarded); only unsaved shots are offered for recovery.
class Journal
{
public:
    enum class State
    {
        Unsaved = 0,
        Saved = 1,
        Discarded = 2
    };

    // What the journal knows of a shot without its samples.
    struct Entry
    {
        QUuid id;
        // The program run that recorded it, and its number within that run from 1.
        qint64 session = 0;
        int shot = 0;
        // The run ended normally (its user decided about every shot it recorded); false
        // after a crash, a killed program or a power cut.
        bool sessionEnded = false;
        QDateTime startedAt;
        int samples = 0;
        // False for a shot whose end was never written (the program died while it ran).
        bool finished = false;
        QString projectName;
        QString projectFile;
        State state = State::Unsaved;
        QString savedFile;
        bool archived = false;
    };

    static constexpr int schemaVersion = 1;

    // VENTARO_DATA_DIR when set, else the application's data folder; created when missing,
    // empty when it cannot be.
    static QString defaultFolder();
    // The lock file that a program holds beside its own journal (openOwn).
    static QString lockPath(const QString& journalPath);

    // connectionName: unique per object (QSqlDatabase's connection name).
    explicit Journal(const QString& connectionName);
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Opens or creates the journal file at path; false with error() on failure. A journal of
    // a newer schema than this program knows is refused and left as it is; an older one is
    // upgraded.
    bool open(const QString& path);
    // The journal of this program in folder: journal.sqlite, or when another running
    // program holds that one, journal-2.sqlite and so on. Holds a lock file beside it until
    // closed, so a second program never writes into this one.
    bool openOwn(const QString& folder);
    void close();
    bool isOpen() const;
    QString path() const;
    QString error() const { return m_error; }

    // --- writing (the writer's thread)
    // A new program run; returns its number, 0 on failure.
    qint64 beginSession(const QDateTime& started);
    bool endSession(qint64 session);
    // A new shot of session, numbered shot; meta's samples are ignored (appendSamples).
    bool beginShot(const StoredShot& meta, qint64 session, int shot);
    // Appends rows of five readings (sensor 1 to 5 of a value line, then the next line), in
    // one transaction. Refused for an unknown or finished shot.
    bool appendRows(const QUuid& id, const QVector<double>& rows);
    bool finishShot(const QUuid& id, const QString& verdict);
    // The marks pass over ids the journal does not hold (shots opened from a file); the last
    // mark of a shot holds.
    bool markSaved(const QVector<QUuid>& ids, const QString& file);
    bool markDiscarded(const QVector<QUuid>& ids);
    // Discarded shots the user took back (an undone deletion): offered again after a crash.
    bool markUnsaved(const QVector<QUuid>& ids);
    bool markArchived(const QUuid& id);
    // Removes shots saved or discarded more than days ago; with keepUnarchived, those not yet
    // in the plant archive stay. Returns the number removed, -1 on failure.
    int prune(int days, bool keepUnarchived, const QDateTime& now = QDateTime::currentDateTime());

    // --- reading
    // Unsaved shots, finished or not, in the order they were recorded.
    QVector<Entry> unsaved() const;
    // Finished shots not yet in the plant archive, oldest first, at most limit.
    QVector<Entry> unarchived(int limit) const;
    int unarchivedCount() const;
    std::optional<Entry> entry(const QUuid& id) const;
    // The shot with its samples as far as they were written.
    std::optional<StoredShot> read(const QUuid& id) const;

private:
    // The version of the file, 0 for an empty one, -1 with error() for a foreign or
    // unreadable one.
    int storedVersion();
    bool acceptable(int version);
    bool prepareSchema();
    bool begin();
    bool commit();
    void rollback();
    // Sets error() from query, rolls back; returns false.
    bool fail(QSqlQuery& query, const QString& what);
    bool updateOne(const QString& sql, const QVariantList& values, const QUuid& id);
    bool mark(const QVector<QUuid>& ids, State state, const QString& file);
    QVector<Entry> entries(const QString& where, const QVariantList& values) const;

    struct Private;
    std::unique_ptr<Private> d;
    mutable QString m_error;
};
