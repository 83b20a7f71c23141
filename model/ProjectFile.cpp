#include "model/ProjectFile.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "model/Model.h"
#include "model/ProjectReader.h"
#include "model/ProjectWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>
#include <limits>

namespace {

// The longest sample period of the device, in milliseconds.
constexpr int maxClock = 1000;

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

ProjectDocument::Numbers numbers(const double* values, int count)
{
    ProjectDocument::Numbers result;
    result.values = QVector<double>(values, values + count);
    result.size = count;
    return result;
}

const QString wholeShotText = QStringLiteral("wholeShot");
const QString betweenMarkersText = QStringLiteral("betweenMarkers");

QVector<double> numbersOf(const std::array<double, ReferenceData::numSensors>& values)
{
    return QVector<double>(values.cbegin(), values.cend());
}

ProjectDocument::Reference referenceDocument(const ReferenceData& data)
{
    ProjectDocument::Reference ref;
    ref.clock = data.clockMs;
    ref.shotCount = data.shotCount;
    ProjectDocument::Numbers shots;
    for (int shot : data.taughtShots)
        shots.values.append(shot);
    shots.size = shots.values.size();
    ref.shots = shots;
    const QVector<double> tolerances = numbersOf(data.valueTolerance);
    ref.valueTolerance = numbers(tolerances.constData(), tolerances.size());
    ref.timeTolerance = data.timeToleranceMs;
    ref.minDuration = data.minDurationMs;
    ref.part =
        data.part == ReferenceData::Part::BetweenMarkers ? betweenMarkersText : wholeShotText;
    const double markers[] = {double(data.fromMarker), double(data.toMarker)};
    ref.partMarkers = numbers(markers, 2);
    ProjectDocument::Shots& mean = ref.mean.emplace();
    ProjectDocument::Shots& upper = ref.upper.emplace();
    ProjectDocument::Shots& lower = ref.lower.emplace();
    for (const ReferenceData::Sensor& sensor : data.sensors) {
        mean.append(sensor.mean);
        upper.append(sensor.coreUpper);
        lower.append(sensor.coreLower);
    }
    return ref;
}

// A whole number as stored, or -1 where the file holds something else; every count and
// index of the reference is at least 0, so -1 is refused by the check.
int wholeOrInvalid(double value)
{
    if (!std::isfinite(value) || value != std::trunc(value) || value < 0.0 ||
        value > static_cast<double>(std::numeric_limits<int>::max()))
        return -1;
    return static_cast<int>(value);
}

// The reference a document holds, or why it cannot be kept.
std::optional<ReferenceData> referenceOf(ProjectDocument::Reference& ref, QString* problem)
{
    const char* missing = !ref.clock            ? "referenceClock"
                          : !ref.shotCount      ? "referenceShotCount"
                          : !ref.shots          ? "referenceShots"
                          : !ref.valueTolerance ? "referenceValueTolerance"
                          : !ref.timeTolerance  ? "referenceTimeTolerance"
                          : !ref.minDuration    ? "referenceMinDuration"
                          : !ref.part           ? "referencePart"
                          : !ref.partMarkers    ? "referencePartMarkers"
                          : !ref.mean           ? "referenceMean"
                          : !ref.upper          ? "referenceUpper"
                          : !ref.lower          ? "referenceLower"
                                                : nullptr;
    if (missing) {
        *problem = QStringLiteral("%1 missing or of the wrong type").arg(QLatin1String(missing));
        return std::nullopt;
    }
    ReferenceData data;
    data.clockMs = *ref.clock;
    data.shotCount = wholeOrInvalid(*ref.shotCount);
    if (ref.shots->size != ref.shots->values.size()) {
        *problem = QStringLiteral("referenceShots incomplete");
        return std::nullopt;
    }
    for (double shot : ref.shots->values)
        data.taughtShots.append(wholeOrInvalid(shot));
    if (ref.valueTolerance->size != ReferenceData::numSensors) {
        *problem = QStringLiteral("referenceValueTolerance holds %1 numbers, not %2")
                       .arg(ref.valueTolerance->size)
                       .arg(ReferenceData::numSensors);
        return std::nullopt;
    }
    for (int k = 0; k < ReferenceData::numSensors; ++k)
        data.valueTolerance[static_cast<size_t>(k)] = ref.valueTolerance->values.at(k);
    data.timeToleranceMs = *ref.timeTolerance;
    data.minDurationMs = *ref.minDuration;
    if (*ref.part == wholeShotText) {
        data.part = ReferenceData::Part::WholeShot;
    } else if (*ref.part == betweenMarkersText) {
        data.part = ReferenceData::Part::BetweenMarkers;
    } else {
        *problem = QStringLiteral("referencePart \"%1\" unknown").arg(*ref.part);
        return std::nullopt;
    }
    if (ref.partMarkers->size != 2) {
        *problem = QStringLiteral("referencePartMarkers holds %1 numbers, not 2")
                       .arg(ref.partMarkers->size);
        return std::nullopt;
    }
    data.fromMarker = wholeOrInvalid(ref.partMarkers->values.at(0));
    data.toMarker = wholeOrInvalid(ref.partMarkers->values.at(1));
    const std::array<ProjectDocument::Shots*, 3> lists = {&*ref.mean, &*ref.upper, &*ref.lower};
    for (const ProjectDocument::Shots* list : lists) {
        if (list->size() != ReferenceData::numSensors) {
            *problem = QStringLiteral("band lists for %1 sensors, not %2")
                           .arg(list->size())
                           .arg(ReferenceData::numSensors);
            return std::nullopt;
        }
    }
    for (int k = 0; k < ReferenceData::numSensors; ++k) {
        ReferenceData::Sensor& sensor = data.sensors[static_cast<size_t>(k)];
        sensor.mean = std::move((*ref.mean)[k]);
        sensor.coreUpper = std::move((*ref.upper)[k]);
        sensor.coreLower = std::move((*ref.lower)[k]);
    }
    *problem = data.problem();
    if (!problem->isEmpty())
        return std::nullopt;
    return data;
}

// Marks the model busy with one file operation for as long as it lives.
class FileOperationScope
{
public:
    FileOperationScope(Model& model, Model::FileOperation operation)
        : m_model(model)
        , m_started(model.beginFileOperation(operation))
    {
    }
    ~FileOperationScope()
    {
        if (m_started)
            m_model.endFileOperation();
    }
    bool started() const { return m_started; }

private:
    Model& m_model;
    bool m_started;
};

// Writes path on the worker thread through QSaveFile, which replaces an earlier file only
// when every byte reached the disk.
bool writeFile(Model& model, const QString& path,
               const std::function<bool(QIODevice&, const Model::FileProgress&)>& write)
{
    QString failure;
    QString reason;
    const bool written = model.runFileWork([&](const Model::FileProgress& progress) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
            reason = file.errorString();
            failure = "could not write file: " + path + " (" + reason + ")";
            return false;
        }
        if (!write(file, progress) || !file.commit()) {
            reason = file.errorString();
            failure = "ERROR: could not write file: " + path + " (" + reason + ")";
            file.cancelWriting();
            return false;
        }
        return true;
    });
    model.setFileError(written ? QString() : reason);
    if (!written)
        qCWarning(lcModel).noquote() << failure;
    return written;
}

} // namespace

