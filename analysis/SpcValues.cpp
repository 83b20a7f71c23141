#include "analysis/SpcValues.h"

#include "analysis/EvaluationMath.h"
#include "model/Model.h"

#include <limits>

namespace SpcValues {

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

} // namespace

QVector<double> maxima(const Model& model, int sensor, int leftMs, int rightMs)
{
    const int shots = model.numChannels(sensor);
    QVector<double> values(shots, none);
    const double offset = model.offset(sensor);
    for (int i = 0; i < shots; ++i) {
        const EvaluationMath::MarkerMaximum m = EvaluationMath::maxBetweenMarkers(
            *model.measurement(sensor, i), offset, leftMs, rightMs, model.clock());
        if (m.valid)
            values[i] = m.value;
    }
    return values;
}

QVector<double> runtimes(const Model& model, int sensor, double startValue, double stopValue,
                         Runtime which)
{
    const int shots = model.numChannels(sensor);
    QVector<double> values(shots, none);
    const int clock = EvaluationMath::samplePeriod(model.clock());
    const double offset = model.offset(sensor);
    for (int i = 0; i < shots; ++i) {
        const SampleList& samples = *model.measurement(sensor, i);
        const int a = EvaluationMath::findStart(samples, offset, startValue);
        const int b = EvaluationMath::findStop(samples, offset, stopValue);
        switch (which) {
        case Runtime::Start:
            if (a >= 0)
                values[i] = EvaluationMath::seconds(a, clock);
            break;
        case Runtime::Duration:
            if (a >= 0 && b >= 0 && a != b)
                values[i] = EvaluationMath::seconds(b - a, clock);
            break;
        case Runtime::Stop:
            if (b >= 0)
                values[i] = EvaluationMath::seconds(b, clock);
            break;
        }
    }
    return values;
}

QVector<double> deviations(const QVector<Verdict>& verdicts, int shots)
{
    QVector<double> values(shots, none);
    for (int i = 0; i < shots && i < verdicts.size(); ++i)
        values[i] = verdicts.at(i).isOk() ? 0.0 : verdicts.at(i).deviation;
    return values;
}

} // namespace SpcValues
