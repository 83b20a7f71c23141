#include "model/Model.h"
#include "store/Journal.h"
#include "store/RecoverCommand.h"
#include "tests/common/TestMain.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <atomic>
#include <thread>

// The shot journal on SQLite and the command line's recovery from it.
class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    void copyDuringWriteKeepsFinishedShotsWhole();
    void savedOrDiscardedShotIsNotOffered();
    void pruneRemovesOnlyOldSavedOrDiscarded_data();
    void pruneRemovesOnlyOldSavedOrDiscarded();
    void secondProgramGetsJournalOfItsOwn_data();
    void secondProgramGetsJournalOfItsOwn();
    void foreignOrNewerFileIsRefusedUntouched_data();
    void foreignOrNewerFileIsRefusedUntouched();
    void recoverWritesProjectAndMarksOnlyAfterSave();
    void recoverUsageErrors_data();
    void recoverUsageErrors();
    void builtProgramListsShots();
};

namespace {

const QDateTime day0(QDate(2026, 3, 2), QTime(8, 15, 30, 123));

StoredShot makeShot(int seed, int samples, const QDateTime& startedAt, int clockMs = 1)
{
    StoredShot shot;
    shot.id = QUuid::createUuid();
    shot.startedAt = startedAt;
    shot.clockMs = clockMs;
    shot.projectName = QStringLiteral("Deckel, 4-fach");
    shot.projectFile = QStringLiteral("/daten/deckel.mvx");
    for (int k = 0; k < StoredShot::numSensors; ++k) {
        shot.sensorNames[size_t(k)] = QStringLiteral("Weg %1").arg(k + 1);
        shot.sensorUnits[size_t(k)] = QStringLiteral("mm");
        for (int i = 0; i < samples; ++i)
            shot.samples[size_t(k)].append(seed * 1000.0 + k * 100.0 + i * 0.001);
    }
    return shot;
}

QVector<double> rowsOf(const StoredShot& shot, int from, int to)
{
    QVector<double> rows;
    for (int i = from; i < to; ++i)
        for (int k = 0; k < StoredShot::numSensors; ++k)
            rows.append(shot.samples[size_t(k)].at(i));
    return rows;
}

// Writes shot as the application does, chunk rows at a time.
bool write(Journal& journal, const StoredShot& shot, qint64 session, int number, bool finish = true,
           int chunk = 100)
{
    if (!journal.beginShot(shot, session, number))
        return false;
    for (int i = 0; i < shot.sampleCount(); i += chunk) {
        if (!journal.appendRows(shot.id, rowsOf(shot, i, qMin(i + chunk, shot.sampleCount()))))
            return false;
    }
    return !finish || journal.finishShot(shot.id, QStringLiteral("OK"));
}

} // namespace

void TestJournal::copyDuringWriteKeepsFinishedShotsWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    QVector<StoredShot> finished;
    for (int i = 0; i < 3; ++i)
        finished.append(makeShot(i, 1500, day0.addSecs(i * 20)));
    const StoredShot running = makeShot(9, 100000, day0.addSecs(60));
    std::atomic<int> chunksWritten{0};
    std::atomic<bool> stop{false};
    std::atomic<bool> writerOk{true};

    // The writer has a connection of its own in its own thread, as in the application.
    std::thread writer([&] {
        Journal journal(QStringLiteral("writer"));
        bool ok = journal.open(path);
        const qint64 session = ok ? journal.beginSession(day0) : 0;
        for (int i = 0; ok && i < finished.size(); ++i)
            ok = write(journal, finished[i], session, i + 1);
        ok = ok && journal.beginShot(running, session, 4);
        for (int i = 0; ok && !stop && i + 50 <= running.sampleCount(); i += 50) {
            ok = journal.appendRows(running.id, rowsOf(running, i, i + 50));
            chunksWritten += ok ? 1 : 0;
        }
        writerOk = ok;
    });
    QVERIFY(QTest::qWaitFor([&] { return chunksWritten >= 5 || !writerOk; }, 20000));
    // Every write committed before the copy must be in it. No -shm: a power cut leaves only
    // the database and its log.
    const int writtenBeforeCopy = chunksWritten;
    const QString copy = dir.filePath(QStringLiteral("copy.sqlite"));
    QVERIFY(QFile::copy(path, copy));
    QVERIFY(QFile::copy(path + QStringLiteral("-wal"), copy + QStringLiteral("-wal")));
    stop = true;
    writer.join();
    QVERIFY(writerOk);

    Journal journal(QStringLiteral("reader"));
    QVERIFY2(journal.open(copy), qPrintable(journal.error()));
    const QVector<Journal::Entry> entries = journal.unsaved();
    QCOMPARE(entries.size(), 4);
    for (int i = 0; i < finished.size(); ++i) {
        QVERIFY(entries[i].finished);
        const std::optional<StoredShot> shot = journal.read(finished[i].id);
        QVERIFY2(shot, qPrintable(journal.error()));
        QCOMPARE(shot->samples, finished[i].samples);
        QCOMPARE(shot->startedAt, finished[i].startedAt);
    }
    QVERIFY(!entries[3].finished);
    const std::optional<StoredShot> partial = journal.read(running.id);
    QVERIFY2(partial, qPrintable(journal.error()));
    const int rows = partial->sampleCount();
    QVERIFY2(rows >= writtenBeforeCopy * 50 && rows % 50 == 0, qPrintable(QString::number(rows)));
    for (int k = 0; k < StoredShot::numSensors; ++k)
        QCOMPARE(partial->samples[size_t(k)], running.samples[size_t(k)].mid(0, rows));
}

