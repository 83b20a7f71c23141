// The verdict on a day of production: 2000 shots x 5 sensors x 3000 samples from the
// simulator's shot curve, each shot a few samples earlier or later than the last. Times:
// teaching a reference from 50 shots, judging every shot, and the floor of any verdict, one
// plain pass over every sample; the verdict may cost at most three such passes. Also the
// share of these good shots that the verdict rejects.
//
//   bench_verdict [--shots N] [--samples N] [--teach N]
#include "analysis/ReferenceBand.h"
#include "analysis/ShotJudge.h"
#include "bench/BenchUtil.h"
#include "tools/sim/ShotCurve.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <random>
#include <vector>

namespace {

constexpr double maximumVerdictVsScan = 3.0;
// Below this many shots the times are too short to compare reliably.
constexpr int checkedShots = 1000;
constexpr int rounds = 3;

using Shot = std::array<SampleList, Model::numSensors>;

std::vector<Shot> generate(int shots, int samples, double clockMs)
{
    ShotCurve curve(2026);
    std::mt19937 random(7);
    // The cycle starts up to three samples earlier or later from shot to shot.
    std::uniform_real_distribution<double> jitter(-3.0 * clockMs, 3.0 * clockMs);
    const double cycleMs = samples * clockMs;
    std::vector<Shot> result(static_cast<size_t>(shots));
    for (Shot& shot : result) {
        curve.newShot();
        const double shift = jitter(random);
        for (SampleList& list : shot)
            list.resize(samples);
        for (int i = 0; i < samples; ++i) {
            const ShotCurve::Sample values = curve.sample(i * clockMs + shift, cycleMs);
            for (int k = 0; k < Model::numSensors; ++k)
                shot[k][i] = values[k];
        }
    }
    return result;
}

ShotSamples samplesOf(const Shot& shot)
{
    ShotSamples result{};
    for (int k = 0; k < Model::numSensors; ++k)
        result[k] = &shot[k];
    return result;
}

template <typename Work>
double bestOf(Work work)
{
    double best = 0.0;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        work();
        const double ms = t.nsecsElapsed() / 1e6;
        best = r == 0 ? ms : std::min(best, ms);
    }
    return best;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    int shots = 2000;
    int samples = 3000;
    int teach = 50;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--shots"))
            shots = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--samples"))
            samples = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--teach"))
            teach = args[i + 1].toInt();
    }
    samples = std::max(100, samples);
    teach = std::max(ReferenceBand::minimumShots, teach);
    shots = std::max(teach, shots);
    // A cycle of the curve's usual length, whatever the number of samples.
    const int clockMs = std::max(1, static_cast<int>(ShotCurve::defaultCycleMs / samples));
    const std::array<int, 4> markers = {int(ShotCurve::injectionStart * samples * clockMs),
                                        int(ShotCurve::holdingStart * samples * clockMs),
                                        int(ShotCurve::coolingStart * samples * clockMs),
                                        int(ShotCurve::openingStart * samples * clockMs)};
    const QStringList phases = {QStringLiteral("WZ schließen"), QStringLiteral("Einspritzzeit"),
                                QStringLiteral("Nachdruckzeit"), QStringLiteral("Kühlzeit"),
                                QStringLiteral("WZ öffnen")};

    const std::vector<Shot> data = generate(shots, samples, clockMs);
    QVector<ShotSamples> all;
    for (const Shot& shot : data)
        all.append(samplesOf(shot));
    std::printf("# %d shots x 5 sensors x %d samples, clock %d ms, taught from %d\n", shots,
                samples, clockMs, teach);

    ReferenceBand::TeachResult taught;
    const double teachMs =
        bestOf([&] { taught = ReferenceBand::teach(all.mid(0, teach), clockMs); });
    if (!taught.ok) {
        std::fprintf(stderr, "teaching failed: %s\n", qPrintable(taught.error));
        return 1;
    }

    int nok = 0;
    const double verdictMs = bestOf([&] {
        const ShotJudge judge(taught.band, markers, phases);
        nok = 0;
        for (const ShotSamples& shot : all)
            nok += judge.judge(shot).isOk() ? 0 : 1;
    });

    volatile double sink = 0.0;
    const double scanMs = bestOf([&] {
        double total = 0.0;
        for (const Shot& shot : data) {
            for (const SampleList& list : shot) {
                double most = list.first();
                for (const double v : list)
                    most = std::max(most, v);
                total += most;
            }
        }
        sink = total;
    });

    const double ratio = verdictMs / std::max(scanMs, 1e-6);
    bench::report("teach_ms", teachMs, "ms");
    bench::report("verdict_all_ms", verdictMs, "ms");
    bench::report("scan_floor_ms", scanMs, "ms");
    bench::report("verdict_vs_scan", ratio, "x");
    // Every generated shot is a good one, taught from the first of them.
    bench::report("generated_good_nok_percent", 100.0 * nok / shots, "%");
    bench::report("value_tolerance_sensor1", taught.defaults.valueTolerance[0], "um");
    bench::report("time_tolerance_ms", taught.defaults.timeToleranceMs, "ms");
    if (shots >= checkedShots && ratio > maximumVerdictVsScan) {
        std::fprintf(stderr, "verdict_vs_scan %.2f exceeds %.1f\n", ratio, maximumVerdictVsScan);
        return 1;
    }
    return 0;
}
