#pragma once

#include "analysis/Verdict.h"

#include <QVector>

class Model;

// The per-shot values the SPC page charts, one per shot in shot order, NaN where a shot has
// none; computed as the evaluation pages compute them.
namespace SpcValues {

// The largest offset-corrected sample between the markers leftMs and rightMs (the values
// page's maximum).
QVector<double> maxima(const Model& model, int sensor, int leftMs, int rightMs);

enum class Runtime
{
    Start,
    Duration,
    Stop
};
// The runtime page's start, duration or stop in seconds for a sensor with its thresholds.
// A duration of no time counts as none, as on that page.
QVector<double> runtimes(const Model& model, int sensor, double startValue, double stopValue,
                         Runtime which);

// The verdict's deviation from the band: 0 for an OK shot, NaN without a verdict or where the
// deviation is unknown.
QVector<double> deviations(const QVector<Verdict>& verdicts, int shots);

} // namespace SpcValues
