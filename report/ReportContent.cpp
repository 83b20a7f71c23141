#include "report/ReportContent.h"

#include "analysis/EvaluationMath.h"
#include "analysis/ReferenceBand.h"
#include "analysis/ShotJudge.h"
#include "analysis/SpcValues.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using Curves = QVector<const QVector<double>*>;

ReportContent::Summary summaryOf(const QVector<double>& values)
{
    ReportContent::Summary summary;
    for (const double v : values) {
        if (std::isnan(v))
            ++summary.missing;
        else
            summary.sorted.append(v);
    }
    std::sort(summary.sorted.begin(), summary.sorted.end());
    summary.five = FiveNumberSummary::ofSorted(summary.sorted);
    return summary;
}

Curves curvesOf(const QVector<QVector<double>>& shots)
{
    Curves curves;
    curves.reserve(shots.size());
    for (const QVector<double>& shot : shots)
        curves.append(&shot);
    return curves;
}

int longestOf(const Curves& curves)
{
    int longest = 0;
    for (const QVector<double>* c : curves)
        longest = std::max(longest, static_cast<int>(c->size()));
    return longest;
}

// Of one curve against a band's limits, the largest distance outside them (negative: the
// smallest distance inside); NaN when no sample can be compared.
double distanceOutside(const QVector<double>& samples, const QVector<double>& upper,
                       const QVector<double>& lower)
{
    double worst = std::numeric_limits<double>::quiet_NaN();
    const int n = std::min({static_cast<int>(samples.size()), static_cast<int>(upper.size()),
                            static_cast<int>(lower.size())});
    for (int k = 0; k < n; ++k) {
        const double v = samples.at(k);
        if (std::isnan(v))
            continue;
        const double d = std::max(v - upper.at(k), lower.at(k) - v);
        if (std::isnan(worst) || d > worst)
            worst = d;
    }
    return worst;
}

} // namespace

