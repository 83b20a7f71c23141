#pragma once

#include "widgets/gauge/DialItem.h"

// An item placed along the gauge's scale: values minValue ... maxValue map linearly onto the
// angles minDegree ... maxDegree. The setters refuse a range whose maximum is not greater
// than its minimum: they return false and the item keeps its previous range.
class DialScaleItem : public DialItem
{
    Q_OBJECT

public:
    explicit DialScaleItem(DialWidget* dial, float position = 50);

    float minValue() const { return m_minValue; }
    float maxValue() const { return m_maxValue; }
    float minDegree() const { return m_minDegree; }
    float maxDegree() const { return m_maxDegree; }

    bool setValueRange(float minValue, float maxValue);
    bool setDegreeRange(float minDegree, float maxDegree);
    bool setMinValue(float minValue);
    bool setMaxValue(float maxValue);
    bool setMinDegree(float minDegree);
    bool setMaxDegree(float maxDegree);

    // The angle of value on this item's scale.
    double degree(double value) const;

private:
    float m_minValue = 0;
    float m_maxValue = 100;
    float m_minDegree = -45;
    float m_maxDegree = 225;
};
