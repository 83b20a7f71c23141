#include "widgets/gauge/DialArcItem.h"

#include <QPainter>
#include <QtMath>

DialArcItem::DialArcItem(DialWidget* dial, float position)
    : DialScaleItem(dial, position)
{
}

void DialArcItem::paint(QPainter& painter)
{
    const QRectF c = circle();
    const double r = c.width() / 2.0;
    painter.setPen(QPen(color(), r / 40.0));
    painter.setBrush(Qt::NoBrush);
    // The painter's angles run counter-clockwise from three o'clock, ours clockwise from
    // nine o'clock; both in sixteenths of a degree.
    const double start = -(minDegree() + 180.0);
    const double span = -(maxDegree() - minDegree());
    painter.drawArc(c, qRound(start * 16), qRound(span * 16));
}
