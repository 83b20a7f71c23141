#include "store/ArchiveForwarder.h"

#include "app/Logging.h"
#include "store/ArchiveStore.h"
#include "store/Journal.h"

#include <QTimer>

#include <algorithm>

ArchiveForwarder::ArchiveForwarder(const QString& journalPath, const QString& connection,
                                   const QString& station, QObject* parent)
    : QObject(parent)
    , m_journalPath(journalPath)
    , m_connection(connection)
    , m_station(station)
{
}

ArchiveForwarder::~ArchiveForwarder() = default;

void ArchiveForwarder::start()
{
    // Both connections belong to this thread.
    const QString tag = QString::number(reinterpret_cast<quintptr>(this));
    m_journal = std::make_unique<Journal>(QStringLiteral("archive-journal-") + tag);
    m_archive = std::make_unique<ArchiveStore>(QStringLiteral("archive-") + tag);
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &ArchiveForwarder::forward);
    if (!m_journal->open(m_journalPath)) {
        m_error = m_journal->error();
        qCWarning(lcStore).noquote() << "ERROR: archive: journal" << m_journalPath << ":" << m_error;
        emit stateChanged(false, 0, m_error);
        return;
    }
    forward();
}

void ArchiveForwarder::forwardNow()
{
    if (!m_timer)
        return;
    // While the server is away the retry keeps its own pace.
    if (m_archive->isOpen())
        m_timer->start(0);
}

void ArchiveForwarder::scheduleRetry()
{
    m_timer->start(m_retryMs);
    m_retryMs = std::min(2 * m_retryMs, maxRetryMs);
}

void ArchiveForwarder::forward()
{
    if (!m_journal || !m_journal->isOpen())
        return;
    if (!m_archive->isOpen() && !m_archive->open(m_connection)) {
        if (m_error != m_archive->error())
            qCWarning(lcStore).noquote() << "archive not reachable:" << m_archive->error();
        m_error = m_archive->error();
        emit stateChanged(false, m_journal->unarchivedCount(),
                          m_error);
        scheduleRetry();
        return;
    }
    const QVector<Journal::Entry> entries = m_journal->unarchived(batch);
    for (const Journal::Entry& entry : entries) {
        std::optional<StoredShot> shot = m_journal->read(entry.id);
        if (!shot) {
            qCWarning(lcStore).noquote()
                << "ERROR: archive: shot" << entry.id.toString() << "unreadable:" << m_journal->error();
            continue;
        }
        shot->station = m_station;
        if (!m_archive->write(*shot)) {
            m_error = m_archive->error();
            qCWarning(lcStore).noquote() << "archive: shot not written:" << m_error;
            emit stateChanged(m_archive->isOpen(),
                              m_journal->unarchivedCount(), m_error);
            scheduleRetry();
            return;
        }
        m_journal->markArchived(entry.id);
    }
    m_error.clear();
    m_retryMs = firstRetryMs;
    const int waiting = m_journal->unarchivedCount();
    emit stateChanged(true, waiting, QString());
    // More to send: go on after the events that waited meanwhile.
    if (entries.size() == batch)
        m_timer->start(0);
}
