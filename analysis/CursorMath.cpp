#include "analysis/CursorMath.h"

#include "analysis/EvaluationMath.h"
#include "model/Model.h"

#include <cmath>
#include <limits>

namespace {

const double noValue = std::numeric_limits<double>::quiet_NaN();

// The samples whose times lie between lo and hi (both included), as indices.
struct Span
{
    qint64 first;
    qint64 last;
};

Span samplesBetween(int n, double loMs, double hiMs, double periodMs)
{
    // A time that is a whole multiple of the period in decimal may land a hair off it in
    // binary; the tolerance keeps the sample on the cursor inside.
    const double eps = 1e-9;
    const qint64 first = static_cast<qint64>(std::ceil(loMs / periodMs - eps));
    const qint64 last = static_cast<qint64>(std::floor(hiMs / periodMs + eps));
    return {qMax<qint64>(first, 0), qMin<qint64>(last, n - 1)};
}

bool inside(int n, double ms, double periodMs)
{
    return n > 0 && ms >= 0.0 && ms <= (n - 1) * periodMs + 1e-9 * periodMs;
}

// Trapezoids from (lo, vLo) through the samples strictly between to (hi, vHi), in unit x s.
double area(const double* v, int n, double loMs, double hiMs, double vLo, double vHi,
            double periodMs)
{
    const Span s = samplesBetween(n, loMs, hiMs, periodMs);
    double sum = 0.0;
    double t = loMs;
    double x = vLo;
    for (qint64 k = s.first; k <= s.last; ++k) {
        const double tk = k * periodMs;
        if (tk <= loMs || tk >= hiMs)
            continue;
        sum += (tk - t) * (x + v[k]) * 0.5;
        t = tk;
        x = v[k];
    }
    sum += (hiMs - t) * (x + vHi) * 0.5;
    // Offsets are added per value above; milliseconds to seconds at the end.
    return sum / 1000.0;
}

} // namespace

double CursorMath::Figures::of(Quantity q) const
{
    switch (q) {
    case Quantity::ValueA: return valueA;
    case Quantity::ValueB: return valueB;
    case Quantity::Difference: return difference;
    case Quantity::Maximum: return maximum;
    case Quantity::Minimum: return minimum;
    case Quantity::Mean: return mean;
    case Quantity::Area: return area;
    case Quantity::Slope: return slope;
    }
    return noValue;
}

QString CursorMath::name(Quantity q)
{
    switch (q) {
    case Quantity::ValueA: return tr("Wert bei A");
    case Quantity::ValueB: return tr("Wert bei B");
    case Quantity::Difference: return tr("B − A");
    case Quantity::Maximum: return tr("Maximum zwischen A und B");
    case Quantity::Minimum: return tr("Minimum zwischen A und B");
    case Quantity::Mean: return tr("Mittelwert zwischen A und B");
    case Quantity::Area: return tr("Fläche zwischen A und B");
    case Quantity::Slope: return tr("Mittlere Steigung zwischen A und B");
    }
    return QString();
}

QString CursorMath::unit(Quantity q, const QString& sensorUnit)
{
    if (q == Quantity::Area)
        return QStringLiteral("%1·s").arg(sensorUnit);
    if (q == Quantity::Slope)
        return QStringLiteral("%1/s").arg(sensorUnit);
    return sensorUnit;
}

double CursorMath::valueAt(const QVector<double>& samples, double offset, double ms,
                           double periodMs)
{
    const int n = samples.size();
    if (!(periodMs > 0.0) || !inside(n, ms, periodMs))
        return noValue;
    const double pos = ms / periodMs;
    const qint64 k = qMin<qint64>(static_cast<qint64>(std::floor(pos)), n - 1);
    const double frac = pos - static_cast<double>(k);
    const double* v = samples.constData();
    // On a sample, or a hair past the last one: that sample, never its missing neighbour.
    if (k == n - 1 || frac <= 1e-9)
        return v[k] + offset;
    return v[k] + offset + (v[k + 1] - v[k]) * frac;
}

