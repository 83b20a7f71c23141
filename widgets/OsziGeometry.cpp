#include "widgets/OsziGeometry.h"

#include <QRegularExpression>

#include <algorithm>

#include <cmath>
#include <limits>

namespace OsziGeometry {

namespace {

int clampToInt(qint64 v)
{
    return static_cast<int>(
        qBound<qint64>(std::numeric_limits<int>::min(), v, std::numeric_limits<int>::max()));
}

bool isOneOf(double v, const double (&list)[8])
{
    for (double x : list) {
        if (v == x)
            return true;
    }
    return false;
}

QString trimmedFixed(double value)
{
    static const QRegularExpression trailing(QStringLiteral("\\.?0*$"));
    return QString::number(value, 'f', 6).remove(trailing);
}

} // namespace

int valueToY(const Frame& f, double value)
{
    return ValueMapper(f)(value);
}

int sampleToX(const Frame& f, qint64 j)
{
    return clampToInt(axisX + (j - f.startIndex) * static_cast<qint64>(f.zoom));
}

int msToOffset(const Frame& f, qint64 ms)
{
    const qint64 zoom = f.zoom;
    return clampToInt((ms * zoom) / qMax(1, f.clock) - f.startIndex * zoom);
}

double msToX(const Frame& f, double ms)
{
    return axisX + (ms / qMax(1, f.clock) - f.startIndex) * qMax(1, f.zoom);
}

double xToMs(const Frame& f, double x)
{
    return ((x - axisX) / qMax(1, f.zoom) + f.startIndex) * qMax(1, f.clock);
}

qint64 lastVisibleSample(const Frame& f)
{
    return (f.contentsWidth - (axisX - 1)) / qMax(1, f.zoom) + static_cast<qint64>(f.startIndex);
}

int fitZoom(const Frame& f, qint64 lastSample)
{
    const qint64 samples = qMax<qint64>(1, lastSample - f.startIndex);
    const qint64 room = f.contentsWidth - (axisX - 1);
    return static_cast<int>(qBound<qint64>(1, room / samples, 1000000));
}

double autoValueGrid(double minValue, double maxValue, int plotHeight, bool* stepped)
{
    static const double halve[8] = {0.001, 0.01, 0.1, 1, 10, 100, 1000, 10000};
    static const double fifth[8] = {0.005, 0.05, 0.5, 5, 50, 500, 5000, 50000};
    double grid = 10000.0;
    bool any = false;
    const double range = maxValue - minValue;
    // The doubling below cannot end for a plot without height or an inverted range.
    if (plotHeight > 0 && range > 0.0 && std::isfinite(range)) {
        const auto pixels = [&](double g) { return std::trunc(g / range * plotHeight); };
        while (pixels(grid) > 50) {
            if (isOneOf(grid, halve))
                grid /= 2;
            else if (isOneOf(grid, fifth))
                grid /= 5;
            else
                break;
            any = true;
        }
        while (pixels(grid) <= 24 && std::isfinite(grid)) {
            grid *= 2;
            any = true;
        }
    }
    if (stepped)
        *stepped = any;
    return grid;
}

int autoClockGrid(int clockGrid, int zoom, int clock)
{
    const qint64 z = qMax(1, zoom);
    const qint64 c = qMax(1, clock);
    qint64 g = qMax(1, clockGrid);
    while ((z * g) / c > 100) {
        if (g % 2 == 0)
            g /= 2;
        else if (g % 5 == 0)
            g /= 5;
        else
            break;
    }
    if ((z * g) / c < 50) {
        while ((g * z) / c < 50 && g <= std::numeric_limits<int>::max() / 2)
            g *= 2;
    }
    return static_cast<int>(g);
}

qint64 clockGridStep(int clockGrid, int zoom, int clock)
{
    return (static_cast<qint64>(clockGrid) * zoom) / qMax(1, clock);
}

QVector<TimeTick> timeTicks(const Frame& f, int clockGrid, const TextWidth& width)
{
    QVector<TimeTick> ticks;
    const int cw = f.contentsWidth;
    const qint64 step = clockGridStep(clockGrid, f.zoom, f.clock);
    if (cw <= 0 || step <= 0 || clockGrid <= 0)
        return ticks;
    qint64 t = (static_cast<qint64>(f.clock) * f.startIndex / clockGrid + 1) * clockGrid;
    qint64 labelEnd = std::numeric_limits<qint64>::min();
    for (qint64 s = 0; s < cw; s += step, t += clockGrid) {
        TimeTick tick;
        tick.ms = t;
        tick.offset = msToOffset(f, t);
        const qint64 left = static_cast<qint64>(tick.offset) - timeLabelLead;
        const qint64 right = left + (width ? width(timeLabel(t)) : 0);
        tick.clear = ticks.isEmpty() || left >= labelEnd + timeLabelGap;
        // The plot area ends at cw + 1 from the widget's left, axisX before the offsets.
        tick.inside = axisX + right <= static_cast<qint64>(cw) + 1;
        if (tick.clear)
            labelEnd = right;
        ticks.append(tick);
    }
    return ticks;
}

int readableClockGrid(const Frame& f, int clockGrid, const TextWidth& width)
{
    qint64 g = qMax(1, clockGrid);
    const auto collide = [&](qint64 grid) {
        const QVector<TimeTick> ticks = timeTicks(f, static_cast<int>(grid), width);
        return std::any_of(ticks.cbegin(), ticks.cend(),
                           [](const TimeTick& t) { return !t.clear; });
    };
    while (g <= std::numeric_limits<int>::max() / 2 && collide(g))
        g *= 2;
    return static_cast<int>(g);
}

int valueDecimals(double range)
{
    if (range <= 1)
        return 3;
    if (range <= 10)
        return 2;
    if (range <= 100)
        return 1;
    return 0;
}

QString timeLabel(qint64 ms)
{
    if (ms <= 1000)
        return QString::number(ms) + QStringLiteral("ms");
    if (ms <= 1000000)
        return trimmedFixed(ms / 1000.0) + QStringLiteral("s");
    return trimmedFixed(ms / 1000000.0) + QStringLiteral("Ts");
}

QString clockText(int clock)
{
    if (clock <= 1000)
        return QString::number(clock) + QStringLiteral("ms");
    return QString::number(clock / 1000) + QStringLiteral("s");
}

} // namespace OsziGeometry
