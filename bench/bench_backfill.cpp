// A production run at the fastest rate (value lines as fast as the link takes them, the
// shortest machine cycle and sample period the program offers) against the simulated device with
// its drop fault: the machine cycles every second, the link is lost every N-th cycle for 2 to 20 s,
// the application comes back by itself and fills the gaps from the stick. Prints how soon the link
// was in use again after the device listened again, and the shots missing or twice in the project
// against the device's own record; fails when a shot is missing or twice, or a reconnect took over
// 3 s.
//
//   bench_backfill [--shots N] [--drop-every N] [--drop-min-ms MS] [--drop-max-ms MS]
#include "app/AppFrame.h"
#include "bench/BenchUtil.h"
#include "tests/common/ProductionRun.h"

#include <QApplication>
#include <QLoggingCategory>

#include <algorithm>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    AppFrame::registerResources();
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    const QStringList args = app.arguments();
    ProductionRun::Settings settings;
    settings.cycles = bench::intOption(args, QStringLiteral("--shots"), 500, 2);
    settings.dropEveryCycles = bench::intOption(args, QStringLiteral("--drop-every"), 25, 2);
    settings.dropMinMs = bench::intOption(args, QStringLiteral("--drop-min-ms"), 2000, 100);
    settings.dropMaxMs = std::max(
        settings.dropMinMs, bench::intOption(args, QStringLiteral("--drop-max-ms"), 20000, 100));
    settings.cycleMs = 400;
    settings.machinePeriodMs = 1000;
    settings.samplePeriodMs = 5;
    settings.maxRate = true;

    ProductionRun run(55, settings);
    if (!run.start() || !run.record() || !run.fill()) {
        std::fprintf(stderr, "bench_backfill: %s\n", qPrintable(run.why()));
        return 1;
    }
    const ProductionRun::Figures f = run.figures();
    QVector<double> reconnect = f.reconnectMs;
    std::sort(reconnect.begin(), reconnect.end());
    const double median = reconnect.isEmpty() ? 0.0 : reconnect.at(reconnect.size() / 2);
    const double longest = reconnect.isEmpty() ? 0.0 : reconnect.last();
    bench::report("link_losses", f.losses, "losses");
    bench::report("device_shots", f.deviceShots, "shots");
    bench::report("reconnect_median_ms", median, "ms");
    bench::report("reconnect_max_ms", longest, "ms");
    bench::report("shots_missing", f.missing, "shots");
    bench::report("shots_twice", f.twice, "shots");
    bench::report("backfill_ms", f.backfillMs, "ms");
    const bool ok = f.missing == 0 && f.twice == 0 && f.foreign == 0 &&
                    reconnect.size() == f.losses && longest <= 3000.0;
    if (!ok)
        std::fprintf(stderr, "bench_backfill: shots missing or twice, or a reconnect over 3 s\n");
    return ok ? 0 : 1;
}
