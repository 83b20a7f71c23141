#include "charts/CurvePlot.h"

#include "app/Constants.h"
#include "app/NumberStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

constexpr double margin = 8.0;
constexpr double labelGap = 10.0;
constexpr double maxTimeLabels = 10.0;
// Value grid lines at least this many text lines apart.
constexpr double valueLineSpacing = 2.0;
// Beyond this many pixels outside the plot a point is clipped anyway.
constexpr double farOutside = 1.0e5;
const QColor gridColor(0xdd, 0xdd, 0xdd);

// The 1-2-5 step at or above raw.
double niceStep(double raw)
{
    if (!(raw > 0.0) || !std::isfinite(raw))
        return 1.0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double f : {1.0, 2.0, 5.0, 10.0}) {
        if (f * magnitude >= raw * (1.0 - 1e-9))
            return f * magnitude;
    }
    return 10.0 * magnitude;
}

double nextNiceStep(double step)
{
    return niceStep(step * 1.5);
}

// The first multiple of step at or after from, and the last at or before to, as whole
// numbers of steps; a line that rounding puts a hair outside is kept.
double firstTick(double from, double step)
{
    return std::ceil(from / step - 1e-9);
}

double lastTick(double to, double step)
{
    return std::floor(to / step + 1e-9);
}

bool usable(double from, double to)
{
    return to > from && std::isfinite(to - from);
}

} // namespace

CurvePlot::CurvePlot(const QRectF& area, const CurvePlotAxes& axes, const QFontMetricsF& metrics)
    : m_area(area)
    , m_axes(axes)
    , m_metrics(metrics)
{
    if (!usable(m_axes.fromMs, m_axes.toMs)) {
        m_axes.fromMs = 0.0;
        m_axes.toMs = 1000.0;
    }
    if (!usable(m_axes.valueMin, m_axes.valueMax)) {
        const double centre = std::isfinite(m_axes.valueMin) ? m_axes.valueMin : 0.0;
        m_axes.valueMin = centre - 1.0;
        m_axes.valueMax = centre + 1.0;
    }
    const double textHeight = std::max(1.0, m_metrics.height());
    const double top = m_area.top() + margin + textHeight + 4.0;
    const double bottom = m_area.bottom() - margin - textHeight - 4.0;
    const double plotHeight = std::max(1.0, bottom - top);

    const double valueSpan = m_axes.valueMax - m_axes.valueMin;
    const double valueLines =
        std::clamp(std::floor(plotHeight / (valueLineSpacing * textHeight)), 1.0, 50.0);
    m_valueStep = niceStep(valueSpan / valueLines);
    m_valueDecimals =
        std::clamp(static_cast<int>(-std::floor(std::log10(m_valueStep) + 1e-9)), 0, 6);

    double labelWidth = 0.0;
    for (double k = firstTick(m_axes.valueMin, m_valueStep),
                last = lastTick(m_axes.valueMax, m_valueStep);
         k <= last; ++k)
        labelWidth = std::max(labelWidth, m_metrics.horizontalAdvance(valueLabel(k * m_valueStep)));
    const double left = m_area.left() + margin + labelWidth + 4.0;
    const double right = m_area.right() - 2.0 * margin;
    m_plot = QRectF(left, top, std::max(1.0, right - left), plotHeight);

    // About maxTimeLabels labels at most, and coarser until the widest keeps clear of the next.
    const double timeSpan = m_axes.toMs - m_axes.fromMs;
    const double widest = m_metrics.horizontalAdvance(timeLabel(m_axes.toMs, true)) + labelGap;
    m_timeStep = niceStep(timeSpan / maxTimeLabels);
    while (m_timeStep / timeSpan * m_plot.width() < widest && m_timeStep < timeSpan)
        m_timeStep = nextNiceStep(m_timeStep);
}

QRectF CurvePlot::plotRect() const
{
    return m_plot;
}

