#include "model/Model.h"
#include "store/ArchiveCommand.h"
#include "store/ArchiveStore.h"
#include "tests/common/PostgresServer.h"
#include "tests/common/TestMain.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

// The plant archive against a real PostgreSQL server of the test's own. Each test keeps to
// stations of its own, so they share one server.
class TestArchive : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shotReadsBackWhole();
    void secondWriteOfAnIdAddsNothing();
    void twoStationsWritingAtOnceLandOnce();
    void newerSchemaIsRefused();
    void badConnectionIsRefusedWithItsReason_data();
    void badConnectionIsRefusedWithItsReason();
    void cliListsShotsOfStationAndSpan_data();
    void cliListsShotsOfStationAndSpan();
    void cliExportOpensAsProject();
    void cliWithoutServerSaysOneLine_data();
    void cliWithoutServerSaysOneLine();
    // Last: stops the server.
    void serverGoneClosesAndComesBackWithoutDoubles();

private:
    int runCli(const QStringList& arguments, QString* out, QString* err) const;
    // Runs statement on the server beside the archive's own connections.
    bool execute(const QString& statement);

    PostgresServer m_server;
    // The command line's shots by number: 0-3 of cli-a, 103 of cli-b.
    QMap<int, StoredShot> m_cliShots;
};

namespace {

const QDateTime base = QDateTime(QDate(2024, 5, 2), QTime(6, 0, 0, 123), Qt::UTC);

StoredShot makeShot(const QString& station, int n, int samples = 50)
{
    StoredShot shot;
    shot.id = QUuid::createUuid();
    shot.station = station;
    shot.startedAt = base.addSecs(60 * n).addMSecs(n);
    shot.clockMs = 2;
    shot.projectName = QStringLiteral("Deckel 4-fach");
    shot.projectNumber = QStringLiteral("P-17");
    for (int k = 0; k < StoredShot::numSensors; ++k) {
        shot.sensorNames[size_t(k)] = QStringLiteral("Weg %1").arg(k + 1);
        shot.sensorUnits[size_t(k)] = k == 4 ? QStringLiteral("°C") : QStringLiteral("mm");
        for (int i = 0; i < samples; ++i)
            shot.samples[size_t(k)].append(std::sin(i * 0.1 + k) * 1e3 + n * 1e-7);
    }
    shot.verdict = n % 2 ? QStringLiteral("NOK") : QStringLiteral("OK");
    return shot;
}

int countOf(ArchiveStore& archive, const QString& station)
{
    const auto rows = archive.list(station, {}, {});
    return rows ? rows->size() : -1;
}

} // namespace

void TestArchive::initTestCase()
{
    // CI runs these against a real server: one that cannot be started fails them.
    QVERIFY2(m_server.start(), qPrintable(m_server.error()));
}

int TestArchive::runCli(const QStringList& arguments, QString* out, QString* err) const
{
    QTextStream outStream(out);
    QTextStream errStream(err);
    return ArchiveCommand::run(
        QStringList{QStringLiteral("ventaro-cli"), QStringLiteral("archive")} + arguments,
        outStream, errStream);
}

void TestArchive::shotReadsBackWhole()
{
    ArchiveStore archive(QStringLiteral("whole"));
    QVERIFY2(archive.open(m_server.connectionString()), qPrintable(archive.error()));
    StoredShot shot = makeShot(QStringLiteral("whole"), 1, 3000);
    // Values whose bits a text or float4 round trip would change.
    shot.samples[0][0] = 0.1;
    shot.samples[1][1] = -0.0;
    shot.samples[2][2] = std::numeric_limits<double>::quiet_NaN();
    shot.samples[3][3] = std::numeric_limits<double>::denorm_min();
    shot.samples[4][4] = 1e308;
    shot.sensorNames[2] = QStringLiteral("Druck 'innen', \"Düse\"");
    StoredShot unjudged = makeShot(QStringLiteral("whole"), 2, 0);
    unjudged.verdict.clear();
    unjudged.projectName.clear();
    QVERIFY2(archive.write(shot), qPrintable(archive.error()));
    QVERIFY2(archive.write(unjudged), qPrintable(archive.error()));

    const std::optional<StoredShot> read = archive.read(shot.id);
    QVERIFY2(read, qPrintable(archive.error()));
    QCOMPARE(read->station, shot.station);
    QCOMPARE(read->projectName, shot.projectName);
    QCOMPARE(read->projectNumber, shot.projectNumber);
    QCOMPARE(read->startedAt.toMSecsSinceEpoch(), shot.startedAt.toMSecsSinceEpoch());
    QCOMPARE(read->clockMs, shot.clockMs);
    QCOMPARE(read->verdict, QStringLiteral("NOK"));
    for (size_t k = 0; k < size_t(StoredShot::numSensors); ++k) {
        QCOMPARE(read->sensorNames[k], shot.sensorNames[k]);
        QCOMPARE(read->sensorUnits[k], shot.sensorUnits[k]);
        QCOMPARE(read->samples[k].size(), 3000);
        QVERIFY(std::memcmp(read->samples[k].constData(), shot.samples[k].constData(),
                            3000 * sizeof(double)) == 0);
    }
    const std::optional<StoredShot> empty = archive.read(unjudged.id);
    QVERIFY2(empty, qPrintable(archive.error()));
    QVERIFY(empty->verdict.isEmpty());
    QVERIFY(empty->projectName.isEmpty());
    QCOMPARE(empty->sampleCount(), 0);

    QVERIFY(!archive.read(QUuid::createUuid()));
    QVERIFY2(archive.error().contains(QStringLiteral("no shot")), qPrintable(archive.error()));
    QVERIFY(archive.isOpen());
}

