#include "model/ReferenceData.h"

#include <cmath>

namespace {

bool finiteAtLeastZero(double value)
{
    return std::isfinite(value) && value >= 0.0;
}

} // namespace

bool ReferenceData::Sensor::operator==(const Sensor& other) const
{
    return mean == other.mean && coreUpper == other.coreUpper && coreLower == other.coreLower;
}

QString ReferenceData::problem() const
{
    if (!std::isfinite(clockMs) || clockMs <= 0.0)
        return QStringLiteral("clock %1 ms per sample").arg(clockMs);
    if (shotCount < 1 || taughtShots.size() != shotCount)
        return QStringLiteral("%1 taught shots, %2 shot numbers")
            .arg(shotCount)
            .arg(taughtShots.size());
    for (int shot : taughtShots) {
        if (shot < 1)
            return QStringLiteral("shot number %1").arg(shot);
    }
    for (int k = 0; k < numSensors; ++k) {
        if (!finiteAtLeastZero(valueTolerance[static_cast<size_t>(k)]))
            return QStringLiteral("value tolerance of sensor %1").arg(k + 1);
    }
    if (!finiteAtLeastZero(timeToleranceMs) || !finiteAtLeastZero(minDurationMs))
        return QStringLiteral("time tolerance or minimum duration");
    if (fromMarker < 0 || toMarker >= numMarkers || fromMarker > toMarker)
        return QStringLiteral("markers %1 to %2").arg(fromMarker).arg(toMarker);

    bool anySensor = false;
    for (int k = 0; k < numSensors; ++k) {
        const Sensor& s = sensors[static_cast<size_t>(k)];
        const int n = s.mean.size();
        if (s.coreUpper.size() != n || s.coreLower.size() != n)
            return QStringLiteral("sensor %1: band lists of %2, %3 and %4 samples")
                .arg(k + 1)
                .arg(n)
                .arg(s.coreUpper.size())
                .arg(s.coreLower.size());
        for (int i = 0; i < n; ++i) {
            const double mean = s.mean.at(i);
            const double upper = s.coreUpper.at(i);
            const double lower = s.coreLower.at(i);
            if (!std::isfinite(mean) || !std::isfinite(upper) || !std::isfinite(lower))
                return QStringLiteral("sensor %1: no number at sample %2").arg(k + 1).arg(i);
            // An inside-out band would reject every shot.
            if (lower > mean || mean > upper)
                return QStringLiteral("sensor %1: band inside out at sample %2").arg(k + 1).arg(i);
        }
        anySensor = anySensor || n > 0;
    }
    // An empty band passes every shot, which is no reference.
    if (!anySensor)
        return QStringLiteral("no sensor has a band");
    return QString();
}

bool ReferenceData::operator==(const ReferenceData& other) const
{
    return taughtShots == other.taughtShots && shotCount == other.shotCount &&
           clockMs == other.clockMs && valueTolerance == other.valueTolerance &&
           timeToleranceMs == other.timeToleranceMs && minDurationMs == other.minDurationMs &&
           part == other.part && fromMarker == other.fromMarker && toMarker == other.toMarker &&
           sensors == other.sensors;
}
