#include "model/ProjectData.h"

#include <QDebug>

void ProjectData::clear()
{
    *this = ProjectData();
}

bool ProjectData::operator==(const ProjectData& other) const
{
    return name == other.name && number == other.number && user == other.user &&
           date == other.date && customer == other.customer && closingForce == other.closingForce &&
           injectionTime == other.injectionTime && pressTime == other.pressTime &&
           pressure == other.pressure;
}

QString ProjectData::toString() const
{
    return QStringLiteral("[name=") + name + QStringLiteral(" number=") + number +
           QStringLiteral(" user=") + user + QStringLiteral(" date=") + date +
           QStringLiteral(" customer=") + customer + QStringLiteral(" closingForce=") +
           QString::number(closingForce) + QStringLiteral(" injectionTime=") +
           QString::number(injectionTime) + QStringLiteral(" pressTime=") +
           QString::number(pressTime) + QStringLiteral(" pressure=") + QString::number(pressure) +
           QStringLiteral("]");
}

QDebug operator<<(QDebug debug, const ProjectData& data)
{
    QDebugStateSaver saver(debug);
    debug.noquote().nospace() << data.toString();
    return debug;
}
