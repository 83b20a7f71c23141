#include "analysis/Verdict.h"

#include "app/NumberStyle.h"

#include <QCoreApplication>
#include <QStringList>

#include <cmath>

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

QString Verdict::violationText(const QString& unit) const
{
    if (isOk())
        return QString();
    const auto number = [](double value) { return NumberStyle::general(value); };
    QStringList parts;
    if (sensor >= 0)
        parts << QCoreApplication::translate("Verdict", "Sensor %1").arg(sensor + 1);
    if (!phaseName.isEmpty())
        parts << phaseName;
    else if (phase >= 0)
        parts << QCoreApplication::translate("Verdict", "Phase %1").arg(phase + 1);
    parts << QCoreApplication::translate("Verdict", "%1 ms").arg(number(timeMs));
    // Missing samples have no distance to the band.
    if (!std::isnan(deviation)) {
        const QString amount =
            unit.isEmpty() ? number(deviation) : number(deviation) + QLatin1Char(' ') + unit;
        parts << QCoreApplication::translate("Verdict", "Abweichung %1").arg(amount);
    }
    if (durationMs > 0)
        parts << QCoreApplication::translate("Verdict", "für %1 ms").arg(number(durationMs));
    return kindText() + QStringLiteral(": ") + parts.join(QStringLiteral(", "));
}
