#pragma once

#include "analysis/StickMatch.h"
#include "model/RecordingGap.h"

#include <QDateTime>
#include <QStringList>
#include <QVector>

// The decisions of filling a recording's gaps from the device's stick, as plain functions:
// which days to fetch, which stick shots belong into which gap, where a shot goes.
namespace BackfillPlan {

// The day folders ("dir-YYYYMMDD") named in the device's list, files included as
// "dir-.../name", whose day lies within a day of an unfilled gap: the device's clock may be
// off by hours, not by days.
QStringList daysFor(const QVector<RecordingGap>& gaps, const QStringList& listNames);

struct Choice
{
    // Indices into the stick shots the project lacks within a gap, ascending in time, and
    // the gap each falls into.
    QVector<int> shots;
    QVector<int> gapOf;
    // Per gap: the device's shots within it, and how many of those the project holds now
    // or gets with shots.
    QVector<int> deviceShots;
    QVector<int> held;
};

// Of the stick shots (device clock), those the match left missing that fall into an
// unfilled gap: moved onto the computer's clock they lie between the gap's start and end,
// each widened by the tolerance.
Choice choose(const QVector<RecordingGap>& gaps, const QVector<QDateTime>& stick,
              const StickMatch::Result& match);

// The computer's time of a stick shot under the match's offset.
QDateTime computerTime(const QDateTime& deviceTime, const StickMatch::Result& match);

// Where a shot of time t goes among shots of these times: after every shot that is not
// later, so that shots stay in time order; shots without time are passed over.
int insertionIndex(const QVector<QDateTime>& times, const QDateTime& t);

} // namespace BackfillPlan