ProjectDocument ProjectFile::documentOf(const Model& model)
{
    ProjectDocument doc;
    const ProjectData& data = model.projectData();
    doc.fileVersion = fileVersionText;
    doc.projectName = data.name;
    doc.projectNumber = data.number;
    doc.projectUser = data.user;
    doc.projectDate = data.date;
    doc.projectCustomer = data.customer;
    doc.closingForce = data.closingForce;
    doc.injectionTime = data.injectionTime;
    doc.pressTime = data.pressTime;
    doc.pressure = data.pressure;
    doc.clock = model.clock();
    doc.comment = model.comment();
    doc.kalvikType = model.kalvikType();
    doc.hwVersion = model.hwVersion();
    doc.swVersion = model.swVersion();
    for (int i = 0; i < Model::numImages; ++i)
        doc.images[static_cast<size_t>(i)] = model.projectImage(i);

    for (int k = 0; k < Model::numSensors; ++k) {
        const auto sensor = static_cast<size_t>(k);
        doc.sensorNames[sensor] = model.sensorName(k);
        ProjectDocument::Shots& shots = doc.shots[sensor].emplace();
        shots.reserve(model.numChannels(k));
        // Copies share the samples; a line appended to the model meanwhile detaches the
        // model's list, not this one.
        for (int j = 0; j < model.numChannels(k); ++j)
            shots.append(*model.measurement(k, j));
    }

    double markers[ProjectData::numMarkers];
    for (int i = 0; i < ProjectData::numMarkers; ++i)
        markers[i] = data.markers[static_cast<size_t>(i)];
    doc.markers = numbers(markers, ProjectData::numMarkers);
    doc.phases = QStringList(data.phaseNames.cbegin(), data.phaseNames.cend());

    double offsets[Model::numSensors];
    double minima[Model::numSensors];
    double maxima[Model::numSensors];
    const SensorDescription& description = model.sensorDescription();
    const SensorGroup* group =
        description.numSensorGroups() > 0 ? &description.sensorGroup(0) : nullptr;
    for (int i = 0; i < Model::numSensors; ++i) {
        offsets[i] = model.offset(i);
        minima[i] = group ? group->sensorMinimum(i) : 0.0;
        maxima[i] = group ? group->sensorMaximum(i) : 0.0;
    }
    doc.corrections = numbers(offsets, Model::numSensors);
    doc.minValues = numbers(minima, Model::numSensors);
    doc.maxValues = numbers(maxima, Model::numSensors);

    const ViewData& view = model.viewData();
    doc.viewState = ProjectDocument::ViewState::Object;
    doc.markerAbsolute = view.checkBoxMarkerAbsolute;
    doc.osziMinValues = numbers(view.osziMinValues.data(), ViewData::numSensors);
    doc.osziMaxValues = numbers(view.osziMaxValues.data(), ViewData::numSensors);

    doc.timestamps = model.timestamps();
    if (group) {
        doc.sensorGroupName = group->name();
        QStringList types;
        QStringList units;
        for (int i = 0; i < qMin(group->numSensors(), Model::numSensors); ++i) {
            types << group->sensorType(i);
            units << group->sensorUnit(i);
        }
        doc.sensorTypes = types;
        doc.sensorUnits = units;
    }
    // Shots recorded here and a recording without gaps write nothing new.
    ProjectDocument::Numbers blackBox;
    for (int i = 0; i < model.numChannels(0); ++i) {
        if (model.isFromBlackBox(i))
            blackBox.values.append(i + 1);
    }
    if (!blackBox.values.isEmpty())
        doc.blackBoxShots = blackBox;
    if (!model.recordingGaps().isEmpty()) {
        QStringList gaps;
        for (const RecordingGap& gap : model.recordingGaps())
            gaps.append(gap.toText());
        doc.recordingGaps = gaps;
    }
    if (const ReferenceData* reference = model.reference())
        doc.reference = referenceDocument(*reference);
    // Only settings the user changed: a project without SPC stays as older versions wrote it.
    const SpcSettings& spc = model.spcSettings();
    if (!spc.isDefault()) {
        doc.spcValue = spc.value;
        doc.spcBase = spc.base;
        doc.spcRules = spc.rulesText();
        doc.spcLimits = spc.limitsTexts();
    }
    return doc;
}

