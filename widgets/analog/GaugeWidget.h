#pragma once

#include "widgets/analog/AbstractAnalogWidget.h"

#include <optional>

class DialDegreesItem;
class DialLabelItem;
class DialNeedleItem;
class DialValuesItem;
class DialWidget;

// The "Rund" display: a round dial with a scale of ten steps over the range, the unit and the
// value below the centre, and a red needle. Colour, name, scale and grid do not apply.
class GaugeWidget : public AbstractAnalogWidget
{
    Q_OBJECT

public:
    // Five of them share a row beside the sensor tree on a small screen.
    static constexpr int minimumDial = 120;

    explicit GaugeWidget(QWidget* parent = nullptr);

    void setColor(const QColor&) override {}
    void setName(const QString&) override {}
    void setShowScale(bool) override {}
    void setGrid(double) override {}

    DialWidget* dial() const { return m_dial; }
    DialNeedleItem* needle() const { return m_needle; }
    DialLabelItem* unitLabel() const { return m_unitLabel; }
    DialLabelItem* valueLabel() const { return m_valueLabel; }
    DialDegreesItem* degreesItem() const { return m_degrees; }
    DialValuesItem* valuesItem() const { return m_values; }

public slots:
    void setRangeMin(double min) override;
    void setRangeMax(double max) override;
    void setRange(double min, double max) override;
    void setValue(double val) override;
    void setUnit(const QString& u) override;

private:
    // Brings the scale, needle and unit in line with range, value, offset and unit. The scale
    // items are replaced only when the range differs from the one they show, so that a new
    // value costs no more than moving the needle.
    void rebuild();

    DialWidget* m_dial = nullptr;
    DialLabelItem* m_unitLabel = nullptr;
    DialLabelItem* m_valueLabel = nullptr;
    DialNeedleItem* m_needle = nullptr;
    DialDegreesItem* m_degrees = nullptr;
    DialValuesItem* m_values = nullptr;
    // The range the scale items were built for.
    double m_scaleMin = 0.0;
    double m_scaleMax = 0.0;
    // The unit the unit label shows.
    std::optional<QString> m_shownUnit;
};
