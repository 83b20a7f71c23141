#pragma once

#include <QString>

class Model;

// The project file (*.mvx): one JSON object holding the whole project, and the plain-text
// export of the measurements.
class ProjectFile
{
public:
    // Writes the project; false when the file could not be written completely, in which
    // case an earlier file at path is left untouched and the project stays modified.
    static bool save(Model& model, const QString& path);
    // Replaces the project by the file's content; false (and the project untouched) when
    // the file cannot be read or does not hold a JSON object.
    static bool open(Model& model, const QString& path);
    static bool exportText(const Model& model, const QString& path);
};
