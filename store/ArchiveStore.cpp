#include "store/ArchiveStore.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <QtEndian>

#include <cstring>
#include <utility>

namespace {

// Without a timeout of its own, libpq waits as long as the operating system lets a TCP
// connect hang: minutes, while the station's shots pile up in the journal.
constexpr int defaultConnectTimeoutS = 5;

// Any constant of ours: upgrades of the schema by two stations at once take turns on it.
constexpr qint64 schemaLockKey = 0x56454e5441524f31; // "VENTARO1"

struct SchemaStatement
{
    QString sql;
    // Left out where the server cannot do it: the tables work without it.
    bool optional = false;
};

// Each step brings the schema from the version before it to its own (index + 1).
const QVector<QVector<SchemaStatement>>& schemaSteps()
{
    static const QVector<QVector<SchemaStatement>> steps = {
        {
            {QStringLiteral("CREATE TABLE shots ("
                            " id uuid PRIMARY KEY,"
                            " station text NOT NULL,"
                            " project_name text NOT NULL DEFAULT '',"
                            " project_number text NOT NULL DEFAULT '',"
                            " started_at timestamptz NOT NULL,"
                            " sample_period_ms integer NOT NULL,"
                            " sensor_names text[] NOT NULL,"
                            " sensor_units text[] NOT NULL,"
                            " sample_count integer NOT NULL,"
                            " verdict text,"
                            " received_at timestamptz NOT NULL DEFAULT now())")},
            {QStringLiteral(
                "CREATE INDEX shots_station_started_at ON shots (station, started_at)")},
            {QStringLiteral("CREATE INDEX shots_started_at ON shots (started_at)")},
            {QStringLiteral("CREATE TABLE samples ("
                            " shot_id uuid NOT NULL REFERENCES shots (id) ON DELETE CASCADE,"
                            " sensor smallint NOT NULL,"
                            " data bytea NOT NULL,"
                            " PRIMARY KEY (shot_id, sensor))")},
            // Measured curves shrink to about 40 % with either method, but the default one
            // costs the server four times as long per shot (PostgreSQL 14 on, built with lz4).
            {QStringLiteral("ALTER TABLE samples ALTER COLUMN data SET COMPRESSION lz4"), true},
        },
    };
    return steps;
}

struct Connection
{
    QMap<QString, QString> values;
    QString error;
};

// libpq's keyword/value form: key = value pairs apart by white space, a value in single
// quotes where it holds spaces, with \' and \\ inside.
Connection parseConnection(const QString& text)
{
    Connection result;
    const auto fail = [&result](const QString& why) {
        result.values.clear();
        result.error = QStringLiteral("the archive's connection string is malformed: %1").arg(why);
        return result;
    };
    if (text.contains(QStringLiteral("://")))
        return fail(QStringLiteral("write it as key=value pairs, not as a URI"));
    const int n = text.size();
    int i = 0;
    while (true) {
        while (i < n && text.at(i).isSpace())
            ++i;
        if (i >= n)
            break;
        const int keyStart = i;
        while (i < n && !text.at(i).isSpace() && text.at(i) != QLatin1Char('='))
            ++i;
        const QString key = text.mid(keyStart, i - keyStart);
        while (i < n && text.at(i).isSpace())
            ++i;
        if (key.isEmpty() || i >= n || text.at(i) != QLatin1Char('='))
            return fail(QStringLiteral("\"%1\" is not followed by =")
                            .arg(text.mid(keyStart, i - keyStart)));
        ++i;
        while (i < n && text.at(i).isSpace())
            ++i;
        QString value;
        if (i < n && text.at(i) == QLatin1Char('\'')) {
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar c = text.at(i++);
                if (c == QLatin1Char('\\') && i < n) {
                    value.append(text.at(i++));
                } else if (c == QLatin1Char('\'')) {
                    closed = true;
                    break;
                } else {
                    value.append(c);
                }
            }
            if (!closed)
                return fail(QStringLiteral("the quoted value of %1 is not closed").arg(key));
        } else {
            while (i < n && !text.at(i).isSpace()) {
                const QChar c = text.at(i++);
                if (c == QLatin1Char('\\') && i < n)
                    value.append(text.at(i++));
                else
                    value.append(c);
            }
        }
        if (result.values.contains(key))
            return fail(QStringLiteral("%1 is given twice").arg(key));
        result.values.insert(key, value);
    }
    if (result.values.isEmpty())
        return fail(QStringLiteral("it is empty"));
    return result;
}

