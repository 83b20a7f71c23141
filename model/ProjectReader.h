#pragma once

#include <QString>

#include <functional>

class QIODevice;
struct ProjectDocument;

// Reads a project file into a document as a stream of JSON events, without holding the
// whole file or a tree of its values in memory. It knows nothing of the model or the event
// loop, so it may run on a worker thread.
namespace ProjectReader {

using Progress = std::function<void(int percent)>;

// Reads the device to its end. False when the content is not JSON, or its top level is not
// an object; error then tells why (" jdoc is no object!" first, then where the JSON ended
// or broke). size is the number of bytes expected, for the progress only.
bool read(QIODevice& device, qint64 size, ProjectDocument& document, QString& error,
          const Progress& progress = Progress());

} // namespace ProjectReader
