#include "analysis/SpcCommand.h"
#include "analysis/VerdictCommand.h"
#include "report/ReportCommand.h"
#include "store/ArchiveCommand.h"
#include "store/RecoverCommand.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTextStream>

#include <cstring>
#include <memory>

namespace {

const char* const overview =
    "Usage: ventaro-cli COMMAND [options]\n"
    "Ventaro's work without a display, for scripts and line systems.\n"
    "\n"
    "Commands:\n"
    "  verdict PROJECT.mvx (--teach RANGES | --use-stored)\n"
    "        the verdict of every shot of a project as CSV\n"
    "  spc --csv FILE --column NAME [--usl X] [--lsl Y] [--base FROM-TO]\n"
    "        control limits, capability and run-rule marks of one CSV column\n"
    "  spc PROJECT.mvx --value max:SENSOR --markers FROM,TO [--usl X] [--lsl Y] [--base FROM-TO]\n"
    "        the same for a sensor's maximum between two markers, per shot\n"
    "  recover --list\n"
    "        the shots of this PC's journals that no saved project holds, as CSV\n"
    "  recover OUT.mvx\n"
    "        writes those shots into the new project OUT.mvx and marks them saved\n"
    "  archive shots [--station NAME] [--from ISO] [--to ISO]\n"
    "        the plant archive's shots as CSV\n"
    "  archive export OUT.mvx --station NAME [--from ISO] [--to ISO]\n"
    "        writes a station's archived shots into the new project OUT.mvx\n"
    "  report PROJECT.mvx -o OUT.pdf [--lang de|en]\n"
    "        the project's report as a PDF, the NOK shots beside it as CSV\n"
    "\n"
    "ventaro-cli COMMAND --help explains a command. Exit status: 0 done, 1 data, 2 usage.\n";

} // namespace

int main(int argc, char* argv[])
{
    // A report lays out text and draws charts, which needs fonts and so a GUI application;
    // without a display it runs on the offscreen platform.
    const bool report = argc > 1 && std::strcmp(argv[1], "report") == 0;
    if (report && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Diagnostics of the file readers belong to the application's log, and Qt's own to no
    // one here: a script's standard error carries the one line of a failure.
    QLoggingCategory::setFilterRules(
        QStringLiteral("ventaro.*=false\n*.debug=false\n*.info=false\n*.warning=false"));
    const std::unique_ptr<QCoreApplication> app =
        report ? std::make_unique<QGuiApplication>(argc, argv)
               : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ventaro-cli"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments();
    const QString command = arguments.value(1);
    if (command == QLatin1String("verdict"))
        return VerdictCommand::run(arguments, out, err);
    if (command == QLatin1String("spc"))
        return SpcCommand::run(arguments, out, err);
    if (command == QLatin1String("recover"))
        return RecoverCommand::run(arguments, out, err);
    if (command == QLatin1String("archive"))
        return ArchiveCommand::run(arguments, out, err);
    if (command == QLatin1String("report"))
        return ReportCommand::run(arguments, out, err);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        out << overview;
        return 0;
    }
    err << "ventaro-cli: "
        << (command.isEmpty() ? QStringLiteral("no command")
                              : QStringLiteral("unknown command \"%1\"").arg(command))
        << " (see --help)\n";
    return 2;
}
