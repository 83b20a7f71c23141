#pragma once

#include <QString>
#include <QVector>

#include <array>
#include <optional>

// Statistical process control of one value per shot: an individuals chart and a moving-range
// chart with limits from a base range of shots, the capability indices, and the eight run
// rules. Plain computations, so that the SPC page and the command line print the same
// figures. Definitions:
//   x̄ the mean of the base range; MR_i = |x_i − x_(i−1)| over the base range, MR̄ their mean;
//   σ_within = MR̄ / 1.128; UCL, LCL = x̄ ± 3 σ_within; the moving-range chart's UCL = 3.267 MR̄;
//   σ_overall the sample standard deviation (n − 1) of the base range;
//   Cp = (USL − LSL) / 6σ_within, Cpk = min(USL − x̄, x̄ − LSL) / 3σ_within; Pp, Ppk the same
//   with σ_overall; with one limit only Cpk and Ppk come from that side, Cp and Pp are undefined.
namespace Spc {

constexpr int numRules = 8;

struct SpecLimits
{
    std::optional<double> usl;
    std::optional<double> lsl;
};

struct Options
{
    // The base range of the control limits, indices into the values, both ends included;
    // baseLast < 0 means the last value.
    int baseFirst = 0;
    int baseLast = -1;
    SpecLimits limits;
    // Rule k + 1 is checked when rules[k] is set; every rule is checked over all values.
    std::array<bool, numRules> rules{{true, true, true, true, true, true, true, true}};
};

struct Result
{
    // False, with error in German through the translation system, when the base range holds
    // fewer than 2 numbers.
    bool ok = false;
    QString error;
    // Numbers in the base range.
    int n = 0;
    double mean = 0.0;
    double mrMean = 0.0;
    double sigmaWithin = 0.0;
    double sigmaOverall = 0.0;
    double ucl = 0.0;
    double lcl = 0.0;
    double mrUcl = 0.0;
    std::optional<double> cp;
    std::optional<double> cpk;
    std::optional<double> pp;
    std::optional<double> ppk;
    // Per value its moving range to the number before it; NaN for the first number and for
    // values that are not numbers.
    QVector<double> movingRanges;
    // Per rule the indices of the values it marks, ascending, each once.
    std::array<QVector<int>, numRules> marks;
};

// values: one per shot in shot order; NaN for a shot without the value. Such a shot is left
// out: the statistics and the rules run over the numbers in order as if it were not there,
// while every index (marks, movingRanges) stays the shot's own.
Result compute(const QVector<double>& values, const Options& options);

} // namespace Spc