void TestJournal::savedOrDiscardedShotIsNotOffered()
{
    QTemporaryDir dir;
    Journal journal(QStringLiteral("marks"));
    QVERIFY(journal.open(dir.filePath(QStringLiteral("journal.sqlite"))));
    QVector<StoredShot> shots;
    for (int i = 0; i < 4; ++i) {
        shots.append(makeShot(i, 10, day0.addSecs(i)));
        QVERIFY(write(journal, shots[i], 1, i + 1));
    }
    QVERIFY(journal.markDiscarded({shots[0].id, QUuid::createUuid()}));
    QVERIFY(journal.markSaved({shots[2].id}, QStringLiteral("/daten/a.mvx")));
    const QVector<Journal::Entry> offered = journal.unsaved();
    QCOMPARE(offered.size(), 2);
    QCOMPARE(offered[0].id, shots[1].id);
    QCOMPARE(offered[1].id, shots[3].id);
    QCOMPARE(journal.entry(shots[2].id)->savedFile, QStringLiteral("/daten/a.mvx"));
    QCOMPARE(journal.entry(shots[0].id)->state, Journal::State::Discarded);
}

void TestJournal::pruneRemovesOnlyOldSavedOrDiscarded_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("daysAgo");
    QTest::addColumn<bool>("archived");
    QTest::addColumn<bool>("keepUnarchived");
    QTest::addColumn<bool>("removed");
    QTest::newRow("saved 15 days ago") << 1 << 15 << false << false << true;
    QTest::newRow("discarded 15 days ago") << 2 << 15 << false << false << true;
    QTest::newRow("saved 13 days ago") << 1 << 13 << false << false << false;
    QTest::newRow("unsaved for 30 days") << 0 << 30 << false << false << false;
    QTest::newRow("old, waiting for the archive") << 1 << 15 << false << true << false;
    QTest::newRow("old and archived") << 1 << 15 << true << true << true;
}

void TestJournal::pruneRemovesOnlyOldSavedOrDiscarded()
{
    QFETCH(int, state);
    QFETCH(int, daysAgo);
    QFETCH(bool, archived);
    QFETCH(bool, keepUnarchived);
    QFETCH(bool, removed);
    QTemporaryDir dir;
    Journal journal(QStringLiteral("prune"));
    QVERIFY(journal.open(dir.filePath(QStringLiteral("journal.sqlite"))));
    const StoredShot shot = makeShot(1, 200, day0);
    QVERIFY(write(journal, shot, 1, 1));
    if (state == 1)
        QVERIFY(journal.markSaved({shot.id}, QStringLiteral("/daten/a.mvx")));
    if (state == 2)
        QVERIFY(journal.markDiscarded({shot.id}));
    if (archived)
        QVERIFY(journal.markArchived(shot.id));
    // The marks were set now; pruning days later is the same as marks set days ago.
    const QDateTime later = QDateTime::currentDateTime().addDays(daysAgo);
    QCOMPARE(journal.prune(14, keepUnarchived, later), removed ? 1 : 0);
    QCOMPARE(journal.read(shot.id).has_value(), !removed);
}

