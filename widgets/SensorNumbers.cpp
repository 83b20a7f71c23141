#include "widgets/SensorNumbers.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace SensorNumbers {

int unitDecimals(const QString& unit)
{
    const QString u = unit.trimmed();
    // Micro as the micro sign, the Greek letter or a plain u.
    if (u == QStringLiteral("\u00B5m") || u == QStringLiteral("\u03BCm") ||
        u == QStringLiteral("um") || u == QStringLiteral("nm"))
        return 0;
    if (u == QStringLiteral("mm"))
        return 3;
    if (u == QStringLiteral("cm"))
        return 4;
    if (u == QStringLiteral("m"))
        return 6;
    return -1;
}

int spanDecimals(double span)
{
    if (!(span > 1.0))
        return 3;
    if (span <= 10.0)
        return 2;
    if (span <= 100.0)
        return 1;
    return 0;
}

int readoutDecimals(const QString& unit)
{
    const int d = unitDecimals(unit);
    return d >= 0 ? d : 3;
}

int entryDecimals(const QString& unit, double minimum, double maximum)
{
    const int d = unitDecimals(unit);
    return d >= 0 ? d : spanDecimals(maximum - minimum);
}

double offsetBound(double minimum, double maximum)
{
    if (!std::isfinite(minimum) || !std::isfinite(maximum))
        return 0.0;
    return std::max(std::abs(minimum), std::abs(maximum));
}

double niceStep(double raw)
{
    if (!(raw > 0.0) || !std::isfinite(raw))
        return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    // A hair of tolerance so that 0.5 or 1000 computed by division is its own step.
    const double mantissa = raw / power * (1.0 + 1e-9);
    return (mantissa >= 5.0 ? 5.0 : mantissa >= 2.0 ? 2.0 : 1.0) * power;
}

QString valueText(double value, int decimals)
{
    const int d = qBound(0, decimals, 12);
    QString text = QString::number(value, 'f', d);
    if (text.startsWith(QLatin1Char('-')) &&
        std::all_of(text.cbegin() + 1, text.cend(),
                    [](QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('.'); }))
        text.remove(0, 1);
    return text;
}

} // namespace SensorNumbers