QPointF CurvePlot::map(double timeMs, double value) const
{
    return {m_plot.left() +
                (timeMs - m_axes.fromMs) / (m_axes.toMs - m_axes.fromMs) * m_plot.width(),
            m_plot.bottom() -
                (value - m_axes.valueMin) / (m_axes.valueMax - m_axes.valueMin) * m_plot.height()};
}

QString CurvePlot::timeLabel(double ms, bool last) const
{
    // + 0.0 turns a negative zero from the tick arithmetic into "0".
    const QString seconds = NumberStyle::general(ms / 1000.0 + 0.0);
    return last ? seconds + QStringLiteral(" s") : seconds;
}

QString CurvePlot::valueLabel(double value) const
{
    const QString number = NumberStyle::fixed(value + 0.0, m_valueDecimals);
    return m_axes.unit.isEmpty() ? number : number + QLatin1Char(' ') + m_axes.unit;
}

QPointF CurvePlot::columnPoint(const ColumnEnvelope& envelope, double column, double value) const
{
    const QPointF p = map(envelope.fromMs + column * envelope.columnMs, value);
    return {std::clamp(p.x(), m_plot.left() - farOutside, m_plot.right() + farOutside),
            std::clamp(p.y(), m_plot.top() - farOutside, m_plot.bottom() + farOutside)};
}

void CurvePlot::paintFrame(QPainter& painter) const
{
    const double textHeight = m_metrics.height();
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.fillRect(m_area, Qt::white);

    painter.setPen(QPen(gridColor, 0.5));
    const double firstValue = firstTick(m_axes.valueMin, m_valueStep);
    const double lastValue = lastTick(m_axes.valueMax, m_valueStep);
    for (double k = firstValue; k <= lastValue; ++k) {
        const double y = map(0.0, k * m_valueStep).y();
        painter.drawLine(QPointF(m_plot.left(), y), QPointF(m_plot.right(), y));
    }
    const double firstTime = firstTick(m_axes.fromMs, m_timeStep);
    const double lastTime = lastTick(m_axes.toMs, m_timeStep);
    for (double k = firstTime; k <= lastTime; ++k) {
        const double x = map(k * m_timeStep, 0.0).x();
        painter.drawLine(QPointF(x, m_plot.top()), QPointF(x, m_plot.bottom()));
    }
    painter.setPen(QPen(qColorGray555, 1.0));
    painter.drawRect(m_plot);

    painter.setPen(Qt::black);
    const QRectF titleRect(m_area.left() + margin, m_area.top() + margin,
                           m_area.width() - 2.0 * margin, textHeight);
    painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
                     m_metrics.elidedText(m_axes.title, Qt::ElideRight, titleRect.width()));

    const double labelRight = m_plot.left() - 4.0;
    for (double k = firstValue; k <= lastValue; ++k) {
        const double y = map(0.0, k * m_valueStep).y();
        painter.drawText(
            QRectF(m_area.left(), y - textHeight / 2.0, labelRight - m_area.left(), textHeight),
            Qt::AlignRight | Qt::AlignVCenter, valueLabel(k * m_valueStep));
    }
    // Each time label centred below its line; the last carries the unit. One that would
    // leave the area is left out rather than cut.
    for (double k = firstTime; k <= lastTime; ++k) {
        const QString text = timeLabel(k * m_timeStep, k == lastTime);
        const double width = m_metrics.horizontalAdvance(text);
        const double x = map(k * m_timeStep, 0.0).x() - width / 2.0;
        if (x < m_area.left() || x + width > m_area.right())
            continue;
        painter.drawText(QRectF(x, m_plot.bottom() + 2.0, width, textHeight), Qt::AlignCenter,
                         text);
    }
    painter.restore();
}

