// bench_link: how many value lines per second the connector delivers as messages when the
// simulated device streams them as fast as the loopback connection takes them. The device
// runs in a thread of its own (the other core); the connector in the main thread, as in the
// application. Target: 50 times the device's fastest rate of one line per millisecond.
#include "bench/BenchUtil.h"
#include "device/KalvikConnector.h"
#include "tools/sim/KalvikSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

constexpr double targetLinesPerSecond = 50.0 * 1000.0;
constexpr int overallTimeoutMs = 120000;

QString ownLoopbackAddress()
{
    const qint64 pid = QCoreApplication::applicationPid();
    return QStringLiteral("127.14.%1.%2").arg((pid / 250) % 250 + 1).arg(pid % 250 + 1);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("kalvik.sim.info=false"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Value lines per second through KalvikConnector."));
    parser.addHelpOption();
    const QCommandLineOption linesOption(QStringLiteral("lines"),
                                         QStringLiteral("Value lines to receive."),
                                         QStringLiteral("N"), QStringLiteral("200000"));
    const QCommandLineOption hostOption(QStringLiteral("host"),
                                        QStringLiteral("Loopback address to use."),
                                        QStringLiteral("ADDR"), ownLoopbackAddress());
    parser.addOptions({linesOption, hostOption});
    parser.process(app);
    bool ok = false;
    const qint64 wanted = parser.value(linesOption).toLongLong(&ok);
    if (!ok || wanted <= 0) {
        std::fprintf(stderr, "bench_link: --lines needs a positive number\n");
        return 2;
    }

    QTemporaryDir stick;
    SimulatorOptions options;
    options.host = parser.value(hostOption);
    options.stickDir = stick.path();
    options.generateStick = false;
    options.maxRate = true;
    options.cycleMs = 0;
    options.fixedSeed = true;
    options.seed = 1;

    // The device lives in its own thread: created, run and destroyed there.
    QThread deviceThread;
    deviceThread.start();
    auto* deviceContext = new QObject;
    deviceContext->moveToThread(&deviceThread);
    QObject::connect(&deviceThread, &QThread::finished, deviceContext, &QObject::deleteLater);
    std::unique_ptr<KalvikSimulator> device;
    QString startError;
    QMetaObject::invokeMethod(
        deviceContext,
        [&] {
            device = std::make_unique<KalvikSimulator>(options);
            if (!device->start())
                startError = device->errorString();
        },
        Qt::BlockingQueuedConnection);
    auto stopDevice = [&] {
        QMetaObject::invokeMethod(
            deviceContext, [&] { device.reset(); }, Qt::BlockingQueuedConnection);
        deviceThread.quit();
        deviceThread.wait();
    };
    if (!startError.isEmpty()) {
        std::fprintf(stderr, "bench_link: %s\n", qPrintable(startError));
        stopDevice();
        return 2;
    }

    KalvikConnector connector;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&connector, &KalvikConnector::connected, &loop, &QEventLoop::quit);
    QObject::connect(&connector, &KalvikConnector::error, &loop, &QEventLoop::quit);
    deadline.start(overallTimeoutMs);
    connector.connect(options.host);
    loop.exec();
    if (!connector.isConnected()) {
        std::fprintf(stderr, "bench_link: no connection to %s\n", qPrintable(options.host));
        stopDevice();
        return 1;
    }

    qint64 received = 0;
    qint64 elapsedMs = 0;
    QElapsedTimer clock;
    QObject::connect(&connector, &KalvikConnector::messageReceived, [&](const QString& message) {
        if (received >= wanted || message.isEmpty() ||
            !(message.at(0).isDigit() || message.at(0) == QLatin1Char('-')))
            return;
        if (++received == wanted) {
            elapsedMs = clock.elapsed();
            loop.quit();
        }
    });
    clock.start();
    connector.sendRunStart();
    loop.exec();
    const bool complete = received >= wanted;
    if (!complete)
        elapsedMs = clock.elapsed();
    connector.sendRunStop();
    connector.disconnectFromHost();
    stopDevice();

    const double seconds = qMax<qint64>(elapsedMs, 1) / 1000.0;
    const double rate = received / seconds;
    std::printf(
        "bench_link: value lines from the simulated device at its maximum rate, over %s:2222\n",
        qPrintable(options.host));
    bench::report("lines", double(received), "lines");
    bench::report("elapsed", double(elapsedMs), "ms");
    bench::report("lines_per_second", rate, "lines/s");
    std::printf("target: %.0f lines/s (50 x the device's fastest rate of 1 line/ms): %s\n",
                targetLinesPerSecond, rate >= targetLinesPerSecond ? "met" : "NOT met");
    if (!complete) {
        std::fprintf(stderr, "bench_link: only %lld of %lld lines arrived in time\n",
                     static_cast<long long>(received), static_cast<long long>(wanted));
        return 1;
    }
    return 0;
}
