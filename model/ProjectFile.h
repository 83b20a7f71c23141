#pragma once

#include "model/ProjectDocument.h"

#include <QString>

class Model;

// The project file (*.mvx): one JSON object holding the whole project, and the plain-text
// export of the measurements. The file is read into a document, and written from one,
// on a worker thread; the model is read once before and changed once after, so device
// lines and repaints go on meanwhile without touching the data being written or read.
class ProjectFile
{
public:
    // Writes the project as it stands when called; false when the file could not be
    // written completely, in which case an earlier file at path is left untouched and the
    // project stays modified. A project changed while it was being written stays
    // modified too.
    static bool save(Model& model, const QString& path);
    // Replaces the project by the file's content; false (and the project untouched) when
    // the file cannot be read or does not hold a JSON object.
    static bool open(Model& model, const QString& path);
    static bool exportText(Model& model, const QString& path);

    // The project as a document, sharing the sample lists with the model.
    static ProjectDocument documentOf(const Model& model);
    // Replaces the project by a document read from path, in one step.
    static void takeOver(Model& model, ProjectDocument& document, const QString& path);
};
