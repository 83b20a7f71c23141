#include "tools/sim/ShotLabels.h"

bool ShotLabels::open(const QString& path, const QString& keyName)
{
    m_file.close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        m_error = QStringLiteral("cannot write %1: %2").arg(path, m_file.errorString());
        return false;
    }
    return write(keyName.toUtf8() + ",fault\n");
}

bool ShotLabels::append(const QString& key, const ShotFault& fault)
{
    if (!m_file.isOpen())
        return false;
    return write(key.toUtf8() + ',' + ShotFault::name(fault.kind).toUtf8() + '\n');
}

bool ShotLabels::close()
{
    if (!m_file.isOpen())
        return true;
    const bool ok = m_file.flush() && m_file.error() == QFileDevice::NoError;
    if (!ok)
        m_error =
            QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), m_file.errorString());
    m_file.close();
    return ok;
}

bool ShotLabels::write(const QByteArray& line)
{
    if (m_file.write(line) != line.size() || !m_file.flush()) {
        m_error =
            QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), m_file.errorString());
        return false;
    }
    return true;
}
