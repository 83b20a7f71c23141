#pragma once

#include "tools/sim/SimulatorOptions.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>
#include <QVector>

#include <functional>
#include <memory>

class Controller;
class KalvikSimulator;
class Model;
class View;

// A production run against the simulated device as the test of gap-free recording and its
// benchmark need it: the machine cycles by itself and writes every shot to its stick by a
// clock of its own, the link drops now and then, and the application records a shift with
// one "Start", comes back by itself and fills the gaps from the stick. Afterwards the project
// is counted against the device's own record of its shots.
class ProductionRun
{
public:
    struct Settings
    {
        int cycles = 14;
        int cycleMs = 400;
        int machinePeriodMs = 1000;
        int samplePeriodMs = 5;
        int clockOffsetSeconds = 187;
        int dropEveryCycles = 4;
        int dropMinMs = 1200;
        int dropMaxMs = 2200;
        bool maxRate = false;
        bool autoBackfill = true;
    };

    struct Figures
    {
        // The device's shots between the first and the last the project recorded live: on its
        // stick, and in its own record.
        int deviceShots = 0;
        int loggedShots = 0;
        int projectShots = 0;
        int missing = 0;
        int twice = 0;
        // Project shots that are none of the device's.
        int foreign = 0;
        // Shots whose five sensors differ in length, or that stand out of time order.
        int unequal = 0;
        int outOfOrder = 0;
        int losses = 0;
        int gaps = 0;
        int filledGaps = 0;
        // From the device listening again to the application's link being back, per loss.
        QVector<double> reconnectMs;
        double backfillMs = 0.0;
    };

    // area: a loopback area of the caller's own.
    ProductionRun(int area, const Settings& settings);
    ~ProductionRun();

    // Starts the device and the application, connects, sets the sample period and presses
    // Start; false with why() when something did not come up.
    bool start();
    // Waits for the cycles, the link back and the recording stopped.
    bool record();
    // Waits until every gap is filled (with autoBackfill off, presses "Lücken füllen" first).
    bool fill();
    Figures figures() const;
    QString why() const { return m_why; }

    Model* model() const { return m_model.get(); }
    Controller* controller() const { return m_controller.get(); }
    View* view() const { return m_view.get(); }

private:
    bool waitFor(const std::function<bool()>& condition, int timeoutMs, const QString& what);

    Settings m_settings;
    QString m_host;
    QTemporaryDir m_dir;
    QString m_shotLog;
    std::unique_ptr<KalvikSimulator> m_sim;
    std::unique_ptr<Model> m_model;
    std::unique_ptr<View> m_view;
    std::unique_ptr<Controller> m_controller;
    // Times the link's losses and returns.
    QElapsedTimer m_clock;
    QVector<double> m_reconnectMs;
    qint64 m_listeningAgainNs = -1;
    int m_losses = 0;
    qint64 m_lastWritten = -1;
    int m_shotsSinceRestore = 0;
    QString m_why;
};
