#include "report/ReportCommand.h"

#include "app/CommandOutput.h"
#include "model/Model.h"
#include "report/ReportContent.h"
#include "report/ReportInput.h"
#include "report/ReportWriter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

namespace ReportCommand {

int run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the report of a project as a PDF (A4): the project, the settings, the results "
        "and the pictures. Where the project holds a reference, the NOK shots also go to "
        "OUT-NOK.csv beside the PDF.\n"
        "  report PROJECT.mvx -o OUT.pdf [--lang de|en]\n"
        "Exit status: 0 done, 1 the project cannot be read or the report not written, "
        "2 wrong usage."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("report"), QStringLiteral("The command."));
    parser.addPositionalArgument(QStringLiteral("PROJECT.mvx"), QStringLiteral("The project."));
    parser.addOption({{QStringLiteral("o"), QStringLiteral("output")},
                      QStringLiteral("The PDF to write."),
                      QStringLiteral("OUT.pdf")});
    parser.addOption({QStringLiteral("lang"),
                      QStringLiteral("The report's language: de (default) or en."),
                      QStringLiteral("de|en")});

    if (int exitCode = CommandOutput::Success;
        !CommandOutput::parse(parser, arguments, out, err, &exitCode))
        return exitCode;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2 || positional.at(0) != QLatin1String("report"))
        return CommandOutput::usage(err, QStringLiteral("expected: report PROJECT.mvx -o OUT.pdf"));
    if (!parser.isSet(QStringLiteral("output")))
        return CommandOutput::usage(err, QStringLiteral("-o OUT.pdf is missing"));
    const QString language = parser.isSet(QStringLiteral("lang"))
                                 ? parser.value(QStringLiteral("lang"))
                                 : QStringLiteral("de");
    if (language != QLatin1String("de") && language != QLatin1String("en"))
        return CommandOutput::usage(
            err, QStringLiteral("--lang takes de or en, not \"%1\"").arg(language));

    // The application's own translation, installed beside the executables.
    QTranslator translator;
    QLocale::setDefault(QLocale(language));
    if (language == QLatin1String("en")) {
        const QString folder =
            QCoreApplication::applicationDirPath() + QStringLiteral("/languages");
        if (!translator.load(QStringLiteral("Ventaro-en.qm"), folder))
            return CommandOutput::dataError(
                err,
                QStringLiteral("the English texts are missing (%1/Ventaro-en.qm)").arg(folder));
        QCoreApplication::installTranslator(&translator);
    }

    const QString path = positional.at(1);
    if (!QFileInfo(path).isFile())
        return CommandOutput::dataError(err, QStringLiteral("no project file %1").arg(path));
    Model model;
    if (!model.open(path))
        return CommandOutput::dataError(err,
                                        QStringLiteral("%1 cannot be read as a project").arg(path));
    const ReportContent content = ReportContent::compute(ReportInput::fromModel(model));
    const ReportWriter::Result result = ReportWriter::write(
        content, parser.value(QStringLiteral("output")), QDateTime::currentDateTime());
    QCoreApplication::removeTranslator(&translator);
    if (!result.ok)
        return CommandOutput::dataError(err, result.error);
    out << "pages: " << result.pages << '\n';
    if (!result.csvPath.isEmpty())
        out << "nok_list: " << result.csvPath << '\n';
    out.flush();
    return CommandOutput::Success;
}

} // namespace ReportCommand
