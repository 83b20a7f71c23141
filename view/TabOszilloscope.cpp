#include "view/TabOszilloscope.h"

#include "view/CursorTableWindow.h"
#include "view/GapBar.h"
#include "view/GapText.h"
#include "view/View.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "model/Model.h"
#include "model/ViewData.h"
#include "ui_TabOszilloscope.h"
#include "widgets/OsziGeometry.h"
#include "widgets/OsziWidget.h"
#include "widgets/SensorNumbers.h"
#include "widgets/SpinBoxFit.h"

#include <QBitmap>
#include <QEvent>
#include <QHBoxLayout>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace {

// The page's toggle buttons: filled while checked, outlined while not, so that the state
// shows at a glance. Given to the buttons themselves so that the page's own background
// rules do not reach them.
QString toggleButtonStyle()
{
    return "QPushButton { border: 2px solid " + colorPrimary +
           "; border-radius: 3px; padding: 0px 4px; color: " + colorWhite +
           "; background-color: " + colorPrimary +
           "; font-size: 16px; min-height: 36px; min-width: 46px; }"
           "QPushButton:checked { background-color: " +
           colorPrimary + "; color: " + colorWhite +
           "; }"
           "QPushButton:!checked { background-color: " +
           colorWhite + "; color: " + colorPrimary +
           "; }"
           "QPushButton:disabled { color: #CCC; background-color: gray; border-color: gray; }";
}

// The largest time-grid step the page shows: a thousand seconds.
const int maxClockGrid = 1000000;

// A picture drawn in one colour: the shape of its opaque pixels.
template <typename Widgets>
int indexOf(const QObject* object, const Widgets& widgets)
{
    for (size_t i = 0; i < widgets.size(); ++i) {
        if (widgets[i] == object)
            return static_cast<int>(i);
    }
    return -1;
}

// About 60 repaints a second at most while a recording streams in.
const int liveRepaintMs = 16;

} // namespace

TabOszilloscope::TabOszilloscope(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::TabOszilloscope>())
{
    VTRACE();
    ui->setupUi(this);
    m_plots = {ui->osziWidget1, ui->osziWidget2, ui->osziWidget3, ui->osziWidget4, ui->osziWidget5};
    m_params = {ui->osziParamsWidget1, ui->osziParamsWidget2, ui->osziParamsWidget3,
                ui->osziParamsWidget4, ui->osziParamsWidget5};
    m_sensorButtons = {ui->sensor1CheckBox, ui->sensor2CheckBox, ui->sensor3CheckBox,
                       ui->sensor4CheckBox, ui->sensor5CheckBox};
    m_gridButtons = {ui->checkBoxValueGridAuto1, ui->checkBoxValueGridAuto2,
                     ui->checkBoxValueGridAuto3, ui->checkBoxValueGridAuto4,
                     ui->checkBoxValueGridAuto5};
    m_gridBoxes = {ui->valueGridSpinBox1, ui->valueGridSpinBox2, ui->valueGridSpinBox3,
                   ui->valueGridSpinBox4, ui->valueGridSpinBox5};
    m_offsetBoxes = {ui->offsetSpinBox1, ui->offsetSpinBox2, ui->offsetSpinBox3, ui->offsetSpinBox4,
                     ui->offsetSpinBox5};
    m_maxBoxes = {ui->maxSpinBox1, ui->maxSpinBox2, ui->maxSpinBox3, ui->maxSpinBox4,
                  ui->maxSpinBox5};
    m_minBoxes = {ui->minSpinBox1, ui->minSpinBox2, ui->minSpinBox3, ui->minSpinBox4,
                  ui->minSpinBox5};
    m_markerButtons = {ui->buttonMarker1, ui->buttonMarker2, ui->buttonMarker3, ui->buttonMarker4};
    m_markerBoxes = {ui->markerSpinBox1, ui->markerSpinBox2, ui->markerSpinBox3,
                     ui->markerSpinBox4};

    setCheckBoxMarkerAbsolute(false);
    m_gapBar = new GapBar(ui->toolsFrame);
    ui->toolsLayout->addWidget(m_gapBar);
    fitSmallScreens();

    const QString grayBackground = "background-color: " + colorGrayEEE + ";";
    ui->toolsFrame->setStyleSheet("QFrame#toolsFrame { " + grayBackground + " }");
    ui->buttonClearMarkers->setIcon(QIcon(iconPath + QStringLiteral("delete.png")));
    ui->buttonDeleteMeasurement->setIcon(QIcon(iconPath + QStringLiteral("delete.png")));
    ui->scrollAreaWidgetContents->setStyleSheet(QStringLiteral("background-color: white;"));
    const std::array<QLabel*, numSensors> sensorLabels = {
        ui->sensor1Label, ui->sensor2Label, ui->sensor3Label, ui->sensor4Label, ui->sensor5Label};
    const std::array<QWidget*, numSensors> borders = {
        ui->rightBorderWidget1, ui->rightBorderWidget2, ui->rightBorderWidget3,
        ui->rightBorderWidget4, ui->rightBorderWidget5};
    for (int s = 0; s < numSensors; ++s) {
        m_params[s]->setStyleSheet(grayBackground);
        borders[s]->setStyleSheet(grayBackground);
        sensorLabels[s]->setStyleSheet("color: " + colorPrimary + "; font-size: 24px;");
    }
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button->isCheckable() && button != ui->checkBoxMarkerAbsolute)
            button->setStyleSheet(toggleButtonStyle());
    }

    for (QDoubleSpinBox* box : m_markerBoxes) {
        box->setDecimals(2);
        box->setRange(-1, 999999);
        box->setValue(-1);
        box->setKeyboardTracking(false);
    }
    for (QDoubleSpinBox* box : {ui->cursorASpinBox, ui->cursorBSpinBox}) {
        box->setDecimals(1);
        box->setRange(0, 999999);
        box->setKeyboardTracking(false);
        box->setEnabled(false);
    }
    for (int s = 0; s < numSensors; ++s) {
        m_maxBoxes[s]->setRange(-100000, 100000);
        m_maxBoxes[s]->setValue(100000);
        m_minBoxes[s]->setRange(-100000, 100000);
        m_minBoxes[s]->setValue(-100000);
        m_gridBoxes[s]->setMinimum(0.01);
    }
    ui->highlightSpinBox->setMinimum(0);
    // Room for the step the automatic grid chooses at the slowest sample period, so that the
    // disabled box can show the step in use.
    ui->clockGridSpinBox->setRange(1, maxClockGrid);
    ui->clockGridSpinBox->setSingleStep(10);
    ui->clockGridSpinBox->setEnabled(false);
    ui->sliderTimeZoom->setDecimals(0);
    ui->sliderTimeZoom->setMinimum(1);

    for (int s = 0; s < numSensors; ++s) {
        const bool shown = s < 2;
        m_sensorButtons[s]->setChecked(shown);
        m_plots[s]->setVisible(shown);
        m_params[s]->setVisible(shown);
    }
    const std::array<QColor, numSensors> highlightColors = {
        colorDarkRed, colorDarkGreen, colorDarkBlue, colorDarkOrange, colorDarkCyan};
    for (int s = 0; s < numSensors; ++s) {
        OsziWidget* plot = m_plots[s];
        plot->setValueRange(-100000, 100000);
        plot->setValueGrid(1.0);
        plot->setHighlightColor(highlightColors[s]);
        plot->setVerticalMarkerCount(numMarkers);
        for (int i = 0; i < numMarkers; ++i)
            plot->setVerticalMarker(i, 0, qColorPrimary);
    }
    updateOsziSlider();
    ui->scrollBarOszi->setValue(0);
    ui->sliderTimeZoom->setValue(1);
    fitSpinBoxes();
    connectWidgets();
    ui->checkBoxYCorrection->hide();

    m_liveRepaint.setSingleShot(true);
    m_liveRepaint.setInterval(liveRepaintMs);
    connect(&m_liveRepaint, &QTimer::timeout, this, [this] {
        repaintPlots();
        updateSlider(true);
    });
    // The visible sample count depends on the plot's width.
    ui->osziWidget1->installEventFilter(this);
}

