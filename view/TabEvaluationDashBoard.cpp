#include "view/TabEvaluationDashBoard.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "model/Model.h"
#include "ui_TabEvaluationDashBoard.h"
#include "widgets/BoxWhiskersWidget.h"
#include "widgets/gauge/DialArcItem.h"
#include "widgets/gauge/DialBackgroundItem.h"
#include "widgets/gauge/DialDegreesItem.h"
#include "widgets/gauge/DialLabelItem.h"
#include "widgets/gauge/DialNeedleItem.h"
#include "widgets/gauge/DialValuesItem.h"
#include "widgets/gauge/DialWidget.h"

#include <QEvent>
#include <limits>

TabEvaluationDashBoard::TabEvaluationDashBoard(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::TabEvaluationDashBoard>())
{
    VTRACE();
    ui->setupUi(this);
    setStyleSheet(QStringLiteral("background-color: ") + colorGrayEEE + QStringLiteral(";"));
    const QString titleStyle = QStringLiteral("color: ") + colorPrimary +
                               QStringLiteral("; background-color: white; font-size: 24px;");
    for (QLabel* title : {ui->labelEvaluationOverviewTitle, ui->labelEvaluationOverlayTitle,
                          ui->labelEvaluationRuntimeTitle, ui->labelEvaluationValuesTitle})
        title->setStyleSheet(titleStyle);
    const QString buttonStyle = QStringLiteral("background-color: ") + colorPrimary +
                                QStringLiteral("; color: white; font-size: 16px;");
    for (QPushButton* button :
         {ui->projectButton, ui->spcButton, ui->overlayButton, ui->runtimeButton, ui->valuesButton})
        button->setStyleSheet(buttonStyle);
    for (QFrame* frame : {ui->groupOverview, ui->groupRuntime, ui->groupValues, ui->groupOverlay})
        frame->setStyleSheet(QStringLiteral("QFrame#") + frame->objectName() +
                             QStringLiteral(" {border: 2px solid ") + colorGrayAAA +
                             QStringLiteral("; border-radius: 3px; background-color: white;}"));

    DialWidget* dial = ui->speedGauge;
    // The four panels share a 1366 x 768 screen without scrolling: the dial, the runtime
    // and the values charts give up height they only need on larger screens.
    dial->setMinimumSize(170, 170);
    dial->addArc(55);
    m_degrees = dial->addDegrees(65);
    m_degrees->setValueRange(0, 1000);
    m_degrees->setStep(100);
    m_values = dial->addValues(80);
    m_values->setValueRange(0, 1000);
    m_values->setStep(100);
    m_caption = dial->addLabel(70);
    m_caption->setText(tr("Anzahl"));
    DialLabelItem* count = dial->addLabel(40);
    count->setText(QStringLiteral("0"));
    m_needle = dial->addNeedle(60);
    m_needle->setLabel(count);
    m_needle->setColor(Qt::red);
    m_needle->setValueRange(0, 1000);
    // The count is whole: plain digits, never "2e+03".
    m_needle->setLabelDecimals(0);
    dial->addBackground(7);

    ui->startLabel->setStyleSheet(QStringLiteral("color: green; background-color: white;"));
    ui->durationLabel->setStyleSheet(QStringLiteral("color: blue; background-color: white;"));
    ui->stopLabel->setStyleSheet(QStringLiteral("color: red; background-color: white;"));
    const QColor colors[] = {Qt::green, Qt::blue, Qt::red};
    for (int i = 0; i < 3; ++i) {
        BoxWhiskersWidget* c = runtimeChart(i);
        c->setFixedHeight(64);
        c->setMargins(20, 0, 10, 20);
        c->setColor(colors[i]);
    }
    for (int s = 0; s < numSensors; ++s) {
        BoxWhiskersWidget* c = valuesChart(s);
        c->setVertical(true);
        c->setFixedWidth(120);
        c->setMinimumHeight(165);
        c->setMargins(20, 50, 5, 5);
    }

    showVerdictCounts();

    connect(ui->overlayButton, &QPushButton::clicked, this,
            &TabEvaluationDashBoard::overlayPressed);
    connect(ui->runtimeButton, &QPushButton::clicked, this,
            &TabEvaluationDashBoard::runtimePressed);
    connect(ui->valuesButton, &QPushButton::clicked, this, &TabEvaluationDashBoard::valuesPressed);
    connect(ui->spcButton, &QPushButton::clicked, this, &TabEvaluationDashBoard::spcPressed);
}

