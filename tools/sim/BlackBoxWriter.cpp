#include "tools/sim/BlackBoxWriter.h"

#include <QFile>
#include <QSaveFile>

QString BlackBoxWriter::fileName(const QDateTime& time)
{
    return QStringLiteral("shot_") + time.toString(QStringLiteral("yyyyMMdd_HHmmss")) +
           QStringLiteral(".bb");
}

QString BlackBoxWriter::dayFolderName(const QDate& day)
{
    return QStringLiteral("dir-") + day.toString(QStringLiteral("yyyyMMdd"));
}

bool BlackBoxWriter::write(const QString& path, const DeviceProfile& profile, const QDateTime& time,
                           int samplePeriodMs, const QVector<ShotCurve::Sample>& samples)
{
    QByteArray text;
    text += "[device]\n";
    text += "hardwareVersion=" + profile.hardwareVersion().toUtf8() + '\n';
    text += "firmwareVersion=" + profile.firmwareVersion().toUtf8() + '\n';
    text += "[sensors]\n";
    text += "numGroups=1\n";
    text += "group0/name=" + profile.groupName().toUtf8() + '\n';
    text += "group0/numSensors=" + QByteArray::number(profile.sensors().size()) + '\n';
    for (int k = 0; k < profile.sensors().size(); ++k) {
        const DeviceProfile::Sensor& sensor = profile.sensors().at(k);
        const QByteArray prefix = "group0/sensor" + QByteArray::number(k) + '/';
        text += prefix + "name=" + sensor.name.toUtf8() + '\n';
        text += prefix + "type=" + sensor.type.toUtf8() + '\n';
        text += prefix + "min=" + QByteArray::number(sensor.minimum) + '\n';
        text += prefix + "max=" + QByteArray::number(sensor.maximum) + '\n';
        text += prefix + "unit=" + sensor.unit.toUtf8() + '\n';
    }
    text += "[data]\n";
    text += "T=" + time.toString(QStringLiteral("yyyyMMdd-HHmmss")).toUtf8() + '\n';
    text += "t=" + QByteArray::number(samplePeriodMs) + '\n';
    for (const ShotCurve::Sample& sample : samples) {
        text += "A=[";
        for (int k = 0; k < ShotCurve::numSensors; ++k) {
            if (k > 0)
                text += ", ";
            text += profile.formatReading(sample[k]);
        }
        text += "]\n";
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text);
    if (!file.commit())
        return false;
    // The device stamps the file with the end of the shot.
    QFile written(path);
    if (written.open(QIODevice::ReadWrite)) {
        written.setFileTime(time.addMSecs(qint64(samplePeriodMs) * samples.size()),
                            QFileDevice::FileModificationTime);
    }
    return true;
}
