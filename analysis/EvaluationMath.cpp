#include "analysis/EvaluationMath.h"

#include <cmath>

namespace EvaluationMath {

int samplePeriod(int clock)
{
    return clock > 0 ? clock : 1;
}

double seconds(qint64 k, int clock)
{
    // k * clock is exact, so at 100 ms this is exactly k / 10.
    return static_cast<double>(k * samplePeriod(clock)) / 1000.0;
}

int findStart(const Samples& samples, double offset, double threshold)
{
    const int n = samples.size();
    const double* v = samples.constData();
    for (int k = 0; k < n; ++k) {
        if (v[k] + offset < threshold)
            return k;
    }
    return -1;
}

int findStop(const Samples& samples, double offset, double threshold)
{
    const double* v = samples.constData();
    for (int k = samples.size() - 1; k >= 0; --k) {
        if (v[k] + offset < threshold)
            return k;
    }
    return -1;
}

Extremes overallExtremes(const QVector<const Samples*>& shots)
{
    Extremes r;
    for (const Samples* shot : shots) {
        if (!shot)
            continue;
        // The comparisons are those of qMin and qMax, so that NaN samples behave alike.
        double mn = 9999999.0;
        double mx = -9999999.0;
        for (const double v : *shot) {
            mn = mn < v ? mn : v;
            mx = mx < v ? v : mx;
        }
        r.minimum = r.minimum < mn ? r.minimum : mn;
        r.maximum = r.maximum < mx ? mx : r.maximum;
    }
    return r;
}

Thresholds thresholdsFor(double lo, double hi)
{
    return {lo + (hi - lo) * 0.125, lo + (hi - lo) / 10};
}

MarkerMaximum maxBetweenMarkers(const Samples& samples, double offset, int leftMs, int rightMs,
                                int clock)
{
    const int clk = samplePeriod(clock);
    MarkerMaximum r;
    if (rightMs < leftMs)
        return r;
    // A marker before the shot is as far outside as one after it.
    if (leftMs < 0 || rightMs < 0)
        return r;
    const int kL = leftMs / clk;
    const int kR = rightMs / clk;
    const int n = samples.size();
    if (kL >= n || kR >= n)
        return r;
    // The first sample is the start: any fixed start would hide a sensor whose values all
    // lie below it (micrometres far below zero).
    const double* v = samples.constData();
    for (int k = kL; k <= kR; ++k) {
        const double x = v[k] + offset;
        if (std::isnan(x))
            continue;
        if (!r.valid || x > r.value)
            r.value = x;
        r.valid = true;
    }
    if (!r.valid)
        r.value = -1.0;
    return r;
}

} // namespace EvaluationMath
