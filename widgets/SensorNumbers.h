#pragma once

#include <QString>

// How the numbers of one sensor are written and entered, from its unit and measuring range.
// Plain functions, so that the displays, the entry boxes and the tests agree.
namespace SensorNumbers {

// Decimals that a reading in this unit carries; -1 for a unit not known here. The device
// resolves a micrometre: whole micrometres, millimetres with three decimals.
int unitDecimals(const QString& unit);
// Decimals for a range of this size when the unit says nothing: 3 up to 1, 2 up to 10, 1
// up to 100, else 0 (the rule of the scales' labels).
int spanDecimals(double span);
// Decimals of a read-out of a value: the unit's, or three for a unit not known.
int readoutDecimals(const QString& unit);
// Decimals of the boxes that take a sensor's range ends and offset: the unit's, or for a
// unit not known those of its range, so that a box over +-100000 does not carry two
// decimals nobody enters.
int entryDecimals(const QString& unit, double minimum, double maximum);

// The largest offset an entry box must take for a sensor with this measuring range:
// calibration subtracts a reading, so an offset reaches as far from zero as the range's
// far end. A range of 0 to 12 gives 12.
double offsetBound(double minimum, double maximum);

// The largest of 1, 2 and 5 times a power of ten that is not above raw (1 for raw <= 0).
// Entry boxes step a twelfth of the offset bound (their range) and the offset a 24th, so a
// range of 0 to 12 steps by 1 and 0.5.
double niceStep(double raw);

// A value in plain digits with the given decimals, never in exponent form; a value that
// rounds to zero carries no minus sign.
QString valueText(double value, int decimals);

} // namespace SensorNumbers
