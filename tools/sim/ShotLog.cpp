#include "tools/sim/ShotLog.h"

QString ShotLog::timeText(const QDateTime& deviceTime)
{
    return deviceTime.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

bool ShotLog::open(const QString& path)
{
    m_file.close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        m_error = QStringLiteral("cannot write %1: %2").arg(path, m_file.errorString());
        return false;
    }
    return write("shot,device_time,streamed\n");
}

bool ShotLog::append(qint64 shot, const QDateTime& deviceTime, bool streamed)
{
    if (!m_file.isOpen())
        return false;
    return write(QByteArray::number(shot) + ',' + timeText(deviceTime).toLatin1() + ',' +
                 (streamed ? '1' : '0') + '\n');
}

bool ShotLog::write(const QByteArray& line)
{
    if (m_file.write(line) != line.size() || !m_file.flush()) {
        m_error =
            QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), m_file.errorString());
        return false;
    }
    return true;
}
