// KalvikConnector against a real QTcpServer on a loopback address of this test.
#include "device/DeviceAddress.h"
#include "device/KalvikConnector.h"
#include "tests/common/LogCapture.h"
#include "tests/common/LoopbackAddress.h"
#include "tests/common/TestMain.h"

#include <QHostAddress>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

constexpr int connectorArea = 11;
constexpr int waitMs = 5000;

// The device side: a server on the device port that hands out the connector's socket.
class FakeDevice
{
public:
    explicit FakeDevice(const QString& host)
    {
        QVERIFY2(m_server.listen(QHostAddress(host), devicePort),
                 qPrintable(m_server.errorString()));
    }

    // The next connection the server accepted, waiting for it if needed.
    QTcpSocket* nextClient()
    {
        if (!m_server.hasPendingConnections())
            m_server.waitForNewConnection(waitMs);
        QTcpSocket* client = m_server.nextPendingConnection();
        return client;
    }

    QTcpServer& server() { return m_server; }

private:
    QTcpServer m_server;
};

// Reads from the device side until count bytes are there or the time is up.
QByteArray receive(QTcpSocket* client, int count, int timeoutMs = waitMs)
{
    QByteArray bytes;
    QElapsedTimer clock;
    clock.start();
    // The event loop runs meanwhile, so that the connector's socket can send.
    while (bytes.size() < count && clock.elapsed() < timeoutMs) {
        bytes += client->readAll();
        if (bytes.size() < count)
            QTest::qWait(5);
    }
    return bytes;
}

void sendAndFlush(QTcpSocket* client, const QByteArray& bytes)
{
    client->write(bytes);
    QVERIFY(client->waitForBytesWritten(waitMs));
}

} // namespace

class TestConnector : public QObject
{
    Q_OBJECT

private:
    QString m_host;
    QString m_silentHost;

    // Connects a connector to the fake device and returns the device side of the socket.
    QTcpSocket* connectTo(KalvikConnector& connector, FakeDevice& device)
    {
        QSignalSpy connected(&connector, &KalvikConnector::connected);
        connector.connect(m_host);
        QTcpSocket* client = device.nextClient();
        if (!client)
            return nullptr;
        if (connected.isEmpty() && !connected.wait(waitMs))
            return nullptr;
        return client;
    }

    // Device sends bytes (in one write), and the connector's messages are collected until
    // expected messages arrived or a short while passed.
    QStringList messagesFor(const QList<QByteArray>& segments, int expected)
    {
        FakeDevice device(m_host);
        KalvikConnector connector;
        QTcpSocket* client = connectTo(connector, device);
        if (!client)
            return {QStringLiteral("<no connection>")};
        QStringList messages;
        QObject::connect(&connector, &KalvikConnector::messageReceived,
                         [&messages](const QString& m) { messages.append(m); });
        for (const QByteArray& segment : segments) {
            sendAndFlush(client, segment);
            QTest::qWait(30);
        }
        QElapsedTimer clock;
        clock.start();
        while (messages.size() < expected && clock.elapsed() < waitMs)
            QTest::qWait(10);
        // Anything more that might still come.
        QTest::qWait(50);
        return messages;
    }

private slots:
    void initTestCase()
    {
        m_host = loopbackAddress(connectorArea);
        m_silentHost = loopbackAddress(connectorArea, 1);
    }

    void deviceHostFollowsTheEnvironment()
    {
        const QByteArray saved = qgetenv("VENTARO_DEVICE_HOST");
        qputenv("VENTARO_DEVICE_HOST", "127.0.0.77");
        QCOMPARE(deviceHost(), QStringLiteral("127.0.0.77"));
        qunsetenv("VENTARO_DEVICE_HOST");
        QCOMPARE(deviceHost(), factoryDeviceAddress);
        qputenv("VENTARO_DEVICE_HOST", saved);
        QCOMPARE(deviceHost(), QString::fromLocal8Bit(saved));
    }

    void factoryAddressIsPrivateIPv4()
    {
        const QHostAddress address(factoryDeviceAddress);
        QCOMPARE(address.protocol(), QAbstractSocket::IPv4Protocol);
        // The private ranges 10/8, 172.16/12 and 192.168/16.
        const quint32 ip = address.toIPv4Address();
        const bool privateRange = (ip >> 24) == 10 || (ip >> 20) == ((172u << 4) | 1u) ||
                                  (ip >> 16) == ((192u << 8) | 168u);
        QVERIFY(privateRange);
        // The tests themselves never point at it.
        QVERIFY(QHostAddress(deviceHost()).isLoopback());
    }

