#include "store/Journal.h"

#include "app/Constants.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>
#include <QtEndian>

#include <cstring>

namespace {

constexpr int rowWidth = StoredShot::numSensors;
constexpr qint64 msPerDay = 24LL * 60 * 60 * 1000;

// The statements that bring a journal of version from to from + 1; none while version 1 is
// the only one. A new version adds its case and raises Journal::schemaVersion.
QStringList upgradeFrom(int from)
{
    switch (from) {
    default:
        return {};
    }
}

const char* const createStatements[] = {
    "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL)",
    // ended_ms stays empty for a run that never ended normally (a crash, a kill, a power cut).
    "CREATE TABLE sessions(key INTEGER PRIMARY KEY AUTOINCREMENT, started_at TEXT NOT NULL, "
    "started_ms INTEGER NOT NULL, ended_ms INTEGER)",
    // started_at keeps the local time with its offset as the user saw it; started_ms and
    // state_changed_ms are for ordering and pruning, which text times with offsets are not.
    "CREATE TABLE shots(key INTEGER PRIMARY KEY, uuid TEXT NOT NULL UNIQUE, "
    "session INTEGER NOT NULL, shot INTEGER NOT NULL, started_at TEXT NOT NULL, "
    "started_ms INTEGER NOT NULL, clock_ms INTEGER NOT NULL, project_name TEXT NOT NULL, "
    "project_number TEXT NOT NULL, project_file TEXT NOT NULL, sensor_names TEXT NOT NULL, "
    "sensor_units TEXT NOT NULL, samples INTEGER NOT NULL DEFAULT 0, "
    "finished INTEGER NOT NULL DEFAULT 0, state INTEGER NOT NULL DEFAULT 0, "
    "saved_file TEXT NOT NULL DEFAULT '', state_changed_ms INTEGER, "
    "archived INTEGER NOT NULL DEFAULT 0, verdict TEXT NOT NULL DEFAULT '')",
    "CREATE INDEX shots_state ON shots(state, started_ms)",
    "CREATE INDEX shots_archived ON shots(archived, finished, started_ms)",
    // Rows of five little-endian doubles, one chunk per write: appending a second of a
    // running shot is one insert and never rewrites what is already on the disk.
    "CREATE TABLE chunks(key INTEGER PRIMARY KEY, shot INTEGER NOT NULL, "
    "first_row INTEGER NOT NULL, data BLOB NOT NULL)",
    "CREATE UNIQUE INDEX chunks_shot ON chunks(shot, first_row)",
};

const char* const entryColumns =
    "uuid, session, shot, started_at, samples, finished, project_name, project_file, state, "
    "saved_file, archived, "
    "(SELECT ended_ms IS NOT NULL FROM sessions WHERE sessions.key = shots.session)";

QString isoWithOffset(const QDateTime& time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QDateTime fromIso(const QString& text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs).toLocalTime();
}

QString namesText(const std::array<QString, StoredShot::numSensors>& names)
{
    QJsonArray array;
    for (const QString& name : names)
        array.append(name);
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

std::array<QString, StoredShot::numSensors> namesFromText(const QString& text)
{
    std::array<QString, StoredShot::numSensors> names;
    const QJsonArray array = QJsonDocument::fromJson(text.toUtf8()).array();
    for (int k = 0; k < StoredShot::numSensors && k < array.size(); ++k)
        names[static_cast<size_t>(k)] = array.at(k).toString();
    return names;
}

QByteArray encodeRows(const QVector<double>& rows)
{
    QByteArray bytes(rows.size() * int(sizeof(double)), Qt::Uninitialized);
    if (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        std::memcpy(bytes.data(), rows.constData(), size_t(bytes.size()));
    } else {
        for (int i = 0; i < rows.size(); ++i) {
            quint64 bits;
            std::memcpy(&bits, &rows[i], sizeof bits);
            qToLittleEndian(bits, bytes.data() + i * int(sizeof bits));
        }
    }
    return bytes;
}

void decodeRows(const QByteArray& bytes, std::array<QVector<double>, StoredShot::numSensors>& out)
{
    const int values = bytes.size() / int(sizeof(double));
    const char* data = bytes.constData();
    for (int i = 0; i + rowWidth <= values; i += rowWidth) {
        for (int k = 0; k < rowWidth; ++k) {
            const quint64 bits = qFromLittleEndian<quint64>(data + (i + k) * int(sizeof(double)));
            double value;
            std::memcpy(&value, &bits, sizeof value);
            out[static_cast<size_t>(k)].append(value);
        }
    }
}

} // namespace

struct Journal::Private
{
    QString connectionName;
    QString path;
    QSqlDatabase db;
    std::unique_ptr<QLockFile> lock;
};

QString Journal::defaultFolder()
{
    QString folder = qEnvironmentVariable("VENTARO_DATA_DIR");
    if (folder.isEmpty()) {
        // The application's folder whichever program asks (the command line has a name of its
        // own), so that a recovery finds the journal the application wrote.
        const QString organization = QCoreApplication::organizationName();
        const QString application = QCoreApplication::applicationName();
        QCoreApplication::setOrganizationName(settingsOrganization);
        QCoreApplication::setApplicationName(settingsApplication);
        folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QCoreApplication::setOrganizationName(organization);
        QCoreApplication::setApplicationName(application);
    }
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return QString();
    return QDir(folder).absolutePath();
}

Journal::Journal(const QString& connectionName)
    : d(std::make_unique<Private>())
{
    d->connectionName = connectionName;
}

Journal::~Journal()
{
    close();
}

bool Journal::open(const QString& path)
{
    close();
    m_error.clear();
    d->path = QFileInfo(path).absoluteFilePath();
    d->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connectionName);
    if (!d->db.isValid()) {
        m_error = QStringLiteral("the SQLite driver of Qt is missing");
        close();
        return false;
    }
    d->db.setDatabaseName(d->path);
    // Writer, archive and recovery share the file; a busy one waits instead of failing.
    d->db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!d->db.open()) {
        m_error = QStringLiteral("%1: %2").arg(d->path, d->db.lastError().text());
        close();
        return false;
    }
    // Looked at before anything is written: a file of another program or of a newer Ventaro
    // stays exactly as it is.
    int version = storedVersion();
    if (version < 0 || !acceptable(version)) {
        close();
        return false;
    }
    QSqlQuery q(d->db);
    // auto_vacuum takes effect only before the first table; pruning then gives pages back.
    if ((version == 0 && !q.exec(QStringLiteral("PRAGMA auto_vacuum=INCREMENTAL"))) ||
        !q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !q.next() ||
        q.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0 ||
        !q.exec(QStringLiteral("PRAGMA synchronous=FULL"))) {
        m_error = QStringLiteral("%1: cannot be used as a journal (%2)")
                      .arg(d->path, q.lastError().isValid() ? q.lastError().text()
                                                            : QStringLiteral("no WAL mode"));
        close();
        return false;
    }
    q.finish();
    if (version != schemaVersion && !prepareSchema()) {
        close();
        return false;
    }
    return true;
}

