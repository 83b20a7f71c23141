#include "tools/sim/SimulatorOptions.h"

#include <QDir>
#include <QFileInfo>

namespace {

struct FaultName
{
    const char* name;
    SimulatorOptions::Fault fault;
};

constexpr FaultName faultTable[] = {
    {"garbage", SimulatorOptions::Garbage}, {"long-lines", SimulatorOptions::LongLines},
    {"binary", SimulatorOptions::Binary},   {"drop", SimulatorOptions::DropConnection},
    {"trickle", SimulatorOptions::Trickle},
};

} // namespace

bool SimulatorOptions::parseFault(const QString& name, int* fault)
{
    for (const FaultName& entry : faultTable) {
        if (name == QLatin1String(entry.name)) {
            *fault = entry.fault;
            return true;
        }
    }
    return false;
}

QStringList SimulatorOptions::faultNames()
{
    QStringList names;
    for (const FaultName& entry : faultTable)
        names.append(QLatin1String(entry.name));
    return names;
}

QString SimulatorOptions::blackBoxLabelsPath() const
{
    if (labelsPath.isEmpty())
        return QString();
    const QFileInfo info(labelsPath);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("-blackbox") + suffix);
}

int SimulatorOptions::machinePeriodFloor() const
{
    return qMax(qMax(cycleMs, 0) + 200, 1000);
}

int SimulatorOptions::effectiveMachinePeriodMs() const
{
    const int asked = machinePeriodMs > 0 ? machinePeriodMs : qMax(cycleMs, 0) + 4000;
    return qMax(asked, machinePeriodFloor());
}
