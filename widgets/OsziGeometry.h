#pragma once

#include <QString>
#include <QVector>
#include <QtGlobal>

#include <functional>

// The plot's formulas as plain functions, so that they are tested without a widget and the
// widget, its cached layers and the reference drawing all use the same numbers.
namespace OsziGeometry {

// Width of the value-label band left of the plot area; the time axis is drawn at this x.
constexpr int axisX = 70;

// What maps values and sample indices to pixels.
struct Frame
{
    int height = 0;        // widget height
    int textHeight = 0;    // height of the label bands at the top and the bottom
    int contentsWidth = 0; // width of the frame's contents rectangle minus one
    double minValue = 0.0;
    double maxValue = 255.0;
    int startIndex = 0;
    int zoom = 1;
    int clock = 1;

    int plotHeight() const { return height - 2 * textHeight; }
    int bottom() const { return height - textHeight; }
};

// Maps values to pixel rows; built once per drawing pass so that the division is not repeated
// per sample. Absurd or non-finite values land far outside the widget instead of overflowing
// the integer conversion.
struct ValueMapper
{
    explicit ValueMapper(const Frame& f)
        : bottom(f.bottom())
        , minValue(f.minValue)
        , scale(f.plotHeight() / (f.maxValue - f.minValue))
    {
    }
    int operator()(double value) const
    {
        const double y = bottom - (value - minValue) * scale;
        if (y > -pixelLimit && y < pixelLimit)
            return static_cast<int>(y);
        return y <= -pixelLimit ? -static_cast<int>(pixelLimit) : static_cast<int>(pixelLimit);
    }

    // Far enough outside any widget to be clipped, small enough for integer arithmetic.
    static constexpr double pixelLimit = 1.0e6;
    double bottom;
    double minValue;
    double scale;
};

// Pixel row of a value.
int valueToY(const Frame& f, double value);
// Pixel column of sample index j.
int sampleToX(const Frame& f, qint64 j);
// Offset of the pixel column of a time in milliseconds from the axis.
int msToOffset(const Frame& f, qint64 ms);
// Pixel column of a time in milliseconds, unrounded, and its inverse: where the cursors
// are drawn and where a drag puts them.
double msToX(const Frame& f, double ms);
double xToMs(const Frame& f, double x);
// The last sample index that fits the width.
qint64 lastVisibleSample(const Frame& f);
// The largest zoom at which samples from the frame's start index up to lastSample fit the
// width; at least 1.
int fitZoom(const Frame& f, qint64 lastSample);

// Automatic value grid. Returns the grid distance and sets stepped when at least one
// halving, division or doubling took place. A degenerate range or plot height keeps the
// start value rather than looping.
double autoValueGrid(double minValue, double maxValue, int plotHeight, bool* stepped);
// Automatic time grid from a start distance in milliseconds.
int autoClockGrid(int clockGrid, int zoom, int clock);
// Pixels between two time-grid lines; 0 means the grid cannot be drawn.
qint64 clockGridStep(int clockGrid, int zoom, int clock);

// The pixel width of a label's text in the plot's font.
using TextWidth = std::function<int(const QString&)>;
// Clear pixels at least between the end of one time label and the start of the next.
constexpr int timeLabelGap = 10;
// A time label's left edge lies this far left of its grid line.
constexpr int timeLabelLead = 3;

// One vertical grid line: its time and its column's offset from the axis. Its label is
// written when it keeps clear of the label before it and ends within the plot: a label
// that would run into another or be cut at the edge is left out rather than misread.
struct TimeTick
{
    qint64 ms = 0;
    int offset = 0;
    bool clear = true;
    bool inside = true;
    bool labelled() const { return clear && inside; }
};
// The time grid lines across the width, as the plot draws them, with their labels.
QVector<TimeTick> timeTicks(const Frame& f, int clockGrid, const TextWidth& width);
// The automatic time grid continued: the step doubled until every label in view keeps
// clear of the one before it. clockGrid is the result of autoClockGrid.
int readableClockGrid(const Frame& f, int clockGrid, const TextWidth& width);

// Decimals of the value labels for a value range.
int valueDecimals(double range);
// Text below a time-grid line: "500ms", "1.5s", "1.5Ts".
QString timeLabel(qint64 ms);
// Text of the sample period: "100ms", "1s" (whole seconds).
QString clockText(int clock);

} // namespace OsziGeometry
