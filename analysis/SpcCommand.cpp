#include "analysis/SpcCommand.h"

#include "analysis/Spc.h"
#include "analysis/SpcValues.h"
#include "app/CommandOutput.h"
#include "model/Model.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>

namespace SpcCommand {

namespace {

using CommandOutput::Success;
using CommandOutput::UsageError;

// The records of a CSV text: comma separated, fields in double quotes may hold commas,
// line breaks and doubled quotes. Lines without any character are no records.
QVector<QStringList> csvRecords(const QString& text)
{
    QVector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    const auto endRecord = [&]() {
        if (fieldStarted || !record.isEmpty()) {
            record.append(field);
            records.append(record);
        }
        record.clear();
        field.clear();
        fieldStarted = false;
    };
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != QLatin1Char('"'))
                field.append(c);
            else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                field.append(text.at(++i));
            else
                quoted = false;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            fieldStarted = true;
        } else if (c == QLatin1Char(',')) {
            record.append(field);
            field.clear();
            fieldStarted = true;
        } else if (c == QLatin1Char('\n')) {
            endRecord();
        } else if (c != QLatin1Char('\r')) {
            field.append(c);
            fieldStarted = true;
        }
    }
    endRecord();
    return records;
}

// Numbers for machines: a point as decimal mark, ten significant digits.
QString number(double value)
{
    return QString::number(value, 'g', 10);
}

QString indexText(const std::optional<double>& value)
{
    return value ? number(*value) : QStringLiteral("-");
}

bool readLimit(const QCommandLineParser& parser, const QString& name, std::optional<double>* value,
               QString* error)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const double v = parser.value(name).toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        *error = QStringLiteral("--%1 takes a number, not \"%2\"").arg(name, parser.value(name));
        return false;
    }
    *value = v;
    return true;
}

struct Values
{
    QVector<double> values;
    QString error;
};

Values fromCsv(const QString& path, const QString& column)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString())};
    const QVector<QStringList> records = csvRecords(QString::fromUtf8(file.readAll()));
    if (records.isEmpty())
        return {{}, QStringLiteral("%1 holds no header line").arg(path)};
    QStringList header = records.first();
    for (QString& name : header)
        name = name.trimmed();
    const int at = header.indexOf(column);
    if (at < 0)
        return {{}, QStringLiteral("%1 has no column \"%2\"").arg(path, column)};
    Values result;
    for (int row = 1; row < records.size(); ++row) {
        const QString field = records.at(row).value(at).trimmed();
        // An empty field is a shot without the value, left out like a missing maximum.
        if (field.isEmpty()) {
            result.values.append(NAN);
            continue;
        }
        bool ok = false;
        const double v = field.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return {{},
                    QStringLiteral("%1, row %2: \"%3\" in column \"%4\" is no number")
                        .arg(path)
                        .arg(row)
                        .arg(field, column)};
        result.values.append(v);
    }
    return result;
}

Values fromProject(const QString& path, int sensor, int leftMs, int rightMs)
{
    if (!QFileInfo(path).isFile())
        return {{}, QStringLiteral("no project file %1").arg(path)};
    Model model;
    if (!model.open(path))
        return {{}, QStringLiteral("%1 cannot be read as a project").arg(path)};
    // The values page's maxima, as the application charts them.
    return {SpcValues::maxima(model, sensor, leftMs, rightMs), QString()};
}

} // namespace

