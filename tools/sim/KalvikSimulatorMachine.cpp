// The simulated device in machine mode: the machine's cycles, the stick file of every
// shot, the streaming of the cycles a computer asked for, and the link losses.
#include "tools/sim/BlackBoxWriter.h"
#include "tools/sim/KalvikSimulator.h"
#include "tools/sim/StickFolder.h"

#include <QDir>
#include <QTcpSocket>

bool KalvikSimulator::startMachine()
{
    if (m_options.cycleMs <= 0) {
        m_error = QStringLiteral("machine mode needs a shot length above 0 ms");
        return false;
    }
    if (!m_options.shotLogPath.isEmpty() && !m_shotLog.open(m_options.shotLogPath)) {
        m_error = m_shotLog.errorString();
        return false;
    }
    m_cycleNumber = 0;
    m_lastDeviceTime = QDateTime();
    m_recordRequested = false;
    m_machineClock.start();
    // The first cycle begins as soon as the event loop runs, so that callers see its signals.
    m_cycleTimer.start(0);
    qCInfo(lcSim).noquote() << QStringLiteral("machine cycles every %1 ms, shots of %2 ms")
                                   .arg(m_options.effectiveMachinePeriodMs())
                                   .arg(m_options.cycleMs);
    return true;
}

QDateTime KalvikSimulator::nextDeviceTime()
{
    QDateTime time = QDateTime::currentDateTime().addSecs(m_options.clockOffsetSeconds);
    time = time.addMSecs(-time.time().msec());
    // A late timer may start two cycles within one second; their files must not collide.
    if (m_lastDeviceTime.isValid() && time <= m_lastDeviceTime)
        time = m_lastDeviceTime.addSecs(1);
    m_lastDeviceTime = time;
    return time;
}

void KalvikSimulator::beginCycle()
{
    if (m_cycleOpen)
        endCycle();
    ++m_cycleNumber;
    m_cycleOpen = true;
    m_cycleStreamed = false;
    m_cyclePeriodMs = m_periodMs;
    m_cycleDeviceTime = nextDeviceTime();
    m_curve.newShot(m_shotFaults.next());
    if (m_labels.isOpen() && !m_labels.append(QString::number(m_cycleNumber), m_curve.fault()))
        qCWarning(lcSim).noquote() << m_labels.errorString();
    // The whole shot is measured up front, so that the line and the stick carry the same one.
    const int samples = qMax(1, m_options.cycleMs / m_cyclePeriodMs);
    m_cycle.resize(samples);
    for (int i = 0; i < samples; ++i)
        m_cycle[i] = m_curve.sample(double(i) * m_cyclePeriodMs, m_options.cycleMs);

    m_cycleEndTimer.start(m_options.cycleMs);
    if ((m_options.faults & SimulatorOptions::DropConnection) &&
        m_cycleNumber % qMax(1, m_options.dropEveryCycles) == 0)
        m_dropTimer.start(m_options.cycleMs / 2);
    const qint64 nextDue = m_cycleNumber * m_options.effectiveMachinePeriodMs();
    m_cycleTimer.start(int(qMax<qint64>(0, nextDue - m_machineClock.elapsed())));
    emit cycleStarted(m_cycleNumber);

    if (m_client && m_recordRequested) {
        ++m_shotsStarted;
        beginStream();
    }
}

void KalvikSimulator::endCycle()
{
    if (!m_cycleOpen)
        return;
    m_cycleEndTimer.stop();
    if (m_shotRunning) {
        // The event loop fell behind the stream: the rest of the shot leaves now.
        QByteArray out;
        while (m_samplesSent < cycleSamples())
            appendValueLine(out);
        send(out);
        endShot(true);
    }
    m_cycleOpen = false;

    const QString folder =
        QDir(StickFolder(m_stickPath).dataPath())
            .absoluteFilePath(BlackBoxWriter::dayFolderName(m_cycleDeviceTime.date()));
    const QString path = QDir(folder).absoluteFilePath(BlackBoxWriter::fileName(m_cycleDeviceTime));
    const bool written =
        QDir().mkpath(folder) &&
        BlackBoxWriter::write(path, m_profile, m_cycleDeviceTime, m_cyclePeriodMs, m_cycle);
    if (!written)
        qCWarning(lcSim).noquote() << "cannot write the shot to the stick:" << path;
    if (m_shotLog.isOpen() && !m_shotLog.append(m_cycleNumber, m_cycleDeviceTime, m_cycleStreamed))
        qCWarning(lcSim).noquote() << m_shotLog.errorString();
    emit cycleWritten(m_cycleNumber, written ? path : QString(), m_cycleStreamed);
}

void KalvikSimulator::loseLink()
{
    // Still away from the last loss (or a reboot): that one goes on.
    if (!m_server.isListening())
        return;
    const int shortest = qMax(0, m_options.dropMinMs);
    std::uniform_int_distribution<int> downTime(shortest, qMax(shortest, m_options.dropMaxMs));
    const int downMs = downTime(m_dropRandom);
    qCInfo(lcSim) << "fault: link lost in cycle" << m_cycleNumber << "for" << downMs << "ms";
    dropClient();
    m_server.close();
    emit listeningChanged(false);
    emit linkLost(downMs);
    m_rebootTimer.start(downMs);
}
