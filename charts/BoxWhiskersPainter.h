#pragma once

#include <QColor>
#include <QList>
#include <QRect>

class QPainter;

// How a box-and-whisker chart is laid into its rectangle.
struct BoxWhiskersStyle
{
    int marginLeft = 30;
    int marginRight = 10;
    int marginTop = 10;
    int marginBottom = 20;
    QColor boxColor = Qt::black;
    // The value axis runs bottom to top when vertical, else left to right.
    bool vertical = false;
};

// A box-and-whisker chart of one sorted list of numbers: whiskers from minimum to maximum,
// the box between the quartiles, the median as a line, with the median, minimum and maximum
// written beside them, over a light grey field. Draws into area with the painter's font.
namespace BoxWhiskersPainter {

// Pixel offset of value along an axis of span pixels from rangeMin to rangeMax, truncated
// toward zero. An empty or broken range has no offsets: ok becomes false and 0 is returned.
int pixelOffset(double value, double rangeMin, double rangeMax, int span, bool* ok = nullptr);

// Where a horizontal chart writes its three numbers: each 20 px left of its line, the
// minimum's and maximum's moved clear of the median's where they would run into it, and left
// out where they would also read the same as the median's.
struct LabelPlaces
{
    int minimumX = 0;
    int medianX = 0;
    int maximumX = 0;
    bool minimumShown = true;
    bool maximumShown = true;
};
struct LabelText
{
    int lineX = 0;
    int width = 0;
    bool sameAsMedian = false;
};
LabelPlaces placeLabels(const LabelText& minimum, const LabelText& median,
                        const LabelText& maximum);

// sorted: ascending. An empty or broken range draws the field alone.
void paint(QPainter& painter, const QRect& area, const QList<double>& sorted, double rangeMin,
           double rangeMax, const BoxWhiskersStyle& style);

} // namespace BoxWhiskersPainter
