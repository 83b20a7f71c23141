#include "app/Constants.h"
#include "control/DeviceProtocol.h"
#include "device/KalvikConnector.h"
#include "model/SensorDescription.h"
#include "tests/common/FakeDeviceSetup.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TestMain.h"
#include "ui_View.h"
#include "view/TabOszilloscope.h"
#include "widgets/OsziWidget.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>

// Recording against a device played by the test: every sample in a shot is one the device
// sent for that shot, and the window shows the state the controller is in.
class TestRecording : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void linesAfterTheDataAreReplacedAreDropped_data();
    void linesAfterTheDataAreReplacedAreDropped();
    void lostConnectionEndsTheRecording();
    void quitAfterDiscardLeavesTheFile();
    void quitWritesShotsRecordedSinceTheSave();
    void samplePeriodBeyondTheDeviceIsRefused();
    void lateSensorDescriptionWidensTheAxes();
    void titleTellsTheConnectionAndTheFile();
    void projectOpenedAtStartCanConnect();
    void brokenValueLinesMakeNoSamples();

    void protocolLineKinds_data();
    void protocolLineKinds();
    void valueLineCountsOnlyWithFiveFiniteReadings_data();
    void valueLineCountsOnlyWithFiveFiniteReadings();
    void protocolSamplePeriod();
    void protocolShotRanges();

private:
    // Connected, with a recorded shot of three lines.
    void recordOneShot();
    int samplesOfShot(int shot) const { return m_app->model->measurement(0, shot)->size(); }

    std::unique_ptr<FakeDeviceSetup> m_app;
};

void TestRecording::init()
{
    m_app = std::make_unique<FakeDeviceSetup>(37);
}

void TestRecording::cleanup()
{
    QCOMPARE(m_app->answer->unexpected(), 0);
    m_app.reset();
    // A quit leaves every later event loop refusing to run (dialogs would close at once);
    // a run of the application's own loop clears that for the next test.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

void TestRecording::recordOneShot()
{
    QVERIFY(m_app->connectDevice());
    m_app->send("run=1\n" + FakeDeviceSetup::valueLines(1, 3));
    QTRY_VERIFY(m_app->model->numChannels(0) == 1 && samplesOfShot(0) == 3);
    QVERIFY(m_app->controller->isRecordingRunning());
}

void TestRecording::linesAfterTheDataAreReplacedAreDropped_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("open") << QStringLiteral("open");
    QTest::newRow("new project") << QStringLiteral("new");
    QTest::newRow("clear data") << QStringLiteral("clear");
}

void TestRecording::linesAfterTheDataAreReplacedAreDropped()
{
    QFETCH(QString, how);
    const QString path = m_app->dir.filePath(QStringLiteral("drei.mvx"));
    {
        Model other;
        for (int shot = 0; shot < 3; ++shot) {
            other.addMeasurement();
            for (int k = 0; k < 5; ++k)
                *other.measurement(k, shot) = SampleList{1.0, 2.0, 3.0};
        }
        QVERIFY(other.save(path));
    }
    recordOneShot();
    Model& model = *m_app->model;
    // As if saved: nothing to ask about before the data are replaced.
    model.setProjectModifiedFlag(false);
    model.setFileChangeCount(model.changeCount());
    if (how == QLatin1String("open")) {
        m_app->answer->chooseFile(path);
        m_app->controller->onOpenProject();
        QCOMPARE(model.numChannels(0), 3);
    } else if (how == QLatin1String("new")) {
        m_app->controller->onNewProject();
        QVERIFY(!model.hasData());
    } else {
        m_app->answer->clickRole(QMessageBox::AcceptRole);
        m_app->controller->onTabProject_clearDataClicked();
        QVERIFY(!model.hasData());
    }
    QSignalSpy lines(m_app->controller->kalvikConnector(), &KalvikConnector::messageReceived);
    m_app->send(FakeDeviceSetup::valueLines(4, 2));
    QTRY_COMPARE(lines.count(), 2);
    // Nothing landed in a shot of the project that replaced the recorded one.
    for (int i = 0; i < model.numChannels(0); ++i)
        QCOMPARE(samplesOfShot(i), 3);
    QVERIFY(!model.isProjectModified());

    // The next shot the device starts is recorded whole.
    const int before = model.numChannels(0);
    m_app->send("run=1\n" + FakeDeviceSetup::valueLines(1, 4));
    QTRY_VERIFY(model.numChannels(0) == before + 1 && samplesOfShot(before) == 4);
}

