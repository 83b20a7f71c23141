#pragma once

#include <QVector>

// The computations of the evaluation pages, on plain sample lists: where a movement starts and
// stops between two thresholds, and the largest sample between two time markers.
namespace EvaluationMath {

using Samples = QVector<double>;

// Milliseconds per sample; a clock of 0 or less counts as 1 ms so that nothing divides by it.
int samplePeriod(int clock);
// Seconds from the start of a shot to sample index k, at clock milliseconds per sample.
double seconds(qint64 k, int clock);

// The first index, from the start, whose corrected sample samples[k] + offset lies strictly
// below threshold; -1 if none does.
int findStart(const Samples& samples, double offset, double threshold);
// The last index, searching from the end, whose corrected sample lies strictly below
// threshold; -1 if none does.
int findStop(const Samples& samples, double offset, double threshold);

struct Extremes
{
    double minimum = 99999999.0;
    double maximum = -99999999.0;
};
// The smallest and largest sample over the shots of a sensor, in one pass over the samples,
// giving exactly the model's overallMinimum and overallMaximum (a shot without samples counts
// with 9999999 and -9999999).
Extremes overallExtremes(const QVector<const Samples*>& shots);

struct Thresholds
{
    double start = 0.0;
    double stop = 0.0;
};
// Start and stop values from the range lo ... hi of a sensor's corrected samples: an eighth
// and a tenth of the way up.
Thresholds thresholdsFor(double lo, double hi);

struct MarkerMaximum
{
    // False when a marker lies outside the shot, the right one left of the left one, or no
    // sample between them is a number.
    bool valid = false;
    double value = -1.0;
};
// The largest corrected sample between the markers leftMs and rightMs (both samples
// included), at clock milliseconds per sample. Samples that are not numbers are passed over;
// a stretch without a single number has no maximum, as has one outside the shot.
MarkerMaximum maxBetweenMarkers(const Samples& samples, double offset, int leftMs, int rightMs,
                                int clock);

} // namespace EvaluationMath
