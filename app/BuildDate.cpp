#include "app/BuildDate.h"

#include "app/Logging.h"

#include <QDate>
#include <QLocale>
#include <QStringList>

QString buildDateText(const QString& compilerDate)
{
    // __DATE__ pads a one-digit day with a blank ("Dec  8 2026"); the format wants two digits.
    QStringList parts = compilerDate.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 3 || parts.at(1).size() > 2) {
        qCWarning(lcApp).noquote() << "ERROR: not a compiler date:" << compilerDate;
        return QString();
    }
    parts[1] = parts.at(1).rightJustified(2, QLatin1Char('0'));
    // The month names are the compiler's, English whatever the default locale is.
    const QDate date =
        QLocale::c().toDate(parts.join(QLatin1Char(' ')), QStringLiteral("MMM dd yyyy"));
    if (!date.isValid()) {
        qCWarning(lcApp).noquote() << "ERROR: not a compiler date:" << compilerDate;
        return QString();
    }
    return date.toString(QStringLiteral("yyyyMMdd"));
}

QString buildDate()
{
    return buildDateText(QStringLiteral(__DATE__));
}
