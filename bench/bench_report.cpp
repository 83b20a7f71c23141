// The report of a day's project as the menu writes it (its figures computed, the PDF laid out
// and written), against opening the same project from its file in the same run. Prints the
// report's time, size and pages; at full size (a million samples per sensor and more) it
// fails when the report takes more than three opens, is over 5 MB or over 12 pages.
//
//   bench_report [--shots N] [--samples N] [--dir DIR]   (DIR keeps the files to look at)
#include "analysis/ReferenceBand.h"
#include "analysis/ShotJudge.h"
#include "app/AppFrame.h"
#include "bench/BenchUtil.h"
#include "model/Model.h"
#include "report/ReportContent.h"
#include "report/ReportInput.h"
#include "report/ReportWriter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cmath>

namespace {

constexpr int clockMs = 2;

// A moulding cycle: the tool closes, breathes while injecting, opens; every 40th shot
// breathes twice as far, which the reference taught from the first shots marks NOK.
double sample(int sensor, int shot, int i, int n, QRandomGenerator& random)
{
    const double t = double(i) / n;
    double v = t < 0.15 ? 10.0 * (1.0 - t / 0.15) : (t < 0.8 ? 0.0 : 10.0 * (t - 0.8) / 0.2);
    if (t > 0.3 && t < 0.5)
        v += (shot % 40 == 39 ? 2.0 : 0.5) * std::sin((t - 0.3) / 0.2 * 3.14159265);
    v += 0.5 * sensor + (random.generateDouble() - 0.5) * 0.02;
    return std::round(v * 1000.0) / 1000.0;
}

void fill(Model& model, int shots, int samples)
{
    QRandomGenerator random(4711);
    const QDateTime start(QDate(2026, 12, 1), QTime(6, 0));
    model.blockSignals(true);
    model.setClock(clockMs);
    ProjectData project = model.projectData();
    project.name = QStringLiteral("Los 4711");
    project.markers = {300, 900, 1800, 4200};
    model.setProjectData(project);
    SensorDescription& description = model.sensorDescription();
    for (int k = 0; k < Model::numSensors; ++k) {
        description.setSensorName(0, k, QStringLiteral("Kavität %1").arg(k + 1));
        description.setSensorUnit(0, k, QStringLiteral("mm"));
        description.setSensorMinimum(0, k, -1.0);
        description.setSensorMaximum(0, k, 15.0);
    }
    for (int shot = 0; shot < shots; ++shot) {
        for (int k = 0; k < Model::numSensors; ++k) {
            SampleList list;
            list.reserve(samples);
            for (int i = 0; i < samples; ++i)
                list.append(sample(k, shot, i, samples, random));
            model.appendSeries(k, std::move(list));
        }
        model.appendTimestamp(start.addSecs(20 * shot));
    }
    QVector<ShotSamples> taught;
    QVector<int> numbers;
    for (int i = 0; i < std::min(shots, 30); ++i) {
        if (i % 40 == 39)
            continue;
        taught.append(ShotJudge::shotOf(model, i));
        numbers.append(i + 1);
    }
    model.blockSignals(false);
    const ReferenceBand::TeachResult result = ReferenceBand::teach(taught, clockMs);
    if (result.ok)
        model.setReference(result.band.toData(numbers));
    SpcSettings spc;
    spc.value = QStringLiteral("max:1");
    spc.limits.insert(spc.value, {6.72, 6.61});
    model.setSpcSettings(spc);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    AppFrame::registerResources();
    QApplication app(argc, argv);
    AppFrame::loadFonts();
    const QStringList args = app.arguments();
    const int shots = bench::intOption(args, QStringLiteral("--shots"), 2000, 1);
    const int samples = bench::intOption(args, QStringLiteral("--samples"), 3000, 10);
    QTemporaryDir temporary;
    const int dirAt = args.indexOf(QStringLiteral("--dir"));
    const QString dir =
        dirAt >= 0 && dirAt + 1 < args.size() ? args.at(dirAt + 1) : temporary.path();
    QDir().mkpath(dir);
    const QString project = QDir(dir).filePath(QStringLiteral("bench_report.mvx"));
    const QString pdf = QDir(dir).filePath(QStringLiteral("bench_report.pdf"));
    {
        Model model;
        fill(model, shots, samples);
        if (!model.save(project)) {
            std::fprintf(stderr, "cannot save %s\n", qPrintable(project));
            return 1;
        }
    }

    Model model;
    QElapsedTimer timer;
    timer.start();
    if (!model.open(project)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(project));
        return 1;
    }
    const double openMs = timer.nsecsElapsed() / 1e6;

    timer.restart();
    const ReportContent content = ReportContent::compute(ReportInput::fromModel(model));
    const double computeMs = timer.nsecsElapsed() / 1e6;
    const ReportWriter::Result result =
        ReportWriter::write(content, pdf, QDateTime::currentDateTime());
    const double reportMs = timer.nsecsElapsed() / 1e6;
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(result.error));
        return 1;
    }
    const double mb = QFileInfo(pdf).size() / (1024.0 * 1024.0);

    bench::report("open_ms", openMs, "ms");
    bench::report("report_compute_ms", computeMs, "ms");
    bench::report("report_ms", reportMs, "ms");
    bench::report("report_vs_open", reportMs / std::max(openMs, 1e-6), "x");
    bench::report("report_mb", mb, "MB");
    bench::report("report_pages", result.pages, "pages");
    bench::report("nok_shots", content.nokCount, "shots");

    const bool full = double(shots) * samples >= 1e6;
    const bool ok = result.pages <= 12 && (!full || (reportMs <= 3.0 * openMs && mb <= 5.0));
    if (!ok)
        std::fprintf(stderr, "over the limits: report at most 3x open, 5 MB, 12 pages\n");
    return ok ? 0 : 1;
}
