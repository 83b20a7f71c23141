#include "widgets/analog/GaugeWidget.h"

#include "app/Logging.h"
#include "widgets/SensorNumbers.h"
#include "widgets/gauge/DialArcItem.h"
#include "widgets/gauge/DialDegreesItem.h"
#include "widgets/gauge/DialLabelItem.h"
#include "widgets/gauge/DialNeedleItem.h"
#include "widgets/gauge/DialValuesItem.h"
#include "widgets/gauge/DialWidget.h"

#include <QVBoxLayout>

GaugeWidget::GaugeWidget(QWidget* parent)
    : AbstractAnalogWidget(parent)
{
    setStyleSheet(QStringLiteral("GaugeWidget {") + QStringLiteral("  background-color: green;") +
                  QStringLiteral("  border: 1px solid red;") +
                  QStringLiteral("  border-radius: 1px;") + QStringLiteral("}"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_dial = new DialWidget(this);
    m_dial->setRepaintInterval(valueRepaintInterval);
    // The gauge grows with its room, and makes do with less than the dial's own least.
    m_dial->setMinimumSize(minimumDial, minimumDial);
    layout->addWidget(m_dial);

    m_dial->addArc(55);
    m_unitLabel = m_dial->addLabel(70);
    m_unitLabel->setText(QStringLiteral("unitLabel"));
    m_valueLabel = m_dial->addLabel(40);
    m_valueLabel->setText(QStringLiteral("valueLabel"));
    m_needle = m_dial->addNeedle(60);
    m_needle->setColor(Qt::red);
    m_needle->setLabel(m_valueLabel);
    rebuild();
}

void GaugeWidget::setRangeMin(double min)
{
    storeRangeMin(min);
    rebuild();
}

void GaugeWidget::setRangeMax(double max)
{
    storeRangeMax(max);
    rebuild();
}

void GaugeWidget::setRange(double min, double max)
{
    storeRange(min, max);
    rebuild();
}

void GaugeWidget::setValue(double val)
{
    storeValue(val);
    rebuild();
}

void GaugeWidget::setUnit(const QString& u)
{
    storeUnit(u);
    rebuild();
}

void GaugeWidget::rebuild()
{
    if (!m_degrees || m_scaleMin != rangeMin() || m_scaleMax != rangeMax()) {
        m_scaleMin = rangeMin();
        m_scaleMax = rangeMax();
        const float minimum = static_cast<float>(m_scaleMin);
        const float maximum = static_cast<float>(m_scaleMax);
        for (DialScaleItem* old :
             {static_cast<DialScaleItem*>(m_degrees), static_cast<DialScaleItem*>(m_values)}) {
            if (old) {
                m_dial->removeItem(old);
                delete old;
            }
        }
        const float step = (maximum - minimum) / 10;
        m_degrees = m_dial->addDegrees(65);
        m_values = m_dial->addValues(80);
        // The gauge works in float: a range too narrow or too wide for it keeps the default
        // scale rather than dividing by nothing.
        if (!m_degrees->setValueRange(minimum, maximum) ||
            !m_values->setValueRange(minimum, maximum) ||
            !m_needle->setValueRange(minimum, maximum))
            qCWarning(lcWidgets).noquote()
                << Q_FUNC_INFO << "range cannot be shown:" << rangeMin() << rangeMax();
        m_degrees->setStep(step);
        m_values->setStep(step);
    }
    if (!m_shownUnit || *m_shownUnit != unit()) {
        m_shownUnit = unit();
        m_unitLabel->setText(QLatin1Char('[') + unit() + QLatin1Char(']'));
    }
    // The read-out as on the bar: plain digits with the decimals of the unit.
    const int decimals = SensorNumbers::readoutDecimals(unit());
    if (decimals != m_needle->labelDecimals())
        m_needle->setLabelDecimals(decimals);
    m_needle->setCurrentValue(value() + offset());
}
