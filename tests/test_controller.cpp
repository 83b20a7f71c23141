#include "app/Constants.h"
#include "control/Controller.h"
#include "device/KalvikConnector.h"
#include "model/Model.h"
#include "tests/common/DialogAnswerer.h"
#include "tests/common/LogCapture.h"
#include "tests/common/LoopbackAddress.h"
#include "tests/common/TestMain.h"
#include "tools/sim/KalvikSimulator.h"
#include "ui_TabProject.h"
#include "ui_View.h"
#include "view/TabOszilloscope.h"
#include "view/TabProject.h"
#include "view/TabSensors.h"
#include "view/View.h"
#include "widgets/OsziWidget.h"
#include "widgets/analog/AnalogSensorWidget.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QMessageBox>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

// The controller against the simulated device on a loopback address of its own, with the
// main window and its pages as the user sees them (offscreen).
class TestController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void connectGetsBothDescriptions();
    void missingSensorDescriptionGivesDefaultSensors();
    void recordsTwoShots();
    void shotStartFillsThePlots();
    void oscilloscopePageRequestsReachTheModel();
    void samplePeriodFollowsTheEcho();
    void calibration();
    void listCollection();
    void disconnectByUser();
    void socketErrors();
    void socketErrorTexts_data();
    void socketErrorTexts();
    void otherSocketErrorOffersAnotherAddress();
    void valueLineRules();
    void badDeviceLines();
    void simulatorFaultsDoNotStopRecording_data();
    void simulatorFaultsDoNotStopRecording();
    void longLinePiecesAreNoReadings();

    void deleteRanges_data();
    void deleteRanges();
    void headerEditKeepsMarkers();
    void phaseEditAndMarkerSlots();
    void clearAllData();
    void newProjectPrompts();
    void saveCancelledKeepsData();
    void openProject();
    void saveAsAppendsExtension();
    void quitPrompts();
    void failedSaveAtQuitLetsTheUserChoose();
    void failedSaveAfterStopIsShown();
    void quitDuringRecordingStopsThenSaves();
    void escapeOnSaveQuestionLeavesProjectAlone_data();
    void escapeOnSaveQuestionLeavesProjectAlone();
    void openedProjectAfterBlackBoxShowsRecording();
    void missingStartFileIsSaid();
    void deletionNotUndone_data();
    void deletionNotUndone();
    void missingRecentProjectNotExplained();

private:
    void startSimulator(SimulatorOptions options = SimulatorOptions());
    void connectToSimulator();
    // A project holding count shots whose first sample of sensor 0 is the shot number.
    void numberedShots(int count);
    // Clicks the box's button of role, noting its name and text in m_failures.
    DialogAnswerer::Handler answerBox(QMessageBox::ButtonRole role, QString* informative = nullptr);
    bool quitWentThrough() const;
    // Connected to the simulator, the project saved at path, a shot of a few samples running.
    void recordIntoProjectAt(const QString& path);
    QStringList m_failures;
    QList<int> remainingShotNumbers() const;

    QString m_host;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<KalvikSimulator> m_sim;
    std::unique_ptr<Model> m_model;
    std::unique_ptr<View> m_view;
    std::unique_ptr<Controller> m_controller;
    std::unique_ptr<DialogAnswerer> m_answer;
};

void TestController::init()
{
    m_host = loopbackAddress(30);
    qputenv("VENTARO_DEVICE_HOST", m_host.toLatin1());
    QSettings(settingsOrganization, settingsApplication).clear();
    m_dir = std::make_unique<QTemporaryDir>();
    m_model = std::make_unique<Model>();
    m_view = std::make_unique<View>(m_model.get());
    m_controller = std::make_unique<Controller>(m_model.get(), m_view.get());
    m_answer = std::make_unique<DialogAnswerer>();
    m_failures.clear();
    m_view->show();
}

void TestController::cleanup()
{
    QCOMPARE(m_answer->unexpected(), 0);
    m_controller.reset();
    m_view.reset();
    m_model.reset();
    m_sim.reset();
    m_answer.reset();
    m_dir.reset();
    // A quit leaves every later event loop refusing to run (dialogs would close at once);
    // a run of the application's own loop clears that for the next test.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

void TestController::startSimulator(SimulatorOptions options)
{
    options.host = m_host;
    options.stickDir = m_dir->filePath(QStringLiteral("stick"));
    options.fixedSeed = true;
    options.seed = 7;
    options.cycleMs = 0;
    m_sim = std::make_unique<KalvikSimulator>(options);
    QVERIFY2(m_sim->start(), qPrintable(m_sim->errorString()));
}

void TestController::connectToSimulator()
{
    m_view->form()->actionConnect->setEnabled(true);
    m_view->form()->actionConnect->trigger();
    QTRY_VERIFY(m_model->isConnected());
}

void TestController::numberedShots(int count)
{
    for (int i = 1; i <= count; ++i) {
        m_model->addMeasurement();
        for (int k = 0; k < 5; ++k)
            m_model->appendSample(k, i - 1, i);
    }
}

QList<int> TestController::remainingShotNumbers() const
{
    QList<int> numbers;
    for (int i = 0; i < m_model->numChannels(0); ++i)
        numbers << static_cast<int>(m_model->measurement(0, i)->constFirst());
    return numbers;
}

void TestController::connectGetsBothDescriptions()
{
    startSimulator();
    QSignalSpy appState(m_model.get(), &Model::appStateChanged);
    connectToSimulator();
    QCOMPARE(appState.count(), 1);
    QCOMPARE(m_view->form()->actionConnect->text(), QStringLiteral("&Trennen"));
    QTRY_COMPARE(m_model->hwVersion(), QStringLiteral("2.1"));
    QCOMPARE(m_model->firmwareVersion(), QStringLiteral("1.4.2-sim"));
    const SensorDescription& d = m_model->sensorDescription();
    QTRY_COMPARE(d.sensorGroup(0).name(), QStringLiteral("Abstand"));
    QCOMPARE(d.sensorGroup(0).numSensors(), 5);
    QCOMPARE(d.sensorGroup(0).sensorName(4), QStringLiteral("Abstand 5"));
    QCOMPARE(d.sensorGroup(0).sensorType(0), QStringLiteral("Distanz"));
    QCOMPARE(d.sensorGroup(0).sensorMaximum(0), 12000.0);
    // Sent as UTF-8, read as Latin-1 and repaired.
    QCOMPARE(d.sensorGroup(0).sensorUnit(0), QStringLiteral("\u00B5m"));
    QCOMPARE(m_model->clock(), 100);
    QVERIFY(!m_controller->readingsInThousandths());
    // The sensors page shows the described sensors.
    QVERIFY(m_view->form()->tabWidget->isTabEnabled(m_view->tabIndex(View::Tabs::Sensors)));
    QTRY_COMPARE(m_view->form()->tabSensors->findChildren<AnalogSensorWidget*>().size(), 5);
    // The default sensors do not come after a description arrived.
    QTest::qWait(800);
    QCOMPARE(d.sensorGroup(0).name(), QStringLiteral("Abstand"));
}

void TestController::missingSensorDescriptionGivesDefaultSensors()
{
    SimulatorOptions options;
    options.sensorDescription = false;
    startSimulator(options);
    connectToSimulator();
    const SensorDescription& d = m_model->sensorDescription();
    QTRY_COMPARE_WITH_TIMEOUT(d.sensorGroup(0).name(), QStringLiteral("Keyence"), 3000);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(d.sensorGroup(0).sensorName(i), QStringLiteral("Sensor %1").arg(i + 1));
        QCOMPARE(d.sensorGroup(0).sensorUnit(i), QStringLiteral("mm"));
        QCOMPARE(d.sensorGroup(0).sensorMinimum(i), 0.0);
        QCOMPARE(d.sensorGroup(0).sensorMaximum(i), 12.0);
    }
    QVERIFY(m_controller->readingsInThousandths());

    m_controller->onMessageReceived(QStringLiteral("run=1\n"));
    m_controller->onMessageReceived(QStringLiteral("12;500;1500;2500;3500;4500\n"));
    QCOMPARE(*m_model->measurement(1, 0), SampleList({1.5}));
    QCOMPARE(*m_model->measurement(4, 0), SampleList({4.5}));
}

