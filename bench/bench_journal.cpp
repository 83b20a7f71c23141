// The shot journal: writing a day's shots as the application does (a second of samples per
// write), and recovering them into a project against opening the same shots from a project
// file, both in this run. Fails when a full-size recovery takes more than twice the open.
// Then live recording at the device's fastest rate (the simulated device, a child process on
// a loopback address of its own, one value line per ms) through the application with its
// journal, and again with no journal (its folder cannot be made): the GUI thread's share of
// the CPU with and without it, and the journal's own work per line in the GUI thread.
//
// Last, shots into the plant archive on a PostgreSQL server of its own.
//
//   bench_journal [--shots N] [--samples N] [--lines N] [--archive-shots N]
#include "bench/BenchUtil.h"
#include "control/Controller.h"
#include "control/FileJob.h"
#include "control/ShotJournal.h"
#include "device/KalvikConnector.h"
#include "model/Model.h"
#include "store/ArchiveStore.h"
#include "store/Journal.h"
#include "store/ShotProject.h"
#include "tests/common/LoopbackAddress.h"
#include "tests/common/PostgresServer.h"
#include "view/View.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
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
    int lines = 5000;
    int archiveShots = 500;

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

struct LiveRun
{
    bool ok = false;
    double lineMeanUs = 0.0;
    double guiCpuPercent = 0.0;
    bool journalOpen = false;
};

// One recording of lines value lines through the controller; the journal's folder is
// dataDir.
LiveRun liveRun(const QString& dataDir, int lines)
{
    LiveRun result;
    qputenv("VENTARO_DATA_DIR", dataDir.toLocal8Bit());
    const QString host = loopbackAddress(41);
    qputenv("VENTARO_DEVICE_HOST", host.toLatin1());
    QTemporaryDir stick;
    QProcess device;
    if (!bench::startDevice(device, host, stick.path())) {
        std::fprintf(stderr, "kalvik-sim did not start\n");
        return result;
    }
    Model model;
    View view(&model);
    Controller controller(&model, &view);
    view.show();
    result.journalOpen = controller.journal()->isOpen();
    // Without a journal the program says so once; nobody is there to read it.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("journalFailureBox") && w->isVisible())
                w->close();
        }
    });
    closer.start(20);
    KalvikConnector* connector = controller.kalvikConnector();
    const bool connected = bench::waitFor(
        [&] {
            if (!model.isConnected() && !connector->isConnected())
                controller.onActionConnect();
            return bench::waitFor([&] { return model.isConnected(); }, 200);
        },
        5000);
    const auto described = [&] {
        return model.sensorDescription().sensorGroup(0).numSensors() == 5 &&
               !model.sensorDescription().sensorGroup(0).name().isEmpty();
    };
    if (!connected || !bench::waitFor(described, 3000)) {
        std::fprintf(stderr, "no connection to the simulated device at %s\n", qPrintable(host));
        return result;
    }
    connector->setSampleRate(QStringLiteral("1ms"));
    if (!bench::waitFor([&] { return model.clock() == 1; }, 3000))
        return result;
    view.setCurrentTab(View::Tabs::Oszi);

    QObject::disconnect(connector, &KalvikConnector::messageReceived, &controller,
                        &Controller::onMessageReceived);
    double totalUs = 0.0;
    int timed = 0;
    QObject::connect(connector, &KalvikConnector::messageReceived, &controller,
                     [&](const QString& msg) {
                         const bool value = !msg.isEmpty() && msg.at(0).isDigit();
                         QElapsedTimer t;
                         t.start();
                         controller.onMessageReceived(msg);
                         if (value && controller.isRecordingRunning()) {
                             totalUs += t.nsecsElapsed() / 1000.0;
                             ++timed;
                         }
                     });
    controller.onActionStartStopRecording();
    if (!bench::waitFor([&] { return controller.isRecordingRunning(); }, 3000))
        return result;
    const double cpuBefore = bench::threadCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    bench::waitFor([&] { return timed >= lines; }, lines * 20 + 5000);
    const double wallSeconds = wall.nsecsElapsed() / 1e9;
    const double cpuSeconds = bench::threadCpuSeconds() - cpuBefore;
    controller.onActionStartStopRecording();
    bench::waitFor([&] { return !controller.isRecordingRunning(); }, 3000);
    connector->disconnectFromHost();
    device.kill();
    device.waitForFinished(3000);
    if (timed == 0)
        return result;
    result.lineMeanUs = totalUs / timed;
    result.guiCpuPercent = 100.0 * cpuSeconds / wallSeconds;
    result.ok = true;
    return result;
}

