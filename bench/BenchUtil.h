#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

// Shared pieces of the benchmarks: result lines in the form "name: value unit".
namespace bench {

inline void report(const char* name, double value, const char* unit)
{
    std::printf("%s: %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

// Peak resident memory of this process so far, in MB (Linux).
inline double peakRssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1.0;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1.0;
}

// The application's shot journal in a folder of the run's own unless VENTARO_DATA_DIR names
// one, so that a benchmark never leaves shots in the user's journal.
class PrivateDataDir
{
public:
    PrivateDataDir()
    {
        if (qEnvironmentVariableIsEmpty("VENTARO_DATA_DIR"))
            qputenv("VENTARO_DATA_DIR", m_dir.path().toLocal8Bit());
    }

private:
    QTemporaryDir m_dir;
};

} // namespace bench