// Qt hands the options to libpq after turning every ';' into a space, so values are quoted
// the libpq way and a ';' inside one cannot be passed on.
QString quotedOption(const QString& value)
{
    QString escaped = value;
    escaped.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    escaped.replace(QStringLiteral("'"), QStringLiteral("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

QByteArray encodeSamples(const QVector<double>& samples)
{
    QByteArray bytes(samples.size() * int(sizeof(double)), Qt::Uninitialized);
    char* out = bytes.data();
    for (const double v : samples) {
        quint64 bits;
        std::memcpy(&bits, &v, sizeof bits);
        qToLittleEndian(bits, out);
        out += sizeof bits;
    }
    return bytes;
}

QVector<double> decodeSamples(const QByteArray& bytes)
{
    QVector<double> samples(bytes.size() / int(sizeof(double)));
    const char* in = bytes.constData();
    for (double& v : samples) {
        const quint64 bits = qFromLittleEndian<quint64>(in);
        std::memcpy(&v, &bits, sizeof v);
        in += sizeof bits;
    }
    return samples;
}

// libpq's messages run over several lines; the archive's error is one line for a tool tip
// or a script's standard error.
QString oneLine(const QString& text)
{
    return text.simplified();
}

QString uuidText(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces);
}

// Qt binds a null QString as SQL NULL; the archive keeps missing texts as ''.
QString text(const QString& value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

} // namespace

struct ArchiveStore::Private
{
    QString connectionName;
    // Set while a connection of ours is registered with QSqlDatabase.
    bool registered = false;
    bool open = false;
    // Prepared once per connection: it runs for every shot of every station.
    std::unique_ptr<QSqlQuery> insertShot;

    QSqlDatabase database() const { return QSqlDatabase::database(connectionName, false); }
};

QString ArchiveStore::connectionFromEnvironment()
{
    return qEnvironmentVariable("VENTARO_ARCHIVE").trimmed();
}

ArchiveStore::ArchiveStore(const QString& connectionName)
    : d(std::make_unique<Private>())
{
    d->connectionName = connectionName;
}

ArchiveStore::~ArchiveStore()
{
    close();
}

bool ArchiveStore::open(const QString& connection)
{
    close();
    m_error.clear();
    const Connection parsed = parseConnection(connection);
    if (!parsed.error.isEmpty()) {
        m_error = parsed.error;
        return false;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        m_error = QStringLiteral("Qt's PostgreSQL driver (QPSQL, package libqt5sql5-psql) is "
                                 "not installed");
        return false;
    }

    QString port;
    QStringList options;
    bool timeoutGiven = false;
    for (auto it = parsed.values.cbegin(); it != parsed.values.cend(); ++it) {
        if (it.key() == QLatin1String("host") || it.key() == QLatin1String("dbname") ||
            it.key() == QLatin1String("user") || it.key() == QLatin1String("password"))
            continue;
        if (it.key() == QLatin1String("port")) {
            port = it.value();
            continue;
        }
        if (it.value().contains(QLatin1Char(';'))) {
            m_error = QStringLiteral("the archive's connection string is malformed: the value "
                                     "of %1 holds a ';', which cannot be passed on")
                          .arg(it.key());
            return false;
        }
        timeoutGiven = timeoutGiven || it.key() == QLatin1String("connect_timeout");
        options.append(it.key() + QLatin1Char('=') + quotedOption(it.value()));
    }
    if (!timeoutGiven)
        options.append(QStringLiteral("connect_timeout=%1").arg(defaultConnectTimeoutS));
    bool portOk = true;
    const int portNumber = port.isEmpty() ? -1 : port.toInt(&portOk);
    if (!portOk || (!port.isEmpty() && (portNumber < 1 || portNumber > 65535))) {
        m_error = QStringLiteral("the archive's connection string is malformed: port \"%1\" is "
                                 "no port number")
                      .arg(port);
        return false;
    }

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), d->connectionName);
        d->registered = true;
        db.setHostName(parsed.values.value(QStringLiteral("host")));
        db.setDatabaseName(parsed.values.value(QStringLiteral("dbname")));
        db.setUserName(parsed.values.value(QStringLiteral("user")));
        db.setPassword(parsed.values.value(QStringLiteral("password")));
        db.setPort(portNumber);
        db.setConnectOptions(options.join(QLatin1Char(';')));
        if (!db.open()) {
            m_error = QStringLiteral("cannot connect to the archive: %1")
                          .arg(oneLine(db.lastError().text()));
            db = QSqlDatabase();
            close();
            return false;
        }
    }
    d->open = true;
    if (!upgradeSchema()) {
        close();
        return false;
    }
    return true;
}