CursorMath::Figures CursorMath::figures(const QVector<double>& samples, double offset,
                                        double aMs, double bMs, double periodMs)
{
    Figures r{noValue, noValue, noValue, noValue, noValue, noValue, noValue, noValue};
    r.valueA = valueAt(samples, offset, aMs, periodMs);
    r.valueB = valueAt(samples, offset, bMs, periodMs);
    r.difference = r.valueB - r.valueA;
    if (std::isnan(r.valueA) && !inside(samples.size(), aMs, periodMs))
        return r;
    if (std::isnan(r.valueB) && !inside(samples.size(), bMs, periodMs))
        return r;
    r.slope = aMs == bMs ? noValue : r.difference / ((bMs - aMs) / 1000.0);

    const double lo = qMin(aMs, bMs);
    const double hi = qMax(aMs, bMs);
    const int n = samples.size();
    const double* v = samples.constData();
    const Span s = samplesBetween(n, lo, hi, periodMs);
    double mx = -std::numeric_limits<double>::infinity();
    double mn = std::numeric_limits<double>::infinity();
    double sum = 0.0;
    qint64 count = 0;
    for (qint64 k = s.first; k <= s.last; ++k) {
        const double x = v[k];
        if (std::isnan(x))
            continue;
        mx = x > mx ? x : mx;
        mn = x < mn ? x : mn;
        sum += x;
        ++count;
    }
    if (count > 0) {
        r.maximum = mx + offset;
        r.minimum = mn + offset;
        r.mean = sum / static_cast<double>(count) + offset;
    }
    const double vLo = aMs <= bMs ? r.valueA : r.valueB;
    const double vHi = aMs <= bMs ? r.valueB : r.valueA;
    // The offset shifts the whole curve: its area grows by offset times the span.
    r.area = area(v, n, lo, hi, vLo - offset, vHi - offset, periodMs) + offset * (hi - lo) / 1000.0;
    return r;
}

double CursorMath::quantity(const QVector<double>& samples, double offset, Quantity q,
                            double aMs, double bMs, double periodMs)
{
    switch (q) {
    case Quantity::ValueA: return valueAt(samples, offset, aMs, periodMs);
    case Quantity::ValueB: return valueAt(samples, offset, bMs, periodMs);
    case Quantity::Difference:
        return valueAt(samples, offset, bMs, periodMs) - valueAt(samples, offset, aMs, periodMs);
    case Quantity::Slope: {
        const double d =
            valueAt(samples, offset, bMs, periodMs) - valueAt(samples, offset, aMs, periodMs);
        return aMs == bMs ? noValue : d / ((bMs - aMs) / 1000.0);
    }
    default: return figures(samples, offset, aMs, bMs, periodMs).of(q);
    }
}

QVector<double> CursorMath::perShot(const Model& model, int sensor, Quantity q, double aMs,
                                    double bMs)
{
    QVector<double> values;
    if (sensor < 0 || sensor >= Model::numSensors)
        return values;
    const int shots = model.numChannels(sensor);
    const double offset = model.offset(sensor);
    const double period = EvaluationMath::samplePeriod(model.clock());
    values.reserve(shots);
    for (int i = 0; i < shots; ++i) {
        const SampleList* samples = model.measurement(sensor, i);
        values.append(samples ? quantity(*samples, offset, q, aMs, bMs, period) : noValue);
    }
    return values;
}

CursorMath::Summary CursorMath::summarize(const QVector<double>& values)
{
    Summary r{0, noValue, noValue, noValue, noValue};
    double sum = 0.0;
    for (const double v : values) {
        if (std::isnan(v))
            continue;
        if (r.count == 0 || v < r.minimum)
            r.minimum = v;
        if (r.count == 0 || v > r.maximum)
            r.maximum = v;
        sum += v;
        ++r.count;
    }
    if (r.count == 0)
        return r;
    r.mean = sum / r.count;
    // Two passes: the deviations from the mean, not the difference of large squares.
    if (r.count > 1) {
        double squares = 0.0;
        for (const double v : values) {
            if (!std::isnan(v))
                squares += (v - r.mean) * (v - r.mean);
        }
        r.standardDeviation = std::sqrt(squares / (r.count - 1));
    }
    return r;
}
