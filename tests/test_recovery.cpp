#include "control/ShotJournal.h"
#include "store/ArchiveStore.h"
#include "store/Journal.h"
#include "tests/common/FakeDeviceSetup.h"
#include "tests/common/LoopbackAddress.h"
#include "tests/common/PostgresServer.h"
#include "tests/common/TestMain.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSet>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>

namespace {

constexpr int recoveryArea = 48;

QByteArray shotLines(int samples, bool end)
{
    QByteArray lines = "run=1\n";
    for (int i = 1; i <= samples; ++i) {
        lines += QByteArray::number(i);
        for (int k = 0; k < 5; ++k)
            lines += ';' + QByteArray::number(1000 * i + k);
        lines += '\n';
    }
    return end ? lines + "run=0\n" : lines;
}

// VENTARO_DATA_DIR for the lifetime of the object.
class DataDir
{
public:
    DataDir()
        : m_before(qgetenv("VENTARO_DATA_DIR"))
    {
        qputenv("VENTARO_DATA_DIR", m_dir.path().toLocal8Bit());
    }
    ~DataDir() { qputenv("VENTARO_DATA_DIR", m_before); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_before;
};

Journal::State stateOf(const FakeDeviceSetup& app, const QUuid& id)
{
    const std::optional<Journal::Entry> entry = app.controller->journal()->reader()->entry(id);
    return entry ? entry->state : Journal::State::Unsaved;
}

void clickNamed(DialogAnswerer& answer, const QString& name)
{
    answer.answer([name](QWidget* dialog) {
        if (auto* button = dialog->findChild<QAbstractButton*>(name))
            button->click();
        else
            dialog->close();
    });
}

} // namespace

// The journal beside the application: it follows what the user decides about each shot, and
// what a crash left behind is offered again.
class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void journalFollowsSavesAndDiscards_data();
    void journalFollowsSavesAndDiscards();
    void recoveryAnswers_data();
    void recoveryAnswers();
    void killedProgramLeavesItsShotsForRecovery();
    void archiveGetsEveryShotOnceAcrossServerRestart();
};

void TestRecovery::journalFollowsSavesAndDiscards_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("first");  // Journal::State of shot 1 afterwards
    QTest::addColumn<int>("second"); // and of shot 2
    const int unsaved = int(Journal::State::Unsaved);
    const int saved = int(Journal::State::Saved);
    const int discarded = int(Journal::State::Discarded);
    QTest::newRow("delete shot 1") << "delete" << discarded << unsaved;
    QTest::newRow("clear the data") << "clear" << discarded << discarded;
    QTest::newRow("save") << "save" << saved << saved;
    // A failed save changes nothing: the shots are still in no file.
    QTest::newRow("failed save") << "failed save" << unsaved << unsaved;
    QTest::newRow("quit, discard") << "quit" << discarded << discarded;
    QTest::newRow("quit, save fails, discard") << "quit, save fails" << discarded << discarded;
}

void TestRecovery::journalFollowsSavesAndDiscards()
{
    QFETCH(QString, action);
    QFETCH(int, first);
    QFETCH(int, second);
    DataDir data;
    FakeDeviceSetup app(recoveryArea);
    QVERIFY(app.connectDevice());
    app.send(shotLines(10, true) + shotLines(10, true));
    QTRY_COMPARE(app.model->numChannels(0), 2);
    QTRY_VERIFY(!app.controller->isRecordingRunning());
    const QUuid one = app.model->shotId(0);
    const QUuid two = app.model->shotId(1);
    QVERIFY(!one.isNull() && !two.isNull() && one != two);

    if (action == QLatin1String("delete")) {
        app.answer->clickRole(QMessageBox::YesRole);
        app.controller->onTabOszi_deleteMeasurements(QStringLiteral("1"));
    } else if (action == QLatin1String("clear")) {
        app.answer->clickRole(QMessageBox::AcceptRole);
        app.controller->onTabProject_clearDataClicked();
    } else if (action == QLatin1String("save")) {
        QVERIFY(app.model->save(app.dir.filePath(QStringLiteral("p.mvx"))));
    } else if (action == QLatin1String("failed save")) {
        QVERIFY(!app.model->save(app.dir.filePath(QStringLiteral("gone/p.mvx"))));
    } else if (action == QLatin1String("quit")) {
        app.answer->clickRole(QMessageBox::NoRole);
        app.controller->onActionQuit();
    } else {
        // "Speichern" at quit into a folder that is gone, then "Verwerfen" on the failure.
        app.model->setProjectFileName(app.dir.filePath(QStringLiteral("gone/p.mvx")));
        app.answer->clickRole(QMessageBox::YesRole);
        app.answer->clickRole(QMessageBox::NoRole);
        app.controller->onActionQuit();
    }
    QCOMPARE(app.answer->unexpected(), 0);
    QTRY_COMPARE(int(stateOf(app, one)), first);
    QTRY_COMPARE(int(stateOf(app, two)), second);
    if (action == QLatin1String("save"))
        QCOMPARE(app.controller->journal()->reader()->entry(one)->savedFile,
                 app.dir.filePath(QStringLiteral("p.mvx")));
    if (action.startsWith(QLatin1String("quit"))) {
        // Later event loops of this test run need the quit undone.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
}

void TestRecovery::recoveryAnswers_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("shots");
    QTest::addColumn<bool>("inProject");
    QTest::newRow("into that project") << "recoverIntoProjectButton" << 3 << true;
    QTest::newRow("into a new project") << "recoverIntoNewButton" << 2 << false;
    QTest::newRow("later") << "recoverLaterButton" << 0 << false;
}