TabOszilloscope::~TabOszilloscope() = default;

void TabOszilloscope::connectWidgets()
{
    for (int s = 0; s < numSensors; ++s) {
        OsziWidget* plot = m_plots[s];
        QWidget* params = m_params[s];
        QDoubleSpinBox* grid = m_gridBoxes[s];
        connect(m_sensorButtons[s], &QPushButton::clicked, plot, &OsziWidget::setVisible);
        connect(m_sensorButtons[s], &QPushButton::clicked, params, &QWidget::setVisible);
        connect(m_gridButtons[s], &QPushButton::clicked, grid, &QWidget::setDisabled);
        connect(m_gridButtons[s], &QPushButton::toggled, plot, &OsziWidget::setValueGridAuto);
        connect(grid, qOverload<double>(&QDoubleSpinBox::valueChanged), plot,
                &OsziWidget::setValueGrid);
        connect(plot, &OsziWidget::valueGridChanged, grid, &QDoubleSpinBox::setValue);
        connect(m_offsetBoxes[s], qOverload<double>(&QDoubleSpinBox::valueChanged), plot,
                &OsziWidget::setOffset);
        connect(m_maxBoxes[s], qOverload<double>(&QDoubleSpinBox::valueChanged), plot,
                &OsziWidget::setMaxValue);
        connect(m_maxBoxes[s], qOverload<double>(&QDoubleSpinBox::valueChanged), this,
                &TabOszilloscope::onSpinBoxMaxValueChanged);
        connect(m_minBoxes[s], qOverload<double>(&QDoubleSpinBox::valueChanged), plot,
                &OsziWidget::setMinValue);
        connect(m_minBoxes[s], qOverload<double>(&QDoubleSpinBox::valueChanged), this,
                &TabOszilloscope::onSpinBoxMinValueChanged);
        for (OsziWidget* other : m_plots) {
            connect(plot, &OsziWidget::mouseAtX, other, &OsziWidget::showMouseMarker);
            connect(plot, &OsziWidget::mouseReleased, other, &OsziWidget::hideMouseMarker);
        }
    }
    for (OsziWidget* plot : m_plots) {
        connect(ui->checkBoxClockGridAuto, &QPushButton::clicked, plot,
                &OsziWidget::setClockGridAuto);
        connect(ui->clockGridSpinBox, qOverload<int>(&QSpinBox::valueChanged), plot,
                &OsziWidget::setClockGrid);
        connect(ui->scrollBarOszi, &QScrollBar::valueChanged, plot, &OsziWidget::setStartIndex);
        connect(ui->sliderTimeZoom, qOverload<double>(&QDoubleSpinBox::valueChanged), plot,
                qOverload<double>(&OsziWidget::setZoom));
    }
    // A fixed time grid is entered while the automatic one is off.
    connect(ui->checkBoxClockGridAuto, &QPushButton::toggled, ui->clockGridSpinBox,
            &QWidget::setDisabled);
    // Any plot that paints announces the grid in use; shown plots share width, zoom and clock,
    // and plot 1 may be switched off.
    for (OsziWidget* plot : m_plots)
        connect(plot, &OsziWidget::clockGridChanged, ui->clockGridSpinBox, &QSpinBox::setValue);
    connect(ui->sliderTimeZoom, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            &TabOszilloscope::updateOsziSlider);
    connect(ui->checkBoxAllMeasurings, &QPushButton::clicked, this,
            &TabOszilloscope::displayAllMeas);
    connect(ui->displayedMeasLineEdit, &QLineEdit::editingFinished, this,
            &TabOszilloscope::displayedMeasChanged);
    connect(ui->highlightSpinBox, qOverload<int>(&QSpinBox::valueChanged), this,
            qOverload<int>(&TabOszilloscope::highlightBoxChanged));
    for (QDoubleSpinBox* box : m_markerBoxes)
        connect(box, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
                &TabOszilloscope::onMarkerChanged);
    connect(ui->checkBoxMarkerAbsolute, &QPushButton::clicked, this,
            &TabOszilloscope::onCheckBoxMarkerAbsClicked);
    connect(ui->checkBoxYCorrection, &QPushButton::clicked, this,
            &TabOszilloscope::autoYCorrectionClicked);
    for (QPushButton* button : m_markerButtons)
        connect(button, &QPushButton::clicked, this, &TabOszilloscope::autoYCorrectionClicked);
    connect(ui->spinBoxYCorrection, qOverload<int>(&QSpinBox::valueChanged), this,
            &TabOszilloscope::autoYCorrectionSpinBoxChanged);
    connect(ui->buttonDeleteMeasurement, &QPushButton::clicked, this,
            &TabOszilloscope::onDeleteMeasurementClicked);
    connect(ui->buttonUndoDelete, &QPushButton::clicked, this,
            &TabOszilloscope::undoDeleteRequested);
    connect(ui->buttonFitZoom, &QPushButton::clicked, this, &TabOszilloscope::fitZoom);
    connect(ui->teachReferenceButton, &QPushButton::clicked, this,
            &TabOszilloscope::onTeachReferenceClicked);
    connect(ui->teachRangeLineEdit, &QLineEdit::returnPressed, this,
            &TabOszilloscope::onTeachReferenceClicked);
    connect(ui->referenceSettingsButton, &QPushButton::clicked, this,
            &TabOszilloscope::referenceSettingsRequested);

    connect(ui->cursorButton, &QPushButton::toggled, this, &TabOszilloscope::onCursorButtonToggled);
    for (QDoubleSpinBox* box : {ui->cursorASpinBox, ui->cursorBSpinBox}) {
        connect(box, qOverload<double>(&QDoubleSpinBox::valueChanged), this, [this] {
            if (!ui->cursorButton->isChecked())
                return;
            applyCursors();
            emit cursorsChanged();
        });
    }
    for (OsziWidget* plot : m_plots)
        connect(plot, &OsziWidget::cursorDragged, this, &TabOszilloscope::onCursorDragged);
    connect(ui->cursorTableButton, &QPushButton::clicked, this, &TabOszilloscope::openCursorTable);
    keepCommandWordsWhole();
}

