#include "model/Model.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "model/BlackBoxFile.h"
#include "model/ProjectFile.h"

#include <algorithm>
#include <limits>

namespace {

const char* const defaultPhaseSources[ProjectData::numPhases] = {
    QT_TRANSLATE_NOOP("Model", "WZ schließen"), QT_TRANSLATE_NOOP("Model", "Einspritzzeit"),
    QT_TRANSLATE_NOOP("Model", "Nachdruckzeit"), QT_TRANSLATE_NOOP("Model", "Kühlzeit"),
    QT_TRANSLATE_NOOP("Model", "WZ öffnen")};

} // namespace

Model::Model(const QString& fileToOpen, QObject* parent)
    : QObject(parent)
{
    VTRACE();
    clear();
    if (!fileToOpen.isEmpty()) {
        qCDebug(lcModel).noquote() << "Model::Model(QString)"
                                   << " fileToOpen=" + fileToOpen;
        m_startFile = fileToOpen;
        m_startFileFailed = !open(fileToOpen);
    }
    connect(
        this, &Model::projectChanged, this, [this] { m_projectModified = true; },
        Qt::DirectConnection);
    connect(
        this, &Model::projectChanged, this, [this] { ++m_changeCount; }, Qt::DirectConnection);
    connect(
        this, &Model::dataChanged, this, [this] { ++m_changeCount; }, Qt::DirectConnection);
    setProjectModifiedFlag(false);
}

Model::~Model() = default;

void Model::clear()
{
    VTRACE();
    ++m_projectGeneration;
    m_projectData.clear();
    m_hwVersion.clear();
    m_swVersion = appVersion;
    m_lastDir.clear();
    m_comment.clear();
    m_projectFileName.clear();
    m_clock = 100;

    for (int i = 0; i < numSensors; ++i)
        setColor(static_cast<quint8>(i), SensorGroup::defaultColor(i));
    resetOffsets();

    for (int i = 0; i < ProjectData::numPhases; ++i) {
        m_defaultPhaseNames[static_cast<size_t>(i)] = tr(defaultPhaseSources[i]);
        setPhaseName(i, m_defaultPhaseNames[static_cast<size_t>(i)]);
    }

    // Equal counts keep the present sensors; only names and ranges are reset.
    m_sensorDescription.setNumSensorGroups(1);
    m_sensorDescription.sensorGroup(0).setNumSensors(numSensors);
    for (int i = 0; i < numSensors; ++i)
        m_sensorDescription.sensorGroup(0).setSensorName(i, QString());
    m_offsets.fill(0.0);
    for (int i = 0; i < numSensors; ++i) {
        m_sensorDescription.setSensorMinimum(0, i, -100000.0);
        m_sensorDescription.setSensorMaximum(0, i, 100000.0);
    }

    qCDebug(lcTrace).noquote() << Q_FUNC_INFO << " clearing images";
    m_projectImages.fill(QImage());
    m_reference.reset();
    m_spcSettings = SpcSettings();

    clearData();
    emit projectChanged();
}

void Model::clearData()
{
    VTRACE();
    emit dataAboutToChange();
    for (Series& series : m_measurements)
        series.clear();
    m_timestamps.clear();
    m_shotIds.clear();
    m_fromBlackBox.clear();
    // Gaps are in the shots' times: without shots they mark nothing.
    m_gaps.clear();
    ++m_dataRevision;
    emit dataChanged();
}

bool Model::hasData() const
{
    for (const Series& series : m_measurements) {
        if (!series.empty())
            return true;
    }
    return false;
}

int Model::numChannels(int sensor) const
{
    if (!isSensor(sensor)) {
        qCWarning(lcModel).noquote()
            << Q_FUNC_INFO + QStringLiteral(" ERROR: index out of range! (%1)").arg(sensor);
        return 0;
    }
    return static_cast<int>(m_measurements[static_cast<size_t>(sensor)].size());
}

SampleList* Model::measurement(int sensor, int index)
{
    return const_cast<SampleList*>(static_cast<const Model*>(this)->measurement(sensor, index));
}

const SampleList* Model::measurement(int sensor, int index) const
{
    if (!isSensor(sensor) || index < 0 || index >= numChannels(sensor))
        return nullptr;
    return m_measurements[static_cast<size_t>(sensor)][static_cast<size_t>(index)].get();
}

void Model::addMeasurement()
{
    VTRACE();
    for (int k = 0; k < numSensors; ++k)
        appendSeries(k);
    appendTimestamp();
    emit dataChanged();
}

int Model::appendSeries(int sensor)
{
    if (!isSensor(sensor))
        return -1;
    Series& series = m_measurements[static_cast<size_t>(sensor)];
    series.push_back(std::make_unique<SampleList>());
    ++m_dataRevision;
    return static_cast<int>(series.size()) - 1;
}

