// The verdict on a day of production: 2000 shots x 5 sensors x 3000 samples from the
// simulator's shot curve, each shot a few samples earlier or later than the last. Times:
// teaching a reference from 50 shots, judging every shot, and the floor of any verdict, one
// plain pass over every sample; the verdict may cost at most three such passes. Also the
// share of these good shots that the verdict rejects, and on a labelled set of the simulator
// (good and faulty shots at the device's usual period, taught from its first 50 good shots)
// the share of faulty shots found and of good shots rejected. Last, with that day's project
// open in the main window on the oscilloscope page, the time from a live shot's "run=0" to
// the tool bar's lamp painted with its verdict (the device is played over loopback).
//
//   bench_verdict [--shots N] [--samples N] [--teach N] [--labelled N]
#include "analysis/ReferenceBand.h"
#include "analysis/ShotJudge.h"
#include "bench/BenchUtil.h"
#include "control/Controller.h"
#include "control/VerdictMonitor.h"
#include "model/Model.h"
#include "tests/common/LoopbackAddress.h"
#include "tools/sim/ShotCurve.h"
#include "tools/sim/ShotSetWriter.h"
#include "view/View.h"
#include "widgets/VerdictLamp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <random>
#include <vector>

namespace {

constexpr double maximumVerdictVsScan = 3.0;
constexpr double maximumLiveVerdictMs = 20.0;
constexpr int liveShots = 6;
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

struct Detection
{
    bool ok = false;
    double detectedPercent = 0.0;
    double falseAlarmPercent = 0.0;
};

// A labelled set written by the simulator's project writer and read back as the application
// reads a project; the first shots are good and teach the reference with its defaults.
Detection detection(int shots, int teach)
{
    Detection result;
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("set.mvx"));
    SimulatorOptions options;
    options.fixedSeed = true;
    options.seed = 19;
    options.shotFaultRate = 0.5;
    options.labelsPath = dir.filePath(QStringLiteral("labels.csv"));
    ShotSetWriter::Settings settings;
    settings.shots = shots;
    settings.goodFirst = teach;
    QString error;
    Model model;
    if (!ShotSetWriter::write(project, settings, options, &error) || !model.open(project)) {
        std::fprintf(stderr, "labelled set not written or read: %s\n", qPrintable(error));
        return result;
    }
    QFile labels(options.labelsPath);
    if (!labels.open(QIODevice::ReadOnly | QIODevice::Text))
        return result;
    QStringList faults;
    labels.readLine(); // header
    while (!labels.atEnd())
        faults.append(QString::fromUtf8(labels.readLine()).trimmed().section(QLatin1Char(','), 1));

    QVector<ShotSamples> taughtShots;
    for (int i = 0; i < teach; ++i)
        taughtShots.append(ShotJudge::shotOf(model, i));
    const ReferenceBand::TeachResult taught = ReferenceBand::teach(taughtShots, model.clock());
    if (!taught.ok || faults.size() != model.numChannels(0)) {
        std::fprintf(stderr, "labelled set: %s\n", qPrintable(taught.error));
        return result;
    }
    const ShotJudge judge(taught.band, model.projectData());
    int faulty = 0, found = 0, good = 0, alarms = 0;
    // The taught shots are not counted: they are good by construction.
    for (int i = teach; i < model.numChannels(0); ++i) {
        const bool nok = !judge.judge(ShotJudge::shotOf(model, i)).isOk();
        if (faults.at(i) == QLatin1String("none")) {
            ++good;
            alarms += nok;
        } else {
            ++faulty;
            found += nok;
        }
    }
    result.ok = faulty > 0 && good > 0;
    result.detectedPercent = 100.0 * found / std::max(faulty, 1);
    result.falseAlarmPercent = 100.0 * alarms / std::max(good, 1);
    return result;
}

// Notes when the lamp has finished painting, by the clock it is given.
class PaintWatch : public QObject
{
public:
    const QElapsedTimer* clock = nullptr;
    double paintedMs = -1.0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || m_inside || !clock)
            return false;
        m_inside = true;
        watched->event(event);
        m_inside = false;
        if (paintedMs < 0)
            paintedMs = clock->nsecsElapsed() / 1e6;
        return true;
    }

private:
    bool m_inside = false;
};

