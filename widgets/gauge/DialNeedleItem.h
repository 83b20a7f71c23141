#pragma once

#include "widgets/gauge/DialLabelItem.h"
#include "widgets/gauge/DialScaleItem.h"

#include <QPointer>

// The tapered needle. Its value is held within the scale; an attached label reads it out.
class DialNeedleItem : public DialScaleItem
{
    Q_OBJECT

public:
    explicit DialNeedleItem(DialWidget* dial, float position = 50);
    ~DialNeedleItem() override;

    float currentValue() const { return m_currentValue; }
    // Clamps to minValue ... maxValue (NaN gives minValue) and updates the label's text.
    void setCurrentValue(double value);
    int precision() const { return m_precision; }
    // Significant digits of the label; below 1 is refused.
    void setPrecision(int precision);
    // With decimals of 0 or more the label reads the value as it was set, also beyond the
    // scale, in plain digits with these decimals; -1 (the default) gives the clamped value
    // with precision significant digits.
    int labelDecimals() const { return m_labelDecimals; }
    void setLabelDecimals(int decimals);
    // The label's text for the current value.
    QString readout() const;
    DialLabelItem* label() const { return m_label; }
    void setLabel(DialLabelItem* label);

protected:
    void paint(QPainter& painter) override;

private:
    float m_currentValue = 0;
    double m_givenValue = 0;
    int m_precision = 2;
    int m_labelDecimals = -1;
    QPointer<DialLabelItem> m_label;
};
