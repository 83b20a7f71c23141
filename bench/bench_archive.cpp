// Shots written one by one into the plant archive on a local PostgreSQL server of the
// benchmark's own (scripts/pg-server.sh), each in its own transaction as a station sends
// them: archive_shots_per_s, at least 100 for shots of 5 x 3000 samples (exit 1 below that
// at that size).
//
//   bench_archive [--shots N] [--samples N]
#include "bench/BenchUtil.h"
#include "store/ArchiveStore.h"
#include "tests/common/PostgresServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cmath>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("shots"), QStringLiteral("Shots written."),
                      QStringLiteral("N"), QStringLiteral("500")});
    parser.addOption({QStringLiteral("samples"), QStringLiteral("Samples per sensor."),
                      QStringLiteral("N"), QStringLiteral("3000")});
    parser.process(app);
    const int shots = std::max(1, parser.value(QStringLiteral("shots")).toInt());
    const int samples = std::max(1, parser.value(QStringLiteral("samples")).toInt());
    constexpr double required = 100.0;
    const bool fullSize = samples >= 3000 && shots >= 100;

    PostgresServer server;
    if (!server.start()) {
        std::fprintf(stderr, "bench_archive: %s\n", qPrintable(server.error()));
        return 1;
    }
    ArchiveStore archive(QStringLiteral("bench"));
    if (!archive.open(server.connectionString())) {
        std::fprintf(stderr, "bench_archive: %s\n", qPrintable(archive.error()));
        return 1;
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
            std::fprintf(stderr, "bench_archive: %s\n", qPrintable(archive.error()));
            return 1;
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
        std::fprintf(stderr, "bench_archive: the archive holds %d of %d shots\n",
                     rows ? rows->size() : -1, shots);
        return 1;
    }
    if (fullSize && perSecond < required) {
        std::fprintf(stderr, "bench_archive: %.1f shots/s, below %.0f\n", perSecond, required);
        return 1;
    }
    return 0;
}
