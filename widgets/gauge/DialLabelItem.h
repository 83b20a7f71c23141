#pragma once

#include "widgets/gauge/DialItem.h"

#include <QString>

// A text centred on the item's circle at an angle (270, below the centre, by default).
class DialLabelItem : public DialItem
{
    Q_OBJECT

public:
    explicit DialLabelItem(DialWidget* dial, float position = 50);

    QString text() const { return m_text; }
    // Without repaint when the caller repaints the gauge itself.
    void setText(const QString& text, bool repaint = true);
    float angle() const { return m_angle; }
    void setAngle(float angle);

protected:
    void paint(QPainter& painter) override;

private:
    float m_angle = 270;
    QString m_text = QStringLiteral("%");
};
