#pragma once

#include <QDateTime>
#include <QString>
#include <QUuid>
#include <QVector>

#include <array>

// One shot as the journal and the plant archive keep it: what identifies it, the project it
// was recorded into, the sensors and their samples. A plain value.
struct StoredShot
{
    static constexpr int numSensors = 5;

    // The key everywhere: a shot written twice is still one shot.
    QUuid id;
    // The computer's time at the device's "run=1".
    QDateTime startedAt;
    int clockMs = 1;
    // The station that recorded it (the archive's; empty in the journal).
    QString station;
    QString projectName;
    QString projectNumber;
    // The project file that was open while it was recorded; empty for a project without one.
    QString projectFile;
    std::array<QString, numSensors> sensorNames;
    std::array<QString, numSensors> sensorUnits;
    std::array<QVector<double>, numSensors> samples;
    // "OK", "NOK", or empty where no reference judged it.
    QString verdict;

    int sampleCount() const { return samples[0].size(); }
};
