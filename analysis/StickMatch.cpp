#include "analysis/StickMatch.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace StickMatch {

namespace {

// Live shots that vote for the offset when only times are there: enough to outvote chance,
// few enough to stay quick against a stick of thousands of shots.
constexpr int votingShots = 64;
// Cycles tried on either side of the voted offset.
constexpr int shiftsTried = 3;
// Readings agree to a thousandth of their unit (a micrometre in millimetres).
constexpr double readingResolution = 1e-3;

double secondsOf(const QDateTime& t)
{
    return t.isValid() ? t.toMSecsSinceEpoch() / 1000.0 : std::nan("");
}

double median(QVector<double> values)
{
    if (values.isEmpty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2.0;
}

// The readings both heads hold agree.
bool sameReadings(const QVector<double>& a, const QVector<double>& b)
{
    const int n = std::min(a.size(), b.size());
    for (int i = 0; i < n; ++i) {
        if (!(std::abs(a.at(i) - b.at(i)) <= readingResolution / 2))
            return false;
    }
    return true;
}

QByteArray headKey(const QVector<double>& head)
{
    QByteArray key;
    for (int i = 0; i < std::min(static_cast<int>(head.size()), shortestHead); ++i)
        key += QByteArray::number(std::llround(head.at(i) / readingResolution)) + ';';
    return key;
}

struct Pairing
{
    QVector<int> partner; // per stick shot its live shot, or -1
    QVector<double> differences;
};

// Each live shot, in time order, takes the nearest stick shot not taken yet within tolerance
// whose readings agree.
Pairing pair(const QVector<Shot>& live, const QVector<int>& liveOrder, const QVector<Shot>& stick,
             const QVector<int>& stickOrder, const QVector<double>& stickSeconds, double offset,
             double tolerance)
{
    Pairing p;
    p.partner.fill(-1, stick.size());
    for (const int l : liveOrder) {
        const double target = secondsOf(live.at(l).time) + offset;
        auto it = std::lower_bound(stickSeconds.cbegin(), stickSeconds.cend(), target - tolerance);
        int best = -1;
        double bestDistance = tolerance;
        for (; it != stickSeconds.cend() && *it <= target + tolerance; ++it) {
            const int s = stickOrder.at(static_cast<int>(it - stickSeconds.cbegin()));
            const double distance = std::abs(*it - target);
            if (p.partner.at(s) < 0 && distance <= bestDistance &&
                sameReadings(live.at(l).head, stick.at(s).head)) {
                best = s;
                bestDistance = distance;
            }
        }
        if (best >= 0) {
            p.partner[best] = l;
            p.differences.append(secondsOf(stick.at(best).time) - secondsOf(live.at(l).time));
        }
    }
    return p;
}

} // namespace

QVector<double> headOf(const QVector<double>& samples)
{
    return samples.mid(0, headLength);
}

bool sameShot(const QVector<double>& a, const QVector<double>& b)
{
    return a.size() >= shortestHead && b.size() >= shortestHead && sameReadings(a, b);
}

double cycleSeconds(QVector<QDateTime> times)
{
    times.erase(
        std::remove_if(times.begin(), times.end(), [](const QDateTime& t) { return !t.isValid(); }),
        times.end());
    if (times.size() < 2)
        return 0.0;
    std::sort(times.begin(), times.end());
    QVector<double> intervals;
    for (int i = 1; i < times.size(); ++i)
        intervals.append(times.at(i - 1).msecsTo(times.at(i)) / 1000.0);
    return median(intervals);
}

double toleranceFor(double cycle)
{
    return std::max(1.1, 0.45 * cycle);
}

Result match(const QVector<Shot>& live, const QVector<Shot>& stick)
{
    Result result;
    const auto validOrder = [](const QVector<Shot>& shots) {
        QVector<int> order;
        for (int i = 0; i < shots.size(); ++i) {
            if (shots.at(i).time.isValid())
                order.append(i);
        }
        std::stable_sort(order.begin(), order.end(),
                         [&shots](int a, int b) { return shots.at(a).time < shots.at(b).time; });
        return order;
    };
    const QVector<int> liveOrder = validOrder(live);
    const QVector<int> stickOrder = validOrder(stick);
    if (liveOrder.isEmpty() || stickOrder.isEmpty())
        return result;
    QVector<double> stickSeconds;
    QVector<QDateTime> liveTimes;
    for (const int s : stickOrder)
        stickSeconds.append(secondsOf(stick.at(s).time));
    for (const int l : liveOrder)
        liveTimes.append(live.at(l).time);
    const double cycle = liveTimes.size() >= 2 ? cycleSeconds(liveTimes) : 0.0;
    const double tolerance = toleranceFor(cycle);
    result.toleranceSeconds = tolerance;

    // Shots known by readings that occur once on either side fix the offset.
    QHash<QByteArray, QVector<int>> liveByHead;
    QHash<QByteArray, QVector<int>> stickByHead;
    for (const int l : liveOrder) {
        if (live.at(l).head.size() >= shortestHead)
            liveByHead[headKey(live.at(l).head)].append(l);
    }
    for (const int s : stickOrder) {
        if (stick.at(s).head.size() >= shortestHead)
            stickByHead[headKey(stick.at(s).head)].append(s);
    }
    QVector<double> anchors;
    for (auto it = liveByHead.cbegin(); it != liveByHead.cend(); ++it) {
        const QVector<int> onStick = stickByHead.value(it.key());
        if (it.value().size() == 1 && onStick.size() == 1 &&
            sameReadings(live.at(it.value().first()).head, stick.at(onStick.first()).head))
            anchors.append(secondsOf(stick.at(onStick.first()).time) -
                           secondsOf(live.at(it.value().first()).time));
    }

    double offset = 0.0;
    if (!anchors.isEmpty()) {
        offset = median(anchors);
    } else {
        // Times only: the differences vote in bins of the tolerance, then the cycles around
        // the winner are tried and the one pairing the most live shots is kept.
        QHash<qint64, int> votes;
        const int step = std::max(1, static_cast<int>(liveOrder.size()) / votingShots);
        for (int i = 0; i < liveOrder.size(); i += step) {
            const double l = secondsOf(live.at(liveOrder.at(i)).time);
            for (const double s : stickSeconds)
                ++votes[static_cast<qint64>(std::floor((s - l) / tolerance))];
        }
        qint64 bestBin = 0;
        int bestVotes = -1;
        for (auto it = votes.cbegin(); it != votes.cend(); ++it) {
            if (it.value() > bestVotes || (it.value() == bestVotes && it.key() < bestBin)) {
                bestVotes = it.value();
                bestBin = it.key();
            }
        }
        const double voted = (bestBin + 0.5) * tolerance;
        int bestCount = -1;
        for (int k = -shiftsTried; k <= shiftsTried; ++k) {
            const double candidate = voted + k * (cycle > 0.0 ? cycle : tolerance);
            const int count =
                pair(live, liveOrder, stick, stickOrder, stickSeconds, candidate, tolerance)
                    .differences.size();
            if (count > bestCount || (count == bestCount && std::abs(k) == 0)) {
                bestCount = count;
                offset = candidate;
            }
        }
    }

    // Refined to the median difference of the pairs it gives, then paired for good.
    Pairing p = pair(live, liveOrder, stick, stickOrder, stickSeconds, offset, tolerance);
    if (p.differences.isEmpty())
        return result;
    offset = median(p.differences);
    p = pair(live, liveOrder, stick, stickOrder, stickSeconds, offset, tolerance);
    result.ok = !p.differences.isEmpty();
    result.offsetSeconds = offset;
    result.matched = p.differences.size();
    for (const int s : stickOrder) {
        const int l = p.partner.at(s);
        if (l < 0)
            result.missing.append(s);
        else if (stick.at(s).head.size() >= shortestHead && live.at(l).head.size() >= shortestHead)
            ++result.matchedByReadings;
    }
    return result;
}

} // namespace StickMatch
