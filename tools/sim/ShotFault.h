#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// A fault of the moulding process put into one simulated shot, with its size. What the
// sizes mean depends on the kind; every fraction is one of the cycle. A fault is drawn by
// ShotFaultPlan and acted out by ShotCurve.
struct ShotFault
{
    enum class Kind
    {
        None,
        OverBreathing,  // one or two sensors open far more during injection and holding
        ShortShot,      // too little melt: every sensor breathes less
        LateSwitchOver, // injection pressure held too long before holding pressure
        EarlyOpening,   // the tool opens before the part has cooled
        CoolingBump,    // a short knock on the tool while it cools
        SensorZero,     // one sensor reads 0 for a while
    };

    Kind kind = Kind::None;
    // Bit k set: sensor k is affected.
    int sensors = 0;
    // OverBreathing, ShortShot: factor on the breathing; LateSwitchOver: extra opening at
    // the late switch-over, as a share of the breathing; CoolingBump: height in µm.
    double size = 0.0;
    // LateSwitchOver: delay of the switch-over; EarlyOpening: how much earlier the tool
    // opens; CoolingBump, SensorZero: start and length.
    double start = 0.0;
    double length = 0.0;

    bool affects(int sensor) const { return (sensors >> sensor) & 1; }

    // "none", "over-breathing", "short-shot", "late-switch-over", "early-opening",
    // "cooling-bump", "sensor-zero": the names of the labels and of the command line.
    static QString name(Kind kind);
    // False for a name that is no fault ("none" included).
    static bool parse(const QString& name, Kind* kind);
    // Every kind but None, in declaration order.
    static QVector<Kind> allKinds();
    static QStringList names();
};
