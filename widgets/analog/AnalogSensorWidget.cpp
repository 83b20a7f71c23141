#include "widgets/analog/AnalogSensorWidget.h"

#include "ui_AnalogSensorWidget.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "widgets/SensorNumbers.h"
#include "widgets/analog/AnalogBarDouble.h"
#include "widgets/analog/AnalogSettingsWidget.h"
#include "widgets/analog/GaugeWidget.h"

#include <QSignalBlocker>

#include <cstdlib>

namespace {

// The body shared by the style sheets of the composite and its displays.
const QString whiteBody = QStringLiteral("  background-color: white;") +
                          QStringLiteral("  border: 0px solid red;") +
                          QStringLiteral("  border-radius: 1px;");

constexpr double widestRange = 100000.0;

} // namespace

AnalogSensorWidget::AnalogSensorWidget(QWidget* parent, AnalogSensorWidgetType type)
    : AbstractAnalogWidget(parent)
    , ui(std::make_unique<Ui::AnalogSensorWidget>())
    , m_type(type)
{
    VTRACE();
    ui->setupUi(this);
    setStyleSheet(QStringLiteral("AnalogSensorWidget {") + whiteBody + QStringLiteral("}"));
    ui->label->setText(QStringLiteral("(label)"));
    ui->label->setStyleSheet(
        QStringLiteral("QLabel {") + QStringLiteral("  background-color: white;") +
        QStringLiteral("  border: 0px solid red;") +
        QStringLiteral("  font: bold 20px;  qproperty-alignment: 'AlignVCenter | AlignCenter';  "
                       "qproperty-wordWrap: true;}"));

    m_display = createDisplay(type);
    ui->analogParent->layout()->addWidget(m_display);

    ui->settingsWidget->setGridControlsVisible(false);
    // The display takes whatever height the cell has beyond its title and panel.
    ui->settingsWidget->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    ui->label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    ui->settingsWidget->setStyleSheet(QStringLiteral("AnalogSettingsWidget {") +
                                      QStringLiteral("  background-color: ") + colorGrayEEE +
                                      QStringLiteral(";") + QStringLiteral("}"));
    ui->settingsWidget->setLimits(-widestRange, widestRange);
    ui->settingsWidget->setMinValue(-widestRange);
    ui->settingsWidget->setMaxValue(widestRange);
    // The display starts on the range the boxes show, so that setMaximumRange narrows both
    // to a sensor's range; left at 0 ... 1 it would stay out of step with the boxes.
    storeRange(-widestRange, widestRange);
    m_display->setRange(-widestRange, widestRange);

    connect(ui->settingsWidget, &AnalogSettingsWidget::minValueChanged, this,
            &AnalogSensorWidget::onMinValueChanged);
    connect(ui->settingsWidget, &AnalogSettingsWidget::maxValueChanged, this,
            &AnalogSensorWidget::onMaxValueChanged);
    connect(ui->settingsWidget, &AnalogSettingsWidget::offsetChanged, this,
            &AnalogSensorWidget::onOffsetChanged);
}

AnalogSensorWidget::~AnalogSensorWidget() = default;

AnalogSettingsWidget* AnalogSensorWidget::settings() const
{
    return ui->settingsWidget;
}

QString AnalogSensorWidget::name() const
{
    return ui->label->text();
}

AbstractAnalogWidget* AnalogSensorWidget::createDisplay(AnalogSensorWidgetType type)
{
    switch (type) {
    case AnalogSensorWidgetType::Linear: {
        auto* bar = new AnalogBarDouble(ui->analogParent);
        bar->setShowScale(true);
        bar->setStyleSheet(QStringLiteral("AnalogBarDouble {") + whiteBody + QStringLiteral("}"));
        return bar;
    }
    case AnalogSensorWidgetType::Round: {
        auto* gauge = new GaugeWidget(ui->analogParent);
        gauge->setStyleSheet(QStringLiteral("GaugeWidget {") + whiteBody + QStringLiteral("}"));
        // Styles the dial inside rather than the frame around it.
        gauge->setStyleSheet(QStringLiteral("DialWidget {") + whiteBody + QStringLiteral("}"));
        return gauge;
    }
    }
    // Only a value cast from outside the two known ones gets here: a programming error.
    qCCritical(lcWidgets).noquote() << Q_FUNC_INFO << "ERROR: type unknown!!!";
    std::exit(-1);
}

