#include "view/TabEvaluationSingleShot.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "model/Model.h"
#include "ui_TabEvaluationSingleShot.h"
#include "view/EvaluationCells.h"
#include "widgets/OsziWidget.h"
#include "widgets/SpinBoxFit.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>

TabEvaluationSingleShot::TabEvaluationSingleShot(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::TabEvaluationSingleShot>())
{
    VTRACE();
    ui->setupUi(this);
    m_offsetBoxes = {ui->evalOffsetSpinBox1, ui->evalOffsetSpinBox2, ui->evalOffsetSpinBox3,
                     ui->evalOffsetSpinBox4, ui->evalOffsetSpinBox5};
    OsziWidget* plot = ui->evalOszi;
    connect(ui->evalMaxSpinBox, qOverload<double>(&QDoubleSpinBox::valueChanged), plot,
            &OsziWidget::setMaxValue);
    connect(ui->evalMinSpinBox, qOverload<double>(&QDoubleSpinBox::valueChanged), plot,
            &OsziWidget::setMinValue);
    connect(ui->evalCheckBoxValueGridAuto, &QCheckBox::toggled, plot,
            &OsziWidget::setValueGridAuto);
    connect(ui->evalValueGridSpinBox, qOverload<double>(&QDoubleSpinBox::valueChanged), plot,
            &OsziWidget::setValueGrid);
    connect(plot, &OsziWidget::valueGridChanged, ui->evalValueGridSpinBox,
            &QDoubleSpinBox::setValue);
    for (QDoubleSpinBox* box : m_offsetBoxes)
        connect(box, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
                &TabEvaluationSingleShot::offsetChanged);
    connect(ui->evalOverlaySpinBox, qOverload<int>(&QSpinBox::valueChanged), this,
            &TabEvaluationSingleShot::setOverlayChannel);
    connect(ui->evalScrollBarOszi, &QScrollBar::valueChanged, plot, &OsziWidget::setStartIndex);
    connect(ui->evalSliderTimeZoom, &QSlider::valueChanged, plot,
            qOverload<int>(&OsziWidget::setZoom));
    connect(ui->evalSliderTimeZoom, &QSlider::valueChanged, ui->evalLabelZoom,
            qOverload<int>(&QLabel::setNum));
    // Fitting is the default; a zoom chosen on the slider ends it.
    ui->evalSliderTimeZoom->setMaximum(500);
    m_fitZoomButton = new QPushButton(this);
    m_fitZoomButton->setObjectName(QStringLiteral("evalFitZoomButton"));
    m_fitZoomButton->setCheckable(true);
    m_fitZoomButton->setChecked(true);
    // Beside the scroll bar, which has room; the row of the zoom is full at 1366 pixels.
    auto* scrollRow = new QHBoxLayout;
    const int scrollIndex = ui->layoutLeft->indexOf(ui->evalScrollBarOszi);
    ui->layoutLeft->removeWidget(ui->evalScrollBarOszi);
    scrollRow->addWidget(ui->evalScrollBarOszi, 1);
    scrollRow->addWidget(m_fitZoomButton);
    ui->layoutLeft->insertLayout(scrollIndex, scrollRow);
    plot->setZoomToFit(true);
    connect(m_fitZoomButton, &QPushButton::toggled, plot, &OsziWidget::setZoomToFit);
    connect(ui->evalSliderTimeZoom, &QSlider::valueChanged, this,
            [this] { m_fitZoomButton->setChecked(false); });
    connect(plot, &OsziWidget::zoomChanged, this, [this](int zoom) {
        const QSignalBlocker blocker(ui->evalSliderTimeZoom);
        ui->evalSliderTimeZoom->setValue(zoom);
        ui->evalLabelZoom->setNum(zoom);
    });
    retranslateFitZoom();
    connect(ui->evalCheckBoxClockGridAuto, &QCheckBox::toggled, plot,
            &OsziWidget::setClockGridAuto);
    connect(ui->evalClockGridSpinBox, qOverload<int>(&QSpinBox::valueChanged), plot,
            &OsziWidget::setClockGrid);

    plot->setValueRange(-6.0, 6.0);
    plot->setValueGrid(1.0);
    plot->setHighlightColor(colorDarkRed);
    plot->setVerticalMarkerCount(4);

    ui->evalSliderTimeZoom->setValue(1);
    ui->evalLabelZoom->setText(QStringLiteral("1"));
    ui->evalClockLabel->setText(QStringLiteral("--"));
    ui->evalNumMeasuringsLabel->setText(QStringLiteral("0"));
}

