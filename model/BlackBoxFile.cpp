#include "model/BlackBoxFile.h"

#include "app/Logging.h"
#include "model/Model.h"

#include <QFile>
#include <QTextStream>

namespace {

enum class Section
{
    Device,
    Sensors,
    Data
};

// Integers and doubles that are not numbers count as 0.
int toInt(const QString& text)
{
    return text.trimmed().toInt();
}

double toDouble(const QString& text)
{
    return text.trimmed().toDouble();
}

QString afterFirstEquals(const QString& line)
{
    return line.mid(line.indexOf(QLatin1Char('=')) + 1);
}

bool plausibleCount(int count, const char* what)
{
    if (count >= 0 && count <= BlackBoxFile::maxCount)
        return true;
    qCWarning(lcModel).noquote() << QStringLiteral(
                                        "ERROR: %1 %2 out of range (0 to %3), line ignored")
                                        .arg(QLatin1String(what))
                                        .arg(count)
                                        .arg(BlackBoxFile::maxCount);
    return false;
}

} // namespace

bool BlackBoxFile::import(Model& model, const QString& path)
{
    const char* signature = "bool Model::addBlackBoxFile(const QString&)";
    qCDebug(lcTrace).noquote() << signature << "file=" + path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCWarning(lcModel).noquote() << signature << "ERROR: could not open file: " + path;
        return false;
    }

    const bool wasBlocked = model.blockSignals(true);
    int series[Model::numSensors];
    for (int k = 0; k < Model::numSensors; ++k)
        series[k] = model.appendSeries(k);
    model.appendTimestamp();
    const int timestampIndex = model.numTimestamps() - 1;

    QTextStream in(&file);
    in.setCodec("UTF-8");
    read(in, model, series, timestampIndex);
    file.close();

    if (!wasBlocked) {
        model.blockSignals(false);
        qCDebug(lcTrace) << "emit projectChanged()";
        emit model.projectChanged();
        qCDebug(lcTrace) << "emit dataChanged()";
        emit model.dataChanged();
    }
    return true;
}

void BlackBoxFile::read(QTextStream& in, Model& model, const int (&series)[5], int timestampIndex)
{
    const char* signature = "bool Model::addBlackBoxFile(const QString&)";
    SensorDescription& description = model.sensorDescription();
    Section section = Section::Data;
    QString line;
    while (in.readLineInto(&line)) {
        if (line.contains(QLatin1String("[device]"))) {
            section = Section::Device;
        } else if (line.contains(QLatin1String("[sensors]"))) {
            section = Section::Sensors;
        } else if (line.contains(QLatin1String("[data]"))) {
            section = Section::Data;
        } else if (line.contains(QLatin1String("A="))) {
            // "A=[v, v, ...]" separates by commas, "A=v v ..." by blanks.
            const bool commaForm =
                line.contains(QLatin1String("A=[")) && line.contains(QLatin1Char(']'));
            QString values = line;
            values.remove(commaForm ? QStringLiteral("A=[") : QStringLiteral("A="));
            values.remove(QLatin1Char(']'));
            values = values.simplified();
            const QStringList items = values.split(commaForm ? QLatin1Char(',') : QLatin1Char(' '));
            if (items.size() != Model::numSensors) {
                qCWarning(lcModel).noquote() << signature << "ERROR: not 5 items in list!";
                continue;
            }
            for (int k = 0; k < Model::numSensors; ++k) {
                if (SampleList* samples = model.measurement(k, series[k]))
                    samples->append(toDouble(items.at(k)));
            }
        } else if (section == Section::Data && line.contains(QLatin1String("T="))) {
            const QString text = QString(line).remove(QStringLiteral("T=")).trimmed();
            model.setTimestamp(timestampIndex,
                               QDateTime::fromString(text, QStringLiteral("yyyyMMdd-hhmmss")));
            qCDebug(lcTrace) << "void Model::setTimestamp(int, QDateTime)"
                             << "emit projectChanged()";
        } else if (line.trimmed().startsWith(QLatin1String("t="))) {
            // The sample period line. Matched at the start only: "/unit=" holds "t=" too,
            // and sensor units must not be swallowed by it.
            continue;
        } else if (section != Section::Sensors) {
            continue;
        } else if (line.contains(QLatin1String("numGroups="))) {
            const int count = toInt(afterFirstEquals(line));
            qCDebug(lcModel) << "setNumSensorGroups: " << count;
            if (plausibleCount(count, "numGroups"))
                description.setNumSensorGroups(count);
        } else if (line.contains(QLatin1String("group0/name="))) {
            const QString name = afterFirstEquals(line);
            qCDebug(lcModel).noquote() << "setSensorGroupName: " + name;
            description.sensorGroup(0).setName(name);
        } else if (line.contains(QLatin1String("group0/numSensors="))) {
            const int count = toInt(afterFirstEquals(line));
            qCDebug(lcModel) << "setNumSensors: " << count;
            if (!plausibleCount(count, "numSensors"))
                continue;
            SensorGroup& group = description.sensorGroup(0);
            group.setNumSensors(count);
            for (int i = 0; i < group.numSensors(); ++i)
                group.setSensorActive(i, true);
        } else if (line.contains(QLatin1String("group0/sensor"))) {
            // The index is the single character after "group0/sensor"; 0 when not a digit.
            const int n = toInt(line.mid(13, 1));
            const QString value = afterFirstEquals(line);
            qCDebug(lcModel) << "sensors: " << n;
            if (line.contains(QLatin1String("/name="))) {
                qCDebug(lcModel).noquote() << "name: " + value;
                description.setSensorName(0, n, value);
            } else if (line.contains(QLatin1String("/type="))) {
                qCDebug(lcModel).noquote() << "type: " + value;
                description.setSensorType(0, n, value);
            } else if (line.contains(QLatin1String("/min="))) {
                qCDebug(lcModel) << "min: " << toDouble(value);
                description.setSensorMinimum(0, n, toDouble(value));
            } else if (line.contains(QLatin1String("/max="))) {
                qCDebug(lcModel) << "max: " << toDouble(value);
                description.setSensorMaximum(0, n, toDouble(value));
            } else if (line.contains(QLatin1String("/unit="))) {
                qCDebug(lcModel).noquote() << "unit: " + value;
                description.setSensorUnit(0, n, value);
            }
        }
    }
}
