#include "charts/FiveNumberSummary.h"

FiveNumberSummary FiveNumberSummary::ofSorted(const QList<double>& s)
{
    FiveNumberSummary r;
    const int n = s.size();
    if (n == 0)
        return r;
    r.minimum = s[0];
    r.lowerQuartile = s[n / 4];
    r.median = n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) * 0.5;
    r.upperQuartile = s[(3 * n) / 4];
    r.maximum = s[n - 1];
    return r;
}