TabEvaluationDashBoard::~TabEvaluationDashBoard() = default;

void TabEvaluationDashBoard::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        m_caption->setText(tr("Anzahl"));
        showVerdictCounts();
    }
    QWidget::changeEvent(event);
}

void TabEvaluationDashBoard::setVerdictCounts(int ok, int nok)
{
    m_okCount = ok;
    m_nokCount = nok;
    showVerdictCounts();
}

void TabEvaluationDashBoard::showVerdictCounts()
{
    // Without a taught reference there is nothing to count; the overview stays as it was.
    const bool any = m_okCount > 0 || m_nokCount > 0;
    ui->dashOkCountLabel->setVisible(any);
    ui->dashNokCountLabel->setVisible(any);
    ui->dashOkCountLabel->setText(any ? tr("OK: %1").arg(m_okCount) : QString());
    ui->dashNokCountLabel->setText(any ? tr("NOK: %1").arg(m_nokCount) : QString());
    const QString style = QStringLiteral("background-color: white; font-size: 16px;");
    ui->dashOkCountLabel->setStyleSheet(style);
    ui->dashNokCountLabel->setStyleSheet(
        m_nokCount > 0 ? style + QStringLiteral(" color: red; font-weight: bold;") : style);
}

int TabEvaluationDashBoard::scaleMaximum(int shots)
{
    int maxValue = 10;
    while (maxValue < shots && maxValue <= std::numeric_limits<int>::max() / 10)
        maxValue *= 10;
    return maxValue;
}

BoxWhiskersWidget* TabEvaluationDashBoard::runtimeChart(int index) const
{
    switch (index) {
    case 0:
        return ui->boxWhiskerSensor1Start;
    case 1:
        return ui->boxWhiskerSensor1Duration;
    case 2:
        return ui->boxWhiskerSensor1Stop;
    default:
        return nullptr;
    }
}

BoxWhiskersWidget* TabEvaluationDashBoard::valuesChart(int sensor) const
{
    BoxWhiskersWidget* const charts[] = {ui->boxWhiskerSensor1Values, ui->boxWhiskerSensor2Values,
                                         ui->boxWhiskerSensor3Values, ui->boxWhiskerSensor4Values,
                                         ui->boxWhiskerSensor5Values};
    return sensor >= 0 && sensor < numSensors ? charts[sensor] : nullptr;
}

QLabel* TabEvaluationDashBoard::valuesCaption(int sensor) const
{
    QLabel* const labels[] = {ui->labelSensor1, ui->labelSensor2, ui->labelSensor3,
                              ui->labelSensor4, ui->labelSensor5};
    return sensor >= 0 && sensor < numSensors ? labels[sensor] : nullptr;
}

DialWidget* TabEvaluationDashBoard::gauge() const
{
    return ui->speedGauge;
}

void TabEvaluationDashBoard::update()
{
    VTRACE();
    QWidget::update();
    if (!model) {
        qCWarning(lcView).noquote()
            << Q_FUNC_INFO
            << "ERROR: model is not set!  (model==nullptr)!  -> set model before calling this!";
        return;
    }
    const int n = model->numChannels(0);
    const int maxValue = scaleMaximum(n);
    qCDebug(lcTrace) << "numShots=" << n << "maxValue=" << maxValue;
    m_values->setValueRange(0, maxValue);
    m_values->setStep(maxValue / 10);
    m_degrees->setValueRange(0, maxValue);
    m_degrees->setStep(maxValue / 10);
    m_needle->setValueRange(0, maxValue);
    m_needle->setCurrentValue(n);
}