// --- measurement cursors

std::optional<std::pair<double, double>> TabOszilloscope::cursors() const
{
    if (!ui->cursorButton->isChecked())
        return std::nullopt;
    return std::make_pair(ui->cursorASpinBox->value(), ui->cursorBSpinBox->value());
}

CursorTableWindow* TabOszilloscope::cursorTable() const
{
    return m_cursorTable;
}

std::optional<QVector<int>> TabOszilloscope::shownShots() const
{
    if (ui->checkBoxAllMeasurings->isChecked())
        return std::nullopt;
    QVector<int> shots;
    const int count = model ? std::min(model->numChannels(0), OsziWidget::numCurves) : 0;
    for (int i = 0; i < count; ++i) {
        if (m_plots[0]->isCurveEnabled(i))
            shots.append(i);
    }
    return shots;
}

void TabOszilloscope::applyCursors()
{
    const auto c = cursors();
    for (OsziWidget* plot : m_plots) {
        if (c)
            plot->setCursors(c->first, c->second);
        else
            plot->setCursors(std::nullopt, std::nullopt);
    }
    if (m_cursorTable)
        m_cursorTable->setCursors(c);
}

void TabOszilloscope::onCursorButtonToggled(bool on)
{
    ui->cursorASpinBox->setEnabled(on);
    ui->cursorBSpinBox->setEnabled(on);
    // Cursors never placed start at a third and two thirds of the view, where they are seen.
    if (on && ui->cursorASpinBox->value() == 0.0 && ui->cursorBSpinBox->value() == 0.0) {
        const OsziGeometry::Frame f = ui->osziWidget1->frame();
        const double left = OsziGeometry::xToMs(f, OsziGeometry::axisX);
        const double right = OsziGeometry::xToMs(f, f.contentsWidth + 1);
        const QSignalBlocker blockA(ui->cursorASpinBox);
        const QSignalBlocker blockB(ui->cursorBSpinBox);
        ui->cursorASpinBox->setValue(left + (right - left) / 3);
        ui->cursorBSpinBox->setValue(left + 2 * (right - left) / 3);
    }
    applyCursors();
    emit cursorsChanged();
}

void TabOszilloscope::onCursorDragged(int cursor, double ms)
{
    // The box takes the time and, through its change, moves the cursor in the other plots.
    (cursor == 0 ? ui->cursorASpinBox : ui->cursorBSpinBox)->setValue(ms);
}

void TabOszilloscope::openCursorTable()
{
    if (!m_cursorTable)
        m_cursorTable = new CursorTableWindow(model, this);
    m_cursorTable->setCursors(cursors());
    m_cursorTable->setShownShots(shownShots());
    m_cursorTable->show();
    m_cursorTable->raise();
    m_cursorTable->activateWindow();
}

void TabOszilloscope::setModel(Model* model)
{
    VTRACE();
    if (!model) {
        qCWarning(lcView) << "model is NULL !!!";
        return;
    }
    if (this->model)
        disconnect(this->model, nullptr, this, nullptr);
    this->model = model;
    m_curvesCurrent = false;
    connect(model, &Model::projectChanged, this, &TabOszilloscope::onModel_projectChanged);
    connect(model, &Model::dataChanged, this, &TabOszilloscope::onModel_dataChanged);
    connect(model, &Model::dataAboutToChange, this, &TabOszilloscope::onModel_dataAboutToChange);
    // A project opened at start-up was loaded before the page existed: show it now rather
    // than at the model's next change.
    onModel_projectChanged();
    onModel_dataChanged();
}

