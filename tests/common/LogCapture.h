#pragma once

#include <QMutex>
#include <QStringList>
#include <QtGlobal>

// Collects every diagnostic line while it lives, so that tests can check the texts the
// program writes. Lines are not passed on, which keeps test logs readable; set
// VENTARO_TEST_LOG=1 to see them as well. Worker threads write diagnostics too, so the
// lines are guarded.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines() const;
    bool contains(const QString& text) const { return count(text) > 0; }
    int count(const QString& text) const;
    void clear();
    // All lines, for a failure message.
    QString dump() const { return lines().join(QLatin1Char('\n')); }

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& msg);

    mutable QMutex m_mutex;
    QStringList m_lines;
    QtMessageHandler m_previous = nullptr;
    LogCapture* m_outer = nullptr;
};
