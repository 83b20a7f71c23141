#include "widgets/analog/BarGeometry.h"

#include "widgets/SensorNumbers.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace BarGeometry {

namespace {

bool isOneOf(double value, std::initializer_list<double> list)
{
    for (double x : list) {
        if (qFuzzyCompare(value, x))
            return true;
    }
    return false;
}

} // namespace

Grid autoGrid(double span, int barHeight)
{
    Grid grid;
    if (!(span > 0.0) || !std::isfinite(span) || barHeight <= 0)
        return grid;
    const auto pixels = [&](double g) { return std::trunc(g / span * barHeight); };
    while (pixels(grid.distance) > 100) {
        if (isOneOf(grid.distance, {0.001, 0.01, 0.1, 1, 10, 100, 1000, 10000}))
            grid.distance /= 2;
        else if (isOneOf(grid.distance, {0.005, 0.05, 0.5, 5, 50, 500, 5000, 50000}))
            grid.distance /= 5;
        else
            break;
        grid.changed = true;
    }
    // Bounded: a finite span is reached long before the double overflows.
    for (int i = 0; i < 2000 && pixels(grid.distance) < 50; ++i) {
        grid.distance *= 2;
        grid.changed = true;
    }
    return grid;
}

int decimals(double span)
{
    if (span <= 1)
        return 3;
    if (span <= 10)
        return 2;
    if (span <= 100)
        return 1;
    return 0;
}

int levelY(double value, double minimum, double maximum, int bottom, int barHeight)
{
    if (std::isnan(value))
        return bottom;
    const double y = bottom - (value - minimum) * barHeight / (maximum - minimum);
    // Held within the bar before the conversion: a value far out of range must neither paint
    // over the labels nor overflow the integer.
    return static_cast<int>(std::trunc(std::clamp(y, double(bottom - barHeight), double(bottom))));
}

QVector<double> gridValues(double minimum, double maximum, double grid)
{
    QVector<double> values;
    if (!(grid > 0.0) || !(maximum > minimum) || !std::isfinite(minimum) ||
        !std::isfinite(maximum) || (maximum - minimum) / grid > maxGridLines)
        return values;
    // Multiples of the grid, with a hair of tolerance so that a line on an end is kept.
    const double eps = (maximum - minimum) * 1e-9;
    if (maximum >= 0) {
        for (double k = std::max(0.0, std::ceil((minimum - eps) / grid)); k * grid <= maximum + eps;
             ++k)
            values.append(k * grid);
    }
    for (double k = std::min(-1.0, std::floor((maximum + eps) / grid)); k * grid >= minimum - eps;
         --k)
        values.append(k * grid);
    return values;
}

QString valueText(double value, const QString& unit)
{
    return SensorNumbers::valueText(value, SensorNumbers::readoutDecimals(unit));
}

namespace {

double relativeLuminance(const QColor& c)
{
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor textColorOn(const QColor& background)
{
    return contrastRatio(background, Qt::white) > contrastRatio(background, Qt::black)
               ? QColor(Qt::white)
               : QColor(Qt::black);
}

} // namespace BarGeometry
