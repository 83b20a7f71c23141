#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

struct BlackBoxShot;
class Model;

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

    // Reads one file; false, with a diagnostic, when it cannot be opened. Touches no model,
    // so that a batch can be read on a worker thread.
    static bool readFile(const QString& path, BlackBoxShot& shot);
    // Reads every file, on two threads when there are two cores; read[i] tells whether
    // paths[i] could be read into shots[i]. progress(files done) is called from the
    // calling thread now and then and once at the end.
    static void readFiles(const QStringList& paths, std::vector<BlackBoxShot>& shots,
                          std::vector<char>& read, const std::function<void(int)>& progress);
    // The content of one file, as it is in the file (UTF-8, any line ends).
    static BlackBoxShot parse(const QByteArray& content);
    // Appends the shot to the model and applies its sensor settings in their order. Emits
    // nothing; the caller sends the summary.
    static void add(Model& model, BlackBoxShot&& shot);
};
