#include "view/TabEvaluation.h"

#include "analysis/CursorMath.h"
#include "analysis/SpcValues.h"
#include "app/Constants.h"
#include "app/Logging.h"
#include "model/Model.h"
#include "ui_TabEvaluation.h"
#include "view/TabEvaluationDashBoard.h"
#include "view/TabEvaluationRuntime.h"
#include "view/TabEvaluationSingleShot.h"
#include "view/TabEvaluationSpc.h"
#include "view/TabEvaluationValues.h"
#include "widgets/BoxWhiskersWidget.h"

#include <QEvent>

TabEvaluation::TabEvaluation(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::TabEvaluation>())
{
    VTRACE();
    ui->setupUi(this);
    ui->stackedWidget->setCurrentIndex(0);
    const QString titleStyle =
        QStringLiteral("color: ") + colorPrimary + QStringLiteral("; font-size: 24px;");
    for (QLabel* title : {ui->evaluationSingleShotTitleLabel, ui->evaluationTimeTitleLabel,
                          ui->evaluationValuesTitleLabel, ui->evaluationSpcTitleLabel})
        title->setStyleSheet(titleStyle);
    for (QPushButton* next :
         {ui->nextStackButton1, ui->nextStackButton2, ui->nextStackButton3, ui->nextStackButton4})
        connect(next, &QPushButton::clicked, this, &TabEvaluation::nextStackClicked);
    for (QPushButton* prev :
         {ui->prevStackButton1, ui->prevStackButton2, ui->prevStackButton3, ui->prevStackButton4})
        connect(prev, &QPushButton::clicked, this, &TabEvaluation::prevStackClicked);
    connect(ui->dashBoard, &TabEvaluationDashBoard::spcPressed, this,
            [this] { ui->stackedWidget->setCurrentWidget(ui->stackSpc); });
    // The SPC page charts what the other pages compute, with their markers and thresholds.
    connect(ui->stackedWidget, &QStackedWidget::currentChanged, this, [this] {
        if (ui->stackedWidget->currentWidget() == ui->stackSpc)
            ui->tabEvaluationSpc->refresh();
    });
    connect(ui->tabEvaluationRuntime, &TabEvaluationRuntime::tableChanged, this,
            &TabEvaluation::refreshSpcIfShown);
    connect(ui->tabEvaluationValues, &TabEvaluationValues::tableChanged, this,
            &TabEvaluation::refreshSpcIfShown);
    connect(ui->tabEvaluationSpc, &TabEvaluationSpc::shotSelected, this,
            &TabEvaluation::shotSelected);
    connect(ui->dashBoard, &TabEvaluationDashBoard::overlayPressed, this,
            &TabEvaluation::onOverlayPressed);
    connect(ui->dashBoard, &TabEvaluationDashBoard::runtimePressed, this,
            &TabEvaluation::onRuntimePressed);
    connect(ui->dashBoard, &TabEvaluationDashBoard::valuesPressed, this,
            &TabEvaluation::onValuesPressed);
    // New thresholds or markers on a detail page reach the dashboard at once.
    connect(ui->tabEvaluationRuntime, &TabEvaluationRuntime::tableChanged, this,
            &TabEvaluation::updateDashBoard);
    connect(ui->tabEvaluationValues, &TabEvaluationValues::tableChanged, this,
            &TabEvaluation::updateDashBoard);
}

TabEvaluation::~TabEvaluation() = default;

TabEvaluationDashBoard* TabEvaluation::dashBoard() const
{
    return ui->dashBoard;
}

TabEvaluationSingleShot* TabEvaluation::singleShotPage() const
{
    return ui->tabEvaluationSingleShot;
}

TabEvaluationRuntime* TabEvaluation::runtimePage() const
{
    return ui->tabEvaluationRuntime;
}

TabEvaluationValues* TabEvaluation::valuesPage() const
{
    return ui->tabEvaluationValues;
}

int TabEvaluation::currentPage() const
{
    return ui->stackedWidget->currentIndex();
}

void TabEvaluation::setModel(Model* m)
{
    VTRACE();
    if (m != model) {
        if (model)
            disconnect(model, nullptr, this, nullptr);
        if (m)
            connect(m, &Model::dataAboutToChange, this, &TabEvaluation::onModel_dataAboutToChange);
    }
    model = m;
    ui->dashBoard->setModel(m);
    ui->tabEvaluationSingleShot->setModel(m);
    ui->tabEvaluationRuntime->setModel(m);
    ui->tabEvaluationValues->setModel(m);
    if (m)
        ui->tabEvaluationSpc->setModel(m);
    setSpcChoices();
    update();
}

void TabEvaluation::setVerdicts(const QVector<Verdict>& verdicts)
{
    ui->tabEvaluationSingleShot->setVerdicts(verdicts);
    ui->tabEvaluationRuntime->setVerdicts(verdicts);
    ui->tabEvaluationValues->setVerdicts(verdicts);
    int ok = 0;
    for (const Verdict& v : verdicts)
        ok += v.isOk() ? 1 : 0;
    ui->dashBoard->setVerdictCounts(ok, verdicts.size() - ok);
    m_verdicts = verdicts;
    if (ui->tabEvaluationSpc->currentKey() == QLatin1String("deviation"))
        refreshSpcIfShown();
}

TabEvaluationSpc* TabEvaluation::spcPage() const
{
    return ui->tabEvaluationSpc;
}

void TabEvaluation::showSpcPage()
{
    ui->stackedWidget->setCurrentWidget(ui->stackSpc);
}

