#include "tests/common/LogCapture.h"

#include <QLoggingCategory>

static LogCapture* activeCapture = nullptr;

LogCapture::LogCapture()
    : m_outer(activeCapture)
{
    activeCapture = this;
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    activeCapture = m_outer;
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&m_mutex);
    return m_lines;
}

void LogCapture::clear()
{
    QMutexLocker lock(&m_mutex);
    m_lines.clear();
}

int LogCapture::count(const QString& text) const
{
    int n = 0;
    const QStringList all = lines();
    for (const QString& line : all) {
        if (line.contains(text))
            ++n;
    }
    return n;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext& context, const QString& msg)
{
    if (activeCapture) {
        {
            QMutexLocker lock(&activeCapture->m_mutex);
            activeCapture->m_lines.append(msg);
        }
        if (qEnvironmentVariableIntValue("VENTARO_TEST_LOG") && activeCapture->m_previous)
            activeCapture->m_previous(type, context, msg);
    }
    // Test framework failures and fatal messages must never be swallowed.
    if (type == QtFatalMsg && activeCapture && activeCapture->m_previous)
        activeCapture->m_previous(type, context, msg);
}
