#pragma once

#include "device/ScpTransfer.h"

#include <QAbstractSocket>
#include <QObject>
#include <QString>

class QTcpSocket;

// The application's only network client of the Kalvik device: one TCP socket on
// port 2222, one operation per device command, and one messageReceived signal per received
// line. It interprets nothing it receives; the controller does.
class KalvikConnector : public QObject
{
    Q_OBJECT

public:
    KalvikConnector();

    // Starts a new attempt to reach host on port 2222; the outcome arrives as connected()
    // or error(). Never waits.
    void connect(const QString& host);
    void disconnectFromHost();
    // Drops the socket at once, without waiting for bytes to leave: an attempt in progress
    // ends without connected() or error().
    void abort();
    // Sends text as it is; true if the socket was open and the write was accepted.
    bool write(const QString& text);
    bool isConnected() const;
    // The address of the last connection attempt; before any, the device's address
    // (deviceHost()). The SCP transfers use it as their host.
    QString host() const { return hostAddress; }
    // True when the last connection ended without this side asking for it (the device
    // closed it, a reset, a cable): a loss rather than a "Trennen".
    bool droppedByPeer() const { return lastDropByPeer; }

    // Sends the "t=" command for one of the eleven names "1ms" ... "1000ms"; any other name
    // sends nothing.
    void setSampleRate(const QString& name);
    void sendRunStart();
    void sendRunStop();
    // The last run command this side sent was "run=1": a recording was asked for and not
    // stopped since.
    bool recordingRequested() const { return runRequested; }
    void sendCalibrate();
    void requestDeviceDescription();
    void requestSensorDescription();
    // Sends "reboot\n" when connected; returns the connected flag.
    bool reboot();

    // Uploads a firmware archive to the root of the device's USB stick with the SCP tool
    // true only when the tool ended normally with exit code 0; problem, when given, tells why not.
    bool transferUpdateFile(const QString& localFilePath, ScpTransfer::Problem* problem = nullptr);

signals:
    void connected();
    void disconnected();
    void messageReceived(QString message);
    void error(QAbstractSocket::SocketError socketError);

private slots:
    void tcpSocketListener();
    void tcpSocketError(QAbstractSocket::SocketError socketError);
    void onConnected();
    void onDisconnected();

private:
    // Writes a fixed command and waits up to 100 ms for its bytes to leave.
    void sendCommand(const char* command);

    QTcpSocket* tcpSocket;
    bool connectedState = false;
    // This side asked the socket to close; a disconnection then is no loss.
    bool closeRequested = false;
    bool lastDropByPeer = false;
    bool runRequested = false;
    // The last piece read did not end its line: the next pieces continue it.
    bool inLongLine = false;
    bool longLineReported = false;
    int overLongLines = 0;
    QString hostAddress;
};
