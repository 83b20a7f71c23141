#include "analysis/Spc.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace Spc {

namespace {

constexpr double d2 = 1.128;
constexpr double d4 = 3.267;

// The rules run over the numbers only; each carries its shot's own index along.
struct Point
{
    int index;
    double x;
};

int sideOf(double deviation)
{
    return deviation > 0.0 ? 1 : (deviation < 0.0 ? -1 : 0);
}

void mark(QVector<int>& marks, int index)
{
    // Rules visit their points in order, so a repeat can only be the last entry.
    if (marks.isEmpty() || marks.constLast() != index)
        marks.append(index);
}

// A run of `length` points in a row for which `holds` is true; marks every point that
// completes one.
template <typename Holds>
void markRuns(const QVector<Point>& points, int length, QVector<int>& marks, Holds holds)
{
    int run = 0;
    for (const Point& p : points) {
        run = holds(p.x) ? run + 1 : 0;
        if (run >= length)
            mark(marks, p.index);
    }
}

// `count` of `window` points in a row beyond `limit` σ on the same side, the completing
// point among them. Only whole windows count.
void markCountInWindow(const QVector<Point>& points, double mean, double sigma, double limit,
                       int count, int window, QVector<int>& marks)
{
    const double bound = limit * sigma;
    const auto sideBeyond = [&](double x) {
        const double d = x - mean;
        return d > bound ? 1 : (d < -bound ? -1 : 0);
    };
    for (int j = window - 1; j < points.size(); ++j) {
        const int side = sideBeyond(points.at(j).x);
        if (side == 0)
            continue;
        int beyond = 0;
        for (int k = j - window + 1; k <= j; ++k)
            if (sideBeyond(points.at(k).x) == side)
                ++beyond;
        if (beyond >= count)
            mark(marks, points.at(j).index);
    }
}

void checkRules(const QVector<Point>& points, const Options& options, Result& result)
{
    const auto on = [&options](int rule) { return options.rules[static_cast<size_t>(rule - 1)]; };
    const auto marksOf = [&result](int rule) -> QVector<int>& {
        return result.marks[static_cast<size_t>(rule - 1)];
    };
    const double mean = result.mean;
    const double sigma = result.sigmaWithin;
    // Without spread there are no zones: every deviation would be infinitely many σ.
    const bool zones = sigma > 0.0;

    if (on(1) && zones)
        markRuns(points, 1, marksOf(1), [&](double x) { return std::abs(x - mean) > 3.0 * sigma; });

    if (on(2)) {
        int run = 0;
        int side = 0;
        for (const Point& p : points) {
            const int s = sideOf(p.x - mean);
            run = s == 0 ? 0 : (s == side ? run + 1 : 1);
            side = s;
            if (run >= 9)
                mark(marksOf(2), p.index);
        }
    }

    if (on(3) || on(4)) {
        int rising = 0;
        int falling = 0;
        int alternating = 0;
        int lastStep = 0;
        for (int j = 1; j < points.size(); ++j) {
            const int step = sideOf(points.at(j).x - points.at(j - 1).x);
            rising = step > 0 ? rising + 1 : 0;
            falling = step < 0 ? falling + 1 : 0;
            alternating = step == 0 ? 0 : (step == -lastStep ? alternating + 1 : 1);
            lastStep = step;
            // Six points make five steps, fourteen points thirteen.
            if (on(3) && (rising >= 5 || falling >= 5))
                mark(marksOf(3), points.at(j).index);
            if (on(4) && alternating >= 13)
                mark(marksOf(4), points.at(j).index);
        }
    }

    if (!zones)
        return;
    if (on(5))
        markCountInWindow(points, mean, sigma, 2.0, 2, 3, marksOf(5));
    if (on(6))
        markCountInWindow(points, mean, sigma, 1.0, 4, 5, marksOf(6));
    if (on(7))
        markRuns(points, 15, marksOf(7), [&](double x) { return std::abs(x - mean) <= sigma; });
    if (on(8))
        markRuns(points, 8, marksOf(8), [&](double x) { return std::abs(x - mean) > sigma; });
}

// The index from the side a limit allows, or the smaller of both.
std::optional<double> capabilityK(const SpecLimits& limits, double mean, double sigma)
{
    if (!(sigma > 0.0) || (!limits.usl && !limits.lsl))
        return std::nullopt;
    double k = INFINITY;
    if (limits.usl)
        k = std::min(k, (*limits.usl - mean) / (3.0 * sigma));
    if (limits.lsl)
        k = std::min(k, (mean - *limits.lsl) / (3.0 * sigma));
    return k;
}

std::optional<double> capabilityP(const SpecLimits& limits, double sigma)
{
    if (!(sigma > 0.0) || !limits.usl || !limits.lsl)
        return std::nullopt;
    return (*limits.usl - *limits.lsl) / (6.0 * sigma);
}

} // namespace

Result compute(const QVector<double>& values, const Options& options)
{
    Result result;
    const int size = values.size();
    const int first = std::max(0, options.baseFirst);
    const int last = options.baseLast < 0 ? size - 1 : std::min(options.baseLast, size - 1);

    // Infinities count as missing like NaN: one would turn every figure into a non-number.
    QVector<Point> points;
    points.reserve(size);
    result.movingRanges.fill(NAN, size);
    for (int i = 0; i < size; ++i) {
        if (!std::isfinite(values.at(i)))
            continue;
        if (!points.isEmpty())
            result.movingRanges[i] = std::abs(values.at(i) - points.constLast().x);
        points.append({i, values.at(i)});
    }

    double sum = 0.0;
    double mrSum = 0.0;
    int mrCount = 0;
    int n = 0;
    for (int j = 0; j < points.size(); ++j) {
        const int i = points.at(j).index;
        if (i < first || i > last)
            continue;
        sum += points.at(j).x;
        ++n;
        // A moving range belongs to the base range when both its numbers do.
        if (j > 0 && points.at(j - 1).index >= first) {
            mrSum += result.movingRanges.at(i);
            ++mrCount;
        }
    }
    result.n = n;
    if (n < 2) {
        result.error = QCoreApplication::translate(
                           "Spc", "Der Basisbereich enthält %1 Zahlen, es braucht mindestens 2.")
                           .arg(n);
        return result;
    }
    result.mean = sum / n;
    double squares = 0.0;
    for (const Point& p : points)
        if (p.index >= first && p.index <= last)
            squares += (p.x - result.mean) * (p.x - result.mean);
    result.sigmaOverall = std::sqrt(squares / (n - 1));
    result.mrMean = mrSum / mrCount;
    result.sigmaWithin = result.mrMean / d2;
    result.ucl = result.mean + 3.0 * result.sigmaWithin;
    result.lcl = result.mean - 3.0 * result.sigmaWithin;
    result.mrUcl = d4 * result.mrMean;
    result.cp = capabilityP(options.limits, result.sigmaWithin);
    result.cpk = capabilityK(options.limits, result.mean, result.sigmaWithin);
    result.pp = capabilityP(options.limits, result.sigmaOverall);
    result.ppk = capabilityK(options.limits, result.mean, result.sigmaOverall);
    result.ok = true;

    checkRules(points, options, result);
    return result;
}

} // namespace Spc
