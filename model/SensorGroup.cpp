#include "model/SensorGroup.h"

#include "app/Constants.h"
#include "app/Logging.h"

#include <array>

QColor SensorGroup::defaultColor(int index)
{
    static const std::array<QColor, 5> sensorColors = {colorDarkRed, colorDarkGreen, colorDarkBlue,
                                                       colorDarkOrange, colorDarkCyan};
    if (index < 0 || index >= static_cast<int>(sensorColors.size()))
        return QColor();
    return sensorColors[static_cast<size_t>(index)];
}

void SensorGroup::setNumSensors(int count)
{
    if (count == numSensors())
        return;
    if (count < numSensors())
        m_sensors.clear();
    while (numSensors() < count) {
        Sensor sensor;
        sensor.color = defaultColor(numSensors());
        m_sensors.append(sensor);
    }
}

bool SensorGroup::checkIndex(int i, const char* signature) const
{
    if (i >= 0 && i < numSensors())
        return true;
    qCWarning(lcModel).noquote() << signature << "ERROR: index >= numSens !!";
    return false;
}

QString SensorGroup::sensorName(int i) const
{
    return checkIndex(i, Q_FUNC_INFO) ? m_sensors.at(i).name : QString();
}

QString SensorGroup::sensorType(int i) const
{
    return checkIndex(i, Q_FUNC_INFO) ? m_sensors.at(i).type : QString();
}

QString SensorGroup::sensorUnit(int i) const
{
    return checkIndex(i, Q_FUNC_INFO) ? m_sensors.at(i).unit : QString();
}

double SensorGroup::sensorValue(int i) const
{
    return checkIndex(i, Q_FUNC_INFO) ? m_sensors.at(i).value : 0.0;
}

double SensorGroup::sensorMinimum(int i) const
{
    return checkIndex(i, Q_FUNC_INFO) ? m_sensors.at(i).minimum : 0.0;
}

double SensorGroup::sensorMaximum(int i) const
{
    return checkIndex(i, Q_FUNC_INFO) ? m_sensors.at(i).maximum : 0.0;
}

QColor SensorGroup::sensorColor(int i) const
{
    return checkIndex(i, Q_FUNC_INFO) ? m_sensors.at(i).color : QColor();
}

bool SensorGroup::isSensorActive(int i) const
{
    return checkIndex(i, Q_FUNC_INFO) ? m_sensors.at(i).active : false;
}

void SensorGroup::setSensorName(int i, const QString& name)
{
    if (checkIndex(i, Q_FUNC_INFO))
        m_sensors[i].name = name;
}

void SensorGroup::setSensorType(int i, const QString& type)
{
    if (checkIndex(i, Q_FUNC_INFO))
        m_sensors[i].type = type;
}

void SensorGroup::setSensorUnit(int i, const QString& unit)
{
    if (checkIndex(i, Q_FUNC_INFO))
        m_sensors[i].unit = unit;
}

void SensorGroup::setSensorValue(int i, double value)
{
    if (checkIndex(i, Q_FUNC_INFO))
        m_sensors[i].value = value;
}

void SensorGroup::setSensorMinimum(int i, double minimum)
{
    if (checkIndex(i, Q_FUNC_INFO))
        m_sensors[i].minimum = minimum;
}

void SensorGroup::setSensorMaximum(int i, double maximum)
{
    if (checkIndex(i, Q_FUNC_INFO))
        m_sensors[i].maximum = maximum;
}

void SensorGroup::SetSensorColor(int i, const QColor& color)
{
    if (checkIndex(i, Q_FUNC_INFO))
        m_sensors[i].color = color;
}

void SensorGroup::setSensorActive(int i, bool active)
{
    if (checkIndex(i, Q_FUNC_INFO))
        m_sensors[i].active = active;
}

bool SensorGroup::hasActiveSensor() const
{
    for (const Sensor& sensor : m_sensors) {
        if (sensor.active)
            return true;
    }
    return false;
}
