#include "model/ShotRangeText.h"

#include <algorithm>
#include <vector>

namespace ShotRangeText {

ShotRanges parseShotRanges(const QString& text)
{
    ShotRanges ranges;
    const QStringList parts = text.simplified().split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QStringList pieces = part.simplified().split(QLatin1Char('-'), Qt::SkipEmptyParts);
        if (pieces.size() == 1) {
            const qint64 n = pieces.at(0).toLongLong();
            ranges.parts.append({part, n, n});
        } else if (pieces.size() == 2) {
            ranges.parts.append({part, pieces.at(0).toLongLong(), pieces.at(1).toLongLong()});
        } else {
            ranges.syntaxError = pieces;
            break;
        }
    }
    return ranges;
}

QVector<int> shotNumbers(const ShotRanges& ranges, int shotCount)
{
    // One flag a shot: a range as wide as the number type costs no more than the shots.
    std::vector<bool> named(static_cast<size_t>(std::max(shotCount, 0)), false);
    for (const ShotRange& part : ranges.parts) {
        const qint64 first = std::max<qint64>(part.first, 1);
        const qint64 last = std::min<qint64>(part.last, shotCount);
        for (qint64 n = first; n <= last; ++n)
            named[static_cast<size_t>(n - 1)] = true;
    }
    QVector<int> numbers;
    for (size_t i = 0; i < named.size(); ++i) {
        if (named[i])
            numbers.append(static_cast<int>(i) + 1);
    }
    return numbers;
}

QString shotNumbersText(const QVector<int>& numbers)
{
    QStringList runs;
    for (int i = 0; i < numbers.size();) {
        int j = i;
        while (j + 1 < numbers.size() && numbers.at(j + 1) == numbers.at(j) + 1)
            ++j;
        runs.append(j == i ? QString::number(numbers.at(i))
                           : QString::number(numbers.at(i)) + QLatin1Char('-') +
                                 QString::number(numbers.at(j)));
        i = j + 1;
    }
    return runs.join(QStringLiteral(", "));
}

} // namespace ShotRangeText
