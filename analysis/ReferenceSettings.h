#pragma once

#include <array>

// How strictly shots are held to a taught reference. Tolerances widen the taught band:
// the value tolerance in each sensor's unit, the time tolerance in ms (how far a good
// shot's movements may come earlier or later). A shot is rejected only where it stays
// outside for at least minDurationMs, so a single noisy sample does not count.
struct ReferenceSettings
{
    static constexpr int numSensors = 5;

    enum class Part
    {
        WholeShot,
        BetweenMarkers
    };

    std::array<double, numSensors> valueTolerance{};
    double timeToleranceMs = 0.0;
    double minDurationMs = 0.0;
    Part part = Part::WholeShot;
    // Marker indices 0 to 3 bounding the monitored part when part is BetweenMarkers.
    int fromMarker = 0;
    int toMarker = 3;

    // Negative or non-finite tolerances would turn the band inside out and reject every
    // shot; they are taken as 0. Marker indices are kept within 0 to 3, in order.
    ReferenceSettings sanitized() const;

    // The monitored samples [begin, end) of a band of length samples, for markers in ms
    // and a clock in ms per sample. Markers that enclose no sample of the band give the
    // whole band: judging nothing would pass every shot.
    void monitoredRange(const std::array<int, 4>& markersMs, double clockMs, int length, int* begin,
                        int* end) const;

    bool operator==(const ReferenceSettings& other) const;
    bool operator!=(const ReferenceSettings& other) const { return !(*this == other); }
};
