#include "tools/sim/KalvikSimulator.h"

#include "tools/common/StickPath.h"
#include "tools/sim/StickFolder.h"

#include <QDir>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpSocket>

#include <iterator>

Q_LOGGING_CATEGORY(lcSim, "kalvik.sim")

namespace {

constexpr int trickleIntervalMs = 3;
// Value lines to catch up at most in one timer tick when the event loop fell behind.
constexpr int maxCatchUpLines = 1000;
// Bytes kept queued in the socket at the fastest rate: enough to keep it busy.
constexpr qint64 maxRateQueueBytes = 256 * 1024;
constexpr int maxRateBatchLines = 256;
// A command longer than this without a line feed is junk; it is thrown away.
constexpr qint64 maxCommandLength = 4096;
constexpr int shortestPeriodMs = 1;
constexpr int longestPeriodMs = 60000;

// Days and shots written to an empty stick.
constexpr int generatedDays = 3;
constexpr int generatedShotsPerDay = 4;

quint32 chooseSeed(const SimulatorOptions& options)
{
    return options.fixedSeed ? options.seed : QRandomGenerator::global()->generate();
}

// Shot faults draw from generators of their own, so that a seed gives the same readings
// of the good shots whatever faults are switched on.
quint32 shotFaultSeed(const SimulatorOptions& options, quint32 salt)
{
    return chooseSeed(options) ^ salt;
}

} // namespace

KalvikSimulator::KalvikSimulator(const SimulatorOptions& options, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_profile(options.micrometres)
    , m_curve(chooseSeed(options))
    , m_shotFaults(options.shotFaultRate, options.shotFaultKinds,
                   shotFaultSeed(options, 0x2545f491u))
    , m_stickPath(kalvikStickDir(options.stickDir))
{
    // The faults draw from a generator of their own, so that the readings of a seed stay
    // the same whatever faults are switched on.
    m_random.seed(m_options.fixedSeed ? m_options.seed ^ 0x9e3779b9u
                                      : QRandomGenerator::global()->generate());
    m_dropRandom.seed(shotFaultSeed(m_options, 0x4f1bbcdcu));
    m_sampleTimer.setTimerType(Qt::PreciseTimer);
    m_trickleTimer.setTimerType(Qt::PreciseTimer);
    m_trickleTimer.setInterval(trickleIntervalMs);
    m_rebootTimer.setSingleShot(true);
    for (QTimer* timer : {&m_cycleTimer, &m_cycleEndTimer, &m_dropTimer}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
    }
    connect(&m_cycleTimer, &QTimer::timeout, this, &KalvikSimulator::beginCycle);
    connect(&m_cycleEndTimer, &QTimer::timeout, this, &KalvikSimulator::endCycle);
    connect(&m_dropTimer, &QTimer::timeout, this, &KalvikSimulator::loseLink);
    connect(&m_server, &QTcpServer::newConnection, this, &KalvikSimulator::onNewConnection);
    connect(&m_sampleTimer, &QTimer::timeout, this, &KalvikSimulator::onSampleTimer);
    connect(&m_trickleTimer, &QTimer::timeout, this, &KalvikSimulator::onTrickleTimer);
    connect(&m_rebootTimer, &QTimer::timeout, this, [this] {
        if (listen())
            qCInfo(lcSim) << "listening again";
        else
            qCWarning(lcSim).noquote() << "cannot listen again:" << m_error;
    });
}

KalvikSimulator::~KalvikSimulator()
{
    stop();
}

bool KalvikSimulator::start()
{
    if (!m_options.labelsPath.isEmpty() && !m_labels.open(m_options.labelsPath)) {
        m_error = m_labels.errorString();
        return false;
    }
    m_shotsStarted = 0;
    StickFolder stick(m_stickPath);
    if (m_options.generateStick && !stick.hasDayFolders()) {
        ShotFaultPlan stickFaults(m_options.shotFaultRate, m_options.shotFaultKinds,
                                  shotFaultSeed(m_options, 0x68e31da4u));
        ShotLabels stickLabels;
        const bool labelled = !m_options.labelsPath.isEmpty();
        if (labelled && !stickLabels.open(m_options.blackBoxLabelsPath(), QStringLiteral("file"))) {
            m_error = stickLabels.errorString();
            return false;
        }
        const int files = stick.generate(QDate::currentDate(), generatedDays, generatedShotsPerDay,
                                         chooseSeed(m_options), m_options.micrometres, &stickFaults,
                                         labelled ? &stickLabels : nullptr);
        if (labelled && !stickLabels.close()) {
            m_error = stickLabels.errorString();
            return false;
        }
        qCInfo(lcSim).noquote()
            << QStringLiteral("wrote %1 black-box files to %2").arg(files).arg(stick.dataPath());
    }
    if (!listen())
        return false;
    if (m_options.production && !startMachine()) {
        stop();
        return false;
    }
    return true;
}

bool KalvikSimulator::listen()
{
    const QHostAddress address(m_options.host);
    if (address.isNull()) {
        m_error = QStringLiteral("not an IP address: %1").arg(m_options.host);
        return false;
    }
    if (!m_server.listen(address, m_options.port)) {
        m_error = QStringLiteral("cannot listen on %1:%2: %3")
                      .arg(m_options.host)
                      .arg(m_options.port)
                      .arg(m_server.errorString());
        return false;
    }
    m_error.clear();
    emit listeningChanged(true);
    return true;
}

void KalvikSimulator::stop()
{
    m_rebootTimer.stop();
    m_sampleTimer.stop();
    m_trickleTimer.stop();
    m_cycleTimer.stop();
    m_cycleEndTimer.stop();
    m_dropTimer.stop();
    m_cycleOpen = false;
    m_shotRunning = false;
    releaseClient();
    if (m_server.isListening()) {
        m_server.close();
        emit listeningChanged(false);
    }
}

void KalvikSimulator::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        if (m_client) {
            qCInfo(lcSim) << "a new connection replaces the old one";
            dropClient();
        }
        m_client = socket;
        connect(socket, &QTcpSocket::readyRead, this, &KalvikSimulator::onClientReadyRead);
        connect(socket, &QTcpSocket::disconnected, this, &KalvikSimulator::onClientDisconnected);
        connect(socket, &QTcpSocket::bytesWritten, this, [this] {
            if (m_options.maxRate && m_shotRunning)
                fillAtMaxRate();
        });
        qCInfo(lcSim).noquote() << "connected:" << socket->peerAddress().toString();
        emit clientConnected();
    }
}

