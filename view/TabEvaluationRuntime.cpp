#include "view/TabEvaluationRuntime.h"

#include "analysis/EvaluationMath.h"
#include "app/Logging.h"
#include "charts/FiveNumberSummary.h"
#include "model/Model.h"
#include "ui_TabEvaluationRuntime.h"
#include "view/EvaluationCells.h"
#include "view/GapText.h"
#include "widgets/BoxWhiskersWidget.h"
#include "widgets/OsziWidget.h"

#include <QEvent>
#include <QHeaderView>
#include <QSignalBlocker>

namespace {

const QString missing = QStringLiteral("-");

} // namespace

bool TabEvaluationRuntime::TableKey::operator==(const TableKey& o) const
{
    return model == o.model && changeCount == o.changeCount && revision == o.revision &&
           sensor == o.sensor && start == o.start && stop == o.stop && offset == o.offset &&
           clock == o.clock;
}

TabEvaluationRuntime::TabEvaluationRuntime(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::TabEvaluationRuntime>())
{
    VTRACE();
    ui->setupUi(this);
    m_sensorButtons = {ui->sensor1Button, ui->sensor2Button, ui->sensor3Button, ui->sensor4Button,
                       ui->sensor5Button};
    ui->evaluationOszi->setMaximumHeight(300);

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

    for (QRadioButton* button : m_sensorButtons)
        connect(button, &QRadioButton::toggled, this, &TabEvaluationRuntime::onSensorButtonToggled);
    connect(ui->spinBoxStartValue, &QDoubleSpinBox::editingFinished, this,
            &TabEvaluationRuntime::onStartStopSpinBoxChanged);
    connect(ui->spinBoxStopValue, &QDoubleSpinBox::editingFinished, this,
            &TabEvaluationRuntime::onStartStopSpinBoxChanged);

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
            &TabEvaluationRuntime::onCurrentRowChanged);

    ui->layoutStatistics->setColumnStretch(1, 4);
    ui->startLabel->setStyleSheet(QStringLiteral("color: green;"));
    ui->durationLabel->setStyleSheet(QStringLiteral("color: blue;"));
    ui->stopLabel->setStyleSheet(QStringLiteral("color: red;"));
    const QColor colors[] = {Qt::green, Qt::blue, Qt::red};
    for (int i = 0; i < 3; ++i) {
        BoxWhiskersWidget* c = chart(i);
        c->setFixedHeight(60);
        c->setMargins(20, 0, 10, 20);
        c->setColor(colors[i]);
    }
}

TabEvaluationRuntime::~TabEvaluationRuntime() = default;

BoxWhiskersWidget* TabEvaluationRuntime::chart(int index) const
{
    switch (index) {
    case 0:
        return ui->boxWhisker1;
    case 1:
        return ui->boxWhisker2;
    case 2:
        return ui->boxWhisker3;
    default:
        return nullptr;
    }
}

std::optional<std::pair<double, double>> TabEvaluationRuntime::userThresholds(const Model& m,
                                                                              int sensor) const
{
    if (model != &m || m.projectGeneration() != m_projectGeneration || sensor < 0 ||
        sensor >= numSensors || !m_userThresholds[static_cast<size_t>(sensor)])
        return std::nullopt;
    return std::make_pair(startValues[static_cast<size_t>(sensor)],
                          stopValues[static_cast<size_t>(sensor)]);
}

int TabEvaluationRuntime::currentSensor() const
{
    return EvaluationCells::checkedSensor(m_sensorButtons.data(), numSensors);
}

