#pragma once

#include <QColor>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <QVector>

class QPainter;

// What a control chart shows: one value per shot (NaN for none), the marks of the run rules
// each point breaks ("1", "2,5", empty for none), the centre line and the control limits
// (NaN for a line not drawn), a title and the selected point (-1 for none).
struct ControlChartData
{
    QVector<double> values;
    QVector<QString> marks;
    double centre = 0.0;
    double upper = 0.0;
    double lower = 0.0;
    QString title;
    int selected = -1;
};

// The geometry and drawing of a control chart in a rectangle: the points in shot order joined
// by a line, the centre line solid, the limits dashed, each labelled with its value, marked
// points red with their rules' numbers above them, the first and last shot number below.
class ControlChartPainter
{
public:
    // metrics: of the font the chart is drawn with.
    ControlChartPainter(const ControlChartData& data, const QRectF& area,
                        const QFontMetricsF& metrics);

    QRectF plotRect() const;
    QPointF pointPosition(int index) const;
    // The index of the point drawn nearest to pos within a few pixels, or -1.
    int pointAt(const QPointF& pos) const;

    // background fills the area, text colours the title and labels.
    void paint(QPainter& painter, const QColor& background, const QColor& text) const;

private:
    double yOf(double value) const;

    const ControlChartData& m_data;
    QRectF m_area;
    QFontMetricsF m_metrics;
    double m_min = 0.0;
    double m_max = 1.0;
};