// The median time from "run=0" to the lamp painted, over live shots that alternate between
// good ones and a shot with a bump, so that the lamp changes every time. data moves into the
// model; taught shots are its first teach.
double liveVerdictMs(std::vector<Shot>& data, int teach, int clockMs,
                     const std::array<int, 4>& markers)
{
    // The live shots as the device sends them, in thousandths.
    std::vector<QByteArray> lines;
    for (int r = 0; r < liveShots; ++r) {
        const Shot& shot = data[static_cast<size_t>(r % teach)];
        QByteArray text = "run=1\n";
        for (int i = 0; i < shot[0].size(); ++i) {
            text += QByteArray::number(i + 1);
            for (int k = 0; k < Model::numSensors; ++k) {
                const double bump = (r % 2 == 1 && i > shot[0].size() / 2 && i < shot[0].size() / 2 + 40) ? 500.0 : 0.0;
                text += ';' + QByteArray::number(qRound64((shot[k][i] + bump) * 1000.0));
            }
            text += '\n';
        }
        lines.push_back(text);
    }

    const QString host = loopbackAddress(46);
    qputenv("VENTARO_DEVICE_HOST", host.toLatin1());
    QTcpServer device;
    if (!device.listen(QHostAddress(host), 2222)) {
        std::fprintf(stderr, "cannot listen on %s: %s\n", qPrintable(host),
                     qPrintable(device.errorString()));
        return -1.0;
    }
    const bench::PrivateDataDir dataDir;
    Model model;
    View view(&model);
    Controller controller(&model, &view);
    view.show();
    controller.onActionConnect();
    if (!bench::waitFor([&] { return device.hasPendingConnections(); }, 5000))
        return -1.0;
    QTcpSocket* link = device.nextPendingConnection();
    if (!bench::waitFor([&] { return controller.readingsInThousandths(); }, 5000))
        return -1.0;

    model.blockSignals(true);
    ProjectData project = model.projectData();
    project.markers = markers;
    model.setProjectData(project);
    model.setClock(clockMs);
    QVector<int> taught;
    QVector<ShotSamples> taughtShots;
    for (Shot& shot : data) {
        for (int k = 0; k < Model::numSensors; ++k)
            model.appendSeries(k, std::move(shot[k]));
        model.appendTimestamp();
    }
    data.clear();
    for (int i = 0; i < teach; ++i) {
        taught.append(i + 1);
        taughtShots.append(ShotJudge::shotOf(model, i));
    }
    const ReferenceBand::TeachResult result = ReferenceBand::teach(taughtShots, clockMs);
    if (!result.ok)
        return -1.0;
    model.setReference(result.band.toData(taught));
    model.blockSignals(false);
    emit model.projectChanged();
    emit model.dataChanged();
    view.setCurrentTab(View::Tabs::Oszi);

    VerdictLamp* lamp = view.verdictLamp();
    PaintWatch watch;
    lamp->installEventFilter(&watch);
    std::vector<double> times;
    for (int r = 0; r < liveShots; ++r) {
        const int before = model.numChannels(0);
        const int samples = lines[static_cast<size_t>(r)].count('\n') - 1;
        link->write(lines[static_cast<size_t>(r)]);
        if (!bench::waitFor([&] {
                return model.numChannels(0) == before + 1 &&
                       model.measurement(0, before)->size() == samples;
            }, 30000))
            return -1.0;
        // The plots have drawn the new shot before the stop arrives, as during production.
        bench::waitFor([] { return false; }, 300);
        QElapsedTimer t;
        watch.paintedMs = -1.0;
        watch.clock = &t;
        t.start();
        link->write("run=0\n");
        link->flush();
        if (!bench::waitFor([&] { return watch.paintedMs >= 0; }, 5000))
            return -1.0;
        times.push_back(watch.paintedMs);
        watch.clock = nullptr;
        const VerdictLamp::State expected = r % 2 == 1 ? VerdictLamp::State::Nok : VerdictLamp::State::Ok;
        if (lamp->state() != expected) {
            std::fprintf(stderr, "live shot %d: the lamp shows the wrong verdict\n", r + 1);
            return -1.0;
        }
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    int shots = 2000;
    int samples = 3000;
    int teach = 50;
    int labelled = 1000;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--shots"))
            shots = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--samples"))
            samples = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--teach"))
            teach = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--labelled"))
            labelled = args[i + 1].toInt();
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

    std::vector<Shot> data = generate(shots, samples, clockMs);
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
    const Detection found = detection(std::max(labelled, teach + 10), teach);
    if (!found.ok)
        return 1;
    bench::report("detected_percent", found.detectedPercent, "%");
    bench::report("false_alarm_percent", found.falseAlarmPercent, "%");
    if (shots >= checkedShots && ratio > maximumVerdictVsScan) {
        std::fprintf(stderr, "verdict_vs_scan %.2f exceeds %.1f\n", ratio, maximumVerdictVsScan);
        return 1;
    }
    all.clear();
    const double liveMs = liveVerdictMs(data, teach, clockMs, markers);
    if (liveMs < 0)
        return 1;
    bench::report("live_verdict_ms", liveMs, "ms");
    if (shots >= checkedShots && liveMs > maximumLiveVerdictMs) {
        std::fprintf(stderr, "live_verdict_ms %.1f exceeds %.0f\n", liveMs, maximumLiveVerdictMs);
        return 1;
    }
    return 0;
}