bool ArchiveStore::upgradeSchema()
{
    QSqlDatabase db = d->database();
    QSqlQuery query(db);
    const auto fail = [&](const QString& what) {
        m_error = QStringLiteral("the archive's tables: %1: %2")
                      .arg(what, oneLine(query.lastError().text()));
        db.rollback();
        return false;
    };
    if (!db.transaction()) {
        m_error = QStringLiteral("the archive's tables: %1").arg(oneLine(db.lastError().text()));
        return false;
    }
    if (!query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(schemaLockKey)))
        return fail(QStringLiteral("lock"));
    // Looked up rather than created blindly: a role that may only read has no right to
    // CREATE, not even for a table that exists.
    if (!query.exec(QStringLiteral("SELECT to_regclass('schema_version') IS NOT NULL")) ||
        !query.next())
        return fail(QStringLiteral("look-up"));
    int version = 0;
    if (query.value(0).toBool()) {
        if (!query.exec(QStringLiteral("SELECT max(version) FROM schema_version")) || !query.next())
            return fail(QStringLiteral("version"));
        version = query.value(0).toInt();
    } else if (!query.exec(
                   QStringLiteral("CREATE TABLE schema_version (version integer NOT NULL)"))) {
        return fail(QStringLiteral("create"));
    }
    if (version > schemaVersion) {
        m_error = QStringLiteral("the archive's tables are of version %1, newer than this "
                                 "program knows (%2); update the program")
                      .arg(version)
                      .arg(schemaVersion);
        db.rollback();
        return false;
    }
    if (version == schemaVersion)
        return db.commit() || fail(QStringLiteral("commit"));
    for (int step = version; step < schemaVersion; ++step) {
        for (const SchemaStatement& statement : schemaSteps().at(step)) {
            if (!statement.optional) {
                if (!query.exec(statement.sql))
                    return fail(QStringLiteral("upgrade to version %1").arg(step + 1));
                continue;
            }
            // A failed statement spoils the whole transaction unless it had a savepoint.
            if (!query.exec(QStringLiteral("SAVEPOINT optional")))
                return fail(QStringLiteral("upgrade to version %1").arg(step + 1));
            const bool done = query.exec(statement.sql);
            if (!query.exec(done ? QStringLiteral("RELEASE SAVEPOINT optional")
                                 : QStringLiteral("ROLLBACK TO SAVEPOINT optional")))
                return fail(QStringLiteral("upgrade to version %1").arg(step + 1));
        }
    }
    if (!query.exec(QStringLiteral("DELETE FROM schema_version")) ||
        !query.exec(
            QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(schemaVersion)))
        return fail(QStringLiteral("version"));
    if (!db.commit())
        return fail(QStringLiteral("commit"));
    return true;
}

