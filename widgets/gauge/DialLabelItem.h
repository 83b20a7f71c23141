#pragma once

#include "widgets/gauge/DialItem.h"

#include <QPointer>
#include <QString>

class DialNeedleItem;

// A text centred on the item's circle at an angle (270, below the centre, by default).
class DialLabelItem : public DialItem
{
    Q_OBJECT

public:
    explicit DialLabelItem(DialWidget* dial, float position = 50);

    QString text() const;
    // Without repaint when the caller repaints the gauge itself.
    void setText(const QString& text, bool repaint = true);
    float angle() const { return m_angle; }
    void setAngle(float angle);

protected:
    void paint(QPainter& painter) override;

private:
    friend class DialNeedleItem;
    // The needle's value changed: its read-out is written when the text is next read or
    // painted, so that values arriving faster than the gauge repaints are not each formatted.
    void followNeedle(const DialNeedleItem* needle);

    float m_angle = 270;
    mutable QString m_text = QStringLiteral("%");
    mutable QPointer<const DialNeedleItem> m_pendingNeedle;
};
