#include "control/DeviceProtocol.h"

#include "app/Logging.h"
#include "model/SensorDescription.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The value of an attribute whose key was found at keyPos: it starts offset characters
// later (after the key, "=" and the opening quotation mark) and ends before the next
// quotation mark. A missing key gives an empty text; a missing closing mark ends the value
// at the line's end.
QString valueAt(const QString& msg, int keyPos, int offset)
{
    if (keyPos < 0)
        return QString();
    const int start = keyPos + offset;
    if (start >= msg.size())
        return QString();
    int end = msg.indexOf(QLatin1Char('"'), start);
    if (end < 0) {
        end = msg.size();
        while (end > start &&
               (msg.at(end - 1) == QLatin1Char('\n') || msg.at(end - 1) == QLatin1Char('\r')))
            --end;
    }
    return msg.mid(start, end - start);
}

// The value of key K searched at or after from: its start is the position of "K=" plus
// offset.
QString valueAfter(const QString& msg, const QString& key, int from, int offset)
{
    return valueAt(msg, msg.indexOf(key, from), offset);
}

// A count given as the single character at a fixed distance from its key; 0 when it is
// not a digit.
int countAt(const QString& msg, const QString& key, int from, int offset)
{
    const int pos = msg.indexOf(key, from);
    if (pos < 0)
        return 0;
    return msg.mid(pos + offset, 1).toInt();
}

QString attributeValue(const QString& msg, const QString& key)
{
    return valueAt(msg, msg.indexOf(key + QLatin1Char('=')), key.size() + 2);
}

} // namespace

