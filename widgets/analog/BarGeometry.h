#pragma once

#include <QColor>
#include <QString>
#include <QVector>

// Geometry of the vertical bar display, free of widgets so that it can be checked on its own.
// The bar spans barHeight pixels upwards from the pixel row bottom.
namespace BarGeometry {

// Grids denser than this are not drawn: their lines would merge anyway.
constexpr int maxGridLines = 1000;

struct Grid
{
    double distance = 10000.0;
    bool changed = false; // at least one step of the search was taken
};

// The automatic grid: from 10000 down the 1-5-10 sequence while the lines are more than 100
// pixels apart, then doubled while they are less than 50 apart.
Grid autoGrid(double span, int barHeight);
// Decimals of the scale labels for a range of this size.
int decimals(double span);
// Pixel row of value, truncated like the grid lines and held within the bar; NaN is empty.
int levelY(double value, double minimum, double maximum, int bottom, int barHeight);
// The grid values within minimum ... maximum: 0 and upwards first, then downwards from -grid.
QVector<double> gridValues(double minimum, double maximum, double grid);
// The value written on the bar: plain digits with the decimals of the unit, three for a
// unit not known.
QString valueText(double value, const QString& unit = QString());
// Black or white, whichever stands out more against background (by relative luminance).
QColor textColorOn(const QColor& background);
// Contrast ratio of two colours, 1 (none) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);

} // namespace BarGeometry