void TestController::recordsTwoShots()
{
    startSimulator();
    connectToSimulator();
    QTRY_COMPARE(m_model->sensorDescription().sensorGroup(0).name(), QStringLiteral("Abstand"));
    QAction* record = m_view->form()->actionStartRecording;
    QVERIFY(record->isEnabled());
    const QDateTime startedAfter = QDateTime::currentDateTime();
    for (int shot = 0; shot < 2; ++shot) {
        record->trigger();
        QTRY_VERIFY(m_controller->isRecordingRunning());
        QCOMPARE(record->text(), QStringLiteral("&Stop"));
        QVERIFY(!m_view->form()->actionNewProject->isEnabled());
        QCOMPARE(m_controller->currentSeriesOf(0), shot);
        QTRY_VERIFY(m_model->measurement(4, shot)->size() >= 3);
        record->trigger();
        QTRY_VERIFY(!m_controller->isRecordingRunning());
        QCOMPARE(record->text(), QStringLiteral("&Start"));
    }
    for (int k = 0; k < 5; ++k)
        QCOMPARE(m_model->numChannels(k), 2);
    // Each live shot carries the computer's time at its start.
    QCOMPARE(m_model->numTimestamps(), 2);
    QVERIFY(startedAfter <= m_model->timestamp(0));
    QVERIFY(m_model->timestamp(0) <= m_model->timestamp(1));
    QVERIFY(m_model->timestamp(1) <= QDateTime::currentDateTime());
    // Plausible distances in micrometres, within the sensor's range.
    for (double v : *m_model->measurement(2, 1))
        QVERIFY2(v > -100 && v < 12100, qPrintable(QString::number(v)));
}

void TestController::shotStartFillsThePlots()
{
    numberedShots(2);
    m_controller->onMessageReceived(QStringLiteral("t=20\n"));
    TabOszilloscope* oszi = m_view->tabOszi();
    QCOMPARE(oszi->osziWidget(0)->clockPeriod(), 20);
    QCOMPARE(oszi->osziWidget(4)->currentClockGrid(), 2000);

    m_controller->onMessageReceived(QStringLiteral("run=1\n"));
    for (int k = 0; k < 5; ++k) {
        OsziWidget* plot = oszi->osziWidget(k);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(plot->curve(i), m_model->measurement(k, i));
            QVERIFY(plot->isCurveEnabled(i));
        }
        QCOMPARE(plot->highlightedCurve(), 2);
    }
    QCOMPARE(oszi->findChild<QLabel*>(QStringLiteral("numMeasuringsLabel"))->text(),
             QStringLiteral("3"));
    QCOMPARE(oszi->findChild<QSpinBox*>(QStringLiteral("highlightSpinBox"))->value(), 3);

    // Live samples land in the highlighted shot the plot points to.
    m_controller->onMessageReceived(QStringLiteral("1;5;5;5;5;5\n"));
    QCOMPARE(oszi->osziWidget(2)->curve(2)->size(), 1);

    // Deleting lets the plots go before the lists are freed; under the sanitizers a plot
    // still pointing at a freed list would be caught at its next repaint.
    m_view->setCurrentTab(View::Tabs::Oszi);
    m_answer->clickButton(QStringLiteral("Ja"));
    m_controller->onTabOszi_deleteMeasurements(QStringLiteral("1-3"));
    QVERIFY(!m_model->hasData());
    oszi->osziWidget(0)->repaint();
    for (int k = 0; k < 5; ++k) {
        for (int i = 0; i < 3; ++i)
            QVERIFY(!oszi->osziWidget(k)->curve(i) || !oszi->osziWidget(k)->isCurveEnabled(i));
    }
}

void TestController::oscilloscopePageRequestsReachTheModel()
{
    numberedShots(4);
    TabOszilloscope* oszi = m_view->tabOszi();
    m_answer->clickButton(QStringLiteral("Ja"));
    emit oszi->deleteMeasurements(QStringLiteral("2"));
    QCOMPARE(remainingShotNumbers(), QList<int>({1, 3, 4}));
    emit oszi->markerChangedAbsolute(2, 700);
    QCOMPARE(m_model->verticalMarker(2), 700);
    emit oszi->markerChangedRelative(3, 50);
    QCOMPARE(m_model->verticalMarker(3), 750);
    emit oszi->checkBoxMarkerAbsClicked(true);
    QVERIFY(m_model->viewData().checkBoxMarkerAbsolute);

    // The main window's handlers: offsets, clearing markers, the lock.
    oszi->offsetSpinBox(3)->setValue(1.5);
    QCOMPARE(m_model->offset(3), 1.5);
    oszi->clearMarkersButton()->click();
    QCOMPARE(m_model->verticalMarker(3), 0);
    QVERIFY(!m_model->isLocked());
    oszi->lockButton()->click();
    QVERIFY(m_model->isLocked());
}

