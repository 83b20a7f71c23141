// The SPC page with a day's shots: from the per-shot value computed to the page painted
// (the statistics, the rules, the list of violations and both charts, rendered whole), at
// most 100 ms for 2000 shots. The values drift and jump now and then, so that the rules mark
// points.
//
//   bench_spc [--shots N] [--rounds N]
#include "bench/BenchUtil.h"
#include "model/Model.h"
#include "view/TabEvaluationSpc.h"
#include "widgets/ControlChart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <vector>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int shots = bench::intOption(args, QStringLiteral("--shots"), 2000, 2);
    const int rounds = bench::intOption(args, QStringLiteral("--rounds"), 5, 1);
    constexpr double maximumMs = 100.0;

    QRandomGenerator random(2112);
    QVector<double> values(shots);
    double level = 10.0;
    for (int i = 0; i < shots; ++i) {
        level += (random.generateDouble() - 0.5) * 0.02;
        values[i] = level + (random.generateDouble() - 0.5) * 0.4 +
                    (random.bounded(100) == 0 ? 2.0 : 0.0);
    }

    Model model;
    SpcSettings settings;
    settings.value = QStringLiteral("bench");
    settings.limits.insert(settings.value, {11.0, 9.0});
    model.setSpcSettings(settings);
    TabEvaluationSpc page;
    page.setModel(&model);
    page.setChoices({{QStringLiteral("bench"), QStringLiteral("bench")}},
                    [&values](const QString&) { return values; });
    page.resize(1300, 700);
    page.show();
    bench::waitFor([&page] { return page.isVisible(); }, 2000);

    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        page.refresh();
        page.grab();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    const double ms = times[times.size() / 2];
    int marks = 0;
    for (const QVector<int>& rule : page.result().marks)
        marks += rule.size();
    std::printf("# %d shots, %d rule marks, median of %d rounds\n", shots, marks, rounds);
    bench::report("spc_page_ms", ms, "ms");
    if (!page.result().ok || page.individualsChart()->pointCount() != shots) {
        std::fprintf(stderr, "the page shows no result for %d shots\n", shots);
        return 1;
    }
    if (shots >= 2000 && ms > maximumMs) {
        std::fprintf(stderr, "spc_page_ms %.1f exceeds %.0f\n", ms, maximumMs);
        return 1;
    }
    return 0;
}