void TestJournal::secondProgramGetsJournalOfItsOwn_data()
{
    QTest::addColumn<bool>("holderRuns");
    QTest::addColumn<QString>("expected");
    QTest::newRow("held by a running program") << true << "journal-2.sqlite";
    QTest::newRow("left by a killed program") << false << "journal.sqlite";
}

void TestJournal::secondProgramGetsJournalOfItsOwn()
{
    QFETCH(bool, holderRuns);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    Journal first(QStringLiteral("first"));
    if (holderRuns) {
        QVERIFY(first.openOwn(dir.path()));
    } else {
        QProcess gone;
        gone.start(QStringLiteral("true"), QStringList());
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        QFile lock(Journal::lockPath(dir.filePath(QStringLiteral("journal.sqlite"))));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(pid) + "\nventaro\n" + QSysInfo::machineHostName().toUtf8() +
                   '\n');
    }
    Journal second(QStringLiteral("second"));
    QVERIFY2(second.openOwn(dir.path()), qPrintable(second.error()));
    QCOMPARE(QFileInfo(second.path()).fileName(), expected);
    QVERIFY(second.beginSession(day0) > 0);
}

void TestJournal::foreignOrNewerFileIsRefusedUntouched_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("newer journal") << "newer";
    QTest::newRow("another program's database") << "foreign";
    QTest::newRow("no database at all") << "garbage";
}

void TestJournal::foreignOrNewerFileIsRefusedUntouched()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    if (kind == QLatin1String("garbage")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, 'x'));
    } else {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kind);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        if (kind == QLatin1String("foreign")) {
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE orders(id INTEGER)")));
        } else {
            Journal journal(QStringLiteral("make"));
            QVERIFY(journal.open(path));
            QVERIFY(q.exec(QStringLiteral("UPDATE meta SET value = '%1' WHERE key = "
                                          "'schema_version'")
                               .arg(Journal::schemaVersion + 1)));
        }
        q.finish();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(kind);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    Journal journal(QStringLiteral("open"));
    QVERIFY(!journal.open(path));
    QVERIFY2(journal.error().contains(path), qPrintable(journal.error()));
    QVERIFY(!journal.isOpen());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

namespace {

int recover(const QStringList& arguments, QString* out, QString* err)
{
    out->clear();
    err->clear();
    QTextStream outStream(out);
    QTextStream errStream(err);
    return RecoverCommand::run(QStringList{QStringLiteral("ventaro-cli"), QStringLiteral("recover")} +
                                   arguments,
                               outStream, errStream);
}

} // namespace