void TestController::samplePeriodFollowsTheEcho()
{
    startSimulator();
    connectToSimulator();
    QSignalSpy project(m_model.get(), &Model::projectChanged);
    QComboBox* box = m_view->tabProject()->form()->selectionBoxClock;
    QTRY_VERIFY(box->isEnabled());
    box->setCurrentText(QStringLiteral("50ms"));
    QCOMPARE(m_model->clock(), 100);
    QTRY_COMPARE(m_model->clock(), 50);
    QVERIFY(project.count() >= 1);
    QTRY_COMPARE(m_sim->samplePeriodMs(), 50);

    LogCapture log;
    m_controller->onMessageReceived(QStringLiteral("t=fast\n"));
    QCOMPARE(m_model->clock(), 50);
    QVERIFY(log.contains(QStringLiteral("ERROR")));
    m_controller->onMessageReceived(QStringLiteral("t= 20 \r\n"));
    QCOMPARE(m_model->clock(), 20);
}

void TestController::calibration()
{
    startSimulator();
    connectToSimulator();
    QTRY_COMPARE(m_model->sensorDescription().sensorGroup(0).name(), QStringLiteral("Abstand"));
    m_controller->onMessageReceived(QStringLiteral("run=1\n"));
    m_controller->onMessageReceived(QStringLiteral("1;1;2;3;4;5\n"));
    m_controller->onMessageReceived(QStringLiteral("run=0\n"));

    // Outside a recording: asked first, then the device is told and the user informed.
    QSignalSpy commands(m_sim.get(), &KalvikSimulator::commandReceived);
    m_answer->clickRole(QMessageBox::YesRole);
    m_answer->clickButton(QStringLiteral("OK"));
    m_controller->onActionCalibration();
    QCOMPARE(m_answer->answered(), 2);
    QCOMPARE(m_answer->titles().constLast(), QStringLiteral("Kalibrierung"));
    QTRY_VERIFY(!commands.isEmpty());
    QCOMPARE(commands.constLast().at(0).toString(), QStringLiteral("1"));
    for (int k = 0; k < 5; ++k)
        QCOMPARE(m_model->offset(k), -(k + 1.0));

    // During a recording nothing is sent or shown, but the offsets follow.
    m_controller->onMessageReceived(QStringLiteral("run=1\n"));
    m_controller->onMessageReceived(QStringLiteral("2;10;20;30;40;50\n"));
    commands.clear();
    QSignalSpy project(m_model.get(), &Model::projectChanged);
    m_controller->onActionCalibration();
    QCOMPARE(m_answer->answered(), 2);
    QCOMPARE(project.count(), 1);
    QCOMPARE(m_model->offset(4), -50.0);
    QTest::qWait(50);
    QVERIFY(commands.isEmpty());
}

void TestController::listCollection()
{
    QSignalSpy list(m_controller.get(), &Controller::blackBoxDateListReceived);
    for (const char* line :
         {"list {\n", "2019-01-01\n", ".\n", "..\n", "  2019-01-02 \n", "} list\n", "2019-01-03\n"})
        m_controller->onMessageReceived(QString::fromLatin1(line));
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.at(0).at(0).toStringList(),
             QStringList({QStringLiteral("2019-01-01"), QStringLiteral("2019-01-02")}));

    // Against the device: the day folders of its stick.
    startSimulator();
    connectToSimulator();
    m_controller->kalvikConnector()->write(QStringLiteral("list\n"));
    QTRY_COMPARE(list.count(), 2);
    const QStringList days = list.at(1).at(0).toStringList();
    QVERIFY(!days.isEmpty());
    for (const QString& day : days)
        QVERIFY2(day.startsWith(QStringLiteral("dir-")), qPrintable(day));
}

void TestController::disconnectByUser()
{
    startSimulator();
    connectToSimulator();
    QTRY_COMPARE(m_model->sensorDescription().sensorGroup(0).name(), QStringLiteral("Abstand"));
    const QString path = m_dir->filePath(QStringLiteral("p.mvx"));
    m_model->setProjectFileName(path);
    QSignalSpy commands(m_sim.get(), &KalvikSimulator::commandReceived);
    m_view->form()->actionConnect->trigger();
    QTRY_VERIFY(!m_model->isConnected());
    QCOMPARE(m_view->form()->actionConnect->text(), QStringLiteral("&Verbinden"));
    QVERIFY(QFile::exists(path));
    QTRY_VERIFY(!commands.isEmpty());
    QCOMPARE(commands.at(0).at(0).toString(), QStringLiteral("run=0"));
}

void TestController::socketErrors()
{
    // Nothing listens at the address: the connection is refused.
    m_answer->clickButton(QStringLiteral("OK"));
    m_view->form()->actionConnect->setEnabled(true);
    m_view->form()->actionConnect->trigger();
    QTRY_COMPARE(m_answer->answered(), 1);
    QCOMPARE(m_answer->titles().at(0), QStringLiteral("Netzwerk Fehler"));
    QVERIFY(!m_model->isConnected());
    // A connection that never was is not tried again.
    QVERIFY(!m_controller->isReconnecting());

    // The device goes away: no box, the program tries again by itself.
    startSimulator();
    connectToSimulator();
    QSignalSpy lost(m_controller.get(), &Controller::linkLost);
    m_sim.reset();
    QTRY_COMPARE(lost.count(), 1);
    QVERIFY(!m_model->isConnected());
    QVERIFY(m_controller->isReconnecting());
    QCOMPARE(m_answer->answered(), 1);
}

void TestController::socketErrorTexts_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("text");
    QTest::newRow("remote host closed")
        << int(QAbstractSocket::RemoteHostClosedError)
        << QStringLiteral("Die Kalvik Hardware ist nicht mehr erreichbar.");
    QTest::newRow("host not found")
        << int(QAbstractSocket::HostNotFoundError)
        << QStringLiteral("Die Kalvik Hardware wurde nicht gefunden! Bitte IP-Adresse überprüfen!");
    QTest::newRow("refused") << int(QAbstractSocket::ConnectionRefusedError)
                             << QStringLiteral("Die Verbindung wurde abgelehnt!\n(Die IP-Adresse "
                                               "wurde jedoch gefunden.)");
}

