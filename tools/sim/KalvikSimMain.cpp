// kalvik-sim: the Kalvik measuring box simulated on this PC, for people and scripts.
#include "tools/common/StickPath.h"
#include "tools/sim/KalvikSimulator.h"
#include "tools/sim/ShotSetWriter.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

int fail(const QString& text)
{
    std::fprintf(stderr, "kalvik-sim: %s\n", qPrintable(text));
    return 2;
}

// The share of faulty shots when faults are asked for without one.
constexpr double defaultFaultRate = 0.2;

bool readCount(const QCommandLineParser& parser, const QCommandLineOption& option, int minimum,
               int* value)
{
    bool ok = false;
    *value = parser.value(option).toInt(&ok);
    return ok && *value >= minimum;
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
        "/media/usbstick/). Runs until it is ended.\n"
        "With --production the machine cycles by itself and the device writes every shot "
        "to the stick; after \"run=1\" it streams each following cycle until \"run=0\":\n"
        "  kalvik-sim --production [--machine-period MS] [--clock-offset S] "
        "[--fault drop [--drop-every N] [--drop-ms MIN-MAX]] [--shot-log FILE]\n"
        "With --write-project it writes a labelled set of shots into a project file "
        "instead and exits:\n"
        "  kalvik-sim --write-project OUT.mvx --shots N [--good-first K] [--fault-rate R] "
        "[--seed S] --labels OUT.csv"));
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
        QStringLiteral("Misbehave for tests; may be repeated or comma-separated: %1. With "
                       "--production, \"drop\" loses the link now and then instead of in "
                       "every shot.")
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
    const QCommandLineOption shotFault(
        QStringLiteral("shot-fault"),
        QStringLiteral("Faults of the moulding process that faulty shots carry; may be "
                       "repeated or comma-separated (default: all): %1.")
            .arg(ShotFault::names().join(QStringLiteral(", "))),
        QStringLiteral("KIND"));
    const QCommandLineOption faultRate(
        QStringLiteral("fault-rate"),
        QStringLiteral("Share of shots that carry a fault, 0 to 1 (default 0, or %1 with "
                       "--shot-fault or --write-project).")
            .arg(defaultFaultRate),
        QStringLiteral("R"));
    const QCommandLineOption labels(
        QStringLiteral("labels"),
        QStringLiteral("CSV file of each shot's fault, written anew: \"shot,fault\" with "
                       "shots numbered from 1 in the order sent and \"none\" for a good "
                       "shot (with --production: every cycle by its number, as in "
                       "--shot-log). Black-box files written to an empty stick are labelled in "
                       "FILE with \"-blackbox\" added to its name (\"file,fault\")."),
        QStringLiteral("FILE"));
    const QCommandLineOption writeProject(
        QStringLiteral("write-project"),
        QStringLiteral("Write a project file of simulated shots (5 sensors in \u00B5m) and "
                       "exit; needs --shots and --labels. No connection is served."),
        QStringLiteral("FILE"));
    const QCommandLineOption shots(QStringLiteral("shots"),
                                   QStringLiteral("Shots in the project file, 1 or more."),
                                   QStringLiteral("N"));
    const QCommandLineOption goodFirst(
        QStringLiteral("good-first"),
        QStringLiteral("The first K shots of the project file are good (default 0)."),
        QStringLiteral("K"), QStringLiteral("0"));
    const QCommandLineOption period(
        QStringLiteral("period"),
        QStringLiteral("Sample period of the project file in ms (default 100, as the "
                       "application asks of the device)."),
        QStringLiteral("MS"), QStringLiteral("100"));
    const QCommandLineOption production(
        QStringLiteral("production"),
        QStringLiteral("Machine mode: a cycle every --machine-period whether or not a computer "
                       "is connected, each shot written to the stick with the device's clock; "
                       "after \"run=1\" every following cycle is streamed (\"run=1\", its "
                       "values, \"run=0\") until \"run=0\" or the connection ends. The "
                       "stick starts as it is, without generated days."));
    const QCommandLineOption machinePeriod(
        QStringLiteral("machine-period"),
        QStringLiteral("Machine mode: from one cycle's start to the next, in ms (default "
                       "--cycle + 4000; at least --cycle + 200 and at least 1000)."),
        QStringLiteral("MS"));
    const QCommandLineOption clockOffset(
        QStringLiteral("clock-offset"),
        QStringLiteral("Machine mode: the device's clock ahead of this computer's by SECONDS "
                       "(negative: behind), in stick file names and times (default 0)."),
        QStringLiteral("SECONDS"), QStringLiteral("0"));
    const QCommandLineOption dropEvery(
        QStringLiteral("drop-every"),
        QStringLiteral("Machine mode with --fault drop: the link is lost in every N-th cycle "
                       "(default 25)."),
        QStringLiteral("N"), QStringLiteral("25"));
    const QCommandLineOption dropMs(
        QStringLiteral("drop-ms"),
        QStringLiteral("Machine mode with --fault drop: connections are refused for a random "
                       "time from MIN to MAX ms after each loss (default 2000-20000; --seed "
                       "fixes it)."),
        QStringLiteral("MIN-MAX"), QStringLiteral("2000-20000"));
    const QCommandLineOption shotLog(
        QStringLiteral("shot-log"),
        QStringLiteral("Machine mode: CSV file, written anew, of every shot the machine made, "
                       "as its stick file is written: \"shot,device_time,streamed\" (number "
                       "from 1, device time yyyy-MM-ddTHH:mm:ss, 1 when the whole shot went "
                       "to a computer live)."),
        QStringLiteral("FILE"));
    const QCommandLineOption fillStick(
        QStringLiteral("fill-stick"),
        QStringLiteral("Machine mode: write three days of old shots to an empty stick first, "
                       "as without --production."));
    parser.addOptions({host, stick, noSensorDescription, micrometres, millimetres,
                       projectDescription, seed, fault, rate, cycle, rebootDelay, shotFault,
                       faultRate, labels, writeProject, shots, goodFirst, period});
    parser.addOptions(
        {production, machinePeriod, clockOffset, dropEvery, dropMs, shotLog, fillStick});
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

    for (const QString& value : parser.values(shotFault)) {
        for (const QString& name : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            ShotFault::Kind kind = ShotFault::Kind::None;
            if (!ShotFault::parse(name.trimmed(), &kind))
                return fail(QStringLiteral("unknown shot fault \"%1\"; known: %2")
                                .arg(name, ShotFault::names().join(QStringLiteral(", "))));
            if (!options.shotFaultKinds.contains(kind))
                options.shotFaultKinds.append(kind);
        }
    }
    if (parser.isSet(faultRate)) {
        options.shotFaultRate = parser.value(faultRate).toDouble(&ok);
        if (!ok || !(options.shotFaultRate >= 0.0 && options.shotFaultRate <= 1.0))
            return fail(QStringLiteral("--fault-rate needs a number from 0 to 1"));
    } else if (parser.isSet(shotFault) || parser.isSet(writeProject)) {
        options.shotFaultRate = defaultFaultRate;
    }
    options.labelsPath = parser.value(labels);

    options.production = parser.isSet(production);
    const bool machineOnly = parser.isSet(machinePeriod) || parser.isSet(clockOffset) ||
                             parser.isSet(dropEvery) || parser.isSet(dropMs) ||
                             parser.isSet(shotLog) || parser.isSet(fillStick);
    if (machineOnly && !options.production)
        return fail(QStringLiteral("--machine-period, --clock-offset, --drop-every, --drop-ms, "
                                   "--shot-log and --fill-stick need --production"));
    if (options.production) {
        if (options.cycleMs <= 0)
            return fail(QStringLiteral("--production needs a --cycle above 0"));
        options.generateStick = parser.isSet(fillStick);
        if (parser.isSet(machinePeriod)) {
            options.machinePeriodMs = parser.value(machinePeriod).toInt(&ok);
            if (!ok || options.machinePeriodMs < options.machinePeriodFloor())
                return fail(QStringLiteral("--machine-period needs %1 ms or more")
                                .arg(options.machinePeriodFloor()));
        }
        options.clockOffsetSeconds = parser.value(clockOffset).toInt(&ok);
        if (!ok)
            return fail(QStringLiteral("--clock-offset needs a whole number of seconds"));
        if (!readCount(parser, dropEvery, 1, &options.dropEveryCycles))
            return fail(QStringLiteral("--drop-every needs a whole number, 1 or more"));
        const QStringList range = parser.value(dropMs).split(QLatin1Char('-'));
        bool minOk = false;
        bool maxOk = false;
        if (range.size() == 2) {
            options.dropMinMs = range.at(0).toInt(&minOk);
            options.dropMaxMs = range.at(1).toInt(&maxOk);
        }
        if (!minOk || !maxOk || options.dropMinMs < 0 || options.dropMaxMs < options.dropMinMs)
            return fail(QStringLiteral("--drop-ms needs MIN-MAX in ms, 0 <= MIN <= MAX"));
        options.shotLogPath = parser.value(shotLog);
    }

    if (parser.isSet(writeProject)) {
        if (options.production)
            return fail(QStringLiteral("--write-project and --production exclude each other"));
        ShotSetWriter::Settings settings;
        if (!parser.isSet(shots) || !readCount(parser, shots, 1, &settings.shots))
            return fail(QStringLiteral("--write-project needs --shots with 1 or more"));
        if (!readCount(parser, goodFirst, 0, &settings.goodFirst))
            return fail(QStringLiteral("--good-first needs a whole number, 0 or more"));
        if (!readCount(parser, period, 1, &settings.samplePeriodMs))
            return fail(QStringLiteral("--period needs a number of milliseconds, 1 or more"));
        if (options.labelsPath.isEmpty())
            return fail(QStringLiteral("--write-project needs --labels"));
        if (options.cycleMs < settings.samplePeriodMs)
            return fail(QStringLiteral("--cycle must hold at least one sample period"));
        QString error;
        if (!ShotSetWriter::write(parser.value(writeProject), settings, options, &error)) {
            std::fprintf(stderr, "kalvik-sim: %s\n", qPrintable(error));
            return 1;
        }
        return 0;
    }

    KalvikSimulator simulator(options);
    if (!simulator.start())
        return fail(simulator.errorString());
    std::fprintf(stderr, "kalvik-sim: listening on %s:%u, USB stick %s\n", qPrintable(options.host),
                 unsigned(simulator.serverPort()), qPrintable(simulator.stickPath()));
    return app.exec();
}