void TestJournal::recoverWritesProjectAndMarksOnlyAfterSave()
{
    QTemporaryDir dir;
    qputenv("VENTARO_DATA_DIR", dir.path().toLocal8Bit());
    // Two journals of earlier runs whose shots interleave in time, one shot of another clock,
    // a discarded one and the journal of a program that still runs.
    const StoredShot a1 = makeShot(1, 300, day0);
    const StoredShot b1 = makeShot(2, 250, day0.addSecs(5));
    const StoredShot a2 = makeShot(3, 120, day0.addSecs(10));
    const StoredShot otherClock = makeShot(4, 50, day0.addSecs(15), 2);
    const StoredShot discarded = makeShot(5, 50, day0.addSecs(1));
    {
        Journal a(QStringLiteral("a"));
        QVERIFY(a.open(dir.filePath(QStringLiteral("journal.sqlite"))));
        QVERIFY(write(a, a1, 1, 1) && write(a, discarded, 1, 2) && write(a, otherClock, 1, 3));
        QVERIFY(write(a, a2, 2, 1, false));
        QVERIFY(a.markDiscarded({discarded.id}));
        Journal b(QStringLiteral("b"));
        QVERIFY(b.open(dir.filePath(QStringLiteral("journal-2.sqlite"))));
        QVERIFY(write(b, b1, 7, 1));
    }
    const QString heldPath = dir.filePath(QStringLiteral("journal-3.sqlite"));
    {
        Journal held(QStringLiteral("held"));
        QVERIFY(held.open(heldPath) && write(held, makeShot(6, 10, day0), 1, 1));
    }
    QLockFile runningProgram(Journal::lockPath(heldPath));
    QVERIFY(runningProgram.tryLock(0));

    const auto line = [](const char* numbers, const StoredShot& shot) {
        const QDateTime t = shot.startedAt;
        return QStringLiteral("%1,%2,%3,\"Deckel, 4-fach\"\n")
            .arg(QLatin1String(numbers),
                 t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODateWithMs))
            .arg(shot.sampleCount());
    };
    const QString expectedList = QStringLiteral("session,shot,started_at,samples,project\n") +
                                 line("1,1", a1) + line("7,1", b1) + line("2,1", a2) +
                                 line("1,3", otherClock);
    QString out, err;
    QCOMPARE(recover({QStringLiteral("--list")}, &out, &err), 0);
    QCOMPARE(out, expectedList);
    QVERIFY2(err.contains(QStringLiteral("journal-3.sqlite")) && err.count(QLatin1Char('\n')) == 1,
             qPrintable(err));

    const QString unwritable = dir.filePath(QStringLiteral("missing-folder/out.mvx"));
    QCOMPARE(recover({unwritable}, &out, &err), 1);
    QVERIFY2(err.contains(unwritable), qPrintable(err));
    QCOMPARE(recover({QStringLiteral("--list")}, &out, &err), 0);
    QCOMPARE(out, expectedList);

    const QString project = dir.filePath(QStringLiteral("recovered.mvx"));
    QCOMPARE(recover({project}, &out, &err), 0);
    QVERIFY2(err.contains(QStringLiteral("shot 3 of session 1")), qPrintable(err));
    Model model;
    QVERIFY(model.open(project));
    QCOMPARE(model.numChannels(0), 3);
    QCOMPARE(model.clock(), 1);
    const StoredShot* inOrder[] = {&a1, &b1, &a2};
    for (int j = 0; j < 3; ++j) {
        QCOMPARE(model.timestamp(j), inOrder[j]->startedAt);
        for (int k = 0; k < StoredShot::numSensors; ++k)
            QCOMPARE(*model.measurement(k, j), inOrder[j]->samples[size_t(k)]);
    }
    QCOMPARE(recover({QStringLiteral("--list")}, &out, &err), 0);
    QCOMPARE(out.count(QLatin1Char('\n')), 2);
    QVERIFY2(out.contains(QStringLiteral("1,3,")), qPrintable(out));
    Journal check(QStringLiteral("check"));
    QVERIFY(check.open(dir.filePath(QStringLiteral("journal-2.sqlite"))));
    QCOMPARE(check.entry(b1.id)->savedFile, QFileInfo(project).absoluteFilePath());
    qunsetenv("VENTARO_DATA_DIR");
}

void TestJournal::recoverUsageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing to write to") << QStringList();
    QTest::newRow("list and a file") << QStringList{"--list", "out.mvx"};
    QTest::newRow("two files") << QStringList{"a.mvx", "b.mvx"};
    QTest::newRow("unknown option") << QStringList{"--all", "out.mvx"};
}

void TestJournal::recoverUsageErrors()
{
    QFETCH(QStringList, arguments);
    QTemporaryDir dir;
    qputenv("VENTARO_DATA_DIR", dir.path().toLocal8Bit());
    QString out, err;
    QCOMPARE(recover(arguments, &out, &err), 2);
    QVERIFY2(out.isEmpty() && err.count(QLatin1Char('\n')) == 1, qPrintable(err));
    qunsetenv("VENTARO_DATA_DIR");
}

void TestJournal::builtProgramListsShots()
{
    QTemporaryDir dir;
    {
        Journal journal(QStringLiteral("built"));
        QVERIFY(journal.open(dir.filePath(QStringLiteral("journal.sqlite"))));
        QVERIFY(write(journal, makeShot(1, 30, day0), 4, 2));
    }
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("VENTARO_DATA_DIR"), dir.path());
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(VENTARO_CLI), {"recover", "--list"});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    const QList<QByteArray> lines = cli.readAllStandardOutput().split('\n');
    QCOMPARE(lines.value(1).left(4), QByteArray("4,2,"));
    QVERIFY(lines.value(1).contains(",30,"));
}

VENTARO_TEST_MAIN(TestJournal)
#include "test_journal.moc"
