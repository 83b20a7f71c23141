#include "widgets/ControlChart.h"

#include <QMouseEvent>
#include <QPainter>

ControlChart::ControlChart(QWidget* parent)
    : QWidget(parent)
{
    setMinimumHeight(120);
}

void ControlChart::setSeries(const QVector<double>& values, const QVector<QString>& marks)
{
    m_data.values = values;
    m_data.marks = marks;
    m_data.marks.resize(values.size());
    update();
}

void ControlChart::setLimits(double centre, double upper, double lower)
{
    m_data.centre = centre;
    m_data.upper = upper;
    m_data.lower = lower;
    update();
}

void ControlChart::setTitle(const QString& title)
{
    m_data.title = title;
    update();
}

void ControlChart::setSelected(int index)
{
    m_data.selected = index;
    update();
}

QSize ControlChart::minimumSizeHint() const
{
    return {200, 120};
}

ControlChartPainter ControlChart::chartPainter() const
{
    return ControlChartPainter(m_data, rect(), QFontMetricsF(font()));
}

QPointF ControlChart::pointPosition(int index) const
{
    return chartPainter().pointPosition(index);
}

int ControlChart::pointAt(const QPoint& pos) const
{
    return chartPainter().pointAt(pos);
}

void ControlChart::mousePressEvent(QMouseEvent* event)
{
    const int index = pointAt(event->pos());
    if (index >= 0)
        emit pointClicked(index);
    QWidget::mousePressEvent(event);
}

void ControlChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    chartPainter().paint(p, palette().base().color(), palette().text().color());
}
