#pragma once

#include "tools/sim/ShotFault.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

// Everything that makes one simulated device differ from another. The command line of
// kalvik-sim fills it; tests and the benchmark fill it in code.
struct SimulatorOptions
{
    // Faults a broken device or a bad line would show; any combination.
    enum Fault
    {
        NoFault = 0,
        Garbage = 1 << 0,        // now and then a line of junk text, an empty line, a lone "\r"
        LongLines = 1 << 1,      // now and then a line of several thousand bytes
        Binary = 1 << 2,         // now and then a line of random bytes, zero bytes included
        DropConnection = 1 << 3, // the connection breaks off in the middle of every shot; in
                                 // machine mode the link is lost for a while now and then
        Trickle = 1 << 4,        // every byte leaves in small pieces, lines arrive in parts
    };

    QString host = QStringLiteral("127.0.0.1");
    quint16 port = 2222;
    // Empty: kalvikStickDir() (KALVIK_STICK_DIR, else a folder in the temporary directory).
    QString stickDir;
    // Write a few days of black-box files when the stick holds no day folder.
    bool generateStick = true;
    bool sensorDescription = true;
    bool projectDescription = false;
    // Readings in micrometres (the device's own unit); false sends millimetres.
    bool micrometres = true;
    bool fixedSeed = false;
    quint32 seed = 0;
    int faults = NoFault;
    // Stream value lines as fast as the connection takes them instead of one per period.
    bool maxRate = false;
    // Length of a shot; the device ends it by itself afterwards. 0: only "run=0" ends it.
    int cycleMs = 6000;
    // How long the device is away after "reboot".
    int rebootDelayMs = 2000;

    // Faults of the moulding process put into shots: the share of faulty shots (0 to 1) and
    // the kinds to choose from (empty: every kind). Live shots are labelled in labelsPath
    // ("shot,fault", numbered from 1 in the order sent); black-box files written to an
    // empty stick in blackBoxLabelsPath() ("file,fault", the file as the device lists it).
    double shotFaultRate = 0.0;
    QVector<ShotFault::Kind> shotFaultKinds;
    QString labelsPath;

    // Machine mode: the machine cycles on its own, every machinePeriodMs, whether or not a
    // computer is connected, and the device writes each cycle's shot to its stick, named and
    // stamped by its own clock (the computer's local time plus clockOffsetSeconds). After
    // "run=1" every following cycle is streamed, until "run=0" or the connection ends.
    bool production = false;
    // 0: cycleMs + 4000. Raised to machinePeriodFloor() when shorter.
    int machinePeriodMs = 0;
    int clockOffsetSeconds = 0;
    // With DropConnection in machine mode: every dropEveryCycles cycles the link is lost in
    // the middle of a cycle, and connections are refused for dropMinMs..dropMaxMs.
    int dropEveryCycles = 25;
    int dropMinMs = 2000;
    int dropMaxMs = 20000;
    // Machine mode: "shot,device_time,streamed" per cycle as its stick file is written.
    QString shotLogPath;

    // A cycle's shot must fit, and black-box names and times have whole seconds.
    int machinePeriodFloor() const;
    int effectiveMachinePeriodMs() const;

    // labelsPath with "-blackbox" added to its base name; empty without labelsPath.
    QString blackBoxLabelsPath() const;

    // "garbage", "long-lines", "binary", "drop", "trickle"; false for another name.
    static bool parseFault(const QString& name, int* fault);
    static QStringList faultNames();
};
