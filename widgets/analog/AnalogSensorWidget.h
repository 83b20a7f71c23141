#pragma once

#include "widgets/analog/AbstractAnalogWidget.h"
#include "widgets/analog/AnalogSensorWidgetType.h"

#include <memory>

class AnalogSettingsWidget;

namespace Ui {
class AnalogSensorWidget;
}

// One live sensor: a title, its display (bar or dial) and the settings panel, kept in step.
// Range, offset, unit and colour live here too, so that switching the display keeps them.
class AnalogSensorWidget : public AbstractAnalogWidget
{
    Q_OBJECT

public:
    explicit AnalogSensorWidget(QWidget* parent = nullptr,
                                AnalogSensorWidgetType type = AnalogSensorWidgetType::Linear);
    ~AnalogSensorWidget() override;

    AnalogSensorWidgetType widgetType() const { return m_type; }
    // Replaces the display; range, offset, unit and colour carry over, the value arrives with
    // the next setValue.
    void setWidgetType(AnalogSensorWidgetType type);

    AbstractAnalogWidget* display() const { return m_display; }
    AnalogSettingsWidget* settings() const;
    QString name() const;

    void setColor(const QColor& color) override;
    void setName(const QString& name) override;
    void setShowScale(bool show) override;
    void setGrid(double grid) override;

    // Narrows the display and the range boxes towards a sensor's range min ... max: the
    // boxes accept at most one span beyond it on either side, and never widen again.
    void setMaximumRange(double min, double max);

public slots:
    void setRangeMin(double x) override;
    void setRangeMax(double x) override;
    void setRange(double a, double b) override;
    void setValue(double x) override;
    void setUnit(const QString& u) override;
    void setOffset(double x) override;

signals:
    void minValueChanged(double value);
    void maxValueChanged(double value);
    void offsetChanged(double value);

private slots:
    void onMinValueChanged(double val);
    void onMaxValueChanged(double val);
    void onOffsetChanged(double val);

private:
    AbstractAnalogWidget* createDisplay(AnalogSensorWidgetType type);

    std::unique_ptr<Ui::AnalogSensorWidget> ui;
    AnalogSensorWidgetType m_type;
    AbstractAnalogWidget* m_display = nullptr;
    QColor m_color = Qt::gray;
    // The sensor's measuring range as last given to setMaximumRange.
    double m_sensorMin = -100000.0;
    double m_sensorMax = 100000.0;
};