void TestRecording::lostConnectionEndsTheRecording()
{
    recordOneShot();
    m_app->device->abort();
    QTRY_VERIFY(!m_app->model->isConnected());
    QVERIFY(!m_app->controller->isRecordingRunning());
    QCOMPARE(m_app->view->form()->actionStartRecording->text(), m_app->view->tr("&Start"));
    // The shot recorded so far stays.
    QCOMPARE(samplesOfShot(0), 3);

    // The link comes back by itself, without a box, and asks for the recording again.
    QTRY_VERIFY_WITH_TIMEOUT(m_app->server.hasPendingConnections(), 10000);
    m_app->device = m_app->server.nextPendingConnection();
    QByteArray received;
    QTRY_VERIFY((received += m_app->device->readAll()).contains("run=1"));
    QVERIFY(!received.contains("run=0"));
    QCOMPARE(m_app->answer->answered(), 0);
    QCOMPARE(samplesOfShot(0), 3);
}

void TestRecording::quitAfterDiscardLeavesTheFile()
{
    const QString path = m_app->dir.filePath(QStringLiteral("p.mvx"));
    Model& model = *m_app->model;
    model.addMeasurement();
    QVERIFY(model.save(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    model.setComment(QStringLiteral("verworfen"));
    QVERIFY(model.isProjectModified());
    m_app->answer->clickRole(QMessageBox::NoRole);
    m_app->controller->onActionQuit();
    QCOMPARE(m_app->answer->answered(), 1);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TestRecording::quitWritesShotsRecordedSinceTheSave()
{
    // Recorded shots do not mark the project modified, yet they belong in its file; an
    // unchanged project is not written again.
    recordOneShot();
    Model& model = *m_app->model;
    const QString path = m_app->dir.filePath(QStringLiteral("laufend.mvx"));
    QVERIFY(model.save(path));
    QVERIFY(!model.changedSinceFile());
    m_app->send(FakeDeviceSetup::valueLines(4, 2));
    QTRY_COMPARE(samplesOfShot(0), 5);
    QVERIFY(!model.isProjectModified());
    QVERIFY(model.changedSinceFile());

    m_app->answer->clickRole(QMessageBox::YesRole);
    m_app->controller->onActionQuit();
    Model saved;
    QVERIFY(saved.open(path));
    QCOMPARE(saved.measurement(0, 0)->size(), 5);
}

void TestRecording::samplePeriodBeyondTheDeviceIsRefused()
{
    QVERIFY(m_app->connectDevice());
    LogCapture log;
    QSignalSpy lines(m_app->controller->kalvikConnector(), &KalvikConnector::messageReceived);
    m_app->send("t=21474837\nt=0\nt=abc\nt=50\n");
    QTRY_COMPARE(lines.count(), 4);
    QCOMPARE(m_app->model->clock(), 50);
    QVERIFY(log.contains(QStringLiteral("ERROR: sample period refused: 21474837")));
    QVERIFY(log.contains(QStringLiteral("ERROR: sample period refused: 0")));
}

void TestRecording::lateSensorDescriptionWidensTheAxes()
{
    // The 700 ms defaults (0 to 12 mm) set the axes first; the device's own description
    // (0 to 12000 um) comes later.
    QVERIFY(m_app->connectDevice());
    TabOszilloscope* tab = m_app->view->tabOszi();
    auto* plot = tab->findChild<OsziWidget*>(QStringLiteral("osziWidget2"));
    auto* maxBox = tab->findChild<QDoubleSpinBox*>(QStringLiteral("maxSpinBox2"));
    QVERIFY(plot && maxBox);
    QTRY_COMPARE(plot->valueRangeMax(), 12.0);
    QByteArray description = "<sensorDescription numGroups=\"1\"><group name=\"Abstand\" "
                             "numSensors=\"5\">";
    for (int s = 1; s <= 5; ++s)
        description += "<sensor name=\"S" + QByteArray::number(s) +
                       "\" type=\"Distance\" min=\"0\" max=\"12000\" unit=\"um\"/>";
    m_app->send(description + "</group></sensorDescription>\n");
    QTRY_COMPARE(plot->valueRangeMax(), 12000.0);
    QCOMPARE(plot->valueRangeMin(), 0.0);
    QCOMPARE(maxBox->value(), 12000.0);
    // Readings in the new unit now land inside the plot.
    m_app->send("run=1\n3;9300;9300;9300;9300;9300\n");
    QTRY_COMPARE(m_app->model->numChannels(1), 1);
    QTRY_COMPARE(m_app->model->measurement(1, 0)->size(), 1);
    QCOMPARE(m_app->model->measurement(1, 0)->constFirst(), 9300.0);
}

void TestRecording::titleTellsTheConnectionAndTheFile()
{
    const QString path = m_app->dir.filePath(QStringLiteral("titel.mvx"));
    QVERIFY(m_app->model->save(path));
    View& view = *m_app->view;
    QVERIFY(view.windowTitle().contains(QStringLiteral("(disconnected)")));
    QVERIFY(view.windowTitle().contains(QStringLiteral("[titel.mvx]")));
    QVERIFY(m_app->connectDevice());
    // Every change of the project redraws the title; it must still tell the truth.
    m_app->model->setComment(QStringLiteral("x"));
    QVERIFY(!view.windowTitle().contains(QStringLiteral("(disconnected)")));
    QVERIFY(view.windowTitle().contains(QStringLiteral("[titel.mvx]")));
}

void TestRecording::projectOpenedAtStartCanConnect()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("start.mvx"));
    {
        Model source;
        source.addMeasurement();
        QVERIFY(source.save(path));
    }
    m_app.reset();
    m_app = std::make_unique<FakeDeviceSetup>(37, path);
    QVERIFY(m_app->view->form()->actionConnect->isEnabled());
    QVERIFY(m_app->view->windowTitle().contains(QStringLiteral("[start.mvx]")));
    QVERIFY(m_app->connectDevice());
}

void TestRecording::protocolLineKinds_data()
{
    using Kind = DeviceProtocol::Kind;
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("inList");
    QTest::addColumn<int>("kind");
    QTest::newRow("value") << QStringLiteral("12;1;2;3;4;5\n") << false << int(Kind::Values);
    QTest::newRow("negative value") << QStringLiteral("-1;1;2") << false << int(Kind::Values);
    QTest::newRow("day folder in a list")
        << QStringLiteral("2019-01-01\n") << true << int(Kind::ListEntry);
    QTest::newRow("value in a list") << QStringLiteral("1;2;3") << true << int(Kind::Values);
    QTest::newRow("run=1") << QStringLiteral("run=1\n") << false << int(Kind::RunStarted);
    QTest::newRow("run=0") << QStringLiteral("run=0") << false << int(Kind::RunStopped);
    QTest::newRow("period") << QStringLiteral("t=100") << false << int(Kind::SamplePeriod);
    QTest::newRow("list begins") << QStringLiteral("list {") << false << int(Kind::ListBegin);
    QTest::newRow("list ends") << QStringLiteral("} list") << true << int(Kind::ListEnd);
    QTest::newRow("junk") << QStringLiteral("#junk") << false << int(Kind::Other);
    QTest::newRow("empty") << QString() << false << int(Kind::Empty);
}

void TestRecording::protocolLineKinds()
{
    QFETCH(QString, line);
    QFETCH(bool, inList);
    QFETCH(int, kind);
    QCOMPARE(int(DeviceProtocol::classify(line, inList)), kind);
}

void TestRecording::brokenValueLinesMakeNoSamples()
{
    QVERIFY(m_app->connectDevice());
    QVERIFY(m_app->controller->readingsInThousandths());
    // Over-long lines (fields of 300 digits, cut within the first 1023 bytes; padding over
    // three pieces; a 2000-digit last reading) and a short and a non-finite line.
    QByteArray longFields = "8";
    for (int k = 0; k < 5; ++k)
        longFields += ';' + QByteArray(300, char('1' + k));
    const QList<QByteArray> broken = {
        longFields + '\n',
        "9;1;2;3;4;5" + QByteArray(3000, ' ') + '\n',
        "9;1;2;3;4;" + QByteArray(2000, '5') + '\n',
        "10;1;2;3\n",
        "11;1;nan;2;3;4\n",
    };
    QByteArray stream = "run=1\n";
    int good = 0;
    for (const QByteArray& line : broken)
        stream += FakeDeviceSetup::valueLines(++good, 1) + line;
    stream += FakeDeviceSetup::valueLines(++good, 1);
    LogCapture log;
    m_app->send(stream);
    Model& model = *m_app->model;
    // The last good line is in: every line before it has been handled.
    QTRY_VERIFY(model.numChannels(4) == 1 && !model.measurement(4, 0)->isEmpty() &&
                model.measurement(4, 0)->constLast() == (good * 1000 + 4) / 1000.0);
    for (int k = 0; k < 5; ++k) {
        SampleList expected;
        for (int n = 1; n <= good; ++n)
            expected.append((n * 1000 + k) / 1000.0);
        QCOMPARE(*model.measurement(k, 0), expected);
    }
    // One diagnostic for each refused line, not one for each piece.
    QCOMPARE(log.count(QStringLiteral("value line dropped")), broken.size());
    QCOMPARE(log.count(QStringLiteral("ERROR: line longer than 1023 bytes")), 3);
}

void TestRecording::valueLineCountsOnlyWithFiveFiniteReadings_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("thousandths");
    // Empty when the line gives no readings.
    QTest::addColumn<QVector<double>>("values");
    QTest::newRow("five readings")
        << QStringLiteral("7;1;2.5;3;4;5\n") << false << QVector<double>{1, 2.5, 3, 4, 5};
    QTest::newRow("blanks, exponent, carriage return, thousandths")
        << QStringLiteral("7; 1000 ;2000;3e3;4000;-5000\r\n") << true
        << QVector<double>{1, 2, 3, 4, -5};
    QTest::newRow("cut short: no line feed")
        << QStringLiteral("7;1;2;3;4;5") << false << QVector<double>();
    QTest::newRow("four readings") << QStringLiteral("7;1;2;3;4\n") << false << QVector<double>();
    QTest::newRow("six readings") << QStringLiteral("7;1;2;3;4;5;6\n") << false
                                  << QVector<double>();
    QTest::newRow("not a number") << QStringLiteral("7;1;2;x;4;5\n") << false << QVector<double>();
    QTest::newRow("empty reading") << QStringLiteral("7;1;2;;4;5\n") << false << QVector<double>();
    QTest::newRow("-inf") << QStringLiteral("7;-inf;2;3;4;5\n") << true << QVector<double>();
    QTest::newRow("nan") << QStringLiteral("7;1;2;3;4;nan\n") << false << QVector<double>();
    QTest::newRow("beyond the double range")
        << QStringLiteral("7;1;2;3;1e999;5\n") << false << QVector<double>();
}