bool ProjectFile::save(Model& model, const QString& path)
{
    VTRACE() << "filename=" << path;
    FileOperationScope scope(model, Model::FileOperation::Save);
    if (!scope.started())
        return false;
    const ProjectDocument document = documentOf(model);
    const quint64 changesBefore = model.changeCount();
    const bool written = writeFile(model, path, [&](QIODevice& file, const Model::FileProgress& p) {
        return ProjectWriter::writeProject(document, file, p);
    });
    if (!written)
        return false;

    model.setProjectFileName(path);
    emit model.projectWritten(path, document.shotCount());
    const bool changedMeanwhile = model.changeCount() != changesBefore;
    qCDebug(lcTrace) << "emit projectChanged()";
    emit model.projectChanged();
    // Lines or edits that arrived during the write are not in the file.
    if (changedMeanwhile) {
        qCDebug(lcModel) << "project changed while it was saved; it stays modified";
        model.setFileChangeCount(changesBefore);
    } else {
        model.setProjectModifiedFlag(false);
        model.setFileChangeCount(model.changeCount());
    }
    return true;
}

bool ProjectFile::open(Model& model, const QString& path)
{
    qCDebug(lcModel).noquote() << "bool Model::open(const QString&)"
                               << "filename=" + path;
    FileOperationScope scope(model, Model::FileOperation::Open);
    if (!scope.started())
        return false;
    QFile file(path);
    // Read as bytes: JSON treats a carriage return as white space.
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcModel).noquote() << "could not open file: " + path;
        return false;
    }
    ProjectDocument document;
    QString failure;
    const qint64 size = file.size();
    const bool read = model.runFileWork([&](const Model::FileProgress& progress) {
        return ProjectReader::read(file, size, document, failure, progress);
    });
    file.close();
    if (!read) {
        qCWarning(lcModel).noquote() << failure;
        return false;
    }
    takeOver(model, document, path);
    return true;
}