// --- accessors for the main window

OsziWidget* TabOszilloscope::osziWidget(int sensor) const
{
    return sensor >= 0 && sensor < numSensors ? m_plots[sensor] : nullptr;
}

QLabel* TabOszilloscope::sensorLabel(int sensor) const
{
    const std::array<QLabel*, numSensors> labels = {
        ui->sensor1Label, ui->sensor2Label, ui->sensor3Label, ui->sensor4Label, ui->sensor5Label};
    return sensor >= 0 && sensor < numSensors ? labels[sensor] : nullptr;
}

QDoubleSpinBox* TabOszilloscope::offsetSpinBox(int sensor) const
{
    return sensor >= 0 && sensor < numSensors ? m_offsetBoxes[sensor] : nullptr;
}

int TabOszilloscope::offsetSpinBoxIndex(const QObject* object) const
{
    return indexOf(object, m_offsetBoxes);
}

QPushButton* TabOszilloscope::clearMarkersButton() const
{
    return ui->buttonClearMarkers;
}

QAbstractButton* TabOszilloscope::lockButton() const
{
    return ui->lockButton;
}

// --- model-driven updates

void TabOszilloscope::repaintPlots()
{
    for (OsziWidget* plot : m_plots)
        plot->update();
}

void TabOszilloscope::update()
{
    VTRACE();
    const QSignalBlocker blocker(this);
    repaintPlots();
    if (!model) {
        qCWarning(lcView) << " ERROR: model==nullptr!";
        return;
    }
    for (int i = 0; i < 5; ++i)
        setPhaseName(i, model->phaseName(i));
    updateOsziSlider();
    QWidget::update();
}

void TabOszilloscope::updateOsziSlider()
{
    updateSlider(false);
}

void TabOszilloscope::updateSlider(bool followEnd)
{
    QScrollBar* bar = ui->scrollBarOszi;
    // Live repaints come once per frame, when a fast recording may have added more samples
    // than the margin below, and a resize changes the visible count: then the view follows
    // when it was at the end before.
    const bool wasAtEnd = followEnd && bar->value() >= bar->maximum() - 9;
    const int last = ui->osziWidget1->lastSampleIndex();
    const int visible = (ui->osziWidget1->contentsRect().width() - OsziGeometry::axisX) /
                        ui->osziWidget1->zoomFactor();
    if (last < visible) {
        bar->setEnabled(false);
        bar->setRange(0, 0);
        return;
    }
    bar->setEnabled(true);
    bar->setRange(0, last - visible);
    bar->setPageStep(visible / 2);
    // A view that was at the end follows new samples.
    if (wasAtEnd || bar->value() >= last - visible - 9)
        bar->setValue(last - 1);
}

bool TabOszilloscope::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->osziWidget1 && event->type() == QEvent::Resize)
        updateSlider(true);
    return QWidget::eventFilter(watched, event);
}

void TabOszilloscope::onModel_dataAboutToChange()
{
    VTRACE();
    // The lists the plots point to are about to be freed; the plots show nothing until the
    // model has finished and says so with dataChanged.
    for (OsziWidget* plot : m_plots)
        plot->clearCurves();
    m_curvesCurrent = false;
}

void TabOszilloscope::onModel_dataChanged()
{
    if (!model) {
        qCWarning(lcView) << "model is NULL !!!";
        return;
    }
    // Samples appended to shots the plots already show need only a repaint, and during a
    // recording at most one per frame.
    if (m_curvesCurrent && model->dataRevision() == m_curvesRevision) {
        if (!m_liveRepaint.isActive())
            m_liveRepaint.start();
        return;
    }
    VTRACE();
    const QSignalBlocker blocker(this);
    for (OsziWidget* plot : m_plots)
        plot->clearCurves();
    for (int s = 0; s < numSensors; ++s) {
        const int count = model->numChannels(s);
        for (int i = 0; i < count && i < OsziWidget::numCurves; ++i)
            m_plots[s]->setCurve(i, model->measurement(s, i), curveColorOf(i));
    }
    const int shots = model->numChannels(0);
    ui->numMeasuringsLabel->setText(QString::number(shots));
    m_gapBar->setGaps(model->recordingGaps());
    ui->highlightSpinBox->setMaximum(shots);
    ui->highlightSpinBox->setValue(shots);
    SpinBoxFit::fitToRange(ui->highlightSpinBox);
    showGapBesideHighlight();
    const bool deletable = ui->highlightSpinBox->value() != 0;
    ui->measToDeleteLineEdit->setEnabled(deletable);
    ui->buttonDeleteMeasurement->setEnabled(deletable);
    for (int s = 0; s < numSensors; ++s)
        m_plots[s]->highlightSingle(model->numChannels(s) - 1);
    // Refilling the plots resets their channel offsets; an alignment still switched on
    // must hold for the new curves too.
    const int marker = checkedMarkerButton();
    if (marker >= 0)
        alignAtMarker(marker);
    updateOsziSlider();
    m_curvesCurrent = true;
    m_curvesRevision = model->dataRevision();
}

