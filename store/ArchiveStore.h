#pragma once

#include "store/StoredShot.h"

#include <QDateTime>
#include <QString>
#include <QUuid>
#include <QVector>

#include <memory>
#include <optional>

// The plant archive: every station's shots on a PostgreSQL server, kept for years. Plain SQL
// tables that the program creates and upgrades itself (the schema is in README); a shot's id
// is its key, so writing a shot again changes nothing.
//
// One object holds one connection and is used from one thread only: open() registers the
// connection in the thread that calls it, and that thread also destroys the object.
class ArchiveStore
{
public:
    static constexpr int schemaVersion = 1;

    struct Row
    {
        QString station;
        QUuid id;
        QDateTime startedAt;
        int samples = 0;
        QString verdict;
    };

    // The server named by VENTARO_ARCHIVE, else empty.
    static QString connectionFromEnvironment();

    // connectionName: unique per object (QSqlDatabase's connection name).
    explicit ArchiveStore(const QString& connectionName);
    ~ArchiveStore();
    ArchiveStore(const ArchiveStore&) = delete;
    ArchiveStore& operator=(const ArchiveStore&) = delete;

    // connection: a libpq connection string ("host=/run/x port=5433 dbname=plant user=qa").
    // Connects and brings the tables to schemaVersion; false with error() on failure.
    bool open(const QString& connection);
    void close();
    // False once the server went away; open again to reconnect.
    bool isOpen() const;
    QString error() const { return m_error; }

    // Writes one shot of a station; true also when its id is stored already.
    bool write(const StoredShot& shot);
    // Shots of station (empty: every station) started within [from, to] (an invalid time
    // leaves that end open), in time order; nothing on failure.
    std::optional<QVector<Row>> list(const QString& station, const QDateTime& from,
                                     const QDateTime& to);
    std::optional<StoredShot> read(const QUuid& id);

private:
    bool upgradeSchema();
    // Records the failure of what; closes the connection when the server is not reachable.
    bool failed(const QString& what, const QString& errorText);

    struct Private;
    std::unique_ptr<Private> d;
    QString m_error;
};
