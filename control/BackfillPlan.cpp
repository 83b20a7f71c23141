#include "control/BackfillPlan.h"

#include "control/BlackBoxStaging.h"

#include <QDate>
#include <QPair>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace BackfillPlan {

QStringList daysFor(const QVector<RecordingGap>& gaps, const QStringList& listNames)
{
    QSet<QString> wanted;
    for (const RecordingGap& gap : gaps) {
        if (!gap.wantsFilling())
            continue;
        for (QDate day = gap.from.date().addDays(-1); day <= gap.to.date().addDays(1);
             day = day.addDays(1))
            wanted.insert(QStringLiteral("dir-") + day.toString(QStringLiteral("yyyyMMdd")));
    }
    QStringList days;
    for (const QString& name : listNames) {
        const QString day = name.section(QLatin1Char('/'), 0, 0);
        if (BlackBoxStaging::isDayFolderName(day) && wanted.contains(day) && !days.contains(day))
            days.append(day);
    }
    std::sort(days.begin(), days.end());
    return days;
}

QDateTime computerTime(const QDateTime& deviceTime, const StickMatch::Result& match)
{
    return deviceTime.addMSecs(-std::llround(match.offsetSeconds * 1000.0));
}

Choice choose(const QVector<RecordingGap>& gaps, const QVector<QDateTime>& stick,
              const StickMatch::Result& match)
{
    Choice choice;
    choice.deviceShots.fill(0, gaps.size());
    choice.held.fill(0, gaps.size());
    if (!match.ok)
        return choice;
    const qint64 margin = std::llround(match.toleranceSeconds * 1000.0);
    QSet<int> missing;
    for (const int s : match.missing)
        missing.insert(s);
    QVector<QPair<int, int>> chosen;
    for (int s = 0; s < stick.size(); ++s) {
        if (!stick.at(s).isValid())
            continue;
        const QDateTime t = computerTime(stick.at(s), match);
        for (int g = 0; g < gaps.size(); ++g) {
            const RecordingGap& gap = gaps.at(g);
            if (!gap.wantsFilling() || t < gap.from.addMSecs(-margin) ||
                t > gap.to.addMSecs(margin))
                continue;
            ++choice.deviceShots[g];
            ++choice.held[g];
            if (missing.contains(s))
                chosen.append({s, g});
            break;
        }
    }
    std::sort(chosen.begin(), chosen.end(),
              [&stick](const QPair<int, int>& a, const QPair<int, int>& b) {
                  return stick.at(a.first) < stick.at(b.first);
              });
    for (const QPair<int, int>& c : chosen) {
        choice.shots.append(c.first);
        choice.gapOf.append(c.second);
    }
    return choice;
}

int insertionIndex(const QVector<QDateTime>& times, const QDateTime& t)
{
    int index = 0;
    for (int i = 0; i < times.size(); ++i) {
        if (times.at(i).isValid() && times.at(i) <= t)
            index = i + 1;
    }
    return index;
}

} // namespace BackfillPlan
