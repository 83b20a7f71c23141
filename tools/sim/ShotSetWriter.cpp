#include "tools/sim/ShotSetWriter.h"

#include "model/Model.h"
#include "model/ProjectFile.h"
#include "model/ProjectWriter.h"
#include "tools/sim/DeviceProfile.h"
#include "tools/sim/ShotCurve.h"
#include "tools/sim/ShotFaultPlan.h"
#include "tools/sim/ShotLabels.h"

#include <QRandomGenerator>
#include <QSaveFile>

#include <cmath>

namespace {

// Fault draws follow a generator of their own, as in the live simulator.
constexpr quint32 faultSalt = 0x2545f491u;

} // namespace

bool ShotSetWriter::write(const QString& projectPath, const Settings& settings,
                          const SimulatorOptions& options, QString* error)
{
    if (settings.shots < 1 || settings.goodFirst < 0 || settings.samplePeriodMs < 1 ||
        options.cycleMs < settings.samplePeriodMs) {
        *error = QStringLiteral("a shot set needs at least one shot and a cycle of at least "
                                "one sample period");
        return false;
    }
    const quint32 seed = options.fixedSeed ? options.seed : QRandomGenerator::global()->generate();
    ShotCurve curve(seed);
    ShotFaultPlan faults(options.shotFaultRate, options.shotFaultKinds, seed ^ faultSalt);
    ShotLabels labels;
    if (!options.labelsPath.isEmpty() && !labels.open(options.labelsPath)) {
        *error = labels.errorString();
        return false;
    }

    // A new project as the application starts one, with the device's sensors and period.
    ProjectDocument doc = ProjectFile::documentOf(Model());
    const DeviceProfile profile(true);
    const QDateTime firstShot = QDateTime::currentDateTime();
    doc.projectName = QStringLiteral("Simulierte Serie");
    doc.projectDate = firstShot.date().toString(QStringLiteral("dd.MM.yyyy"));
    doc.comment = QStringLiteral("kalvik-sim seed %1").arg(seed);
    doc.clock = settings.samplePeriodMs;
    doc.hwVersion = profile.hardwareVersion();
    doc.sensorGroupName = profile.groupName();
    QStringList types;
    QStringList units;
    for (int k = 0; k < ShotCurve::numSensors; ++k) {
        const DeviceProfile::Sensor& sensor = profile.sensors().at(k);
        doc.sensorNames[static_cast<size_t>(k)] = sensor.name;
        doc.minValues->values[k] = sensor.minimum;
        doc.maxValues->values[k] = sensor.maximum;
        doc.osziMinValues->values[k] = sensor.minimum;
        doc.osziMaxValues->values[k] = sensor.maximum;
        types << sensor.type;
        units << sensor.unit;
    }
    doc.sensorTypes = types;
    doc.sensorUnits = units;
    const double cycle = options.cycleMs;
    const double boundaries[] = {ShotCurve::injectionStart, ShotCurve::holdingStart,
                                 ShotCurve::coolingStart, ShotCurve::openingStart};
    for (int i = 0; i < doc.markers->values.size() && i < 4; ++i)
        doc.markers->values[i] = std::round(boundaries[i] * cycle);

    const int samples = options.cycleMs / settings.samplePeriodMs;
    QVector<QDateTime> timestamps;
    for (int j = 0; j < settings.shots; ++j) {
        const ShotFault fault = faults.next(j >= settings.goodFirst);
        curve.newShot(fault);
        std::array<QVector<double>, ShotCurve::numSensors> shot;
        for (QVector<double>& list : shot)
            list.reserve(samples);
        for (int i = 0; i < samples; ++i) {
            const ShotCurve::Sample values =
                curve.sample(double(i) * settings.samplePeriodMs, cycle);
            // Whole micrometres, as the device's value lines carry them.
            for (int k = 0; k < ShotCurve::numSensors; ++k)
                shot[static_cast<size_t>(k)].append(double(std::llround(values[k])));
        }
        for (int k = 0; k < ShotCurve::numSensors; ++k)
            doc.shots[static_cast<size_t>(k)]->append(shot[static_cast<size_t>(k)]);
        timestamps.append(firstShot.addMSecs(qint64(j) * options.cycleMs));
        if (labels.isOpen() && !labels.append(QString::number(j + 1), fault)) {
            *error = labels.errorString();
            return false;
        }
    }
    doc.timestamps = timestamps;
    if (!labels.close()) {
        *error = labels.errorString();
        return false;
    }

    QSaveFile file(projectPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text) ||
        !ProjectWriter::writeProject(doc, file) || !file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(projectPath, file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}
