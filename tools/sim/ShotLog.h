#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

// The simulated device's own record of the shots its machine made: a CSV file with the
// header "shot,device_time,streamed" and one line per cycle as its stick file is written,
// flushed at once, so that a run that is killed keeps every line of the shots it made.
// Tests and the benchmark count a recorded project against it.
class ShotLog
{
public:
    static QString timeText(const QDateTime& deviceTime);

    // Starts the file anew; false with errorString() when it cannot be written.
    bool open(const QString& path);
    bool isOpen() const { return m_file.isOpen(); }
    // streamed: the whole shot went to a computer live.
    bool append(qint64 shot, const QDateTime& deviceTime, bool streamed);
    QString errorString() const { return m_error; }

private:
    bool write(const QByteArray& line);

    QFile m_file;
    QString m_error;
};
