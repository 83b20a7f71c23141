#pragma once

#include "model/RecordingGap.h"

#include <QString>
#include <QVector>

// How the pages name a recording's gaps, in the current language.
namespace GapText {

// "Lücke 10:02:11–10:02:35: 12 Messungen des Geräts, 12 aus der Black Box ergänzt"; an open
// gap "Verbindung unterbrochen seit 10:02:11".
QString describe(const RecordingGap& gap);
// The gap that begins after shot index of these times and before the next: after the last
// shot before the gap's start. -1 when none does; gaps before the first shot belong to none.
int gapAfterShot(const QVector<RecordingGap>& gaps, const QVector<QDateTime>& times, int index);

// The mark beside a shot's number where the recording has a gap next to that shot: "Lücke
// davor", "Lücke danach" or "Lücken davor und danach"; empty where it has none. unfilled says
// whether one of them still misses shots.
QString markBesideShot(const QVector<RecordingGap>& gaps, const QVector<QDateTime>& times,
                       int index, bool* unfilled = nullptr);

} // namespace GapText