void ArchiveStore::close()
{
    d->insertShot.reset();
    d->open = false;
    if (d->registered) {
        {
            QSqlDatabase db = d->database();
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(d->connectionName);
        d->registered = false;
    }
}

bool ArchiveStore::isOpen() const
{
    return d->open;
}

bool ArchiveStore::failed(const QString& what, const QString& errorText)
{
    m_error = QStringLiteral("%1: %2").arg(what, oneLine(errorText));
    QSqlDatabase db = d->database();
    if (db.isOpen())
        db.rollback();
    // A statement also fails for reasons of its own; the connection is gone only when not
    // even a trivial one gets through. The connection is removed later, by close() or the
    // next open(), when the caller's queries on it are gone.
    if (!db.isOpen() || !QSqlQuery(db).exec(QStringLiteral("SELECT 1"))) {
        d->insertShot.reset();
        d->open = false;
        db.close();
    }
    return false;
}

bool ArchiveStore::write(const StoredShot& shot)
{
    if (!d->open) {
        m_error = QStringLiteral("the archive is not connected");
        return false;
    }
    if (shot.id.isNull() || shot.station.isEmpty() || !shot.startedAt.isValid()) {
        m_error = QStringLiteral("a shot without id, station or start time is not archived");
        return false;
    }
    for (const QVector<double>& samples : shot.samples) {
        if (samples.size() != shot.sampleCount()) {
            m_error = QStringLiteral("shot %1: its sensors differ in their number of samples")
                          .arg(uuidText(shot.id));
            return false;
        }
    }
    if (!d->insertShot) {
        // One statement is one transaction of its own: the shot and its samples land
        // together or not at all, in one round trip to the server. When the id is there
        // already, the shot's row returns nothing and no sample is inserted.
        QString statement = QStringLiteral(
            "WITH shot AS (INSERT INTO shots (id, station, project_name, project_number,"
            " started_at, sample_period_ms, sensor_names, sensor_units, sample_count, verdict)"
            " VALUES (?::uuid, ?, ?, ?, to_timestamp(?::float8 / 1000), ?::integer,"
            " ARRAY[?::text, ?::text, ?::text, ?::text, ?::text],"
            " ARRAY[?::text, ?::text, ?::text, ?::text, ?::text], ?::integer, ?)"
            " ON CONFLICT (id) DO NOTHING RETURNING id)"
            " INSERT INTO samples (shot_id, sensor, data)"
            " SELECT shot.id, sensor, data FROM shot, (VALUES ");
        for (int k = 0; k < StoredShot::numSensors; ++k)
            statement += QStringLiteral("%1(%2, ?::bytea)")
                             .arg(k == 0 ? QString() : QStringLiteral(", "))
                             .arg(k + 1);
        statement += QStringLiteral(") AS sensors (sensor, data)");
        d->insertShot = std::make_unique<QSqlQuery>(d->database());
        if (!d->insertShot->prepare(statement)) {
            const QString error = d->insertShot->lastError().text();
            d->insertShot.reset();
            return failed(QStringLiteral("cannot prepare the archive's statements"), error);
        }
    }
    QSqlQuery& insert = *d->insertShot;
    insert.addBindValue(uuidText(shot.id));
    insert.addBindValue(shot.station);
    insert.addBindValue(text(shot.projectName));
    insert.addBindValue(text(shot.projectNumber));
    insert.addBindValue(shot.startedAt.toMSecsSinceEpoch());
    insert.addBindValue(shot.clockMs);
    for (const QString& name : shot.sensorNames)
        insert.addBindValue(text(name));
    for (const QString& unit : shot.sensorUnits)
        insert.addBindValue(text(unit));
    insert.addBindValue(shot.sampleCount());
    insert.addBindValue(shot.verdict.isEmpty() ? QVariant(QVariant::String)
                                               : QVariant(shot.verdict));
    for (const QVector<double>& samples : shot.samples)
        insert.addBindValue(encodeSamples(samples));
    if (!insert.exec())
        return failed(QStringLiteral("cannot archive shot %1").arg(uuidText(shot.id)),
                      insert.lastError().text());
    return true;
}

std::optional<QVector<ArchiveStore::Row>>
ArchiveStore::list(const QString& station, const QDateTime& from, const QDateTime& to)
{
    if (!d->open) {
        m_error = QStringLiteral("the archive is not connected");
        return std::nullopt;
    }
    QString statement =
        QStringLiteral("SELECT station, id::text, (extract(epoch FROM started_at) * 1000)::bigint,"
                       " sample_count, coalesce(verdict, '') FROM shots WHERE true");
    QVariantList values;
    if (!station.isEmpty()) {
        statement += QStringLiteral(" AND station = ?");
        values.append(station);
    }
    if (from.isValid()) {
        statement += QStringLiteral(" AND started_at >= to_timestamp(?::float8 / 1000)");
        values.append(from.toMSecsSinceEpoch());
    }
    if (to.isValid()) {
        statement += QStringLiteral(" AND started_at <= to_timestamp(?::float8 / 1000)");
        values.append(to.toMSecsSinceEpoch());
    }
    statement += QStringLiteral(" ORDER BY started_at, station, id");
    QSqlQuery query(d->database());
    query.setForwardOnly(true);
    if (!query.prepare(statement)) {
        failed(QStringLiteral("cannot list the archive's shots"), query.lastError().text());
        return std::nullopt;
    }
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        failed(QStringLiteral("cannot list the archive's shots"), query.lastError().text());
        return std::nullopt;
    }
    QVector<Row> rows;
    while (query.next()) {
        Row row;
        row.station = query.value(0).toString();
        row.id = QUuid(query.value(1).toString());
        row.startedAt = QDateTime::fromMSecsSinceEpoch(query.value(2).toLongLong());
        row.samples = query.value(3).toInt();
        row.verdict = query.value(4).toString();
        rows.append(row);
    }
    return rows;
}

