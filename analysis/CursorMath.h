#pragma once

#include <QCoreApplication>
#include <QString>
#include <QVector>

class Model;

// What two time cursors A and B measure on a shot's offset-corrected samples. Sample k lies
// at k times the sample period after the start of the shot; a cursor between two samples
// reads the straight line between them. Undefined figures are NaN: a cursor outside the
// shot, no number between the cursors, the slope of A = B.
class CursorMath
{
    Q_DECLARE_TR_FUNCTIONS(CursorMath)

public:
    enum class Quantity
    {
        ValueA,
        ValueB,
        Difference, // value at B minus value at A
        Maximum,
        Minimum,
        Mean,
        Area,  // unit x s
        Slope, // unit / s
    };
    static constexpr int numQuantities = 8;

    struct Figures
    {
        double valueA;
        double valueB;
        double difference;
        double maximum;
        double minimum;
        double mean;
        double area;
        double slope;
        double of(Quantity q) const;
    };

    // Over the numbers among values (NaN left out): their count, mean, sample standard
    // deviation (n - 1), minimum and maximum; NaN where the count is too small.
    struct Summary
    {
        int count;
        double mean;
        double standardDeviation;
        double minimum;
        double maximum;
    };
    static Summary summarize(const QVector<double>& values);

    // German name for lists and headers ("Wert bei A", ...).
    static QString name(Quantity q);
    // The quantity's unit from the sensor's: "%1", "%1·s" or "%1/s".
    static QString unit(Quantity q, const QString& sensorUnit);

    // The value at time ms, linear between the neighbouring samples; NaN outside the shot.
    static double valueAt(const QVector<double>& samples, double offset, double ms,
                          double periodMs);
    // All figures; A and B may come in either order (only the difference has a sign).
    static Figures figures(const QVector<double>& samples, double offset, double aMs, double bMs,
                           double periodMs);
    // One figure, computing no more than it needs (the table recomputes it while the user
    // drags a cursor).
    static double quantity(const QVector<double>& samples, double offset, Quantity q, double aMs,
                           double bMs, double periodMs);
    // The quantity for every shot of a sensor, in shot order, at the project's offset and
    // sample period.
    static QVector<double> perShot(const Model& model, int sensor, Quantity q, double aMs,
                                   double bMs);
};
