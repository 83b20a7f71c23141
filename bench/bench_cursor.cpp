// Dragging a measurement cursor with a day's production open: 2000 shots x 3000 samples of
// one sensor. Each step moves cursor B and recomputes the cursor table, that is the chosen
// quantity of every shot, the summary and the table model's update, as the window does on
// every frame of a drag. The quantities that read every sample between the cursors (mean,
// area) are the slow ones; the cursors span nearly the whole shot.
//
//   bench_cursor [--shots N] [--samples N] [--steps N]
#include "analysis/CursorMath.h"
#include "bench/BenchUtil.h"
#include "model/Model.h"
#include "view/CursorTableWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>

#include <algorithm>
#include <vector>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("VENTARO_DEVICE_HOST"))
        qputenv("VENTARO_DEVICE_HOST", "127.0.0.2");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int shots = bench::intOption(args, QStringLiteral("--shots"), 2000);
    const int samples = bench::intOption(args, QStringLiteral("--samples"), 3000);
    const int steps = bench::intOption(args, QStringLiteral("--steps"), 20, 1);
    const bool fullSize = shots >= 2000 && samples >= 3000;

    Model model;
    model.blockSignals(true);
    model.setClock(1);
    for (int shot = 0; shot < shots; ++shot) {
        SampleList list;
        list.reserve(samples);
        const int turn = samples / 3 + shot % 50;
        for (int i = 0; i < samples; ++i)
            list.append(i < turn ? 5.0 - 8.0 * i / turn : -3.0 + 6.0 * (i - turn) / samples);
        model.appendSeries(0, std::move(list));
        for (int k = 1; k < Model::numSensors; ++k)
            model.appendSeries(k, SampleList());
    }
    model.blockSignals(false);
    std::printf("# %d shots x %d samples\n", shots, samples);

    CursorTableWindow window(&model);
    window.show();
    auto* quantityBox = window.findChild<QComboBox*>(QStringLiteral("cursorQuantityComboBox"));
    double worst = 0.0;
    std::vector<double> all;
    double sink = 0.0;
    for (const auto q : {CursorMath::Quantity::Mean, CursorMath::Quantity::Area}) {
        quantityBox->setCurrentIndex(static_cast<int>(q));
        for (int step = 0; step < steps; ++step) {
            // B walks back from the end a pixel at a time, as a drag at one sample per pixel.
            const double b = qMax(1, samples - 1 - step);
            QElapsedTimer t;
            t.start();
            window.setCursors(std::make_pair(1.0, b));
            window.recompute();
            const double ms = t.nsecsElapsed() / 1e6;
            sink += window.tableModel()->summary().mean;
            all.push_back(ms);
            worst = std::max(worst, ms);
        }
    }
    std::sort(all.begin(), all.end());
    const double median = all[all.size() / 2];
    bench::report("cursor_drag_ms", median, "ms");
    bench::report("cursor_drag_max_ms", worst, "ms");
    std::printf("# checksum %g\n", sink);
    if (fullSize && median > 100.0) {
        std::printf("cursor_drag_ms above 100 ms\n");
        return 1;
    }
    return 0;
}
