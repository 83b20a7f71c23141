#pragma once

#include <QString>
#include <QVector>

#include <array>

// A taught reference band as the project keeps it: what teaching produced and the
// settings it is judged with. The limits the judge uses are recomputed from the core band
// and the settings, so they are not kept.
struct ReferenceData
{
    static constexpr int numSensors = 5;
    static constexpr int numMarkers = 4;

    enum class Part
    {
        WholeShot,
        BetweenMarkers
    };

    struct Sensor
    {
        QVector<double> mean;
        QVector<double> coreUpper;
        QVector<double> coreLower;

        bool operator==(const Sensor& other) const;
    };

    // The shots the band was taught from, numbered from 1 as the user chose them.
    QVector<int> taughtShots;
    int shotCount = 0;
    double clockMs = 1.0;

    std::array<double, numSensors> valueTolerance{};
    double timeToleranceMs = 0.0;
    double minDurationMs = 0.0;
    Part part = Part::WholeShot;
    int fromMarker = 0;
    int toMarker = numMarkers - 1;

    // A sensor that none of the taught shots recorded has empty lists.
    std::array<Sensor, numSensors> sensors;

    // Why this reference cannot be judged with (lists of different lengths, numbers that
    // are not finite, a band inside out, a clock of 0 or less, settings out of range); empty
    // when it is sound. A file may hold anything, so a reference read from one is checked
    // before the project keeps it.
    QString problem() const;

    bool operator==(const ReferenceData& other) const;
    bool operator!=(const ReferenceData& other) const { return !(*this == other); }
};
