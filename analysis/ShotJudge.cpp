#include "analysis/ShotJudge.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A sensor is expected to move when its taught mean spans more than this many value
// tolerances, and counts as a flat line when a shot spans less than this share of that.
constexpr double movementTolerances = 4.0;
constexpr double flatShare = 0.1;

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

ShotJudge::ShotJudge(const ReferenceBand& band, const std::array<int, 4>& markersMs,
                     const QStringList& phaseNames)
    : m_band(band)
    , m_markers(markersMs)
    , m_phaseNames(phaseNames)
    , m_minRun(band.minDurationSamples())
{
    const ReferenceSettings& settings = band.settings();
    const int w = band.timeToleranceSamples();
    for (int k = 0; k < ReferenceBand::numSensors; ++k) {
        const ReferenceBand::SensorBand& s = band.sensor(k);
        Prepared& p = m_prepared[k];
        settings.monitoredRange(markersMs, band.clockMs(), s.length(), &p.begin, &p.end);
        p.requiredEnd = std::min(p.end, std::max(p.begin, s.length() - w));
        if (p.begin < p.end) {
            const auto [lo, hi] =
                std::minmax_element(s.mean.cbegin() + p.begin, s.mean.cbegin() + p.end);
            const double movement = *hi - *lo;
            p.expectsMovement =
                movement > 0.0 && movement > movementTolerances * settings.valueTolerance[k];
            p.flatBelow = flatShare * movement;
        }
    }
}

int ShotJudge::phaseAt(double timeMs, const std::array<int, 4>& markersMs)
{
    for (int i = 0; i < 4; ++i) {
        if (timeMs < markersMs[i])
            return i;
    }
    return 4;
}

ShotSamples ShotJudge::shotOf(const Model& model, int index)
{
    ShotSamples shot{};
    for (int k = 0; k < Model::numSensors; ++k)
        shot[k] = model.measurement(k, index);
    return shot;
}

ShotJudge::Finding ShotJudge::scan(int sensor, const SampleList* samples) const
{
    const Prepared& p = m_prepared[sensor];
    const ReferenceBand::SensorBand& band = m_band.sensor(sensor);
    const int n = samples ? samples->size() : 0;
    if (n == 0)
        return {Verdict::Kind::SensorFailed, p.begin, p.end - p.begin, notANumber};

    const double* x = samples->constData();
    const double* up = band.upper.constData();
    const double* lo = band.lower.constData();
    const int stop = std::min(n, p.end);
    double least = std::numeric_limits<double>::infinity();
    double most = -least;
    Finding found;
    int run = 0;
    int runStart = 0;
    double runDeviation = 0.0;
    int i = p.begin;
    for (; i < stop; ++i) {
        const double v = x[i];
        least = std::min(least, v);
        most = std::max(most, v);
        if (v <= up[i] && v >= lo[i]) {
            if (run >= m_minRun) {
                found = {Verdict::Kind::OutsideBand, runStart, run, runDeviation};
                ++i;
                break;
            }
            run = 0;
            continue;
        }
        if (run == 0) {
            runStart = i;
            runDeviation = 0.0;
        }
        ++run;
        // Neither above nor below: the sample is not a number.
        const double d = v > up[i] ? v - up[i] : (v < lo[i] ? lo[i] - v : notANumber);
        runDeviation =
            std::isnan(runDeviation) || std::isnan(d) ? notANumber : std::max(runDeviation, d);
    }

    if (found.kind == Verdict::Kind::Ok) {
        const int missing = p.requiredEnd - std::max(n, p.begin);
        if (missing > 0) {
            // The missing rest continues a run that reached the shot's last sample.
            const bool joined = run > 0 && runStart + run == n;
            const int start = joined ? runStart : std::max(n, p.begin);
            const int count = missing + (joined ? run : 0);
            if (count >= m_minRun)
                found = {Verdict::Kind::TooShort, start, count, notANumber};
        }
        if (found.kind == Verdict::Kind::Ok && run >= m_minRun)
            found = {Verdict::Kind::OutsideBand, runStart, run, runDeviation};
    }

    if (p.expectsMovement && stop > p.begin) {
        // After a violation only the span is still needed, and only until it is wide enough.
        for (; i < stop && most - least < p.flatBelow; ++i) {
            least = std::min(least, x[i]);
            most = std::max(most, x[i]);
        }
        if (most - least < p.flatBelow)
            return {Verdict::Kind::SensorFailed, p.begin, stop - p.begin, notANumber};
    }
    return found;
}

ShotJudge::ShotJudge(const ReferenceBand& band, const ProjectData& project)
    : ShotJudge(band, project.markers,
                QStringList(project.phaseNames.cbegin(), project.phaseNames.cend()))
{
}

Verdict ShotJudge::judge(const ShotSamples& shot) const
{
    Finding first;
    int sensor = -1;
    for (int k = 0; k < ReferenceBand::numSensors; ++k) {
        if (m_band.sensor(k).length() == 0)
            continue;
        const Finding f = scan(k, shot[k]);
        if (f.kind == Verdict::Kind::SensorFailed) {
            first = f;
            sensor = k;
            break;
        }
        if (f.kind != Verdict::Kind::Ok && (sensor < 0 || f.start < first.start)) {
            first = f;
            sensor = k;
        }
    }

    Verdict verdict;
    if (sensor < 0)
        return verdict;
    const double clock = m_band.clockMs();
    verdict.kind = first.kind;
    verdict.sensor = sensor;
    verdict.timeMs = first.start * clock;
    verdict.phase = phaseAt(verdict.timeMs, m_markers);
    verdict.phaseName = m_phaseNames.value(verdict.phase);
    verdict.deviation = first.deviation;
    verdict.samplesOutside = first.count;
    verdict.durationMs = first.count * clock;
    return verdict;
}
