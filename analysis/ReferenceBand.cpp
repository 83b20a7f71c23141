#include "analysis/ReferenceBand.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// Default value tolerance in standard deviations of the taught shots (the median over
// the samples, so the spread of steep edges does not count).
constexpr double toleranceSigmas = 2.0;
// Runs of outside samples shorter than this are noise, not a fault.
constexpr int defaultMinDurationSamples = 3;

int samplesOf(double ms, double clockMs)
{
    // Tolerances entered in ms that are whole samples must not round up by one.
    return static_cast<int>(std::clamp(std::ceil(ms / clockMs - 1e-9), 0.0, 1e9));
}

// Half-width of the core band in standard deviations: where one more good shot falls with
// 99.5 % (Student's t for n taught shots, widened for the uncertain mean). A few taught
// shots say little about their spread, so their band must be wider.
double coreSigmas(int n)
{
    static const double t[] = {63.66, 9.925, 5.841, 4.604, 4.032,
                               3.707, 3.499, 3.355, 3.250, 3.169};
    const int df = n - 1;
    const double z = 2.576;
    const double quantile = df <= 10 ? t[df - 1] : z + (z * z * z + z) / (4.0 * df);
    return quantile * std::sqrt(1.0 + 1.0 / n);
}

int lengthOf(const SampleList* samples)
{
    return samples ? samples->size() : 0;
}

// The running maximum (or minimum) of values over [i - w, i + w], in one pass.
template <typename Better>
QVector<double> runningExtreme(const QVector<double>& values, int w, Better better)
{
    const int n = values.size();
    QVector<double> out(n);
    std::vector<int> window(static_cast<size_t>(n));
    int head = 0;
    int tail = 0;
    int next = 0;
    for (int i = 0; i < n; ++i) {
        const int last = std::min(n - 1, i + std::min(w, n));
        for (; next <= last; ++next) {
            while (tail > head && !better(values[window[tail - 1]], values[next]))
                --tail;
            window[tail++] = next;
        }
        while (window[head] < i - w)
            ++head;
        out[i] = values[window[head]];
    }
    return out;
}

// Where x passes level (in samples, interpolated between two samples), each passage
// counted when x leaves the hysteresis on the other side, so noise at the level counts
// once.
QVector<double> crossings(const double* x, int n, double level, double hysteresis)
{
    QVector<double> result;
    if (n == 0)
        return result;
    int state = x[0] >= level ? 1 : -1;
    double candidate = -1.0;
    for (int i = 1; i < n; ++i) {
        const double a = x[i - 1];
        const double b = x[i];
        const bool across = state > 0 ? (a >= level && b < level) : (a <= level && b > level);
        if (across)
            candidate = i - 1 + (a - level) / (a - b);
        if (state > 0 ? b < level - hysteresis : b > level + hysteresis) {
            result.append(candidate >= 0.0 ? candidate : i);
            state = -state;
            candidate = -1.0;
        }
    }
    return result;
}

// How far, in samples, the same movement of one sensor starts apart in the taught shots:
// the widest spread of any passage through the middle of the mean's range among the
// shots that pass it as often as the mean does.
double timeSpread(const QVector<const SampleList*>& shots, const QVector<double>& mean)
{
    const auto [lo, hi] = std::minmax_element(mean.cbegin(), mean.cend());
    const double range = *hi - *lo;
    if (!(range > 0.0))
        return 0.0;
    const double level = *lo + range / 2.0;
    const double hysteresis = range / 10.0;
    const int length = mean.size();
    const QVector<double> expected = crossings(mean.constData(), length, level, hysteresis);
    if (expected.isEmpty())
        return 0.0;
    std::vector<double> first(expected.size(), std::numeric_limits<double>::infinity());
    std::vector<double> last(expected.size(), -std::numeric_limits<double>::infinity());
    int matching = 0;
    for (const SampleList* shot : shots) {
        const QVector<double> c = crossings(shot->constData(), length, level, hysteresis);
        if (c.size() != expected.size())
            continue;
        ++matching;
        for (int j = 0; j < c.size(); ++j) {
            first[j] = std::min(first[j], c[j]);
            last[j] = std::max(last[j], c[j]);
        }
    }
    double spread = 0.0;
    if (matching >= 2) {
        for (size_t j = 0; j < first.size(); ++j)
            spread = std::max(spread, last[j] - first[j]);
    }
    return spread;
}

} // namespace

