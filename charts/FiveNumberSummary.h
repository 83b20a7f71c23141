#pragma once

#include <QList>

// Minimum, quartiles, median and maximum of a list sorted ascending. The quartiles are the
// elements at n / 4 and 3n / 4, without interpolation; an empty list gives five zeros.
struct FiveNumberSummary
{
    double minimum = 0.0;
    double lowerQuartile = 0.0;
    double median = 0.0;
    double upperQuartile = 0.0;
    double maximum = 0.0;

    static FiveNumberSummary ofSorted(const QList<double>& sorted);
};
