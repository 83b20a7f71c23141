#include "model/ProjectFile.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "model/EventPump.h"
#include "model/Model.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSaveFile>
#include <QTextStream>

#include <cmath>
#include <limits>

namespace {

const QString keyFileVersion = QStringLiteral("fileVersion");
const QString keyViewData = QStringLiteral("ViewData");

QString sensorKey(int k)
{
    return QStringLiteral("sensor %1").arg(k);
}

QString sensorNameKey(int k)
{
    return QStringLiteral("sensorName %1").arg(k);
}

QString imageKey(int i)
{
    return i == 0 ? QStringLiteral("projectImage") : QStringLiteral("projectImage%1").arg(i);
}

// Truncates towards zero like a plain cast, but absurd or non-finite values cannot leave
// the int range.
int truncatedInt(double value)
{
    if (!std::isfinite(value))
        return 0;
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

// An integer key: whole numbers in range are taken, anything else gives 0.
int integerValue(const QJsonValue& value)
{
    const double d = value.toDouble();
    if (!std::isfinite(d) || d != std::trunc(d) ||
        d < static_cast<double>(std::numeric_limits<int>::min()) ||
        d > static_cast<double>(std::numeric_limits<int>::max()))
        return 0;
    return static_cast<int>(d);
}

QString imageToText(const QImage& image)
{
    if (image.isNull())
        return QString();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QString::fromLatin1(png.toBase64());
}

QImage imageFromText(const QString& text)
{
    QImage image;
    if (!text.isEmpty())
        image.loadFromData(QByteArray::fromBase64(text.toUtf8()), "PNG");
    return image;
}

} // namespace

bool ProjectFile::save(Model& model, const QString& path)
{
    VTRACE() << "filename=" << path;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        qCWarning(lcModel).noquote()
            << "could not write file: " + path + " (" + file.errorString() + ")";
        return false;
    }
    EventPump pump;
    pump.now();
    const QString previousFileName = model.projectFileName();
    model.setProjectFileName(path);

    const ProjectData& data = model.projectData();
    QJsonObject root;
    root.insert(keyFileVersion, fileVersionText);
    root.insert(QStringLiteral("projectName"), data.name);
    root.insert(QStringLiteral("projectNumber"), data.number);
    root.insert(QStringLiteral("projectUser"), data.user);
    root.insert(QStringLiteral("projectDate"), data.date);
    root.insert(QStringLiteral("projectCustomer"), data.customer);
    root.insert(QStringLiteral("paramClosingForce"), data.closingForce);
    root.insert(QStringLiteral("paramInjectionTime"), data.injectionTime);
    root.insert(QStringLiteral("paramPressureTime"), data.pressTime);
    root.insert(QStringLiteral("paramPressure"), data.pressure);
    root.insert(QStringLiteral("clock"), model.clock());
    root.insert(QStringLiteral("comment"), model.comment());
    root.insert(QStringLiteral("kalvikType"), model.kalvikType());
    root.insert(QStringLiteral("hwVersion"), model.hwVersion());
    root.insert(QStringLiteral("swVersion"), model.swVersion());

    for (int i = 0; i < Model::numImages; ++i)
        root.insert(imageKey(i), imageToText(model.projectImage(i)));
    pump.now();

    const bool hasGroup = model.sensorDescription().numSensorGroups() > 0;
    for (int k = 1; k <= Model::numSensors; ++k)
        root.insert(sensorNameKey(k), model.sensorName(k - 1));
    pump.now();

    for (int k = 1; k <= Model::numSensors; ++k) {
        QJsonArray series;
        for (int j = 0; j < model.numChannels(k - 1); ++j) {
            QJsonArray samples;
            for (double v : *model.measurement(k - 1, j)) {
                samples.append(v);
                pump.maybe();
            }
            series.append(samples);
        }
        root.insert(sensorKey(k), series);
    }

    QJsonArray markers;
    for (int m : data.markers)
        markers.append(m);
    root.insert(QStringLiteral("markers"), markers);

    QJsonArray phases;
    for (const QString& name : data.phaseNames)
        phases.append(name);
    root.insert(QStringLiteral("phases"), phases);
    pump.now();

    QJsonArray corrections;
    for (int i = 0; i < Model::numSensors; ++i)
        corrections.append(model.offset(i));
    root.insert(QStringLiteral("corrections"), corrections);
    pump.now();