TabEvaluationSingleShot::~TabEvaluationSingleShot() = default;

OsziWidget* TabEvaluationSingleShot::oszi() const
{
    return ui->evalOszi;
}

void TabEvaluationSingleShot::setModel(Model* m)
{
    if (model == m)
        return;
    if (model)
        disconnect(model, nullptr, this, nullptr);
    model = m;
    if (model)
        connect(model, &Model::dataAboutToChange, this,
                &TabEvaluationSingleShot::onModel_dataAboutToChange);
}

void TabEvaluationSingleShot::update()
{
    VTRACE();
    QWidget::update();
    if (!model) {
        qCWarning(lcView).noquote()
            << Q_FUNC_INFO
            << "ERROR: model is not set!  (model==nullptr)!  -> set model before calling this!";
        return;
    }
    OsziWidget* plot = ui->evalOszi;
    for (int i = 0; i < 5; ++i)
        plot->setPhaseName(i, model->phaseName(i));
    if (model->clock() > 0) {
        plot->setClock(model->clock());
        plot->setClockGrid(model->clock() * 100);
        ui->evalClockLabel->setText(QString::number(model->clock()) + QStringLiteral(" ms"));
    }
    for (int i = 0; i < 4; ++i)
        plot->setVerticalMarker(i, model->verticalMarker(i), qColorPrimary);
    takeSensorRange();
    for (int s = 0; s < numSensors; ++s) {
        plot->setChannelOffset(s, model->offset(s));
        const QSignalBlocker blocker(m_offsetBoxes[static_cast<size_t>(s)]);
        m_offsetBoxes[static_cast<size_t>(s)]->setValue(model->offset(s));
    }
    const int n = model->numChannels(0);
    ui->evalNumMeasuringsLabel->setText(QString::number(n));
    {
        const QSignalBlocker blocker(ui->evalOverlaySpinBox);
        ui->evalOverlaySpinBox->setMinimum(n > 0 ? 1 : 0);
        ui->evalOverlaySpinBox->setMaximum(n);
        ui->evalOverlaySpinBox->setValue(n);
    }
    setOverlayChannel(n);
    const std::array<ColoredButton*, numSensors> buttons = {
        ui->evalSensor1Button, ui->evalSensor2Button, ui->evalSensor3Button, ui->evalSensor4Button,
        ui->evalSensor5Button};
    for (int s = 0; s < numSensors; ++s)
        buttons[static_cast<size_t>(s)]->setColor(model->color(static_cast<quint8>(s)));
}

void TabEvaluationSingleShot::takeSensorRange()
{
    // The range that holds every sensor's range, as the description gives it.
    const SensorDescription& d = model->sensorDescription();
    if (d.numSensorGroups() < 1 || d.sensorGroup(0).numSensors() < 1)
        return;
    const SensorGroup& group = d.sensorGroup(0);
    double lo = group.sensorMinimum(0);
    double hi = group.sensorMaximum(0);
    for (int s = 1; s < numSensors && s < group.numSensors(); ++s) {
        lo = qMin(lo, group.sensorMinimum(s));
        hi = qMax(hi, group.sensorMaximum(s));
    }
    // Taken when it changed only, so that a range the user narrowed stays until then.
    if (!(hi > lo) || (lo == m_sensorRange.first && hi == m_sensorRange.second))
        return;
    m_sensorRange = {lo, hi};
    ui->evalOszi->setValueRange(lo, hi);
    const double span = hi - lo;
    for (QDoubleSpinBox* box : {ui->evalMinSpinBox, ui->evalMaxSpinBox}) {
        const QSignalBlocker blocker(box);
        box->setRange(lo - span, hi + span);
        box->setValue(box == ui->evalMinSpinBox ? lo : hi);
        SpinBoxFit::fitToRange(box);
    }
}