void TestController::socketErrorTexts()
{
    QFETCH(int, error);
    QFETCH(QString, text);
    QString shown;
    m_answer->answer([&shown](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        QVERIFY(box);
        shown = box->informativeText();
        box->accept();
    });
    m_controller->connectionError(static_cast<QAbstractSocket::SocketError>(error));
    QCOMPARE(m_answer->titles().value(0), QStringLiteral("Netzwerk Fehler"));
    QCOMPARE(shown, text);
}

void TestController::otherSocketErrorOffersAnotherAddress()
{
    startSimulator();
    m_answer->typeAndAccept(QStringLiteral("editIPAddress"), m_host);
    m_controller->connectionError(QAbstractSocket::SocketTimeoutError);
    QCOMPARE(m_answer->answered(), 1);
    QTRY_VERIFY(m_model->isConnected());

    LogCapture log;
    m_answer->reject();
    // An error of a live link is shown once it is clear that the link stays up.
    m_controller->connectionError(QAbstractSocket::NetworkError);
    QTRY_VERIFY(log.contains(QStringLiteral("dialog rejected")));
}

void TestController::valueLineRules()
{
    LogCapture log;
    // Before any shot readings are dropped.
    m_controller->onMessageReceived(QStringLiteral("1;1;2;3;4;5\n"));
    QVERIFY(!m_model->hasData());

    m_controller->onMessageReceived(QStringLiteral("run=1\n"));
    m_controller->onMessageReceived(QStringLiteral("12;0.5;1.5;2.5;3.5;4.5\n"));
    m_controller->onMessageReceived(QStringLiteral("-3;1\n"));
    QVERIFY(log.contains(QStringLiteral("received data. ERROR: No List!")));
    // Lines without exactly five readings go as a whole; blanks around a reading are fine.
    m_controller->onMessageReceived(QStringLiteral("13;7;8\n"));
    m_controller->onMessageReceived(QStringLiteral("14; 1 ;x;;3e1;4;5;6;7\r\n"));
    m_controller->onMessageReceived(QStringLiteral("15; 1 ;2;3e1; 4 ;5\r\n"));
    QCOMPARE(*m_model->measurement(0, 0), SampleList({0.5, 1}));
    QCOMPARE(*m_model->measurement(1, 0), SampleList({1.5, 2}));
    QCOMPARE(*m_model->measurement(2, 0), SampleList({2.5, 30}));
    QCOMPARE(*m_model->measurement(3, 0), SampleList({3.5, 4}));
    QCOMPARE(*m_model->measurement(4, 0), SampleList({4.5, 5}));

    // A second shot gets index 1; readings after run=0 still join the last shot.
    m_controller->onMessageReceived(QStringLiteral("run=1\n"));
    QCOMPARE(m_controller->currentSeriesOf(3), 1);
    m_controller->onMessageReceived(QStringLiteral("run=0\n"));
    m_controller->onMessageReceived(QStringLiteral("15;9;9;9;9;9\n"));
    QCOMPARE(m_model->measurement(0, 1)->size(), 1);

    // After clearing, readings find no shot.
    m_model->clearData();
    m_controller->onMessageReceived(QStringLiteral("16;9;9;9;9;9\n"));
    QVERIFY(!m_model->hasData());
}

void TestController::badDeviceLines()
{
    LogCapture log;
    const QStringList lines = {
        QStringLiteral("<deviceDescription hardwareVersion=\"1"),
        QStringLiteral("<deviceDescription numGroups=\"x\" firmwareVersion="),
        QStringLiteral("<deviceDescription><group><channel min=\"a\" max=/></group>"),
        QStringLiteral("<sensorDescription numGroups=\"1\"><group name=\"G\" numSensors=\"2\">"
                       "<sensor name=\"a\"/><sensor name=\"b\"/><sensor name=\"c\" unit=\"mm\"/>"),
        QStringLiteral("<sensorDescription numGroups=\"?\"><group name=\"no end"),
        QStringLiteral(
            "<sensorDescription numGroups=\"1\"><group numSensors=\"3\"><sensor unit=\""),
        QStringLiteral("<sensorDescription numGroups=\"1\"><group name=\"A\"><group name=\"B\">"),
        QString::fromLatin1(QByteArray("\x01\x02\xff\xfe<>\"\"==\n", 11)),
        QStringLiteral("run=1\n"),
        QString(1023, QLatin1Char('7')),
        QStringLiteral("1;a;b;c;d;e\n"),
        QStringLiteral("list {\n"),
        QString(1023, QLatin1Char('x')),
        QStringLiteral("} list\n"),
        QStringLiteral("t=\n"),
        QStringLiteral("-\n"),
    };
    for (const QString& line : lines)
        m_controller->onMessageReceived(line);
    const SensorDescription& d = m_model->sensorDescription();
    QCOMPARE(d.numSensorGroups(), 1);
    QCOMPARE(d.sensorGroup(0).name(), QStringLiteral("A"));
    QCOMPARE(m_model->numChannels(0), 1);
    // Neither the 1023-byte piece of digits nor the letters are readings.
    QVERIFY(m_model->measurement(0, 0)->isEmpty());

    // More sensors than announced: only the announced ones are described. The project holds
    // a shot now, so the new description is announced first.
    m_answer->clickButton(QStringLiteral("OK"));
    m_controller->onMessageReceived(lines.at(3));
    QCOMPARE(m_answer->answered(), 1);
    QCOMPARE(d.sensorGroup(0).numSensors(), 2);
    QCOMPARE(d.sensorGroup(0).sensorName(1), QStringLiteral("b"));
}

void TestController::simulatorFaultsDoNotStopRecording_data()
{
    QTest::addColumn<int>("fault");
    QTest::newRow("garbage") << int(SimulatorOptions::Garbage);
    QTest::newRow("long lines") << int(SimulatorOptions::LongLines);
    QTest::newRow("binary") << int(SimulatorOptions::Binary);
    QTest::newRow("trickle") << int(SimulatorOptions::Trickle);
    QTest::newRow("drop") << int(SimulatorOptions::DropConnection);
}

