#include "model/Model.h"
#include "tests/common/TestMain.h"
#include "view/TabEvaluation.h"
#include "view/TabEvaluationDashBoard.h"
#include "view/TabEvaluationRuntime.h"
#include "view/TabEvaluationSingleShot.h"
#include "view/TabEvaluationValues.h"
#include "view/View.h"
#include "widgets/BoxWhiskersWidget.h"
#include "widgets/gauge/DialDegreesItem.h"
#include "widgets/gauge/DialLabelItem.h"
#include "widgets/gauge/DialNeedleItem.h"
#include "widgets/gauge/DialValuesItem.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>

namespace {

template <typename T>
T* child(const QWidget& parent, const QString& name)
{
    T* widget = parent.findChild<T*>(name);
    if (!widget)
        qFatal("no child %s", qPrintable(name));
    return widget;
}

// shots shots whose sensors rise and fall with the shot number.
void fill(Model& model, int shots)
{
    model.blockSignals(true);
    for (int i = 0; i < shots; ++i) {
        for (int s = 0; s < Model::numSensors; ++s) {
            SampleList samples;
            for (int k = 0; k < 40; ++k)
                samples.append(s + (k < 10 + i % 7 ? 5.0 - 0.2 * k : 0.1 * k - 2.0));
            model.appendSeries(s, std::move(samples));
        }
        model.appendTimestamp();
    }
    model.blockSignals(false);
    emit model.dataChanged();
    ProjectData data = model.projectData();
    data.markers = {500, 1000, 1500, 2500};
    model.setProjectData(data);
}

void click(const QWidget& parent, const char* name)
{
    child<QPushButton>(parent, QLatin1String(name))->click();
}

} // namespace

class TestEvaluation : public QObject
{
    Q_OBJECT

private slots:
    void scaleMaximum_data();
    void scaleMaximum();
    void gaugeFollowsShotCount();
    void dashBoardWithoutModelKeepsGauge();
    void dashBoardButtonsLookAlike();
    void pagingWrapsAround();
    void detailButtonsOpenPages();
    void dashBoardChartsCopyDetailCharts();
    void emptyProject();
    void leavingTabResetThresholdsAndMarkers();
    void dashBoardShowedCountInExponent();
    void selectingTabRefreshes();
    void pagesFitSmallScreen();
};

void TestEvaluation::scaleMaximum_data()
{
    QTest::addColumn<int>("shots");
    QTest::addColumn<int>("maximum");
    QTest::newRow("0") << 0 << 10;
    QTest::newRow("1") << 1 << 10;
    QTest::newRow("10") << 10 << 10;
    QTest::newRow("11") << 11 << 100;
    QTest::newRow("100") << 100 << 100;
    QTest::newRow("101") << 101 << 1000;
    QTest::newRow("2000") << 2000 << 10000;
}

void TestEvaluation::scaleMaximum()
{
    QFETCH(int, shots);
    QFETCH(int, maximum);
    QCOMPARE(TabEvaluationDashBoard::scaleMaximum(shots), maximum);
}

void TestEvaluation::gaugeFollowsShotCount()
{
    Model model;
    fill(model, 11);
    TabEvaluationDashBoard dash;
    dash.setModel(&model);
    dash.update();
    QCOMPARE(dash.valueScale()->maxValue(), 100.0f);
    QCOMPARE(dash.valueScale()->step(), 10.0f);
    QCOMPARE(dash.degreeScale()->maxValue(), 100.0f);
    QCOMPARE(dash.degreeScale()->step(), 10.0f);
    QCOMPARE(dash.needle()->maxValue(), 100.0f);
    QCOMPARE(dash.needle()->currentValue(), 11.0f);
    QCOMPARE(dash.needle()->label()->text(), QStringLiteral("11"));
}

void TestEvaluation::dashBoardWithoutModelKeepsGauge()
{
    TabEvaluationDashBoard dash;
    dash.update();
    QCOMPARE(dash.valueScale()->maxValue(), 1000.0f);
    QCOMPARE(dash.valueScale()->step(), 100.0f);
    QCOMPARE(dash.needle()->maxValue(), 1000.0f);
    QCOMPARE(dash.needle()->currentValue(), 0.0f);
}

