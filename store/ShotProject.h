#pragma once

#include "store/StoredShot.h"

#include <QVector>

class Model;

// Stored shots back into a project, as recovery and the archive's export need it.
namespace ShotProject {

// Appends shots in the order given (callers sort them by time) with their own timestamps.
// A project without shots first takes the first shot's sample period, project name and
// number, and the names and units of sensors it has none for. Emits the model's summary
// signals once; returns the number of shots appended.
int append(Model& model, const QVector<StoredShot>& shots);

} // namespace ShotProject
