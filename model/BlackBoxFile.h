#pragma once

#include <QString>

class Model;
class QTextStream;

// Black-box files (*.bb) that the device records on its own: one file is one shot of the
// five sensors of group 0 with its timestamp and the sensor description.
class BlackBoxFile
{
public:
    // Largest group or sensor count a file may announce; anything beyond is refused.
    static constexpr int maxCount = 100;

    // Adds the file as one new shot. False only when the file cannot be opened. With the
    // model's signals already blocked by the caller nothing is emitted, so that a batch
    // of files ends with one summary.
    static bool import(Model& model, const QString& path);
    // Reads the lines of one file into the shot that import() appended.
    static void read(QTextStream& in, Model& model, const int (&series)[5], int timestampIndex);
};
