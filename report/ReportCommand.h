#pragma once

#include <QStringList>

class QTextStream;

// "ventaro-cli report": a project's report as a PDF, without a display. Needs a
// QGuiApplication (the CLI starts one on the offscreen platform for this command).
namespace ReportCommand {

// arguments as QCoreApplication::arguments() gives them (the program name first). One line
// of message goes to err on a failure; nothing is written then.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace ReportCommand
