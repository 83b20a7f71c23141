#include "control/ReconnectSchedule.h"
#include "device/KalvikConnector.h"
#include "tests/common/FakeDeviceSetup.h"
#include "tests/common/LoopbackAddress.h"
#include "tests/common/TestMain.h"
#include "ui_View.h"

#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>

namespace {

constexpr int reconnectArea = 53;

// Cuts the link from the device's side; with refuse the device stops listening as well.
void loseLink(FakeDeviceSetup& app, bool refuse)
{
    if (refuse)
        app.server.close();
    app.device->abort();
}

// Takes the program's next attempt that reaches the device as the device's socket.
bool acceptRetry(FakeDeviceSetup& app)
{
    if (!QTest::qWaitFor([&app] { return app.server.hasPendingConnections(); }, 10000))
        return false;
    app.device = app.server.nextPendingConnection();
    return QTest::qWaitFor([&app] { return app.model->isConnected(); }, 5000);
}

QString viewText(const char* text)
{
    return QCoreApplication::translate("View", text);
}

} // namespace

class TestReconnect : public QObject
{
    Q_OBJECT

private slots:
    void delaysDoubleUpToTheLongest_data();
    void delaysDoubleUpToTheLongest();
    void lostLinkComesBackWithoutBox_data();
    void lostLinkComesBackWithoutBox();
    void restoredLinkAsksTheDeviceAgain_data();
    void restoredLinkAsksTheDeviceAgain();
    void restoredLinkAsksNoQuestionsAgain();
    void disconnectDuringRetriesStopsThem();
};

void TestReconnect::delaysDoubleUpToTheLongest_data()
{
    QTest::addColumn<int>("attemptsBefore");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<int>("delay");
    QTest::newRow("first") << 0 << false << 500;
    QTest::newRow("second doubles") << 1 << false << 1000;
    QTest::newRow("fourth") << 3 << false << 4000;
    QTest::newRow("fifth held at the longest") << 4 << false << 5000;
    QTest::newRow("a day of attempts") << 20000 << false << 5000;
    QTest::newRow("new series starts short") << 7 << true << 500;
}

void TestReconnect::delaysDoubleUpToTheLongest()
{
    QFETCH(int, attemptsBefore);
    QFETCH(bool, reset);
    QFETCH(int, delay);
    ReconnectSchedule schedule;
    for (int i = 0; i < attemptsBefore; ++i)
        schedule.nextDelayMs();
    if (reset)
        schedule.reset();
    QCOMPARE(schedule.nextDelayMs(), delay);
}

void TestReconnect::lostLinkComesBackWithoutBox_data()
{
    QTest::addColumn<bool>("refuse");
    QTest::newRow("server abort") << false;
    QTest::newRow("refused for a while") << true;
}

void TestReconnect::lostLinkComesBackWithoutBox()
{
    QFETCH(bool, refuse);
    FakeDeviceSetup app(reconnectArea);
    QVERIFY(app.connectDevice());
    QSignalSpy lost(app.controller.get(), &Controller::linkLost);
    QSignalSpy restored(app.controller.get(), &Controller::linkRestored);
    QSignalSpy errors(app.controller->kalvikConnector(), &KalvikConnector::error);
    const QLabel* note = app.view->findChild<QLabel*>(QStringLiteral("reconnectStateLabel"));
    QVERIFY(note);

    loseLink(app, refuse);
    QTRY_COMPARE(lost.count(), 1);
    if (refuse) {
        // Two refused attempts, told in the tool bar, then the device listens again.
        QTRY_VERIFY_WITH_TIMEOUT(errors.count() >= 3, 10000);
        QVERIFY(app.controller->isReconnecting());
        QVERIFY(!app.model->isConnected());
        QTRY_VERIFY(note->isVisibleTo(app.view.get()));
        QVERIFY(note->text().contains(QRegularExpression(QStringLiteral("\\(0:0\\d\\)$"))));
        QCOMPARE(app.view->form()->actionConnect->text(), viewText("&Trennen"));
        QVERIFY(app.server.listen(QHostAddress(loopbackAddress(reconnectArea)), 2222));
    }
    QVERIFY(acceptRetry(app));
    QCOMPARE(restored.count(), 1);
    QCOMPARE(restored.at(0).at(0).toDateTime(), lost.at(0).at(0).toDateTime());
    QVERIFY(restored.at(0).at(1).toDateTime() >= restored.at(0).at(0).toDateTime());
    QVERIFY(!app.controller->isReconnecting());
    QTRY_VERIFY(!note->isVisibleTo(app.view.get()));
    QCOMPARE(app.answer->titles(), QStringList());
    QCOMPARE(app.answer->unexpected(), 0);
}

