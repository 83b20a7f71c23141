#include "widgets/analog/AnalogSettingsWidget.h"

#include "ui_AnalogSettingsWidget.h"
#include "widgets/SensorNumbers.h"
#include "widgets/SpinBoxFit.h"

#include <QSignalBlocker>

#include <cmath>
#include <QEvent>

AnalogSettingsWidget::AnalogSettingsWidget(QWidget* parent, bool showGrid)
    : QFrame(parent)
    , ui(std::make_unique<Ui::AnalogSettingsWidget>())
{
    ui->setupUi(this);
    setGridControlsVisible(showGrid);
    placeWidgets();
    fitBoxes();
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

void AnalogSettingsWidget::setPanelLayout(PanelLayout layout)
{
    if (layout == m_layout)
        return;
    m_layout = layout;
    placeWidgets();
}

void AnalogSettingsWidget::placeWidgets()
{
    auto* grid = ui->gridLayout;
    const QList<QWidget*> widgets = {ui->labelRange,  ui->spinBoxMaxValue,  ui->spinBoxMinValue,
                                     ui->labelGrid,   ui->checkBoxGridAuto, ui->spinBoxGrid,
                                     ui->labelOffset, ui->spinBoxOffset};
    for (QWidget* w : widgets)
        grid->removeWidget(w);
    switch (m_layout) {
    case PanelLayout::Above:
        grid->addWidget(ui->labelRange, 0, 0, 1, 2);
        grid->addWidget(ui->spinBoxMaxValue, 1, 0, 1, 2);
        grid->addWidget(ui->spinBoxMinValue, 2, 0, 1, 2);
        grid->addWidget(ui->labelGrid, 3, 0, 1, 2);
        grid->addWidget(ui->checkBoxGridAuto, 4, 0);
        grid->addWidget(ui->spinBoxGrid, 4, 1);
        grid->addWidget(ui->labelOffset, 5, 0, 1, 2);
        grid->addWidget(ui->spinBoxOffset, 6, 0, 1, 2);
        break;
    case PanelLayout::Beside:
        grid->addWidget(ui->labelRange, 0, 0);
        grid->addWidget(ui->spinBoxMaxValue, 0, 1, 1, 2);
        grid->addWidget(ui->spinBoxMinValue, 1, 1, 1, 2);
        grid->addWidget(ui->labelGrid, 2, 0);
        grid->addWidget(ui->checkBoxGridAuto, 2, 1);
        grid->addWidget(ui->spinBoxGrid, 2, 2);
        grid->addWidget(ui->labelOffset, 3, 0);
        grid->addWidget(ui->spinBoxOffset, 3, 1, 1, 2);
        break;
    case PanelLayout::Wide:
        grid->addWidget(ui->labelRange, 0, 0);
        grid->addWidget(ui->spinBoxMaxValue, 0, 1);
        grid->addWidget(ui->spinBoxMinValue, 0, 2);
        grid->addWidget(ui->labelGrid, 1, 0);
        grid->addWidget(ui->checkBoxGridAuto, 1, 1);
        grid->addWidget(ui->spinBoxGrid, 1, 2);
        grid->addWidget(ui->labelOffset, 2, 0);
        grid->addWidget(ui->spinBoxOffset, 2, 1);
        break;
    }
    // The layout that holds the panel keeps its old sizes until told.
    grid->invalidate();
    updateGeometry();
}

void AnalogSettingsWidget::setDecimals(int decimals)
{
    for (QDoubleSpinBox* box : {ui->spinBoxMaxValue, ui->spinBoxMinValue, ui->spinBoxOffset}) {
        const QSignalBlocker blocker(box);
        box->setDecimals(decimals);
    }
    fitBoxes();
}

void AnalogSettingsWidget::setOffsetBound(double bound)
{
    if (!(bound > 0.0) || !std::isfinite(bound))
        return;
    {
        const QSignalBlocker blocker(ui->spinBoxOffset);
        ui->spinBoxOffset->setRange(-bound, bound);
        ui->spinBoxOffset->setSingleStep(SensorNumbers::niceStep(bound / 24));
    }
    for (QDoubleSpinBox* box : {ui->spinBoxMaxValue, ui->spinBoxMinValue})
        box->setSingleStep(SensorNumbers::niceStep(bound / 12));
    fitBoxes();
}

void AnalogSettingsWidget::fitBoxes()
{
    for (QDoubleSpinBox* box :
         {ui->spinBoxMaxValue, ui->spinBoxMinValue, ui->spinBoxOffset, ui->spinBoxGrid})
        SpinBoxFit::fitToRange(box);
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
    fitBoxes();
}

void AnalogSettingsWidget::setLimitMaximum(double x)
{
    if (!(x > ui->spinBoxMinValue->minimum()))
        return;
    ui->spinBoxMinValue->setMaximum(x);
    ui->spinBoxMaxValue->setMaximum(x);
    fitBoxes();
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

void AnalogSettingsWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
    }
    QFrame::changeEvent(event);
}
