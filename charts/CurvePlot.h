#pragma once

#include "charts/ColumnEnvelope.h"

#include <QColor>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

class QPainter;

// Time and value ranges of a curve plot.
struct CurvePlotAxes
{
    double fromMs = 0.0;
    double toMs = 1000.0;
    double valueMin = -6.0;
    double valueMax = 6.0;
    QString title;
    // Written after the value labels' numbers where not empty ("mm").
    QString unit;
};

// A plot of curves over time for print: a frame with a grid, time labels in seconds below
// and value labels left, a title above, vertical markers with the phase names between them,
// and curves given as column envelopes (an area between lower and upper, or a line through
// each column's extremes). Vector drawing throughout: nothing is rasterised.
class CurvePlot
{
public:
    CurvePlot(const QRectF& area, const CurvePlotAxes& axes, const QFontMetricsF& metrics);

    QRectF plotRect() const;
    QPointF map(double timeMs, double value) const;

    // White field, grid, labels and title.
    void paintFrame(QPainter& painter) const;
    // Markers at these times in ms; phaseNames[i] is written between marker i - 1 and
    // marker i (before the first, after the last for the outer ones) where there is room.
    void paintMarkers(QPainter& painter, const QVector<double>& markersMs,
                      const QStringList& phaseNames, const QColor& color) const;
    // The area between each column's lower and upper, joined column to column; a column
    // without numbers breaks it.
    void paintArea(QPainter& painter, const ColumnEnvelope& envelope, const QColor& fill) const;
    // A line through each column's extremes, as a curve looks at this width.
    void paintLine(QPainter& painter, const ColumnEnvelope& envelope, const QColor& color,
                   double width) const;

    // Distances between grid lines: time in ms, value in the curves' unit.
    double timeStep() const { return m_timeStep; }
    double valueStep() const { return m_valueStep; }

private:
    QString timeLabel(double ms, bool last) const;
    QString valueLabel(double value) const;
    // A point at a column position (column + 0.5 is its centre); values far outside are
    // pulled in so that the path stays within what a paint engine handles.
    QPointF columnPoint(const ColumnEnvelope& envelope, double column, double value) const;

    QRectF m_area;
    CurvePlotAxes m_axes;
    QFontMetricsF m_metrics;
    QRectF m_plot;
    double m_timeStep = 1.0;
    double m_valueStep = 1.0;
    int m_valueDecimals = 0;
};