int Model::appendSeries(int sensor, SampleList&& samples)
{
    const int index = appendSeries(sensor);
    if (index >= 0)
        *m_measurements[static_cast<size_t>(sensor)].back() = std::move(samples);
    return index;
}

void Model::setReference(const ReferenceData& reference)
{
    m_reference = std::make_unique<ReferenceData>(reference);
    emit projectChanged();
}

void Model::clearReference()
{
    if (!m_reference)
        return;
    m_reference.reset();
    emit projectChanged();
}

void Model::setSpcSettings(const SpcSettings& settings)
{
    if (settings == m_spcSettings)
        return;
    m_spcSettings = settings;
    emit projectChanged();
}

void Model::appendTimestamp(const QDateTime& time)
{
    m_timestamps.append(time);
}

void Model::setShotId(int index, const QUuid& id)
{
    if (index < 0 || index >= numChannels(0))
        return;
    if (m_shotIds.size() <= index)
        m_shotIds.resize(index + 1);
    m_shotIds[index] = id;
}

void Model::setFromBlackBox(int index, bool fromBlackBox)
{
    if (index < 0 || index >= numChannels(0))
        return;
    if (m_fromBlackBox.size() <= index)
        m_fromBlackBox.resize(index + 1);
    m_fromBlackBox[index] = fromBlackBox;
}

void Model::addRecordingGap(const RecordingGap& gap)
{
    m_gaps.append(gap);
    std::stable_sort(m_gaps.begin(), m_gaps.end(),
                     [](const RecordingGap& a, const RecordingGap& b) { return a.from < b.from; });
    emit projectChanged();
}

void Model::setRecordingGap(int index, const RecordingGap& gap)
{
    if (index < 0 || index >= m_gaps.size() || m_gaps.at(index) == gap)
        return;
    m_gaps[index] = gap;
    emit projectChanged();
}

QVector<QUuid> Model::shotIds(int first, int last) const
{
    QVector<QUuid> ids;
    for (int i = std::max(first, 0); i <= last && i < numChannels(0); ++i)
        ids.append(m_shotIds.value(i));
    return ids;
}

void Model::appendSample(int sensor, int index, double value)
{
    SampleList* samples = measurement(sensor, index);
    if (!samples) {
        qCWarning(lcModel).noquote()
            << Q_FUNC_INFO +
                   QStringLiteral(" ERROR: index out of range! (%1, %2)").arg(sensor).arg(index);
        return;
    }
    samples->append(value);
    emit dataChanged();
}

bool Model::deleteChannel(int index)
{
    VTRACE();
    if (index >= 0) {
        if (index < static_cast<int>(m_measurements[0].size()))
            emit dataAboutToChange();
        for (Series& series : m_measurements) {
            if (index >= static_cast<int>(series.size()))
                return false;
            series.erase(series.begin() + index);
            ++m_dataRevision;
        }
        if (index < m_timestamps.size())
            m_timestamps.removeAt(index);
        if (index < m_shotIds.size())
            m_shotIds.removeAt(index);
        if (index < m_fromBlackBox.size())
            m_fromBlackBox.removeAt(index);
    }
    emit dataChanged();
    return true;
}

Model::TakenShot Model::shotAt(int index) const
{
    TakenShot shot;
    shot.index = index;
    for (int k = 0; k < numSensors; ++k) {
        if (const SampleList* samples = measurement(k, index))
            shot.samples[static_cast<size_t>(k)] = *samples;
    }
    if (index >= 0 && index < m_timestamps.size())
        shot.time = m_timestamps.at(index);
    if (index >= 0 && index < m_shotIds.size())
        shot.id = m_shotIds.at(index);
    shot.fromBlackBox = isFromBlackBox(index);
    return shot;
}

bool Model::restoreShot(const TakenShot& shot)
{
    const int index = shot.index;
    if (index < 0)
        return false;
    for (int k = 0; k < numSensors; ++k) {
        if (shot.samples[static_cast<size_t>(k)] &&
            index > static_cast<int>(m_measurements[static_cast<size_t>(k)].size()))
            return false;
    }
    for (int k = 0; k < numSensors; ++k) {
        const auto& samples = shot.samples[static_cast<size_t>(k)];
        if (!samples)
            continue;
        Series& series = m_measurements[static_cast<size_t>(k)];
        series.insert(series.begin() + index, std::make_unique<SampleList>(*samples));
        ++m_dataRevision;
    }
    // The lists beside the shots keep their places even for a shot without time or id.
    if (index <= m_timestamps.size())
        m_timestamps.insert(index, shot.time.value_or(QDateTime()));
    if (index <= m_shotIds.size())
        m_shotIds.insert(index, shot.id.value_or(QUuid()));
    if (index <= m_fromBlackBox.size())
        m_fromBlackBox.insert(index, shot.fromBlackBox);
    else if (shot.fromBlackBox)
        setFromBlackBox(index, true);
    emit dataChanged();
    return true;
}