int Journal::storedVersion()
{
    QSqlQuery q(d->db);
    if (!q.exec(QStringLiteral("SELECT count(*), sum(name = 'meta') FROM sqlite_master")) ||
        !q.next()) {
        m_error = QStringLiteral("%1: cannot be read as a journal (%2)")
                      .arg(d->path, q.lastError().text());
        return -1;
    }
    if (q.value(0).toInt() == 0)
        return 0;
    if (q.value(1).toInt() == 0) {
        m_error = QStringLiteral("%1 is a database of another program").arg(d->path);
        return -1;
    }
    if (!q.exec(QStringLiteral("SELECT value FROM meta WHERE key = 'schema_version'")) ||
        !q.next()) {
        m_error = QStringLiteral("%1: no journal version (%2)").arg(d->path, q.lastError().text());
        return -1;
    }
    return q.value(0).toInt();
}

bool Journal::acceptable(int version)
{
    if (version >= 0 && version <= schemaVersion)
        return true;
    m_error = QStringLiteral("%1 has journal version %2, this program knows up to %3; it stays "
                             "as it is for a newer Ventaro")
                  .arg(d->path)
                  .arg(version)
                  .arg(schemaVersion);
    return false;
}

// Creates or upgrades the tables in one transaction; another program may have done so since
// the version was read, so it is read again inside.
bool Journal::prepareSchema()
{
    if (!begin())
        return false;
    const int version = storedVersion();
    if (version < 0 || !acceptable(version)) {
        rollback();
        return false;
    }
    QSqlQuery q(d->db);
    if (version == 0) {
        for (const char* statement : createStatements) {
            if (!q.exec(QLatin1String(statement)))
                return fail(q, QStringLiteral("creating the tables"));
        }
        q.prepare(QStringLiteral("INSERT INTO meta(key, value) VALUES('schema_version', ?)"));
    } else {
        for (int v = version; v < schemaVersion; ++v) {
            for (const QString& statement : upgradeFrom(v)) {
                if (!q.exec(statement))
                    return fail(q, QStringLiteral("upgrading to version %1").arg(v + 1));
            }
        }
        q.prepare(QStringLiteral("UPDATE meta SET value = ? WHERE key = 'schema_version'"));
    }
    q.addBindValue(QString::number(schemaVersion));
    if (!q.exec())
        return fail(q, QStringLiteral("writing the version"));
    q.finish();
    return commit();
}

