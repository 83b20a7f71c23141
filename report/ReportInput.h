#pragma once

#include "model/ProjectData.h"
#include "model/RecordingGap.h"
#include "model/ReferenceData.h"
#include "model/SpcSettings.h"

#include <QColor>
#include <QDateTime>
#include <QString>
#include <QVector>

#include <array>
#include <optional>

class Model;

// What a report reads of a project, taken from the model in the model's thread. The sample
// lists are implicitly shared copies, as a save takes them: a report computed on a worker
// thread reads them while recording appends to the model's own, which then detach.
struct ReportInput
{
    static constexpr int numSensors = 5;

    struct Sensor
    {
        QString name;
        QString type;
        QString unit;
        double rangeMin = 0.0;
        double rangeMax = 0.0;
        double offset = 0.0;
        QColor color = Qt::black;
        // Shot order; a sensor may hold fewer shots than the project.
        QVector<QVector<double>> shots;
        // The runtime page's thresholds; none: as the page starts, from the sensor's data.
        std::optional<double> startValue;
        std::optional<double> stopValue;
    };

    QString projectPath;
    ProjectData project;
    QString comment;
    int deviceType = 0;
    QString hardwareVersion;
    QString softwareVersion;
    QString firmwareVersion;
    int clockMs = 0;
    std::array<Sensor, numSensors> sensors;
    // Per shot, invalid where a shot has none (live shots of older projects).
    QVector<QDateTime> timestamps;
    int shotCount = 0;
    // Where the link was down while recording, and how many of the shots came from the
    // device's black box.
    QVector<RecordingGap> gaps;
    int blackBoxShots = 0;
    std::optional<ReferenceData> reference;
    SpcSettings spc;
    // The values page's markers in ms (the project's first and last marker as it starts).
    int valuesLeftMs = 0;
    int valuesRightMs = 0;
    // The sensor (0-4) the runtime page evaluates.
    int runtimeSensor = 0;

    // The first shots shots of the model with the pages' settings as a freshly opened
    // project shows them.
    static ReportInput fromModel(const Model& model, int shots);
    // All shots of the model.
    static ReportInput fromModel(const Model& model);
};
