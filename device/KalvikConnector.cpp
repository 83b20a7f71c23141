#include "device/KalvikConnector.h"

#include "app/Logging.h"
#include "device/DeviceAddress.h"
#include "device/ScpTransfer.h"

#include <QMetaType>
#include <QTcpSocket>

#include <algorithm>
#include <iterator>

namespace {

// The one receive buffer of the process. Only the GUI thread reads into it, and
// each line is turned into text before the next one is read.
char receiveBuffer[1024];
constexpr qint64 receiveBufferSize = static_cast<qint64>(sizeof(receiveBuffer));

struct SampleRate
{
    const char* name;
    const char* command;
};

constexpr SampleRate sampleRates[] = {
    {"1ms", "t=1\n"},     {"5ms", "t=5\n"},     {"10ms", "t=10\n"},     {"20ms", "t=20\n"},
    {"25ms", "t=25\n"},   {"50ms", "t=50\n"},   {"100ms", "t=100\n"},   {"200ms", "t=200\n"},
    {"250ms", "t=250\n"}, {"500ms", "t=500\n"}, {"1000ms", "t=1000\n"},
};

constexpr int commandWaitMs = 100;

} // namespace

KalvikConnector::KalvikConnector()
    : tcpSocket(new QTcpSocket(this))
    , hostAddress(deviceHost())
{
    VTRACE();
    qRegisterMetaType<QAbstractSocket::SocketError>("QAbstractSocket::SocketError");

    QObject::connect(tcpSocket, &QTcpSocket::readyRead, this, &KalvikConnector::tcpSocketListener);
#if QT_VERSION >= QT_VERSION_CHECK(5, 15, 0)
    QObject::connect(tcpSocket, &QTcpSocket::errorOccurred, this, &KalvikConnector::tcpSocketError);
#else
    QObject::connect(tcpSocket, QOverload<QAbstractSocket::SocketError>::of(&QTcpSocket::error),
                     this, &KalvikConnector::tcpSocketError);
#endif
    QObject::connect(tcpSocket, &QTcpSocket::connected, this, &KalvikConnector::onConnected);
    QObject::connect(tcpSocket, &QTcpSocket::disconnected, this, &KalvikConnector::onDisconnected);
}

void KalvikConnector::connect(const QString& host)
{
    VTRACE();
    closeRequested = true;
    tcpSocket->close();
    tcpSocket->abort();
    inLongLine = false;
    longLineReported = false;
    overLongLines = 0;
    hostAddress = host;
    tcpSocket->connectToHost(host, devicePort, QIODevice::ReadWrite,
                             QAbstractSocket::AnyIPProtocol);
}

void KalvikConnector::disconnectFromHost()
{
    VTRACE();
    if (!tcpSocket->isOpen())
        return;
    closeRequested = true;
    tcpSocket->waitForBytesWritten(commandWaitMs);
    tcpSocket->disconnectFromHost();
    tcpSocket->abort();
}

void KalvikConnector::abort()
{
    VTRACE();
    closeRequested = true;
    tcpSocket->abort();
}

bool KalvikConnector::write(const QString& text)
{
    VTRACE();
    if (tcpSocket->isOpen()) {
        if (tcpSocket->write(text.toLocal8Bit()) != -1)
            return true;
    }
    qCWarning(lcDevice).noquote() << QStringLiteral("ERROR in tcpSocket.write() !!! s=") + text;
    return false;
}

bool KalvikConnector::isConnected() const
{
    return connectedState;
}

void KalvikConnector::setSampleRate(const QString& name)
{
    VTRACE();
    if (!tcpSocket->isOpen())
        return;
    const auto match =
        std::find_if(std::begin(sampleRates), std::end(sampleRates),
                     [&name](const SampleRate& rate) { return name == QLatin1String(rate.name); });
    if (match == std::end(sampleRates))
        return;
    write(QLatin1String(match->command));
    tcpSocket->waitForBytesWritten(commandWaitMs);
}