void TabEvaluationRuntime::setModel(Model* m)
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
                &TabEvaluationRuntime::onModel_dataAboutToChange);
        m_tableValid = false;
        m_extremaValid = false;
    }
    // Another project starts again from thresholds of its own data.
    if (model != m || m->projectGeneration() != m_projectGeneration)
        m_userThresholds.fill(false);
    m_projectGeneration = m->projectGeneration();
    model = m;
    // The extremes take a pass over every sample; the tab's every showing asks for them.
    const TableKey counts{m, m->changeCount(), m->dataRevision()};
    if (!m_extremaValid || !(counts == m_extremaKey)) {
        for (int s = 0; s < numSensors; ++s) {
            QVector<const SampleList*> shots(m->numChannels(s));
            for (int i = 0; i < shots.size(); ++i)
                shots[i] = m->measurement(s, i);
            const EvaluationMath::Extremes e = EvaluationMath::overallExtremes(shots);
            m_overallMin[static_cast<size_t>(s)] = e.minimum;
            m_overallMax[static_cast<size_t>(s)] = e.maximum;
        }
        m_extremaKey = counts;
        m_extremaValid = true;
    }
    for (int s = 0; s < numSensors; ++s) {
        const size_t i = static_cast<size_t>(s);
        if (m_userThresholds[i])
            continue;
        const double lo = m_overallMin[i] + m->offset(s);
        const double hi = m_overallMax[i] + m->offset(s);
        const EvaluationMath::Thresholds t = EvaluationMath::thresholdsFor(lo, hi);
        startValues[i] = t.start;
        stopValues[i] = t.stop;
        qCDebug(lcTrace).noquote() << Q_FUNC_INFO << " min=" << lo << "max=" << hi;
        qCDebug(lcTrace).noquote()
            << Q_FUNC_INFO << " startValue=" << t.start << "stopValue=" << t.stop;
    }
    update();
}

void TabEvaluationRuntime::update()
{
    QWidget::update();
    if (!model) {
        qCWarning(lcView).noquote()
            << Q_FUNC_INFO
            << "ERROR: model is not set!  (model==nullptr)!  -> set model before calling this!";
        return;
    }
    const int s = currentSensor();
    {
        const QSignalBlocker b1(ui->spinBoxStartValue);
        const QSignalBlocker b2(ui->spinBoxStopValue);
        const QSignalBlocker b3(ui->offsetSpinBox1);
        ui->spinBoxStartValue->setValue(startValues[static_cast<size_t>(s)]);
        ui->spinBoxStopValue->setValue(stopValues[static_cast<size_t>(s)]);
        m_shownThresholds = {ui->spinBoxStartValue->value(), ui->spinBoxStopValue->value()};
        ui->offsetSpinBox1->setValue(model->offset(s));
    }
    qCDebug(lcTrace) << "offset=" << model->offset(s);
    updateOszi();
    updateTable();
    qCDebug(lcTrace).noquote() << Q_FUNC_INFO << " END";
}

void TabEvaluationRuntime::updateOszi()
{
    if (!model)
        return;
    const int s = currentSensor();
    OsziWidget* oszi = ui->evaluationOszi;
    oszi->setHighlightColor(model->color(static_cast<quint8>(s)));
    if (model->clock() > 0) {
        oszi->setClock(model->clock());
        oszi->setClockGrid(model->clock() * 100);
    }
    oszi->setOffset(model->offset(s));
    oszi->setMaxValue(EvaluationCells::sensorBound(*model, s, true));
    oszi->setMinValue(EvaluationCells::sensorBound(*model, s, false));
    if (oszi->horizontalLineCount() > 0)
        oszi->setHorizontalLine(0, startValues[static_cast<size_t>(s)]);
    if (oszi->horizontalLineCount() > 1)
        oszi->setHorizontalLine(1, stopValues[static_cast<size_t>(s)]);
    const int n = qMin(model->numChannels(s), OsziWidget::numCurves);
    for (int i = 0; i < n; ++i)
        oszi->setCurve(i, model->measurement(s, i), EvaluationCells::shotColor(m_verdicts, i));
    // Slots beyond this sensor's shots would still show another sensor's curves.
    for (int i = n; i < OsziWidget::numCurves && oszi->curve(i); ++i) {
        oszi->setCurve(i, nullptr, Qt::black);
        oszi->setDisabled(i);
    }
    qCDebug(lcTrace).noquote() << Q_FUNC_INFO << " END";
}

