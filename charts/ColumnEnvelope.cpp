#include "charts/ColumnEnvelope.h"

#include <algorithm>
#include <cmath>
#include <limits>

bool ColumnEnvelope::isEmpty() const
{
    return std::all_of(lower.cbegin(), lower.cend(), [](double v) { return std::isnan(v); });
}

ColumnEnvelope ColumnEnvelope::of(const QVector<const QVector<double>*>& curves, double offset,
                                  double clockMs, double fromMs, double toMs, int columns)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    ColumnEnvelope e;
    if (columns < 1)
        return e;
    e.fromMs = fromMs;
    e.columnMs = (toMs - fromMs) / columns;
    // A broken range or clock shows nothing rather than dividing by it.
    if (!(toMs > fromMs) || !(clockMs > 0.0) || !std::isfinite(toMs - fromMs) ||
        !std::isfinite(clockMs)) {
        e.lower.fill(nan, columns);
        e.upper.fill(nan, columns);
        return e;
    }
    e.lower.fill(inf, columns);
    e.upper.fill(-inf, columns);
    double* lo = e.lower.data();
    double* hi = e.upper.data();
    const double perMs = columns / (toMs - fromMs);
    // Only the samples from the first at or after fromMs to the last at or before toMs are
    // visited; the bounds are checked again below against rounding in k * clockMs.
    const double first = std::max(0.0, std::ceil(fromMs / clockMs));
    const double last = std::floor(toMs / clockMs);
    for (const QVector<double>* curve : curves) {
        if (!curve || first >= curve->size())
            continue;
        const double* samples = curve->constData();
        qint64 end = curve->size();
        if (last < end - 1.0)
            end = last < 0.0 ? 0 : static_cast<qint64>(last) + 1;
        for (qint64 k = static_cast<qint64>(first); k < end; ++k) {
            const double t = k * clockMs;
            if (t < fromMs || t > toMs)
                continue;
            const double v = samples[k] + offset;
            if (!std::isfinite(v))
                continue;
            // A sample on a border belongs to the column it starts; toMs itself to the last.
            const int c = std::min(columns - 1, static_cast<int>((t - fromMs) * perMs));
            lo[c] = std::min(lo[c], v);
            hi[c] = std::max(hi[c], v);
        }
    }
    for (int c = 0; c < columns; ++c) {
        if (lo[c] > hi[c]) {
            lo[c] = nan;
            hi[c] = nan;
        }
    }
    return e;
}
