#include "app/Constants.h"
#include "control/Controller.h"
#include "device/KalvikConnector.h"
#include "control/FileJob.h"
#include "model/Model.h"
#include "tests/common/DialogAnswerer.h"
#include "tests/common/FakeDeviceSetup.h"
#include "tests/common/LogCapture.h"
#include "tests/common/LoopbackAddress.h"
#include "tests/common/TestMain.h"
#include "ui_View.h"
#include "view/View.h"
#include "widgets/ProgressIndicator.h"

#include <QMessageBox>
#include <QProgressBar>
#include <QSemaphore>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>

// Saving and opening while the device goes on sending and the user goes on asking: the
// file work is held on its worker thread until the lines and commands of a test have
// arrived, so each case runs in the same order every time.
class TestFileReentry : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveWritesTheStateAtItsStartWhileLinesGoOn();
    void openTakesTheLinesThatArriveMeanwhile();
    void heldTogglesDoWhatTheButtonShowed();
    void linesHeldDuringAnOpenAreBoundedAndFollowTheShownProject();
    void longOperationShowsItsProgress();
    void csvExportWritesTheStateAtItsStartWhileLinesGoOn();

private:
    // While the next file operation runs: act() once it has started, then hold its work
    // until done() holds.
    void duringNextFileOperation(std::function<void()> act, std::function<bool()> done);
    // A project of count shots; in each the samples of sensor k are shot * 10 + k.
    static void fillShots(Model& model, int count, int samples);
    static QVector<SampleList> shotsOf(const Model& model, int sensor);

    std::unique_ptr<FakeDeviceSetup> m_app;
    // Short names for the parts of the application under test.
    Model* m_model = nullptr;
    View* m_view = nullptr;
    Controller* m_controller = nullptr;
    DialogAnswerer* m_answer = nullptr;
    QSemaphore m_gate;
    QMetaObject::Connection m_started;
    QTimer m_poll;
};

void TestFileReentry::init()
{
    m_app = std::make_unique<FakeDeviceSetup>(36);
    m_model = m_app->model.get();
    m_view = m_app->view.get();
    m_controller = m_app->controller.get();
    m_answer = m_app->answer.get();
}

void TestFileReentry::cleanup()
{
    m_poll.stop();
    m_poll.disconnect();
    FileJob::setWorkerStartHook(nullptr);
    QCOMPARE(m_answer->unexpected(), 0);
    m_app.reset();
}

void TestFileReentry::fillShots(Model& model, int count, int samples)
{
    for (int shot = 0; shot < count; ++shot) {
        model.addMeasurement();
        for (int k = 0; k < 5; ++k)
            *model.measurement(k, model.numChannels(k) - 1) = SampleList(samples, shot * 10.0 + k);
    }
}

QVector<SampleList> TestFileReentry::shotsOf(const Model& model, int sensor)
{
    QVector<SampleList> shots;
    for (int i = 0; i < model.numChannels(sensor); ++i)
        shots.append(*model.measurement(sensor, i));
    return shots;
}

void TestFileReentry::duringNextFileOperation(std::function<void()> act, std::function<bool()> done)
{
    FileJob::setWorkerStartHook([this] {
        // Bounded, so that a broken test fails instead of hanging.
        if (!m_gate.tryAcquire(1, 20000))
            qWarning("file work released by the time-out");
    });
    m_started = connect(m_model, &Model::fileOperationStarted, this, [this, act] {
        disconnect(m_started);
        act();
        m_poll.start(2);
    });
    m_poll.disconnect();
    connect(&m_poll, &QTimer::timeout, this, [this, done] {
        if (done()) {
            m_poll.stop();
            m_gate.release();
        }
    });
}

