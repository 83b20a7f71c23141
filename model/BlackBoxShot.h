#pragma once

#include "model/Model.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <vector>

// One black-box file as read, before it joins a project: the samples of the five sensors,
// the shot's time, and the sensors section's settings in file order. Reading fills it on
// any thread; only adding it to the model needs the GUI thread.
struct BlackBoxShot
{
    struct Setting
    {
        enum class Kind
        {
            NumGroups,
            GroupName,
            NumSensors,
            SensorName,
            SensorType,
            SensorMinimum,
            SensorMaximum,
            SensorUnit
        };
        Kind kind = Kind::NumGroups;
        int sensor = 0;
        int count = 0;
        double number = 0.0;
        QString text;
    };

    std::array<SampleList, Model::numSensors> samples;
    // Invalid when the file holds no time, or one that does not read as a date and time.
    QDateTime timestamp;
    std::vector<Setting> settings;
    // Milliseconds between two samples from the file's "t=" line; 0 when it names none.
    int samplePeriodMs = 0;
    // Lines that are section, time or sample lines; none in a file that is no black-box file.
    int recognisedLines = 0;
};
