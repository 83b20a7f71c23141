#pragma once

#include <QDateTime>
#include <QVector>

// Which of the shots on the device's stick a project lacks. The stick's times are the
// device's clock in whole seconds, the project's live shots carry the computer's; the two
// clocks differ by an offset that is estimated from shots present in both. A shot present
// in both is known by its first readings, which the device streams and writes alike: pairs
// whose first readings occur once on either side fix the offset. With the offset, a stick
// shot is the same as a live shot when, moved onto the computer's clock, it lies within a
// tolerance of it, under half the machine's cycle, so that neighbours never match. Times
// alone cannot tell a regular cycle from the same cycle shifted by one shot; only when no
// readings pair up does the offset come from the times, as the one under which most live
// shots find a stick shot.
namespace StickMatch {

// First readings compared: enough to tell two shots of one machine apart by their noise.
constexpr int headLength = 16;
// Fewer first readings than this say too little to know a shot by.
constexpr int shortestHead = 4;

struct Shot
{
    QDateTime time;
    // The first up to headLength readings of the shot's first sensor; shorter for a shot
    // cut off early, empty where there are none.
    QVector<double> head;
};

// The first readings of samples as a Shot's head.
QVector<double> headOf(const QVector<double>& samples);
// Two heads are of one shot: both hold shortestHead readings at least, and they agree as far
// as the shorter goes (a shot cut off early is a prefix of its whole copy).
bool sameShot(const QVector<double>& a, const QVector<double>& b);

struct Result
{
    // False without a shot present in both: then nothing can be told apart and nothing is
    // reported missing, since adding could double shots.
    bool ok = false;
    // Device clock minus computer clock, in seconds.
    double offsetSeconds = 0.0;
    double toleranceSeconds = 0.0;
    // Pairs of a live and a stick shot; how many were known by their readings.
    int matched = 0;
    int matchedByReadings = 0;
    // Indices into the stick shots that no live shot matches, ascending in time; the caller
    // keeps those within the gap it fills.
    QVector<int> missing;
};

// The cycle time: the median interval between consecutive valid times (sorted first); 0 for
// fewer than two.
double cycleSeconds(QVector<QDateTime> times);

// The tolerance for a cycle: 45 % of it, yet at least 1.1 s because the stick's times are cut
// to whole seconds.
double toleranceFor(double cycleSeconds);

// live: the project's shots recorded live (computer clock); stick: the stick's shots looked
// at (device clock). Each live shot matches at most one stick shot and the other way round;
// where both heads hold readings, a pair's readings must agree.
Result match(const QVector<Shot>& live, const QVector<Shot>& stick);

} // namespace StickMatch
