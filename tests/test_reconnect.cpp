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

// Takes the program's next attempt that reaches the device as the device's socket.
bool acceptRetry(FakeDeviceSetup& app)
{
    if (!QTest::qWaitFor([&app] { return app.server.hasPendingConnections(); }, 10000))
        return false;
    app.device = app.server.nextPendingConnection();
    return QTest::qWaitFor([&app] { return app.model->isConnected(); }, 5000);
}

} // namespace

class TestReconnect : public QObject
{
    Q_OBJECT

private slots:
    void delaysDoubleUpToTheLongest_data();
    void delaysDoubleUpToTheLongest();
    void refusedRetriesShowNoBox();
    void restoredLinkAsksTheDeviceAgain_data();
    void restoredLinkAsksTheDeviceAgain();
    void disconnectDuringRetriesStopsThem();
};

void TestReconnect::delaysDoubleUpToTheLongest_data()
{
    QTest::addColumn<int>("attemptsBefore");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<int>("delay");
    QTest::newRow("first") << 0 << false << 500;
    QTest::newRow("third doubled twice") << 2 << false << 2000;
    QTest::newRow("fourth held at the longest") << 3 << false << 2500;
    QTest::newRow("a day of attempts held at the longest") << 20000 << false << 2500;
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

void TestReconnect::refusedRetriesShowNoBox()
{
    FakeDeviceSetup app(reconnectArea);
    QVERIFY(app.connectDevice());
    QSignalSpy lost(app.controller.get(), &Controller::linkLost);
    QSignalSpy restored(app.controller.get(), &Controller::linkRestored);
    QSignalSpy errors(app.controller->kalvikConnector(), &KalvikConnector::error);
    const QLabel* note = app.view->findChild<QLabel*>(QStringLiteral("reconnectStateLabel"));
    QVERIFY(note);
    app.server.close();
    app.device->abort();
    // The loss and two refused attempts, told in the tool bar; then the device listens again.
    QTRY_VERIFY_WITH_TIMEOUT(errors.count() >= 3, 10000);
    QCOMPARE(lost.count(), 1);
    QTRY_VERIFY(note->isVisibleTo(app.view.get()));
    // Counting since the loss: its first second is due before the second attempt.
    QVERIFY(note->text().contains(QRegularExpression(QStringLiteral(" \\(0:\\d\\d\\)$"))));
    QVERIFY(!note->text().endsWith(QStringLiteral("(0:00)")));
    QCOMPARE(app.view->form()->actionConnect->text(),
             QCoreApplication::translate("View", "&Trennen"));
    QVERIFY(app.server.listen(QHostAddress(loopbackAddress(reconnectArea)), 2222));
    QVERIFY(acceptRetry(app));
    QCOMPARE(restored.count(), 1);
    QCOMPARE(restored.at(0).at(0).toDateTime(), lost.at(0).at(0).toDateTime());
    QTRY_VERIFY(!note->isVisibleTo(app.view.get()));
    QCOMPARE(app.answer->unexpected(), 0);
}

void TestReconnect::restoredLinkAsksTheDeviceAgain_data()
{
    // Whether the user pressed "Start", the device's lines before the loss, whether the user
    // pressed "Stop" then, and whether the restored link asks for the recording again.
    QTest::addColumn<bool>("start");
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<bool>("resume");
    const QByteArray shot = "run=1\n" + FakeDeviceSetup::valueLines(1, 10);
    QTest::newRow("idle") << false << QByteArray() << false << false;
    QTest::newRow("stopped before the device ended the shot") << true << shot << true << false;
    QTest::newRow("asked, before the device's first shot") << true << QByteArray() << false << true;
    QTest::newRow("in a shot") << true << shot << false << true;
    QTest::newRow("between machine cycles") << true << shot + "run=0\n" + shot + "run=0\n"
                                            << false << true;
    QTest::newRow("after the one shot asked for") << true << shot + "run=0\n" << false << false;
}

void TestReconnect::restoredLinkAsksTheDeviceAgain()
{
    QFETCH(bool, start);
    QFETCH(QByteArray, lines);
    QFETCH(bool, stop);
    QFETCH(bool, resume);
    FakeDeviceSetup app(reconnectArea);
    QVERIFY(app.connectDevice());
    if (start)
        app.view->form()->actionStartRecording->trigger();
    // Last, the project's period set since connecting, not the connect's 100 ms.
    app.send(lines + "t=5\n");
    QTRY_COMPARE(app.model->clock(), 5);
    if (stop)
        app.view->form()->actionStartRecording->trigger();
    const int shots = app.model->numChannels(0);
    const QString projectName = app.model->projectData().name;
    app.device->abort();
    QVERIFY(acceptRetry(app));
    // A line of the test's own after the restore ends what the program sent for it.
    app.controller->kalvikConnector()->write(QStringLiteral("end\n"));
    QByteArray sent;
    QTRY_VERIFY((sent += app.device->readAll()).endsWith("end\n"));
    // The gap a recording left is filled only after the next shot, when it is whole on
    // the stick.
    QCOMPARE(sent, QByteArray("t=5\ndeviceDescription\nsensorDescription\n") +
                       (resume ? "run=1\n" : "") + "end\n");
    // The same device's descriptions ask nothing again, though the project holds shots.
    app.send("<deviceDescription numGroups=\"1\"><projectDescription projectName=\"Other\"/>\n"
             "<sensorDescription numGroups=\"1\"><group name=\"G\" numSensors=\"2\"></group>\n");
    QTRY_COMPARE(app.model->sensorDescription().sensorGroup(0).name(), QStringLiteral("G"));
    QCOMPARE(app.model->projectData().name, projectName);
    QCOMPARE(app.answer->unexpected(), 0);
    if (!resume)
        return;
    // The shots before stay as they were; the device's next "run=1" opens the next one.
    app.send("run=1\n" + FakeDeviceSetup::valueLines(11, 4));
    QTRY_COMPARE(app.model->numChannels(0), shots + 1);
    QTRY_COMPARE(app.model->measurement(4, shots)->size(), 4);
    for (int k = 0; k < 5 && shots > 0; ++k)
        QCOMPARE(app.model->measurement(k, shots - 1)->size(), 10);
}

void TestReconnect::disconnectDuringRetriesStopsThem()
{
    FakeDeviceSetup app(reconnectArea);
    QVERIFY(app.connectDevice());
    app.view->form()->actionStartRecording->trigger();
    app.send("run=1\n" + FakeDeviceSetup::valueLines(1, 10));
    QTRY_VERIFY(app.controller->isRecordingRunning());
    QSignalSpy errors(app.controller->kalvikConnector(), &KalvikConnector::error);
    app.server.close();
    app.device->abort();
    QTRY_VERIFY_WITH_TIMEOUT(errors.count() >= 2, 10000);
    app.view->form()->actionConnect->trigger();
    QVERIFY(!app.controller->isReconnecting());
    // The recording ended with the retries: its gap has an end, so it can be filled later.
    QCOMPARE(app.model->recordingGaps().size(), 1);
    QVERIFY(!app.model->recordingGaps().constFirst().isOpen());
    QVERIFY(app.server.listen(QHostAddress(loopbackAddress(reconnectArea)), 2222));
    // Longer than any wait between two attempts.
    QVERIFY(!QTest::qWaitFor([&app] { return app.server.hasPendingConnections(); },
                             ReconnectSchedule::longestDelayMs + 500));
    QVERIFY(!app.model->isConnected());
}

VENTARO_TEST_MAIN(TestReconnect)
#include "test_reconnect.moc"
