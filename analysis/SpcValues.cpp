#include "analysis/SpcValues.h"

#include "analysis/CursorMath.h"
#include "analysis/EvaluationMath.h"
#include "model/Model.h"
#include "model/ShotRangeText.h"

#include <QCoreApplication>

#include <algorithm>
#include <limits>

namespace SpcValues {

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

} // namespace

QVector<const QVector<double>*> shotsOf(const Model& model, int sensor)
{
    QVector<const QVector<double>*> shots(model.numChannels(sensor));
    for (int i = 0; i < shots.size(); ++i)
        shots[i] = model.measurement(sensor, i);
    return shots;
}

QVector<double> maxima(const Model& model, int sensor, int leftMs, int rightMs)
{
    return maxima(shotsOf(model, sensor), model.offset(sensor), model.clock(), leftMs, rightMs);
}

QVector<double> maxima(const QVector<const QVector<double>*>& shots, double offset, int clock,
                       int leftMs, int rightMs)
{
    QVector<double> values(shots.size(), none);
    for (int i = 0; i < shots.size(); ++i) {
        const EvaluationMath::MarkerMaximum m =
            EvaluationMath::maxBetweenMarkers(*shots.at(i), offset, leftMs, rightMs, clock);
        if (m.valid)
            values[i] = m.value;
    }
    return values;
}

QVector<double> runtimes(const Model& model, int sensor, double startValue, double stopValue,
                         Runtime which)
{
    return runtimes(shotsOf(model, sensor), model.offset(sensor), model.clock(), startValue,
                    stopValue, which);
}

QVector<double> runtimes(const QVector<const QVector<double>*>& shots, double offset, int clock,
                         double startValue, double stopValue, Runtime which)
{
    QVector<double> values(shots.size(), none);
    const int period = EvaluationMath::samplePeriod(clock);
    for (int i = 0; i < shots.size(); ++i) {
        const QVector<double>& samples = *shots.at(i);
        const int a = EvaluationMath::findStart(samples, offset, startValue);
        const int b = EvaluationMath::findStop(samples, offset, stopValue);
        switch (which) {
        case Runtime::Start:
            if (a >= 0)
                values[i] = EvaluationMath::seconds(a, period);
            break;
        case Runtime::Duration:
            if (a >= 0 && b >= 0 && a != b)
                values[i] = EvaluationMath::seconds(b - a, period);
            break;
        case Runtime::Stop:
            if (b >= 0)
                values[i] = EvaluationMath::seconds(b, period);
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

Spc::Options options(const SpcSettings& settings, const QString& key, int count,
                     bool* baseUnreadable)
{
    Spc::Options options;
    options.rules = settings.rules;
    const SpcSettings::Limits limits = settings.limits.value(key);
    options.limits.usl = limits.usl;
    options.limits.lsl = limits.lsl;
    bool unreadable = false;
    if (!settings.base.isEmpty()) {
        const ShotRangeText::ShotRanges ranges = ShotRangeText::parseShotRanges(settings.base);
        if (ranges.syntaxError || ranges.parts.size() != 1) {
            unreadable = true;
        } else {
            const ShotRangeText::ShotRange& base = ranges.parts.first();
            options.baseFirst = static_cast<int>(std::max<qint64>(0, base.first - 1));
            options.baseLast =
                static_cast<int>(std::min<qint64>(count, std::max<qint64>(base.last, 1))) - 1;
        }
    }
    if (baseUnreadable)
        *baseUnreadable = unreadable;
    return options;
}

QVector<QString> markTexts(const Spc::Result& result, int count)
{
    QVector<QString> marks(count);
    for (int k = 0; k < Spc::numRules; ++k) {
        for (const int i : result.marks[static_cast<size_t>(k)]) {
            if (i < 0 || i >= count)
                continue;
            QString& text = marks[i];
            text += (text.isEmpty() ? QString() : QStringLiteral(",")) + QString::number(k + 1);
        }
    }
    return marks;
}

QStringList keys(bool withCursors)
{
    QStringList result;
    for (int s = 1; s <= Model::numSensors; ++s)
        result.append(QStringLiteral("max:%1").arg(s));
    result << QStringLiteral("start") << QStringLiteral("duration") << QStringLiteral("stop")
           << QStringLiteral("deviation");
    if (withCursors) {
        for (int s = 1; s <= Model::numSensors; ++s) {
            for (int q = 0; q < CursorMath::numQuantities; ++q)
                result.append(QStringLiteral("cursor:%1:%2").arg(q).arg(s));
        }
    }
    return result;
}

QString name(const QString& key)
{
    const auto tr = [](const char* text) { return QCoreApplication::translate("SpcValues", text); };
    if (key.startsWith(QLatin1String("max:")))
        return tr("Maximum Sensor %1").arg(key.mid(4));
    if (key == QLatin1String("start"))
        return tr("Laufzeit: Start [s]");
    if (key == QLatin1String("duration"))
        return tr("Laufzeit: Dauer [s]");
    if (key == QLatin1String("stop"))
        return tr("Laufzeit: Stop [s]");
    if (key == QLatin1String("deviation"))
        return tr("Abweichung von der Referenz");
    const QStringList parts = key.split(QLatin1Char(':'));
    bool quantityOk = false;
    const int q = parts.value(1).toInt(&quantityOk);
    if (parts.size() == 3 && parts.at(0) == QLatin1String("cursor") && quantityOk && q >= 0 &&
        q < CursorMath::numQuantities)
        return tr("Cursor: %1, Sensor %2")
            .arg(CursorMath::name(CursorMath::Quantity(q)), parts.at(2));
    return key;
}

} // namespace SpcValues