void TabOszilloscope::startShot(const QVector<int>& currentSeries)
{
    VTRACE();
    if (!model) {
        qCWarning(lcView) << "model is NULL !!!";
        return;
    }
    const int n = currentSeries.value(0, -1);
    for (int i = 0; i <= n && i < OsziWidget::numCurves; ++i) {
        for (int k = 0; k < numSensors; ++k)
            m_plots[k]->setCurve(i, model->measurement(k, i), m_plots[k]->curveColor(i));
    }
    for (int k = 0; k < numSensors; ++k)
        m_plots[k]->highlightSingle(currentSeries.value(k, -1));
    ui->numMeasuringsLabel->setText(QString::number(n + 1));
    const QSignalBlocker blocker(ui->highlightSpinBox);
    ui->highlightSpinBox->setMaximum(n + 1);
    ui->highlightSpinBox->setValue(n + 1);
    SpinBoxFit::fitToRange(ui->highlightSpinBox);
    showGapBesideHighlight();
    const bool deletable = ui->highlightSpinBox->value() != 0;
    ui->measToDeleteLineEdit->setEnabled(deletable);
    ui->buttonDeleteMeasurement->setEnabled(deletable);
    updateOsziSlider();
    m_curvesCurrent = true;
    m_curvesRevision = model->dataRevision();
}

void TabOszilloscope::onModel_projectChanged()
{
    VTRACE();
    if (!model) {
        qCWarning(lcView) << "model is NULL !!!";
        return;
    }
    const QSignalBlocker blocker(this);
    m_gapBar->setGaps(model->recordingGaps());
    showGapBesideHighlight();
    for (int i = 0; i < 5; ++i)
        setPhaseName(i, model->phaseName(i));
    for (int s = 0; s < numSensors; ++s) {
        const QSignalBlocker boxBlocker(m_offsetBoxes[s]);
        m_offsetBoxes[s]->setValue(model->offset(s));
    }
    setCheckBoxMarkerAbsolute(model->viewData().checkBoxMarkerAbsolute);
    const int clock = model->clock();
    for (OsziWidget* plot : m_plots) {
        if (clock > 0)
            plot->setClock(clock);
        plot->setClockGrid(100 * clock);
    }
    // An opened project brings its own clock, which the device has not announced.
    if (clock > 0)
        ui->clockLabel->setText(OsziGeometry::clockText(clock));
    for (int s = 0; s < numSensors; ++s) {
        OsziWidget* plot = m_plots[s];
        plot->setVerticalMarker0(model->verticalMarker(0));
        plot->setVerticalMarker1(model->verticalMarker(1));
        plot->setVerticalMarker2(model->verticalMarker(2));
        plot->setVerticalMarker3(model->verticalMarker(3));
        plot->setOffset(model->offset(s));
    }
    const SensorDescription& description = model->sensorDescription();
    if (description != shownDescription) {
        const SensorDescription previous = shownDescription;
        shownDescription = description;
        if (description.numSensorGroups() > 0) {
            const SensorGroup& group = description.sensorGroup(0);
            const SensorGroup* before =
                previous.numSensorGroups() > 0 ? &previous.sensorGroup(0) : nullptr;
            for (int s = 0; s < numSensors && s < group.numSensors(); ++s) {
                const double min = group.sensorMinimum(s);
                const double max = group.sensorMaximum(s);
                setSensorName(0, s, group.sensorName(s));
                setSensorNumbers(s, group.sensorUnit(s), min, max);
                // Axes only ever narrow, so a range that changed (the real description
                // after the defaults, micrometres after millimetres) is taken whole; a
                // range the user narrowed by hand stays until then.
                if (before && s < before->numSensors() &&
                    (before->sensorMinimum(s) != min || before->sensorMaximum(s) != max))
                    takeSensorRange(s, min, max);
                else
                    setMaximumSensorRange(0, s, min, max);
            }
        }
    }
    QWidget::update();
}

// --- operations for the main window and the controller

void TabOszilloscope::setClock(int clock, int clockGrid)
{
    VTRACE();
    for (OsziWidget* plot : m_plots) {
        if (clock >= 1)
            plot->setClock(clock);
        plot->setClockGrid(clockGrid);
    }
    ui->clockLabel->setText(OsziGeometry::clockText(clock));
}

void TabOszilloscope::setSensorName(int group, int sensor, QString name)
{
    if (group != 0 || sensor < 0 || sensor >= numSensors)
        return;
    const std::array<QLabel*, numSensors> labels = {
        ui->sensor1Label, ui->sensor2Label, ui->sensor3Label, ui->sensor4Label, ui->sensor5Label};
    labels[sensor]->setText(QStringLiteral("Sensor %1: ").arg(sensor + 1) + name);
}

void TabOszilloscope::setPhaseName(int phase, QString name)
{
    if (phase >= 0 && phase < numMarkers && model)
        m_markerButtons[phase]->setText(model->phaseName(phase));
    for (OsziWidget* plot : m_plots) {
        if (phase >= 0 && phase < plot->verticalMarkerCount())
            plot->setPhaseName(phase, name);
    }
}

void TabOszilloscope::setCheckBoxMarkerAbsolute(bool absolute)
{
    {
        const QSignalBlocker blocker(ui->checkBoxMarkerAbsolute);
        ui->checkBoxMarkerAbsolute->setChecked(absolute);
        ui->checkBoxMarkerAbsolute->setStyleSheet(
            "background-color: " + (absolute ? colorPrimary : colorGray555) + ";");
    }
    if (!model)
        return;
    std::array<QSignalBlocker, numMarkers> blockers = {
        QSignalBlocker(m_markerBoxes[0]), QSignalBlocker(m_markerBoxes[1]),
        QSignalBlocker(m_markerBoxes[2]), QSignalBlocker(m_markerBoxes[3])};
    const QString label = QStringLiteral("t[s]=");
    ui->labelMarkerAbsolute->setText(absolute ? label : QChar(0x0394) + label);
    for (int i = 0; i < numMarkers; ++i) {
        const int marker = model->verticalMarker(i);
        const int previous = i > 0 && !absolute ? model->verticalMarker(i - 1) : 0;
        m_markerBoxes[i]->setValue((static_cast<double>(marker) - previous) / 1000.0);
    }
}