void TestController::simulatorFaultsDoNotStopRecording()
{
    QFETCH(int, fault);
    SimulatorOptions options;
    options.faults = fault;
    startSimulator(options);
    connectToSimulator();
    QComboBox* box = m_view->tabProject()->form()->selectionBoxClock;
    box->setCurrentText(QStringLiteral("5ms"));
    QTRY_COMPARE(m_model->clock(), 5);
    QSignalSpy restored(m_controller.get(), &Controller::linkRestored);
    m_view->form()->actionStartRecording->trigger();
    QTRY_VERIFY(m_controller->isRecordingRunning());
    QTRY_VERIFY_WITH_TIMEOUT(m_model->measurement(0, 0)->size() >= 20 || !m_model->isConnected(),
                             5000);
    QVERIFY(m_model->measurement(0, 0)->size() > 0);
    for (int k = 1; k < 5; ++k)
        QVERIFY(m_model->measurement(k, 0)->size() > 0);
    if (fault == SimulatorOptions::DropConnection) {
        // No box: the link comes back by itself and the recording goes on with the device's
        // next shot, the one cut off kept.
        QTRY_VERIFY_WITH_TIMEOUT(restored.count() >= 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(
            m_model->numChannels(0) >= 2 && m_model->measurement(4, 1)->size() > 0, 10000);
        for (int k = 0; k < 5; ++k)
            QVERIFY(m_model->measurement(k, 0)->size() > 0);
        QCOMPARE(m_answer->answered(), 0);
    }
}

void TestController::longLinePiecesAreNoReadings()
{
    // Over-long lines of printable junk come between the value lines; the rest of such a
    // line, past its first 1023 bytes, often begins with a digit.
    SimulatorOptions options;
    options.faults = SimulatorOptions::LongLines;
    options.maxRate = true;
    // The device ends the shot by itself after 2000 readings.
    options.host = m_host;
    options.stickDir = m_dir->filePath(QStringLiteral("stick"));
    options.fixedSeed = true;
    options.seed = 7;
    options.cycleMs = 10000;
    m_sim = std::make_unique<KalvikSimulator>(options);
    QVERIFY(m_sim->start());
    connectToSimulator();
    m_view->tabProject()->form()->selectionBoxClock->setCurrentText(QStringLiteral("5ms"));
    QTRY_COMPARE(m_model->clock(), 5);
    QSignalSpy ended(m_sim.get(), &KalvikSimulator::shotEnded);
    m_view->form()->actionStartRecording->trigger();
    QVERIFY(ended.wait(20000));
    QTRY_VERIFY(!m_controller->isRecordingRunning());
    QCOMPARE(m_sim->samplesSent(), 2000);
    for (int k = 0; k < 5; ++k)
        QCOMPARE(m_model->measurement(k, 0)->size(), 2000);
}

void TestController::deleteRanges_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("remaining");
    // The shots the question names; empty when nothing is deleted and nothing asked.
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("diagnostic");
    const QList<int> all{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    QTest::newRow("2,5") << QStringLiteral("2,5") << QList<int>{1, 3, 4, 6, 7, 8, 9, 10}
                         << QStringLiteral("2, 5") << QString();
    QTest::newRow("5,2 means shots 5 and 2")
        << QStringLiteral("5,2") << QList<int>{1, 3, 4, 6, 7, 8, 9, 10} << QStringLiteral("2, 5")
        << QString();
    QTest::newRow("1-3,2 deletes each shot once")
        << QStringLiteral("1-3,2") << QList<int>{4, 5, 6, 7, 8, 9, 10} << QStringLiteral("1-3")
        << QString();
    QTest::newRow("3-5") << QStringLiteral("3-5") << QList<int>{1, 2, 6, 7, 8, 9, 10}
                         << QStringLiteral("3-5") << QString();
    QTest::newRow("1-2-3") << QStringLiteral("1-2-3") << all << QString()
                           << QStringLiteral("syntax error in range!!  (range=1, 2, 3)");
    QTest::newRow("4,,6") << QStringLiteral("4,,6") << QList<int>{1, 2, 3, 5, 7, 8, 9, 10}
                          << QStringLiteral("4, 6") << QString();
    QTest::newRow("4, ,6") << QStringLiteral("4, ,6") << QList<int>{1, 2, 3, 5, 6, 7, 8, 9, 10}
                           << QStringLiteral("4") << QStringLiteral("syntax error in range!!  (range=)");
    QTest::newRow("beyond the last") << QStringLiteral("9-30") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8}
                                     << QStringLiteral("9-10") << QString();
    QTest::newRow("huge range ends at once")
        << QStringLiteral("10-2000000000") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}
        << QStringLiteral("10") << QString();
    QTest::newRow("shot 0 does not exist")
        << QStringLiteral("0,3") << QList<int>{1, 2, 4, 5, 6, 7, 8, 9, 10} << QStringLiteral("3")
        << QString();
    QTest::newRow("not numerals") << QStringLiteral("abc,;;") << all << QString() << QString();
}

void TestController::deleteRanges()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, remaining);
    QFETCH(QString, named);
    QFETCH(QString, diagnostic);
    numberedShots(10);
    QSignalSpy data(m_model.get(), &Model::dataChanged);
    LogCapture log;
    // A box without a question is only said; with one, it must name exactly the shots that go.
    QString question;
    m_answer->answer(answerBox(named.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::YesRole,
                               &question));
    m_controller->onTabOszi_deleteMeasurements(text);
    QCOMPARE(m_answer->answered(), 1);
    if (named.isEmpty()) {
        QVERIFY(m_answer->texts().value(0).endsWith(text));
    } else {
        QCOMPARE(m_answer->texts().value(0), QStringLiteral("<b>Daten löschen</b>"));
        QCOMPARE(question.section(QLatin1Char('\n'), -1), named);
    }
    QCOMPARE(remainingShotNumbers(), remaining);
    QCOMPARE(m_model->numChannels(4), remaining.size());
    QCOMPARE(m_model->numTimestamps(), remaining.size());
    QCOMPARE(data.count(), named.isEmpty() ? 0 : 1);
    QVERIFY(!m_model->signalsBlocked());
    if (!diagnostic.isEmpty())
        QVERIFY2(log.contains(diagnostic), qPrintable(log.dump()));

    m_answer->clickRole(QMessageBox::NoRole);
    m_controller->onTabOszi_deleteMeasurements(QStringLiteral("1"));
    QCOMPARE(remainingShotNumbers(), remaining);
}

