#include "app/CommandOutput.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace CommandOutput {

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

int usage(QTextStream& err, const QString& text)
{
    err << "ventaro-cli: " << text << " (see --help)\n";
    err.flush();
    return UsageError;
}

int dataError(QTextStream& err, const QString& text)
{
    err << "ventaro-cli: " << text << '\n';
    err.flush();
    return DataError;
}

bool parse(QCommandLineParser& parser, const QStringList& arguments, QTextStream& out,
           QTextStream& err, int* exitCode)
{
    if (!parser.parse(arguments)) {
        *exitCode = usage(err, parser.errorText());
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        out.flush();
        *exitCode = Success;
        return false;
    }
    return true;
}

} // namespace CommandOutput
