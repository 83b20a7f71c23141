#pragma once

#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QVector>

// Geometry shared by every item of a round gauge, free of widgets so that it can be checked
// on its own. Angles are in degrees: 0 at the left, 90 at the top, 180 at the right and 270
// at the bottom; they grow clockwise on screen.
namespace DialGeometry {

// Upper bound of the positions of one scale, so that an absurd step cannot stall a paint.
constexpr int maxScaleSteps = 1000;

// The largest square centred in a widget of this size.
QRectF square(const QSize& widgetSize);
// The square of the circle whose radius is percent of the half side of square.
QRectF circle(const QRectF& square, double percent);
QPointF pointAt(const QPointF& centre, double radius, double degree);
double valueToDegree(double value, double minValue, double maxValue, double minDegree,
                     double maxDegree);
// minValue, minValue + step, ... by repeated float additions, up to maxValue and a small
// tolerance so that a sum falling just short of (or just past) the end still gives the end.
QVector<float> scaleSteps(float minValue, float maxValue, float step);
// A scale number: three decimals at most, trailing zeros and point dropped (2.5, 10).
QString valueText(double value);
// The needle's read-out in general notation with precision significant digits.
QString needleText(double value, int precision);
// A read-out in plain digits with a fixed number of decimals; no "-0" for a value that
// rounds to zero. NaN reads "--".
QString fixedText(double value, int decimals);
// The tapered needle pointing down (+y) with its tip at radius, tail behind the centre.
QPolygonF needlePolygon(double radius);

} // namespace DialGeometry