void KalvikSimulator::onClientReadyRead()
{
    // The socket may go away while a command is handled ("reboot").
    while (m_client && m_client->canReadLine()) {
        const QByteArray line = m_client->readLine(maxCommandLength);
        handleCommand(line);
    }
    if (m_client && m_client->bytesAvailable() > maxCommandLength) {
        qCWarning(lcSim) << "dropping" << m_client->bytesAvailable() << "bytes without a line feed";
        m_client->readAll();
    }
}

void KalvikSimulator::onClientDisconnected()
{
    auto* socket = qobject_cast<QTcpSocket*>(sender());
    if (!socket || socket != m_client)
        return;
    qCInfo(lcSim) << "disconnected";
    releaseClient();
}

void KalvikSimulator::releaseClient()
{
    m_sampleTimer.stop();
    m_trickleTimer.stop();
    m_trickleQueue.clear();
    const bool wasRunning = m_shotRunning;
    m_shotRunning = false;
    // A computer that comes back asks again.
    m_recordRequested = false;
    if (QTcpSocket* socket = m_client) {
        m_client.clear();
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
        emit clientDisconnected();
    }
    if (wasRunning)
        emit shotEnded();
}

void KalvikSimulator::dropClient()
{
    // What was sent before the break still leaves; nothing after it.
    if (m_client)
        m_client->flush();
    releaseClient();
}

void KalvikSimulator::handleCommand(const QByteArray& rawCommand)
{
    const QByteArray command = rawCommand.trimmed();
    emit commandReceived(QString::fromLatin1(command));
    if (command == "deviceDescription") {
        sendLine(m_profile.deviceDescriptionLine(m_options.projectDescription));
    } else if (command == "sensorDescription") {
        if (m_options.sensorDescription)
            sendLine(m_profile.sensorDescriptionLine());
    } else if (command.startsWith("t=")) {
        bool ok = false;
        const int period = command.mid(2).toInt(&ok);
        if (!ok || period < shortestPeriodMs || period > longestPeriodMs) {
            qCWarning(lcSim) << "bad sample period:" << command;
            return;
        }
        m_periodMs = period;
        // A machine cycle keeps the period it began with, on the stick as on the line.
        if (m_shotRunning && !m_options.maxRate && !m_options.production) {
            m_samplesAtClockStart = m_samplesSent;
            m_clock.start();
            m_sampleTimer.start(m_periodMs);
        }
        sendLine("t=" + QByteArray::number(period) + '\n');
    } else if (command == "run=1") {
        if (m_options.production)
            m_recordRequested = true;
        else
            startShot();
    } else if (command == "run=0") {
        m_recordRequested = false;
        endShot(true);
    } else if (command == "1") {
        qCInfo(lcSim) << "calibrating";
    } else if (command == "list") {
        QByteArray reply = "list {\n.\n..\n";
        const QStringList entries = StickFolder(m_stickPath).listEntries();
        for (const QString& entry : entries)
            reply += entry.toUtf8() + '\n';
        reply += "} list\n";
        sendLine(reply);
    } else if (command == "reboot") {
        reboot();
    } else if (!command.isEmpty()) {
        qCWarning(lcSim) << "unknown command:" << command.left(80);
    }
}

