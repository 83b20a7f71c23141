#include "view/TabEvaluationValues.h"

#include "analysis/EvaluationMath.h"
#include "app/Constants.h"
#include "app/Logging.h"
#include "model/Model.h"
#include "ui_TabEvaluationValues.h"
#include "view/EvaluationCells.h"
#include "widgets/BoxWhiskersWidget.h"
#include "charts/FiveNumberSummary.h"
#include "widgets/OsziWidget.h"

#include <QEvent>
#include <QHeaderView>
#include <QSignalBlocker>

bool TabEvaluationValues::TableKey::operator==(const TableKey& o) const
{
    return model == o.model && changeCount == o.changeCount && revision == o.revision &&
           left == o.left && right == o.right && clock == o.clock && offsets == o.offsets;
}

TabEvaluationValues::TabEvaluationValues(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::TabEvaluationValues>())
{
    VTRACE();
    ui->setupUi(this);
    ui->evaluationOszi->setMaximumHeight(300);
    m_sensorButtons = {ui->sensor1Button, ui->sensor2Button, ui->sensor3Button, ui->sensor4Button,
                       ui->sensor5Button};
    m_sensorLabels = {ui->labelSensor1, ui->labelSensor2, ui->labelSensor3, ui->labelSensor4,
                      ui->labelSensor5};
    m_charts = {ui->boxWhisker1, ui->boxWhisker2, ui->boxWhisker3, ui->boxWhisker4,
                ui->boxWhisker5};
    m_statLabels = {{
        {ui->sensor1MinLabel, ui->sensor1Q1Label, ui->sensor1MedianLabel, ui->sensor1Q3Label,
         ui->sensor1MaxLabel},
        {ui->sensor2MinLabel, ui->sensor2Q1Label, ui->sensor2MedianLabel, ui->sensor2Q3Label,
         ui->sensor2MaxLabel},
        {ui->sensor3MinLabel, ui->sensor3Q1Label, ui->sensor3MedianLabel, ui->sensor3Q3Label,
         ui->sensor3MaxLabel},
        {ui->sensor4MinLabel, ui->sensor4Q1Label, ui->sensor4MedianLabel, ui->sensor4Q3Label,
         ui->sensor4MaxLabel},
        {ui->sensor5MinLabel, ui->sensor5Q1Label, ui->sensor5MedianLabel, ui->sensor5Q3Label,
         ui->sensor5MaxLabel},
    }};

    for (QRadioButton* button : m_sensorButtons)
        connect(button, &QRadioButton::toggled, this, &TabEvaluationValues::onSensorButtonToggled);
    connect(ui->spinBoxMarkerLeft, &QDoubleSpinBox::editingFinished, this,
            &TabEvaluationValues::onMarkerSpinBoxChanged);
    connect(ui->spinBoxMarkerRight, &QDoubleSpinBox::editingFinished, this,
            &TabEvaluationValues::onMarkerSpinBoxChanged);

    OsziWidget* oszi = ui->evaluationOszi;
    // A shot of a few seconds would fill a sliver of the axis at one pixel per sample.
    oszi->setZoomToFit(true);
    oszi->setValueRange(-6.0, 6.0);
    oszi->setValueGrid(1.0);
    oszi->setHorizontalLineCount(2);
    oszi->setHorizontalLineColor(0, Qt::green);
    oszi->setHorizontalLineColor(1, Qt::red);
    oszi->setHorizontalLine(0, 0.0);
    oszi->setHorizontalLine(1, 0.0);
    oszi->setVerticalMarkerCount(2);
    oszi->setVerticalMarker(0, 0, qColorPrimary);
    oszi->setVerticalMarker(1, 0, qColorPrimary);

    QTableWidget* table = ui->tableWidget;
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->hide();
    table->setColumnCount(verdictColumn + 1);
    table->setRowCount(20);
    setHeaderLabels();
    connect(table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TabEvaluationValues::onCurrentRowChanged);

    for (BoxWhiskersWidget* c : m_charts) {
        c->setMinimumHeight(200);
        c->setFixedWidth(100);
        c->setRange(-6.0, 6.0);
        c->setVertical(true);
        c->setMargins(20, 50, 5, 5);
    }
}

TabEvaluationValues::~TabEvaluationValues() = default;

BoxWhiskersWidget* TabEvaluationValues::chart(int sensor) const
{
    return sensor >= 0 && sensor < numSensors ? m_charts[static_cast<size_t>(sensor)] : nullptr;
}

std::optional<std::pair<int, int>> TabEvaluationValues::userMarkers(const Model& m) const
{
    if (model != &m || m.projectGeneration() != m_projectGeneration || !m_userMarkers)
        return std::nullopt;
    return std::make_pair(markerLeft, markerRight);
}

int TabEvaluationValues::currentSensor() const
{
    return EvaluationCells::checkedSensor(m_sensorButtons.data(), numSensors);
}