// An enabled button looks like the others: the SPC button was left grey, as if disabled.
void TestEvaluation::dashBoardButtonsLookAlike()
{
    TabEvaluationDashBoard dash;
    dash.resize(1200, 700);
    const auto background = [&dash](const char* name) {
        auto* button = dash.findChild<QPushButton*>(QLatin1String(name));
        return button->grab().toImage().pixelColor(2, button->height() / 2);
    };
    const QColor look = background("projectButton");
    for (const char* name : {"spcButton", "overlayButton", "runtimeButton", "valuesButton"})
        QCOMPARE(background(name), look);
}

void TestEvaluation::pagingWrapsAround()
{
    TabEvaluation tab;
    QCOMPARE(tab.currentPage(), 0);
    click(*tab.dashBoard(), "overlayButton");
    QCOMPARE(tab.currentPage(), 1);
    click(tab, "prevStackButton1");
    QCOMPARE(tab.currentPage(), 0);
    click(*tab.dashBoard(), "overlayButton");
    click(tab, "nextStackButton1");
    QCOMPARE(tab.currentPage(), 2);
    click(tab, "nextStackButton2");
    QCOMPARE(tab.currentPage(), 3);
    click(tab, "nextStackButton3");
    QCOMPARE(tab.currentPage(), 4);
    click(tab, "nextStackButton4");
    QCOMPARE(tab.currentPage(), 0);
    click(*tab.dashBoard(), "spcButton");
    QCOMPARE(tab.currentPage(), 4);
    click(*tab.dashBoard(), "valuesButton");
    click(tab, "prevStackButton3");
    QCOMPARE(tab.currentPage(), 2);
}

void TestEvaluation::detailButtonsOpenPages()
{
    TabEvaluation tab;
    auto* stack = child<QStackedWidget>(tab, "stackedWidget");
    click(*tab.dashBoard(), "runtimeButton");
    QCOMPARE(stack->currentWidget()->objectName(), QStringLiteral("stackRuntime"));
    click(*tab.dashBoard(), "valuesButton");
    QCOMPARE(stack->currentWidget()->objectName(), QStringLiteral("stackValues"));
    click(*tab.dashBoard(), "overlayButton");
    QCOMPARE(stack->currentWidget()->objectName(), QStringLiteral("stackOverlay"));
}

void TestEvaluation::dashBoardChartsCopyDetailCharts()
{
    TabEvaluation tab;
    for (int c = 0; c < 3; ++c) {
        QVERIFY(tab.dashBoard()->runtimeChart(c)->values().isEmpty());
        QCOMPARE(tab.dashBoard()->runtimeChart(c)->rangeMax(), 100.0);
    }
    Model model;
    fill(model, 25);
    model.sensorDescription().setSensorMinimum(0, 2, -3);
    model.sensorDescription().setSensorMaximum(0, 2, 9);
    tab.setModel(&model);
    const TabEvaluationRuntime* runtime = tab.runtimePage();
    QVERIFY(runtime->chart(0)->rangeMax() > 0);
    for (int c = 0; c < 3; ++c) {
        const BoxWhiskersWidget* copy = tab.dashBoard()->runtimeChart(c);
        QVERIFY(!runtime->chart(c)->values().isEmpty());
        QCOMPARE(copy->values(), runtime->chart(c)->values());
        QCOMPARE(copy->rangeMin(), 0.0);
        QCOMPARE(copy->rangeMax(), runtime->chart(0)->rangeMax());
    }
    for (int s = 0; s < 5; ++s) {
        const BoxWhiskersWidget* copy = tab.dashBoard()->valuesChart(s);
        const BoxWhiskersWidget* from = tab.valuesPage()->chart(s);
        QCOMPARE(from->values().size(), 25);
        QCOMPARE(copy->values(), from->values());
        QCOMPARE(copy->rangeMin(), from->rangeMin());
        QCOMPARE(copy->rangeMax(), from->rangeMax());
        QCOMPARE(copy->color(), model.color(static_cast<quint8>(s)));
        QVERIFY(tab.dashBoard()->valuesCaption(s)->styleSheet().contains(
            model.color(static_cast<quint8>(s)).name()));
    }
    QCOMPARE(tab.dashBoard()->valuesChart(2)->rangeMin(), -3.0);
    QCOMPARE(tab.dashBoard()->valuesChart(2)->rangeMax(), 9.0);
}

