#pragma once

#include "widgets/gauge/DialScaleItem.h"

// Tick marks at every step of the scale, from the item's circle inwards.
class DialDegreesItem : public DialScaleItem
{
    Q_OBJECT

public:
    explicit DialDegreesItem(DialWidget* dial, float position = 90);

    float step() const { return m_step; }
    // Refuses a step that is not positive; the item keeps its previous one.
    bool setStep(float step);
    bool isFine() const { return m_fine; }
    // Fine ticks are drawn with the thinnest pen.
    void setFine(bool fine);

protected:
    void paint(QPainter& painter) override;

private:
    float m_step = 10;
    bool m_fine = false;
};
