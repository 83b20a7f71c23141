#pragma once

#include "app/CommandOutput.h"

#include <QStringList>

class QTextStream;

// "ventaro-cli spc": control limits, capability indices and run-rule marks of one value per
// shot, read from a CSV column or computed from a project's shots, as `name: value` lines.
namespace SpcCommand {

// arguments as QCoreApplication::arguments() gives them (the program name first). Results
// go to out, one line of message to err; on an error nothing is written to out.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace SpcCommand
