#pragma once

#include "widgets/analog/PanelLayout.h"

#include <QFrame>

#include <memory>

namespace Ui {
class AnalogSettingsWidget;
}

// The entry panel under a display: range boxes, the grid controls and the offset box.
class AnalogSettingsWidget : public QFrame
{
    Q_OBJECT

public:
    explicit AnalogSettingsWidget(QWidget* parent = nullptr, bool showGrid = true);
    ~AnalogSettingsWidget() override;

    void setGridControlsVisible(bool visible);
    void setPanelLayout(PanelLayout layout);
    PanelLayout panelLayout() const { return m_layout; }
    // The entry the boxes offer for a sensor: the range and offset boxes with decimals of
    // the sensor's unit, the offset within +-bound; both step in proportion to bound.
    void setDecimals(int decimals);
    void setOffsetBound(double bound);

    // Programmatic updates: the boxes' signals stay blocked.
    void setMinValue(double value);
    void setMaxValue(double value);
    void setOffsetValue(double value);

    // Narrow or widen what the two range boxes accept. A box value outside the new limits is
    // pulled in and announced like a user entry.
    void setLimitMinimum(double x);
    void setLimitMaximum(double x);
    void setLimits(double lo, double hi);

    double minValue() const;
    double maxValue() const;
    double offsetValue() const;
    // The limits of the range boxes, as read from the minimum box.
    double limitMinimum() const;
    double limitMaximum() const;

signals:
    void minValueChanged(double value);
    void maxValueChanged(double value);
    void offsetChanged(double value);

protected:
    void changeEvent(QEvent* event) override;

private:
    void placeWidgets();
    void fitBoxes();

    std::unique_ptr<Ui::AnalogSettingsWidget> ui;
    PanelLayout m_layout = PanelLayout::Beside;
};
