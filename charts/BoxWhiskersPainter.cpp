#include "charts/BoxWhiskersPainter.h"

#include "app/Constants.h"
#include "app/NumberStyle.h"
#include "charts/FiveNumberSummary.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStaticText>

#include <algorithm>
#include <cmath>

namespace {

// Far outside any screen, yet safe to convert to int.
constexpr double farOffset = 1.0e7;

QStaticText label(double value)
{
    return QStaticText(NumberStyle::general(value));
}

// Both draw in coordinates whose origin is the area's top left corner, size W x H.
void paintHorizontal(QPainter& p, int W, int H, const QList<double>& sorted, double rangeMin,
                     double rangeMax, const BoxWhiskersStyle& s)
{
    const int L = s.marginLeft, R = s.marginRight, T = s.marginTop, B = s.marginBottom;
    const int span = W - L - R;
    auto px = [&](double v) {
        return BoxWhiskersPainter::pixelOffset(v, rangeMin, rangeMax, span);
    };
    const FiveNumberSummary f = FiveNumberSummary::ofSorted(sorted);

    p.setPen(QPen(Qt::black, 2));
    const int xMin = L + px(f.minimum);
    const int xMax = L + px(f.maximum);
    // A whisker end outside the range is not drawn; its line runs to the field's edge.
    int leftEnd = L;
    int rightEnd = W - 1 - R;
    if (xMin >= L) {
        p.drawLine(xMin, T + 4, xMin, H - B - 5);
        leftEnd = xMin;
    }
    if (xMax < W - 1 - R) {
        p.drawLine(xMax, T + 4, xMax, H - B - 5);
        rightEnd = xMax;
    }
    const int yC = T + (H - B - 1 - T) / 2;
    p.drawLine(leftEnd, yC, rightEnd, yC);

    const QPoint boxTopLeft(L + px(f.lowerQuartile), T);
    const QPoint boxBottomRight(L + px(f.upperQuartile) - 1, H - B - 3);
    p.fillRect(QRect(boxTopLeft, boxBottomRight), s.boxColor);
    p.setPen(QPen(Qt::black, 1));
    if (boxBottomRight.x() >= boxTopLeft.x())
        p.drawRect(QRect(boxTopLeft, boxBottomRight - QPoint(1, 1)));

    p.setPen(QPen(Qt::black, 2));
    const int xMed = L + px(f.median);
    p.drawLine(xMed, T + 1, xMed, H - B - 2);

    const int yText = H - B - 1;
    const QStaticText minimum = label(f.minimum);
    const QStaticText median = label(f.median);
    const QStaticText maximum = label(f.maximum);
    const QFontMetrics metrics = p.fontMetrics();
    const BoxWhiskersPainter::LabelPlaces places = BoxWhiskersPainter::placeLabels(
        {leftEnd, metrics.horizontalAdvance(minimum.text()), minimum.text() == median.text()},
        {xMed, metrics.horizontalAdvance(median.text()), true},
        {rightEnd, metrics.horizontalAdvance(maximum.text()), maximum.text() == median.text()});
    p.drawStaticText(places.medianX, yText, median);
    if (places.minimumShown)
        p.drawStaticText(places.minimumX, yText, minimum);
    if (places.maximumShown)
        p.drawStaticText(places.maximumX, yText, maximum);
}

void paintVertical(QPainter& p, int W, int H, const QList<double>& sorted, double rangeMin,
                   double rangeMax, const BoxWhiskersStyle& s)
{
    const int L = s.marginLeft, R = s.marginRight, T = s.marginTop, B = s.marginBottom;
    const int span = H - T - B;
    const int base = H - 1 - B;
    auto y = [&](double v) {
        return base - BoxWhiskersPainter::pixelOffset(v, rangeMin, rangeMax, span);
    };
    const FiveNumberSummary f = FiveNumberSummary::ofSorted(sorted);

    p.setPen(QPen(Qt::black, 2));
    int bottomEnd = base;
    int topEnd = T;
    const int yMin = y(f.minimum);
    const int yMax = y(f.maximum);
    if (yMin <= base) {
        p.drawLine(L + 4, yMin, W - R - 5, yMin);
        bottomEnd = yMin;
    }
    if (yMax >= T) {
        p.drawLine(L + 4, yMax, W - R - 5, yMax);
        topEnd = yMax;
    }
    const int xC = L + (W - R - 1 - L) / 2;
    p.drawLine(xC, bottomEnd, xC, topEnd);

    const QRect box(QPoint(L, y(f.upperQuartile) - 1), QPoint(W - R - 3, y(f.lowerQuartile)));
    p.fillRect(box, s.boxColor);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(box.adjusted(0, 0, -1, -1));

    p.setPen(QPen(Qt::black, 2));
    const int yMed = y(f.median);
    p.drawLine(L + 1, yMed, W - R - 2, yMed);

    // Minimum and maximum move clear of the median's label when their lines are close to it.
    const int xText = W - R - 1;
    p.drawStaticText(xText, yMed - 10, label(f.median));
    p.drawStaticText(xText, bottomEnd - yMed < 13 ? yMed + 3 : bottomEnd - 10, label(f.minimum));
    p.drawStaticText(xText, yMed - topEnd > 12 ? topEnd - 10 : yMed - 23, label(f.maximum));
}

} // namespace

namespace BoxWhiskersPainter {

int pixelOffset(double value, double rangeMin, double rangeMax, int span, bool* ok)
{
    const double width = rangeMax - rangeMin;
    const bool usable = std::isfinite(width) && width != 0.0;
    if (ok)
        *ok = usable;
    if (!usable)
        return 0;
    const double px = (value - rangeMin) * span / width;
    if (std::isnan(px))
        return 0;
    return static_cast<int>(std::clamp(px, -farOffset, farOffset));
}

LabelPlaces placeLabels(const LabelText& minimum, const LabelText& median, const LabelText& maximum)
{
    constexpr int offset = 20;
    constexpr int gap = 4;
    LabelPlaces places;
    places.medianX = median.lineX - offset;
    const int medianEnd = places.medianX + median.width;
    places.minimumX = minimum.lineX - offset;
    if (places.minimumX + minimum.width + gap > places.medianX) {
        places.minimumShown = !minimum.sameAsMedian;
        places.minimumX = std::min(places.minimumX, places.medianX - gap - minimum.width);
    }
    places.maximumX = maximum.lineX - offset;
    if (places.maximumX < medianEnd + gap) {
        places.maximumShown = !maximum.sameAsMedian;
        places.maximumX = std::max(places.maximumX, medianEnd + gap);
    }
    return places;
}

void paint(QPainter& painter, const QRect& area, const QList<double>& sorted, double rangeMin,
           double rangeMax, const BoxWhiskersStyle& style)
{
    const int W = area.width();
    const int H = area.height();
    painter.save();
    painter.translate(area.topLeft());
    painter.fillRect(QRect(QPoint(style.marginLeft, style.marginTop),
                           QPoint(W - style.marginRight - 2, H - style.marginBottom - 2)),
                     qColorGrayEEE);
    bool ok = false;
    pixelOffset(0.0, rangeMin, rangeMax, 1, &ok);
    // An empty range (no shots yet) has no positions: the field alone.
    if (ok) {
        if (style.vertical)
            paintVertical(painter, W, H, sorted, rangeMin, rangeMax, style);
        else
            paintHorizontal(painter, W, H, sorted, rangeMin, rangeMax, style);
    }
    painter.restore();
}

} // namespace BoxWhiskersPainter