void TestRecovery::recoveryAnswers()
{
    QFETCH(QString, button);
    QFETCH(int, shots);
    QFETCH(bool, inProject);
    DataDir data;
    QTemporaryDir projects;
    const QString project = projects.filePath(QStringLiteral("linie3.mvx"));
    {
        Model model;
        model.addMeasurement();
        model.appendSample(0, 0, 1.0);
        QVERIFY(model.save(project));
    }
    // A run that died with two shots of that project unsaved.
    {
        Journal journal(QStringLiteral("left"));
        QVERIFY(journal.open(QDir(data.path()).filePath(QStringLiteral("journal.sqlite"))));
        const qint64 session = journal.beginSession(QDateTime::currentDateTime());
        for (int n = 1; n <= 2; ++n) {
            StoredShot shot;
            shot.id = QUuid::createUuid();
            shot.startedAt = QDateTime::currentDateTime().addSecs(n);
            shot.clockMs = 100;
            shot.projectFile = project;
            QVERIFY(journal.beginShot(shot, session, n));
            QVERIFY(journal.appendRows(shot.id, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
            QVERIFY(journal.finishShot(shot.id, QString()));
        }
    }
    FakeDeviceSetup app(recoveryArea);
    clickNamed(*app.answer, button);
    QTRY_COMPARE(app.answer->answered(), 1);
    QCOMPARE(app.model->numChannels(0), shots);
    QCOMPARE(app.model->projectFileName() == project, inProject);
    QCOMPARE(app.model->isProjectModified(), shots > 0);
    if (shots > 0)
        QCOMPARE(app.model->measurement(4, shots - 1)->size(), 2);
    // Restored shots are the journal's still: until saved they stay on offer.
    QCOMPARE(app.controller->journal()->leftBehind().size(), 2);
}

void TestRecovery::killedProgramLeavesItsShotsForRecovery()
{
    DataDir data;
    QTemporaryDir settings;
    const QString host = loopbackAddress(recoveryArea, 7);
    QTcpServer device;
    QVERIFY(device.listen(QHostAddress(host), 2222));
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VENTARO_DEVICE_HOST"), host);
    environment.insert(QStringLiteral("VENTARO_DATA_DIR"), data.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), settings.path());
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(RECORDING_CHILD), QStringList());
    QVERIFY(program.waitForStarted());
    QVERIFY(device.waitForNewConnection(10000));
    QTcpSocket* link = device.nextPendingConnection();
    // The program asks for its sample period as soon as it is connected.
    QVERIFY(link->waitForReadyRead(10000));
    link->write(shotLines(30, true) + shotLines(30, true) + shotLines(20, false));
    link->flush();

    // Finished shots are in the journal whole, the running one up to its last write.
    Journal journal(QStringLiteral("watch"));
    const QString path = QDir(data.path()).filePath(QStringLiteral("journal.sqlite"));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(path) && journal.open(path), 10000);
    const auto written = [&journal] {
        const QVector<Journal::Entry> shots = journal.unsaved();
        return shots.size() == 3 && shots[0].finished && shots[1].finished &&
               shots[0].samples == 30 && shots[1].samples == 30 && shots[2].samples == 20;
    };
    QTRY_VERIFY_WITH_TIMEOUT(written(), 10000);
    journal.close();
    program.kill();
    QVERIFY(program.waitForFinished());

    FakeDeviceSetup app(recoveryArea);
    clickNamed(*app.answer, QStringLiteral("recoverIntoNewButton"));
    QTRY_COMPARE(app.answer->answered(), 1);
    QCOMPARE(app.model->numChannels(0), 3);
    const int samples[] = {30, 30, 20};
    for (int i = 0; i < 3; ++i)
        QCOMPARE(app.model->measurement(4, i)->size(), samples[i]);
}

void TestRecovery::archiveGetsEveryShotOnceAcrossServerRestart()
{
    PostgresServer server;
    QVERIFY2(server.start(), qPrintable(server.error()));
    const QByteArray before = qgetenv("VENTARO_ARCHIVE");
    qputenv("VENTARO_ARCHIVE", server.connectionString().toLocal8Bit());
    DataDir data;
    FakeDeviceSetup app(recoveryArea);
    qputenv("VENTARO_ARCHIVE", before);
    ArchiveStore archive(QStringLiteral("check"));
    const auto archivedIds = [&archive, &server]() {
        QSet<QUuid> ids;
        if (!archive.isOpen() && !archive.open(server.connectionString()))
            return ids;
        const std::optional<QVector<ArchiveStore::Row>> rows =
            archive.list(QString(), QDateTime(), QDateTime());
        for (const ArchiveStore::Row& row : rows.value_or(QVector<ArchiveStore::Row>()))
            ids.insert(row.id);
        // A row twice would show as fewer ids than rows.
        return rows && rows->size() == ids.size() ? ids : QSet<QUuid>();
    };
    QVERIFY(app.connectDevice());
    app.send(shotLines(10, true) + shotLines(10, true));
    QTRY_COMPARE_WITH_TIMEOUT(archivedIds().size(), 2, 20000);
    QVERIFY(app.view->archiveStateLabel()->isVisibleTo(app.view.get()));

    // The server goes away in the middle of a recording: the shots wait in the journal.
    archive.close();
    QVERIFY(server.stop());
    app.send(shotLines(10, true) + shotLines(10, true));
    const Journal* journal = app.controller->journal()->reader();
    QTRY_COMPARE_WITH_TIMEOUT(journal->unarchivedCount(), 2, 20000);
    QVERIFY(server.start());
    QTRY_COMPARE_WITH_TIMEOUT(archivedIds().size(), 4, 30000);
    QCOMPARE(journal->unarchivedCount(), 0);
    for (int i = 0; i < 4; ++i)
        QVERIFY(archivedIds().contains(app.model->shotId(i)));
}

VENTARO_TEST_MAIN(TestRecovery)
#include "test_recovery.moc"