    void hostStartsAsTheDeviceHostAndFollowsConnect()
    {
        KalvikConnector connector;
        QCOMPARE(connector.host(), deviceHost());
        QVERIFY(!connector.isConnected());
        connector.connect(m_silentHost);
        QCOMPARE(connector.host(), m_silentHost);
    }

    void loneLineFeedIsDropped()
    {
        const QStringList messages = messagesFor({QByteArray("\n"), QByteArray("x\n")}, 1);
        QCOMPARE(messages, QStringList{QStringLiteral("x\n")});
    }

    void emptyAndOneByteLinesAreDroppedTwoBytesAreNot()
    {
        // "\r\n" is two bytes and so a message; "\n" is one byte and dropped.
        const QStringList messages = messagesFor({QByteArray("\n\n\r\nz\n")}, 2);
        QCOMPARE(messages, (QStringList{QStringLiteral("\r\n"), QStringLiteral("z\n")}));
    }

    void twoLinesInOneSegmentGiveTwoMessagesInOrder()
    {
        const QStringList messages = messagesFor({QByteArray("run=1\n12;1;2;3;4;5\n")}, 2);
        QCOMPARE(messages,
                 (QStringList{QStringLiteral("run=1\n"), QStringLiteral("12;1;2;3;4;5\n")}));
    }

