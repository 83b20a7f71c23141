#include "analysis/ReferenceSettings.h"

#include <algorithm>
#include <cmath>

namespace {

double nonNegative(double value)
{
    return std::isfinite(value) && value > 0.0 ? value : 0.0;
}

} // namespace

ReferenceSettings ReferenceSettings::sanitized() const
{
    ReferenceSettings s = *this;
    for (double& tolerance : s.valueTolerance)
        tolerance = nonNegative(tolerance);
    s.timeToleranceMs = nonNegative(s.timeToleranceMs);
    s.minDurationMs = nonNegative(s.minDurationMs);
    s.fromMarker = std::clamp(s.fromMarker, 0, 3);
    s.toMarker = std::clamp(s.toMarker, 0, 3);
    if (s.fromMarker > s.toMarker)
        std::swap(s.fromMarker, s.toMarker);
    return s;
}

void ReferenceSettings::monitoredRange(const std::array<int, 4>& markersMs, double clockMs,
                                       int length, int* begin, int* end) const
{
    *begin = 0;
    *end = length;
    if (part != Part::BetweenMarkers || clockMs <= 0.0)
        return;
    const ReferenceSettings s = sanitized();
    const double from = markersMs[s.fromMarker] / clockMs;
    const double to = markersMs[s.toMarker] / clockMs;
    const int b = static_cast<int>(std::clamp(std::ceil(from), 0.0, double(length)));
    const int e = static_cast<int>(std::clamp(std::ceil(to), 0.0, double(length)));
    if (b < e) {
        *begin = b;
        *end = e;
    }
}

bool ReferenceSettings::operator==(const ReferenceSettings& other) const
{
    return valueTolerance == other.valueTolerance && timeToleranceMs == other.timeToleranceMs &&
           minDurationMs == other.minDurationMs && part == other.part &&
           fromMarker == other.fromMarker && toMarker == other.toMarker;
}