ReferenceBand::TeachResult ReferenceBand::teach(const QVector<ShotSamples>& shots, int clockMs)
{
    TeachResult result;
    const int n = shots.size();
    if (n < minimumShots) {
        result.error =
            QCoreApplication::translate(
                "ReferenceBand", "Zum Einlernen sind mindestens %1 Schüsse nötig, gewählt sind %2.")
                .arg(minimumShots)
                .arg(n);
        return result;
    }
    ReferenceBand band;
    band.m_clockMs = clockMs > 0 ? clockMs : 1.0;
    band.m_shotCount = n;
    ReferenceSettings defaults;
    std::array<int, numSensors> shortest{};
    std::array<int, numSensors> longest{};
    double spread = 0.0;

    for (int k = 0; k < numSensors; ++k) {
        QVector<const SampleList*> lists;
        shortest[k] = std::numeric_limits<int>::max();
        for (const ShotSamples& shot : shots) {
            shortest[k] = std::min(shortest[k], lengthOf(shot[k]));
            longest[k] = std::max(longest[k], lengthOf(shot[k]));
            lists.append(shot[k]);
        }
        // A sensor none of the taught shots recorded is not monitored; one that only
        // some recorded fails the length check below.
        if (shortest[k] == 0)
            continue;
        const int length = shortest[k];
        SensorBand& s = band.m_sensors[k];
        QVector<double> sum(length, 0.0);
        QVector<double> high(length, -std::numeric_limits<double>::infinity());
        QVector<double> low(length, std::numeric_limits<double>::infinity());
        for (const SampleList* list : lists) {
            const double* x = list->constData();
            for (int i = 0; i < length; ++i) {
                sum[i] += x[i];
                high[i] = std::max(high[i], x[i]);
                low[i] = std::min(low[i], x[i]);
            }
        }
        s.mean.resize(length);
        for (int i = 0; i < length; ++i)
            s.mean[i] = sum[i] / n;
        QVector<double> squares(length, 0.0);
        for (const SampleList* list : lists) {
            const double* x = list->constData();
            for (int i = 0; i < length; ++i)
                squares[i] += (x[i] - s.mean[i]) * (x[i] - s.mean[i]);
        }
        s.coreUpper.resize(length);
        s.coreLower.resize(length);
        std::vector<double> sigmas(static_cast<size_t>(length));
        const double width = coreSigmas(n);
        for (int i = 0; i < length; ++i) {
            const double sigma = std::sqrt(squares[i] / (n - 1));
            sigmas[i] = sigma;
            s.coreUpper[i] = std::max(high[i], s.mean[i] + width * sigma);
            s.coreLower[i] = std::min(low[i], s.mean[i] - width * sigma);
        }
        std::nth_element(sigmas.begin(), sigmas.begin() + length / 2, sigmas.end());
        defaults.valueTolerance[k] = toleranceSigmas * sigmas[length / 2];
        spread = std::max(spread, timeSpread(lists, s.mean));
    }

    // The taught shots' extreme passages are spread over about (n - 1) gaps; a good shot
    // may fall one such gap beyond them, twice that for safety, and at least a sample.
    const int w = std::max(1, static_cast<int>(std::ceil(2.0 * spread / (n - 1))));
    defaults.timeToleranceMs = w * band.m_clockMs;
    defaults.minDurationMs = defaultMinDurationSamples * band.m_clockMs;

    // Shots may end a little apart (the recording stops on a line, not a sample), by up
    // to a fiftieth of the shot or what the time tolerance aligns on both ends.
    for (int k = 0; k < numSensors; ++k) {
        if (longest[k] == 0)
            continue;
        const int allowed = std::max(2 * w, shortest[k] / 50);
        if (longest[k] - shortest[k] > allowed) {
            result.error = QCoreApplication::translate(
                               "ReferenceBand", "Die gewählten Schüsse sind zu verschieden lang "
                                                "(Sensor %1: %2 bis %3 ms), um sie zu einer "
                                                "Referenz zusammenzufassen.")
                               .arg(k + 1)
                               .arg(shortest[k] * band.m_clockMs)
                               .arg(longest[k] * band.m_clockMs);
            return result;
        }
    }

    band.setSettings(defaults);
    result.ok = true;
    result.band = std::move(band);
    result.defaults = defaults;
    return result;
}