    QJsonArray minValues;
    QJsonArray maxValues;
    for (int i = 0; i < Model::numSensors; ++i) {
        const SensorGroup* group = hasGroup ? &model.sensorDescription().sensorGroup(0) : nullptr;
        minValues.append(group ? group->sensorMinimum(i) : 0.0);
        maxValues.append(group ? group->sensorMaximum(i) : 0.0);
    }
    root.insert(QStringLiteral("sensor minValues"), minValues);
    root.insert(QStringLiteral("sensor maxValues"), maxValues);
    pump.now();

    const ViewData& view = model.viewData();
    QJsonObject viewObject;
    viewObject.insert(QStringLiteral("checkBoxMarkerAbsolute"), view.checkBoxMarkerAbsolute);
    QJsonArray osziMin;
    QJsonArray osziMax;
    for (int i = 0; i < ViewData::numSensors; ++i) {
        osziMin.append(view.osziMinValues[static_cast<size_t>(i)]);
        osziMax.append(view.osziMaxValues[static_cast<size_t>(i)]);
    }
    viewObject.insert(QStringLiteral("osziMinValues"), osziMin);
    viewObject.insert(QStringLiteral("osziMaxValues"), osziMax);
    root.insert(keyViewData, viewObject);

    const QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Indented);
    root = QJsonObject();
    // QSaveFile only replaces the old file when every byte reached the disk.
    if (file.write(json) != json.size() || !file.commit()) {
        qCWarning(lcModel).noquote()
            << "ERROR: could not write file: " + path + " (" + file.errorString() + ")";
        file.cancelWriting();
        model.setProjectFileName(previousFileName);
        return false;
    }

    qCDebug(lcTrace) << "emit projectChanged()";
    emit model.projectChanged();
    model.setProjectModifiedFlag(false);
    return true;
}

