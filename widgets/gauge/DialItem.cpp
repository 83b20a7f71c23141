#include "widgets/gauge/DialItem.h"

#include "widgets/gauge/DialGeometry.h"
#include "widgets/gauge/DialWidget.h"

#include <QPainter>

namespace {

float clampPosition(float position)
{
    return qBound(0.0f, position, 100.0f);
}

} // namespace

DialItem::DialItem(DialWidget* dial, float position)
    : QObject(dial)
    , m_position(clampPosition(position))
{
}

DialItem::~DialItem()
{
    if (DialWidget* d = dial())
        d->forgetItem(this);
}

DialWidget* DialItem::dial() const
{
    return qobject_cast<DialWidget*>(parent());
}

void DialItem::setPosition(float position)
{
    m_position = clampPosition(position);
    requestRepaint();
}

void DialItem::setColor(const QColor& color)
{
    m_color = color;
    requestRepaint();
}

void DialItem::draw(QPainter& painter)
{
    if (DialWidget* d = dial())
        m_square = DialGeometry::square(d->size());
    painter.save();
    paint(painter);
    painter.restore();
}

QRectF DialItem::circle() const
{
    return DialGeometry::circle(m_square, m_position);
}

void DialItem::requestRepaint()
{
    if (DialWidget* d = dial())
        d->requestRepaint();
}