void TestArchive::secondWriteOfAnIdAddsNothing()
{
    ArchiveStore archive(QStringLiteral("twice"));
    QVERIFY2(archive.open(m_server.connectionString()), qPrintable(archive.error()));
    const StoredShot shot = makeShot(QStringLiteral("twice"), 1);
    QVERIFY2(archive.write(shot), qPrintable(archive.error()));
    // A retry after a lost answer may carry a verdict judged since: the first write stands.
    StoredShot again = shot;
    again.verdict = QStringLiteral("OK");
    again.samples[0].fill(7.0);
    QVERIFY2(archive.write(again), qPrintable(archive.error()));
    QCOMPARE(countOf(archive, QStringLiteral("twice")), 1);
    const std::optional<StoredShot> read = archive.read(shot.id);
    QVERIFY(read);
    QCOMPARE(read->verdict, QStringLiteral("NOK"));
    QCOMPARE(read->samples[0], shot.samples[0]);
}

void TestArchive::twoStationsWritingAtOnceLandOnce()
{
    // Each station its own shots, and both the same shared ones at the same moments, as a
    // station and its own retry after a lost answer would; on an empty database, so that
    // both also create the tables at once.
    constexpr int perStation = 30;
    QVector<StoredShot> shared;
    for (int i = 0; i < perStation; ++i)
        shared.append(makeShot(QStringLiteral("both"), i));
    QVERIFY(execute(QStringLiteral("CREATE DATABASE two_stations")));
    QString connection = m_server.connectionString();
    connection.replace(QStringLiteral("dbname=postgres"), QStringLiteral("dbname=two_stations"));
    QString errors[2];
    QThread* threads[2];
    for (int t = 0; t < 2; ++t) {
        threads[t] = QThread::create([t, &shared, &connection, &errors] {
            ArchiveStore archive(QStringLiteral("station%1").arg(t));
            if (!archive.open(connection)) {
                errors[t] = archive.error();
                return;
            }
            const QString station = QStringLiteral("press%1").arg(t);
            for (int i = 0; i < perStation; ++i) {
                if (!archive.write(makeShot(station, i)) || !archive.write(shared.at(i))) {
                    errors[t] = archive.error();
                    return;
                }
            }
        });
        threads[t]->start();
    }
    for (QThread* thread : threads) {
        QVERIFY(thread->wait(120000));
        delete thread;
    }
    QVERIFY2(errors[0].isEmpty(), qPrintable(errors[0]));
    QVERIFY2(errors[1].isEmpty(), qPrintable(errors[1]));

    ArchiveStore archive(QStringLiteral("check"));
    QVERIFY2(archive.open(connection), qPrintable(archive.error()));
    QCOMPARE(countOf(archive, QStringLiteral("press0")), perStation);
    QCOMPARE(countOf(archive, QStringLiteral("press1")), perStation);
    QCOMPARE(countOf(archive, QStringLiteral("both")), perStation);
}

bool TestArchive::execute(const QString& statement)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("raw"));
        // Qt hands the options on to libpq with ';' as spaces.
        db.setConnectOptions(
            m_server.connectionString().replace(QLatin1Char(' '), QLatin1Char(';')));
        ok = db.open() && QSqlQuery(db).exec(statement);
        if (!ok)
            qWarning() << statement << db.lastError().text();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return ok;
}