void TestController::headerEditKeepsMarkers()
{
    ProjectData data;
    data.markers = {100, 200, 300, 400};
    m_model->setProjectData(data);
    Ui::TabProject* ui = m_view->tabProject()->form();
    ui->projectNameEdit->setText(QStringLiteral("Deckel"));
    ui->phase2Edit->setText(QStringLiteral("Spritzen"));
    emit m_view->tabProject()->projectDataChanged();
    QCOMPARE(m_model->projectData().name, QStringLiteral("Deckel"));
    QCOMPARE(m_model->phaseName(1), QStringLiteral("Spritzen"));
    QCOMPARE(m_model->projectData().markers, data.markers);

    // Nothing differs: no change reaches the model.
    QSignalSpy project(m_model.get(), &Model::projectChanged);
    emit m_view->tabProject()->projectDataChanged();
    QCOMPARE(project.count(), 0);
}

void TestController::phaseEditAndMarkerSlots()
{
    emit m_view->tabProject()->phaseEditChanged(4, QStringLiteral("Auswerfen"));
    QCOMPARE(m_model->phaseName(4), QStringLiteral("Auswerfen"));
    m_controller->onTabOszi_markerChangedAbsolute(1, 500);
    m_controller->onTabOszi_markerChangedRelative(3, 20);
    const auto& m = m_model->projectData().markers;
    QCOMPARE(QList<int>({m[0], m[1], m[2], m[3]}), QList<int>({0, 500, 500, 520}));
    QSignalSpy project(m_model.get(), &Model::projectChanged);
    m_controller->onTabOszi_checkBoxMarkerAbsClicked(true);
    QVERIFY(m_model->viewData().checkBoxMarkerAbsolute);
    QCOMPARE(project.count(), 0);
}

void TestController::clearAllData()
{
    numberedShots(3);
    m_answer->clickButton(QStringLiteral("Abbrechen"));
    m_controller->onTabProject_clearDataClicked();
    QCOMPARE(m_model->numChannels(0), 3);
    m_answer->clickButton(QStringLiteral("OK"));
    m_controller->onTabProject_clearDataClicked();
    QVERIFY(!m_model->hasData());
    QCOMPARE(m_answer->texts().at(0), QStringLiteral("Achtung: Alle Messdaten werden gelöscht!"));
}

void TestController::newProjectPrompts()
{
    startSimulator();
    connectToSimulator();
    QTRY_COMPARE(m_model->sensorDescription().sensorGroup(0).name(), QStringLiteral("Abstand"));
    numberedShots(2);
    m_model->setComment(QStringLiteral("ungespeichert"));
    // "Verwerfen" disconnects from the device and starts afresh.
    m_answer->clickButton(QStringLiteral("Verwerfen"));
    emit m_view->newProject();
    QVERIFY(!m_model->hasData());
    QTRY_VERIFY(!m_model->isConnected());
    QVERIFY(!m_model->isProjectModified());
    QCOMPARE(m_view->form()->tabWidget->currentWidget(), m_view->form()->tabProject);
    QVERIFY(m_view->form()->actionConnect->isEnabled());
    QVERIFY(!m_view->form()->actionStartRecording->isEnabled());

    // "Speichern" on a project without a name asks for one first.
    numberedShots(1);
    m_model->setComment(QStringLiteral("wieder"));
    const QString path = m_dir->filePath(QStringLiteral("neu.mvx"));
    m_answer->clickButton(QStringLiteral("Speichern"));
    m_answer->chooseFile(path);
    emit m_view->newProject();
    QCOMPARE(m_answer->answered(), 3);
    QVERIFY(QFile::exists(path));
    QVERIFY(!m_model->hasData());
}

void TestController::saveCancelledKeepsData()
{
    numberedShots(2);
    m_model->setComment(QStringLiteral("wichtig"));
    m_answer->clickButton(QStringLiteral("Speichern"));
    m_answer->reject();
    emit m_view->newProject();
    QCOMPARE(m_answer->answered(), 2);
    QCOMPARE(m_model->numChannels(0), 2);
    QVERIFY(m_model->isProjectModified());

    m_answer->clickButton(QStringLiteral("Speichern"));
    m_answer->reject();
    m_controller->onActionQuit();
    QCOMPARE(m_model->numChannels(0), 2);
    QVERIFY(
        !QSettings(settingsOrganization, settingsApplication).contains(QStringLiteral("lastDir")));
}

void TestController::openProject()
{
    const QString path = m_dir->filePath(QStringLiteral("alt.mvx"));
    {
        Model other;
        other.addMeasurement();
        other.appendSample(0, 0, 3.0);
        QVERIFY(other.save(path));
    }
    startSimulator();
    connectToSimulator();
    // A sensor description arriving once the opened project holds shots would ask about
    // integrating it; this test is about opening.
    QTRY_COMPARE(m_model->sensorDescription().sensorGroup(0).name(), QStringLiteral("Abstand"));
    m_model->setComment(QStringLiteral("geändert"));
    // "Verwerfen" here does not disconnect.
    m_answer->clickButton(QStringLiteral("Verwerfen"));
    m_answer->chooseFile(path);
    emit m_view->openProject();
    QCOMPARE(m_answer->answered(), 2);
    QCOMPARE(m_model->numChannels(0), 1);
    QCOMPARE(m_model->projectFileName(), path);
    QCOMPARE(m_model->lastDir(), m_dir->path());
    QVERIFY(m_model->isConnected());
    QVERIFY(m_view->form()->tabWidget->isTabEnabled(m_view->tabIndex(View::Tabs::Evaluation)));

    // A file that is not a project: a warning, the project stays.
    const QString broken = m_dir->filePath(QStringLiteral("kaputt.mvx"));
    QFile f(broken);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("kein JSON");
    f.close();
    m_answer->chooseFile(broken);
    m_answer->clickButton(QStringLiteral("OK"));
    emit m_view->openProject();
    QCOMPARE(m_answer->texts().constLast(), QStringLiteral("Cannot open file %1 !.").arg(broken));
    QCOMPARE(m_model->numChannels(0), 1);
}

void TestController::saveAsAppendsExtension()
{
    numberedShots(1);
    m_answer->chooseFile(m_dir->filePath(QStringLiteral("ohne")));
    emit m_view->saveProject();
    QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("ohne.mvx"))));
    QVERIFY(!m_model->isProjectModified());
    // Saving again goes to the same file without asking.
    m_model->setComment(QStringLiteral("x"));
    emit m_view->saveProject();
    QCOMPARE(m_answer->answered(), 1);
    QVERIFY(!m_model->isProjectModified());
}