double Model::minimumValue(int sensor, int index) const
{
    const SampleList* samples = measurement(sensor, index);
    if (!samples) {
        qCWarning(lcModel).noquote()
            << QStringLiteral(
                   "double Model::minimumValue(int, int) ERROR: index out of range! (%1)")
                   .arg(sensor);
        return 0.0;
    }
    double result = 9999999.0;
    for (double v : *samples)
        result = qMin(result, v);
    return result;
}

double Model::maximumValue(int sensor, int index) const
{
    const SampleList* samples = measurement(sensor, index);
    if (!samples) {
        qCWarning(lcModel).noquote()
            << QStringLiteral(
                   "double Model::maximumValue(int, int) ERROR: index out of range! (%1)")
                   .arg(sensor);
        return 0.0;
    }
    double result = -9999999.0;
    for (double v : *samples)
        result = qMax(result, v);
    return result;
}

double Model::overallMinimum(int sensor) const
{
    double result = 99999999.0;
    for (int i = 0; i < numChannels(sensor); ++i)
        result = qMin(result, minimumValue(sensor, i));
    return result;
}

double Model::overallMaximum(int sensor) const
{
    double result = -99999999.0;
    for (int i = 0; i < numChannels(sensor); ++i)
        result = qMax(result, maximumValue(sensor, i));
    return result;
}

double Model::latestValue(int group, int sensor) const
{
    qCDebug(lcTrace) << "group=" << group << " sensor=" << sensor;
    if (group > 0) {
        qCWarning(lcModel).noquote()
            << QStringLiteral(" ERROR: group out of range! (%1)").arg(group);
        return 0.0;
    }
    if (!isSensor(sensor)) {
        qCWarning(lcModel).noquote()
            << QStringLiteral(" ERROR: sensor out of range! (%1)").arg(sensor);
        return 0.0;
    }
    const Series& series = m_measurements[static_cast<size_t>(sensor)];
    if (series.empty() || series.back()->isEmpty())
        return 0.0;
    return series.back()->constLast();
}

QDateTime Model::timestamp(int index) const
{
    return m_timestamps.value(index);
}

void Model::setTimestamp(int index, const QDateTime& time)
{
    if (index < 0 || index >= m_timestamps.size())
        return;
    m_timestamps[index] = time;
    qCDebug(lcTrace) << "emit projectChanged()";
    emit projectChanged();
}

void Model::setVerticalMarkerAbsolute(int index, int pos)
{
    if (index < 0 || index >= ProjectData::numMarkers)
        return;
    auto& markers = m_projectData.markers;
    markers[static_cast<size_t>(index)] = pos;
    for (size_t i = static_cast<size_t>(index) + 1; i < markers.size(); ++i) {
        if (markers[i] < pos)
            markers[i] = pos;
    }
    emit projectChanged();
}

void Model::setVerticalMarkerRelative(int index, int pos)
{
    if (index < 0 || index >= ProjectData::numMarkers)
        return;
    auto& markers = m_projectData.markers;
    const size_t first = static_cast<size_t>(index);
    const int current = index == 0 ? markers[0] : markers[first] - markers[first - 1];
    // Computed wide so that an absurd entry cannot overflow; positions are clamped.
    const qint64 delta = static_cast<qint64>(pos) - current;
    for (size_t i = first; i < markers.size(); ++i)
        markers[i] = static_cast<int>(qBound<qint64>(
            std::numeric_limits<int>::min(), markers[i] + delta, std::numeric_limits<int>::max()));
    emit projectChanged();
}

int Model::verticalMarker(int index) const
{
    if (index < 0 || index >= ProjectData::numMarkers)
        return 0;
    return m_projectData.markers[static_cast<size_t>(index)];
}

QString Model::phaseName(int index) const
{
    if (index < 0 || index >= ProjectData::numPhases) {
        qCWarning(lcModel).noquote()
            << Q_FUNC_INFO << "ERROR: index>=size !" << index << ProjectData::numPhases;
        return QString();
    }
    return m_projectData.phaseNames[static_cast<size_t>(index)];
}

void Model::setPhaseName(int index, const QString& name)
{
    if (index < 0 || index >= ProjectData::numPhases)
        return;
    m_projectData.phaseNames[static_cast<size_t>(index)] = name;
    emit projectChanged();
}