void TestReconnect::restoredLinkAsksTheDeviceAgain_data()
{
    // Whether the user pressed "Start", the device's lines before the loss, and whether
    // the restored link asks for the recording again.
    QTest::addColumn<bool>("start");
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<bool>("resume");
    const QByteArray shot = "run=1\n" + FakeDeviceSetup::valueLines(1, 10);
    QTest::newRow("idle") << false << QByteArray() << false;
    QTest::newRow("in a shot") << true << shot << true;
    QTest::newRow("between machine cycles") << true << shot + "run=0\n" + shot + "run=0\n" << true;
    QTest::newRow("after the one shot asked for") << true << shot + "run=0\n" << false;
}

void TestReconnect::restoredLinkAsksTheDeviceAgain()
{
    QFETCH(bool, start);
    QFETCH(QByteArray, lines);
    QFETCH(bool, resume);
    FakeDeviceSetup app(reconnectArea);
    QVERIFY(app.connectDevice());
    if (start)
        app.view->form()->actionStartRecording->trigger();
    // Last, the project's period set since connecting, not the connect's 100 ms.
    app.send(lines + "t=5\n");
    QTRY_COMPARE(app.model->clock(), 5);
    const int shots = app.model->numChannels(0);
    loseLink(app, false);
    QVERIFY(acceptRetry(app));
    // A line of the test's own after the restore ends what the program sent for it.
    app.controller->kalvikConnector()->write(QStringLiteral("end\n"));
    QByteArray sent;
    QTRY_VERIFY((sent += app.device->readAll()).endsWith("end\n"));
    QCOMPARE(sent, QByteArray("t=5\ndeviceDescription\nsensorDescription\n") +
                       (resume ? "run=1\n" : "") + "end\n");
    if (!resume)
        return;
    // The shots before stay as they were; the device's next "run=1" opens the next one.
    app.send("run=1\n" + FakeDeviceSetup::valueLines(11, 4));
    QTRY_COMPARE(app.model->numChannels(0), shots + 1);
    QTRY_COMPARE(app.model->measurement(4, shots)->size(), 4);
    QVERIFY(app.controller->isRecordingRunning());
    for (int k = 0; k < 5; ++k)
        QCOMPARE(app.model->measurement(k, shots - 1)->size(), 10);
}

void TestReconnect::restoredLinkAsksNoQuestionsAgain()
{
    FakeDeviceSetup app(reconnectArea);
    QVERIFY(app.connectDevice());
    app.send("run=1\n" + FakeDeviceSetup::valueLines(1, 3) + "run=0\n");
    QTRY_VERIFY(app.model->hasData());
    const QString projectName = app.model->projectData().name;
    loseLink(app, false);
    QVERIFY(acceptRetry(app));
    app.send("<deviceDescription numGroups=\"1\"><projectDescription projectName=\"Other\"/>\n"
             "<sensorDescription numGroups=\"1\"><group name=\"G\" numSensors=\"2\">"
             "<sensor name=\"a\"/><sensor name=\"b\"/></group>\n");
    QTRY_COMPARE(app.model->sensorDescription().sensorGroup(0).name(), QStringLiteral("G"));
    QCOMPARE(app.model->projectData().name, projectName);
    QCOMPARE(app.answer->titles(), QStringList());
    QCOMPARE(app.answer->unexpected(), 0);
}

void TestReconnect::disconnectDuringRetriesStopsThem()
{
    FakeDeviceSetup app(reconnectArea);
    QVERIFY(app.connectDevice());
    QSignalSpy errors(app.controller->kalvikConnector(), &KalvikConnector::error);
    loseLink(app, true);
    QTRY_VERIFY_WITH_TIMEOUT(errors.count() >= 2, 10000);
    app.view->form()->actionConnect->trigger();
    QVERIFY(!app.controller->isReconnecting());
    QCOMPARE(app.view->form()->actionConnect->text(), viewText("&Verbinden"));
    QVERIFY(app.server.listen(QHostAddress(loopbackAddress(reconnectArea)), 2222));
    // Longer than any wait between two attempts.
    QVERIFY(!QTest::qWaitFor([&app] { return app.server.hasPendingConnections(); },
                             ReconnectSchedule::longestDelayMs + 500));
    QVERIFY(!app.model->isConnected());
    QCOMPARE(app.answer->unexpected(), 0);
}

VENTARO_TEST_MAIN(TestReconnect)
#include "test_reconnect.moc"
