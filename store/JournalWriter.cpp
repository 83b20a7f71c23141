#include "store/JournalWriter.h"

#include "app/Logging.h"


JournalWriter::JournalWriter(const QString& path, QObject* parent)
    : QObject(parent)
    , m_path(path)
{
}

JournalWriter::~JournalWriter() = default;

void JournalWriter::open(qint64 session)
{
    // The connection belongs to the thread that opens it.
    m_journal = std::make_unique<Journal>(
        QStringLiteral("journal-writer-%1").arg(reinterpret_cast<quintptr>(this)));
    if (!m_journal->open(m_path)) {
        report(false);
        m_journal.reset();
        return;
    }
    m_session = session;
}

void JournalWriter::beginShot(const StoredShot& meta, int number)
{
    if (m_journal)
        report(m_journal->beginShot(meta, m_session, number));
}

void JournalWriter::appendRows(const QUuid& id, const QVector<double>& rows)
{
    if (m_journal && !rows.isEmpty())
        report(m_journal->appendRows(id, rows));
}

void JournalWriter::finishShot(const QUuid& id, const QString& verdict)
{
    if (!m_journal)
        return;
    const bool ok = m_journal->finishShot(id, verdict);
    report(ok);
    if (ok)
        emit shotFinished(id);
}

void JournalWriter::markSaved(const QVector<QUuid>& ids, const QString& file)
{
    if (m_journal && !ids.isEmpty())
        report(m_journal->markSaved(ids, file));
}

void JournalWriter::markDiscarded(const QVector<QUuid>& ids)
{
    if (m_journal && !ids.isEmpty())
        report(m_journal->markDiscarded(ids));
}

void JournalWriter::markUnsaved(const QVector<QUuid>& ids)
{
    if (m_journal && !ids.isEmpty())
        report(m_journal->markUnsaved(ids));
}

void JournalWriter::endSession()
{
    if (m_journal && m_session != 0)
        report(m_journal->endSession(m_session));
}

void JournalWriter::prune(int days, bool keepUnarchived)
{
    if (!m_journal)
        return;
    const int removed = m_journal->prune(days, keepUnarchived);
    report(removed >= 0);
    if (removed > 0)
        qCInfo(lcStore) << "journal: pruned" << removed << "shots older than" << days << "days";
}

void JournalWriter::report(bool ok)
{
    if (ok) {
        m_lastError.clear();
        return;
    }
    const QString error = m_journal ? m_journal->error() : QStringLiteral("journal not open");
    if (error == m_lastError)
        return;
    m_lastError = error;
    qCWarning(lcStore).noquote() << "ERROR: journal" << m_path << ":" << error;
    emit failed(error);
}
