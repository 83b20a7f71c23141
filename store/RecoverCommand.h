#pragma once

#include "app/CommandOutput.h"

#include <QStringList>

class QTextStream;

// "ventaro-cli recover": lists the shots that the journals of this PC hold unsaved, or writes
// them into a new project file and marks them saved there. Runs without a display; the
// executable only hands it its arguments and streams.
namespace RecoverCommand {

using CommandOutput::DataError;
using CommandOutput::ExitCode;
using CommandOutput::Success;
using CommandOutput::UsageError;

// arguments as QCoreApplication::arguments() gives them (the program name first). Results go
// to out, messages and notes to err, one line each.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace RecoverCommand