void TestFileReentry::saveWritesTheStateAtItsStartWhileLinesGoOn()
{
    QVERIFY(m_app->connectDevice());
    fillShots(*m_model, 40, 500);
    m_app->send("run=1\n" + FakeDeviceSetup::valueLines(1, 20));
    QTRY_VERIFY(m_model->numChannels(0) == 41 && m_model->measurement(0, 40)->size() == 20);
    const QString path = m_app->dir.filePath(QStringLiteral("laufend.mvx"));
    m_model->setProjectFileName(path);

    const QVector<SampleList> atStart = shotsOf(*m_model, 0);
    const QVector<SampleList> atStartSensor4 = shotsOf(*m_model, 4);
    QSignalSpy lines(m_controller->kalvikConnector(), &KalvikConnector::messageReceived);
    duringNextFileOperation(
        [this] {
            // Lines keep coming into the shot being written; the user deletes the first
            // shot and asks for a new project.
            m_app->send(FakeDeviceSetup::valueLines(21, 2000));
            m_controller->onTabOszi_deleteMeasurements(QStringLiteral("1"));
            m_controller->onNewProject();
        },
        [&] { return lines.count() >= 2000; });

    // The commands' dialogs, answered when they come: the deletion's question, then the
    // new project's save prompt ("Verwerfen").
    m_answer->clickRole(QMessageBox::YesRole);
    m_answer->clickRole(QMessageBox::NoRole);
    QList<int> counts;
    connect(m_model, &Model::dataChanged, this, [&] { counts << m_model->numChannels(0); });
    m_controller->onSaveProject();

    // Every line is in the model, in its order, and the commands have not run yet.
    const SampleList live = *m_model->measurement(0, 40);
    QCOMPARE(live.size(), 2020);
    for (int n = 1; n <= 2020; ++n)
        QCOMPARE(live.at(n - 1), n * 1000 / 1000.0);
    QCOMPARE(m_model->numChannels(0), 41);
    QCOMPARE(m_model->projectFileName(), path);
    // The samples that came during the write are not in the file.
    QVERIFY(m_model->isProjectModified());

    Model written;
    QVERIFY(written.open(path));
    QCOMPARE(shotsOf(written, 0), atStart);
    QCOMPARE(shotsOf(written, 4), atStartSensor4);

    // Then the commands, in their order.
    QTRY_COMPARE(m_answer->answered(), 2);
    QTRY_VERIFY(!m_model->hasData());
    QVERIFY(counts.contains(40));
    QCOMPARE(counts.indexOf(40) < counts.indexOf(0), true);
}

void TestFileReentry::openTakesTheLinesThatArriveMeanwhile()
{
    const QString path = m_app->dir.filePath(QStringLiteral("alt.mvx"));
    {
        Model source;
        fillShots(source, 3, 2000);
        QVERIFY(source.save(path));
    }
    QVERIFY(m_app->connectDevice());
    m_model->setProjectModifiedFlag(false);

    QSignalSpy lines(m_controller->kalvikConnector(), &KalvikConnector::messageReceived);
    duringNextFileOperation(
        [this] {
            // A shot starts while the project is being read.
            m_app->send("run=1\n" + FakeDeviceSetup::valueLines(1, 500));
            m_controller->onTabOszi_deleteMeasurements(QStringLiteral("1"));
            m_controller->onNewProject();
        },
        [&] { return lines.count() >= 501; });
    m_answer->chooseFile(path);
    // The new project asks about the shot recorded into the opened one: "Verwerfen".
    m_answer->clickRole(QMessageBox::NoRole);
    // What the new project clears: the opened project with the shot that began during the
    // load, whole; the held deletion did not touch it.
    int shotsBeforeClear = -1;
    SampleList live;
    connect(m_model, &Model::dataAboutToChange, this, [&] {
        if (shotsBeforeClear < 0 && m_model->numChannels(3) > 3) {
            shotsBeforeClear = m_model->numChannels(0);
            live = *m_model->measurement(3, 3);
        }
    });
    m_controller->onOpenProject();
    QCOMPARE(m_model->projectFileName(), QFileInfo(path).absoluteFilePath());

    QTRY_VERIFY(!m_model->hasData());
    QCOMPARE(m_answer->answered(), 2);
    QCOMPARE(shotsBeforeClear, 4);
    QCOMPARE(live.size(), 500);
    QCOMPARE(live.constFirst(), 1.003);
    QCOMPARE(live.constLast(), 500.003);
}