void TestController::quitPrompts()
{
    startSimulator();
    connectToSimulator();
    QTRY_COMPARE(m_model->sensorDescription().sensorGroup(0).name(), QStringLiteral("Abstand"));
    m_model->setComment(QStringLiteral("offen"));
    m_answer->clickButton(QStringLiteral("Abbrechen"));
    m_controller->onActionQuit();
    QVERIFY(m_model->isConnected());
    QSettings settings(settingsOrganization, settingsApplication);
    QVERIFY(!settings.contains(QStringLiteral("mainwindow_pos")));

    m_model->setLastDir(QStringLiteral("/projekte"));
    QSignalSpy commands(m_sim.get(), &KalvikSimulator::commandReceived);
    m_answer->clickButton(QStringLiteral("Verwerfen"));
    m_controller->onActionQuit();
    QTRY_VERIFY(!m_model->isConnected());
    QTRY_VERIFY(!commands.isEmpty());
    QCOMPARE(commands.at(0).at(0).toString(), QStringLiteral("run=0"));
    settings.sync();
    QCOMPARE(settings.value(QStringLiteral("lastDir")).toString(), QStringLiteral("/projekte"));
    QCOMPARE(settings.value(QStringLiteral("mainwindow_size")).toSize(), m_view->geometry().size());
    QCOMPARE(settings.value(QStringLiteral("mainwindow_pos")).toPoint(), m_view->pos());
}

DialogAnswerer::Handler TestController::answerBox(QMessageBox::ButtonRole role, QString* informative)
{
    return [this, role, informative](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        QVERIFY(box);
        m_failures << box->objectName() + QStringLiteral(": ") + box->text();
        if (informative)
            *informative = box->informativeText();
        for (QAbstractButton* button : box->buttons()) {
            if (box->buttonRole(button) == role) {
                button->click();
                return;
            }
        }
        QFAIL("no button of that role");
    };
}

bool TestController::quitWentThrough() const
{
    return QSettings(settingsOrganization, settingsApplication).contains(QStringLiteral("lastDir"));
}

void TestController::failedSaveAtQuitLetsTheUserChoose()
{
    // The project's folder goes away, as a stick pulled or a share lost.
    const QString folder = m_dir->filePath(QStringLiteral("stick"));
    QVERIFY(QDir().mkpath(folder));
    const QString gone = folder + QStringLiteral("/deckel.mvx");
    numberedShots(2);
    QVERIFY(m_model->save(gone));
    QVERIFY(QDir(folder).removeRecursively());
    m_model->setComment(QStringLiteral("nach dem Speichern"));
    const QString named = QStringLiteral("saveFailureBox: ") +
                          m_view->tr("Das Projekt konnte nicht in die Datei %1 gespeichert werden.")
                              .arg(QDir::toNativeSeparators(gone));

    // "Speichern"; the save fails; "Abbrechen": the application and the data stay.
    m_answer->clickRole(QMessageBox::YesRole);
    m_answer->answer(answerBox(QMessageBox::RejectRole));
    m_controller->onActionQuit();
    QCOMPARE(m_answer->answered(), 2);
    // The file, then the system's reason.
    QCOMPARE(m_failures.value(0).section(QLatin1Char('\n'), 0, 0), named);
    QVERIFY(!m_failures.value(0).section(QLatin1Char('\n'), 1).isEmpty());
    QVERIFY(!quitWentThrough());
    QVERIFY(m_model->isProjectModified());

    // Again, and saved elsewhere: the application quits with the project written there.
    const QString elsewhere = m_dir->filePath(QStringLiteral("anderswo.mvx"));
    m_answer->clickRole(QMessageBox::YesRole);
    m_answer->answer(answerBox(QMessageBox::YesRole));
    m_answer->chooseFile(elsewhere);
    m_controller->onActionQuit();
    QCOMPARE(m_answer->answered(), 5);
    QVERIFY(quitWentThrough());
    Model written;
    QVERIFY(written.open(elsewhere));
    QCOMPARE(written.comment(), QStringLiteral("nach dem Speichern"));
}

void TestController::recordIntoProjectAt(const QString& path)
{
    startSimulator();
    connectToSimulator();
    QTRY_COMPARE(m_model->sensorDescription().sensorGroup(0).name(), QStringLiteral("Abstand"));
    QVERIFY(m_model->save(path));
    m_controller->onActionStartStopRecording();
    QTRY_VERIFY(m_model->numChannels(0) == 1 && m_model->measurement(0, 0)->size() >= 3);
}

void TestController::failedSaveAfterStopIsShown()
{
    const QString folder = m_dir->filePath(QStringLiteral("share"));
    QVERIFY(QDir().mkpath(folder));
    recordIntoProjectAt(folder + QStringLiteral("/p.mvx"));
    QVERIFY(QDir(folder).removeRecursively());

    m_answer->answer(answerBox(QMessageBox::AcceptRole));
    m_controller->onActionStartStopRecording();
    QCOMPARE(m_answer->answered(), 1);
    m_answer->answer(answerBox(QMessageBox::AcceptRole));
    m_controller->onActionConnect();
    QCOMPARE(m_answer->answered(), 2);
    for (const QString& failure : m_failures)
        QVERIFY2(failure.startsWith(QStringLiteral("saveFailureBox: ")), qPrintable(failure));
    QCOMPARE(m_model->numChannels(0), 1);
}

void TestController::quitDuringRecordingStopsThenSaves()
{
    const QString path = m_dir->filePath(QStringLiteral("laufend.mvx"));
    recordIntoProjectAt(path);
    m_model->setComment(QStringLiteral("mitten im Schuss"));

    // "Speichern": the device is stopped first, the save then holds the whole shot.
    m_answer->clickRole(QMessageBox::YesRole);
    m_controller->onActionQuit();
    QCOMPARE(m_answer->answered(), 1);
    QVERIFY(quitWentThrough());
    QVERIFY(!m_controller->isRecordingRunning());
    Model written;
    QVERIFY(written.open(path));
    QCOMPARE(written.comment(), QStringLiteral("mitten im Schuss"));
    for (int k = 0; k < 5; ++k)
        QCOMPARE(*written.measurement(k, 0), *m_model->measurement(k, 0));
}

void TestController::escapeOnSaveQuestionLeavesProjectAlone_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("new project") << QStringLiteral("new");
    QTest::newRow("open") << QStringLiteral("open");
    QTest::newRow("black box") << QStringLiteral("blackbox");
}

