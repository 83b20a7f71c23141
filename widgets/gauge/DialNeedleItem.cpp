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

// The label writes the read-out of a new value only when it is read: whatever would change
// how it reads (precision, another label, the needle's end) makes it write it first.
DialNeedleItem::~DialNeedleItem()
{
    if (m_label)
        m_label->text();
}

void DialNeedleItem::setCurrentValue(double value)
{
    m_givenValue = value;
    const float v = static_cast<float>(value);
    m_currentValue = std::isnan(v) ? minValue() : qBound(minValue(), v, maxValue());
    if (m_label)
        m_label->followNeedle(this);
    requestRepaint(); // the label with the whole gauge
}

void DialNeedleItem::setPrecision(int precision)
{
    if (precision < 1)
        return;
    if (m_label)
        m_label->text();
    m_precision = precision;
    requestRepaint();
}

void DialNeedleItem::setLabelDecimals(int decimals)
{
    if (m_label)
        m_label->text();
    m_labelDecimals = decimals < 0 ? -1 : qMin(decimals, 12);
    if (m_label)
        m_label->followNeedle(this);
    requestRepaint();
}

QString DialNeedleItem::readout() const
{
    if (m_labelDecimals >= 0)
        return DialGeometry::fixedText(m_givenValue, m_labelDecimals);
    return DialGeometry::needleText(m_currentValue, m_precision);
}

void DialNeedleItem::setLabel(DialLabelItem* label)
{
    if (m_label)
        m_label->text();
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