bool ReferenceBand::isEmpty() const
{
    return std::all_of(m_sensors.cbegin(), m_sensors.cend(),
                       [](const SensorBand& s) { return s.length() == 0; });
}

void ReferenceBand::setSettings(const ReferenceSettings& settings)
{
    m_settings = settings.sanitized();
    const int w = timeToleranceSamples();
    for (int k = 0; k < numSensors; ++k) {
        SensorBand& s = m_sensors[k];
        const double tolerance = m_settings.valueTolerance[k];
        s.upper = runningExtreme(s.coreUpper, w, [](double a, double b) { return a > b; });
        s.lower = runningExtreme(s.coreLower, w, [](double a, double b) { return a < b; });
        for (double& v : s.upper)
            v += tolerance;
        for (double& v : s.lower)
            v -= tolerance;
    }
}

int ReferenceBand::timeToleranceSamples() const
{
    return samplesOf(m_settings.timeToleranceMs, m_clockMs);
}

int ReferenceBand::minDurationSamples() const
{
    return std::max(1, samplesOf(m_settings.minDurationMs, m_clockMs));
}

ReferenceData ReferenceBand::toData(const QVector<int>& taughtShots) const
{
    ReferenceData data;
    data.taughtShots = taughtShots;
    data.shotCount = m_shotCount;
    data.clockMs = m_clockMs;
    data.valueTolerance = m_settings.valueTolerance;
    data.timeToleranceMs = m_settings.timeToleranceMs;
    data.minDurationMs = m_settings.minDurationMs;
    data.part = m_settings.part == ReferenceSettings::Part::BetweenMarkers
                    ? ReferenceData::Part::BetweenMarkers
                    : ReferenceData::Part::WholeShot;
    data.fromMarker = m_settings.fromMarker;
    data.toMarker = m_settings.toMarker;
    for (int k = 0; k < numSensors; ++k) {
        const SensorBand& s = m_sensors[static_cast<size_t>(k)];
        ReferenceData::Sensor& sensor = data.sensors[static_cast<size_t>(k)];
        sensor.mean = s.mean;
        sensor.coreUpper = s.coreUpper;
        sensor.coreLower = s.coreLower;
    }
    return data;
}

std::optional<ReferenceBand> ReferenceBand::fromData(const ReferenceData& data)
{
    if (!data.problem().isEmpty() || data.shotCount < minimumShots)
        return std::nullopt;
    ReferenceBand band;
    band.m_clockMs = data.clockMs;
    band.m_shotCount = data.shotCount;
    for (int k = 0; k < numSensors; ++k) {
        const ReferenceData::Sensor& sensor = data.sensors[static_cast<size_t>(k)];
        SensorBand& s = band.m_sensors[static_cast<size_t>(k)];
        s.mean = sensor.mean;
        s.coreUpper = sensor.coreUpper;
        s.coreLower = sensor.coreLower;
    }
    ReferenceSettings settings;
    settings.valueTolerance = data.valueTolerance;
    settings.timeToleranceMs = data.timeToleranceMs;
    settings.minDurationMs = data.minDurationMs;
    settings.part = data.part == ReferenceData::Part::BetweenMarkers
                        ? ReferenceSettings::Part::BetweenMarkers
                        : ReferenceSettings::Part::WholeShot;
    settings.fromMarker = data.fromMarker;
    settings.toMarker = data.toMarker;
    band.setSettings(settings);
    return band;
}
