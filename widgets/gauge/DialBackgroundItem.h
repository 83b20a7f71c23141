#pragma once

#include "widgets/gauge/DialItem.h"

#include <QGradient>
#include <QPen>

// The gauge's disc: a linear gradient from the square's top-left to its bottom-right corner.
class DialBackgroundItem : public DialItem
{
    Q_OBJECT

public:
    explicit DialBackgroundItem(DialWidget* dial, float position = 88);

    QGradientStops stops() const { return m_stops; }
    void setStops(const QGradientStops& stops);
    QPen outline() const { return m_outline; }
    void setOutline(const QPen& outline);

protected:
    void paint(QPainter& painter) override;

private:
    QPen m_outline{Qt::NoPen};
    QGradientStops m_stops{{0.4, Qt::darkGray}, {0.8, Qt::black}};
};