void CurvePlot::paintMarkers(QPainter& painter, const QVector<double>& markersMs,
                             const QStringList& phaseNames, const QColor& color) const
{
    painter.save();
    painter.setPen(QPen(color, 1.0));
    QVector<double> borders{m_plot.left()};
    for (const double ms : markersMs) {
        const double x = map(ms, 0.0).x();
        if (x >= m_plot.left() && x <= m_plot.right())
            painter.drawLine(QPointF(x, m_plot.top()), QPointF(x, m_plot.bottom()));
        borders.append(std::clamp(x, m_plot.left(), m_plot.right()));
    }
    borders.append(m_plot.right());
    const double textHeight = m_metrics.height();
    for (int i = 0; i < phaseNames.size() && i + 1 < borders.size(); ++i) {
        const double room = borders.at(i + 1) - borders.at(i) - 4.0;
        if (phaseNames.at(i).isEmpty() || m_metrics.horizontalAdvance(phaseNames.at(i)) > room)
            continue;
        painter.drawText(QRectF(borders.at(i) + 2.0, m_plot.top() + 2.0, room, textHeight),
                         Qt::AlignCenter, phaseNames.at(i));
    }
    painter.restore();
}

void CurvePlot::paintArea(QPainter& painter, const ColumnEnvelope& envelope,
                          const QColor& fill) const
{
    painter.save();
    painter.setClipRect(m_plot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    const int n = envelope.columns();
    QPolygonF polygon;
    for (int start = 0; start < n;) {
        if (std::isnan(envelope.lower.at(start))) {
            ++start;
            continue;
        }
        int end = start;
        while (end < n && !std::isnan(envelope.lower.at(end)))
            ++end;
        polygon.clear();
        if (end - start == 1) {
            // A single column has no width between centres: it fills its own width.
            const double hi = envelope.upper.at(start);
            const double lo = envelope.lower.at(start);
            polygon << columnPoint(envelope, start, hi) << columnPoint(envelope, start + 1, hi)
                    << columnPoint(envelope, start + 1, lo) << columnPoint(envelope, start, lo);
        } else {
            for (int c = start; c < end; ++c)
                polygon << columnPoint(envelope, c + 0.5, envelope.upper.at(c));
            for (int c = end - 1; c >= start; --c)
                polygon << columnPoint(envelope, c + 0.5, envelope.lower.at(c));
        }
        painter.drawPolygon(polygon);
        start = end;
    }
    painter.restore();
}

void CurvePlot::paintLine(QPainter& painter, const ColumnEnvelope& envelope, const QColor& color,
                          double width) const
{
    painter.save();
    painter.setClipRect(m_plot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const int n = envelope.columns();
    QPolygonF line;
    for (int start = 0; start < n;) {
        if (std::isnan(envelope.lower.at(start))) {
            ++start;
            continue;
        }
        line.clear();
        // Each column's extremes in the order that leaves the curve where the next column
        // takes it up: the one nearer the last point first.
        double last = start + 1 < n && !std::isnan(envelope.lower.at(start + 1))
                          ? (envelope.lower.at(start + 1) + envelope.upper.at(start + 1)) / 2.0
                          : envelope.lower.at(start);
        bool firstColumn = true;
        int c = start;
        for (; c < n && !std::isnan(envelope.lower.at(c)); ++c) {
            const double lo = envelope.lower.at(c);
            const double hi = envelope.upper.at(c);
            // The first column has no point before it: it ends nearer the next column.
            const bool lowFirst = firstColumn ? std::abs(hi - last) <= std::abs(lo - last)
                                              : std::abs(lo - last) < std::abs(hi - last);
            const double a = lowFirst ? lo : hi;
            const double b = lowFirst ? hi : lo;
            line << columnPoint(envelope, c + 0.5, a);
            if (b != a)
                line << columnPoint(envelope, c + 0.5, b);
            last = b;
            firstColumn = false;
        }
        if (line.size() == 1)
            line << line.first();
        painter.drawPolyline(line);
        start = c;
    }
    painter.restore();
}
