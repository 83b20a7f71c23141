#include "charts/ControlChartPainter.h"

#include "app/Constants.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int margin = 8;
constexpr int labelWidth = 70;
constexpr double pickRadius = 6.0;
const QColor limitColor = qColorProblem;
const QColor pointColor(0x40, 0x40, 0x40);

// A text line's height in whole pixels, as QFontMetrics gives it: the layout stays on the
// pixels the chart had when it measured with integer metrics.
int lineHeight(const QFontMetricsF& metrics)
{
    return qRound(metrics.ascent()) + qRound(metrics.descent());
}

} // namespace

ControlChartPainter::ControlChartPainter(const ControlChartData& data, const QRectF& area,
                                         const QFontMetricsF& metrics)
    : m_data(data)
    , m_area(area)
    , m_metrics(metrics)
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
    for (const double v : m_data.values)
        take(v);
    take(m_data.centre);
    take(m_data.upper);
    take(m_data.lower);
    if (!any) {
        lo = 0.0;
        hi = 1.0;
    }
    const double span = hi > lo ? hi - lo : std::max(std::abs(hi), 1.0);
    m_min = lo - 0.05 * span;
    m_max = hi + 0.05 * span;
}

QRectF ControlChartPainter::plotRect() const
{
    const int textHeight = lineHeight(m_metrics);
    const int titleHeight = textHeight + 4;
    return QRectF(m_area.left() + margin + labelWidth, m_area.top() + margin + titleHeight,
                  std::max(1.0, m_area.width() - 2 * margin - labelWidth),
                  std::max(1.0, m_area.height() - 2 * margin - titleHeight - textHeight));
}

double ControlChartPainter::yOf(double value) const
{
    const QRectF r = plotRect();
    return r.bottom() - (value - m_min) / (m_max - m_min) * r.height();
}

QPointF ControlChartPainter::pointPosition(int index) const
{
    const QRectF r = plotRect();
    const int n = m_data.values.size();
    const double x = n <= 1 ? r.center().x() : r.left() + r.width() * index / (n - 1);
    return {x, yOf(m_data.values.value(index))};
}

int ControlChartPainter::pointAt(const QPointF& pos) const
{
    int best = -1;
    double bestDistance = pickRadius;
    for (int i = 0; i < m_data.values.size(); ++i) {
        if (!std::isfinite(m_data.values.at(i)))
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

void ControlChartPainter::paint(QPainter& p, const QColor& background, const QColor& text) const
{
    const QVector<double>& values = m_data.values;
    const int textHeight = lineHeight(m_metrics);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.fillRect(m_area, background);
    const QRectF r = plotRect();
    p.setPen(text);
    p.drawText(QRectF(m_area.left() + margin, m_area.top() + margin, m_area.width() - 2 * margin,
                      textHeight + 2),
               Qt::AlignLeft | Qt::AlignVCenter, m_data.title);
    p.setPen(QPen(Qt::gray, 1));
    p.drawRect(r);

    // Centre line solid, control limits dashed, each labelled with its value.
    const auto line = [&](double value, Qt::PenStyle style, const QColor& color) {
        if (!std::isfinite(value))
            return;
        const double y = yOf(value);
        p.setPen(QPen(color, 1.5, style));
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        p.setPen(text);
        p.drawText(QRectF(m_area.left() + margin, y - textHeight / 2.0, labelWidth - 4, textHeight),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(value, 'g', 5));
    };
    line(m_data.centre, Qt::SolidLine, qColorPrimary);
    line(m_data.upper, Qt::DashLine, limitColor);
    line(m_data.lower, Qt::DashLine, limitColor);

    // The points joined in shot order; a shot without a value leaves a gap.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(pointColor, 1));
    QPainterPath path;
    bool open = false;
    for (int i = 0; i < values.size(); ++i) {
        if (!std::isfinite(values.at(i))) {
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
    // Dots only while they stay apart; the line alone shows a long series.
    const bool dots = values.size() <= r.width() / 3;
    for (int i = 0; i < values.size(); ++i) {
        if (!std::isfinite(values.at(i)))
            continue;
        const QPointF pt = pointPosition(i);
        const QString mark = m_data.marks.value(i);
        if (!mark.isEmpty()) {
            p.setPen(Qt::NoPen);
            p.setBrush(limitColor);
            p.drawEllipse(pt, 3.5, 3.5);
            p.setPen(limitColor);
            p.drawText(QRectF(pt.x() - 30, pt.y() - textHeight - 4, 60, textHeight),
                       Qt::AlignCenter, mark);
        } else if (dots) {
            p.setPen(Qt::NoPen);
            p.setBrush(pointColor);
            p.drawEllipse(pt, 2.0, 2.0);
        }
        if (i == m_data.selected) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(qColorPrimary, 2));
            p.drawEllipse(pt, 6.0, 6.0);
        }
    }
    p.setPen(text);
    const QRectF below(r.left(), r.bottom() + 2, r.width(), textHeight);
    p.drawText(below, Qt::AlignLeft, QStringLiteral("1"));
    p.drawText(below, Qt::AlignRight, QString::number(values.size()));
    p.restore();
}
