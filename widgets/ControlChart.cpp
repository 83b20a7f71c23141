#include "widgets/ControlChart.h"

#include "app/Constants.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr int margin = 8;
constexpr int labelWidth = 70;
constexpr double pickRadius = 6.0;

} // namespace

ControlChart::ControlChart(QWidget* parent)
    : QWidget(parent)
{
    setMinimumHeight(120);
}

void ControlChart::setSeries(const QVector<double>& values, const QVector<QString>& marks)
{
    m_values = values;
    m_marks = marks;
    m_marks.resize(values.size());
    updateRange();
    update();
}

void ControlChart::setLimits(double centre, double upper, double lower)
{
    m_centre = centre;
    m_upper = upper;
    m_lower = lower;
    updateRange();
    update();
}

void ControlChart::setTitle(const QString& title)
{
    m_title = title;
    update();
}

void ControlChart::setSelected(int index)
{
    m_selected = index;
    update();
}

QSize ControlChart::minimumSizeHint() const
{
    return {200, 120};
}

void ControlChart::updateRange()
{
    bool any = false;
    double lo = 0.0;
    double hi = 0.0;
    const auto take = [&](double v) {
        if (!std::isfinite(v))
            return;
        lo = any ? std::min(lo, v) : v;
        hi = any ? std::max(hi, v) : v;
        any = true;
    };
    for (const double v : m_values)
        take(v);
    take(m_centre);
    take(m_upper);
    take(m_lower);
    if (!any) {
        lo = 0.0;
        hi = 1.0;
    }
    const double span = hi > lo ? hi - lo : std::max(std::abs(hi), 1.0);
    m_min = lo - 0.05 * span;
    m_max = hi + 0.05 * span;
}

QRectF ControlChart::plotRect() const
{
    const int titleHeight = fontMetrics().height() + 4;
    return QRectF(margin + labelWidth, margin + titleHeight,
                  std::max(1, width() - 2 * margin - labelWidth),
                  std::max(1, height() - 2 * margin - titleHeight - fontMetrics().height()));
}

double ControlChart::yOf(double value) const
{
    const QRectF r = plotRect();
    return r.bottom() - (value - m_min) / (m_max - m_min) * r.height();
}

QPointF ControlChart::pointPosition(int index) const
{
    const QRectF r = plotRect();
    const int n = m_values.size();
    const double x = n <= 1 ? r.center().x() : r.left() + r.width() * index / (n - 1);
    return {x, yOf(m_values.value(index))};
}

int ControlChart::pointAt(const QPoint& pos) const
{
    int best = -1;
    double bestDistance = pickRadius;
    for (int i = 0; i < m_values.size(); ++i) {
        if (!std::isfinite(m_values.at(i)))
            continue;
        const QPointF p = pointPosition(i);
        const double d = std::hypot(p.x() - pos.x(), p.y() - pos.y());
        if (d <= bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
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
    p.fillRect(rect(), palette().base());
    const QRectF r = plotRect();
    p.setPen(palette().text().color());
    p.drawText(QRectF(margin, margin, width() - 2 * margin, fontMetrics().height() + 2),
               Qt::AlignLeft | Qt::AlignVCenter, m_title);
    p.setPen(QPen(Qt::gray, 1));
    p.drawRect(r);

    // Centre line solid, control limits dashed, each labelled with its value.
    const auto line = [&](double value, Qt::PenStyle style, const QColor& color) {
        if (!std::isfinite(value))
            return;
        const double y = yOf(value);
        p.setPen(QPen(color, 1.5, style));
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        p.setPen(palette().text().color());
        p.drawText(QRectF(margin, y - fontMetrics().height() / 2.0, labelWidth - 4,
                          fontMetrics().height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(value, 'g', 5));
    };
    line(m_centre, Qt::SolidLine, QColor(qColorPrimary));
    line(m_upper, Qt::DashLine, QColor(0xd0, 0x21, 0x21));
    line(m_lower, Qt::DashLine, QColor(0xd0, 0x21, 0x21));

    // The points joined in shot order; a shot without a value leaves a gap.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    QPainterPath path;
    bool open = false;
    for (int i = 0; i < m_values.size(); ++i) {
        if (!std::isfinite(m_values.at(i))) {
            open = false;
            continue;
        }
        const QPointF pt = pointPosition(i);
        if (open)
            path.lineTo(pt);
        else
            path.moveTo(pt);
        open = true;
    }
    p.drawPath(path);
    const bool dots = m_values.size() <= r.width() / 3;
    for (int i = 0; i < m_values.size(); ++i) {
        if (!std::isfinite(m_values.at(i)))
            continue;
        const QPointF pt = pointPosition(i);
        const bool marked = !m_marks.at(i).isEmpty();
        if (marked) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xd0, 0x21, 0x21));
            p.drawEllipse(pt, 3.5, 3.5);
            p.setPen(QColor(0xd0, 0x21, 0x21));
            p.drawText(QRectF(pt.x() - 30, pt.y() - fontMetrics().height() - 4, 60,
                              fontMetrics().height()),
                       Qt::AlignCenter, m_marks.at(i));
        } else if (dots) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x40, 0x40, 0x40));
            p.drawEllipse(pt, 2.0, 2.0);
        }
        if (i == m_selected) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(qColorPrimary), 2));
            p.drawEllipse(pt, 6.0, 6.0);
        }
    }
    p.setPen(palette().text().color());
    p.drawText(QRectF(r.left(), r.bottom() + 2, r.width(), fontMetrics().height()),
               Qt::AlignLeft, QStringLiteral("1"));
    p.drawText(QRectF(r.left(), r.bottom() + 2, r.width(), fontMetrics().height()),
               Qt::AlignRight, QString::number(m_values.size()));
}
