#pragma once

#include <QLocale>
#include <QString>

// How the pages write numbers: in the language the user chose (the default locale's decimal
// mark), never with a group separator, so that a label reads like the spin box beside it
// and a whole count reads as plain digits.
namespace NumberStyle {

// The default locale without group separators.
QLocale locale();
// Six significant digits ('g'), as the evaluation tables and charts show values.
QString general(double value, int digits = 6);
// A fixed number of decimals, as plot axes show values.
QString fixed(double value, int decimals);

} // namespace NumberStyle