void TabOszilloscope::setCurrentSensorRange(int group, int sensor, double min, double max)
{
    VTRACE();
    if (group != 0 || sensor < 0 || sensor >= numSensors)
        return;
    m_plots[sensor]->setMinValue(min);
    m_plots[sensor]->setMaxValue(max);
    showAxisEnds(sensor);
}

void TabOszilloscope::showAxisEnds(int sensor)
{
    // The plot may have refused an end (it keeps its ends apart); the boxes show the ends it
    // draws, not the ones asked for.
    const OsziWidget* plot = m_plots[sensor];
    const QSignalBlocker minBlocker(m_minBoxes[sensor]);
    const QSignalBlocker maxBlocker(m_maxBoxes[sensor]);
    m_minBoxes[sensor]->setValue(plot->valueRangeMin());
    m_maxBoxes[sensor]->setValue(plot->valueRangeMax());
}

void TabOszilloscope::setSensorNumbers(int sensor, const QString& unit, double min, double max)
{
    // The page has room for the form's three decimals where the unit says nothing.
    const int unitDecimals = SensorNumbers::unitDecimals(unit);
    const int decimals = unitDecimals >= 0 ? unitDecimals : 3;
    const double bound = SensorNumbers::offsetBound(min, max);
    for (QDoubleSpinBox* box : {m_minBoxes[sensor], m_maxBoxes[sensor], m_offsetBoxes[sensor]}) {
        const QSignalBlocker blocker(box);
        box->setDecimals(decimals);
    }
    if (bound > 0.0) {
        QDoubleSpinBox* offset = m_offsetBoxes[sensor];
        const QSignalBlocker blocker(offset);
        offset->setRange(-bound, bound);
        offset->setSingleStep(SensorNumbers::niceStep(bound / 24));
    }
    fitSpinBoxes();
}

void TabOszilloscope::fitSpinBoxes()
{
    for (QAbstractSpinBox* box : findChildren<QAbstractSpinBox*>())
        SpinBoxFit::fitToRange(box);
}

void TabOszilloscope::setMaximumSensorRange(int group, int sensor, double min, double max)
{
    VTRACE();
    if (group != 0 || sensor < 0 || sensor >= numSensors)
        return;
    const double span = max - min;
    const double lo = min - span;
    const double hi = max + span;
    OsziWidget* plot = m_plots[sensor];
    if (plot->valueRangeMin() < lo)
        plot->setMinValue(min);
    if (plot->valueRangeMax() > hi)
        plot->setMaxValue(max);
    // An end the plot refused (the other end stood in its way) would leave an axis the boxes
    // cannot show: then the sensor's range itself.
    if (plot->valueRangeMin() < lo || plot->valueRangeMax() > hi)
        plot->setValueRange(min, max);

    QDoubleSpinBox* minBox = m_minBoxes[sensor];
    const QSignalBlocker minBlocker(minBox);
    if (minBox->value() < lo)
        minBox->setValue(min);
    if (minBox->value() > hi)
        minBox->setValue(max);
    if (minBox->minimum() < lo)
        minBox->setMinimum(lo);
    if (minBox->maximum() > hi)
        minBox->setMaximum(hi);

    QDoubleSpinBox* maxBox = m_maxBoxes[sensor];
    const QSignalBlocker maxBlocker(maxBox);
    if (maxBox->value() > hi)
        maxBox->setValue(max);
    if (maxBox->value() < lo)
        maxBox->setValue(min);
    if (maxBox->maximum() > hi)
        maxBox->setMaximum(hi);
    if (maxBox->minimum() < lo)
        maxBox->setMinimum(lo);
    showAxisEnds(sensor);
    SpinBoxFit::fitToRange(minBox);
    SpinBoxFit::fitToRange(maxBox);
}

void TabOszilloscope::takeSensorRange(int sensor, double min, double max)
{
    VTRACE();
    if (sensor < 0 || sensor >= numSensors)
        return;
    const double span = max - min;
    m_plots[sensor]->setValueRange(min, max);
    for (QDoubleSpinBox* box : {m_minBoxes[sensor], m_maxBoxes[sensor]}) {
        const QSignalBlocker blocker(box);
        box->setRange(min - span, max + span);
        SpinBoxFit::fitToRange(box);
    }
    showAxisEnds(sensor);
}

void TabOszilloscope::setLocked(bool locked)
{
    VTRACE();
    ui->lockButton->setIcon(View::coloredIcon(
        iconPath + (locked ? QStringLiteral("lock-closed.png") : QStringLiteral("lock-open.png")),
        qColorWhite));
    ui->lockButton->setStyleSheet("background-color: " + (locked ? colorPrimary : colorGray555) +
                                  ";");
    for (QWidget* params : m_params)
        params->setEnabled(!locked);
}

void TabOszilloscope::setViewData(const ViewData& data, bool locked)
{
    VTRACE();
    setCheckBoxMarkerAbsolute(data.checkBoxMarkerAbsolute);
    for (int s = 0; s < numSensors; ++s)
        setCurrentSensorRange(0, s, data.osziMinValues[static_cast<size_t>(s)],
                              data.osziMaxValues[static_cast<size_t>(s)]);
    setLocked(locked);
}

// --- the page's own controls

void TabOszilloscope::onCheckBoxMarkerAbsClicked(bool absolute)
{
    VTRACE();
    setCheckBoxMarkerAbsolute(absolute);
    emit checkBoxMarkerAbsClicked(absolute);
}

void TabOszilloscope::onMarkerChanged(double value)
{
    VTRACE();
    const int index = indexOf(sender(), m_markerBoxes);
    if (index < 0) {
        qCWarning(lcView) << "SpinBox unknown!!!";
        return;
    }
    // Seconds to milliseconds, halves upward; an absurd entry cannot leave the int range.
    const double ms = std::floor(value * 1000.0 + 0.5);
    const int pos = static_cast<int>(qBound(-2147483648.0, ms, 2147483647.0));
    if (ui->checkBoxMarkerAbsolute->isChecked())
        emit markerChangedAbsolute(index, pos);
    else
        emit markerChangedRelative(index, pos);
}

