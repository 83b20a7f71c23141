#pragma once

#include "tools/sim/DeviceProfile.h"
#include "tools/sim/ShotCurve.h"

#include <QDateTime>
#include <QString>
#include <QVector>

// Writes one shot as a black-box file, the way the device records shots on its
// USB stick: a device section, a sensors section with the sensor description, and a data
// section with the time of the shot and one "A=[...]" line per sample.
class BlackBoxWriter
{
public:
    // The file name for a shot at time: "shot_YYYYMMDD_HHMMSS.bb". Inside its day folder
    // "dir-YYYYMMDD" the relative path has the date at characters 4-11 and the time at
    // characters 27-32, where the black-box tab reads them.
    static QString fileName(const QDateTime& time);
    static QString dayFolderName(const QDate& day);

    // Samples are in micrometres and written in the profile's unit.
    static bool write(const QString& path, const DeviceProfile& profile, const QDateTime& time,
                      int samplePeriodMs, const QVector<ShotCurve::Sample>& samples);
};
