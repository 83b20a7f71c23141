#pragma once

#include "tools/sim/ShotCurve.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// What the simulated Kalvik box says about itself: versions, its group of five distance
// sensors, and the texts of its description replies. The readings are
// in micrometres, or in millimetres when asked; the sensor description names the unit of
// the readings, micrometres sent as UTF-8.
class DeviceProfile
{
public:
    struct Sensor
    {
        QString name;
        QString type;
        double minimum;
        double maximum;
        QString unit;
    };

    explicit DeviceProfile(bool micrometres = true);

    bool micrometres() const { return m_micrometres; }
    QString hardwareVersion() const { return QStringLiteral("2.1"); }
    QString firmwareVersion() const { return QStringLiteral("1.4.2-sim"); }
    QString groupName() const { return QStringLiteral("Abstand"); }
    const QVector<Sensor>& sensors() const { return m_sensors; }

    // One line each, UTF-8, ended by a line feed.
    QByteArray deviceDescriptionLine(bool withProjectDescription) const;
    QByteArray sensorDescriptionLine() const;
    // "counter;v1;v2;v3;v4;v5" and a line feed; readings given in micrometres.
    QByteArray valueLine(qint64 counter, const ShotCurve::Sample& micrometreValues) const;
    // One reading in the unit of the profile, as the device writes it.
    QByteArray formatReading(double micrometres) const;

private:
    bool m_micrometres;
    QVector<Sensor> m_sensors;
};
