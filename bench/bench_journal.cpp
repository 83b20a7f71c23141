// The shot journal: writing a day's shots as the application does (a second of samples per
// write), and recovering them into a project against opening the same shots from a project
// file, both in this run. Fails when a full-size recovery takes more than twice the open.
//
//   bench_journal [--shots N] [--samples N]
#include "bench/BenchUtil.h"
#include "control/FileJob.h"
#include "model/Model.h"
#include "store/Journal.h"
#include "store/ShotProject.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cmath>

namespace {

struct Options
{
    int shots = 2000;
    int samples = 3000;
    int clockMs = 1;

    bool fullSize() const { return shots >= 2000 && samples >= 3000; }
};

// A distance curve of one moulding cycle with noise, in the three decimals of a micrometre
// reading, so that the project file is as long as a real one.
StoredShot makeShot(const Options& options, int index, QRandomGenerator& random)
{
    StoredShot shot;
    shot.id = QUuid::createUuid();
    shot.startedAt = QDateTime(QDate(2026, 3, 2), QTime(6, 0)).addMSecs(qint64(index) * 20000);
    shot.clockMs = options.clockMs;
    shot.projectName = QStringLiteral("Deckel");
    for (int k = 0; k < StoredShot::numSensors; ++k) {
        shot.sensorNames[size_t(k)] = QStringLiteral("Weg %1").arg(k + 1);
        shot.sensorUnits[size_t(k)] = QStringLiteral("mm");
        QVector<double>& list = shot.samples[size_t(k)];
        list.reserve(options.samples);
        for (int i = 0; i < options.samples; ++i) {
            const double t = double(i) / options.samples;
            const double shape =
                t < 0.2 ? t / 0.2 : (t < 0.8 ? 1.0 - 0.2 * (t - 0.2) : 0.88 - (t - 0.8));
            const double v = 2.0 + k + 8.0 * shape + (random.generateDouble() - 0.5) * 0.02;
            list.append(std::round(v * 1000.0) / 1000.0);
        }
    }
    return shot;
}

// The application's writer: the rows of one second per transaction.
bool writeShot(Journal& journal, const StoredShot& shot, qint64 session, int number)
{
    if (!journal.beginShot(shot, session, number))
        return false;
    const int perWrite = qMax(1, 1000 / shot.clockMs);
    QVector<double> rows;
    for (int i = 0; i < shot.sampleCount(); i += perWrite) {
        rows.clear();
        for (int j = i; j < qMin(i + perWrite, shot.sampleCount()); ++j)
            for (int k = 0; k < StoredShot::numSensors; ++k)
                rows.append(shot.samples[size_t(k)].at(j));
        if (!journal.appendRows(shot.id, rows))
            return false;
    }
    return journal.finishShot(shot.id, QString());
}

// journal_write_ms, open_ms, recover_ms, recover_vs_open.
bool journalAndRecovery(const Options& options, const QString& folder)
{
    const QString journalPath = folder + QStringLiteral("/journal.sqlite");
    const QString projectPath = folder + QStringLiteral("/same-shots.mvx");
    {
        Journal journal(QStringLiteral("bench-writer"));
        if (!journal.open(journalPath))
            qFatal("%s", qPrintable(journal.error()));
        const qint64 session = journal.beginSession(QDateTime::currentDateTime());
        Model model;
        QRandomGenerator random(4711);
        qint64 writeNs = 0;
        QElapsedTimer timer;
        for (int i = 0; i < options.shots; ++i) {
            const StoredShot shot = makeShot(options, i, random);
            timer.start();
            if (!writeShot(journal, shot, session, i + 1))
                qFatal("%s", qPrintable(journal.error()));
            writeNs += timer.nsecsElapsed();
            ShotProject::append(model, {shot});
        }
        bench::report("journal_write_ms", writeNs / 1e6 / qMax(1, options.shots), "ms");
        if (!model.save(projectPath))
            qFatal("cannot write %s: %s", qPrintable(projectPath), qPrintable(model.fileError()));
    }

    QElapsedTimer timer;
    timer.start();
    double openMs = 0;
    {
        Model model;
        // As in the application: the file work on a worker while the event loop goes on.
        model.setFileWorkRunner(&FileJob::runOnWorker);
        if (!model.open(projectPath) || model.numChannels(0) != options.shots)
            qFatal("open failed");
        openMs = timer.nsecsElapsed() / 1e6;
    }

    timer.restart();
    double recoverMs = 0;
    {
        Journal journal(QStringLiteral("bench-recovery"));
        if (!journal.open(journalPath))
            qFatal("%s", qPrintable(journal.error()));
        QVector<StoredShot> shots;
        for (const Journal::Entry& entry : journal.unsaved()) {
            std::optional<StoredShot> shot = journal.read(entry.id);
            if (!shot)
                qFatal("%s", qPrintable(journal.error()));
            shots.append(std::move(*shot));
        }
        Model model;
        if (ShotProject::append(model, shots) != options.shots)
            qFatal("recovered too few shots");
        recoverMs = timer.nsecsElapsed() / 1e6;
    }
    const double ratio = recoverMs / qMax(1e-3, openMs);
    bench::report("open_ms", openMs, "ms");
    bench::report("recover_ms", recoverMs, "ms");
    bench::report("recover_vs_open", ratio, "x");
    if (options.fullSize() && ratio > 2.0) {
        std::fprintf(stderr, "recover_ms is more than twice open_ms\n");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("ventaro.*.debug=false"));
    const QStringList args = app.arguments();
    Options options;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--shots"))
            options.shots = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--samples"))
            options.samples = args[i + 1].toInt();
    }
    std::printf("# %d shots x %d sensors x %d samples\n", options.shots, StoredShot::numSensors,
                options.samples);
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/bench-journal-XXXXXX"));
    bool ok = journalAndRecovery(options, dir.path());
    return ok ? 0 : 1;
}