void TestRecording::valueLineCountsOnlyWithFiveFiniteReadings()
{
    QFETCH(QString, line);
    QFETCH(bool, thousandths);
    QFETCH(QVector<double>, values);
    const DeviceProtocol::Readings readings = DeviceProtocol::parseValues(line, thousandths);
    QCOMPARE(readings.values, values);
    QCOMPARE(readings.error.isEmpty(), !values.isEmpty());
}

void TestRecording::protocolSamplePeriod()
{
    QCOMPARE(DeviceProtocol::parseSamplePeriod(QStringLiteral("t=1\n")), std::optional<int>(1));
    QCOMPARE(DeviceProtocol::parseSamplePeriod(QStringLiteral("t=1000")), std::optional<int>(1000));
    for (const char* refused : {"t=1001", "t=0", "t=-5", "t=21474837", "t=99999999999", "t="})
        QVERIFY2(!DeviceProtocol::parseSamplePeriod(QString::fromLatin1(refused)), refused);
}

void TestRecording::protocolShotRanges()
{
    const DeviceProtocol::ShotRanges ranges =
        DeviceProtocol::parseShotRanges(QStringLiteral(" 3, 5-7,,x, 1-2-3, 9"));
    QCOMPARE(ranges.parts.size(), 3);
    QCOMPARE(ranges.parts.at(1).first, 5);
    QCOMPARE(ranges.parts.at(1).last, 7);
    // Not a numeral: 0, which the controller refuses as a shot number.
    QCOMPARE(ranges.parts.at(2).first, 0);
    QVERIFY(ranges.syntaxError);
    QCOMPARE(*ranges.syntaxError,
             (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    QVERIFY(DeviceProtocol::parseShotRanges(QString()).parts.isEmpty());
}

VENTARO_TEST_MAIN(TestRecording)
#include "test_recording.moc"
