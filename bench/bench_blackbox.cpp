// The black-box import of a full stick: N files of 5 sensors x S samples, written as the
// simulated device's stick writer writes them, listed through the local-folder command of the
// black-box page and all imported through its import button, in the main window
// (offscreen). Prints the import time, a floor measured in the same run (reading the same
// files and converting every number with a plain loop over the bytes), their ratio, and the
// longest time the window went without the progress bar moving. A second floor keeps the
// numbers in memory as well, which shows what the first touch of the shots' memory costs;
// a second import into memory the process already holds shows the import without it.
//
//   bench_blackbox [--files N] [--samples N]
#include "bench/BenchUtil.h"
#include "view/BlackBoxFilesTableModel.h"
#include "control/BlackBoxStaging.h"
#include "control/Controller.h"
#include "view/TabBlackBox.h"
#include "model/Model.h"
#include "tools/sim/BlackBoxWriter.h"
#include "tools/sim/DeviceProfile.h"
#include "tools/sim/ShotCurve.h"
#include "ui_TabBlackBox.h"
#include "view/View.h"
#include "widgets/ProgressIndicator.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <cstdio>
#include <vector>

namespace {

int argument(const QStringList& args, const QString& name, int fallback)
{
    const int at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1).toInt() : fallback;
}

// Writes files shots into day folders of 250 below data/; returns the number written.
int writeStick(const QString& data, int files, int samples)
{
    const DeviceProfile profile;
    ShotCurve curve(11);
    const int periodMs = 10;
    int written = 0;
    for (int i = 0; i < files; ++i) {
        const QDateTime time(QDate(2026, 3, 2).addDays(i / 250),
                             QTime(6, 0).addSecs(60 * (i % 250)));
        const QString folder = data + QLatin1Char('/') + BlackBoxWriter::dayFolderName(time.date());
        QDir().mkpath(folder);
        curve.newShot();
        QVector<ShotCurve::Sample> shot;
        shot.reserve(samples);
        for (int n = 0; n < samples; ++n)
            shot.append(curve.sample(n * periodMs, samples * periodMs));
        if (BlackBoxWriter::write(folder + QLatin1Char('/') + BlackBoxWriter::fileName(time),
                                  profile, time, periodMs, shot))
            ++written;
    }
    return written;
}