void AnalogSensorWidget::setWidgetType(AnalogSensorWidgetType type)
{
    VTRACE();
    if (type == m_type)
        return;
    delete m_display;
    m_type = type;
    m_display = createDisplay(type);
    qCDebug(lcTrace) << "min: " << rangeMin();
    qCDebug(lcTrace) << "max: " << rangeMax();
    qCDebug(lcTrace) << "offset: " << offset();
    qCDebug(lcTrace).noquote() << "unit: " + unit();
    m_display->setRange(-widestRange, widestRange);
    m_display->setUnit(unit());
    m_display->setRange(rangeMin(), rangeMax());
    m_display->setOffset(offset());
    // The bar would come back gray otherwise.
    m_display->setColor(m_color);
    ui->analogParent->layout()->addWidget(m_display);
    // Shown now rather than with the next pass of the event loop, so that the sizes asked
    // for at once include it.
    if (ui->analogParent->isVisible())
        m_display->show();
}

void AnalogSensorWidget::setColor(const QColor& color)
{
    m_color = color;
    m_display->setColor(color);
}

void AnalogSensorWidget::setName(const QString& name)
{
    ui->label->setText(name);
}

void AnalogSensorWidget::setShowScale(bool show)
{
    m_display->setShowScale(show);
}

void AnalogSensorWidget::setGrid(double grid)
{
    m_display->setGrid(grid);
}

// The boxes show the range in effect: a refused entry is put back.
void AnalogSensorWidget::setRangeMin(double x)
{
    storeRangeMin(x);
    m_display->setRangeMin(x);
    ui->settingsWidget->setMinValue(rangeMin());
}

void AnalogSensorWidget::setRangeMax(double x)
{
    storeRangeMax(x);
    m_display->setRangeMax(x);
    ui->settingsWidget->setMaxValue(rangeMax());
}

// Kept here as well, or the next type switch would bring back the range before it.
void AnalogSensorWidget::setRange(double a, double b)
{
    storeRange(a, b);
    m_display->setRange(a, b);
    ui->settingsWidget->setMinValue(rangeMin());
    ui->settingsWidget->setMaxValue(rangeMax());
}

void AnalogSensorWidget::setValue(double x)
{
    storeValue(x);
    m_display->setValue(x);
}

void AnalogSensorWidget::setUnit(const QString& u)
{
    storeUnit(u);
    m_display->setUnit(u);
    ui->settingsWidget->setDecimals(SensorNumbers::entryDecimals(u, m_sensorMin, m_sensorMax));
}

// Offsets arrive with every value line; an unchanged one costs nothing.
void AnalogSensorWidget::setOffset(double x)
{
    if (x == offset())
        return;
    storeOffset(x);
    m_display->setOffset(x);
    ui->settingsWidget->setOffsetValue(x);
}

void AnalogSensorWidget::setMaximumRange(double min, double max)
{
    VTRACE();
    if (!(min < max))
        return;
    const double span = max - min;
    const double lo = min - span;
    const double hi = max + span;
    if (m_display->rangeMin() < lo)
        setRangeMin(min);
    if (m_display->rangeMax() > hi)
        setRangeMax(max);
    if (lo > ui->settingsWidget->limitMinimum())
        ui->settingsWidget->setLimitMinimum(lo);
    if (hi < ui->settingsWidget->limitMaximum())
        ui->settingsWidget->setLimitMaximum(hi);
    // Offsets reach as far as calibration can take them for this sensor's range; a unit not
    // known gets the decimals of the range.
    m_sensorMin = min;
    m_sensorMax = max;
    ui->settingsWidget->setOffsetBound(SensorNumbers::offsetBound(min, max));
    ui->settingsWidget->setDecimals(SensorNumbers::entryDecimals(unit(), min, max));
}

void AnalogSensorWidget::onMinValueChanged(double val)
{
    qCDebug(lcTrace).noquote() << Q_FUNC_INFO << "val=" << val;
    const bool blocked = ui->settingsWidget->blockSignals(true);
    const double before = rangeMin();
    setRangeMin(val);
    // A refused entry has been put back in the box and changes nothing to announce.
    if (rangeMin() != before || val == before)
        emit minValueChanged(val);
    ui->settingsWidget->blockSignals(blocked);
}

void AnalogSensorWidget::onMaxValueChanged(double val)
{
    qCDebug(lcTrace).noquote() << Q_FUNC_INFO << "val=" << val;
    const bool blocked = ui->settingsWidget->blockSignals(true);
    const double before = rangeMax();
    setRangeMax(val);
    if (rangeMax() != before || val == before)
        emit maxValueChanged(val);
    ui->settingsWidget->blockSignals(blocked);
}

void AnalogSensorWidget::onOffsetChanged(double val)
{
    qCDebug(lcTrace).noquote() << Q_FUNC_INFO << "val=" << val;
    const bool blocked = ui->settingsWidget->blockSignals(true);
    setOffset(val);
    emit offsetChanged(val);
    ui->settingsWidget->blockSignals(blocked);
}