void ProjectFile::takeOver(Model& model, ProjectDocument& doc, const QString& path)
{
    // Every sample list is replaced below.
    emit model.dataAboutToChange();
    const bool wasBlocked = model.blockSignals(true);
    model.clear();

    QString fileVersion = doc.fileVersion;
    if (fileVersion.isEmpty())
        fileVersion = QStringLiteral("6.0");
    qCDebug(lcModel).noquote() << " file version=" + fileVersion;

    ProjectData data = model.projectData();
    data.name = doc.projectName;
    data.number = doc.projectNumber;
    data.user = doc.projectUser;
    data.date = doc.projectDate;
    data.customer = doc.projectCustomer;
    data.closingForce = doc.closingForce;
    data.injectionTime = doc.injectionTime;
    data.pressTime = doc.pressTime;
    data.pressure = doc.pressure;
    model.setProjectData(data);
    model.setKalvikType(doc.kalvikType);
    model.setHwVersion(doc.hwVersion);
    model.setSwVersion(doc.swVersion);
    model.setComment(doc.comment);
    model.setProjectFileName(QFileInfo(path).absoluteFilePath());
    for (int i = 0; i < Model::numImages; ++i)
        model.setProjectImage(i, doc.images[static_cast<size_t>(i)]);
    // The device samples every 1 to 1000 ms; a larger clock would overflow the time axis.
    int clock = truncatedInt(doc.clock);
    if (clock < 0 || clock > maxClock) {
        qCWarning(lcModel) << "clock out of range, clamped:" << clock;
        clock = qBound(0, clock, maxClock);
    }
    model.setClock(clock);

    SensorDescription& description = model.sensorDescription();
    if (fileVersion.toInt() <= 6) {
        qCDebug(lcModel).noquote()
            << " file version < 7 -> using defaults (1 group, 5 sensors, distance)";
        description.setNumSensorGroups(1);
        SensorGroup& group = description.sensorGroup(0);
        group.setNumSensors(Model::numSensors);
        group.setName(QStringLiteral("Distance"));
        for (int i = 0; i < Model::numSensors; ++i) {
            group.setSensorName(i, doc.sensorNames[static_cast<size_t>(i)].value_or(QString()));
            group.setSensorType(i, QStringLiteral("Distance"));
        }
    }

    for (int k = 0; k < Model::numSensors; ++k) {
        std::optional<ProjectDocument::Shots>& shots = doc.shots[static_cast<size_t>(k)];
        if (!shots) {
            qCWarning(lcModel).noquote() << QStringLiteral(" jSensor%1 is no array!").arg(k + 1);
            continue;
        }
        for (int j = 0; j < shots->size(); ++j) {
            model.appendSeries(k, std::move((*shots)[j]));
            if (k == 0) {
                const bool stamped = doc.timestamps && j < doc.timestamps->size();
                model.appendTimestamp(stamped ? doc.timestamps->at(j) : QDateTime());
            }
        }
        shots.reset();
    }

    if (doc.markers) {
        const QVector<double>& values = doc.markers->values;
        for (int i = 0; i < qMin(values.size(), ProjectData::numMarkers); ++i)
            model.setVerticalMarkerAbsolute(i, truncatedInt(values.at(i)));
    } else {
        qCWarning(lcModel).noquote() << " jMarkers is no array!";
    }

    if (doc.phases) {
        for (int i = 0; i < qMin(doc.phases->size(), ProjectData::numPhases); ++i)
            model.setPhaseName(i, doc.phases->at(i));
    } else {
        qCWarning(lcModel).noquote() << " jPhases is no array!";
    }

    description.setNumSensorGroups(1);
    SensorGroup& group = description.sensorGroup(0);
    group.setNumSensors(Model::numSensors);
    qCDebug(lcTrace) << "numSensorGroups=" << description.numSensorGroups()
                     << " numSensors(0)=" << group.numSensors();

    // Elements beyond the five sensors change nothing; the first one still meets the
    // range check, the rest are counted so an absurd array cannot flood the log.
    const auto readRange = [&](const std::optional<ProjectDocument::Numbers>& range,
                               const char* key, bool minimum, const char* noArray) {
        if (!range) {
            qCWarning(lcModel).noquote() << noArray;
            return;
        }
        for (int i = 0; i < range->values.size(); ++i) {
            const double v = range->values.at(i);
            if (minimum) {
                model.setSensorMinimum(0, i, v);
                qCDebug(lcTrace) << " sensor minimum(" << i << ")=" << group.sensorMinimum(i);
            } else {
                model.setSensorMaximum(0, i, v);
                qCDebug(lcTrace) << " sensor maximum(" << i << ")=" << group.sensorMaximum(i);
            }
        }
        if (range->size > range->values.size())
            qCWarning(lcModel).noquote() << QStringLiteral(" %1: %2 further elements ignored")
                                                .arg(QLatin1String(key))
                                                .arg(range->size - range->values.size());
    };
    readRange(doc.minValues, "sensor minValues", true, " jMinValues is no array!");
    readRange(doc.maxValues, "sensor maxValues", false, " jMaxValues is no array!");

    for (int i = 0; i < Model::numSensors; ++i) {
        const std::optional<QString>& name = doc.sensorNames[static_cast<size_t>(i)];
        model.setSensorName(i, name ? *name : QStringLiteral("Sensor %1").arg(i + 1));
    }
    // Kept by newer files only; older ones leave what the version rule set.
    if (doc.sensorGroupName)
        group.setName(*doc.sensorGroupName);
    for (int i = 0; doc.sensorTypes && i < doc.sensorTypes->size(); ++i)
        group.setSensorType(i, doc.sensorTypes->at(i));
    for (int i = 0; doc.sensorUnits && i < doc.sensorUnits->size(); ++i)
        group.setSensorUnit(i, doc.sensorUnits->at(i));

    if (doc.corrections) {
        const QVector<double>& values = doc.corrections->values;
        for (int i = 0; i < qMin(values.size(), Model::numSensors); ++i) {
            model.setOffset(i, values.at(i));
            qCDebug(lcTrace) << " offset[" << i << "]=" << model.offset(i);
        }
    } else {
        qCWarning(lcModel).noquote() << " jCorrections is no array!";
    }

    if (doc.viewState == ProjectDocument::ViewState::Missing)
        qCWarning(lcModel).noquote() << "jViewData is undefined (key 'ViewData' not found)!";
    else if (doc.viewState == ProjectDocument::ViewState::NotObject)
        qCWarning(lcModel).noquote() << "jViewData is no object!";
    ViewData& view = model.viewData();
    view.checkBoxMarkerAbsolute = doc.markerAbsolute.value_or(true);
    if (!doc.osziMinValues)
        qCWarning(lcModel).noquote() << "jOsziMinArray is no array!";
    if (!doc.osziMaxValues)
        qCWarning(lcModel).noquote() << "jOsziMaxArray is no array!";
    const QVector<double> osziMin =
        doc.osziMinValues ? doc.osziMinValues->values : QVector<double>();
    const QVector<double> osziMax =
        doc.osziMaxValues ? doc.osziMaxValues->values : QVector<double>();
    for (int i = 0; i < qMin(osziMin.size(), ViewData::numSensors); ++i) {
        double lo = osziMin.at(i);
        double hi = i < osziMax.size() ? osziMax.at(i) : 0.0;
        if (lo == hi) {
            lo = group.sensorMinimum(i);
            hi = group.sensorMaximum(i);
            qCDebug(lcModel).noquote()
                << "osziMin and osziMax not given or equal -> use sensor min/max values:" << lo
                << " , " << hi;
        }
        view.osziMinValues[static_cast<size_t>(i)] = lo;
        view.osziMaxValues[static_cast<size_t>(i)] = hi;
    }

    // A reference that cannot be judged with is dropped; the project itself still opens.
    if (doc.reference.anyKey()) {
        QString problem;
        if (std::optional<ReferenceData> reference = referenceOf(doc.reference, &problem))
            model.setReference(*reference);
        else
            qCWarning(lcModel).noquote() << "stored reference dropped: " + problem;
    }

    SpcSettings spc;
    spc.value = doc.spcValue.value_or(QString());
    spc.base = doc.spcBase.value_or(QString());
    spc.setRulesText(doc.spcRules.value_or(QString()));
    spc.setLimitsTexts(doc.spcLimits.value_or(QStringList()));
    model.setSpcSettings(spc);

    if (doc.blackBoxShots) {
        for (const double number : doc.blackBoxShots->values) {
            if (std::isfinite(number) && number >= 1 && number <= model.numChannels(0))
                model.setFromBlackBox(static_cast<int>(number) - 1, true);
        }
    }
    for (const QString& text : doc.recordingGaps.value_or(QStringList())) {
        RecordingGap gap;
        if (RecordingGap::fromText(text, &gap))
            model.addRecordingGap(gap);
        else
            qCWarning(lcModel).noquote() << "recording gap not read:" << text.left(80);
    }

    model.blockSignals(wasBlocked);
    qCDebug(lcTrace) << "emitting projectChanged()";
    emit model.projectChanged();
    qCDebug(lcTrace) << "emitting dataChanged()";
    emit model.dataChanged();
    qCDebug(lcTrace) << "emitting viewDataChanged()";
    emit model.viewDataChanged();
    model.setProjectModifiedFlag(false);
    model.setFileChangeCount(model.changeCount());
}

bool ProjectFile::exportText(Model& model, const QString& path)
{
    VTRACE() << "filename=" << path;
    FileOperationScope scope(model, Model::FileOperation::Export);
    if (!scope.started())
        return false;
    const ProjectDocument document = documentOf(model);
    const QString fileName = QFileInfo(model.projectFileName()).fileName();
    return writeFile(model, path, [&](QIODevice& file, const Model::FileProgress& p) {
        return ProjectWriter::writeText(document, fileName, file, p);
    });
}
