#include "model/ViewData.h"

#include <QDebug>
#include <QStringList>

static QString joined(const std::array<double, ViewData::numSensors>& values)
{
    QStringList texts;
    for (double v : values)
        texts << QString::number(v);
    return texts.join(QStringLiteral(", "));
}

QString ViewData::toString() const
{
    return QStringLiteral("[ViewData: checkBoxMarkerAbsolute=") +
           (checkBoxMarkerAbsolute ? QStringLiteral("true") : QStringLiteral("false")) +
           QStringLiteral(" osziMinValues=(") + joined(osziMinValues) +
           QStringLiteral(")  osziMaxValues=(") + joined(osziMaxValues) + QStringLiteral(")");
}

QDebug operator<<(QDebug debug, const ViewData& data)
{
    QDebugStateSaver saver(debug);
    debug.noquote().nospace() << data.toString();
    return debug;
}