void KalvikConnector::sendCommand(const char* command)
{
    write(QLatin1String(command));
    tcpSocket->waitForBytesWritten(commandWaitMs);
}

void KalvikConnector::sendRunStart()
{
    VTRACE();
    runRequested = true;
    sendCommand("run=1\n");
}

void KalvikConnector::sendRunStop()
{
    VTRACE();
    runRequested = false;
    sendCommand("run=0\n");
}

void KalvikConnector::sendCalibrate()
{
    VTRACE();
    sendCommand("1\n");
}

void KalvikConnector::requestDeviceDescription()
{
    VTRACE();
    sendCommand("deviceDescription\n");
}

void KalvikConnector::requestSensorDescription()
{
    VTRACE();
    sendCommand("sensorDescription\n");
}

bool KalvikConnector::reboot()
{
    VTRACE();
    if (connectedState) {
        write(QStringLiteral("reboot\n"));
        qCDebug(lcDevice) << "TODO: check result!";
        return true;
    }
    qCWarning(lcDevice) << "ERROR: Not connected!!!";
    return false;
}

bool KalvikConnector::transferUpdateFile(const QString& localFilePath,
                                         ScpTransfer::Problem* problem)
{
    VTRACE();
    return ScpTransfer::uploadFile(hostAddress, localFilePath, problem);
}

void KalvikConnector::tcpSocketListener()
{
    VTRACE();
    // Besides complete lines, a full buffer's worth of a longer line is taken as soon as it
    // is there. The pieces are the same as when the whole line is waited for (1023 bytes
    // each, the line feed in the last), but a device that never ends its line cannot make
    // the socket's buffer grow without bound.
    int failures = 0;
    while (tcpSocket->canReadLine() || tcpSocket->bytesAvailable() >= receiveBufferSize - 1) {
        const qint64 lineLength = tcpSocket->readLine(receiveBuffer, receiveBufferSize);
        if (lineLength < 0) {
            qCWarning(lcDevice) << "lineLength<0 !";
            // A read that keeps failing would spin here for ever; the next readyRead retries.
            if (!tcpSocket->isReadable() || ++failures > 2)
                break;
            continue;
        }
        failures = 0;
        // Only a piece that begins a line is a message: the rest of an over-long line
        // would otherwise pass for lines of its own, a value line among them.
        // The first piece goes on without its line feed, which tells the controller that
        // the line is not whole.
        const bool continuation = inLongLine;
        inLongLine = lineLength > 0 && receiveBuffer[lineLength - 1] != '\n';
        if (continuation) {
            // One diagnostic per line, however many pieces it has.
            if (!longLineReported) {
                longLineReported = true;
                ++overLongLines;
                qCWarning(lcDevice).noquote()
                    << QStringLiteral("ERROR: line longer than %1 bytes, the rest ignored (%2 "
                                      "such lines since connecting):")
                           .arg(receiveBufferSize - 1)
                           .arg(overLongLines)
                    << QString::fromLatin1(receiveBuffer,
                                           static_cast<int>(qMin<qint64>(lineLength, 40)));
            }
            continue;
        }
        longLineReported = false;
        if (lineLength > 1) {
            // Up to the first zero byte, one byte one character.
            const QString text = QString::fromLatin1(receiveBuffer);
            qCDebug(lcTrace).noquote() << "received:" << text;
            emit messageReceived(text);
        }
    }
}

void KalvikConnector::tcpSocketError(QAbstractSocket::SocketError socketError)
{
    VTRACE();
    emit error(socketError);
}

void KalvikConnector::onConnected()
{
    VTRACE();
    connectedState = true;
    closeRequested = false;
    lastDropByPeer = false;
    emit connected();
}

void KalvikConnector::onDisconnected()
{
    VTRACE();
    // An attempt aborted before it connected is no loss of a link either.
    lastDropByPeer = connectedState && !closeRequested;
    connectedState = false;
    emit disconnected();
}
