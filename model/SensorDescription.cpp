#include "model/SensorDescription.h"

#include "app/Logging.h"

void SensorDescription::setNumSensorGroups(int count)
{
    if (count == numSensorGroups())
        return;
    if (count < numSensorGroups())
        m_groups.clear();
    while (numSensorGroups() < count)
        m_groups.append(SensorGroup());
}

const SensorGroup& SensorDescription::sensorGroup(int i) const
{
    if (hasGroup(i))
        return m_groups.at(i);
    qCWarning(lcModel).noquote() << Q_FUNC_INFO << "ERROR: i>=numGroups";
    static const SensorGroup none;
    return none;
}

SensorGroup& SensorDescription::sensorGroup(int i)
{
    if (hasGroup(i))
        return m_groups[i];
    qCWarning(lcModel).noquote() << Q_FUNC_INFO << "ERROR: i>=numGroups";
    static SensorGroup scratch;
    scratch = SensorGroup();
    return scratch;
}

void SensorDescription::setSensorName(int group, int sensor, const QString& name)
{
    if (hasGroup(group))
        m_groups[group].setSensorName(sensor, name);
}

void SensorDescription::setSensorType(int group, int sensor, const QString& type)
{
    if (hasGroup(group))
        m_groups[group].setSensorType(sensor, type);
}

void SensorDescription::setSensorUnit(int group, int sensor, const QString& unit)
{
    if (hasGroup(group))
        m_groups[group].setSensorUnit(sensor, unit);
}

void SensorDescription::setSensorMinimum(int group, int sensor, double minimum)
{
    qCDebug(lcTrace) << "min=" << minimum;
    if (hasGroup(group))
        m_groups[group].setSensorMinimum(sensor, minimum);
}

void SensorDescription::setSensorMaximum(int group, int sensor, double maximum)
{
    qCDebug(lcTrace) << "max=" << maximum;
    if (hasGroup(group))
        m_groups[group].setSensorMaximum(sensor, maximum);
}

bool SensorDescription::operator==(const SensorDescription& other) const
{
    if (numSensorGroups() != other.numSensorGroups())
        return false;
    for (int g = 0; g < numSensorGroups(); ++g) {
        const SensorGroup& a = m_groups.at(g);
        const SensorGroup& b = other.m_groups.at(g);
        if (a.numSensors() != b.numSensors())
            return false;
        for (int s = 0; s < a.numSensors(); ++s) {
            if (a.sensorName(s) != b.sensorName(s) || a.sensorType(s) != b.sensorType(s) ||
                a.sensorUnit(s) != b.sensorUnit(s) || a.sensorMinimum(s) != b.sensorMinimum(s) ||
                a.sensorMaximum(s) != b.sensorMaximum(s))
                return false;
        }
    }
    return true;
}
