#include "control/ShotJournal.h"

#include "app/Logging.h"
#include "model/Model.h"
#include "store/JournalWriter.h"

#include <QDateTime>
#include <QDir>

#include <algorithm>
#include <limits>

ShotJournal::ShotJournal(Model* model, const QString& folder, QObject* parent)
    : QObject(parent)
    , m_model(model)
{
    m_reader = std::make_unique<Journal>(
        QStringLiteral("journal-reader-%1").arg(reinterpret_cast<quintptr>(this)));
    if (folder.isEmpty() || !QDir().mkpath(folder) || !m_reader->openOwn(folder)) {
        m_error = m_reader->error().isEmpty()
                      ? tr("Der Ordner %1 ist nicht beschreibbar.").arg(folder)
                      : m_reader->error();
        qCWarning(lcStore).noquote() << "ERROR: no journal in" << folder << ":" << m_error;
        m_reader.reset();
        return;
    }
    m_path = m_reader->path();
    m_session = m_reader->beginSession(QDateTime::currentDateTime());
    if (m_session == 0) {
        m_error = m_reader->error();
        qCWarning(lcStore).noquote() << "ERROR: journal" << m_path << ":" << m_error;
        m_reader.reset();
        return;
    }
    qCInfo(lcStore).noquote() << "journal" << m_path << "session" << m_session;

    m_thread.setObjectName(QStringLiteral("journal"));
    auto* writer = new JournalWriter(m_path);
    writer->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, writer, &QObject::deleteLater);
    connect(writer, &JournalWriter::failed, this, &ShotJournal::failed);
    connect(writer, &JournalWriter::shotFinished, this, &ShotJournal::shotFinished);
    m_writer = writer;
    m_thread.start();
    const qint64 session = m_session;
    post([session](JournalWriter* w) { w->open(session); });

    m_flush.setInterval(flushMs);
    connect(&m_flush, &QTimer::timeout, this, &ShotJournal::flush);
    connect(model, &Model::projectWritten, this, &ShotJournal::onProjectWritten);
}

ShotJournal::~ShotJournal()
{
    if (!m_writer)
        return;
    flush();
    // The end of the session is the writer's last call; only then does its thread end.
    post([](JournalWriter* w) {
        w->endSession();
        w->thread()->quit();
    });
    m_thread.wait();
}

template <typename Call>
void ShotJournal::post(Call call)
{
    JournalWriter* writer = m_writer;
    if (writer)
        QMetaObject::invokeMethod(
            writer, [writer, call] { call(writer); }, Qt::QueuedConnection);
}

QVector<Journal::Entry> ShotJournal::leftBehind() const
{
    QVector<Journal::Entry> entries;
    if (!m_reader)
        return entries;
    for (const Journal::Entry& entry : m_reader->unsaved()) {
        if (!entry.sessionEnded && entry.session != m_session)
            entries.append(entry);
    }
    return entries;
}

StoredShot ShotJournal::startRecord(int index)
{
    StoredShot meta;
    meta.id = QUuid::createUuid();
    // The journal keeps shots in time order; one without a time gets the time it started.
    meta.startedAt = m_model->timestamp(index);
    if (!meta.startedAt.isValid())
        meta.startedAt = QDateTime::currentDateTime();
    meta.clockMs = m_model->clock();
    meta.projectName = m_model->projectData().name;
    meta.projectNumber = m_model->projectData().number;
    meta.projectFile = m_model->projectFileName();
    const SensorDescription& description = m_model->sensorDescription();
    for (int k = 0; k < StoredShot::numSensors; ++k) {
        meta.sensorNames[static_cast<size_t>(k)] = m_model->sensorName(k);
        if (description.numSensorGroups() > 0)
            meta.sensorUnits[static_cast<size_t>(k)] = description.sensorGroup(0).sensorUnit(k);
    }
    m_model->setShotId(index, meta.id);
    return meta;
}

void ShotJournal::startShot(int index)
{
    if (!m_writer)
        return;
    finishShot(QString());
    const StoredShot meta = startRecord(index);
    m_running = meta.id;
    m_runningIndex = index;
    const int number = ++m_shotNumber;
    post([meta, number](JournalWriter* w) { w->beginShot(meta, number); });
    m_flush.start();
}

void ShotJournal::addWholeShot(int index)
{
    if (!m_writer || !m_model->measurement(0, index))
        return;
    // The journal's rows hold all five sensors: as many as every sensor has.
    int rows = std::numeric_limits<int>::max();
    for (int k = 0; k < StoredShot::numSensors; ++k) {
        const SampleList* samples = m_model->measurement(k, index);
        rows = std::min(rows, samples ? samples->size() : 0);
    }
    if (rows != m_model->measurement(0, index)->size())
        qCWarning(lcStore).noquote() << "journal: shot" << index + 1 << "kept with" << rows
                                     << "readings, the length of its shortest sensor";
    QVector<double> values;
    values.reserve(rows * StoredShot::numSensors);
    for (int r = 0; r < rows; ++r) {
        for (int k = 0; k < StoredShot::numSensors; ++k)
            values.append(m_model->measurement(k, index)->at(r));
    }
    const StoredShot meta = startRecord(index);
    const int number = ++m_shotNumber;
    post([meta, number, values](JournalWriter* w) {
        w->beginShot(meta, number);
        if (!values.isEmpty())
            w->appendRows(meta.id, values);
        w->finishShot(meta.id, QString());
    });
}

void ShotJournal::appendReadings(const QVector<double>& readings)
{
    if (m_running.isNull() || readings.size() != StoredShot::numSensors)
        return;
    m_pending += readings;
}

void ShotJournal::flush()
{
    if (m_pending.isEmpty() || m_running.isNull())
        return;
    const QUuid id = m_running;
    const QVector<double> rows = std::exchange(m_pending, QVector<double>());
    post([id, rows](JournalWriter* w) { w->appendRows(id, rows); });
}

void ShotJournal::finishShot(const QString& verdict)
{
    if (m_running.isNull())
        return;
    flush();
    m_flush.stop();
    const QUuid id = std::exchange(m_running, QUuid());
    m_runningIndex = -1;
    post([id, verdict](JournalWriter* w) { w->finishShot(id, verdict); });
}

void ShotJournal::discard(const QVector<QUuid>& ids)
{
    QVector<QUuid> live;
    for (const QUuid& id : ids) {
        if (!id.isNull())
            live.append(id);
    }
    if (!live.isEmpty())
        post([live](JournalWriter* w) { w->markDiscarded(live); });
}

void ShotJournal::restore(const QVector<QUuid>& ids)
{
    QVector<QUuid> live;
    for (const QUuid& id : ids) {
        if (!id.isNull())
            live.append(id);
    }
    if (!live.isEmpty())
        post([live](JournalWriter* w) { w->markUnsaved(live); });
}

void ShotJournal::discardAll()
{
    discard(m_model->shotIds(0, m_model->numChannels(0) - 1));
}

void ShotJournal::prune(int days, bool keepUnarchived)
{
    post([days, keepUnarchived](JournalWriter* w) { w->prune(days, keepUnarchived); });
}

void ShotJournal::onProjectWritten(const QString& path, int shots)
{
    // The running shot is in the file only up to the save; it counts once it is saved whole.
    QVector<QUuid> ids;
    const QVector<QUuid> written = m_model->shotIds(0, shots - 1);
    for (const QUuid& id : written) {
        if (!id.isNull() && id != m_running)
            ids.append(id);
    }
    const QString file = QDir(path).absolutePath();
    if (!ids.isEmpty())
        post([ids, file](JournalWriter* w) { w->markSaved(ids, file); });
}