void Model::retranslatePhaseNames()
{
    bool changed = false;
    for (int i = 0; i < ProjectData::numPhases; ++i) {
        const auto k = static_cast<size_t>(i);
        const QString now = tr(defaultPhaseSources[i]);
        QString& name = m_projectData.phaseNames[k];
        // The German source counts as a default too: a project of a German run opened in
        // English carries it.
        if (name != now &&
            (name == m_defaultPhaseNames[k] || name == QString::fromUtf8(defaultPhaseSources[i]))) {
            name = now;
            changed = true;
        }
        m_defaultPhaseNames[k] = now;
    }
    if (!changed)
        return;
    // Switching the language is no edit: no save question, no rewrite at quit. The file
    // takes the new names with the next save.
    const bool modified = m_projectModified;
    const bool sinceFile = changedSinceFile();
    emit projectChanged();
    m_projectModified = modified;
    if (!sinceFile)
        m_changeCountAtFile = m_changeCount;
}

void Model::setProjectData(const ProjectData& data)
{
    VTRACE();
    m_projectData = data;
    qCDebug(lcTrace) << "emit projectChanged()";
    emit projectChanged();
}

void Model::setComment(const QString& comment)
{
    if (comment == m_comment)
        return;
    m_comment = comment;
    emit projectChanged();
}

QString Model::sensorName(int i) const
{
    if (m_sensorDescription.numSensorGroups() == 0)
        return QString();
    return m_sensorDescription.sensorGroup(0).sensorName(i);
}

void Model::setSensorName(int i, const QString& name)
{
    if (m_sensorDescription.numSensorGroups() == 0)
        return;
    m_sensorDescription.sensorGroup(0).setSensorName(i, name);
    emit projectChanged();
}

void Model::setSensorMinimum(int group, int sensor, double value)
{
    m_sensorDescription.setSensorMinimum(group, sensor, value);
    emit projectChanged();
}

void Model::setSensorMaximum(int group, int sensor, double value)
{
    m_sensorDescription.setSensorMaximum(group, sensor, value);
    emit projectChanged();
}

double Model::offset(int i) const
{
    return isSensor(i) ? m_offsets[static_cast<size_t>(i)] : 0.0;
}

void Model::setOffset(int i, double value)
{
    if (!isSensor(i))
        return;
    m_offsets[static_cast<size_t>(i)] = value;
    emit projectChanged();
}

void Model::resetOffsets()
{
    m_offsets.fill(0.0);
    emit projectChanged();
}

QColor Model::color(quint8 index) const
{
    return index < numColors ? m_colors[index] : QColor();
}

void Model::setColor(quint8 index, const QColor& color)
{
    if (index >= numColors)
        return;
    m_colors[index] = color;
    emit projectChanged();
}

void Model::setProjectModifiedFlag(bool flag)
{
    m_projectModified = flag;
    if (flag)
        qCDebug(lcModel) << "***** MODEL CHANGED TRUE ***";
}

QImage Model::projectImage(int i) const
{
    return i >= 0 && i < numImages ? m_projectImages[static_cast<size_t>(i)] : QImage();
}

void Model::setProjectImage(int i, const QImage& image)
{
    if (i >= 0 && i < numImages)
        m_projectImages[static_cast<size_t>(i)] = image;
}

void Model::setClock(int clock)
{
    m_clock = clock;
    emit projectChanged();
}

bool Model::open(const QString& path)
{
    return ProjectFile::open(*this, path);
}

bool Model::save(const QString& path)
{
    return ProjectFile::save(*this, path);
}

bool Model::saveProject()
{
    VTRACE();
    if (m_projectFileName.isEmpty())
        return false;
    return save(m_projectFileName);
}

bool Model::exportText(const QString& path)
{
    return ProjectFile::exportText(*this, path);
}

bool Model::addBlackBoxFile(const QString& path)
{
    return BlackBoxFile::import(*this, path);
}

bool Model::beginFileOperation(FileOperation operation)
{
    if (m_fileOperation != FileOperation::None) {
        qCWarning(lcModel) << "ERROR: a file operation is running; another one is refused";
        return false;
    }
    m_fileOperation = operation;
    emit fileOperationStarted();
    return true;
}

bool Model::runFileWork(const FileWork& work)
{
    int lastPercent = -1;
    const FileProgress progress = [this, &lastPercent](int percent) {
        if (percent == lastPercent)
            return;
        lastPercent = percent;
        emit fileProgress(percent);
    };
    if (m_fileWorkRunner)
        return m_fileWorkRunner(work, progress);
    return work(progress);
}

void Model::endFileOperation()
{
    m_fileOperation = FileOperation::None;
    emit fileOperationFinished();
}