void TabEvaluationValues::setModel(Model* m)
{
    VTRACE();
    if (!m) {
        qCWarning(lcView).noquote() << Q_FUNC_INFO << "ERROR: model is not set!  (model==nullptr)!";
        return;
    }
    if (model != m) {
        if (model)
            disconnect(model, nullptr, this, nullptr);
        connect(m, &Model::dataAboutToChange, this,
                &TabEvaluationValues::onModel_dataAboutToChange);
        m_tableValid = false;
    }
    if (model != m || m->projectGeneration() != m_projectGeneration)
        m_userMarkers = false;
    m_projectGeneration = m->projectGeneration();
    model = m;
    for (int s = 0; s < numSensors; ++s) {
        const QColor color = m->color(static_cast<quint8>(s));
        m_sensorLabels[static_cast<size_t>(s)]->setStyleSheet(QStringLiteral("color: ") +
                                                              color.name());
        m_charts[static_cast<size_t>(s)]->setColor(color);
    }
    if (!m_userMarkers) {
        markerLeft = m->verticalMarker(0);
        markerRight = m->verticalMarker(3);
    }
    qCDebug(lcTrace) << "markerLeft=" << markerLeft << "markerRight=" << markerRight;
    update();
}

void TabEvaluationValues::update()
{
    QWidget::update();
    if (!model) {
        qCWarning(lcView).noquote()
            << Q_FUNC_INFO
            << "ERROR: model is not set!  (model==nullptr)!  -> set model before calling this!";
        return;
    }
    {
        const QSignalBlocker b1(ui->spinBoxMarkerLeft);
        const QSignalBlocker b2(ui->spinBoxMarkerRight);
        const QSignalBlocker b3(ui->offsetSpinBox1);
        ui->spinBoxMarkerLeft->setValue(markerLeft * 0.001);
        ui->spinBoxMarkerRight->setValue(markerRight * 0.001);
        m_shownMarkers = {ui->spinBoxMarkerLeft->value(), ui->spinBoxMarkerRight->value()};
        ui->offsetSpinBox1->setValue(model->offset(currentSensor()));
    }
    updateOszi();
    updateTable();
    qCDebug(lcTrace).noquote() << Q_FUNC_INFO << " END";
}

void TabEvaluationValues::onMarkerSpinBoxChanged()
{
    const double left = ui->spinBoxMarkerLeft->value();
    const double right = ui->spinBoxMarkerRight->value();
    // Leaving a box without an edit keeps the markers following the project's.
    if (left == m_shownMarkers.first && right == m_shownMarkers.second)
        return;
    markerLeft = static_cast<int>(1000 * left);
    markerRight = static_cast<int>(1000 * right);
    m_userMarkers = true;
    update();
}

void TabEvaluationValues::onSensorButtonToggled()
{
    qCDebug(lcTrace) << "currentSensor=" << currentSensor();
    update();
}

void TabEvaluationValues::updateOszi()
{
    if (!model)
        return;
    const int s = currentSensor();
    OsziWidget* oszi = ui->evaluationOszi;
    oszi->setHighlightColor(model->color(static_cast<quint8>(s)));
    // The table reads markers at this clock; the plot must draw at the same one.
    const int clk = EvaluationMath::samplePeriod(model->clock());
    oszi->setClock(clk);
    oszi->setClockGrid(clk * 100);
    oszi->setOffset(model->offset(s));
    oszi->setMaxValue(EvaluationCells::sensorBound(*model, s, true));
    oszi->setMinValue(EvaluationCells::sensorBound(*model, s, false));
    const int n = qMin(model->numChannels(s), OsziWidget::numCurves);
    for (int i = 0; i < n; ++i)
        oszi->setCurve(i, model->measurement(s, i), EvaluationCells::shotColor(m_verdicts, i));
    for (int i = n; i < OsziWidget::numCurves && oszi->curve(i); ++i) {
        oszi->setCurve(i, nullptr, Qt::black);
        oszi->setDisabled(i);
    }
    if (oszi->verticalMarkerCount() < 2)
        oszi->setVerticalMarkerCount(2);
    oszi->setVerticalMarker(0, markerLeft, qColorPrimary);
    oszi->setVerticalMarker(1, markerRight, qColorPrimary);
    qCDebug(lcTrace).noquote() << Q_FUNC_INFO << " END";
}