void TabOszilloscope::displayedMeasChanged()
{
    VTRACE();
    ui->displayedMeasLineEdit->clearFocus();
    for (OsziWidget* plot : m_plots)
        plot->setAllEnabled(false);
    const auto enable = [this](int first, int last) {
        // Only shot numbers that have a curve slot; a huge range costs nothing.
        for (int n = qMax(first, 1); n <= last && n <= OsziWidget::numCurves; ++n) {
            for (OsziWidget* plot : m_plots)
                plot->setEnabled(n - 1, true);
        }
    };
    const QStringList parts =
        ui->displayedMeasLineEdit->text().simplified().split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QStringList pieces = part.simplified().split(QLatin1Char('-'), Qt::SkipEmptyParts);
        if (pieces.size() == 1) {
            const int n = pieces.at(0).trimmed().toInt();
            enable(n, n);
        } else if (pieces.size() == 2) {
            enable(pieces.at(0).trimmed().toInt(), pieces.at(1).trimmed().toInt());
        }
    }
    if (m_cursorTable)
        m_cursorTable->setShownShots(shownShots());
}

void TabOszilloscope::displayAllMeas(bool state)
{
    VTRACE();
    for (OsziWidget* plot : m_plots)
        plot->setAllEnabled(state);
    ui->displayedMeasLineEdit->setEnabled(!state);
    ui->displayedMeasLineEdit->clear();
    ui->displayedMeasLineEdit->setFocus();
    if (m_cursorTable)
        m_cursorTable->setShownShots(shownShots());
}

void TabOszilloscope::highlightBoxChanged(int index)
{
    VTRACE();
    for (OsziWidget* plot : m_plots)
        plot->highlightSingle(index - 1);
    showGapBesideHighlight();
}

// The gap bar says whether the highlighted shot borders a gap; what the gaps hold is said in
// its tool tip and the runtime table.
// The style sheet lets a button shrink to 50 px; on the small screen the tool rows would cut
// these commands' words, so each keeps the width of its text in the current language.
void TabOszilloscope::keepCommandWordsWhole()
{
    for (QPushButton* button :
         {ui->buttonUndoDelete, ui->teachReferenceButton, ui->referenceSettingsButton,
          ui->cursorButton, ui->cursorTableButton}) {
        button->ensurePolished();
        button->setMinimumWidth(0);
        button->setMinimumWidth(button->sizeHint().width());
    }
}

void TabOszilloscope::showGapBesideHighlight()
{
    const int index = ui->highlightSpinBox->value() - 1;
    bool unfilled = false;
    const QString mark =
        model && index >= 0
            ? GapText::markBesideShot(model->recordingGaps(), model->timestamps(), index, &unfilled)
            : QString();
    m_gapBar->setShotMark(
        mark.isEmpty() ? QString() : tr("Messung %1: %2").arg(index + 1).arg(mark), unfilled);
}

void TabOszilloscope::highlightBoxChanged(float i)
{
    highlightBoxChanged(static_cast<int>(i));
}

void TabOszilloscope::onDeleteMeasurementClicked()
{
    VTRACE();
    // An empty field (the grey example is no entry) asks for nothing.
    if (ui->measToDeleteLineEdit->text().trimmed().isEmpty())
        return;
    emit deleteMeasurements(ui->measToDeleteLineEdit->text());
}

void TabOszilloscope::onTeachReferenceClicked()
{
    QString ranges = ui->teachRangeLineEdit->text().trimmed();
    if (ranges.isEmpty()) {
        const int shots = model ? model->numChannels(0) : 0;
        ranges = ui->checkBoxAllMeasurings->isChecked()
                     ? QStringLiteral("1-%1").arg(shots)
                     : ui->displayedMeasLineEdit->text().trimmed();
    }
    emit teachReference(ranges);
}

QColor TabOszilloscope::curveColorOf(int shot) const
{
    const bool nok = shot >= 0 && shot < m_verdicts.size() && !m_verdicts.at(shot).isOk();
    return nok ? QColor(Qt::red) : QColor(Qt::black);
}

void TabOszilloscope::setVerdicts(const QVector<Verdict>& verdicts)
{
    m_verdicts = verdicts;
    applyVerdictColors();
}

void TabOszilloscope::applyVerdictColors()
{
    // Plots that let go of their lists take them again, coloured, on the next dataChanged.
    if (!model || !m_curvesCurrent)
        return;
    for (int s = 0; s < numSensors; ++s) {
        OsziWidget* plot = m_plots[s];
        const int count = std::min(model->numChannels(s), OsziWidget::numCurves);
        for (int i = 0; i < count; ++i) {
            if (plot->curve(i) && plot->curveColor(i) != curveColorOf(i))
                plot->setCurve(i, plot->curve(i), curveColorOf(i));
        }
    }
}

void TabOszilloscope::highlightShot(int index)
{
    if (index >= 0 && index < ui->highlightSpinBox->maximum())
        ui->highlightSpinBox->setValue(index + 1);
}

void TabOszilloscope::setReferenceStatus(const QString& text, bool problem)
{
    ui->referenceStatusLabel->setText(text);
    ui->referenceStatusLabel->setStyleSheet(problem ? styleProblemText : QString());
}

void TabOszilloscope::onSpinBoxMaxValueChanged(double v)
{
    storeAxisEnd(m_maxBoxes, v, false);
}

void TabOszilloscope::onSpinBoxMinValueChanged(double v)
{
    storeAxisEnd(m_minBoxes, v, true);
}

