#pragma once

#include "model/SensorGroup.h"
#include "widgets/analog/AnalogSensorWidgetType.h"

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QVector>
#include <QWidget>

#include <memory>

class Model;
class QLabel;
class SensorGroupWidget;

namespace Ui {
class TabSensors;
}

// The live page: the sensor tree on the left, a group widget per group with an active sensor
// on the right, shown as bars ("Linear") or dials ("Rund"). A new sensor description rebuilds
// the widgets; new data updates their values and offsets.
class TabSensors : public QWidget
{
    Q_OBJECT

public:
    explicit TabSensors(QWidget* parent = nullptr);
    ~TabSensors() override;

    // Called once by the main window; the page then follows the model's signals and shows
    // its present description.
    void setModel(Model* model);

    // Group and sensor are positions of the widgets, not indices of the description.
    void setSensorName(int group, int sensor, const QString& name);
    void setSensorValue(int group, int sensor, double value);
    void setSensorOffset(int group, int sensor, double offset);
    void rebuildWidgets(const QList<SensorGroup>& groups);

    // No value line for a while: the displays grey out and say since when, until
    // showValuesLive().
    void showValuesStale(const QDateTime& since);
    void showValuesLive();
    bool valuesStale() const { return m_staleSince.isValid(); }

    AnalogSensorWidgetType widgetType() const { return m_widgetType; }
    const QList<SensorGroupWidget*>& groupWidgets() const { return m_groupWidgets; }

private slots:
    void onSensorTreeItemChanged();
    void onRadioButtonLinearClicked();
    void onRadioButtonRoundClicked();
    void onModel_ProjectChanged();
    void onModel_DataChanged();

protected:
    void changeEvent(QEvent* event) override;

private:
    bool checkGroup(int group, const char* signature) const;
    bool hasModel() const;
    void setWidgetType(AnalogSensorWidgetType type);
    // The greying and the text of the stale state on the present group widgets.
    void applyValuesLook();

    std::unique_ptr<Ui::TabSensors> ui;
    QPointer<Model> m_model;
    QList<SensorGroupWidget*> m_groupWidgets;
    // The description's group shown at each position of m_groupWidgets.
    QVector<int> m_groupIndices;
    AnalogSensorWidgetType m_widgetType = AnalogSensorWidgetType::Linear;
    QLabel* m_staleLabel = nullptr;
    QDateTime m_staleSince;
};