    void lineSplitOverTwoSegmentsGivesOneMessageAfterTheSecond()
    {
        FakeDevice device(m_host);
        KalvikConnector connector;
        QTcpSocket* client = connectTo(connector, device);
        QVERIFY(client);
        QSignalSpy spy(&connector, &KalvikConnector::messageReceived);
        sendAndFlush(client, "t=1");
        QTest::qWait(100);
        QCOMPARE(spy.count(), 0);
        sendAndFlush(client, "00\n");
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, waitMs);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("t=100\n"));
    }

    void overLongLineGivesOnlyItsFirstPiece_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("first");
        // Line lengths without the line feed; the first piece's length with it.
        QTest::newRow("1022 bytes: the whole line") << 1022 << 1023;
        // The line feed alone is left over after 1023 bytes: it belongs to the line.
        QTest::newRow("1023 bytes: line feed dropped") << 1023 << 1023;
        QTest::newRow("2000 bytes") << 2000 << 1023;
        QTest::newRow("5000 bytes") << 5000 << 1023;
    }

    void overLongLineGivesOnlyItsFirstPiece()
    {
        // The rest of an over-long line begins with digits and ";" here: taken as a line
        // of its own it would pass for readings.
        QFETCH(int, length);
        QFETCH(int, first);
        QByteArray line;
        for (int i = 0; i < length; ++i)
            line += i < 1023 ? char('a' + i % 26) : "7;1;2;3;4;5"[i % 11];
        const QStringList messages = messagesFor({line + '\n', "run=0\n"}, 2);
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages.at(0).size(), first);
        QCOMPARE(messages.at(0).left(qMin(length, 1023)), QString::fromLatin1(line.left(1023)));
        QCOMPARE(messages.at(1), QStringLiteral("run=0\n"));
    }

    void pieceOfALongLineComesBeforeItsLineFeed()
    {
        // A device that never ends its line must not make the socket's buffer grow:
        // the first 1023 bytes are delivered at once; the rest of the line is not a
        // message, the next line is.
        FakeDevice device(m_host);
        KalvikConnector connector;
        QTcpSocket* client = connectTo(connector, device);
        QVERIFY(client);
        QSignalSpy spy(&connector, &KalvikConnector::messageReceived);
        sendAndFlush(client, QByteArray(1500, 'q'));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, waitMs);
        QCOMPARE(spy.at(0).at(0).toString(), QString(1023, QLatin1Char('q')));
        sendAndFlush(client, "1;2;3\nrun=1\n");
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, waitMs);
        QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("run=1\n"));
    }

    void bytesAreTakenAsLatin1AndCarriageReturnStays()
    {
        const QStringList messages = messagesFor({QByteArray("unit=\xC2\xB5m\r\n")}, 1);
        QCOMPARE(messages.size(), 1);
        const QString expected =
            QStringLiteral("unit=") + QChar(0xC2) + QChar(0xB5) + QStringLiteral("m\r\n");
        QCOMPARE(messages.first(), expected);
    }

    void textEndsAtTheFirstZeroByte()
    {
        const QStringList messages =
            messagesFor({QByteArray("ab\0cd\n", 6), QByteArray("ok\n")}, 2);
        QCOMPARE(messages, (QStringList{QStringLiteral("ab"), QStringLiteral("ok\n")}));
    }

    void setSampleRateSendsExactlyItsCommand_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const int periods[] = {1, 5, 10, 20, 25, 50, 100, 200, 250, 500, 1000};
        for (int period : periods) {
            const QString name = QStringLiteral("%1ms").arg(period);
            QTest::newRow(qPrintable(name))
                << name << QByteArray("t=" + QByteArray::number(period) + '\n');
        }
    }

    void setSampleRateSendsExactlyItsCommand()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        FakeDevice device(m_host);
        KalvikConnector connector;
        QTcpSocket* client = connectTo(connector, device);
        QVERIFY(client);
        connector.setSampleRate(name);
        // A second command marks the end of what the first one sent.
        connector.sendCalibrate();
        QCOMPARE(receive(client, bytes.size() + 2), bytes + "1\n");
    }

    void setSampleRateWithANameOutsideTheTableSendsNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("15 ms, not in the table") << QStringLiteral("15ms");
        QTest::newRow("number only") << QStringLiteral("100");
        QTest::newRow("other case") << QStringLiteral("100MS");
        QTest::newRow("blank inside") << QStringLiteral("100 ms");
        QTest::newRow("empty") << QString();
    }

    void setSampleRateWithANameOutsideTheTableSendsNothing()
    {
        QFETCH(QString, name);
        FakeDevice device(m_host);
        KalvikConnector connector;
        QTcpSocket* client = connectTo(connector, device);
        QVERIFY(client);
        connector.setSampleRate(name);
        connector.sendCalibrate();
        QCOMPARE(receive(client, 2), QByteArray("1\n"));
        QTest::qWait(50);
        QCOMPARE(client->bytesAvailable(), 0);
    }

    void setSampleRateOnAClosedSocketSendsNothingAndLogsNothing()
    {
        LogCapture log;
        KalvikConnector connector;
        connector.setSampleRate(QStringLiteral("100ms"));
        QCOMPARE(log.count(QStringLiteral("ERROR")), 0);
    }

    void fixedCommandsSendTheirBytes_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("sendRunStart") << 0 << QByteArray("run=1\n");
        QTest::newRow("sendRunStop") << 1 << QByteArray("run=0\n");
        QTest::newRow("sendCalibrate") << 2 << QByteArray("1\n");
        QTest::newRow("requestDeviceDescription") << 3 << QByteArray("deviceDescription\n");
        QTest::newRow("requestSensorDescription") << 4 << QByteArray("sensorDescription\n");
        QTest::newRow("write list") << 5 << QByteArray("list\n");
        QTest::newRow("reboot") << 6 << QByteArray("reboot\n");
    }

    void fixedCommandsSendTheirBytes()
    {
        QFETCH(int, operation);
        QFETCH(QByteArray, bytes);
        FakeDevice device(m_host);
        KalvikConnector connector;
        QTcpSocket* client = connectTo(connector, device);
        QVERIFY(client);
        switch (operation) {
        case 0:
            connector.sendRunStart();
            break;
        case 1:
            connector.sendRunStop();
            break;
        case 2:
            connector.sendCalibrate();
            break;
        case 3:
            connector.requestDeviceDescription();
            break;
        case 4:
            connector.requestSensorDescription();
            break;
        case 5:
            QVERIFY(connector.write(QStringLiteral("list\n")));
            break;
        case 6:
            QVERIFY(connector.reboot());
            break;
        }
        QCOMPARE(receive(client, bytes.size()), bytes);
        QTest::qWait(50);
        QCOMPARE(client->bytesAvailable(), 0);
    }

    void writeWhileNotConnectedFailsAndLogsTheText()
    {
        LogCapture log;
        KalvikConnector connector;
        QVERIFY(!connector.write(QStringLiteral("list\n")));
        QVERIFY2(log.contains(QStringLiteral("ERROR in tcpSocket.write() !!! s=list\n")),
                 qPrintable(log.dump()));
        log.clear();
        connector.sendRunStart();
        QVERIFY(log.contains(QStringLiteral("ERROR in tcpSocket.write() !!! s=run=1\n")));
    }

    void rebootWhileNotConnectedSendsNothing()
    {
        FakeDevice device(m_host);
        LogCapture log;
        KalvikConnector connector;
        QVERIFY(!connector.reboot());
        QVERIFY(log.contains(QStringLiteral("ERROR: Not connected!!!")));
        QVERIFY(!log.contains(QStringLiteral("TODO: check result!")));
        QTest::qWait(50);
        QVERIFY(!device.server().hasPendingConnections());
    }

    void rebootWhileConnectingIsNotYetConnected()
    {
        FakeDevice device(m_host);
        LogCapture log;
        KalvikConnector connector;
        connector.connect(m_host);
        // The socket is open but has not reported connected yet.
        QVERIFY(!connector.reboot());
        QVERIFY(log.contains(QStringLiteral("ERROR: Not connected!!!")));
    }

    void rebootWhileConnectedSendsAndDoesNotWaitForAnAnswer()
    {
        FakeDevice device(m_host);
        KalvikConnector connector;
        QTcpSocket* client = connectTo(connector, device);
        QVERIFY(client);
        LogCapture log;
        QVERIFY(connector.reboot());
        QVERIFY(log.contains(QStringLiteral("TODO: check result!")));
        QCOMPARE(receive(client, 7), QByteArray("reboot\n"));
    }

    void reconnectWhileConnectedDropsTheOldConnection()
    {
        FakeDevice device(m_host);
        KalvikConnector connector;
        QStringList events;
        QObject::connect(&connector, &KalvikConnector::connected,
                         [&events] { events << "connected"; });
        QObject::connect(&connector, &KalvikConnector::disconnected,
                         [&events] { events << "disconnected"; });
        QTcpSocket* first = connectTo(connector, device);
        QVERIFY(first);
        QPointer<QTcpSocket> firstSide(first);

        connector.connect(m_host);
        QTcpSocket* second = device.nextClient();
        QVERIFY(second);
        QTRY_COMPARE_WITH_TIMEOUT(events.size(), 3, waitMs);
        QCOMPARE(events, (QStringList{"connected", "disconnected", "connected"}));
        QVERIFY(connector.isConnected());
        // The device sees the first connection end.
        QTRY_VERIFY_WITH_TIMEOUT(firstSide->state() == QAbstractSocket::UnconnectedState, waitMs);
        connector.sendCalibrate();
        QCOMPARE(receive(second, 2), QByteArray("1\n"));
    }

    void disconnectFromHostEndsTheConnection()
    {
        FakeDevice device(m_host);
        KalvikConnector connector;
        QSignalSpy disconnected(&connector, &KalvikConnector::disconnected);
        connector.disconnectFromHost(); // nothing open: nothing happens
        QCOMPARE(disconnected.count(), 0);

        QTcpSocket* client = connectTo(connector, device);
        QVERIFY(client);
        connector.sendRunStop();
        connector.disconnectFromHost();
        QCOMPARE(disconnected.count(), 1);
        QVERIFY(!connector.isConnected());
        // What was written before still reached the device.
        QCOMPARE(receive(client, 6), QByteArray("run=0\n"));
        QTRY_VERIFY_WITH_TIMEOUT(client->state() == QAbstractSocket::UnconnectedState, waitMs);
    }

    void connectionRefusedArrivesAsErrorAlsoThroughAQueuedConnection()
    {
        KalvikConnector connector;
        QList<QAbstractSocket::SocketError> queued;
        QObject receiver;
        QObject::connect(
            &connector, &KalvikConnector::error, &receiver,
            [&queued](QAbstractSocket::SocketError e) { queued.append(e); }, Qt::QueuedConnection);
        QSignalSpy connected(&connector, &KalvikConnector::connected);
        connector.connect(m_silentHost);
        QTRY_COMPARE_WITH_TIMEOUT(queued.size(), 1, waitMs);
        QCOMPARE(queued.first(), QAbstractSocket::ConnectionRefusedError);
        QCOMPARE(connected.count(), 0);
        QVERIFY(!connector.isConnected());
    }

    void deviceClosingGivesDisconnectedAndTheSocketError()
    {
        FakeDevice device(m_host);
        KalvikConnector connector;
        QTcpSocket* client = connectTo(connector, device);
        QVERIFY(client);
        QSignalSpy disconnected(&connector, &KalvikConnector::disconnected);
        QSignalSpy errors(&connector, &KalvikConnector::error);
        client->disconnectFromHost();
        QTRY_COMPARE_WITH_TIMEOUT(disconnected.count(), 1, waitMs);
        QVERIFY(!connector.isConnected());
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).value<QAbstractSocket::SocketError>(),
                 QAbstractSocket::RemoteHostClosedError);
    }

    void errorDoesNotChangeTheConnectedFlag()
    {
        // The connector forwards errors only; its flag follows connected/disconnected.
        FakeDevice device(m_host);
        KalvikConnector connector;
        QTcpSocket* client = connectTo(connector, device);
        QVERIFY(client);
        QVERIFY(connector.isConnected());
        QSignalSpy errors(&connector, &KalvikConnector::error);
        QMetaObject::invokeMethod(
            &connector, "tcpSocketError",
            Q_ARG(QAbstractSocket::SocketError, QAbstractSocket::SocketTimeoutError));
        QCOMPARE(errors.count(), 1);
        QVERIFY(connector.isConnected());
    }
};

VENTARO_TEST_MAIN(TestConnector)
#include "test_connector.moc"
