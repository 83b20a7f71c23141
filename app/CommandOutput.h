#pragma once

#include <QString>

class QCommandLineParser;
class QStringList;
class QTextStream;

// What the command line's commands share: their exit statuses, CSV fields, and the single
// line a failure writes to standard error.
namespace CommandOutput {

enum ExitCode
{
    Success = 0,
    DataError = 1,
    UsageError = 2
};

// The text as one CSV field, quoted where it holds a comma, a quote or a line break.
QString csvField(const QString& text);
// "ventaro-cli: TEXT (see --help)"; returns UsageError.
int usage(QTextStream& err, const QString& text);
// "ventaro-cli: TEXT"; returns DataError.
int dataError(QTextStream& err, const QString& text);
// Parses a command's arguments. False when the command is done already: its help was
// printed (*exitCode Success) or the arguments are wrong (the line written, UsageError).
bool parse(QCommandLineParser& parser, const QStringList& arguments, QTextStream& out,
           QTextStream& err, int* exitCode);

} // namespace CommandOutput
