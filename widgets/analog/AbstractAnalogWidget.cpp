#include "widgets/analog/AbstractAnalogWidget.h"

AbstractAnalogWidget::AbstractAnalogWidget(QWidget* parent)
    : QFrame(parent)
{
    m_valueRepaint.setSingleShot(true);
    m_valueRepaint.setInterval(valueRepaintInterval);
    connect(&m_valueRepaint, &QTimer::timeout, this, [this] { update(); });
}

void AbstractAnalogWidget::requestValueRepaint()
{
    // Not restarted while it runs, so that a steady stream of values still repaints.
    if (!m_valueRepaint.isActive())
        m_valueRepaint.start();
}

// The comparisons are written so that a NaN bound is refused as well.
bool AbstractAnalogWidget::storeRangeMin(double min)
{
    if (!(min < m_rangeMax))
        return false;
    m_rangeMin = min;
    return true;
}

bool AbstractAnalogWidget::storeRangeMax(double max)
{
    if (!(max > m_rangeMin))
        return false;
    m_rangeMax = max;
    return true;
}

bool AbstractAnalogWidget::storeRange(double min, double max)
{
    if (!(min < max))
        return false;
    m_rangeMin = min;
    m_rangeMax = max;
    return true;
}

void AbstractAnalogWidget::setRangeMin(double min)
{
    storeRangeMin(min);
    update();
}

void AbstractAnalogWidget::setRangeMax(double max)
{
    storeRangeMax(max);
    update();
}

void AbstractAnalogWidget::setRange(double min, double max)
{
    storeRange(min, max);
    update();
}

void AbstractAnalogWidget::setValue(double val)
{
    storeValue(val);
    requestValueRepaint();
}

void AbstractAnalogWidget::setUnit(const QString& u)
{
    storeUnit(u);
    update();
}

void AbstractAnalogWidget::setOffset(double o)
{
    storeOffset(o);
    requestValueRepaint();
}
