#pragma once

#include "model/SensorGroup.h"
#include "view/SensorGrid.h"
#include "widgets/analog/AnalogSensorWidgetType.h"

#include <QList>
#include <QWidget>

#include <memory>
#include <optional>

class AnalogSensorWidget;

namespace Ui {
class SensorGroupWidget;
}

// One sensor group on the sensors page: its name and a display per active sensor, in rows
// and columns chosen for the room the group has. Sensor widgets are addressed by their
// position, which skips inactive sensors.
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
    SensorGrid::Arrangement arrangement() const { return m_arrangement; }

    // The least the group needs: its displays in one row, labels above the boxes. Wider or
    // taller room gives them more rows or wider panels as it suits them.
    QSize minimumSizeHint() const override;
    // No more than the least: the group takes whatever room is left over (it expands), so
    // that the sensor tree beside it keeps its own width where the page has room for it.
    QSize sizeHint() const override { return minimumSizeHint(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool checkIndex(int index, const char* signature, const char* error) const;
    // What one display cell needs, measured on the first sensor widget in both panel
    // layouts. Measured when the widgets or their kind change, not on every size query.
    SensorGrid::Cell measureCell();
    // The room for the cells: the widget less its margins and the group name.
    QSize cellArea(const QSize& size) const;
    // Places the sensor widgets for the present size; force places them even when the
    // arrangement did not change (new widgets).
    void arrange(bool force = false);

    std::unique_ptr<Ui::SensorGroupWidget> ui;
    QString m_groupName;
    AnalogSensorWidgetType m_type;
    std::optional<SensorGroup> m_sensorGroup;
    QList<AnalogSensorWidget*> m_sensorWidgets;
    QList<int> m_sensorIndices;
    SensorGrid::Arrangement m_arrangement;
    SensorGrid::Cell m_cell;
};
