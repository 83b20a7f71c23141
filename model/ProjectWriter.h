#pragma once

#include <QString>

#include <functional>

class QIODevice;
struct ProjectDocument;

// Writes a project document as it goes, without building it in memory first: the project
// file and the plain-text export of the measurements. Both report their progress in
// percent of the samples written and only touch the document and the device, so they may
// run on a worker thread.
namespace ProjectWriter {

using Progress = std::function<void(int percent)>;

// The project file: one indented JSON object with its keys in sorted order, as
// QJsonDocument lays it out, except that each shot's samples stand on one line: indented,
// they made the file three times its size. False when a write to the device failed.
bool writeProject(const ProjectDocument& document, QIODevice& device,
                  const Progress& progress = Progress());

// The export for spreadsheets: the header lines, then per sensor its name and one line of
// ";"-separated samples per shot, numbers as the German locale writes them with six
// significant digits. fileName is the project's file name without folders.
bool writeText(const ProjectDocument& document, const QString& fileName, QIODevice& device,
               const Progress& progress = Progress());

} // namespace ProjectWriter
