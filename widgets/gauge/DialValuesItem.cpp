#include "widgets/gauge/DialValuesItem.h"

#include "widgets/gauge/DialGeometry.h"

#include <QPainter>

DialValuesItem::DialValuesItem(DialWidget* dial, float position)
    : DialScaleItem(dial, position)
{
}

bool DialValuesItem::setStep(float step)
{
    if (!(step > 0.0f))
        return false;
    m_step = step;
    requestRepaint();
    return true;
}

QStringList DialValuesItem::texts() const
{
    QStringList result;
    for (float v : DialGeometry::scaleSteps(minValue(), maxValue(), m_step))
        result.append(DialGeometry::valueText(v));
    return result;
}

void DialValuesItem::paint(QPainter& painter)
{
    const double r = square().width() / 2.0;
    const double pointSize = 0.08 * r * 0.99;
    if (!(pointSize > 0.0))
        return;
    QFont font(QStringLiteral("Meiryo UI"));
    font.setWeight(QFont::Bold);
    font.setPointSizeF(pointSize);
    painter.setFont(font);
    painter.setPen(color());
    const QPointF centre = square().center();
    const double along = 1.0 - position() / 100.0;
    // Room enough for any number; the text is centred in it.
    QRectF box(0, 0, 8 * pointSize, 4 * pointSize);
    for (float v : DialGeometry::scaleSteps(minValue(), maxValue(), m_step)) {
        const QPointF onSquare = DialGeometry::pointAt(centre, r, degree(v));
        box.moveCenter(onSquare + (centre - onSquare) * along);
        painter.drawText(box, Qt::AlignCenter, DialGeometry::valueText(v));
    }
}
