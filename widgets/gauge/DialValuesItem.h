#pragma once

#include "widgets/gauge/DialScaleItem.h"

#include <QStringList>

// The scale's numbers at every step, centred on the item's circle.
class DialValuesItem : public DialScaleItem
{
    Q_OBJECT

public:
    explicit DialValuesItem(DialWidget* dial, float position = 70);

    float step() const { return m_step; }
    // Refuses a step that is not positive; the item keeps its previous one.
    bool setStep(float step);

    // The numbers this item draws, in order.
    QStringList texts() const;

protected:
    void paint(QPainter& painter) override;

private:
    float m_step = 10;
};