void KalvikSimulator::startShot()
{
    if (!m_client)
        return;
    m_curve.newShot(m_shotFaults.next());
    ++m_shotsStarted;
    if (m_labels.isOpen() && !m_labels.append(QString::number(m_shotsStarted), m_curve.fault()))
        qCWarning(lcSim).noquote() << m_labels.errorString();
    beginStream();
}

void KalvikSimulator::beginStream()
{
    m_shotRunning = true;
    m_droppedThisShot = false;
    m_samplesSent = 0;
    m_samplesAtClockStart = 0;
    sendLine("run=1\n");
    emit shotStarted();
    if (m_options.maxRate) {
        fillAtMaxRate();
    } else {
        m_clock.start();
        onSampleTimer();
        if (m_shotRunning)
            m_sampleTimer.start(streamPeriodMs());
    }
}

int KalvikSimulator::streamPeriodMs() const
{
    return m_options.production ? m_cyclePeriodMs : m_periodMs;
}

void KalvikSimulator::endShot(bool answer)
{
    m_sampleTimer.stop();
    const bool wasRunning = m_shotRunning;
    m_shotRunning = false;
    if (m_options.production && wasRunning && m_samplesSent >= cycleSamples())
        m_cycleStreamed = true;
    if (answer)
        sendLine("run=0\n");
    if (wasRunning)
        emit shotEnded();
}

qint64 KalvikSimulator::cycleSamples() const
{
    if (m_options.production)
        return m_cycle.size();
    return m_options.cycleMs > 0 ? qMax<qint64>(1, m_options.cycleMs / m_periodMs) : 0;
}

bool KalvikSimulator::dropDue() const
{
    // In machine mode the machine drops the link (loseLink), not the shot.
    if (!(m_options.faults & SimulatorOptions::DropConnection) || m_droppedThisShot ||
        m_options.production)
        return false;
    const qint64 cycle = cycleSamples();
    const qint64 half = cycle > 0 ? qMax<qint64>(1, cycle / 2) : 50;
    return m_samplesSent >= half;
}

bool KalvikSimulator::boundaryReached() const
{
    const qint64 cycle = cycleSamples();
    return dropDue() || (cycle > 0 && m_samplesSent >= cycle);
}

bool KalvikSimulator::shotOver()
{
    if (!m_client || !m_shotRunning)
        return true;
    if (dropDue()) {
        m_droppedThisShot = true;
        qCInfo(lcSim) << "fault: dropping the connection in the middle of the shot";
        dropClient();
        return true;
    }
    const qint64 cycle = cycleSamples();
    if (cycle > 0 && m_samplesSent >= cycle) {
        endShot(true);
        return true;
    }
    return false;
}

void KalvikSimulator::onSampleTimer()
{
    if (!m_shotRunning)
        return;
    const qint64 due = m_samplesAtClockStart + m_clock.elapsed() / streamPeriodMs() + 1;
    QByteArray out;
    int lines = 0;
    while (m_samplesSent < due && lines < maxCatchUpLines) {
        appendValueLine(out);
        ++lines;
        if (boundaryReached())
            break;
    }
    send(out);
    shotOver();
}

void KalvikSimulator::fillAtMaxRate()
{
    while (m_client && m_shotRunning &&
           m_client->bytesToWrite() + m_trickleQueue.size() < maxRateQueueBytes) {
        QByteArray out;
        for (int i = 0; i < maxRateBatchLines; ++i) {
            appendValueLine(out);
            if (boundaryReached())
                break;
        }
        send(out);
        if (shotOver())
            return;
    }
}