bool Journal::openOwn(const QString& folder)
{
    close();
    m_error.clear();
    if (!QDir().mkpath(folder)) {
        m_error = QStringLiteral("cannot create the folder %1").arg(folder);
        return false;
    }
    const QDir dir(folder);
    for (int n = 1; n <= 99; ++n) {
        const QString name = n == 1 ? QStringLiteral("journal.sqlite")
                                    : QStringLiteral("journal-%1.sqlite").arg(n);
        auto lock = std::make_unique<QLockFile>(lockPath(dir.filePath(name)));
        // Never stale while its program runs; a killed program's lock is taken over.
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) {
            if (lock->error() == QLockFile::LockFailedError)
                continue;
            m_error = QStringLiteral("cannot lock %1").arg(dir.filePath(name));
            return false;
        }
        if (!open(dir.filePath(name)))
            return false;
        d->lock = std::move(lock);
        return true;
    }
    m_error = QStringLiteral("every journal in %1 is held by a running program").arg(folder);
    return false;
}

QString Journal::lockPath(const QString& journalPath)
{
    return journalPath + QStringLiteral(".lock");
}

void Journal::close()
{
    if (d->db.isValid()) {
        d->db.close();
        d->db = QSqlDatabase();
        QSqlDatabase::removeDatabase(d->connectionName);
    }
    d->lock.reset();
}

bool Journal::isOpen() const
{
    return d->db.isValid() && d->db.isOpen();
}

QString Journal::path() const
{
    return d->path;
}

bool Journal::begin()
{
    if (!isOpen()) {
        m_error = QStringLiteral("the journal is not open");
        return false;
    }
    // IMMEDIATE takes the write lock at once, so the busy timeout applies; a deferred
    // transaction that reads first could fail at its first write instead.
    QSqlQuery q(d->db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        m_error = QStringLiteral("%1: %2").arg(d->path, q.lastError().text());
        return false;
    }
    return true;
}

bool Journal::commit()
{
    QSqlQuery q(d->db);
    if (!q.exec(QStringLiteral("COMMIT"))) {
        m_error = QStringLiteral("%1: %2").arg(d->path, q.lastError().text());
        rollback();
        return false;
    }
    return true;
}

void Journal::rollback()
{
    QSqlQuery q(d->db);
    q.exec(QStringLiteral("ROLLBACK"));
}

bool Journal::fail(QSqlQuery& query, const QString& what)
{
    m_error = QStringLiteral("%1: %2: %3").arg(d->path, what, query.lastError().text());
    query.finish();
    rollback();
    return false;
}

qint64 Journal::beginSession(const QDateTime& started)
{
    if (!begin())
        return 0;
    QSqlQuery q(d->db);
    q.prepare(QStringLiteral("INSERT INTO sessions(started_at, started_ms) VALUES(?, ?)"));
    q.addBindValue(isoWithOffset(started));
    q.addBindValue(started.toMSecsSinceEpoch());
    if (!q.exec()) {
        fail(q, QStringLiteral("starting a session"));
        return 0;
    }
    const qint64 session = q.lastInsertId().toLongLong();
    return commit() ? session : 0;
}