std::optional<StoredShot> ArchiveStore::read(const QUuid& id)
{
    if (!d->open) {
        m_error = QStringLiteral("the archive is not connected");
        return std::nullopt;
    }
    const QString what = QStringLiteral("cannot read shot %1 from the archive").arg(uuidText(id));
    QSqlQuery query(d->database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "SELECT station, project_name, project_number,"
        " (extract(epoch FROM started_at) * 1000)::bigint, sample_period_ms,"
        " sensor_names[1], sensor_names[2], sensor_names[3], sensor_names[4], sensor_names[5],"
        " sensor_units[1], sensor_units[2], sensor_units[3], sensor_units[4], sensor_units[5],"
        " sample_count, coalesce(verdict, '') FROM shots WHERE id = ?::uuid"));
    query.addBindValue(uuidText(id));
    if (!query.exec()) {
        failed(what, query.lastError().text());
        return std::nullopt;
    }
    if (!query.next()) {
        m_error = QStringLiteral("no shot %1 in the archive").arg(uuidText(id));
        return std::nullopt;
    }
    StoredShot shot;
    shot.id = id;
    shot.station = query.value(0).toString();
    shot.projectName = query.value(1).toString();
    shot.projectNumber = query.value(2).toString();
    shot.startedAt = QDateTime::fromMSecsSinceEpoch(query.value(3).toLongLong());
    shot.clockMs = query.value(4).toInt();
    for (int k = 0; k < StoredShot::numSensors; ++k) {
        shot.sensorNames[size_t(k)] = query.value(5 + k).toString();
        shot.sensorUnits[size_t(k)] = query.value(10 + k).toString();
    }
    const int sampleCount = query.value(15).toInt();
    shot.verdict = query.value(16).toString();

    query.prepare(QStringLiteral("SELECT sensor, data FROM samples WHERE shot_id = ?::uuid"));
    query.addBindValue(uuidText(id));
    if (!query.exec()) {
        failed(what, query.lastError().text());
        return std::nullopt;
    }
    int found = 0;
    while (query.next()) {
        const int sensor = query.value(0).toInt();
        const QByteArray data = query.value(1).toByteArray();
        if (sensor < 1 || sensor > StoredShot::numSensors ||
            data.size() != sampleCount * int(sizeof(double))) {
            m_error = QStringLiteral("shot %1 is damaged in the archive: sensor %2 holds %3 "
                                     "bytes for %4 samples")
                          .arg(uuidText(id))
                          .arg(sensor)
                          .arg(data.size())
                          .arg(sampleCount);
            return std::nullopt;
        }
        shot.samples[size_t(sensor - 1)] = decodeSamples(data);
        ++found;
    }
    if (found != StoredShot::numSensors) {
        m_error = QStringLiteral("shot %1 is damaged in the archive: %2 of %3 sensors")
                      .arg(uuidText(id))
                      .arg(found)
                      .arg(StoredShot::numSensors);
        return std::nullopt;
    }
    return shot;
}