void TestArchive::newerSchemaIsRefused()
{
    {
        ArchiveStore archive(QStringLiteral("future"));
        QVERIFY2(archive.open(m_server.connectionString()), qPrintable(archive.error()));
    }
    const QString setVersion = QStringLiteral("UPDATE schema_version SET version = %1");
    QVERIFY(execute(setVersion.arg(ArchiveStore::schemaVersion + 1)));
    ArchiveStore archive(QStringLiteral("future"));
    const bool opened = archive.open(m_server.connectionString());
    QVERIFY(execute(setVersion.arg(ArchiveStore::schemaVersion)));
    QVERIFY(!opened);
    QVERIFY(!archive.isOpen());
    QVERIFY2(archive.error().contains(QStringLiteral("newer than this program")),
             qPrintable(archive.error()));
}

void TestArchive::badConnectionIsRefusedWithItsReason_data()
{
    QTest::addColumn<QString>("connection");
    QTest::addColumn<QString>("reason");
    QTest::newRow("key without value") << "host=/tmp dbname"
                                       << "\"dbname\" is not followed by =";
    QTest::newRow("open quote") << "host='/tmp/a b port=5432"
                                << "not closed";
    QTest::newRow("port not a number") << "host=/tmp port=fünf"
                                       << "no port number";
    QTest::newRow("uri") << "postgresql://qa@127.0.0.1/plant"
                         << "not as a URI";
    QTest::newRow("unknown option") << "host=/tmp colour=red"
                                    << "colour";
    QTest::newRow("no server there") << "host=%DIR%/nothing port=5999 user=ventaro dbname=postgres"
                                     << "cannot connect";
}

void TestArchive::badConnectionIsRefusedWithItsReason()
{
    QFETCH(QString, connection);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    connection.replace(QStringLiteral("%DIR%"), dir.path());
    ArchiveStore archive(QStringLiteral("bad"));
    QVERIFY(!archive.open(connection));
    QVERIFY(!archive.isOpen());
    QVERIFY2(archive.error().contains(reason), qPrintable(archive.error()));
    QVERIFY(!archive.write(makeShot(QStringLiteral("bad"), 1)));
}

void TestArchive::cliListsShotsOfStationAndSpan_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QVector<int>>("shots");
    QTest::newRow("one station") << QStringList{"--station", "cli-a"} << QVector<int>{0, 1, 2, 3};
    QTest::newRow("from and to, inclusive") << QStringList{"--station", "cli-a",
                                                           "--from",    "2024-05-02T06:01:00.001Z",
                                                           "--to",      "2024-05-02T06:02:00.125Z"}
                                            << QVector<int>{1, 2};
    QTest::newRow("a day as from and to")
        << QStringList{"--station", "cli-b", "--from", "2024-05-02", "--to", "2024-05-02"}
        << QVector<int>{103};
    QTest::newRow("every station from a time")
        << QStringList{"--from", "2024-05-02T06:03:00.003Z"} << QVector<int>{3, 103};
}

void TestArchive::cliListsShotsOfStationAndSpan()
{
    QFETCH(QStringList, options);
    QFETCH(QVector<int>, shots);
    // Shots 0-3 of cli-a one minute apart, shot 3 of cli-b as 103, a millisecond after cli-a's.
    QMap<int, StoredShot>& written = m_cliShots;
    if (written.isEmpty()) {
        ArchiveStore archive(QStringLiteral("cli"));
        QVERIFY2(archive.open(m_server.connectionString()), qPrintable(archive.error()));
        for (int n = 0; n < 4; ++n)
            written.insert(n, makeShot(QStringLiteral("cli-a"), n));
        StoredShot b = makeShot(QStringLiteral("cli-b"), 3);
        b.startedAt = b.startedAt.addMSecs(1);
        written.insert(103, b);
        for (const StoredShot& shot : written)
            QVERIFY2(archive.write(shot), qPrintable(archive.error()));
    }
    QString out, err;
    QCOMPARE(runCli(QStringList{"shots", "--archive", m_server.connectionString()} + options, &out,
                    &err),
             0);
    QVERIFY2(err.isEmpty(), qPrintable(err));
    QStringList expected{QStringLiteral("station,shot_uuid,started_at,samples,verdict")};
    for (const int n : shots) {
        const StoredShot& shot = written[n];
        expected.append(QStringLiteral("%1,%2,%3,50,%4")
                            .arg(shot.station, shot.id.toString(QUuid::WithoutBraces),
                                 shot.startedAt.toUTC().toString(Qt::ISODateWithMs), shot.verdict));
    }
    QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // Every station from 06:03 on also finds the other tests' later shots; keep ours.
    if (!options.contains(QStringLiteral("--station")))
        lines.erase(std::remove_if(lines.begin() + 1, lines.end(),
                                   [](const QString& line) { return !line.startsWith("cli-"); }),
                    lines.end());
    QCOMPARE(lines, expected);
}