bool Journal::beginShot(const StoredShot& meta, qint64 session, int shot)
{
    if (meta.id.isNull() || !meta.startedAt.isValid()) {
        m_error = QStringLiteral("a shot needs an id and a start time");
        return false;
    }
    if (!begin())
        return false;
    QSqlQuery q(d->db);
    q.prepare(QStringLiteral(
        "INSERT INTO shots(uuid, session, shot, started_at, started_ms, clock_ms, project_name, "
        "project_number, project_file, sensor_names, sensor_units, verdict) "
        "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    q.addBindValue(meta.id.toString(QUuid::WithoutBraces));
    q.addBindValue(session);
    q.addBindValue(shot);
    q.addBindValue(isoWithOffset(meta.startedAt));
    q.addBindValue(meta.startedAt.toMSecsSinceEpoch());
    q.addBindValue(meta.clockMs);
    q.addBindValue(meta.projectName.isNull() ? QString(QLatin1String("")) : meta.projectName);
    q.addBindValue(meta.projectNumber.isNull() ? QString(QLatin1String("")) : meta.projectNumber);
    q.addBindValue(meta.projectFile.isNull() ? QString(QLatin1String("")) : meta.projectFile);
    q.addBindValue(namesText(meta.sensorNames));
    q.addBindValue(namesText(meta.sensorUnits));
    q.addBindValue(meta.verdict.isNull() ? QString(QLatin1String("")) : meta.verdict);
    if (!q.exec())
        return fail(q, QStringLiteral("adding shot %1").arg(meta.id.toString()));
    return commit();
}

bool Journal::appendRows(const QUuid& id, const QVector<double>& rows)
{
    if (rows.size() % rowWidth != 0) {
        m_error = QStringLiteral("%1 readings are no whole rows of five").arg(rows.size());
        return false;
    }
    if (rows.isEmpty())
        return true;
    if (!begin())
        return false;
    QSqlQuery q(d->db);
    q.prepare(QStringLiteral("SELECT key, samples, finished FROM shots WHERE uuid = ?"));
    q.addBindValue(id.toString(QUuid::WithoutBraces));
    if (!q.exec())
        return fail(q, QStringLiteral("appending samples"));
    if (!q.next() || q.value(2).toBool()) {
        rollback();
        m_error = QStringLiteral("%1: shot %2 is %3")
                      .arg(d->path, id.toString(),
                           q.isValid() ? QStringLiteral("finished") : QStringLiteral("unknown"));
        return false;
    }
    const qint64 key = q.value(0).toLongLong();
    const qint64 firstRow = q.value(1).toLongLong();
    q.finish();
    q.prepare(QStringLiteral("INSERT INTO chunks(shot, first_row, data) VALUES(?, ?, ?)"));
    q.addBindValue(key);
    q.addBindValue(firstRow);
    q.addBindValue(encodeRows(rows));
    if (!q.exec())
        return fail(q, QStringLiteral("appending samples"));
    q.prepare(QStringLiteral("UPDATE shots SET samples = samples + ? WHERE key = ?"));
    q.addBindValue(rows.size() / rowWidth);
    q.addBindValue(key);
    if (!q.exec())
        return fail(q, QStringLiteral("appending samples"));
    return commit();
}

bool Journal::updateOne(const QString& sql, const QVariantList& values, const QUuid& id)
{
    if (!begin())
        return false;
    QSqlQuery q(d->db);
    q.prepare(sql);
    for (const QVariant& value : values)
        q.addBindValue(value);
    q.addBindValue(id.toString(QUuid::WithoutBraces));
    if (!q.exec())
        return fail(q, QStringLiteral("changing shot %1").arg(id.toString()));
    if (q.numRowsAffected() != 1) {
        rollback();
        m_error = QStringLiteral("%1: no shot %2").arg(d->path, id.toString());
        return false;
    }
    return commit();
}

bool Journal::finishShot(const QUuid& id, const QString& verdict)
{
    return updateOne(QStringLiteral("UPDATE shots SET finished = 1, verdict = ? WHERE uuid = ?"),
                     {verdict.isNull() ? QString(QLatin1String("")) : verdict}, id);
}

bool Journal::endSession(qint64 session)
{
    if (!begin())
        return false;
    QSqlQuery q(d->db);
    q.prepare(QStringLiteral("UPDATE sessions SET ended_ms = ? WHERE key = ?"));
    q.addBindValue(QDateTime::currentMSecsSinceEpoch());
    q.addBindValue(session);
    if (!q.exec())
        return fail(q, QStringLiteral("ending session %1").arg(session));
    return commit();
}

int Journal::unarchivedCount() const
{
    QSqlQuery q(d->db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM shots WHERE finished = 1 AND archived = 0")) ||
        !q.next()) {
        m_error = QStringLiteral("%1: counting shots: %2").arg(d->path, q.lastError().text());
        return -1;
    }
    return q.value(0).toInt();
}

bool Journal::markArchived(const QUuid& id)
{
    return updateOne(QStringLiteral("UPDATE shots SET archived = 1 WHERE uuid = ?"), {}, id);
}

bool Journal::mark(const QVector<QUuid>& ids, State state, const QString& file)
{
    if (!begin())
        return false;
    QSqlQuery q(d->db);
    q.prepare(QStringLiteral(
        "UPDATE shots SET state = ?, saved_file = ?, state_changed_ms = ? WHERE uuid = ?"));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (const QUuid& id : ids) {
        q.addBindValue(int(state));
        q.addBindValue(file.isNull() ? QString(QLatin1String("")) : file);
        q.addBindValue(now);
        q.addBindValue(id.toString(QUuid::WithoutBraces));
        if (!q.exec())
            return fail(q, QStringLiteral("marking shot %1").arg(id.toString()));
    }
    return commit();
}

bool Journal::markSaved(const QVector<QUuid>& ids, const QString& file)
{
    return mark(ids, State::Saved, file);
}

bool Journal::markDiscarded(const QVector<QUuid>& ids)
{
    return mark(ids, State::Discarded, QString());
}

bool Journal::markUnsaved(const QVector<QUuid>& ids)
{
    return mark(ids, State::Unsaved, QString());
}

int Journal::prune(int days, bool keepUnarchived, const QDateTime& now)
{
    if (days < 0) {
        m_error = QStringLiteral("a number of days cannot be negative");
        return -1;
    }
    if (!begin())
        return -1;
    const qint64 cutoff = now.toMSecsSinceEpoch() - days * msPerDay;
    const QString old = QStringLiteral("state IN (1, 2) AND state_changed_ms < ?") +
                        (keepUnarchived ? QStringLiteral(" AND archived = 1") : QString());
    QSqlQuery q(d->db);
    const auto remove = [&](const QString& sql) {
        q.prepare(sql);
        q.addBindValue(cutoff);
        return q.exec() || fail(q, QStringLiteral("pruning"));
    };
    if (!remove(QStringLiteral("DELETE FROM chunks WHERE shot IN (SELECT key FROM shots WHERE "
                               "%1)")
                    .arg(old)) ||
        !remove(QStringLiteral("DELETE FROM shots WHERE %1").arg(old)))
        return -1;
    const int removed = q.numRowsAffected();
    // A session's row goes with its last shot; sessions are numbered on, never reused.
    if (!remove(QStringLiteral("DELETE FROM sessions WHERE started_ms < ? AND key NOT IN "
                               "(SELECT session FROM shots)")))
        return -1;
    q.finish();
    if (!commit())
        return -1;
    if (removed > 0) {
        // Outside the transaction; a failure only leaves free pages for later shots.
        QSqlQuery vacuum(d->db);
        vacuum.exec(QStringLiteral("PRAGMA incremental_vacuum"));
        while (vacuum.next()) {
        }
    }
    return removed;
}

QVector<Journal::Entry> Journal::entries(const QString& where, const QVariantList& values) const
{
    QVector<Entry> result;
    m_error.clear();
    if (!isOpen()) {
        m_error = QStringLiteral("the journal is not open");
        return result;
    }
    QSqlQuery q(d->db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM shots %2").arg(QLatin1String(entryColumns), where));
    for (const QVariant& value : values)
        q.addBindValue(value);
    if (!q.exec()) {
        m_error = QStringLiteral("%1: reading shots: %2").arg(d->path, q.lastError().text());
        return result;
    }
    while (q.next()) {
        Entry e;
        e.id = QUuid(q.value(0).toString());
        e.session = q.value(1).toLongLong();
        e.shot = q.value(2).toInt();
        e.startedAt = fromIso(q.value(3).toString());
        e.samples = q.value(4).toInt();
        e.finished = q.value(5).toBool();
        e.projectName = q.value(6).toString();
        e.projectFile = q.value(7).toString();
        e.state = State(q.value(8).toInt());
        e.savedFile = q.value(9).toString();
        e.archived = q.value(10).toBool();
        e.sessionEnded = q.value(11).toBool();
        result.append(e);
    }
    return result;
}

QVector<Journal::Entry> Journal::unsaved() const
{
    return entries(QStringLiteral("WHERE state = 0 ORDER BY started_ms, key"), {});
}

QVector<Journal::Entry> Journal::unarchived(int limit) const
{
    return entries(
        QStringLiteral("WHERE finished = 1 AND archived = 0 ORDER BY started_ms, key LIMIT ?"),
        {limit});
}

std::optional<Journal::Entry> Journal::entry(const QUuid& id) const
{
    const QVector<Entry> found =
        entries(QStringLiteral("WHERE uuid = ?"), {id.toString(QUuid::WithoutBraces)});
    if (found.isEmpty()) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("%1: no shot %2").arg(d->path, id.toString());
        return std::nullopt;
    }
    return found.first();
}

std::optional<StoredShot> Journal::read(const QUuid& id) const
{
    if (!isOpen()) {
        m_error = QStringLiteral("the journal is not open");
        return std::nullopt;
    }
    // One read transaction, so that the shot and its chunks come from the same moment while
    // the writer goes on.
    QSqlQuery q(d->db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("BEGIN"))) {
        m_error = QStringLiteral("%1: %2").arg(d->path, q.lastError().text());
        return std::nullopt;
    }
    const auto end = [this]() {
        QSqlQuery(d->db).exec(QStringLiteral("COMMIT"));
    };
    q.prepare(QStringLiteral(
        "SELECT key, started_at, clock_ms, project_name, project_number, project_file, "
        "sensor_names, sensor_units, samples, verdict FROM shots WHERE uuid = ?"));
    q.addBindValue(id.toString(QUuid::WithoutBraces));
    if (!q.exec() || !q.next()) {
        m_error = q.lastError().isValid()
                      ? QStringLiteral("%1: %2").arg(d->path, q.lastError().text())
                      : QStringLiteral("%1: no shot %2").arg(d->path, id.toString());
        q.finish();
        end();
        return std::nullopt;
    }
    StoredShot shot;
    shot.id = id;
    const qint64 key = q.value(0).toLongLong();
    shot.startedAt = fromIso(q.value(1).toString());
    shot.clockMs = q.value(2).toInt();
    shot.projectName = q.value(3).toString();
    shot.projectNumber = q.value(4).toString();
    shot.projectFile = q.value(5).toString();
    shot.sensorNames = namesFromText(q.value(6).toString());
    shot.sensorUnits = namesFromText(q.value(7).toString());
    const int samples = q.value(8).toInt();
    shot.verdict = q.value(9).toString();
    q.finish();
    for (QVector<double>& list : shot.samples)
        list.reserve(samples);
    q.prepare(QStringLiteral("SELECT data FROM chunks WHERE shot = ? ORDER BY first_row"));
    q.addBindValue(key);
    if (!q.exec()) {
        m_error = QStringLiteral("%1: %2").arg(d->path, q.lastError().text());
        q.finish();
        end();
        return std::nullopt;
    }
    while (q.next())
        decodeRows(q.value(0).toByteArray(), shot.samples);
    q.finish();
    end();
    if (shot.sampleCount() != samples) {
        m_error = QStringLiteral("%1: shot %2 holds %3 samples, not %4")
                      .arg(d->path, id.toString())
                      .arg(shot.sampleCount())
                      .arg(samples);
        return std::nullopt;
    }
    return shot;
}