// The journal's work in the GUI thread per value line: gathering the readings, and posting
// them to the writer every quarter second (here every 250 lines, as at 1 ms per line). The
// writer's commits run on their own thread meanwhile.
double journalLineUs(const QString& folder, int lines)
{
    Model model;
    model.addMeasurement();
    model.setTimestamp(0, QDateTime::currentDateTime());
    ShotJournal journal(&model, folder);
    if (!journal.isOpen())
        return -1.0;
    journal.startShot(0);
    QVector<double> readings(StoredShot::numSensors);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < lines; ++i) {
        for (int k = 0; k < StoredShot::numSensors; ++k)
            readings[k] = 1000.0 * k + i % 977;
        journal.appendReadings(readings);
        if (i % 250 == 249)
            journal.flush();
    }
    const double us = t.nsecsElapsed() / 1000.0 / lines;
    // A finished shot is on the disk once the writer's commit returned. The loop above
    // queued its writes faster than a recording does; the writer first works them off.
    int finished = 0;
    QObject::connect(&journal, &ShotJournal::shotFinished, [&finished] { ++finished; });
    journal.finishShot(QStringLiteral("OK"));
    if (!bench::waitFor([&finished] { return finished == 1; }, 120000))
        return -1.0;
    // The next shot ends with its last quarter second of readings still to write.
    model.addMeasurement();
    model.setTimestamp(1, QDateTime::currentDateTime());
    journal.startShot(1);
    for (int i = 0; i < 250; ++i)
        journal.appendReadings(readings);
    t.restart();
    journal.finishShot(QStringLiteral("OK"));
    if (!bench::waitFor([&finished] { return finished == 2; }, 5000))
        return -1.0;
    bench::report("finish_to_disk_ms", t.nsecsElapsed() / 1e6, "ms");
    return us;
}

