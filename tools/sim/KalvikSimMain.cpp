// kalvik-sim: the Kalvik measuring box simulated on this PC, for people and scripts.
#include "tools/common/StickPath.h"
#include "tools/sim/KalvikSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

int fail(const QString& text)
{
    std::fprintf(stderr, "kalvik-sim: %s\n", qPrintable(text));
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kalvik-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulates the Kalvik measuring box: the device side of its line protocol on "
        "<host>:2222, and its USB stick of black-box files (the folder that stands for "
        "/media/usbstick/). Runs until it is ended."));
    parser.addHelpOption();
    const QCommandLineOption host(QStringLiteral("host"),
                                  QStringLiteral("Address to listen on (default 127.0.0.1)."),
                                  QStringLiteral("ADDR"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption stick(
        QStringLiteral("stick"),
        QStringLiteral("USB stick folder (default: $KALVIK_STICK_DIR, else %1). Day folders "
                       "are written to its data/ folder when it holds none.")
            .arg(QDir(QDir::tempPath()).absoluteFilePath(QStringLiteral("kalvik-stick"))),
        QStringLiteral("DIR"));
    const QCommandLineOption noSensorDescription(
        QStringLiteral("no-sensor-description"),
        QStringLiteral("Do not answer \"sensorDescription\" (the application's 700 ms default "
                       "applies: five sensors in mm, readings taken as micrometres)."));
    const QCommandLineOption micrometres(
        QStringLiteral("micrometres"),
        QStringLiteral("Readings in micrometres, the device's own unit (the default)."));
    const QCommandLineOption millimetres(
        QStringLiteral("millimetres"),
        QStringLiteral("Readings in millimetres with three decimals instead."));
    const QCommandLineOption projectDescription(
        QStringLiteral("project-description"),
        QStringLiteral("Add a project description to the device description."));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Fixed random seed: the same readings every run."),
                                  QStringLiteral("N"));
    const QCommandLineOption fault(
        QStringLiteral("fault"),
        QStringLiteral("Misbehave for tests; may be repeated or comma-separated: %1.")
            .arg(SimulatorOptions::faultNames().join(QStringLiteral(", "))),
        QStringLiteral("MODE"));
    const QCommandLineOption rate(
        QStringLiteral("rate"),
        QStringLiteral("\"device\": one value line per sample period (default); \"max\": as "
                       "fast as the connection takes them."),
        QStringLiteral("RATE"), QStringLiteral("device"));
    const QCommandLineOption cycle(
        QStringLiteral("cycle"),
        QStringLiteral("Length of a shot in ms, after which the device ends it (default 6000; "
                       "0: only \"run=0\" ends it)."),
        QStringLiteral("MS"), QStringLiteral("6000"));
    const QCommandLineOption rebootDelay(
        QStringLiteral("reboot-delay"),
        QStringLiteral("How long the device is away after \"reboot\", in ms (default 2000)."),
        QStringLiteral("MS"), QStringLiteral("2000"));
    parser.addOptions({host, stick, noSensorDescription, micrometres, millimetres,
                       projectDescription, seed, fault, rate, cycle, rebootDelay});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        return fail(
            QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));

    SimulatorOptions options;
    options.host = parser.value(host);
    options.stickDir = kalvikStickDir(parser.value(stick));
    options.sensorDescription = !parser.isSet(noSensorDescription);
    if (parser.isSet(micrometres) && parser.isSet(millimetres))
        return fail(QStringLiteral("--micrometres and --millimetres exclude each other"));
    options.micrometres = !parser.isSet(millimetres);
    options.projectDescription = parser.isSet(projectDescription);
    if (parser.isSet(seed)) {
        bool ok = false;
        options.seed = parser.value(seed).toUInt(&ok);
        if (!ok)
            return fail(QStringLiteral("--seed needs a whole number from 0 to 4294967295"));
        options.fixedSeed = true;
    }
    for (const QString& value : parser.values(fault)) {
        for (const QString& name : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            int one = 0;
            if (!SimulatorOptions::parseFault(name.trimmed(), &one))
                return fail(
                    QStringLiteral("unknown fault \"%1\"; known: %2")
                        .arg(name, SimulatorOptions::faultNames().join(QStringLiteral(", "))));
            options.faults |= one;
        }
    }
    if (parser.value(rate) == QLatin1String("max"))
        options.maxRate = true;
    else if (parser.value(rate) != QLatin1String("device"))
        return fail(QStringLiteral("--rate is \"device\" or \"max\""));
    bool ok = false;
    options.cycleMs = parser.value(cycle).toInt(&ok);
    if (!ok || options.cycleMs < 0)
        return fail(QStringLiteral("--cycle needs a number of milliseconds, 0 or more"));
    options.rebootDelayMs = parser.value(rebootDelay).toInt(&ok);
    if (!ok || options.rebootDelayMs < 0)
        return fail(QStringLiteral("--reboot-delay needs a number of milliseconds, 0 or more"));

    KalvikSimulator simulator(options);
    if (!simulator.start())
        return fail(simulator.errorString());
    std::fprintf(stderr, "kalvik-sim: listening on %s:%u, USB stick %s\n", qPrintable(options.host),
                 unsigned(simulator.serverPort()), qPrintable(simulator.stickPath()));
    return app.exec();
}
