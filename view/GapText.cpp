#include "view/GapText.h"

#include <QCoreApplication>

namespace GapText {

QString describe(const RecordingGap& gap)
{
    const QString format = QStringLiteral("hh:mm:ss");
    if (gap.isOpen())
        return QCoreApplication::translate("GapText", "Verbindung unterbrochen seit %1")
            .arg(gap.from.toString(format));
    const QString span =
        QStringLiteral("%1–%2").arg(gap.from.toString(format), gap.to.toString(format));
    if (gap.deviceShots < 0)
        return QCoreApplication::translate("GapText", "Lücke %1: Messungen des Geräts unbekannt")
            .arg(span);
    return QCoreApplication::translate("GapText",
                                       "Lücke %1: %2 Messungen des Geräts, %3 im Projekt")
        .arg(span)
        .arg(gap.deviceShots)
        .arg(gap.filled);
}

int gapAfterShot(const QVector<RecordingGap>& gaps, const QVector<QDateTime>& times, int index)
{
    if (index < 0 || index >= times.size() || !times.at(index).isValid())
        return -1;
    const QDateTime& shot = times.at(index);
    QDateTime next;
    for (int i = index + 1; i < times.size() && !next.isValid(); ++i)
        next = times.at(i);
    for (int g = 0; g < gaps.size(); ++g) {
        const QDateTime& from = gaps.at(g).from;
        if (from >= shot && (!next.isValid() || from < next))
            return g;
    }
    return -1;
}

QString markBesideShot(const QVector<RecordingGap>& gaps, const QVector<QDateTime>& times,
                       int index, bool* unfilled)
{
    const int before = index > 0 ? gapAfterShot(gaps, times, index - 1) : -1;
    const int after = gapAfterShot(gaps, times, index);
    if (unfilled)
        *unfilled = (before >= 0 && !gaps.at(before).isFilled()) ||
                    (after >= 0 && !gaps.at(after).isFilled());
    if (before >= 0 && after >= 0)
        return QCoreApplication::translate("GapText", "Lücken davor und danach");
    if (before >= 0)
        return QCoreApplication::translate("GapText", "Lücke davor");
    if (after >= 0)
        return QCoreApplication::translate("GapText", "Lücke danach");
    return QString();
}

} // namespace GapText
