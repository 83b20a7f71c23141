#include "analysis/Verdict.h"

#include <QCoreApplication>

QString Verdict::verdictText() const
{
    return isOk() ? QStringLiteral("OK") : QStringLiteral("NOK");
}

QString Verdict::kindText() const
{
    switch (kind) {
    case Kind::Ok:
        break;
    case Kind::OutsideBand:
        return QCoreApplication::translate("Verdict", "Außerhalb der Referenz");
    case Kind::SensorFailed:
        return QCoreApplication::translate("Verdict", "Sensor ausgefallen");
    case Kind::TooShort:
        return QCoreApplication::translate("Verdict", "Schuss zu kurz");
    }
    return QString();
}