void KalvikSimulator::appendValueLine(QByteArray& out)
{
    out += faultLines();
    if (m_options.production) {
        out += m_profile.valueLine(m_samplesSent, m_cycle.at(int(m_samplesSent)));
    } else {
        const double timeMs = double(m_samplesSent) * m_periodMs;
        out += m_profile.valueLine(m_samplesSent, m_curve.sample(timeMs, m_options.cycleMs));
    }
    ++m_samplesSent;
}

void KalvikSimulator::sendLine(const QByteArray& line)
{
    send(faultLines() + line);
}

void KalvikSimulator::send(const QByteArray& bytes)
{
    if (!m_client || bytes.isEmpty())
        return;
    if (m_options.faults & SimulatorOptions::Trickle) {
        m_trickleQueue += bytes;
        if (!m_trickleTimer.isActive())
            m_trickleTimer.start();
        return;
    }
    m_client->write(bytes);
}

void KalvikSimulator::onTrickleTimer()
{
    if (!m_client || m_trickleQueue.isEmpty()) {
        m_trickleTimer.stop();
        return;
    }
    std::uniform_int_distribution<int> pieceLength(1, 4);
    const int n = qMin(pieceLength(m_random), m_trickleQueue.size());
    m_client->write(m_trickleQueue.left(n));
    m_client->flush();
    m_trickleQueue.remove(0, n);
    if (m_options.maxRate && m_shotRunning && m_trickleQueue.size() < maxRateQueueBytes / 2)
        fillAtMaxRate();
}

QByteArray KalvikSimulator::faultLines()
{
    const int faults = m_options.faults;
    if (!(faults &
          (SimulatorOptions::Garbage | SimulatorOptions::LongLines | SimulatorOptions::Binary)))
        return QByteArray();
    std::uniform_int_distribution<int> percent(0, 99);
    QByteArray out;
    if ((faults & SimulatorOptions::Garbage) && percent(m_random) < 15) {
        static const char* const fixed[] = {
            "\n",    "\r\n",           "x\n",   ";;;;;\n", "ERR sensor 3 timeout\n",
            "run\n", "<deviceDescr\n", "list\n"};
        std::uniform_int_distribution<int> pick(0, int(std::size(fixed)));
        const int choice = pick(m_random);
        if (choice < int(std::size(fixed))) {
            out += fixed[choice];
        } else {
            // Printable junk that no parser of the controller takes for one of its lines.
            static const char first[] = "#*?!~@%&xyzQWZ";
            std::uniform_int_distribution<int> firstChar(0, int(sizeof(first)) - 2);
            std::uniform_int_distribution<int> length(2, 80);
            std::uniform_int_distribution<int> printable(32, 126);
            out += first[firstChar(m_random)];
            const int n = length(m_random);
            for (int i = 0; i < n; ++i)
                out += char(printable(m_random));
            out += '\n';
        }
    }
    if ((faults & SimulatorOptions::LongLines) && percent(m_random) < 5) {
        std::uniform_int_distribution<int> length(1100, 6000);
        std::uniform_int_distribution<int> printable(32, 126);
        out += '#';
        const int n = length(m_random);
        for (int i = 0; i < n; ++i)
            out += char(printable(m_random));
        out += '\n';
    }
    if ((faults & SimulatorOptions::Binary) && percent(m_random) < 10) {
        std::uniform_int_distribution<int> anyByte(0, 255);
        std::uniform_int_distribution<int> length(1, 80);
        // Begins with a control or high byte, so it is not taken for a value line.
        std::uniform_int_distribution<int> firstByte(0, 1);
        out += firstByte(m_random) ? char(0x80 + anyByte(m_random) % 128)
                                   : char(anyByte(m_random) % 9);
        const int n = length(m_random);
        for (int i = 0; i < n; ++i)
            out += char(anyByte(m_random));
        out += '\n';
    }
    return out;
}

void KalvikSimulator::reboot()
{
    qCInfo(lcSim) << "rebooting; back in" << m_options.rebootDelayMs << "ms";
    endShot(false);
    m_recordRequested = false;
    if (QTcpSocket* socket = m_client) {
        socket->flush();
        m_client.clear();
        socket->disconnect(this);
        socket->disconnectFromHost();
        if (socket->state() != QAbstractSocket::UnconnectedState)
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        else
            socket->deleteLater();
        emit clientDisconnected();
    }
    m_trickleQueue.clear();
    m_trickleTimer.stop();
    m_server.close();
    emit listeningChanged(false);
    m_rebootTimer.start(qMax(0, m_options.rebootDelayMs));
}
