#include "analysis/VerdictCommand.h"

#include "analysis/ReferenceBand.h"
#include "analysis/ShotJudge.h"
#include "app/CommandOutput.h"
#include "model/Model.h"
#include "model/ShotRangeText.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace VerdictCommand {

namespace {

using CommandOutput::csvField;

// Numbers for machines: a point as decimal mark, no group separators; empty where the
// samples were missing.
QString number(double value)
{
    return std::isfinite(value) ? QString::number(value, 'g', 10) : QString();
}

bool readTolerance(const QCommandLineParser& parser, const QString& name, double* value,
                   QString* error)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    *value = parser.value(name).toDouble(&ok);
    if (!ok || !std::isfinite(*value) || *value < 0) {
        *error = QStringLiteral("--%1 takes a number of at least 0, not \"%2\"")
                     .arg(name, parser.value(name));
        return false;
    }
    return true;
}

// Teaches band from the shots rangeText names; an exit code and, unless Success, its
// message.
int teachFrom(const Model& model, const QString& rangeText, ReferenceBand* band, QString* error)
{
    const int shots = model.numChannels(0);
    const ShotRangeText::ShotRanges ranges = ShotRangeText::parseShotRanges(rangeText);
    if (ranges.syntaxError || ranges.parts.isEmpty()) {
        *error = QStringLiteral("--teach: \"%1\" is no list of shot numbers").arg(rangeText);
        return UsageError;
    }
    for (const ShotRangeText::ShotRange& part : ranges.parts) {
        if (part.first < 1 || part.last > shots || part.first > part.last) {
            *error = QStringLiteral("--teach: %1 is outside the project's shots 1-%2")
                         .arg(part.text.trimmed())
                         .arg(shots);
            return DataError;
        }
    }
    QVector<ShotSamples> taughtShots;
    for (const int n : ShotRangeText::shotNumbers(ranges, shots))
        taughtShots.append(ShotJudge::shotOf(model, n - 1));
    ReferenceBand::TeachResult taught = ReferenceBand::teach(taughtShots, model.clock());
    if (!taught.ok) {
        *error = taught.error;
        return DataError;
    }
    *band = std::move(taught.band);
    return Success;
}

} // namespace

int run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Judges every shot of a Ventaro project against a reference band taught from good "
        "shots and prints one CSV line per shot:\n"
        "shot,verdict,sensor,phase,time_ms,deviation,samples_outside\n"
        "Shots and sensors count from 1; the detail fields stay empty for OK. Exit status: 0 "
        "done, 1 the project or its shots do not allow it, 2 wrong usage."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("verdict"), QStringLiteral("The command."));
    parser.addPositionalArgument(QStringLiteral("PROJECT.mvx"),
                                 QStringLiteral("The project file to judge."));
    parser.addOption({QStringLiteral("teach"),
                      QStringLiteral("Teach the reference from these good shots, written as "
                                     "in the application: \"1-50\" or \"1-20,25,30-40\"; at "
                                     "least 3 shots."),
                      QStringLiteral("RANGES")});
    parser.addOption(
        {QStringLiteral("use-stored"), QStringLiteral("Use the reference stored in the project.")});
    parser.addOption({QStringLiteral("value-tolerance"),
                      QStringLiteral("Widen the band by X in each sensor's unit (default: "
                                     "from the taught shots' spread)."),
                      QStringLiteral("X")});
    parser.addOption({QStringLiteral("time-tolerance"),
                      QStringLiteral("Let movements come up to MS milliseconds earlier or "
                                     "later (default: from the taught shots)."),
                      QStringLiteral("MS")});
    parser.addOption({QStringLiteral("min-duration"),
                      QStringLiteral("Reject a shot only where it stays outside for at "
                                     "least MS milliseconds (default: three samples)."),
                      QStringLiteral("MS")});

    const auto usage = [&err](const QString& text) { return CommandOutput::usage(err, text); };
    const auto dataError = [&err](const QString& text) {
        return CommandOutput::dataError(err, text);
    };

    if (int exitCode = Success; !CommandOutput::parse(parser, arguments, out, err, &exitCode))
        return exitCode;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2 || positional.at(0) != QLatin1String("verdict"))
        return usage(QStringLiteral("expected: verdict PROJECT.mvx"));
    const bool teach = parser.isSet(QStringLiteral("teach"));
    if (teach == parser.isSet(QStringLiteral("use-stored")))
        return usage(QStringLiteral("give either --teach RANGES or --use-stored"));
    ReferenceSettings overrides;
    QString error;
    const bool valueGiven = parser.isSet(QStringLiteral("value-tolerance"));
    double valueTolerance = 0.0;
    if (!readTolerance(parser, QStringLiteral("value-tolerance"), &valueTolerance, &error) ||
        !readTolerance(parser, QStringLiteral("time-tolerance"), &overrides.timeToleranceMs,
                       &error) ||
        !readTolerance(parser, QStringLiteral("min-duration"), &overrides.minDurationMs, &error))
        return usage(error);

    const QString path = positional.at(1);
    if (!QFileInfo(path).isFile())
        return dataError(QStringLiteral("no project file %1").arg(path));
    Model model;
    if (!model.open(path))
        return dataError(QStringLiteral("%1 cannot be read as a project").arg(path));
    const int shots = model.numChannels(0);
    ReferenceBand band;
    if (teach) {
        const int code = teachFrom(model, parser.value(QStringLiteral("teach")), &band, &error);
        if (code == UsageError)
            return usage(error);
        if (code != Success)
            return dataError(error);
    } else {
        if (!model.reference())
            return dataError(QStringLiteral("%1 holds no stored reference").arg(path));
        const std::optional<ReferenceBand> stored = ReferenceBand::fromData(*model.reference());
        if (!stored)
            return dataError(QStringLiteral("%1: the stored reference cannot be used").arg(path));
        // A band lies on the time axis of its clock; shots of another clock would be judged
        // against the wrong moments.
        const double clock = std::max(1, model.clock());
        if (stored->clockMs() != clock)
            return dataError(QStringLiteral("%1: the stored reference was taught at %2 ms per "
                                            "sample, the shots are recorded at %3 ms")
                                 .arg(path)
                                 .arg(stored->clockMs())
                                 .arg(clock));
        band = *stored;
    }

    ReferenceSettings settings = band.settings();
    if (valueGiven)
        settings.valueTolerance.fill(valueTolerance);
    if (parser.isSet(QStringLiteral("time-tolerance")))
        settings.timeToleranceMs = overrides.timeToleranceMs;
    if (parser.isSet(QStringLiteral("min-duration")))
        settings.minDurationMs = overrides.minDurationMs;
    band.setSettings(settings);

    const ShotJudge judge(band, model.projectData());

    out << "shot,verdict,sensor,phase,time_ms,deviation,samples_outside\n";
    for (int i = 0; i < shots; ++i) {
        const Verdict verdict = judge.judge(ShotJudge::shotOf(model, i));
        out << i + 1 << ',' << verdict.verdictText();
        if (verdict.isOk())
            out << ",,,,,";
        else
            out << ',' << verdict.sensor + 1 << ',' << csvField(verdict.phaseName) << ','
                << number(verdict.timeMs) << ',' << number(verdict.deviation) << ','
                << verdict.samplesOutside;
        out << '\n';
    }
    out.flush();
    return Success;
}

} // namespace VerdictCommand
