#include "tools/sim/StickFolder.h"

#include "tools/sim/BlackBoxWriter.h"
#include "tools/sim/DeviceProfile.h"
#include "tools/sim/ShotCurve.h"
#include "tools/sim/ShotFaultPlan.h"
#include "tools/sim/ShotLabels.h"

#include <QDir>

#include <algorithm>
#include <random>

namespace {

// The shots the device records on its own: 10 ms samples of a 4 s cycle.
constexpr int blackBoxPeriodMs = 10;
constexpr int blackBoxCycleMs = 4000;

} // namespace

StickFolder::StickFolder(const QString& path)
    : m_path(QDir(path).absolutePath())
{
}

QString StickFolder::dataPath() const
{
    return QDir(m_path).absoluteFilePath(QStringLiteral("data"));
}

QStringList StickFolder::dayFolders() const
{
    return QDir(dataPath()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList StickFolder::listEntries() const
{
    QStringList entries;
    const QDir data(dataPath());
    for (const QString& day : dayFolders()) {
        const QStringList files =
            QDir(data.filePath(day)).entryList({QStringLiteral("*.bb")}, QDir::Files, QDir::Name);
        for (const QString& file : files)
            entries.append(day + QLatin1Char('/') + file);
    }
    return entries;
}

int StickFolder::generate(const QDate& lastDay, int days, int shotsPerDay, unsigned int seed,
                          bool micrometres, ShotFaultPlan* faults, ShotLabels* labels) const
{
    const DeviceProfile profile(micrometres);
    ShotCurve curve(seed);
    std::mt19937 random(seed ^ 0x5bd1e995u);
    // Shots between 06:00 and 17:59, at least a few minutes apart.
    std::uniform_int_distribution<int> secondOfDay(6 * 3600, 18 * 3600 - 1);
    int written = 0;
    for (int d = days - 1; d >= 0; --d) {
        const QDate day = lastDay.addDays(-d);
        const QString folder =
            QDir(dataPath()).absoluteFilePath(BlackBoxWriter::dayFolderName(day));
        if (!QDir().mkpath(folder))
            continue;
        QVector<int> seconds;
        for (int tries = 0; seconds.size() < shotsPerDay && tries < 100000; ++tries) {
            const int s = secondOfDay(random);
            const bool tooClose = std::any_of(seconds.begin(), seconds.end(),
                                              [s](int other) { return std::abs(other - s) < 300; });
            if (!tooClose)
                seconds.append(s);
        }
        std::sort(seconds.begin(), seconds.end());
        for (int s : seconds) {
            const QDateTime time(day, QTime(0, 0).addSecs(s));
            const ShotFault fault = faults ? faults->next() : ShotFault();
            curve.newShot(fault);
            QVector<ShotCurve::Sample> samples;
            for (int t = 0; t < blackBoxCycleMs; t += blackBoxPeriodMs)
                samples.append(curve.sample(t, blackBoxCycleMs));
            const QString path = QDir(folder).absoluteFilePath(BlackBoxWriter::fileName(time));
            if (!BlackBoxWriter::write(path, profile, time, blackBoxPeriodMs, samples))
                continue;
            ++written;
            if (labels)
                labels->append(BlackBoxWriter::dayFolderName(day) + QLatin1Char('/') +
                                   BlackBoxWriter::fileName(time),
                               fault);
        }
    }
    return written;
}
