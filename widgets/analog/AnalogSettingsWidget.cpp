#include "widgets/analog/AnalogSettingsWidget.h"

#include "ui_AnalogSettingsWidget.h"

#include <QSignalBlocker>

AnalogSettingsWidget::AnalogSettingsWidget(QWidget* parent, bool showGrid)
    : QFrame(parent)
    , ui(std::make_unique<Ui::AnalogSettingsWidget>())
{
    ui->setupUi(this);
    setGridControlsVisible(showGrid);
    connect(ui->checkBoxGridAuto, &QCheckBox::toggled, ui->spinBoxGrid,
            [this](bool automatic) { ui->spinBoxGrid->setEnabled(!automatic); });
    connect(ui->spinBoxMinValue, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            &AnalogSettingsWidget::minValueChanged);
    connect(ui->spinBoxMaxValue, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            &AnalogSettingsWidget::maxValueChanged);
    connect(ui->spinBoxOffset, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            &AnalogSettingsWidget::offsetChanged);
}

AnalogSettingsWidget::~AnalogSettingsWidget() = default;

void AnalogSettingsWidget::setGridControlsVisible(bool visible)
{
    ui->labelGrid->setVisible(visible);
    ui->checkBoxGridAuto->setVisible(visible);
    ui->spinBoxGrid->setVisible(visible);
}

void AnalogSettingsWidget::setMinValue(double value)
{
    const QSignalBlocker blocker(ui->spinBoxMinValue);
    ui->spinBoxMinValue->setValue(value);
}

void AnalogSettingsWidget::setMaxValue(double value)
{
    const QSignalBlocker blocker(ui->spinBoxMaxValue);
    ui->spinBoxMaxValue->setValue(value);
}

void AnalogSettingsWidget::setOffsetValue(double value)
{
    const QSignalBlocker blocker(ui->spinBoxOffset);
    ui->spinBoxOffset->setValue(value);
}

void AnalogSettingsWidget::setLimitMinimum(double x)
{
    if (!(x < ui->spinBoxMinValue->maximum()))
        return;
    ui->spinBoxMinValue->setMinimum(x);
    ui->spinBoxMaxValue->setMinimum(x);
}

void AnalogSettingsWidget::setLimitMaximum(double x)
{
    if (!(x > ui->spinBoxMinValue->minimum()))
        return;
    ui->spinBoxMinValue->setMaximum(x);
    ui->spinBoxMaxValue->setMaximum(x);
}

void AnalogSettingsWidget::setLimits(double lo, double hi)
{
    if (!(lo < hi))
        return;
    // Moving the limits wholly above the present ones needs the upper limit first, or the
    // lower one would be refused for lying above the old maximum.
    if (lo >= limitMaximum()) {
        setLimitMaximum(hi);
        setLimitMinimum(lo);
    } else {
        setLimitMinimum(lo);
        setLimitMaximum(hi);
    }
}

double AnalogSettingsWidget::minValue() const
{
    return ui->spinBoxMinValue->value();
}

double AnalogSettingsWidget::maxValue() const
{
    return ui->spinBoxMaxValue->value();
}

double AnalogSettingsWidget::offsetValue() const
{
    return ui->spinBoxOffset->value();
}

double AnalogSettingsWidget::limitMinimum() const
{
    return ui->spinBoxMinValue->minimum();
}

double AnalogSettingsWidget::limitMaximum() const
{
    return ui->spinBoxMinValue->maximum();
}
