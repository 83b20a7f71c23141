#pragma once

#include <QVector>

// The smallest and largest sample of a set of curves in each of a number of equal columns of
// time: what a plot a few hundred points wide can show of thousands of samples per curve and
// thousands of curves, in a size that does not grow with them.
struct ColumnEnvelope
{
    double fromMs = 0.0;
    double columnMs = 1.0;
    // Per column; NaN in both where no curve has a sample that is a number there.
    QVector<double> lower;
    QVector<double> upper;

    int columns() const { return lower.size(); }
    bool isEmpty() const;

    // Sample k of a curve lies at k * clockMs from the start and counts, plus offset, in the
    // column holding that time; samples outside fromMs ... toMs and those that are not
    // finite numbers are passed over. columns >= 1, toMs > fromMs, clockMs > 0; a broken
    // range or clock gives columns without numbers, fewer than one column none.
    static ColumnEnvelope of(const QVector<const QVector<double>*>& curves, double offset,
                             double clockMs, double fromMs, double toMs, int columns);
};