namespace DeviceProtocol {

Kind classify(const QString& msg, bool inList)
{
    if (msg.isEmpty())
        return Kind::Empty;
    const QChar first = msg.at(0);
    // Day folder names may begin with a digit too; value lines always carry fields.
    const bool listEntry = inList && !msg.contains(QLatin1Char(';'));
    if ((first.isDigit() || first == QLatin1Char('-')) && !listEntry)
        return Kind::Values;
    if (msg.startsWith(QLatin1String("run=1")))
        return Kind::RunStarted;
    if (msg.startsWith(QLatin1String("run=0")))
        return Kind::RunStopped;
    if (msg.startsWith(QLatin1String("t=")))
        return Kind::SamplePeriod;
    if (msg.startsWith(QLatin1String("<deviceDescription")))
        return Kind::DeviceDescription;
    if (msg.startsWith(QLatin1String("<sensorDescription")))
        return Kind::SensorDescription;
    if (msg.leftRef(6) == QLatin1String("list {"))
        return Kind::ListBegin;
    if (msg.leftRef(6) == QLatin1String("} list"))
        return Kind::ListEnd;
    return inList ? Kind::ListEntry : Kind::Other;
}

Readings parseValues(const QString& msg, bool thousandths)
{
    Readings readings;
    const QVector<QStringRef> fields = msg.splitRef(QLatin1Char(';'));
    if (fields.size() < 3) {
        readings.error = QStringLiteral("received data. ERROR: No List!");
        return readings;
    }
    if (!msg.endsWith(QLatin1Char('\n'))) {
        readings.error = QStringLiteral("ERROR: value line cut short");
        return readings;
    }
    if (fields.size() != numReadings + 1) {
        readings.error = QStringLiteral("ERROR: value line with %1 readings instead of %2")
                             .arg(fields.size() - 1)
                             .arg(numReadings);
        return readings;
    }
    readings.values.reserve(numReadings);
    // Fields 1 to 5 are the readings of sensors 0 to 4.
    for (int k = 1; k <= numReadings; ++k) {
        const QStringRef field = fields.at(k).trimmed();
        bool ok = false;
        double reading = field.toDouble(&ok);
        // "inf", "nan" and numbers beyond the double range read as numbers, but no file
        // can keep them.
        if (!ok || !std::isfinite(reading)) {
            readings.values.clear();
            readings.error =
                QStringLiteral("ERROR: value line with a reading that is not a finite number: ") +
                field.left(40);
            return readings;
        }
        if (thousandths)
            reading /= 1000.0;
        readings.values.append(reading);
    }
    return readings;
}

std::optional<int> parseSamplePeriod(const QString& msg, QString* error)
{
    const QString text = msg.mid(2).trimmed();
    bool ok = false;
    const int period = text.toInt(&ok, 10);
    if (!ok || period < 1 || period > maxSamplePeriod) {
        if (error)
            *error = QStringLiteral("ERROR: sample period refused: ") + text;
        return std::nullopt;
    }
    return period;
}

DeviceInfo parseDeviceDescription(const QString& msg, const ProjectData& current)
{
    DeviceInfo info;
    info.hardwareVersion = valueAfter(msg, QStringLiteral("hardwareVersion="), 0, 17);
    info.firmwareVersion = valueAfter(msg, QStringLiteral("firmwareVersion="), 0, 17);
    info.numGroups = countAt(msg, QStringLiteral("numGroups="), 0, 11);

    const QString groupTag = QStringLiteral("<group");
    for (int groupPos = msg.indexOf(groupTag, 1); groupPos >= 0;) {
        const int nextGroup = msg.indexOf(groupTag, groupPos + 1);
        const int groupEnd = nextGroup < 0 ? msg.size() : nextGroup;
        qCDebug(lcControl).noquote()
            << "group name=" + valueAfter(msg, QStringLiteral("name="), groupPos, 6)
            << "numChannels=" << countAt(msg, QStringLiteral("numChannels="), groupPos, 13);
        const QString channelTag = QStringLiteral("<channel");
        for (int channelPos = msg.indexOf(channelTag, groupPos + 1);
             channelPos >= 0 && channelPos < groupEnd;
             channelPos = msg.indexOf(channelTag, channelPos + 1)) {
            qCDebug(lcControl) << "channel min="
                               << valueAfter(msg, QStringLiteral("min="), channelPos, 5).toDouble()
                               << "max="
                               << valueAfter(msg, QStringLiteral("max="), channelPos, 5).toDouble();
        }
        groupPos = nextGroup;
    }

    if (!msg.contains(QLatin1String("<projectDescription")))
        return info;
    // The device's record replaces the header, but the markers belong to the recorded shots
    // and stay as they are.
    ProjectData data = current;
    data.name = attributeValue(msg, QStringLiteral("projectName"));
    data.number = attributeValue(msg, QStringLiteral("projectNumber"));
    data.user = attributeValue(msg, QStringLiteral("projectPerson"));
    data.date = attributeValue(msg, QStringLiteral("projectDate"));
    data.customer = attributeValue(msg, QStringLiteral("projectCustomer"));
    for (int i = 0; i < ProjectData::numPhases; ++i)
        data.phaseNames[static_cast<size_t>(i)] =
            attributeValue(msg, QStringLiteral("phase%1").arg(i + 1));
    data.closingForce = attributeValue(msg, QStringLiteral("closePower")).toInt(nullptr, 10);
    data.injectionTime = attributeValue(msg, QStringLiteral("injectionTime")).toDouble();
    data.pressTime = attributeValue(msg, QStringLiteral("pressTime")).toDouble();
    data.pressure = attributeValue(msg, QStringLiteral("pressure")).toInt(nullptr, 10);
    info.project = data;
    return info;
}

void applySensorDescription(const QString& msg, SensorDescription& description)
{
    const int numGroups = countAt(msg, QStringLiteral("numGroups="), 0, 11);
    description.setNumSensorGroups(numGroups);
    qCDebug(lcControl) << "numGroups=" << numGroups;

    const QString groupTag = QStringLiteral("<group");
    const QString sensorTag = QStringLiteral("<sensor");
    int g = 0;
    for (int groupPos = msg.indexOf(groupTag, 1); groupPos >= 0; ++g) {
        qCDebug(lcTrace) << "groupPos=" << groupPos;
        const int nextGroup = msg.indexOf(groupTag, groupPos + 1);
        const int groupEnd = nextGroup < 0 ? msg.size() : nextGroup;
        if (g >= description.numSensorGroups()) {
            qCWarning(lcControl) << "more groups than announced, group" << g << "ignored";
            groupPos = nextGroup;
            continue;
        }
        SensorGroup& group = description.sensorGroup(g);
        group.setName(valueAfter(msg, QStringLiteral("name="), groupPos, 6));
        const int numSensors = countAt(msg, QStringLiteral("numSensors="), groupPos, 12);
        group.setNumSensors(numSensors);

        int s = 0;
        for (int sensorPos = msg.indexOf(sensorTag, groupPos + 1);
             sensorPos >= 0 && sensorPos < groupEnd && s < numSensors;
             sensorPos = msg.indexOf(sensorTag, sensorPos + 1), ++s) {
            group.setSensorName(s, valueAfter(msg, QStringLiteral("name="), sensorPos, 6));
            group.setSensorType(s, valueAfter(msg, QStringLiteral("type="), sensorPos, 6));
            group.setSensorMinimum(
                s, valueAfter(msg, QStringLiteral("min="), sensorPos, 5).toDouble());
            group.setSensorMaximum(
                s, valueAfter(msg, QStringLiteral("max="), sensorPos, 5).toDouble());
            // A UTF-8 micro sign read as Latin-1 arrives as A-circumflex and micro sign.
            QString unit = valueAfter(msg, QStringLiteral("unit="), sensorPos, 6);
            unit.remove(QChar(0x00C2));
            group.setSensorUnit(s, unit);
        }
        groupPos = nextGroup;
    }
}

QString listEntry(const QString& msg)
{
    const QString name = msg.simplified();
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QString();
    return name;
}

} // namespace DeviceProtocol