void TabOszilloscope::storeAxisEnd(const std::array<QDoubleSpinBox*, numSensors>& boxes,
                                   double value, bool lower)
{
    const int sensor = indexOf(sender(), boxes);
    if (sensor < 0) {
        qCWarning(lcView) << " wrong sensor index!";
        return;
    }
    if (!model) {
        qCWarning(lcView) << "model is NULL !!!";
        return;
    }
    ViewData& view = model->viewData();
    (lower ? view.osziMinValues : view.osziMaxValues)[static_cast<size_t>(sensor)] = value;
}

int TabOszilloscope::checkedMarkerButton() const
{
    for (int i = 0; i < numMarkers; ++i) {
        if (m_markerButtons[i]->isChecked())
            return i;
    }
    return -1;
}

void TabOszilloscope::alignAtMarker(int marker)
{
    const int pos = ui->osziWidget1->verticalMarkerCount() > marker
                        ? ui->osziWidget1->verticalMarkerPosition(marker)
                        : 0;
    for (OsziWidget* plot : m_plots) {
        plot->setOffset(0);
        plot->setAutoChannelOffsets(pos);
    }
}

void TabOszilloscope::autoYCorrectionClicked(bool on)
{
    VTRACE();
    ui->spinBoxYCorrection->setEnabled(on);
    ui->spinBoxYCorrection->setFocus();
    if (on) {
        const int marker = indexOf(sender(), m_markerButtons);
        if (marker < 0)
            return;
        for (QPushButton* button : m_markerButtons)
            button->setChecked(false);
        m_markerButtons[marker]->setChecked(true);
        for (QDoubleSpinBox* box : m_offsetBoxes)
            box->setEnabled(false);
        alignAtMarker(marker);
    } else {
        for (OsziWidget* plot : m_plots)
            plot->clearChannelOffsets();
        for (int s = 0; s < numSensors; ++s) {
            m_offsetBoxes[s]->setEnabled(true);
            m_plots[s]->setOffset(m_offsetBoxes[s]->value());
        }
    }
}

void TabOszilloscope::autoYCorrectionSpinBoxChanged(int value)
{
    Q_UNUSED(value)
}

void TabOszilloscope::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        // Read-outs, sensor names and phase names are data, not form texts: keep them.
        const std::array<QLabel*, 8> readOuts = {
            ui->numMeasuringsLabel, ui->clockLabel,   ui->labelMarkerAbsolute, ui->sensor1Label,
            ui->sensor2Label,       ui->sensor3Label, ui->sensor4Label,        ui->sensor5Label};
        std::array<QString, 8> shown;
        for (size_t i = 0; i < readOuts.size(); ++i)
            shown[i] = readOuts[i]->text();
        std::array<QString, numMarkers> phases;
        for (int i = 0; i < numMarkers; ++i)
            phases[static_cast<size_t>(i)] = m_markerButtons[i]->text();
        ui->retranslateUi(this);
        keepCommandWordsWhole();
        for (size_t i = 0; i < readOuts.size(); ++i)
            readOuts[i]->setText(shown[i]);
        for (int i = 0; i < numMarkers; ++i)
            m_markerButtons[i]->setText(phases[static_cast<size_t>(i)]);
        showGapBesideHighlight();
    }
    QWidget::changeEvent(event);
}

void TabOszilloscope::setUndoDeleteAvailable(bool available)
{
    ui->buttonUndoDelete->setEnabled(available);
}

void TabOszilloscope::fitZoom()
{
    ui->scrollBarOszi->setValue(0);
    // The plots share one zoom: the smallest fit keeps every shown shot whole.
    int zoom = 0;
    for (OsziWidget* plot : m_plots) {
        if (plot->isVisible() && plot->lastSampleIndex() >= 0)
            zoom = zoom == 0 ? plot->fitZoom() : qMin(zoom, plot->fitZoom());
    }
    if (zoom > 0)
        ui->sliderTimeZoom->setValue(zoom);
}

void TabOszilloscope::fitSmallScreens()
{
    // Five plots share a 1366 x 768 screen without scrolling: the markers' buttons carry
    // their phase names without the fixed default names above them, each sensor's settings
    // take two rows beside its title, and a plot may shrink to a height that still shows
    // its curves.
    for (QLabel* label : {ui->labelMarker1, ui->labelMarker2, ui->labelMarker3, ui->labelMarker4})
        label->hide();
    for (QBoxLayout* markers :
         {ui->markerLayout1, ui->markerLayout2, ui->markerLayout3, ui->markerLayout4})
        markers->setSpacing(2);
    const std::array<QGridLayout*, numSensors> grids = {ui->paramsLayout1, ui->paramsLayout2,
                                                        ui->paramsLayout3, ui->paramsLayout4,
                                                        ui->paramsLayout5};
    for (QGridLayout* grid : grids) {
        struct Placed
        {
            QLayoutItem* item;
            int row, column, rowSpan, columnSpan;
        };
        QVector<Placed> placed;
        for (int i = grid->count() - 1; i >= 0; --i) {
            Placed p{nullptr, 0, 0, 0, 0};
            grid->getItemPosition(i, &p.row, &p.column, &p.rowSpan, &p.columnSpan);
            p.item = grid->takeAt(i);
            placed.append(p);
        }
        for (const Placed& p : placed) {
            // The filler below the settings would keep the row taller than the plot.
            if (p.item->spacerItem()) {
                delete p.item;
                continue;
            }
            if (p.row == 0)
                grid->addItem(p.item, 1, 0, 2, 1, Qt::AlignTop);
            else
                grid->addItem(p.item, p.row, p.column + 1, p.rowSpan, p.columnSpan);
        }
        grid->setContentsMargins(4, 0, 4, 0);
        grid->setVerticalSpacing(0);
    }
    for (OsziWidget* plot : m_plots)
        plot->setMinimumHeight(minimumPlotHeight);
}
