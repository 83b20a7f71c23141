// Renders five oscilloscope plots holding a day's worth of shots, offscreen, and compares a
// full repaint with the straightforward drawing of the same picture measured in the same
// run; then the repaint during a recording, when only the growing shot changed, and the
// oscilloscope page's handling of one value line.
//
//   bench_oszi [--shots N] [--samples N] [--width N] [--height N] [--rounds N]
#include "app/AppFrame.h"
#include "bench/BenchUtil.h"
#include "bench/OsziBaseline.h"
#include "model/Model.h"
#include "view/TabOszilloscope.h"
#include "widgets/OsziWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// A distance curve of one moulding cycle, in millimetres, with some noise.
double sample(int sensor, int shot, int i, int n)
{
    const double t = double(i) / n;
    const double shape = t < 0.2 ? t / 0.2 : (t < 0.8 ? 1.0 - 0.2 * (t - 0.2) : 0.88 - (t - 0.8));
    const double noise = std::sin(i * 12.9898 + shot * 78.233) * 0.05;
    return 2.0 + sensor + 8.0 * shape + 0.002 * shot + noise;
}

// Every shot full length except the last, which is being recorded.
void fill(Model& model, int shots, int samples, int growing)
{
    model.blockSignals(true);
    for (int shot = 0; shot < shots; ++shot) {
        model.addMeasurement();
        const int n = shot == shots - 1 ? growing : samples;
        for (int k = 0; k < Model::numSensors; ++k) {
            SampleList& list = *model.measurement(k, shot);
            list.reserve(samples);
            for (int i = 0; i < n; ++i)
                list.append(sample(k, shot, i, samples));
        }
    }
    model.blockSignals(false);
}

void appendLine(Model& model, int samples)
{
    const int shot = model.numChannels(0) - 1;
    const int i = model.measurement(0, shot)->size();
    for (int k = 0; k < Model::numSensors; ++k)
        model.measurement(k, shot)->append(sample(k, shot, i, samples));
}

// Five plots of one size, one per sensor, the way the page sets them up.
template <typename Plot>
struct Plots
{
    QWidget window;
    std::vector<Plot*> plots;

    Plots(Model& model, int width, int height)
    {
        window.resize(width, 5 * height);
        for (int k = 0; k < Model::numSensors; ++k) {
            auto* plot = new Plot(&window);
            plot->setGeometry(0, k * height, width, height);
            plot->setValueRange(0, 16);
            plot->setClock(1);
            plot->setVerticalMarkerCount(4);
            for (int i = 0; i < 4; ++i) {
                plot->setVerticalMarker(i, 400 * (i + 1), QColor(0x23, 0x72, 0xA4));
                plot->setPhaseName(i, QStringLiteral("Phase %1").arg(i + 1));
            }
            for (int i = 0; i < model.numChannels(k) && i < OsziWidget::numCurves; ++i)
                plot->setCurve(i, model.measurement(k, i), Qt::black);
            plot->highlightSingle(model.numChannels(k) - 1);
            plots.push_back(plot);
        }
        window.show();
    }

    double repaintMs()
    {
        QElapsedTimer timer;
        timer.start();
        for (Plot* plot : plots)
            plot->repaint();
        return timer.nsecsElapsed() / 1e6;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_FONT_DPI", "96");
    AppFrame::registerResources();
    // The plots are rendered offscreen; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AppFrame::loadFonts();
    AppFrame::applyLook(app);
    const QStringList args = app.arguments();
    int shots = 2000;
    int samples = 3000;
    int width = 1900;
    int height = 300;
    int rounds = 5;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--shots"))
            shots = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--samples"))
            samples = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--width"))
            width = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--height"))
            height = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--rounds"))
            rounds = args[i + 1].toInt();
    }
    shots = qBound(2, shots, OsziWidget::numCurves);
    samples = qMax(10, samples);
    rounds = qMax(1, rounds);

    Model model;
    fill(model, shots, samples, samples / 3);
    std::printf("# %d shots x %d samples, 5 plots of %d x %d pixels, zoom 1\n", shots, samples,
                width, height);

    // Full repaints after a change that invalidates everything: here the scroll position.
    Plots<OsziWidget> widgets(model, width, height);
    QApplication::processEvents();
    std::vector<double> full;
    for (int r = 0; r < rounds; ++r) {
        for (OsziWidget* plot : widgets.plots)
            plot->setStartIndex(r % 2);
        full.push_back(widgets.repaintMs());
    }
    QApplication::processEvents();

    Plots<OsziBaseline> baseline(model, width, height);
    QApplication::processEvents();
    std::vector<double> base;
    for (int r = 0; r < qMax(1, rounds / 3); ++r) {
        for (OsziBaseline* plot : baseline.plots)
            plot->setStartIndex(r % 2);
        base.push_back(baseline.repaintMs());
    }
    const double fullMs = median(full);
    const double baseMs = median(base);
    bench::report("full_repaint_ms", fullMs, "ms");
    bench::report("baseline_full_repaint_ms", baseMs, "ms");
    bench::report("full_vs_baseline", baseMs / qMax(1e-3, fullMs), "x");

    // The recording: one line more in the growing shot of every sensor, then a repaint.
    std::vector<double> live;
    for (int r = 0; r < 20 * rounds; ++r) {
        appendLine(model, samples);
        live.push_back(widgets.repaintMs());
    }
    bench::report("live_repaint_ms", median(live), "ms");

    bool identical = true;
    for (int k = 0; k < Model::numSensors; ++k) {
        widgets.plots[k]->setStartIndex(1);
        baseline.plots[k]->setStartIndex(1);
        const QImage a = widgets.plots[k]->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage b = baseline.plots[k]->grab().toImage().convertToFormat(QImage::Format_RGB32);
        identical = identical && a == b;
    }
    bench::report("pixels_identical", identical ? 1 : 0, "bool");
    baseline.window.hide();
    widgets.window.hide();

    // The page during a recording: every value line appends to the current shot and the
    // model says dataChanged once.
    TabOszilloscope tab;
    tab.setModel(&model);
    tab.resize(1920, 1080);
    tab.show();
    emit model.dataChanged();
    QApplication::processEvents();
    const int lines = 200 * rounds;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < lines; ++i) {
        model.blockSignals(true);
        appendLine(model, samples);
        model.blockSignals(false);
        emit model.dataChanged();
    }
    bench::report("tab_line_mean_us", timer.nsecsElapsed() / 1e3 / lines, "us");

    // The same at the device's fastest rate, one line a millisecond, through the event loop
    // with the page's coalesced repaints: the GUI thread's CPU time over wall time.
    QTimer device;
    device.setTimerType(Qt::PreciseTimer);
    device.setInterval(1);
    int streamed = 0;
    QObject::connect(&device, &QTimer::timeout, [&] {
        model.blockSignals(true);
        appendLine(model, samples);
        model.blockSignals(false);
        emit model.dataChanged();
        ++streamed;
    });
    const double cpuStart = threadCpuMs();
    timer.restart();
    device.start();
    while (timer.elapsed() < 400 * rounds)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    device.stop();
    const double wallMs = timer.nsecsElapsed() / 1e6;
    bench::report("tab_live_cpu_percent", 100.0 * (threadCpuMs() - cpuStart) / wallMs, "%");
    bench::report("tab_live_lines_per_s", streamed / (wallMs / 1000.0), "1/s");
    return identical ? 0 : 1;
}