void TabEvaluationValues::updateTable()
{
    if (!model)
        return;
    TableKey key{model,      model->changeCount(), model->dataRevision(),
                 markerLeft, markerRight,          model->clock()};
    for (int s = 0; s < numSensors; ++s)
        key.offsets[static_cast<size_t>(s)] = model->offset(s);
    // The main window and the tab's showing both refresh; the second finds nothing new.
    if (m_tableValid && key == m_tableKey)
        return;

    int rows = 0;
    for (int s = 0; s < numSensors; ++s)
        rows = qMax(rows, model->numChannels(s));
    QTableWidget* table = ui->tableWidget;
    table->setUpdatesEnabled(false);
    table->setRowCount(rows);
    for (QList<double>& list : sensorMaxima)
        list.clear();
    const int clk = model->clock();
    std::array<int, numSensors> counts{};
    for (int s = 0; s < numSensors; ++s)
        counts[static_cast<size_t>(s)] = model->numChannels(s);
    for (int i = 0; i < rows; ++i) {
        EvaluationCells::setCell(table, i, 0, EvaluationCells::shotNumber(i));
        for (int s = 0; s < numSensors; ++s) {
            const size_t si = static_cast<size_t>(s);
            if (i >= counts[si]) {
                EvaluationCells::setCell(table, i, s + 1, QString());
                continue;
            }
            const EvaluationMath::MarkerMaximum m = EvaluationMath::maxBetweenMarkers(
                *model->measurement(s, i), key.offsets[si], markerLeft, markerRight, clk);
            if (m.valid) {
                EvaluationCells::setCell(table, i, s + 1, EvaluationCells::number(m.value));
                sensorMaxima[si].append(m.value);
            } else {
                EvaluationCells::setCell(table, i, s + 1, EvaluationCells::number(-1), true);
            }
        }
    }
    m_tableShots = rows;
    updateVerdictColumn();
    table->setUpdatesEnabled(true);

    for (int s = 0; s < numSensors; ++s) {
        const size_t si = static_cast<size_t>(s);
        BoxWhiskersWidget* c = m_charts[si];
        c->setRange(EvaluationCells::sensorBound(*model, s, false),
                    EvaluationCells::sensorBound(*model, s, true));
        c->set(sensorMaxima[si]);
    }
    setStatisticsLabels();
    m_tableKey = key;
    m_tableValid = true;
    emit tableChanged();
}

void TabEvaluationValues::setVerdicts(const QVector<Verdict>& verdicts)
{
    m_verdicts = verdicts;
    if (!model)
        return;
    updateVerdictColumn();
    // Only the colours change: the slots keep the lists updateOszi gave them.
    EvaluationCells::recolorShots(ui->evaluationOszi, m_verdicts);
}

void TabEvaluationValues::updateVerdictColumn()
{
    QTableWidget* table = ui->tableWidget;
    for (int i = 0; i < m_tableShots && i < table->rowCount(); ++i)
        EvaluationCells::setVerdictCell(table, i, verdictColumn,
                                        EvaluationCells::verdictAt(m_verdicts, i), *model);
}

void TabEvaluationValues::setStatisticsLabels()
{
    for (int s = 0; s < numSensors; ++s) {
        const size_t si = static_cast<size_t>(s);
        const FiveNumberSummary f = FiveNumberSummary::ofSorted(m_charts[si]->values());
        const double values[] = {f.minimum, f.lowerQuartile, f.median, f.upperQuartile, f.maximum};
        for (int k = 0; k < 5; ++k)
            m_statLabels[si][static_cast<size_t>(k)]->setText(EvaluationCells::number(values[k]));
    }
}

void TabEvaluationValues::setHeaderLabels()
{
    ui->tableWidget->setHorizontalHeaderLabels({tr("#"), tr("max Sensor 1"), tr("max Sensor 2"),
                                                tr("max Sensor 3"), tr("max Sensor 4"),
                                                tr("max Sensor 5"), tr("Bewertung")});
}

void TabEvaluationValues::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        // The form's texts come back in the new language; the numbers are written again in
        // the language's decimal mark.
        ui->retranslateUi(this);
        setHeaderLabels();
        m_tableValid = false;
        if (model)
            updateTable();
        else
            setStatisticsLabels();
    }
    QWidget::changeEvent(event);
}

void TabEvaluationValues::onCurrentRowChanged(const QModelIndex& selection, const QModelIndex&)
{
    VTRACE();
    qCDebug(lcTrace) << selection;
    const int r = selection.row();
    OsziWidget* oszi = ui->evaluationOszi;
    oszi->highlightSingle(r);
    if (!model)
        return;
    const int s = currentSensor();
    if (r < 0 || r >= model->numChannels(s))
        return;
    const EvaluationMath::MarkerMaximum m = EvaluationMath::maxBetweenMarkers(
        *model->measurement(s, r), model->offset(s), markerLeft, markerRight, model->clock());
    // A shot without a maximum gets no line rather than one at a made-up value.
    oszi->setHorizontalLineCount(m.valid ? 1 : 0);
    if (m.valid) {
        oszi->setHorizontalLineColor(0, model->color(static_cast<quint8>(s)));
        oszi->setHorizontalLine(0, m.value);
    }
}

void TabEvaluationValues::onModel_dataAboutToChange()
{
    ui->evaluationOszi->clearCurves();
    m_tableValid = false;
    // The verdicts name shots by index, which a deletion or an open changes; the new
    // ones follow.
    m_verdicts.clear();
    if (model)
        updateVerdictColumn();
    m_tableShots = 0;
}