// The floor: every file read whole and every number in it converted by one plain pass over
// the bytes (digits into an integer, a point counts the decimals). The sum keeps the
// compiler from dropping the work.
double floorPass(const QStringList& paths, double* sum, std::vector<SampleList>* kept = nullptr)
{
    static constexpr double powersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    QElapsedTimer clock;
    clock.start();
    double total = 0.0;
    for (const QString& path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        SampleList* keep = nullptr;
        if (kept) {
            kept->emplace_back();
            keep = &kept->back();
            keep->reserve(static_cast<int>(std::count(bytes.begin(), bytes.end(), ',')) + 8);
        }
        quint64 digits = 0;
        int decimals = -1;
        bool inNumber = false;
        for (const char c : bytes) {
            if (c >= '0' && c <= '9') {
                digits = digits * 10 + static_cast<unsigned>(c - '0');
                inNumber = true;
                if (decimals >= 0)
                    ++decimals;
            } else if (c == '.' && inNumber) {
                decimals = 0;
            } else if (inNumber) {
                const double value =
                    static_cast<double>(digits) / powersOfTen[std::min(15, std::max(0, decimals))];
                total += value;
                if (keep)
                    keep->append(value);
                digits = 0;
                decimals = -1;
                inNumber = false;
            }
        }
    }
    *sum += total;
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
#ifdef __GLIBC__
    // Freed memory stays with the process, so that the second import can reuse it.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int files = argument(args, QStringLiteral("--files"), 1000);
    const int samples = argument(args, QStringLiteral("--samples"), 3000);

    // The staging folder lives in a temporary directory of this run alone.
    QTemporaryDir temp;
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    // The staging folder lies in the cache location: the bench's own, never the user's.
    qputenv("XDG_CACHE_HOME", temp.filePath(QStringLiteral("cache")).toLocal8Bit());
    const QString data = temp.path() + QStringLiteral("/stick/data");
    if (writeStick(data, files, samples) != files) {
        std::fprintf(stderr, "bench_blackbox: cannot write the stick\n");
        return 1;
    }

    const bench::PrivateDataDir dataDir;
    Model model;
    View view(&model);
    Controller controller(&model, &view);
    view.resize(1920, 1080);
    view.show();
    TabBlackBox* tab = view.tabBlackBox();

    // The directory dialog of the local-folder command gets the stick's data folder.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialog->setDirectory(data);
            dialog->selectFile(data);
            static_cast<QDialog*>(dialog)->accept();
        }
    });
    answer.start(5);
    QElapsedTimer listClock;
    listClock.start();
    tab->form()->buttonGetLocalList->click();
    answer.stop();
    const double listMs = listClock.nsecsElapsed() / 1e6;
    if (tab->filesModel()->rowCount() != files) {
        std::fprintf(stderr, "bench_blackbox: %d files listed, %d expected\n",
                     tab->filesModel()->rowCount(), files);
        return 1;
    }
    tab->form()->filesTableView->selectAll();

    QStringList staged;
    for (int row = 0; row < files; ++row)
        staged.append(BlackBoxStaging::rootFolder() + QLatin1Char('/') +
                      BlackBoxStaging::localCopiesFolderName + QLatin1Char('/') +
                      tab->filesModel()->path(row));
    double sum = 0.0;
    floorPass(staged, &sum); // warms the page cache for both
    const double floorMs = floorPass(staged, &sum);
    // The same, keeping every number in memory of its own, as any import must: fresh memory
    // costs its first touch, which some machines (virtual ones above all) make expensive.
    double floorStoreMs = 0.0;
    {
        std::vector<SampleList> kept;
        kept.reserve(static_cast<size_t>(files));
        floorStoreMs = floorPass(staged, &sum, &kept);
    }

    // The progress bar is watched from a timer, as the user would see it move.
    QElapsedTimer importClock;
    std::vector<qint64> moves;
    int lastValue = -1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const auto* indicator =
            view.findChild<ProgressIndicator*>(QStringLiteral("importProgressIndicator"));
        if (indicator && indicator->value() != lastValue) {
            lastValue = indicator->value();
            moves.push_back(importClock.nsecsElapsed());
        }
    });
    watch.start(1);
    importClock.start();
    tab->form()->buttonImportFiles->click();
    const qint64 endNs = importClock.nsecsElapsed();
    watch.stop();

    if (model.numChannels(0) != files || model.measurement(4, files - 1)->size() != samples) {
        std::fprintf(stderr, "bench_blackbox: %d shots imported, %d expected\n",
                     model.numChannels(0), files);
        return 1;
    }
    qint64 maxGap = moves.empty() ? endNs : moves.front();
    for (size_t i = 1; i < moves.size(); ++i)
        maxGap = std::max(maxGap, moves[i] - moves[i - 1]);
    const qint64 tail = endNs - (moves.empty() ? 0 : moves.back());
    maxGap = std::max(maxGap, tail);

    // The same import once more, after the data were cleared: the process keeps the memory
    // the first import faulted in, so this run shows the import without the first touch.
    model.clearData();
    tab->form()->filesTableView->selectAll();
    QElapsedTimer warmClock;
    warmClock.start();
    tab->form()->buttonImportFiles->click();
    const double warmMs = warmClock.nsecsElapsed() / 1e6;
    if (model.numChannels(0) != files) {
        std::fprintf(stderr, "bench_blackbox: second import gave %d shots\n", model.numChannels(0));
        return 1;
    }

    const double importMs = endNs / 1e6;
    bench::report("files", files, "files");
    bench::report("list_ms", listMs, "ms");
    bench::report("import_ms", importMs, "ms");
    bench::report("floor_ms", floorMs, "ms");
    bench::report("import_vs_floor", importMs / std::max(floorMs, 1e-3), "x");
    bench::report("import_warm_ms", warmMs, "ms");
    bench::report("import_warm_vs_floor", warmMs / std::max(floorMs, 1e-3), "x");
    bench::report("floor_store_ms", floorStoreMs, "ms");
    bench::report("import_vs_floor_store", importMs / std::max(floorStoreMs, 1e-3), "x");
    bench::report("progress_moves", static_cast<double>(moves.size()), "moves");
    bench::report("import_tail_ms", tail / 1e6, "ms");
    bench::report("max_gap_ms", maxGap / 1e6, "ms");
    bench::report("peak_rss_mb", bench::peakRssMb(), "MB");
    std::fprintf(stderr, "checksum %g\n", sum);
    return 0;
}