void TestEvaluation::emptyProject()
{
    Model model;
    TabEvaluation tab;
    tab.setModel(&model);
    tab.resize(1600, 1000);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    for (int page = 0; page < 4; ++page) {
        click(*tab.dashBoard(), page == 0 ? "overlayButton" : "runtimeButton");
        QImage image(tab.size(), QImage::Format_ARGB32);
        tab.render(&image);
    }
    QCOMPARE(tab.dashBoard()->needle()->currentValue(), 0.0f);
    QCOMPARE(tab.dashBoard()->valueScale()->maxValue(), 10.0f);
    QVERIFY(tab.dashBoard()->runtimeChart(0)->values().isEmpty());
    QCOMPARE(tab.dashBoard()->runtimeChart(0)->rangeMax(), 0.0);
}

void TestEvaluation::leavingTabResetThresholdsAndMarkers()
{
    Model model;
    View view(&model);
    fill(model, 8);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setCurrentTab(View::Tabs::Evaluation);
    TabEvaluation* tab = view.tabEvaluation();
    TabEvaluationRuntime* runtime = tab->runtimePage();
    TabEvaluationValues* values = tab->valuesPage();
    const TabEvaluationDashBoard* dash = tab->dashBoard();
    const QList<double> startsBefore = dash->runtimeChart(0)->values();
    const QList<double> maximaBefore = dash->valuesChart(0)->values();

    auto* start = child<QDoubleSpinBox>(*runtime, "spinBoxStartValue");
    start->setValue(2.5);
    emit start->editingFinished();
    child<QDoubleSpinBox>(*values, "spinBoxMarkerLeft")->setValue(0);
    child<QDoubleSpinBox>(*values, "spinBoxMarkerRight")->setValue(0.5);
    emit child<QDoubleSpinBox>(*values, "spinBoxMarkerRight")->editingFinished();
    const QList<double> starts = runtime->chart(0)->values();
    const QList<double> maxima = values->chart(0)->values();
    QVERIFY(starts != startsBefore);
    QVERIFY(maxima != maximaBefore);
    // The dashboard follows without leaving the tab.
    QCOMPARE(dash->runtimeChart(0)->values(), starts);
    QCOMPARE(dash->valuesChart(0)->values(), maxima);

    view.setCurrentTab(View::Tabs::Project);
    view.setCurrentTab(View::Tabs::Evaluation);
    QCOMPARE(runtime->startValue(0), 2.5);
    QCOMPARE(values->leftMarker(), 0);
    QCOMPARE(values->rightMarker(), 500);
    QCOMPARE(dash->runtimeChart(0)->values(), starts);
    QCOMPARE(dash->valuesChart(0)->values(), maxima);
}

void TestEvaluation::dashBoardShowedCountInExponent()
{
    Model model;
    model.blockSignals(true);
    for (int i = 0; i < 2000; ++i) {
        for (int s = 0; s < Model::numSensors; ++s)
            model.appendSeries(s, SampleList{1.0});
    }
    model.blockSignals(false);
    TabEvaluationDashBoard dash;
    dash.setModel(&model);
    dash.update();
    QCOMPARE(dash.needle()->label()->text(), QStringLiteral("2000"));
}

void TestEvaluation::selectingTabRefreshes()
{
    Model model;
    View view(&model);
    fill(model, 12);
    TabEvaluation* tab = view.tabEvaluation();
    QCOMPARE(tab->dashBoard()->needle()->currentValue(), 0.0f);
    view.setCurrentTab(View::Tabs::Evaluation);
    QCOMPARE(tab->dashBoard()->needle()->currentValue(), 12.0f);
    QCOMPARE(tab->valuesPage()->maxima(0).size(), 12);
}

void TestEvaluation::pagesFitSmallScreen()
{
    // The window must fit 1366 x 768 with its tab bar and tool bar: taller pages scroll,
    // none is wider than the room beside the tab bar.
    Model model;
    fill(model, 30);
    TabEvaluation tab;
    tab.setModel(&model);
    QVERIFY2(tab.minimumSizeHint().width() <= 1100 && tab.minimumSizeHint().height() <= 600,
             qPrintable(QStringLiteral("%1 x %2")
                            .arg(tab.minimumSizeHint().width())
                            .arg(tab.minimumSizeHint().height())));
    for (QWidget* page :
         {static_cast<QWidget*>(tab.dashBoard()), static_cast<QWidget*>(tab.singleShotPage()),
          static_cast<QWidget*>(tab.runtimePage()), static_cast<QWidget*>(tab.valuesPage())})
        QVERIFY2(page->minimumSizeHint().width() <= 1100,
                 qPrintable(page->objectName() + QLatin1Char(' ') +
                            QString::number(page->minimumSizeHint().width())));
}

VENTARO_TEST_MAIN(TestEvaluation)
#include "test_evaluation.moc"
