#pragma once

#include "model/ProjectData.h"
#include "model/ShotRangeText.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class SensorDescription;

// The device's line protocol as plain functions: each takes one received line (or the
// user's shot-range text) and gives values plus diagnostics. Nothing here knows sockets,
// windows or the model.
namespace DeviceProtocol {

enum class Kind
{
    Empty,
    Values,            // "n;v1;v2;v3;v4;v5"
    RunStarted,        // "run=1"
    RunStopped,        // "run=0"
    SamplePeriod,      // "t=NNN", the echo of the sample period
    DeviceDescription, // "<deviceDescription ...>"
    SensorDescription, // "<sensorDescription ...>"
    ListBegin,         // "list {"
    ListEnd,           // "} list"
    ListEntry,         // a line between the two
    Other,
};

// What a line is. Inside a list reply (inList) a line without ";" is an entry, even when
// it begins with a digit as day folders do.
Kind classify(const QString& line, bool inList);

constexpr int numReadings = 5;

struct Readings
{
    // The readings of sensors 0 to 4: all five, or none when error is set.
    QVector<double> values;
    QString error;
};
// A value line: a leading counter and five readings separated by ";", ended by its line
// feed. A line counts only as a whole: one cut short (no line feed, as the first piece of
// an over-long line arrives), with another number of fields, or with a reading that is not
// a finite number gives no readings at all, so that the five sensors of a shot always hold
// the same number of samples. Readings in thousandths (micrometres from a device that
// reports millimetres) are divided by 1000.
Readings parseValues(const QString& line, bool thousandths);

// The longest sample period the device offers, in milliseconds.
constexpr int maxSamplePeriod = 1000;
// "t=NNN": the period in milliseconds, 1 to maxSamplePeriod; anything else is refused
// with a diagnostic in error.
std::optional<int> parseSamplePeriod(const QString& line, QString* error = nullptr);

struct DeviceInfo
{
    QString hardwareVersion;
    QString firmwareVersion;
    int numGroups = 0;
    // The project record, when the line carries one; the markers are taken from current.
    std::optional<ProjectData> project;
};
DeviceInfo parseDeviceDescription(const QString& line, const ProjectData& current);

// Writes a sensor description line into description: group count, and per group its name
// and sensors (name, type, range, unit). Further fields of the sensors stay as they were.
void applySensorDescription(const QString& line, SensorDescription& description);

// The name of a list entry; empty for "." and "..".
QString listEntry(const QString& line);

// The user's shot-range text ("3,5-7"), read by the data layer's plain functions.
using ShotRange = ShotRangeText::ShotRange;
using ShotRanges = ShotRangeText::ShotRanges;
using ShotRangeText::parseShotRanges;
using ShotRangeText::shotNumbers;
using ShotRangeText::shotNumbersText;

} // namespace DeviceProtocol
