#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

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

// The whole number after the option name among the program's arguments ("--shots 20"), at
// least minimum, or fallback when the option is not given.
inline int intOption(const QStringList& args, const QString& name, int fallback, int minimum = 0)
{
    const int at = args.indexOf(name);
    if (at < 0 || at + 1 >= args.size())
        return fallback;
    return std::max(minimum, args.at(at + 1).toInt());
}

// Runs the event loop until condition holds; the loop sleeps between events, so the
// waiting itself costs no CPU.
inline bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start(5);
    if (!condition())
        loop.exec();
    return condition();
}

// CPU time of the calling thread so far.
inline double threadCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The simulated device (build/bin/kalvik-sim) at its fastest rate, a value line per ms, on
// host (a loopback address), with its stick in stickDir; false when it did not start.
inline bool startDevice(QProcess& device, const QString& host, const QString& stickDir)
{
    device.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    device.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kalvik-sim"),
                 {QStringLiteral("--host"), host, QStringLiteral("--stick"), stickDir,
                  QStringLiteral("--seed"), QStringLiteral("1"), QStringLiteral("--cycle"),
                  QStringLiteral("0")});
    return device.waitForStarted(3000);
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
