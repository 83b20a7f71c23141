// Saves, opens and exports a large project and compares each against a floor measured in
// the same run: a bare QJsonDocument built, serialised and written (save), a file read,
// parsed with QJsonDocument and walked into lists (open), and every sample formatted with
// QLocale::toString into one text stream (export). Opens run in fresh child processes so
// that their peak resident memory is their own.
//
//   bench_project_io [--shots N] [--samples N] [--dir DIR]
#include "bench/BenchUtil.h"
#include "control/FileJob.h"
#include "model/Model.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>

namespace {

// A distance curve of one moulding cycle with some noise, in millimetres with the three
// decimals of a micrometre reading.
double sample(int sensor, int shot, int i, int n, QRandomGenerator& random)
{
    const double t = double(i) / n;
    const double shape = t < 0.2 ? t / 0.2 : (t < 0.8 ? 1.0 - 0.2 * (t - 0.2) : 0.88 - (t - 0.8));
    const double v =
        2.0 + sensor + 8.0 * shape + 0.01 * shot / 100.0 + (random.generateDouble() - 0.5) * 0.02;
    return std::round(v * 1000.0) / 1000.0;
}

void fill(Model& model, int shots, int samples)
{
    QRandomGenerator random(4711);
    for (int shot = 0; shot < shots; ++shot) {
        model.blockSignals(true);
        model.addMeasurement();
        for (int k = 0; k < Model::numSensors; ++k) {
            SampleList& list = *model.measurement(k, shot);
            list.reserve(samples);
            for (int i = 0; i < samples; ++i)
                list.append(sample(k, shot, i, samples, random));
        }
        model.blockSignals(false);
    }
}

double saveFloor(const Model& model, const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    QJsonObject root;
    for (int k = 0; k < Model::numSensors; ++k) {
        QJsonArray series;
        for (int j = 0; j < model.numChannels(k); ++j) {
            QJsonArray values;
            for (double v : *model.measurement(k, j))
                values.append(v);
            series.append(values);
        }
        root.insert(QStringLiteral("sensor %1").arg(k + 1), series);
    }
    const QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Indented);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size())
        qFatal("cannot write %s", qPrintable(path));
    file.close();
    return timer.nsecsElapsed() / 1e6;
}

double exportFloor(const Model& model, const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        qFatal("cannot write %s", qPrintable(path));
    const QLocale german(QLocale::German, QLocale::Germany);
    QTextStream out(&file);
    out.setCodec("UTF-8");
    for (int k = 0; k < Model::numSensors; ++k) {
        for (int j = 0; j < model.numChannels(k); ++j) {
            out << "data " << j << ';';
            const SampleList& samples = *model.measurement(k, j);
            for (int s = 0; s < samples.size(); ++s) {
                if (s > 0)
                    out << ';';
                out << german.toString(samples.at(s), 'g', 6);
            }
            out << '\n';
        }
    }
    out.flush();
    file.close();
    return timer.nsecsElapsed() / 1e6;
}

int openFloor(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    QByteArray bytes = file.readAll();
    file.close();
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    bytes = QByteArray();
    const QJsonObject root = document.object();
    std::vector<std::vector<SampleList>> lists(Model::numSensors);
    for (int k = 0; k < Model::numSensors; ++k) {
        const QJsonArray series = root.value(QStringLiteral("sensor %1").arg(k + 1)).toArray();
        for (const QJsonValue shot : series) {
            const QJsonArray values = shot.toArray();
            SampleList list;
            list.reserve(values.size());
            for (const QJsonValue v : values)
                list.append(v.toDouble());
            lists[static_cast<size_t>(k)].push_back(std::move(list));
        }
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    std::printf("%.3f %.1f %zu\n", ms, bench::peakRssMb(), lists[0].size());
    return 0;
}

int openModel(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    Model model;
    // As in the application: the file work on a worker while the event loop goes on.
    model.setFileWorkRunner(&FileJob::runOnWorker);
    const bool ok = model.open(path);
    const double ms = timer.nsecsElapsed() / 1e6;
    std::printf("%.3f %.1f %d\n", ms, bench::peakRssMb(), ok ? model.numChannels(0) : -1);
    return ok ? 0 : 1;
}

// Runs this program again with one mode and reads back "ms peakMb shots".
bool child(const QString& mode, const QString& path, double& ms, double& peakMb, int& shots)
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(), {mode, path});
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        return false;
    const QList<QByteArray> parts = process.readAllStandardOutput().trimmed().split(' ');
    if (parts.size() != 3)
        return false;
    ms = parts[0].toDouble();
    peakMb = parts[1].toDouble();
    shots = parts[2].toInt();
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--open-model"))
        return openModel(args[2]);
    if (args.size() == 3 && args[1] == QLatin1String("--open-floor"))
        return openFloor(args[2]);

    int shots = 1000;
    int samples = 3000;
    QString dirPath;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--shots"))
            shots = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--samples"))
            samples = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--dir"))
            dirPath = args[i + 1];
    }
    QTemporaryDir tempDir(dirPath.isEmpty() ? QDir::tempPath() + QStringLiteral("/bench-XXXXXX")
                                            : dirPath + QStringLiteral("/bench-XXXXXX"));
    const QString modelPath = tempDir.filePath(QStringLiteral("model.mvx"));
    const QString floorPath = tempDir.filePath(QStringLiteral("floor.json"));

    Model model;
    // As in the application: the file work on a worker while the event loop goes on.
    model.setFileWorkRunner(&FileJob::runOnWorker);
    fill(model, shots, samples);
    std::printf("# %d shots x %d sensors x %d samples\n", shots, Model::numSensors, samples);

    QElapsedTimer timer;
    timer.start();
    if (!model.save(modelPath))
        qFatal("save failed");
    const double saveMs = timer.nsecsElapsed() / 1e6;
    const double floorSaveMs = saveFloor(model, floorPath);
    bench::report("save_ms", saveMs, "ms");
    bench::report("save_floor_ms", floorSaveMs, "ms");
    bench::report("save_vs_floor", saveMs / qMax(1e-3, floorSaveMs), "x");
    bench::report("file_size_mb", QFileInfo(modelPath).size() / 1048576.0, "MB");

    double openMs = 0, openPeak = 0, floorMs = 0, floorPeak = 0;
    int openShots = 0, floorShots = 0;
    if (!child(QStringLiteral("--open-model"), modelPath, openMs, openPeak, openShots) ||
        !child(QStringLiteral("--open-floor"), floorPath, floorMs, floorPeak, floorShots))
        qFatal("open run failed");
    if (openShots != shots || floorShots != shots)
        qFatal("open read %d and %d shots, expected %d", openShots, floorShots, shots);
    bench::report("open_ms", openMs, "ms");
    bench::report("open_floor_ms", floorMs, "ms");
    bench::report("open_vs_floor", openMs / qMax(1e-3, floorMs), "x");
    bench::report("open_peak_rss_mb", openPeak, "MB");
    bench::report("open_floor_peak_rss_mb", floorPeak, "MB");

    const QString exportPath = tempDir.filePath(QStringLiteral("export.txt"));
    timer.restart();
    if (!model.exportText(exportPath))
        qFatal("export failed");
    const double exportMs = timer.nsecsElapsed() / 1e6;
    const double floorExportMs = exportFloor(model, tempDir.filePath(QStringLiteral("floor.txt")));
    bench::report("export_ms", exportMs, "ms");
    bench::report("export_floor_ms", floorExportMs, "ms");
    bench::report("export_vs_floor", exportMs / qMax(1e-3, floorExportMs), "x");
    return 0;
}
