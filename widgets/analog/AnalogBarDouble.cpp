#include "widgets/analog/AnalogBarDouble.h"

#include "widgets/analog/BarGeometry.h"

#include <QEvent>
#include <QPainter>
#include <QStaticText>

#include <algorithm>

AnalogBarDouble::AnalogBarDouble(QWidget* parent)
    : AbstractAnalogWidget(parent)
{
    setAutoFillBackground(true);
    setMinimumWidth(scaleWidth);
    updateTextHeight();
}

void AnalogBarDouble::setColor(const QColor& color)
{
    m_barColor = color;
    update();
}

void AnalogBarDouble::setName(const QString& name)
{
    m_name = name;
    updateGeometry();
    update();
}

void AnalogBarDouble::setShowScale(bool show)
{
    m_showScale = show;
    setMinimumWidth(show ? 2 * scaleWidth : scaleWidth);
    updateGeometry();
    update();
}

void AnalogBarDouble::setGrid(double grid)
{
    if (!(grid > 0.0))
        return;
    m_grid = grid;
    update();
}

void AnalogBarDouble::setGridAuto(bool on)
{
    m_gridAuto = on;
    update();
}

QSize AnalogBarDouble::sizeHint() const
{
    return QSize(1000, 1000);
}

QSize AnalogBarDouble::minimumSizeHint() const
{
    const QFontMetrics metrics(font());
    const int text = std::max(metrics.horizontalAdvance(m_name),
                              metrics.horizontalAdvance(QStringLiteral("255.00")));
    return QSize(text + 85 - (m_showScale ? 0 : scaleWidth), 50);
}

void AnalogBarDouble::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        updateTextHeight();
    AbstractAnalogWidget::changeEvent(event);
}

void AnalogBarDouble::updateTextHeight()
{
    QStaticText text(QStringLiteral("ABCjg"));
    text.prepare(QTransform(), font());
    m_textHeight = qRound(text.size().height());
}

void AnalogBarDouble::paintEvent(QPaintEvent* event)
{
    AbstractAnalogWidget::paintEvent(event);

    const int h = height();
    const int w = width() - 1;
    const int x0 = m_showScale ? scaleWidth : 0;
    const int top = topMargin;
    m_barHeight = h - topMargin - bottomBand;
    const int bottom = top + m_barHeight;
    const double minimum = rangeMin();
    const double maximum = rangeMax();
    const double span = maximum - minimum;

    QPainter painter(this);
    const bool enabled = isEnabled();
    const QColor pen =
        palette().color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    const QColor frame = enabled ? QColor(Qt::darkGray) : QColor(Qt::gray);
    const QColor empty =
        enabled ? QColor(Qt::white) : palette().color(QPalette::Disabled, QPalette::Window);
    const auto fill = [&painter](const QRect& rect, const QColor& color) {
        if (rect.isValid())
            painter.fillRect(rect, color);
    };

    painter.setPen(pen);
    if (m_showScale && !unit().isEmpty())
        painter.drawText(QRect(0, bottom, x0, bottomBand), Qt::AlignCenter,
                         QLatin1Char('[') + unit() + QLatin1Char(']'));
    QFont bold = painter.font();
    bold.setWeight(QFont::Bold);
    painter.setFont(bold);
    painter.drawText(QRect(x0, bottom, w - x0 + 1, bottomBand), Qt::AlignCenter, m_name);
    bold.setWeight(QFont::Normal);
    painter.setFont(bold);

    // The frame's corners stay open.
    painter.setPen(frame);
    painter.drawLine(x0 + 1, top, w - 1, top);
    painter.drawLine(x0 + 1, bottom, w - 1, bottom);
    painter.drawLine(x0, top + 1, x0, bottom - 1);
    painter.drawLine(w, top + 1, w, bottom - 1);

    if (m_barHeight <= 0)
        return; // no room for the bar; its grid search would find nothing either

    if (enabled) {
        const double v = value() + offset();
        const int yv = BarGeometry::levelY(v, minimum, maximum, bottom, m_barHeight);
        fill(QRect(QPoint(x0 + 1, yv), QPoint(w - 1, bottom - 1)), m_barColor);
        fill(QRect(QPoint(x0 + 1, top + 1), QPoint(w - 1, yv - 1)), empty);
        // The read-out straddles the bar's top when the value is low: each part is written
        // in the colour that stands out on what lies beneath it.
        const QRect textRect(QPoint(x0, bottom - m_textHeight), QPoint(w, bottom - 1));
        const QString text = BarGeometry::valueText(v, unit());
        const QRect filled(QPoint(x0, yv), QPoint(w, bottom));
        painter.save();
        painter.setClipRect(filled);
        painter.setPen(BarGeometry::textColorOn(m_barColor));
        painter.drawText(textRect, Qt::AlignCenter, text);
        painter.setClipRect(QRect(QPoint(x0, top), QPoint(w, yv - 1)));
        painter.setPen(pen);
        painter.drawText(textRect, Qt::AlignCenter, text);
        painter.restore();
    } else {
        fill(QRect(QPoint(x0 + 1, top + 1), QPoint(w - 1, bottom - 1)), empty);
    }

    if (m_gridAuto) {
        const BarGeometry::Grid grid = BarGeometry::autoGrid(span, m_barHeight);
        m_grid = grid.distance;
        if (grid.changed)
            emit gridChanged(m_grid);
    }

    const int decimals = BarGeometry::decimals(span);
    for (double g : BarGeometry::gridValues(minimum, maximum, m_grid)) {
        const int y = BarGeometry::levelY(g, minimum, maximum, bottom, m_barHeight);
        painter.setPen(g == 0.0 ? Qt::black : Qt::gray);
        painter.drawLine(x0 + 1, y, w - 1, y);
        if (m_showScale) {
            painter.setPen(Qt::black);
            painter.drawText(QRect(0, y - m_textHeight / 2 + 3, (4 * x0) / 5, m_textHeight),
                             Qt::AlignRight | Qt::AlignVCenter, QString::number(g, 'f', decimals));
        }
    }
}
