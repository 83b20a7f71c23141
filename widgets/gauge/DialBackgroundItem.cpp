#include "widgets/gauge/DialBackgroundItem.h"

#include <QPainter>

DialBackgroundItem::DialBackgroundItem(DialWidget* dial, float position)
    : DialItem(dial, position)
{
}

void DialBackgroundItem::setStops(const QGradientStops& stops)
{
    m_stops = stops;
    requestRepaint();
}

void DialBackgroundItem::setOutline(const QPen& outline)
{
    m_outline = outline;
    requestRepaint();
}

void DialBackgroundItem::paint(QPainter& painter)
{
    QLinearGradient gradient(square().topLeft(), square().bottomRight());
    gradient.setStops(m_stops);
    painter.setPen(m_outline);
    painter.setBrush(gradient);
    painter.drawEllipse(circle());
}
