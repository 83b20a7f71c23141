// Live values on the sensors page: value lines arrive once per millisecond while the page
// shows five sensors, first as bars, then as dials. Measures the time the page spends in its
// slot per line (the repaints it requests run later, gathered by the displays), the time from
// line to line (1 ms when the page keeps pace) and the time of one full repaint of the page.
//
//   bench_sensors [--lines N] [--repaints N]
#include "app/AppFrame.h"
#include "bench/BenchUtil.h"
#include "model/Model.h"
#include "view/TabSensors.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRadioButton>
#include <QTimer>

#include <cmath>

namespace {

struct Options
{
    int lines = 5000;
    int repaints = 20;
};

Options parse(const QStringList& args)
{
    Options options;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const int value = args.at(i + 1).toInt();
        if (args.at(i) == QLatin1String("--lines") && value > 0)
            options.lines = value;
        else if (args.at(i) == QLatin1String("--repaints") && value > 0)
            options.repaints = value;
        else
            qFatal("usage: bench_sensors [--lines N] [--repaints N]");
    }
    return options;
}

// The five distance sensors a device without a description is taken to have.
void describe(Model& model)
{
    SensorDescription& d = model.sensorDescription();
    d.setNumSensorGroups(1);
    SensorGroup& group = d.sensorGroup(0);
    group.setName(QStringLiteral("Keyence"));
    group.setNumSensors(5);
    for (int s = 0; s < 5; ++s) {
        group.setSensorName(s, QStringLiteral("Sensor %1").arg(s + 1));
        group.setSensorType(s, QStringLiteral("Keyence Distance"));
        group.setSensorUnit(s, QStringLiteral("mm"));
        group.setSensorMinimum(s, 0.0);
        group.setSensorMaximum(s, 12.0);
    }
    emit model.projectChanged();
}

struct LineTimes
{
    double slotUs = 0;     // mean time in the page's slot per line
    double intervalMs = 0; // mean time from line to line: 1 when the page keeps pace
};

// Value lines once per millisecond, as fast as the event loop lets the timer fire.
LineTimes runLines(Model& model, int lines)
{
    model.addMeasurement();
    QElapsedTimer wall;
    QElapsedTimer clock;
    qint64 spent = 0;
    int line = 0;
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        // Appended the way the controller does: signals blocked, one summary afterwards.
        model.blockSignals(true);
        for (int k = 0; k < Model::numSensors; ++k)
            model.appendSample(k, model.numChannels(k) - 1, 6.0 + 5.0 * std::sin(0.01 * line + k));
        model.blockSignals(false);
        clock.start();
        emit model.dataChanged();
        spent += clock.nsecsElapsed();
        if (++line == lines)
            loop.quit();
    });
    wall.start();
    timer.start();
    loop.exec();
    return {spent / 1e3 / lines, wall.nsecsElapsed() / 1e6 / lines};
}

double repaintMs(QWidget& page, int repaints)
{
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < repaints; ++i)
        page.repaint(); // forced on purpose: this is what is measured
    return clock.nsecsElapsed() / 1e6 / repaints;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    AppFrame::registerResources();
    QApplication app(argc, argv);
    AppFrame::loadFonts();
    AppFrame::applyLook(app);
    const Options options = parse(app.arguments());

    Model model;
    describe(model);
    TabSensors page;
    page.setModel(&model);
    page.resize(1920, 1000);
    page.show();
    QCoreApplication::processEvents();

    const LineTimes bars = runLines(model, options.lines);
    const double barsRepaint = repaintMs(page, options.repaints);

    page.findChild<QRadioButton*>(QStringLiteral("radioDisplaySelectionRound"))->click();
    QCoreApplication::processEvents();
    const LineTimes dials = runLines(model, options.lines);
    const double dialsRepaint = repaintMs(page, options.repaints);

    bench::report("bars_line_mean_us", bars.slotUs, "us");
    bench::report("dials_line_mean_us", dials.slotUs, "us");
    bench::report("dial_vs_bar", dials.slotUs / bars.slotUs, "x");
    bench::report("bars_line_interval_ms", bars.intervalMs, "ms");
    bench::report("dials_line_interval_ms", dials.intervalMs, "ms");
    bench::report("bars_repaint_ms", barsRepaint, "ms");
    bench::report("dials_repaint_ms", dialsRepaint, "ms");
    return 0;
}
