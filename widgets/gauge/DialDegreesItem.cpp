#include "widgets/gauge/DialDegreesItem.h"

#include "widgets/gauge/DialGeometry.h"

#include <QPainter>

DialDegreesItem::DialDegreesItem(DialWidget* dial, float position)
    : DialScaleItem(dial, position)
{
}

bool DialDegreesItem::setStep(float step)
{
    if (!(step > 0.0f))
        return false;
    m_step = step;
    requestRepaint();
    return true;
}

void DialDegreesItem::setFine(bool fine)
{
    m_fine = fine;
    requestRepaint();
}

void DialDegreesItem::paint(QPainter& painter)
{
    const QRectF c = circle();
    const double r = c.width() / 2.0;
    const QPointF centre = c.center();
    painter.setPen(QPen(color(), m_fine ? 0.0 : r / 25.0));
    for (float v : DialGeometry::scaleSteps(minValue(), maxValue(), m_step)) {
        const QPointF outer = DialGeometry::pointAt(centre, r, degree(v));
        const QPointF inwards = centre - outer;
        painter.drawLine(QLineF(outer + inwards * 0.03, outer + inwards * 0.13));
    }
}
