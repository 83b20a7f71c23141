#pragma once

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

    int pointCount() const { return m_values.size(); }
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
    QRectF plotRect() const;
    double yOf(double value) const;
    void updateRange();

    QVector<double> m_values;
    QVector<QString> m_marks;
    double m_centre = 0.0;
    double m_upper = 0.0;
    double m_lower = 0.0;
    double m_min = 0.0;
    double m_max = 1.0;
    QString m_title;
    int m_selected = -1;
};
