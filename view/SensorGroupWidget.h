#pragma once

#include "model/SensorGroup.h"
#include "widgets/analog/AnalogSensorWidgetType.h"

#include <QList>
#include <QWidget>

#include <memory>
#include <optional>

class AnalogSensorWidget;

namespace Ui {
class SensorGroupWidget;
}

// One sensor group on the sensors page: its name and a display per active sensor, side by
// side. Sensor widgets are addressed by their position, which skips inactive sensors.
class SensorGroupWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SensorGroupWidget(AnalogSensorWidgetType type, QWidget* parent = nullptr);
    ~SensorGroupWidget() override;

    void setSensorGroup(const SensorGroup& group);
    void setGroupName(const QString& name);
    QString groupName() const;
    void setNumSensors(int num);
    void setWidgetType(AnalogSensorWidgetType type);
    void SetSensorColor(int index, const QColor& color);
    void setSensorName(int index, const QString& name);
    double sensorValue(int index) const;
    void setSensorValue(int index, double value);
    void setSensorOffset(int index, double offset);
    void setSensorRange(int index, double min, double max);
    void rebuildWidgets();

    int numSensorWidgets() const { return m_sensorWidgets.size(); }
    AnalogSensorWidget* sensorWidget(int index) const { return m_sensorWidgets.value(index); }
    // The index within the group of the sensor shown at position, or -1.
    int sensorIndex(int position) const { return m_sensorIndices.value(position, -1); }

private:
    bool checkIndex(int index, const char* signature, const char* error) const;

    std::unique_ptr<Ui::SensorGroupWidget> ui;
    AnalogSensorWidgetType m_type;
    std::optional<SensorGroup> m_sensorGroup;
    QList<AnalogSensorWidget*> m_sensorWidgets;
    QList<int> m_sensorIndices;
};