int run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Statistical process control of one value per shot: prints n, mean, sigma_within, "
        "sigma_overall, ucl, lcl, mr_ucl, the capability indices the limits allow (\"-\" "
        "where undefined), and one line \"rule K: rows\" per run rule that marks rows (rows "
        "and shots count from 1).\n"
        "  spc --csv FILE --column NAME [options]\n"
        "  spc PROJECT.mvx --value max:SENSOR --markers FROM,TO [options]\n"
        "Exit status: 0 done, 1 the data do not allow it, 2 wrong usage."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("spc"), QStringLiteral("The command."));
    parser.addPositionalArgument(QStringLiteral("PROJECT.mvx"),
                                 QStringLiteral("The project whose shots give the values."),
                                 QStringLiteral("[PROJECT.mvx]"));
    parser.addOption({QStringLiteral("csv"),
                      QStringLiteral("Read the values from this CSV file with a header line."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("column"), QStringLiteral("The CSV column to read."),
                      QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("value"),
                      QStringLiteral("max:SENSOR, the largest offset-corrected sample of sensor "
                                     "1-5 between the markers."),
                      QStringLiteral("VALUE")});
    parser.addOption({QStringLiteral("markers"),
                      QStringLiteral("The markers in milliseconds from the shot's start."),
                      QStringLiteral("FROM,TO")});
    parser.addOption({QStringLiteral("usl"), QStringLiteral("The upper tolerance limit (USL)."),
                      QStringLiteral("X")});
    parser.addOption({QStringLiteral("lsl"), QStringLiteral("The lower tolerance limit (LSL)."),
                      QStringLiteral("Y")});
    parser.addOption({QStringLiteral("base"),
                      QStringLiteral("The rows or shots the limits come from (default: all)."),
                      QStringLiteral("FROM-TO")});

    const auto usage = [&err](const QString& text) { return CommandOutput::usage(err, text); };
    const auto dataError = [&err](const QString& text) {
        return CommandOutput::dataError(err, text);
    };

    if (int exitCode = Success; !CommandOutput::parse(parser, arguments, out, err, &exitCode))
        return exitCode;
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty() || positional.size() > 2 || positional.at(0) != QLatin1String("spc"))
        return usage(QStringLiteral("expected: spc --csv FILE --column NAME, or spc PROJECT.mvx "
                                    "--value max:SENSOR --markers FROM,TO"));
    const bool csv = parser.isSet(QStringLiteral("csv"));
    if (csv == (positional.size() == 2))
        return usage(QStringLiteral("give either --csv FILE or a project file"));

    Spc::Options options;
    QString error;
    if (!readLimit(parser, QStringLiteral("usl"), &options.limits.usl, &error) ||
        !readLimit(parser, QStringLiteral("lsl"), &options.limits.lsl, &error))
        return usage(error);
    if (options.limits.usl && options.limits.lsl && *options.limits.usl <= *options.limits.lsl)
        return usage(QStringLiteral("--usl must lie above --lsl"));
    int baseFrom = 0;
    int baseTo = 0;
    const bool base = parser.isSet(QStringLiteral("base"));
    if (base) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^\\s*(\\d+)\\s*-\\s*(\\d+)\\s*$"))
                .match(parser.value(QStringLiteral("base")));
        baseFrom = m.hasMatch() ? m.captured(1).toInt() : 0;
        baseTo = m.hasMatch() ? m.captured(2).toInt() : 0;
        if (baseFrom < 1 || baseTo < baseFrom)
            return usage(QStringLiteral("--base takes FROM-TO with 1 <= FROM <= TO, not \"%1\"")
                             .arg(parser.value(QStringLiteral("base"))));
    }

    Values values;
    if (csv) {
        if (!parser.isSet(QStringLiteral("column")))
            return usage(QStringLiteral("--csv needs --column NAME"));
        if (parser.isSet(QStringLiteral("value")) || parser.isSet(QStringLiteral("markers")))
            return usage(QStringLiteral("--value and --markers belong to a project"));
        values =
            fromCsv(parser.value(QStringLiteral("csv")), parser.value(QStringLiteral("column")));
    } else {
        if (parser.isSet(QStringLiteral("column")))
            return usage(QStringLiteral("--column belongs to --csv"));
        const QRegularExpressionMatch value = QRegularExpression(QStringLiteral("^max:([1-5])$"))
                                                  .match(parser.value(QStringLiteral("value")));
        if (!value.hasMatch())
            return usage(QStringLiteral("--value takes max:SENSOR with a sensor 1-5, not \"%1\"")
                             .arg(parser.value(QStringLiteral("value"))));
        const QRegularExpressionMatch markers =
            QRegularExpression(QStringLiteral("^\\s*(\\d+)\\s*,\\s*(\\d+)\\s*$"))
                .match(parser.value(QStringLiteral("markers")));
        if (!markers.hasMatch())
            return usage(QStringLiteral("--markers takes FROM,TO in milliseconds, not \"%1\"")
                             .arg(parser.value(QStringLiteral("markers"))));
        values = fromProject(positional.at(1), value.captured(1).toInt() - 1,
                             markers.captured(1).toInt(), markers.captured(2).toInt());
    }
    if (!values.error.isEmpty())
        return dataError(values.error);
    const int rows = values.values.size();
    if (base && baseTo > rows)
        return dataError(QStringLiteral("--base %1-%2 reaches beyond the %3 values")
                             .arg(baseFrom)
                             .arg(baseTo)
                             .arg(rows));
    if (base) {
        options.baseFirst = baseFrom - 1;
        options.baseLast = baseTo - 1;
    }

    const Spc::Result result = Spc::compute(values.values, options);
    if (!result.ok)
        return dataError(
            QStringLiteral("the base range holds %1 numbers, at least 2 are needed").arg(result.n));

    out << "n: " << result.n << '\n'
        << "mean: " << number(result.mean) << '\n'
        << "sigma_within: " << number(result.sigmaWithin) << '\n'
        << "sigma_overall: " << number(result.sigmaOverall) << '\n'
        << "ucl: " << number(result.ucl) << '\n'
        << "lcl: " << number(result.lcl) << '\n'
        << "mr_ucl: " << number(result.mrUcl) << '\n';
    const Spc::SpecLimits& limits = options.limits;
    if (limits.usl && limits.lsl)
        out << "cp: " << indexText(result.cp) << '\n' << "pp: " << indexText(result.pp) << '\n';
    if (limits.usl || limits.lsl)
        out << "cpk: " << indexText(result.cpk) << '\n' << "ppk: " << indexText(result.ppk) << '\n';
    for (int k = 0; k < Spc::numRules; ++k) {
        const QVector<int>& marks = result.marks[static_cast<size_t>(k)];
        if (marks.isEmpty())
            continue;
        QStringList shots;
        for (const int i : marks)
            shots.append(QString::number(i + 1));
        out << "rule " << k + 1 << ": " << shots.join(QLatin1Char(',')) << '\n';
    }
    out.flush();
    return Success;
}

} // namespace SpcCommand