void TestFileReentry::heldTogglesDoWhatTheButtonShowed()
{
    QVERIFY(m_app->connectDevice());
    m_app->send("run=1\n" + FakeDeviceSetup::valueLines(1, 3));
    QTRY_VERIFY(m_controller->isRecordingRunning() && m_model->measurement(0, 0)->size() == 3);
    m_app->device->readAll();
    QByteArray commands;
    connect(m_app->device.data(), &QTcpSocket::readyRead, this,
            [&] { commands += m_app->device->readAll(); });
    const QString path = m_app->dir.filePath(QStringLiteral("p.mvx"));
    QSignalSpy lines(m_controller->kalvikConnector(), &KalvikConnector::messageReceived);

    // Stop is pressed during a save; the device ends the shot before the save does.
    duringNextFileOperation(
        [this] {
            m_controller->onActionStartStopRecording();
            m_app->send("run=0\n");
            // Runs after the held command: it shows when that one has run.
            m_controller->onTabOszi_checkBoxMarkerAbsClicked(true);
        },
        [&] { return lines.count() >= 1; });
    QVERIFY(m_model->save(path));
    QTRY_VERIFY(m_model->viewData().checkBoxMarkerAbsolute);
    QTRY_VERIFY(commands.contains("run=0"));
    QVERIFY2(!commands.contains("run=1"), commands.constData());

    // Disconnect is pressed during a save; the link drops before the save ends. The held
    // "Trennen" also ends the retries the loss started.
    duringNextFileOperation(
        [this] {
            m_controller->onActionConnect();
            m_app->device->abort();
            m_controller->onTabOszi_checkBoxMarkerAbsClicked(false);
        },
        [this] { return !m_model->isConnected(); });
    QVERIFY(m_model->save(path));
    QTRY_VERIFY(!m_model->viewData().checkBoxMarkerAbsolute);
    QTRY_VERIFY(!m_controller->isReconnecting());
    QVERIFY(!m_model->isConnected());
    // No new connection was begun.
    for (const ProgressIndicator* indicator : m_view->findChildren<ProgressIndicator*>())
        QVERIFY(!indicator->isVisible());
}

void TestFileReentry::linesHeldDuringAnOpenAreBoundedAndFollowTheShownProject()
{
    const QString path = m_app->dir.filePath(QStringLiteral("alt.mvx"));
    {
        Model source;
        fillShots(source, 2, 100);
        QVERIFY(source.save(path));
    }
    QVERIFY(m_app->connectDevice());
    m_model->setProjectModifiedFlag(false);
    m_controller->setHeldLineLimit(100);
    LogCapture log;

    QSignalSpy lines(m_controller->kalvikConnector(), &KalvikConnector::messageReceived);
    duringNextFileOperation(
        [this] {
            m_app->send("<sensorDescription numGroups=\"1\"><group name=\"Neu\" numSensors=\"5\">"
                        "</group></sensorDescription>\nrun=1\n" +
                        FakeDeviceSetup::valueLines(1, 150));
        },
        [&] { return lines.count() >= 152; });
    m_answer->chooseFile(path);
    // The description asks how to take it in: by then the opened project is shown.
    QString shownAtQuestion;
    m_answer->answer([&](QWidget* dialog) {
        shownAtQuestion = m_model->projectFileName() + QStringLiteral(" oszi=") +
                          QString::number(m_view->form()->tabWidget->isTabEnabled(
                              m_view->tabIndex(View::Tabs::Oszi)));
        static_cast<QDialog*>(dialog)->accept();
    });
    m_controller->onOpenProject();

    QTRY_COMPARE(m_answer->answered(), 2);
    QCOMPARE(shownAtQuestion, QFileInfo(path).absoluteFilePath() + QStringLiteral(" oszi=1"));
    // The first 100 lines, in order: the description, the start and 98 readings.
    QTRY_COMPARE(m_model->numChannels(0), 3);
    QCOMPARE(m_model->sensorDescription().sensorGroup(0).name(), QStringLiteral("Neu"));
    const SampleList live = *m_model->measurement(0, 2);
    // After the description the readings are no longer thousandths.
    QCOMPARE(live.size(), 98);
    QCOMPARE(live.constLast(), 98000.0);
    QCOMPARE(log.count(QStringLiteral("ERROR: 52 device lines beyond the 100")), 1);

    // Lines after the replay are handled as they come.
    m_app->send(FakeDeviceSetup::valueLines(99, 1));
    QTRY_COMPARE(m_model->measurement(0, 2)->size(), 99);
}

