#include "store/ShotProject.h"

#include "model/Model.h"

namespace ShotProject {

int append(Model& model, const QVector<StoredShot>& shots)
{
    if (shots.isEmpty())
        return 0;
    const bool wasBlocked = model.blockSignals(true);
    if (!model.hasData()) {
        const StoredShot& first = shots.first();
        model.setClock(first.clockMs);
        ProjectData project = model.projectData();
        if (project.name.isEmpty())
            project.name = first.projectName;
        if (project.number.isEmpty())
            project.number = first.projectNumber;
        model.setProjectData(project);
        SensorDescription& description = model.sensorDescription();
        if (description.numSensorGroups() == 0)
            description.setNumSensorGroups(1);
        SensorGroup& group = description.sensorGroup(0);
        for (int k = 0; k < StoredShot::numSensors; ++k) {
            if (group.sensorName(k).isEmpty())
                group.setSensorName(k, first.sensorNames[static_cast<size_t>(k)]);
            if (group.sensorUnit(k).isEmpty())
                group.setSensorUnit(k, first.sensorUnits[static_cast<size_t>(k)]);
        }
    }
    for (const StoredShot& shot : shots) {
        for (int k = 0; k < StoredShot::numSensors; ++k)
            model.appendSeries(k, QVector<double>(shot.samples[static_cast<size_t>(k)]));
        model.appendTimestamp(shot.startedAt);
        // Saving or deleting the shot later is then told to the journal it came from.
        model.setShotId(model.numChannels(0) - 1, shot.id);
    }
    model.blockSignals(wasBlocked);
    emit model.projectChanged();
    emit model.dataChanged();
    return shots.size();
}

} // namespace ShotProject
