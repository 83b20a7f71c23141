#pragma once

#include "widgets/gauge/DialScaleItem.h"

// The scale's arc from the angle of minValue clockwise to that of maxValue.
class DialArcItem : public DialScaleItem
{
    Q_OBJECT

public:
    explicit DialArcItem(DialWidget* dial, float position = 80);

protected:
    void paint(QPainter& painter) override;
};
