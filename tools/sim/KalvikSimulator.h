#pragma once

#include "tools/sim/DeviceProfile.h"
#include "tools/sim/ShotCurve.h"
#include "tools/sim/ShotFaultPlan.h"
#include "tools/sim/ShotLabels.h"
#include "tools/sim/ShotLog.h"
#include "tools/sim/SimulatorOptions.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>
#include <QVector>

#include <random>

class QTcpSocket;

Q_DECLARE_LOGGING_CATEGORY(lcSim)

// A stand-in for the Kalvik measuring box: the device side of the line protocol on
// host:2222. It describes itself and its five distance sensors,
// echoes the sample period, streams a moulding cycle's value lines after "run=1" until
// the cycle is over or "run=0" comes, lists the day folders of its USB stick, and goes away
// for a moment on "reboot". One PC is served at a time; a new connection replaces the old.
// In machine mode (SimulatorOptions::production) the machine cycles by itself and every
// shot goes to the stick; "run=1" asks for each following cycle to be streamed as well.
class KalvikSimulator : public QObject
{
    Q_OBJECT

public:
    explicit KalvikSimulator(const SimulatorOptions& options, QObject* parent = nullptr);
    ~KalvikSimulator() override;

    // Prepares the stick folder and the labels file and starts listening; false with
    // errorString() if the address cannot be had or the labels cannot be written.
    bool start();
    void stop();

    bool isListening() const { return m_server.isListening(); }
    quint16 serverPort() const { return m_server.serverPort(); }
    QString errorString() const { return m_error; }
    QString stickPath() const { return m_stickPath; }
    const SimulatorOptions& options() const { return m_options; }
    int samplePeriodMs() const { return m_periodMs; }
    bool isShotRunning() const { return m_shotRunning; }
    // Value lines sent in the current (or last) shot.
    qint64 samplesSent() const { return m_samplesSent; }
    // Shots started since start(), and the fault the current (or last) one carries.
    qint64 shotsStarted() const { return m_shotsStarted; }
    const ShotFault& shotFault() const { return m_curve.fault(); }
    bool hasClient() const { return !m_client.isNull(); }
    // Machine mode: cycles begun since start(), and whether the computer asked to record.
    qint64 cyclesBegun() const { return m_cycleNumber; }
    bool isRecordingRequested() const { return m_recordRequested; }

signals:
    void listeningChanged(bool listening);
    void clientConnected();
    void clientDisconnected();
    void commandReceived(const QString& command);
    void shotStarted();
    void shotEnded();
    // Machine mode: a cycle began; its shot was written to the stick (path), streamed
    // whole to a computer or not.
    void cycleStarted(qint64 cycle);
    void cycleWritten(qint64 cycle, const QString& path, bool streamed);
    // Machine mode, drop fault: the link is gone and connections are refused for downMs.
    void linkLost(int downMs);

private:
    bool listen();
    void onNewConnection();
    void onClientReadyRead();
    void onClientDisconnected();
    void handleCommand(const QByteArray& command);

    void startShot();
    // Sends "run=1" and streams the current shot at the device's rate or the fastest.
    void beginStream();
    int streamPeriodMs() const;

    // Machine mode (KalvikSimulatorMachine.cpp).
    bool startMachine();
    void beginCycle();
    void endCycle();
    void loseLink();
    QDateTime nextDeviceTime();
    void endShot(bool answer);
    void onSampleTimer();
    void fillAtMaxRate();
    // Appends the next value line, with whatever faults are due before it.
    void appendValueLine(QByteArray& out);
    qint64 cycleSamples() const;
    bool dropDue() const;
    // The shot's last line was appended, or the connection is due to break off.
    bool boundaryReached() const;
    // Ends the shot or drops the connection when due; true when the shot is over.
    bool shotOver();

    void sendLine(const QByteArray& line);
    void send(const QByteArray& bytes);
    void onTrickleTimer();
    QByteArray faultLines();

    void reboot();
    void dropClient();
    void releaseClient();

    SimulatorOptions m_options;
    DeviceProfile m_profile;
    ShotCurve m_curve;
    ShotFaultPlan m_shotFaults;
    ShotLabels m_labels;
    qint64 m_shotsStarted = 0;
    std::mt19937 m_random;
    QString m_stickPath;
    QString m_error;

    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    QTimer m_sampleTimer;
    QTimer m_trickleTimer;
    QTimer m_rebootTimer;
    QTimer m_cycleTimer;
    QTimer m_cycleEndTimer;
    QTimer m_dropTimer;
    QElapsedTimer m_clock;
    QByteArray m_trickleQueue;

    int m_periodMs = 100;
    bool m_shotRunning = false;
    bool m_droppedThisShot = false;
    qint64 m_samplesSent = 0;
    qint64 m_samplesAtClockStart = 0;

    // Machine mode: the cycles are due on a grid of the machine clock, not one after the
    // other, so that late timers do not make the machine drift.
    ShotLog m_shotLog;
    std::mt19937 m_dropRandom;
    QElapsedTimer m_machineClock;
    qint64 m_cycleNumber = 0;
    bool m_cycleOpen = false;
    QVector<ShotCurve::Sample> m_cycle;
    int m_cyclePeriodMs = 100;
    QDateTime m_cycleDeviceTime;
    QDateTime m_lastDeviceTime;
    bool m_cycleStreamed = false;
    bool m_recordRequested = false;
};
