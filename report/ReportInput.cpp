#include "report/ReportInput.h"

#include "model/Model.h"

#include <algorithm>
#include <limits>

ReportInput ReportInput::fromModel(const Model& model, int shots)
{
    ReportInput in;
    in.projectPath = model.projectFileName();
    in.project = model.projectData();
    in.comment = model.comment();
    in.deviceType = model.kalvikType();
    in.hardwareVersion = model.hwVersion();
    in.softwareVersion = model.swVersion();
    in.firmwareVersion = model.firmwareVersion();
    in.clockMs = model.clock();
    const SensorDescription& description = model.sensorDescription();
    const bool described = description.numSensorGroups() > 0;
    for (int s = 0; s < numSensors; ++s) {
        Sensor& sensor = in.sensors[static_cast<size_t>(s)];
        sensor.name = model.sensorName(s);
        if (described && s < description.sensorGroup(0).numSensors()) {
            const SensorGroup& group = description.sensorGroup(0);
            sensor.type = group.sensorType(s);
            sensor.unit = group.sensorUnit(s);
            sensor.rangeMin = group.sensorMinimum(s);
            sensor.rangeMax = group.sensorMaximum(s);
        }
        sensor.offset = model.offset(s);
        sensor.color = model.color(static_cast<quint8>(s));
        const int count = std::min(shots, model.numChannels(s));
        sensor.shots.reserve(count);
        for (int i = 0; i < count; ++i)
            sensor.shots.append(*model.measurement(s, i));
        in.shotCount = std::max(in.shotCount, count);
    }
    in.timestamps.reserve(in.shotCount);
    for (int i = 0; i < in.shotCount; ++i) {
        in.timestamps.append(model.timestamp(i));
        in.blackBoxShots += model.isFromBlackBox(i) ? 1 : 0;
    }
    in.gaps = model.recordingGaps();
    if (model.reference())
        in.reference = *model.reference();
    in.spc = model.spcSettings();
    in.valuesLeftMs = model.verticalMarker(0);
    in.valuesRightMs = model.verticalMarker(ProjectData::numMarkers - 1);
    return in;
}

ReportInput ReportInput::fromModel(const Model& model)
{
    return fromModel(model, std::numeric_limits<int>::max());
}
