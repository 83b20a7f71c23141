#pragma once

#include "charts/ControlChartPainter.h"

#include <QString>
#include <QVector>
#include <QWidget>

// A control chart of one value per shot: the points in shot order joined by a line, the centre
// line and the control limits, and points that break a rule drawn red with the rules' numbers
// above them. Takes plain values; a NaN point is left out. A click on a point reports its
// index.
class ControlChart : public QWidget
{
    Q_OBJECT

public:
    explicit ControlChart(QWidget* parent = nullptr);

    // marks[i]: the numbers of the rules point i breaks ("1", "2,5"), empty for none.
    void setSeries(const QVector<double>& values, const QVector<QString>& marks);
    // Lines at these values; a NaN line is not drawn.
    void setLimits(double centre, double upper, double lower);
    void setTitle(const QString& title);
    void setSelected(int index);

    int pointCount() const { return m_data.values.size(); }
    // The index of the point drawn nearest to pos within a few pixels, or -1.
    int pointAt(const QPoint& pos) const;
    // Where point index is drawn; for tests.
    QPointF pointPosition(int index) const;

    QSize minimumSizeHint() const override;

signals:
    void pointClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // Measures against the current size and font; the painter refers to m_data.
    ControlChartPainter chartPainter() const;

    ControlChartData m_data;
};