bool ProjectFile::open(Model& model, const QString& path)
{
    qCDebug(lcModel).noquote() << "bool Model::open(const QString&)"
                               << "filename=" + path;
    QFile file(path);
    // Read as bytes: JSON treats a carriage return as white space, so text mode would
    // only cost a pass over the whole file.
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcModel).noquote() << "could not open file: " + path;
        return false;
    }
    QByteArray bytes = file.readAll();
    file.close();
    EventPump pump;
    pump.now();
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    bytes = QByteArray();
    pump.now();

    if (!document.isObject()) {
        qCWarning(lcModel).noquote() << " jdoc is no object!";
        return false;
    }
    const QJsonObject root = document.object();

    // The load below frees every sample list and lets the event loop run meanwhile.
    emit model.dataAboutToChange();
    const bool wasBlocked = model.blockSignals(true);
    model.clear();

    QString fileVersion = root.value(keyFileVersion).toString();
    if (fileVersion.isEmpty())
        fileVersion = QStringLiteral("6.0");
    qCDebug(lcModel).noquote() << " file version=" + fileVersion;

    ProjectData data = model.projectData();
    data.name = root.value(QStringLiteral("projectName")).toString();
    data.number = root.value(QStringLiteral("projectNumber")).toString();
    data.user = root.value(QStringLiteral("projectUser")).toString();
    data.date = root.value(QStringLiteral("projectDate")).toString();
    data.customer = root.value(QStringLiteral("projectCustomer")).toString();
    data.closingForce = integerValue(root.value(QStringLiteral("paramClosingForce")));
    data.injectionTime = root.value(QStringLiteral("paramInjectionTime")).toDouble();
    data.pressTime = root.value(QStringLiteral("paramPressureTime")).toDouble();
    data.pressure = integerValue(root.value(QStringLiteral("paramPressure")));
    model.setProjectData(data);
    model.setKalvikType(integerValue(root.value(QStringLiteral("kalvikType"))));
    model.setHwVersion(root.value(QStringLiteral("hwVersion")).toString());
    model.setSwVersion(root.value(QStringLiteral("swVersion")).toString());
    model.setComment(root.value(QStringLiteral("comment")).toString());
    model.setProjectFileName(QFileInfo(path).absoluteFilePath());
    pump.now();

    for (int i = 0; i < Model::numImages; ++i)
        model.setProjectImage(i, imageFromText(root.value(imageKey(i)).toString()));
    model.setClock(truncatedInt(root.value(QStringLiteral("clock")).toDouble()));
    pump.now();

    SensorDescription& description = model.sensorDescription();
    if (fileVersion.toInt() <= 6) {
        qCDebug(lcModel).noquote()
            << " file version < 7 -> using defaults (1 group, 5 sensors, distance)";
        description.setNumSensorGroups(1);
        SensorGroup& group = description.sensorGroup(0);
        group.setNumSensors(Model::numSensors);
        group.setName(QStringLiteral("Distance"));
        for (int i = 0; i < Model::numSensors; ++i) {
            group.setSensorName(i, root.value(sensorNameKey(i + 1)).toString());
            group.setSensorType(i, QStringLiteral("Distance"));
        }
    }

    for (int k = 1; k <= Model::numSensors; ++k) {
        const QJsonValue value = root.value(sensorKey(k));
        if (!value.isArray()) {
            qCWarning(lcModel).noquote() << QStringLiteral(" jSensor%1 is no array!").arg(k);
            continue;
        }
        const QJsonArray series = value.toArray();
        for (const QJsonValue shot : series) {
            SampleList& samples = *model.measurement(k - 1, model.appendSeries(k - 1));
            if (shot.isArray()) {
                const QJsonArray values = shot.toArray();
                samples.reserve(values.size());
                for (const QJsonValue v : values) {
                    samples.append(v.toDouble());
                    pump.maybe();
                }
            }
            if (k == 1)
                model.appendTimestamp();
            pump.maybe();
        }
    }

    const QJsonValue markers = root.value(QStringLiteral("markers"));
    if (markers.isArray()) {
        const QJsonArray array = markers.toArray();
        for (int i = 0; i < qMin(array.size(), ProjectData::numMarkers); ++i)
            model.setVerticalMarkerAbsolute(i, truncatedInt(array.at(i).toDouble()));
    } else {
        qCWarning(lcModel).noquote() << " jMarkers is no array!";
    }

    const QJsonValue phases = root.value(QStringLiteral("phases"));
    if (phases.isArray()) {
        const QJsonArray array = phases.toArray();
        for (int i = 0; i < qMin(array.size(), ProjectData::numPhases); ++i)
            model.setPhaseName(i, array.at(i).toString());
    } else {
        qCWarning(lcModel).noquote() << " jPhases is no array!";
    }

    description.setNumSensorGroups(1);
    description.sensorGroup(0).setNumSensors(Model::numSensors);
    qCDebug(lcTrace) << "numSensorGroups=" << description.numSensorGroups()
                     << " numSensors(0)=" << description.sensorGroup(0).numSensors();

    // Elements beyond the five sensors change nothing; the first one still meets the
    // range check, the rest are counted so an absurd array cannot flood the log.
    const auto readRange = [&](const QString& key, bool minimum, const char* noArray) {
        const QJsonValue value = root.value(key);
        if (!value.isArray()) {
            qCWarning(lcModel).noquote() << noArray;
            return;
        }
        const QJsonArray array = value.toArray();
        const int checked = qMin(array.size(), Model::numSensors + 1);
        for (int i = 0; i < checked; ++i) {
            const double v = array.at(i).toDouble();
            if (minimum) {
                model.setSensorMinimum(0, i, v);
                qCDebug(lcTrace) << " sensor minimum(" << i
                                 << ")=" << description.sensorGroup(0).sensorMinimum(i);
            } else {
                model.setSensorMaximum(0, i, v);
                qCDebug(lcTrace) << " sensor maximum(" << i
                                 << ")=" << description.sensorGroup(0).sensorMaximum(i);
            }
        }
        if (array.size() > checked)
            qCWarning(lcModel).noquote() << QStringLiteral(" %1: %2 further elements ignored")
                                                .arg(key)
                                                .arg(array.size() - checked);
    };
    readRange(QStringLiteral("sensor minValues"), true, " jMinValues is no array!");
    readRange(QStringLiteral("sensor maxValues"), false, " jMaxValues is no array!");
    pump.now();

    for (int i = 0; i < Model::numSensors; ++i) {
        const QJsonValue name = root.value(sensorNameKey(i + 1));
        model.setSensorName(i, name.isString() ? name.toString()
                                               : QStringLiteral("Sensor %1").arg(i + 1));
    }

    const QJsonValue corrections = root.value(QStringLiteral("corrections"));
    if (corrections.isArray()) {
        const QJsonArray array = corrections.toArray();
        for (int i = 0; i < qMin(array.size(), Model::numSensors); ++i) {
            model.setOffset(i, array.at(i).toDouble());
            qCDebug(lcTrace) << " offset[" << i << "]=" << model.offset(i);
        }
    } else {
        qCWarning(lcModel).noquote() << " jCorrections is no array!";
    }
    pump.now();

    QJsonObject viewObject;
    const QJsonValue viewValue = root.value(keyViewData);
    if (viewValue.isUndefined())
        qCWarning(lcModel).noquote() << "jViewData is undefined (key 'ViewData' not found)!";
    else if (!viewValue.isObject())
        qCWarning(lcModel).noquote() << "jViewData is no object!";
    else
        viewObject = viewValue.toObject();

    ViewData& view = model.viewData();
    view.checkBoxMarkerAbsolute =
        viewObject.value(QStringLiteral("checkBoxMarkerAbsolute")).toBool(true);
    const QJsonValue minValue = viewObject.value(QStringLiteral("osziMinValues"));
    const QJsonValue maxValue = viewObject.value(QStringLiteral("osziMaxValues"));
    if (!minValue.isArray())
        qCWarning(lcModel).noquote() << "jOsziMinArray is no array!";
    if (!maxValue.isArray())
        qCWarning(lcModel).noquote() << "jOsziMaxArray is no array!";
    const QJsonArray osziMin = minValue.toArray();
    const QJsonArray osziMax = maxValue.toArray();
    for (int i = 0; i < qMin(osziMin.size(), ViewData::numSensors); ++i) {
        double lo = osziMin.at(i).toDouble();
        double hi = i < osziMax.size() ? osziMax.at(i).toDouble() : 0.0;
        if (lo == hi) {
            lo = description.sensorGroup(0).sensorMinimum(i);
            hi = description.sensorGroup(0).sensorMaximum(i);
            qCDebug(lcModel).noquote()
                << "osziMin and osziMax not given or equal -> use sensor min/max values:" << lo
                << " , " << hi;
        }
        view.osziMinValues[static_cast<size_t>(i)] = lo;
        view.osziMaxValues[static_cast<size_t>(i)] = hi;
    }

    model.blockSignals(wasBlocked);
    qCDebug(lcTrace) << "emitting projectChanged()";
    emit model.projectChanged();
    qCDebug(lcTrace) << "emitting dataChanged()";
    emit model.dataChanged();
    qCDebug(lcTrace) << "emitting viewDataChanged()";
    emit model.viewDataChanged();
    model.setProjectModifiedFlag(false);
    return true;
}

