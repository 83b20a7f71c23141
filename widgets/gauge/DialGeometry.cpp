#include "widgets/gauge/DialGeometry.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace DialGeometry {

QRectF square(const QSize& widgetSize)
{
    const int side = std::min(widgetSize.width(), widgetSize.height());
    const double half = side / 2.0;
    return QRectF((widgetSize.width() - 1) / 2 - half, (widgetSize.height() - 1) / 2 - half, side,
                  side);
}

QRectF circle(const QRectF& square, double percent)
{
    const double r = square.width() / 2.0;
    const double inset = r - r * percent / 100.0;
    return square.adjusted(inset, inset, -inset, -inset);
}

QPointF pointAt(const QPointF& centre, double radius, double degree)
{
    const double a = qDegreesToRadians(degree);
    return QPointF(centre.x() - radius * std::cos(a), centre.y() - radius * std::sin(a));
}

double valueToDegree(double value, double minValue, double maxValue, double minDegree,
                     double maxDegree)
{
    return minDegree + (value - minValue) * (maxDegree - minDegree) / (maxValue - minValue);
}

QVector<float> scaleSteps(float minValue, float maxValue, float step)
{
    QVector<float> steps;
    if (!(step > 0.0f) || !(maxValue > minValue) || !std::isfinite(minValue) ||
        !std::isfinite(maxValue))
        return steps;
    // A thousandth of the scale's size, but never half a step: a larger one would draw a mark
    // beyond the end of the scale, and one taken from a maximum of 0 or below would lose the
    // last mark.
    const float tolerance =
        std::min(std::max(std::abs(maxValue), maxValue - minValue) / 1000.0f, step / 2.0f);
    float v = minValue;
    while (v <= maxValue + tolerance && steps.size() < maxScaleSteps) {
        steps.append(v);
        const float next = v + step;
        if (!(next > v))
            break; // the step is lost in the float's precision
        v = next;
    }
    return steps;
}

QString valueText(double value)
{
    // Adding 0.0 turns a rounded -0 into 0.
    const double rounded = std::round(value * 1000.0) / 1000.0 + 0.0;
    QString text = QString::number(rounded, 'f', 3);
    for (int i = 0; i < 3 && text.endsWith(QLatin1Char('0')); ++i)
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

QString needleText(double value, int precision)
{
    return QString::number(value, 'g', precision);
}

QString fixedText(double value, int decimals)
{
    if (std::isnan(value))
        return QStringLiteral("--");
    QString text = QString::number(value, 'f', qBound(0, decimals, 12));
    // A negative value too small for the decimals reads as zero, without a sign.
    if (text.startsWith(QLatin1Char('-')) &&
        text.count(QLatin1Char('0')) + text.count(QLatin1Char('.')) == text.size() - 1)
        text.remove(0, 1);
    return text;
}

QPolygonF needlePolygon(double radius)
{
    const double r = radius;
    return QPolygonF({QPointF(0, r), QPointF(-r / 40, 0), QPointF(-r / 15, -r / 5),
                      QPointF(r / 15, -r / 5), QPointF(r / 40, 0)});
}

} // namespace DialGeometry
