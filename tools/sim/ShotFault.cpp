#include "tools/sim/ShotFault.h"

namespace {

struct KindName
{
    ShotFault::Kind kind;
    const char* name;
};

constexpr KindName kindNames[] = {
    {ShotFault::Kind::None, "none"},
    {ShotFault::Kind::OverBreathing, "over-breathing"},
    {ShotFault::Kind::ShortShot, "short-shot"},
    {ShotFault::Kind::LateSwitchOver, "late-switch-over"},
    {ShotFault::Kind::EarlyOpening, "early-opening"},
    {ShotFault::Kind::CoolingBump, "cooling-bump"},
    {ShotFault::Kind::SensorZero, "sensor-zero"},
};

} // namespace

QString ShotFault::name(Kind kind)
{
    for (const KindName& entry : kindNames) {
        if (entry.kind == kind)
            return QLatin1String(entry.name);
    }
    return QString();
}

bool ShotFault::parse(const QString& name, Kind* kind)
{
    for (const KindName& entry : kindNames) {
        if (entry.kind != Kind::None && name == QLatin1String(entry.name)) {
            *kind = entry.kind;
            return true;
        }
    }
    return false;
}

QVector<ShotFault::Kind> ShotFault::allKinds()
{
    QVector<Kind> kinds;
    for (const KindName& entry : kindNames) {
        if (entry.kind != Kind::None)
            kinds.append(entry.kind);
    }
    return kinds;
}

QStringList ShotFault::names()
{
    QStringList list;
    for (Kind kind : allKinds())
        list.append(name(kind));
    return list;
}