void TestController::escapeOnSaveQuestionLeavesProjectAlone()
{
    QFETCH(QString, command);
    const QString path = m_dir->filePath(QStringLiteral("p.mvx"));
    numberedShots(3);
    QVERIFY(m_model->save(path));
    m_model->setComment(QStringLiteral("ungesichert"));
    QWidget* current = m_view->form()->tabWidget->currentWidget();

    m_answer->answer([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    if (command == QLatin1String("new"))
        emit m_view->newProject();
    else if (command == QLatin1String("open"))
        emit m_view->openProject();
    else
        emit m_view->importBlackBox();
    // Only the question came; no file dialog followed.
    QCOMPARE(m_answer->answered(), 1);
    // Neither discarded nor saved.
    QCOMPARE(m_model->comment(), QStringLiteral("ungesichert"));
    QVERIFY(m_model->isProjectModified());
    QCOMPARE(m_view->form()->tabWidget->currentWidget(), current);
}

void TestController::openedProjectAfterBlackBoxShowsRecording()
{
    const QString path = m_dir->filePath(QStringLiteral("p.mvx"));
    numberedShots(1);
    QVERIFY(m_model->save(path));
    emit m_view->importBlackBox();
    Ui::View* ui = m_view->form();
    QVERIFY(!ui->actionStartRecording->isVisible());
    m_answer->chooseFile(path);
    emit m_view->openProject();
    QCOMPARE(m_model->projectFileName(), path);
    QVERIFY(ui->actionStartRecording->isVisible());
    QVERIFY(ui->actionCalibrate->isVisible());
}

void TestController::missingStartFileIsSaid()
{
    const QString missing = m_dir->filePath(QStringLiteral("gibt-es-nicht.mvx"));
    Model model(missing);
    View view(&model);
    Controller controller(&model, &view);
    DialogAnswerer answer;
    answer.clickRole(QMessageBox::AcceptRole);
    QTRY_COMPARE(answer.answered(), 1);
    QCOMPARE(answer.texts().value(0), QStringLiteral("Cannot open file %1 !.").arg(missing));
    QVERIFY(model.projectFileName().isEmpty());
}

void TestController::deletionNotUndone_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("saveBetween");
    QTest::addColumn<QList<int>>("afterUndo");
    QTest::newRow("one shot") << QStringLiteral("3") << false << QList<int>{1, 2, 3, 4, 5, 6};
    QTest::newRow("first, middle and last")
        << QStringLiteral("1,3-4,6") << false << QList<int>{1, 2, 3, 4, 5, 6};
    QTest::newRow("saved since") << QStringLiteral("2,5") << true << QList<int>{1, 3, 4, 6};
}

void TestController::deletionNotUndone()
{
    QFETCH(QString, text);
    QFETCH(bool, saveBetween);
    QFETCH(QList<int>, afterUndo);
    numberedShots(6);
    for (int i = 0; i < 6; ++i)
        m_model->setTimestamp(i, QDateTime(QDate(2026, 3, 1), QTime(8, i)));
    QAction* undo = m_view->undoDeleteAction();
    auto* button = m_view->tabOszi()->findChild<QPushButton*>(QStringLiteral("buttonUndoDelete"));
    QVERIFY(!undo->isEnabled() && !button->isEnabled());
    m_answer->clickRole(QMessageBox::YesRole);
    m_controller->onTabOszi_deleteMeasurements(text);
    QVERIFY(undo->isEnabled() && button->isEnabled());
    if (saveBetween)
        QVERIFY(m_model->save(m_dir->filePath(QStringLiteral("saved.mvx"))));
    const QList<int> before = remainingShotNumbers();

    QSignalSpy data(m_model.get(), &Model::dataChanged);
    undo->trigger();
    QCOMPARE(remainingShotNumbers(), afterUndo);
    QCOMPARE(data.count(), saveBetween ? 0 : 1);
    for (int k = 1; k < 5; ++k)
        QCOMPARE(m_model->numChannels(k), afterUndo.size());
    QCOMPARE(m_model->numTimestamps(), afterUndo.size());
    for (int i = 0; i < afterUndo.size(); ++i)
        QCOMPARE(m_model->timestamp(i).time().minute(), afterUndo.at(i) - 1);
    QVERIFY(!undo->isEnabled() && !button->isEnabled());
    // Once only: a second undo changes nothing.
    undo->trigger();
    QCOMPARE(remainingShotNumbers(), saveBetween ? before : afterUndo);
}

void TestController::missingRecentProjectNotExplained()
{
    const QString kept = m_dir->filePath(QStringLiteral("kept.mvx"));
    const QString gone = m_dir->filePath(QStringLiteral("gone.mvx"));
    QVERIFY(m_model->save(gone));
    QVERIFY(m_model->save(kept));
    QMenu* menu = m_view->recentProjectsMenu();
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions().at(0)->data().toString(), kept);
    QVERIFY(QFile::remove(gone));

    // Looked at again, the missing file is marked on the menu and the start page.
    emit m_view->dropDownMenu()->aboutToShow();
    QAction* goneEntry = menu->actions().at(1);
    QCOMPARE(goneEntry->data().toString(), gone);
    QVERIFY(goneEntry->font().italic());
    QVERIFY(goneEntry->isEnabled());
    QVERIFY(!menu->actions().at(0)->font().italic());
    QStringList startTexts;
    for (QLabel* label :
         m_view->startWidget()->findChildren<QLabel*>(QStringLiteral("latestFileLabel")))
        startTexts.append(label->text());
    QCOMPARE(startTexts.filter(QStringLiteral("gray")).size(), 1);
    QVERIFY(startTexts.filter(QStringLiteral("gray")).at(0).contains(gone));

    // Chosen, it says why and leaves the list; the open project stays.
    m_answer->clickRole(QMessageBox::AcceptRole);
    goneEntry->trigger();
    QCOMPARE(m_answer->answered(), 1);
    QVERIFY(m_answer->texts().value(0).contains(QDir::toNativeSeparators(gone)));
    QCOMPARE(m_model->projectFileName(), kept);
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(QSettings(settingsOrganization, settingsApplication)
                 .value(settingsKeyRecentFiles)
                 .toStringList(),
             QStringList{kept});

    // An existing one opens.
    m_controller->onNewProject();
    menu->actions().at(0)->trigger();
    QCOMPARE(m_model->projectFileName(), kept);
}

VENTARO_TEST_MAIN(TestController)
#include "test_controller.moc"
