#pragma once

#include <QString>

// The verdict on one shot: OK, or NOK with the first place it left its reference.
struct Verdict
{
    enum class Kind
    {
        Ok,
        // Samples outside the band for at least the minimum duration.
        OutsideBand,
        // The sensor delivered nothing, or a flat line where the band expects movement.
        SensorFailed,
        // The shot ended before the band did (beyond the time tolerance); the missing
        // samples count as outside.
        TooShort
    };

    Kind kind = Kind::Ok;
    int sensor = -1;
    // Phase 0 to 4 at the violation's start and its name.
    int phase = -1;
    QString phaseName;
    double timeMs = 0.0;
    // The largest distance from the band over the violation, in the sensor's unit; NaN
    // where samples are missing or not a number.
    double deviation = 0.0;
    int samplesOutside = 0;
    double durationMs = 0.0;

    bool isOk() const { return kind == Kind::Ok; }
    // "OK" or "NOK", as the tables and the command line show it.
    QString verdictText() const;
    // What went wrong, in the current language; empty when OK.
    QString kindText() const;
    // What went wrong and where: kind, sensor, phase, time, deviation in unit (the
    // violating sensor's), duration; empty when OK.
    QString violationText(const QString& unit) const;
};