void TestArchive::cliExportOpensAsProject()
{
    ArchiveStore archive(QStringLiteral("export"));
    QVERIFY2(archive.open(m_server.connectionString()), qPrintable(archive.error()));
    QVector<StoredShot> shots;
    for (int n : {2, 0, 1}) {
        shots.append(makeShot(QStringLiteral("export"), n, 200));
        QVERIFY2(archive.write(shots.last()), qPrintable(archive.error()));
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tag.mvx"));
    qputenv("VENTARO_ARCHIVE", m_server.connectionString().toUtf8());
    QString out, err;
    const int code = runCli({"export", path, "--station", "export"}, &out, &err);
    qunsetenv("VENTARO_ARCHIVE");
    QCOMPARE(code, 0);
    QVERIFY2(err.isEmpty(), qPrintable(err));

    Model model;
    QVERIFY(model.open(path));
    QCOMPARE(model.numChannels(0), 3);
    QCOMPARE(model.clock(), 2);
    QCOMPARE(model.projectData().name, QStringLiteral("Deckel 4-fach"));
    QCOMPARE(model.sensorDescription().sensorGroup(0).sensorUnit(4), QStringLiteral("°C"));
    // In time order, whatever order they were written in.
    for (int i = 0; i < 3; ++i) {
        const StoredShot& shot = shots.at((i + 1) % 3);
        QCOMPARE(model.timestamp(i).toMSecsSinceEpoch(), shot.startedAt.toMSecsSinceEpoch());
        QCOMPARE(model.measurement(3, i)->size(), 200);
        QCOMPARE(model.measurement(3, i)->at(17), shot.samples[3].at(17));
    }
}

void TestArchive::cliWithoutServerSaysOneLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("no server named") << QStringList{"shots"} << 1;
    QTest::newRow("server unreachable")
        << QStringList{"shots", "--archive", "host=%DIR% port=5999 user=ventaro"} << 1;
    QTest::newRow("export without station") << QStringList{"export", "%DIR%/x.mvx"} << 2;
    QTest::newRow("unknown subcommand") << QStringList{"list"} << 2;
    QTest::newRow("time not ISO") << QStringList{"shots", "--from", "gestern"} << 2;
}

void TestArchive::cliWithoutServerSaysOneLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    arguments.replaceInStrings(QStringLiteral("%DIR%"), dir.path());
    qunsetenv("VENTARO_ARCHIVE");
    QString out, err;
    QCOMPARE(runCli(arguments, &out, &err), exitCode);
    QVERIFY2(out.isEmpty(), qPrintable(out));
    QVERIFY2(err.startsWith(QStringLiteral("ventaro-cli: ")) && err.count(QLatin1Char('\n')) == 1,
             qPrintable(err));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.mvx"))));
}

void TestArchive::serverGoneClosesAndComesBackWithoutDoubles()
{
    ArchiveStore archive(QStringLiteral("restart"));
    QVERIFY2(archive.open(m_server.connectionString()), qPrintable(archive.error()));
    const StoredShot before = makeShot(QStringLiteral("restart"), 1);
    QVERIFY2(archive.write(before), qPrintable(archive.error()));

    QVERIFY2(m_server.stop(), qPrintable(m_server.error()));
    const StoredShot during = makeShot(QStringLiteral("restart"), 2);
    QVERIFY(!archive.write(during));
    QVERIFY(!archive.isOpen());
    QVERIFY(!archive.open(m_server.connectionString()));

    QVERIFY2(m_server.start(), qPrintable(m_server.error()));
    QVERIFY2(archive.open(m_server.connectionString()), qPrintable(archive.error()));
    // What a forwarder does after the outage: everything not confirmed, and the last
    // confirmed once more.
    QVERIFY2(archive.write(before), qPrintable(archive.error()));
    QVERIFY2(archive.write(during), qPrintable(archive.error()));
    QCOMPARE(countOf(archive, QStringLiteral("restart")), 2);
    QVERIFY(archive.read(during.id));
}

VENTARO_TEST_MAIN(TestArchive)
#include "test_archive.moc"