void TabEvaluationRuntime::updateTable()
{
    if (!model)
        return;
    const int s = currentSensor();
    const size_t si = static_cast<size_t>(s);
    const TableKey key{
        model,           model->changeCount(), model->dataRevision(), s,
        startValues[si], stopValues[si],       model->offset(s),      model->clock()};
    // The main window and the tab's showing both refresh; the second finds nothing new.
    if (m_tableValid && key == m_tableKey)
        return;

    startTimes.clear();
    durations.clear();
    stopTimes.clear();
    const int clk = EvaluationMath::samplePeriod(model->clock());
    const double offset = model->offset(s);
    const int n = model->numChannels(s);
    QTableWidget* table = ui->tableWidget;
    table->setUpdatesEnabled(false);
    table->setRowCount(n + 2);
    double maxTotal = 0.0;
    const int stamps = model->numTimestamps();
    for (int i = 0; i < n; ++i) {
        const SampleList& samples = *model->measurement(s, i);
        const int a = EvaluationMath::findStart(samples, offset, startValues[si]);
        const int b = EvaluationMath::findStop(samples, offset, stopValues[si]);
        EvaluationCells::setCell(table, i, 0, EvaluationCells::shotNumber(i));
        const QDateTime stamp = i < stamps ? model->timestamp(i) : QDateTime();
        const QString stampText =
            stamp.isValid() ? stamp.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")) : QString();
        EvaluationCells::setCell(
            table, i, 1, model->isFromBlackBox(i) ? stampText + tr(" (Black Box)") : stampText);
        if (a >= 0) {
            startTimes.append(EvaluationMath::seconds(a, clk));
            EvaluationCells::setCell(table, i, 2, EvaluationCells::number(startTimes.constLast()));
        } else {
            EvaluationCells::setCell(table, i, 2, missing, true);
        }
        if (a >= 0 && b >= 0) {
            const double d = EvaluationMath::seconds(b - a, clk);
            EvaluationCells::setCell(table, i, 3, EvaluationCells::number(d));
            if (a != b)
                durations.append(d);
        } else {
            EvaluationCells::setCell(table, i, 3, missing, true);
        }
        if (b >= 0) {
            stopTimes.append(EvaluationMath::seconds(b, clk));
            EvaluationCells::setCell(table, i, 4, EvaluationCells::number(stopTimes.constLast()));
        } else {
            EvaluationCells::setCell(table, i, 4, missing, true);
        }
        const SampleList* first = model->measurement(0, i);
        EvaluationCells::setCell(
            table, i, 5,
            first ? QString::number(static_cast<qint64>(first->size()) * clk / 1000) : QString());
        // Live shots carry no time stamp, so they have no pause either.
        const QDateTime next = i + 1 < stamps ? model->timestamp(i + 1) : QDateTime();
        // A gap of the recording after this shot is said where its pause would stand.
        const int gap = GapText::gapAfterShot(model->recordingGaps(), model->timestamps(), i);
        if (gap >= 0) {
            const RecordingGap& g = model->recordingGaps().at(gap);
            EvaluationCells::setCell(table, i, 6, GapText::describe(g), !g.isFilled());
        } else {
            EvaluationCells::setCell(table, i, 6,
                                     stamp.isValid() && next.isValid()
                                         ? QString::number(stamp.secsTo(next))
                                         : QString());
        }
        // The gap's text is longer than the column: whole in the tool tip.
        if (QTableWidgetItem* pause = table->item(i, 6))
            pause->setToolTip(gap >= 0 ? pause->text() : QString());
        maxTotal = qMax(maxTotal, EvaluationMath::seconds(samples.size(), clk));
    }
    for (int i = n; i < n + 2; ++i) {
        for (int c = 0; c < table->columnCount(); ++c)
            EvaluationCells::setCell(table, i, c, QString());
    }
    m_tableShots = n;
    updateVerdictColumn();
    table->setUpdatesEnabled(true);

    const QList<double>* lists[] = {&startTimes, &durations, &stopTimes};
    for (int c = 0; c < 3; ++c) {
        chart(c)->setRange(0.0, maxTotal);
        chart(c)->set(*lists[c]);
    }
    setStatisticsLabels();
    m_tableKey = key;
    m_tableValid = true;
    emit tableChanged();
}