// Shots written one by one into the plant archive on a local PostgreSQL server of the run's
// own (scripts/pg-server.sh), each in its own transaction as a station sends them:
// archive_shots_per_s, at least 100 for shots of 5 x 3000 samples.
bool archiveShotsPerSecond(int shots, int samples)
{
    constexpr double required = 100.0;
    const bool fullSize = samples >= 3000 && shots >= 100;

    PostgresServer server;
    if (!server.start()) {
        std::fprintf(stderr, "bench_journal: archive: %s\n", qPrintable(server.error()));
        return false;
    }
    ArchiveStore archive(QStringLiteral("bench"));
    if (!archive.open(server.connectionString())) {
        std::fprintf(stderr, "bench_journal: archive: %s\n", qPrintable(archive.error()));
        return false;
    }

    // Micrometre readings with noise, so that nothing compresses better than real curves.
    QRandomGenerator random(4711);
    QVector<StoredShot> all(shots);
    const QDateTime start = QDateTime::currentDateTimeUtc();
    for (int n = 0; n < shots; ++n) {
        StoredShot& shot = all[n];
        shot.id = QUuid::createUuid();
        shot.station = QStringLiteral("press 7");
        shot.startedAt = start.addMSecs(n * 20000);
        shot.projectName = QStringLiteral("Deckel");
        shot.verdict = QStringLiteral("OK");
        for (int k = 0; k < StoredShot::numSensors; ++k) {
            shot.sensorNames[size_t(k)] = QStringLiteral("Weg %1").arg(k + 1);
            shot.sensorUnits[size_t(k)] = QStringLiteral("mm");
            QVector<double>& values = shot.samples[size_t(k)];
            values.reserve(samples);
            for (int i = 0; i < samples; ++i)
                values.append(
                    std::round((k + 10.0 * i / samples + random.generateDouble() * 0.02) * 1000.0) /
                    1000.0);
        }
    }

    QElapsedTimer timer;
    timer.start();
    for (const StoredShot& shot : all) {
        if (!archive.write(shot)) {
            std::fprintf(stderr, "bench_journal: archive: %s\n", qPrintable(archive.error()));
            return false;
        }
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double perSecond = shots / seconds;
    bench::report("archive_shots_per_s", perSecond, "shots/s");
    bench::report("archive_samples_mb_per_s",
                  shots * samples * StoredShot::numSensors * sizeof(double) / 1e6 / seconds,
                  "MB/s");

    const auto rows = archive.list(QString(), {}, {});
    if (!rows || rows->size() != shots) {
        std::fprintf(stderr, "bench_journal: archive: the archive holds %d of %d shots\n",
                     rows ? rows->size() : -1, shots);
        return false;
    }
    if (fullSize && perSecond < required) {
        std::fprintf(stderr, "bench_journal: archive: %.1f shots/s, below %.0f\n", perSecond, required);
        return false;
    }
    return true;
}

bool liveRecording(const Options& options, const QString& folder)
{
    const QByteArray before = qgetenv("VENTARO_DATA_DIR");
    const LiveRun on = liveRun(folder + QStringLiteral("/live"), options.lines);
    // A folder below a plain file cannot be made: the program records without a journal.
    QFile plain(folder + QStringLiteral("/plain"));
    plain.open(QIODevice::WriteOnly);
    plain.close();
    const LiveRun off = liveRun(folder + QStringLiteral("/plain/live"), options.lines);
    qputenv("VENTARO_DATA_DIR", before);
    if (!on.ok || !off.ok || !on.journalOpen || off.journalOpen) {
        std::fprintf(stderr, "live runs failed (journal %s, without %s)\n", on.ok ? "ok" : "failed",
                     off.ok ? "ok" : "failed");
        return false;
    }
    std::printf("# %d value lines at 1 ms each, oscilloscope page shown\n", options.lines);
    bench::report("line_mean_us", on.lineMeanUs, "us");
    bench::report("line_mean_us_off", off.lineMeanUs, "us");
    bench::report("journal_line_us",
                  journalLineUs(folder + QStringLiteral("/lines"), 12 * options.lines),
                  "us");
    bench::report("gui_cpu_percent", on.guiCpuPercent, "%");
    bench::report("gui_cpu_percent_off", off.guiCpuPercent, "%");
    if (options.lines >= 5000 && on.guiCpuPercent - off.guiCpuPercent > 2.0) {
        std::fprintf(stderr, "the journal adds %.1f points of GUI CPU, more than 2\n",
                     on.guiCpuPercent - off.guiCpuPercent);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("ventaro.*.debug=false"));
    const QStringList args = app.arguments();
    Options options;
    options.shots = bench::intOption(args, QStringLiteral("--shots"), options.shots);
    options.samples = bench::intOption(args, QStringLiteral("--samples"), options.samples);
    options.lines = bench::intOption(args, QStringLiteral("--lines"), options.lines);
    options.archiveShots =
        bench::intOption(args, QStringLiteral("--archive-shots"), options.archiveShots, 1);
    std::printf("# %d shots x %d sensors x %d samples\n", options.shots, StoredShot::numSensors,
                options.samples);
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/bench-journal-XXXXXX"));
    bool ok = journalAndRecovery(options, dir.path());
    ok = liveRecording(options, dir.path()) && ok;
    ok = archiveShotsPerSecond(options.archiveShots, options.samples) && ok;
    return ok ? 0 : 1;
}
