#include "model/RecordingGap.h"

#include <QStringList>

QString RecordingGap::toText() const
{
    return QStringList{from.toString(Qt::ISODateWithMs), to.toString(Qt::ISODateWithMs),
                       QString::number(deviceShots), QString::number(filled)}
        .join(QLatin1Char('|'));
}

bool RecordingGap::fromText(const QString& text, RecordingGap* gap)
{
    const QStringList parts = text.split(QLatin1Char('|'));
    if (parts.size() != 4)
        return false;
    RecordingGap read;
    read.from = QDateTime::fromString(parts.at(0), Qt::ISODateWithMs);
    read.to =
        parts.at(1).isEmpty() ? QDateTime() : QDateTime::fromString(parts.at(1), Qt::ISODateWithMs);
    bool countOk = false;
    bool filledOk = false;
    read.deviceShots = parts.at(2).toInt(&countOk);
    read.filled = parts.at(3).toInt(&filledOk);
    if (!read.from.isValid() || (!parts.at(1).isEmpty() && !read.to.isValid()) || !countOk ||
        !filledOk || read.deviceShots < -1 || read.filled < 0)
        return false;
    *gap = read;
    return true;
}

bool RecordingGap::operator==(const RecordingGap& other) const
{
    return from == other.from && to == other.to && deviceShots == other.deviceShots &&
           filled == other.filled;
}