void TabEvaluationSingleShot::setOverlayChannel(int channel)
{
    VTRACE();
    m_channel = qMax(0, channel);
    if (channel <= 0 || !model) {
        showVerdict();
        return;
    }
    OsziWidget* plot = ui->evalOszi;
    int longest = 0;
    for (int s = 0; s < numSensors; ++s) {
        if (channel > model->numChannels(s))
            continue;
        const SampleList* samples = model->measurement(s, channel - 1);
        plot->setCurve(s, samples, curveColor(s));
        longest = qMax(longest, samples->size());
    }
    ui->evalScrollBarOszi->setMaximum(qMax(0, longest - 1));
    showVerdict();
    plot->update();
}

void TabEvaluationSingleShot::setVerdicts(const QVector<Verdict>& verdicts)
{
    m_verdicts = verdicts;
    if (!model)
        return;
    // Only the colours change: the curves keep the lists setOverlayChannel gave them.
    OsziWidget* plot = ui->evalOszi;
    for (int s = 0; s < numSensors; ++s) {
        if (plot->curve(s) && m_channel <= model->numChannels(s))
            plot->setCurve(s, plot->curve(s), curveColor(s));
    }
    showVerdict();
}

QColor TabEvaluationSingleShot::curveColor(int sensor) const
{
    const Verdict* v = EvaluationCells::verdictAt(m_verdicts, m_channel - 1);
    if (v && !v->isOk() && v->sensor == sensor)
        return Qt::red;
    return model->color(static_cast<quint8>(sensor));
}

void TabEvaluationSingleShot::showVerdict()
{
    QLabel* label = ui->overlayVerdictLabel;
    const Verdict* v = model ? EvaluationCells::verdictAt(m_verdicts, m_channel - 1) : nullptr;
    label->setVisible(v != nullptr);
    if (!v) {
        label->clear();
        return;
    }
    if (v->isOk()) {
        label->setStyleSheet(QStringLiteral("font-weight: bold;"));
        label->setText(v->verdictText());
    } else {
        label->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
        label->setText(v->verdictText() + QStringLiteral(" \u2013 ") +
                       EvaluationCells::violationText(*v, *model));
    }
}

void TabEvaluationSingleShot::offsetChanged(double offset)
{
    for (int s = 0; s < numSensors; ++s) {
        if (m_offsetBoxes[static_cast<size_t>(s)] == sender()) {
            ui->evalOszi->setChannelOffset(s, offset);
            ui->evalOszi->update();
            return;
        }
    }
    qCWarning(lcView) << "offsetChanged from an unknown sender";
}

void TabEvaluationSingleShot::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        // Keep what the read-outs showed; the form would reset them.
        const QString clock = ui->evalClockLabel->text();
        const QString count = ui->evalNumMeasuringsLabel->text();
        ui->retranslateUi(this);
        ui->evalClockLabel->setText(clock);
        ui->evalNumMeasuringsLabel->setText(count);
        retranslateFitZoom();
        ui->evalLabelZoom->setNum(ui->evalSliderTimeZoom->value());
        showVerdict();
    }
    QWidget::changeEvent(event);
}

void TabEvaluationSingleShot::onModel_dataAboutToChange()
{
    ui->evalOszi->clearCurves();
    // The verdicts name shots by index, which a deletion or an open changes.
    m_verdicts.clear();
    showVerdict();
}

void TabEvaluationSingleShot::showShot(int index)
{
    if (index >= 0 && index < ui->evalOverlaySpinBox->maximum())
        ui->evalOverlaySpinBox->setValue(index + 1);
}

void TabEvaluationSingleShot::retranslateFitZoom()
{
    m_fitZoomButton->setText(tr("Einpassen"));
    m_fitZoomButton->setToolTip(tr("Die längste gezeigte Messung auf die Breite des Plots zoomen"));
}