void TabEvaluation::refreshSpcIfShown()
{
    if (ui->stackedWidget->currentWidget() == ui->stackSpc && isVisible())
        ui->tabEvaluationSpc->refresh();
}

void TabEvaluation::setCursors(const std::optional<std::pair<double, double>>& cursors)
{
    const bool had = m_cursors.has_value();
    m_cursors = cursors;
    if (had != cursors.has_value())
        setSpcChoices();
    if (ui->tabEvaluationSpc->currentKey().startsWith(QLatin1String("cursor:")))
        refreshSpcIfShown();
}

void TabEvaluation::setSpcChoices()
{
    // Cursor quantities only while the cursors are on.
    QVector<TabEvaluationSpc::Choice> choices;
    for (const QString& key : SpcValues::keys(m_cursors.has_value()))
        choices.append({key, SpcValues::name(key)});
    ui->tabEvaluationSpc->setChoices(choices,
                                     [this](const QString& key) { return spcValues(key); });
}

QVector<double> TabEvaluation::spcValues(const QString& key) const
{
    if (!model)
        return {};
    const TabEvaluationValues* values = ui->tabEvaluationValues;
    const TabEvaluationRuntime* runtime = ui->tabEvaluationRuntime;
    if (key.startsWith(QLatin1String("max:"))) {
        const int sensor = key.mid(4).toInt() - 1;
        if (sensor < 0 || sensor >= numSensors)
            return {};
        return SpcValues::maxima(*model, sensor, values->markerLeftMs(), values->markerRightMs());
    }
    const int sensor = runtime->currentSensor();
    const auto runtimeOf = [&](SpcValues::Runtime which) {
        return SpcValues::runtimes(*model, sensor, runtime->startValue(sensor),
                                   runtime->stopValue(sensor), which);
    };
    if (key == QLatin1String("start"))
        return runtimeOf(SpcValues::Runtime::Start);
    if (key == QLatin1String("duration"))
        return runtimeOf(SpcValues::Runtime::Duration);
    if (key == QLatin1String("stop"))
        return runtimeOf(SpcValues::Runtime::Stop);
    if (key == QLatin1String("deviation"))
        return SpcValues::deviations(m_verdicts, model->numChannels(0));
    if (key.startsWith(QLatin1String("cursor:")) && m_cursors) {
        const QStringList parts = key.split(QLatin1Char(':'));
        const int q = parts.value(1).toInt();
        const int cursorSensor = parts.value(2).toInt() - 1;
        if (q < 0 || q >= CursorMath::numQuantities || cursorSensor < 0 ||
            cursorSensor >= numSensors)
            return {};
        return CursorMath::perShot(*model, cursorSensor, CursorMath::Quantity(q), m_cursors->first,
                                   m_cursors->second);
    }
    return {};
}

void TabEvaluation::onModel_dataAboutToChange()
{
    // The verdicts name shots by index, which a deletion or an open changes; the pages drop
    // theirs themselves, the new ones follow.
    ui->dashBoard->setVerdictCounts(0, 0);
}

void TabEvaluation::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Picks up a project opened or made new meanwhile; the thresholds and markers the user
    // entered for this project stay.
    setModel(model);
    update();
}

void TabEvaluation::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        setSpcChoices();
    }
    QWidget::changeEvent(event);
}

void TabEvaluation::update()
{
    VTRACE();
    QWidget::update();
    ui->tabEvaluationSingleShot->update();
    ui->tabEvaluationRuntime->update();
    ui->tabEvaluationValues->update();
    updateDashBoard();
    refreshSpcIfShown();
}

void TabEvaluation::updateDashBoard()
{
    TabEvaluationDashBoard* dash = ui->dashBoard;
    TabEvaluationRuntime* runtime = ui->tabEvaluationRuntime;
    for (int c = 0; c < 3; ++c) {
        dash->runtimeChart(c)->setRange(0.0, runtime->chart(0)->rangeMax());
        dash->runtimeChart(c)->setPresorted(runtime->chart(c)->values());
    }
    if (model) {
        for (int s = 0; s < TabEvaluationDashBoard::numSensors; ++s) {
            const QColor color = model->color(static_cast<quint8>(s));
            dash->valuesCaption(s)->setStyleSheet(QStringLiteral("color: ") + color.name() +
                                                  QStringLiteral("; background-color: white;"));
            dash->valuesChart(s)->setColor(color);
        }
    }
    TabEvaluationValues* values = ui->tabEvaluationValues;
    for (int s = 0; s < TabEvaluationDashBoard::numSensors; ++s) {
        const BoxWhiskersWidget* from = values->chart(s);
        dash->valuesChart(s)->setRange(from->rangeMin(), from->rangeMax());
        dash->valuesChart(s)->setPresorted(from->values());
    }
    dash->update();
}

void TabEvaluation::nextStackClicked()
{
    const int next = ui->stackedWidget->currentIndex() + 1;
    ui->stackedWidget->setCurrentIndex(next < ui->stackedWidget->count() ? next : 0);
}

void TabEvaluation::prevStackClicked()
{
    const int prev = ui->stackedWidget->currentIndex() - 1;
    ui->stackedWidget->setCurrentIndex(prev >= 0 ? prev : ui->stackedWidget->count() - 1);
}

void TabEvaluation::onOverlayPressed()
{
    ui->stackedWidget->setCurrentWidget(ui->stackOverlay);
}

void TabEvaluation::onRuntimePressed()
{
    ui->stackedWidget->setCurrentWidget(ui->stackRuntime);
}

void TabEvaluation::onValuesPressed()
{
    ui->stackedWidget->setCurrentWidget(ui->stackValues);
}
