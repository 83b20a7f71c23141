#pragma once

#include "analysis/ReferenceSettings.h"
#include "model/Model.h"
#include "model/ReferenceData.h"

#include <QString>
#include <QVector>

#include <array>
#include <optional>

// One shot as the five sample lists of its sensors; a null list is a sensor that
// delivered nothing.
using ShotSamples = std::array<const SampleList*, Model::numSensors>;

// The reference a shot is judged against: per sensor an upper and a lower limit for every
// sample of the shot's time axis, taught from good shots.
//
// Teaching keeps, per sample, the taught shots' mean and a core band: their envelope,
// widened to where one more good shot is expected (a few standard deviations, more for few
// taught shots) where the taught shots spread less than that.
// The limits are the core band's running maximum (minimum) over the time tolerance on
// either side, plus (minus) the value tolerance: a steep edge that starts a few samples
// earlier or later than in the taught shots stays inside.
class ReferenceBand
{
public:
    static constexpr int numSensors = Model::numSensors;
    static constexpr int minimumShots = 3;

    struct SensorBand
    {
        QVector<double> mean;
        QVector<double> coreUpper;
        QVector<double> coreLower;
        // The limits for the current settings.
        QVector<double> upper;
        QVector<double> lower;

        int length() const { return mean.size(); }
    };

    struct TeachResult;

    // Teaches from the given shots at a clock of clockMs per sample (0 or less counts as
    // 1 ms). Fails, teaching nothing, for fewer than minimumShots shots or when one
    // sensor's taught shots differ in length by more than the band can align.
    static TeachResult teach(const QVector<ShotSamples>& shots, int clockMs);

    bool isEmpty() const;
    int shotCount() const { return m_shotCount; }
    double clockMs() const { return m_clockMs; }
    const ReferenceSettings& settings() const { return m_settings; }
    // Recomputes the limits; tolerances are sanitized first.
    void setSettings(const ReferenceSettings& settings);
    const SensorBand& sensor(int index) const { return m_sensors[index]; }
    // Samples of time tolerance on either side at the current settings.
    int timeToleranceSamples() const;
    int minDurationSamples() const;

    // The band as the project keeps it, taught from the given shots (numbered from 1).
    ReferenceData toData(const QVector<int>& taughtShots) const;
    // The band kept as data, its limits recomputed from its settings: the same verdicts as
    // the band it was kept from. Empty for data that cannot be judged with (see
    // ReferenceData::problem) or that was taught from fewer than minimumShots shots.
    static std::optional<ReferenceBand> fromData(const ReferenceData& data);

private:
    std::array<SensorBand, numSensors> m_sensors;
    ReferenceSettings m_settings;
    double m_clockMs = 1.0;
    int m_shotCount = 0;
};

struct ReferenceBand::TeachResult
{
    bool ok = false;
    // German text through the translation system when teaching failed.
    QString error;
    ReferenceBand band;
    // Defaults derived from the taught shots' own spread; the band uses them.
    ReferenceSettings defaults;
};
