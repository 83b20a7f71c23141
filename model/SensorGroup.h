#pragma once

#include <QColor>
#include <QString>
#include <QVector>

// One sensor group of the device: a name and an ordered list of sensors. A plain value.
class SensorGroup
{
public:
    struct Sensor
    {
        QString name = QStringLiteral("Sensor X");
        QString type;
        QString unit;
        bool active = true;
        double value = 0.0;
        double minimum = -100000.0;
        double maximum = 100000.0;
        QColor color;
    };

    // Default colour of a new sensor by its index; invalid from index 5 on.
    static QColor defaultColor(int index);

    QString name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }

    int numSensors() const { return static_cast<int>(m_sensors.size()); }
    // Growing appends new sensors; shrinking rebuilds every sensor from the defaults.
    void setNumSensors(int count);

    QString sensorName(int i) const;
    QString sensorType(int i) const;
    QString sensorUnit(int i) const;
    double sensorValue(int i) const;
    double sensorMinimum(int i) const;
    double sensorMaximum(int i) const;
    QColor sensorColor(int i) const;
    bool isSensorActive(int i) const;

    void setSensorName(int i, const QString& name);
    void setSensorType(int i, const QString& type);
    void setSensorUnit(int i, const QString& unit);
    void setSensorValue(int i, double value);
    void setSensorMinimum(int i, double minimum);
    void setSensorMaximum(int i, double maximum);
    void SetSensorColor(int i, const QColor& color);
    void setSensorActive(int i, bool active);

    bool hasActiveSensor() const;

private:
    bool checkIndex(int i, const char* signature) const;

    QString m_name;
    QVector<Sensor> m_sensors;
};
