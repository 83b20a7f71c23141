#pragma once

#include "model/SensorGroup.h"

#include <QVector>

// The sensors the device offers, as an ordered list of groups. A plain value; recorded
// data use group 0.
class SensorDescription
{
public:
    int numSensorGroups() const { return static_cast<int>(m_groups.size()); }
    // Growing appends empty groups; shrinking drops every group first.
    void setNumSensorGroups(int count);

    // A bad index is reported; callers check numSensorGroups() first. The result is then a
    // detached empty group, so writes to it go nowhere.
    const SensorGroup& sensorGroup(int i) const;
    SensorGroup& sensorGroup(int i);

    void setSensorName(int group, int sensor, const QString& name);
    void setSensorType(int group, int sensor, const QString& type);
    void setSensorUnit(int group, int sensor, const QString& unit);
    void setSensorMinimum(int group, int sensor, double minimum);
    void setSensorMaximum(int group, int sensor, double maximum);

    // Compares the counts and, per sensor, name, type, unit, minimum and maximum.
    bool operator==(const SensorDescription& other) const;
    bool operator!=(const SensorDescription& other) const { return !(*this == other); }

private:
    bool hasGroup(int i) const { return i >= 0 && i < numSensorGroups(); }

    QVector<SensorGroup> m_groups;
};