void TabEvaluationRuntime::setVerdicts(const QVector<Verdict>& verdicts)
{
    m_verdicts = verdicts;
    if (!model)
        return;
    updateVerdictColumn();
    // Only the colours change: the slots keep the lists updateOszi gave them.
    EvaluationCells::recolorShots(ui->evaluationOszi, m_verdicts);
}

void TabEvaluationRuntime::updateVerdictColumn()
{
    QTableWidget* table = ui->tableWidget;
    for (int i = 0; i < m_tableShots && i < table->rowCount(); ++i)
        EvaluationCells::setVerdictCell(table, i, verdictColumn,
                                        EvaluationCells::verdictAt(m_verdicts, i), *model);
}

void TabEvaluationRuntime::setStatisticsLabels()
{
    const std::array<std::array<QLabel*, 5>, 3> labels = {{
        {ui->startMinLabel, ui->startQ1Label, ui->startMedianLabel, ui->startQ3Label,
         ui->startMaxLabel},
        {ui->durationMinLabel, ui->durationQ1Label, ui->durationMedianLabel, ui->durationQ3Label,
         ui->durationMaxLabel},
        {ui->stopMinLabel, ui->stopQ1Label, ui->stopMedianLabel, ui->stopQ3Label, ui->stopMaxLabel},
    }};
    for (int c = 0; c < 3; ++c) {
        const FiveNumberSummary f = FiveNumberSummary::ofSorted(chart(c)->values());
        const double values[] = {f.minimum, f.lowerQuartile, f.median, f.upperQuartile, f.maximum};
        for (int k = 0; k < 5; ++k)
            labels[static_cast<size_t>(c)][static_cast<size_t>(k)]->setText(
                EvaluationCells::number(values[k]));
    }
}

void TabEvaluationRuntime::setHeaderLabels()
{
    ui->tableWidget->setHorizontalHeaderLabels(
        {tr("#"), tr("timestamp"), tr("Start [s]"), tr("Dauer [s]"), tr("Stop [s]"),
         tr("Gesamtdauer [s]"), tr("Pause [s]"), tr("Bewertung")});
}

void TabEvaluationRuntime::changeEvent(QEvent* event)
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

void TabEvaluationRuntime::onSensorButtonToggled()
{
    qCDebug(lcTrace) << "currentSensor=" << currentSensor();
    update();
    qCDebug(lcTrace) << "*currentSensor=" << currentSensor();
}

void TabEvaluationRuntime::onStartStopSpinBoxChanged()
{
    qCDebug(lcTrace) << "start=" << ui->spinBoxStartValue->value()
                     << " stop=" << ui->spinBoxStopValue->value();
    const double start = ui->spinBoxStartValue->value();
    const double stop = ui->spinBoxStopValue->value();
    // Leaving a box without an edit keeps the thresholds following the data.
    if (start == m_shownThresholds.first && stop == m_shownThresholds.second)
        return;
    const size_t s = static_cast<size_t>(currentSensor());
    startValues[s] = start;
    stopValues[s] = stop;
    m_userThresholds[s] = true;
    update();
}

void TabEvaluationRuntime::onCurrentRowChanged(const QModelIndex& selection, const QModelIndex&)
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
    const SampleList& samples = *model->measurement(s, r);
    const double offset = model->offset(s);
    const int a = EvaluationMath::findStart(samples, offset, startValues[static_cast<size_t>(s)]);
    const int b = EvaluationMath::findStop(samples, offset, stopValues[static_cast<size_t>(s)]);
    const int clk = EvaluationMath::samplePeriod(model->clock());
    // A start or stop that was not found gets no marker rather than one before the shot.
    oszi->setVerticalMarkerCount(2);
    oszi->setVerticalMarker(0, a >= 0 ? a * clk : -1, Qt::green);
    oszi->setVerticalMarker(1, b >= 0 ? b * clk : -1, Qt::red);
}

void TabEvaluationRuntime::onModel_dataAboutToChange()
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
