#include "analysis/VerdictCommand.h"
#include "store/ArchiveCommand.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ventaro-cli"));
    // Diagnostics of the file readers belong to the application's log, not to a script's
    // standard error, which carries the one line of a failure.
    QLoggingCategory::setFilterRules(QStringLiteral("ventaro.*=false\n*.debug=false"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.value(1) == QLatin1String("archive"))
        return ArchiveCommand::run(arguments, out, err);
    return VerdictCommand::run(arguments, out, err);
}
