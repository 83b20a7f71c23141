#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// Shot numbers as the user types them, counted from 1: numbers separated by ",", each a
// number or a range "a-b" ("3,5-7"). Plain functions, for the pages, the controller and the
// command line alike.
namespace ShotRangeText {

struct ShotRange
{
    QString text; // the part as given
    qint64 first = 0;
    qint64 last = 0;
};
struct ShotRanges
{
    QVector<ShotRange> parts;
    // The pieces of the first part that is neither a number nor a range; the parts after
    // it are not read.
    std::optional<QStringList> syntaxError;
};
ShotRanges parseShotRanges(const QString& text);
// The shots the ranges name among shotCount shots, counted from 1, ascending and each once;
// numbers outside 1..shotCount are left out.
QVector<int> shotNumbers(const ShotRanges& ranges, int shotCount);
// Ascending shot numbers as the user writes them, runs joined: "2, 5-7".
QString shotNumbersText(const QVector<int>& numbers);

} // namespace ShotRangeText