ReportContent ReportContent::compute(const ReportInput& input,
                                     const std::function<void(int)>& progress)
{
    const auto report = [&progress](int percent) {
        if (progress)
            progress(percent);
    };
    ReportContent c;
    c.input = input;
    const int n = input.shotCount;
    const int clock = input.clockMs;
    const int period = EvaluationMath::samplePeriod(clock);

    std::array<Curves, numSensors> curves;
    for (int s = 0; s < numSensors; ++s)
        curves[static_cast<size_t>(s)] = curvesOf(input.sensors[static_cast<size_t>(s)].shots);

    for (int i = 0; i < input.timestamps.size(); ++i) {
        const QDateTime& t = input.timestamps.at(i);
        if (!t.isValid()) {
            ++c.shotsWithoutTime;
            continue;
        }
        if (!c.firstShot.isValid())
            c.firstShot = t;
        c.lastShot = t;
    }
    c.shotsWithoutTime += std::max(0, n - static_cast<int>(input.timestamps.size()));

    // The values page: maxima between its markers.
    std::array<QVector<double>, numSensors> maximaPerShot;
    for (int s = 0; s < numSensors; ++s) {
        const ReportInput::Sensor& sensor = input.sensors[static_cast<size_t>(s)];
        maximaPerShot[static_cast<size_t>(s)] =
            SpcValues::maxima(curves[static_cast<size_t>(s)], sensor.offset, clock,
                              input.valuesLeftMs, input.valuesRightMs);
        c.maxima[static_cast<size_t>(s)] = summaryOf(maximaPerShot[static_cast<size_t>(s)]);
    }
    report(10);

    // The runtime page: its sensor's thresholds as given, or as the page starts, from the
    // sensor's corrected range.
    const int rs = std::clamp(input.runtimeSensor, 0, numSensors - 1);
    const ReportInput::Sensor& runtimeSensor = input.sensors[static_cast<size_t>(rs)];
    if (!runtimeSensor.startValue || !runtimeSensor.stopValue) {
        const EvaluationMath::Extremes e =
            EvaluationMath::overallExtremes(curves[static_cast<size_t>(rs)]);
        const EvaluationMath::Thresholds t = EvaluationMath::thresholdsFor(
            e.minimum + runtimeSensor.offset, e.maximum + runtimeSensor.offset);
        c.startValue = t.start;
        c.stopValue = t.stop;
    }
    c.startValue = runtimeSensor.startValue.value_or(c.startValue);
    c.stopValue = runtimeSensor.stopValue.value_or(c.stopValue);
    std::array<QVector<double>, 3> runtimePerShot;
    const SpcValues::Runtime kinds[] = {SpcValues::Runtime::Start, SpcValues::Runtime::Duration,
                                        SpcValues::Runtime::Stop};
    for (int k = 0; k < 3; ++k) {
        runtimePerShot[static_cast<size_t>(k)] =
            SpcValues::runtimes(curves[static_cast<size_t>(rs)], runtimeSensor.offset, clock,
                                c.startValue, c.stopValue, kinds[k]);
        c.runtimes[static_cast<size_t>(k)] = summaryOf(runtimePerShot[static_cast<size_t>(k)]);
    }
    c.longestShotSeconds =
        EvaluationMath::seconds(longestOf(curves[static_cast<size_t>(rs)]), period);
    report(25);

    // The verdict, as the application judges with the stored reference.
    std::optional<ReferenceBand> band;
    if (input.reference) {
        band = ReferenceBand::fromData(*input.reference);
        const double judgedClock = std::max(1, clock);
        if (!band) {
            c.verdictProblem = QCoreApplication::translate(
                "ReportContent", "Die gespeicherte Referenz ist unbrauchbar.");
        } else if (band->clockMs() != judgedClock) {
            c.verdictProblem =
                QCoreApplication::translate("ReportContent",
                                            "Die Referenz wurde bei %1 ms je Messwert eingelernt, "
                                            "die Messungen haben %2 ms.")
                    .arg(band->clockMs())
                    .arg(judgedClock);
        } else {
            const ShotJudge judge(*band, input.project);
            c.verdicts.reserve(n);
            for (int i = 0; i < n; ++i) {
                ShotSamples shot{};
                for (int s = 0; s < numSensors; ++s) {
                    const Curves& shots = curves[static_cast<size_t>(s)];
                    shot[static_cast<size_t>(s)] = i < shots.size() ? shots.at(i) : nullptr;
                }
                c.verdicts.append(judge.judge(shot));
            }
            c.hasVerdicts = true;
        }
    }
    for (int i = 0; i < c.verdicts.size(); ++i) {
        const Verdict& v = c.verdicts.at(i);
        if (v.isOk()) {
            ++c.okCount;
            continue;
        }
        ++c.nokCount;
        const QString unit = v.sensor >= 0 && v.sensor < numSensors
                                 ? input.sensors[static_cast<size_t>(v.sensor)].unit
                                 : QString();
        c.nokShots.append({i, input.timestamps.value(i), v.violationText(unit)});
    }
    report(45);

    // SPC of the value the SPC page shows.
    c.spcKey = input.spc.value.isEmpty() ? QStringLiteral("max:1") : input.spc.value;
    c.spcName = SpcValues::name(c.spcKey);
    if (c.spcKey.startsWith(QLatin1String("max:"))) {
        const int s = c.spcKey.mid(4).toInt() - 1;
        if (s >= 0 && s < numSensors)
            c.spcValues = maximaPerShot[static_cast<size_t>(s)];
    } else if (c.spcKey == QLatin1String("start")) {
        c.spcValues = runtimePerShot[0];
    } else if (c.spcKey == QLatin1String("duration")) {
        c.spcValues = runtimePerShot[1];
    } else if (c.spcKey == QLatin1String("stop")) {
        c.spcValues = runtimePerShot[2];
    } else if (c.spcKey == QLatin1String("deviation") && c.hasVerdicts) {
        c.spcValues = SpcValues::deviations(c.verdicts, n);
    }
    if (!c.spcValues.isEmpty()) {
        const Spc::Options options =
            SpcValues::options(input.spc, c.spcKey, c.spcValues.size(), &c.spcBaseUnreadable);
        c.spc = Spc::compute(c.spcValues, options);
        c.spcMarks = SpcValues::markTexts(c.spc, c.spcValues.size());
    }
    report(50);

    // The pictures: every shot's area per sensor, the NOK shots over it, the worst first.
    QVector<int> nokOrder;
    for (const NokShot& nok : c.nokShots)
        nokOrder.append(nok.shot);
    std::stable_sort(nokOrder.begin(), nokOrder.end(), [&c](int a, int b) {
        const double da = c.verdicts.at(a).deviation;
        const double db = c.verdicts.at(b).deviation;
        // A failed sensor or missing samples (no distance) count as the worst.
        if (std::isnan(da) || std::isnan(db))
            return std::isnan(da) && !std::isnan(db);
        return std::abs(da) > std::abs(db);
    });
    if (nokOrder.size() > maxNokCurves)
        nokOrder.resize(maxNokCurves);
    for (int s = 0; s < numSensors; ++s) {
        const ReportInput::Sensor& sensor = input.sensors[static_cast<size_t>(s)];
        Overlay& o = c.overlays[static_cast<size_t>(s)];
        o.shots = sensor.shots.size();
        const Curves& shots = curves[static_cast<size_t>(s)];
        o.toMs = static_cast<double>(longestOf(shots)) * period;
        if (o.shots == 0 || o.toMs <= 0.0)
            continue;
        o.all = ColumnEnvelope::of(shots, sensor.offset, period, 0.0, o.toMs, pictureColumns);
        for (const int i : nokOrder) {
            if (i < shots.size())
                o.nok.append(ColumnEnvelope::of({shots.at(i)}, sensor.offset, period, 0.0, o.toMs,
                                                pictureColumns));
        }
        report(50 + 6 * (s + 1));
    }

    // The reference band per taught sensor with the shot farthest outside it. The judge
    // compares the samples as recorded, so no offset applies.
    if (band) {
        for (int s = 0; s < numSensors; ++s) {
            const ReferenceBand::SensorBand& limits = band->sensor(s);
            if (limits.length() == 0)
                continue;
            Band& b = c.bands[static_cast<size_t>(s)];
            b.taught = true;
            b.toMs = static_cast<double>(limits.length()) * band->clockMs();
            b.limits = ColumnEnvelope::of({&limits.upper, &limits.lower}, 0.0, band->clockMs(), 0.0,
                                          b.toMs, pictureColumns);
            const Curves& shots = curves[static_cast<size_t>(s)];
            for (int i = 0; i < shots.size(); ++i) {
                const double d = distanceOutside(*shots.at(i), limits.upper, limits.lower);
                if (!std::isnan(d) && (b.worstShot < 0 || d > b.distance)) {
                    b.worstShot = i;
                    b.distance = d;
                }
            }
            if (b.worstShot >= 0)
                b.worst = ColumnEnvelope::of({shots.at(b.worstShot)}, 0.0, band->clockMs(), 0.0,
                                             b.toMs, pictureColumns);
            report(80 + 4 * (s + 1));
        }
    }
    report(100);
    return c;
}
