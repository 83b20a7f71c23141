#pragma once

#include "analysis/Spc.h"
#include "analysis/Verdict.h"
#include "model/SpcSettings.h"

#include <QString>
#include <QStringList>
#include <QVector>

class Model;

// The per-shot values the SPC page charts, one per shot in shot order, NaN where a shot has
// none; computed as the evaluation pages compute them.
namespace SpcValues {

// The largest offset-corrected sample between the markers leftMs and rightMs (the values
// page's maximum).
QVector<double> maxima(const Model& model, int sensor, int leftMs, int rightMs);
// The same over a sensor's sample lists with its offset, at clock ms per sample.
QVector<double> maxima(const QVector<const QVector<double>*>& shots, double offset, int clock,
                       int leftMs, int rightMs);

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
QVector<double> runtimes(const QVector<const QVector<double>*>& shots, double offset, int clock,
                         double startValue, double stopValue, Runtime which);

// The verdict's deviation from the band: 0 for an OK shot, NaN without a verdict or where the
// deviation is unknown.
QVector<double> deviations(const QVector<Verdict>& verdicts, int shots);

// The value keys in the order they are offered: "max:1" … "max:5", "start", "duration",
// "stop", "deviation", and with cursors "cursor:QUANTITY:SENSOR" for each sensor.
QStringList keys(bool withCursors);
// The value's name in the current language, as the SPC page and the report show it; an
// unknown key is shown as it stands.
QString name(const QString& key);

// The options of the value key with count values as the settings give them. A base range
// that cannot be read, or that is more than one range, leaves every value in the base and
// sets baseUnreadable.
Spc::Options options(const SpcSettings& settings, const QString& key, int count,
                     bool* baseUnreadable = nullptr);
// Per value the numbers of the rules that mark it, "1" or "2,5"; empty for none.
QVector<QString> markTexts(const Spc::Result& result, int count);

} // namespace SpcValues