void TestFileReentry::longOperationShowsItsProgress()
{
    fillShots(*m_model, 5, 100);
    const QString path = m_app->dir.filePath(QStringLiteral("p.mvx"));
    QSignalSpy percent(m_model, &Model::fileProgress);
    const auto indicator = [this] {
        return m_view->findChild<ProgressIndicator*>(QStringLiteral("fileProgressIndicator"));
    };
    // Held until the progress window has shown itself over the main window.
    duringNextFileOperation([] {},
                            [&] { return indicator() != nullptr && indicator()->isVisible(); });
    QVERIFY(m_model->save(path));
    QCOMPARE(indicator()->maximum(), 100);
    QVERIFY(!percent.isEmpty());
    // A real percentage, rising to the end.
    QList<int> seen;
    for (const QList<QVariant>& args : percent)
        seen << args.at(0).toInt();
    QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
    QCOMPARE(seen.constLast(), 100);
    QCOMPARE(indicator()->findChild<QProgressBar*>()->value(), 100);
    QTRY_VERIFY(indicator() == nullptr);
}

void TestFileReentry::csvExportWritesTheStateAtItsStartWhileLinesGoOn()
{
    QVERIFY(m_app->connectDevice());
    fillShots(*m_model, 20, 500);
    m_app->send("run=1\n" + FakeDeviceSetup::valueLines(1, 10));
    QTRY_VERIFY(m_model->numChannels(0) == 21 && m_model->measurement(0, 20)->size() == 10);
    const QString reference = m_app->dir.filePath(QStringLiteral("vorher.txt"));
    QVERIFY(m_model->exportText(reference));
    m_model->setProjectModifiedFlag(true);

    QSignalSpy lines(m_controller->kalvikConnector(), &KalvikConnector::messageReceived);
    duringNextFileOperation(
        [this] {
            m_app->send(FakeDeviceSetup::valueLines(11, 1000));
            m_controller->onNewProject();
        },
        [&] { return lines.count() >= 1000; });
    m_answer->chooseFile(m_app->dir.filePath(QStringLiteral("export")));
    // The new project's save prompt, once the export is done: "Verwerfen".
    m_answer->clickRole(QMessageBox::NoRole);
    m_view->form()->actionSaveCSV->trigger();

    // The lines went on into the model; the command waited.
    QCOMPARE(m_model->measurement(0, 20)->size(), 1010);
    QCOMPARE(m_model->numChannels(0), 21);
    QFile written(m_app->dir.filePath(QStringLiteral("export.csv")));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QFile expected(reference);
    QVERIFY(expected.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected.readAll());

    QTRY_VERIFY(!m_model->hasData());
    QCOMPARE(m_answer->answered(), 2);
}

VENTARO_TEST_MAIN(TestFileReentry)
#include "test_file_reentry.moc"
