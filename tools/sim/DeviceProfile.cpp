#include "tools/sim/DeviceProfile.h"

#include <cmath>

namespace {

QString attribute(const char* key, const QString& value)
{
    return QStringLiteral(" %1=\"%2\"").arg(QLatin1String(key), value);
}

QString number(double value)
{
    return QString::number(value, 'g', 10);
}

} // namespace

DeviceProfile::DeviceProfile(bool micrometres)
    : m_micrometres(micrometres)
{
    const double scale = micrometres ? 1.0 : 0.001;
    const QString unit = micrometres ? QStringLiteral("\u00B5m") : QStringLiteral("mm");
    for (int k = 0; k < ShotCurve::numSensors; ++k) {
        m_sensors.append({QStringLiteral("Abstand %1").arg(k + 1), QStringLiteral("Distanz"), 0.0,
                          12000.0 * scale, unit});
    }
}

QByteArray DeviceProfile::deviceDescriptionLine(bool withProjectDescription) const
{
    QString line = QStringLiteral("<deviceDescription") +
                   attribute("hardwareVersion", hardwareVersion()) +
                   attribute("firmwareVersion", firmwareVersion()) +
                   attribute("numGroups", QStringLiteral("1")) + QStringLiteral(">");
    line += QStringLiteral("<group") + attribute("name", groupName()) +
            attribute("numChannels", QString::number(m_sensors.size())) + QStringLiteral(">");
    for (const Sensor& sensor : m_sensors) {
        line += QStringLiteral("<channel") + attribute("min", number(sensor.minimum)) +
                attribute("max", number(sensor.maximum)) + QStringLiteral("/>");
    }
    line += QStringLiteral("</group>");
    if (withProjectDescription) {
        line += QStringLiteral("<projectDescription") +
                attribute("projectName", QStringLiteral("Simulierte Form")) +
                attribute("projectNumber", QStringLiteral("SIM-4711")) +
                attribute("projectPerson", QStringLiteral("Kalvik Simulator")) +
                attribute("projectDate", QStringLiteral("24.12.2019")) +
                attribute("projectCustomer", QStringLiteral("Dornhal")) +
                attribute("phase1", QStringLiteral("Schliessen")) +
                attribute("phase2", QStringLiteral("Einspritzen")) +
                attribute("phase3", QStringLiteral("Nachdruck")) +
                attribute("phase4", QStringLiteral("Kuehlen")) +
                attribute("phase5", QStringLiteral("Oeffnen")) +
                attribute("closePower", QStringLiteral("800")) +
                attribute("injectionTime", QStringLiteral("1.2")) +
                attribute("pressTime", QStringLiteral("2.5")) +
                attribute("pressure", QStringLiteral("900")) + QStringLiteral("/>");
    }
    line += QStringLiteral("</deviceDescription>\n");
    return line.toUtf8();
}

QByteArray DeviceProfile::sensorDescriptionLine() const
{
    QString line = QStringLiteral("<sensorDescription") +
                   attribute("numGroups", QStringLiteral("1")) + QStringLiteral(">");
    line += QStringLiteral("<group") + attribute("name", groupName()) +
            attribute("numSensors", QString::number(m_sensors.size())) + QStringLiteral(">");
    for (const Sensor& sensor : m_sensors) {
        line += QStringLiteral("<sensor") + attribute("name", sensor.name) +
                attribute("type", sensor.type) + attribute("min", number(sensor.minimum)) +
                attribute("max", number(sensor.maximum)) + attribute("unit", sensor.unit) +
                QStringLiteral("/>");
    }
    line += QStringLiteral("</group></sensorDescription>\n");
    return line.toUtf8();
}

QByteArray DeviceProfile::formatReading(double micrometres) const
{
    if (m_micrometres)
        return QByteArray::number(static_cast<qlonglong>(std::llround(micrometres)));
    return QByteArray::number(micrometres / 1000.0, 'f', 3);
}

QByteArray DeviceProfile::valueLine(qint64 counter, const ShotCurve::Sample& micrometreValues) const
{
    QByteArray line = QByteArray::number(counter);
    for (double value : micrometreValues) {
        line += ';';
        line += formatReading(value);
    }
    line += '\n';
    return line;
}