bool ProjectFile::exportText(const Model& model, const QString& path)
{
    VTRACE() << "filename=" << path;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        qCWarning(lcModel).noquote() << "could not write file: " + path;
        return false;
    }
    const QLocale german(QLocale::German, QLocale::Germany);
    const ProjectData& data = model.projectData();
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << "Dateiname: " << QFileInfo(model.projectFileName()).fileName() << '\n';
    out << '\n';
    out << "Projekt: " << data.name << '\n';
    out << "Proj.Nr.: " << data.number << '\n';
    out << "Bearbeiter: " << data.user << '\n';
    out << "Datum: " << data.date << '\n';
    out << '\n';
    out << "Abtastrate: " << model.clock() << "ms" << '\n';
    for (int k = 1; k <= Model::numSensors; ++k) {
        out << "Sensor " << k << ": " << model.sensorName(k - 1) << '\n';
        for (int j = 0; j < model.numChannels(k - 1); ++j) {
            out << "data " << j << ';';
            const SampleList& samples = *model.measurement(k - 1, j);
            for (int s = 0; s < samples.size(); ++s) {
                if (s > 0)
                    out << ';';
                out << german.toString(samples.at(s), 'g', 6);
            }
            out << '\n';
        }
    }
    out.flush();
    if (out.status() != QTextStream::Ok || !file.commit()) {
        qCWarning(lcModel).noquote() << "ERROR: could not write file: " + path;
        return false;
    }
    return true;
}
