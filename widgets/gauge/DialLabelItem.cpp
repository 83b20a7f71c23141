#include "widgets/gauge/DialLabelItem.h"

#include "widgets/gauge/DialGeometry.h"
#include "widgets/gauge/DialNeedleItem.h"

#include <QPainter>

DialLabelItem::DialLabelItem(DialWidget* dial, float position)
    : DialItem(dial, position)
{
}

QString DialLabelItem::text() const
{
    if (m_pendingNeedle) {
        m_text = m_pendingNeedle->readout();
        m_pendingNeedle = nullptr;
    }
    return m_text;
}

void DialLabelItem::followNeedle(const DialNeedleItem* needle)
{
    if (m_pendingNeedle != needle)
        m_pendingNeedle = needle;
}

void DialLabelItem::setText(const QString& text, bool repaint)
{
    m_pendingNeedle = nullptr;
    m_text = text;
    if (repaint)
        requestRepaint();
}

void DialLabelItem::setAngle(float angle)
{
    m_angle = angle;
    requestRepaint();
}

void DialLabelItem::paint(QPainter& painter)
{
    // The same size at every position: a tenth of the square's half side.
    const double pointSize = square().width() / 2.0 / 10.0;
    if (!(pointSize > 0.0))
        return;
    QFont font(QStringLiteral("Meiryo UI"));
    font.setWeight(QFont::Bold);
    font.setPointSizeF(pointSize);
    painter.setFont(font);
    painter.setPen(color());
    const QRectF c = circle();
    QRectF box(0, 0, square().width(), 4 * pointSize);
    box.moveCenter(DialGeometry::pointAt(c.center(), c.width() / 2.0, m_angle));
    painter.drawText(box, Qt::AlignCenter, text());
}
