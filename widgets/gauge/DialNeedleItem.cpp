#include "widgets/gauge/DialNeedleItem.h"

#include "widgets/gauge/DialGeometry.h"
#include "widgets/gauge/DialLabelItem.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

DialNeedleItem::DialNeedleItem(DialWidget* dial, float position)
    : DialScaleItem(dial, position)
{
}

void DialNeedleItem::setCurrentValue(float value)
{
    m_currentValue = std::isnan(value) ? minValue() : qBound(minValue(), value, maxValue());
    if (m_label)
        m_label->setText(DialGeometry::needleText(m_currentValue, m_precision));
    requestRepaint();
}

void DialNeedleItem::setPrecision(int precision)
{
    if (precision < 1)
        return;
    m_precision = precision;
    requestRepaint();
}

void DialNeedleItem::setLabel(DialLabelItem* label)
{
    m_label = label;
    requestRepaint();
}

void DialNeedleItem::paint(QPainter& painter)
{
    const QRectF c = circle();
    const double r = std::min(c.width(), c.height()) / 2.0;
    painter.translate(c.center());
    // The needle is drawn pointing down; turned by deg + 90 it points at its value.
    painter.rotate(degree(m_currentValue) + 90.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color());
    painter.drawConvexPolygon(DialGeometry::needlePolygon(r));
}
