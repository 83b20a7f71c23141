#pragma once

#include "tools/sim/DeviceProfile.h"
#include "tools/sim/ShotCurve.h"
#include "tools/sim/ShotFaultPlan.h"
#include "tools/sim/ShotLabels.h"
#include "tools/sim/SimulatorOptions.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>

#include <random>

class QTcpSocket;

Q_DECLARE_LOGGING_CATEGORY(lcSim)

// A stand-in for the Kalvik measuring box: the device side of the line protocol on
// host:2222. It describes itself and its five distance sensors,
// echoes the sample period, streams a moulding cycle's value lines after "run=1" until
// the cycle is over or "run=0" comes, lists the day folders of its USB stick, and goes away
// for a moment on "reboot". One PC is served at a time; a new connection replaces the old.
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

signals:
    void listeningChanged(bool listening);
    void clientConnected();
    void clientDisconnected();
    void commandReceived(const QString& command);
    void shotStarted();
    void shotEnded();

private:
    bool listen();
    void onNewConnection();
    void onClientReadyRead();
    void onClientDisconnected();
    void handleCommand(const QByteArray& command);

    void startShot();
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
    QElapsedTimer m_clock;
    QByteArray m_trickleQueue;

    int m_periodMs = 100;
    bool m_shotRunning = false;
    bool m_droppedThisShot = false;
    qint64 m_samplesSent = 0;
    qint64 m_samplesAtClockStart = 0;
};
