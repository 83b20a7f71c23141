#pragma once

#include "app/CommandOutput.h"

#include <QStringList>

class QTextStream;

// "ventaro-cli archive": the plant archive's shots as CSV, or written as a project file, for
// quality engineers' scripts. Runs without a display; the executable only hands it its
// arguments and streams.
namespace ArchiveCommand {

using CommandOutput::DataError;
using CommandOutput::ExitCode;
using CommandOutput::Success;
using CommandOutput::UsageError;

// arguments as QCoreApplication::arguments() gives them (the program name first). Results
// go to out, one line of message to err; on an error nothing is written to out.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace ArchiveCommand
