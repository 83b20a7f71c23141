#include "analysis/EvaluationMath.h"
#include "analysis/Verdict.h"
#include "app/NumberStyle.h"
#include "model/Model.h"
#include "model/RecordingGap.h"
#include "tests/common/FakeDeviceSetup.h"
#include "tests/common/TestMain.h"
#include "view/GapText.h"
#include "view/TabEvaluation.h"
#include "view/TabEvaluationDashBoard.h"
#include "view/TabEvaluationRuntime.h"
#include "view/TabEvaluationSingleShot.h"
#include "view/TabEvaluationSpc.h"
#include "view/TabEvaluationValues.h"
#include "view/TabOszilloscope.h"
#include "widgets/BoxWhiskersWidget.h"
#include "widgets/ControlChart.h"
#include "widgets/OsziWidget.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>

#include <cmath>
#include <limits>

namespace {

template <typename T>
T* child(const QWidget& parent, const QString& name)
{
    T* widget = parent.findChild<T*>(name);
    if (!widget)
        qFatal("no child %s", qPrintable(name));
    return widget;
}

// One shot: the samples of each sensor in turn (sensors not listed get none), and its time.
void addShot(Model& model, const QVector<SampleList>& sensors, const QDateTime& time = {})
{
    model.blockSignals(true);
    for (int s = 0; s < Model::numSensors; ++s)
        model.appendSeries(s, SampleList(sensors.value(s)));
    model.appendTimestamp(time);
    model.blockSignals(false);
    emit model.dataChanged();
}

// Shots for one sensor only, as black-box files of a single sensor would leave them.
void addSeries(Model& model, int sensor, const SampleList& samples)
{
    model.appendSeries(sensor, SampleList(samples));
    emit model.dataChanged();
}

QString cell(const QWidget& page, int row, int column)
{
    const QTableWidget* table = child<QTableWidget>(page, "tableWidget");
    return table->model()->data(table->model()->index(row, column)).toString();
}

bool isRed(const QWidget& page, int row, int column)
{
    const QTableWidget* table = child<QTableWidget>(page, "tableWidget");
    const QVariant v = table->model()->data(table->model()->index(row, column), Qt::BackgroundRole);
    return v.isValid() && v.value<QBrush>().color() == QColor(Qt::red);
}

QStringList labels(const QWidget& page, const QString& prefix)
{
    QStringList texts;
    for (const char* name : {"Min", "Q1", "Median", "Q3", "Max"})
        texts
            << child<QLabel>(page, prefix + QLatin1String(name) + QStringLiteral("Label"))->text();
    return texts;
}

QStringList repeated(const QString& text)
{
    return QStringList{text, text, text, text, text};
}

void setThresholds(TabEvaluationRuntime& page, double start, double stop)
{
    child<QDoubleSpinBox>(page, "spinBoxStartValue")->setValue(start);
    child<QDoubleSpinBox>(page, "spinBoxStopValue")->setValue(stop);
    // Finishing one box applies both.
    emit child<QDoubleSpinBox>(page, "spinBoxStartValue")->editingFinished();
}

void setMarkers(Model& model, int a, int b, int c, int d)
{
    ProjectData data = model.projectData();
    data.markers = {a, b, c, d};
    model.setProjectData(data);
}

} // namespace

class TestEvaluationPages : public QObject
{
    Q_OBJECT

private slots:
    void spcPageKeepsItsSettingsAndPicksShots();
    // plain functions
    void thresholdSearchIsStrict();
    void extremesMatchModel();
    void maxBetweenMarkers_data();
    void maxBetweenMarkers();

    // runtime page
    void runtimeExample_data();
    void runtimeExample();
    void runtimeThresholdsFromData();
    void runtimeThresholdsBeyondTwelveSurviveAnEdit();
    void runtimeSensorWithoutShots();
    void runtimeMissingStartOrStopIsLeftOut();
    void runtimePauseColumn();
    void runtimeSensorSwitchShowsOnlyThatSensor();
    void runtimeEditWithoutFinishingChangesNothing();

    // values page
    void valuesMarkersInSecondsAndTable();
    void valuesMaximumOfMinusOneIsKept();
    void valuesUnevenShotCounts();
    void valuesRowSelectionDrawsLine();
    void maximaBelowMinus100Vanished();
    void shotNumbersStartedAtZero();
    void numbersCarriedGroupSeparators();

    // overlay page
    void overlayWithoutShots();
    void overlayShotChoiceAndShortSensor();
    void overlayOffsetShiftsOneCurve();
    void overlayGridFollowsPlot();
    void overlayEmptyForMicrometreSensors();

    // verdicts
    void verdictsShownOnEveryPage_data();
    void verdictsShownOnEveryPage();

    void pagesDropCurvesBeforeListsAreFreed();
    void languageChangeKeepsNumbers();
};

void TestEvaluationPages::thresholdSearchIsStrict()
{
    const SampleList v{5, 2, 1.5, 2, 5};
    QCOMPARE(EvaluationMath::findStart(v, 0.0, 2.0), 2);
    QCOMPARE(EvaluationMath::findStop(v, 0.0, 2.0), 2);
    QCOMPARE(EvaluationMath::findStart(v, 0.0, 1.5), -1);
    QCOMPARE(EvaluationMath::findStop(v, 0.0, 1.5), -1);
    // The offset corrects every sample before the comparison.
    QCOMPARE(EvaluationMath::findStart(v, -1.0, 1.5), 1);
    QCOMPARE(EvaluationMath::findStop(v, -3.5, 1.5), 3); // 1.5 at index 4 is not below
    QCOMPARE(EvaluationMath::findStart(SampleList(), 0.0, 1.0), -1);
    QCOMPARE(EvaluationMath::seconds(3, 100), 0.3);
    QCOMPARE(EvaluationMath::seconds(3, 0), 0.003);
}

void TestEvaluationPages::extremesMatchModel()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Model model;
    addShot(model, {{2, nan, -4}, {}, {nan}, {7, 1}});
    addShot(model, {{nan, 3}, {5}, {}, {-2}});
    for (int s = 0; s < Model::numSensors; ++s) {
        QVector<const SampleList*> shots;
        for (int i = 0; i < model.numChannels(s); ++i)
            shots.append(model.measurement(s, i));
        const EvaluationMath::Extremes e = EvaluationMath::overallExtremes(shots);
        const double mn = model.overallMinimum(s);
        const double mx = model.overallMaximum(s);
        QVERIFY2(e.minimum == mn || (std::isnan(e.minimum) && std::isnan(mn)),
                 qPrintable(QString::number(s)));
        QVERIFY2(e.maximum == mx || (std::isnan(e.maximum) && std::isnan(mx)),
                 qPrintable(QString::number(s)));
    }
    QCOMPARE(EvaluationMath::overallExtremes({}).minimum, 99999999.0);
}

void TestEvaluationPages::maxBetweenMarkers_data()
{
    QTest::addColumn<SampleList>("samples");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("clock");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    const SampleList four{0.1, 0.5, 0.3, 0.9};
    QTest::newRow("100-200") << four << 100 << 200 << 100 << true << 0.5;
    QTest::newRow("0-300") << four << 0 << 300 << 100 << true << 0.9;
    QTest::newRow("truncated") << four << 199 << 299 << 100 << true << 0.5;
    QTest::newRow("marker at n x clock") << four << 0 << 400 << 100 << false << -1.0;
    QTest::newRow("equal markers") << four << 200 << 200 << 100 << true << 0.3;
    QTest::newRow("right before left") << four << 300 << 100 << 100 << false << -1.0;
    QTest::newRow("before the shot") << four << -1000 << 100 << 100 << false << -1.0;
    QTest::newRow("clock 0 is 1 ms") << four << 1 << 2 << 0 << true << 0.5;
    QTest::newRow("all below -100") << SampleList{-300, -200} << 0 << 100 << 100 << true << -200.0;
    QTest::newRow("exactly -1") << SampleList{-1, -1.5} << 0 << 100 << 100 << true << -1.0;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("not a number") << SampleList{nan, 0.25} << 0 << 100 << 100 << true << 0.25;
    QTest::newRow("no number between")
        << SampleList{nan, nan, 3} << 0 << 100 << 100 << false << -1.0;
}

void TestEvaluationPages::maxBetweenMarkers()
{
    QFETCH(SampleList, samples);
    QFETCH(int, left);
    QFETCH(int, right);
    QFETCH(int, clock);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const EvaluationMath::MarkerMaximum m =
        EvaluationMath::maxBetweenMarkers(samples, 0.0, left, right, clock);
    QCOMPARE(m.valid, valid);
    if (valid)
        QCOMPARE(m.value, value);
}

void TestEvaluationPages::runtimeExample_data()
{
    QTest::addColumn<int>("clock");
    QTest::addColumn<QStringList>("row"); // start, duration, stop
    QTest::addColumn<double>("longest");
    QTest::newRow("100 ms") << 100 << QStringList{"0.2", "0.1", "0.3"} << 0.7;
    QTest::newRow("10 ms") << 10 << QStringList{"0.02", "0.01", "0.03"} << 0.07;
}

void TestEvaluationPages::runtimeExample()
{
    QFETCH(int, clock);
    QFETCH(QStringList, row);
    QFETCH(double, longest);
    Model model;
    model.setClock(clock);
    model.setOffset(0, 1.0);
    // Corrected by the offset of 1 these are 5, 3, 1, 0.5, 1, 3, 5.
    addShot(model, {{4, 2, 0, -0.5, 0, 2, 4}});
    TabEvaluationRuntime page;
    QAbstractItemModelTester tester(child<QTableWidget>(page, "tableWidget")->model());
    page.setModel(&model);
    setThresholds(page, 2.0, 1.0);
    QCOMPARE(page.startValue(0), 2.0);
    QCOMPARE(page.stopValue(0), 1.0);
    QCOMPARE((QStringList{cell(page, 0, 2), cell(page, 0, 3), cell(page, 0, 4)}), row);
    QCOMPARE(child<QTableWidget>(page, "tableWidget")->rowCount(), 3);
    for (int c = 0; c < 3; ++c) {
        QCOMPARE(page.chart(c)->rangeMax(), longest);
        QCOMPARE(page.chart(c)->values().size(), 1);
    }
    QCOMPARE(labels(page, "start"), repeated(row[0]));

    // The markers of a selected row sit on the curve at the model's clock.
    child<QTableWidget>(page, "tableWidget")->selectRow(0);
    const OsziWidget* oszi = child<OsziWidget>(page, "evaluationOszi");
    QCOMPARE(oszi->highlightedCurve(), 0);
    QCOMPARE(oszi->verticalMarkerCount(), 2);
    QCOMPARE(oszi->verticalMarkerPosition(0), 2 * clock);
    QCOMPARE(oszi->verticalMarkerPosition(1), 3 * clock);
    QCOMPARE(oszi->clockPeriod(), clock);
}

void TestEvaluationPages::runtimeThresholdsFromData()
{
    Model model;
    addShot(model, {{2, 10, 4}, {}, {-5, 5}});
    addShot(model, {{3, 8}, {}, {0}});
    model.setOffset(2, 1.0);
    TabEvaluationRuntime page;
    page.setModel(&model);
    QCOMPARE(page.startValue(0), 2 + 8 * 0.125);
    QCOMPARE(page.stopValue(0), 2 + 8 / 10.0);
    QCOMPARE(page.startValue(2), -4 + 10 * 0.125);
    // A shot without samples counts with its extremes 9999999 and -9999999.
    QCOMPARE(page.startValue(1), 9999999 + (-9999999 - 9999999.0) * 0.125);
    // Thresholds entered by hand stay while the project is open; the others follow the data.
    setThresholds(page, 1.0, 0.5);
    QCOMPARE(page.startValue(0), 1.0);
    addShot(model, {{1, 2}, {}, {-8}});
    page.setModel(&model);
    QCOMPARE(page.startValue(0), 1.0);
    QCOMPARE(page.startValue(2), -7 + 13 * 0.125);
    // Another project starts from its own data.
    model.clear();
    addShot(model, {{2, 10}});
    page.setModel(&model);
    QCOMPARE(page.startValue(0), 3.0);
}

void TestEvaluationPages::runtimeThresholdsBeyondTwelveSurviveAnEdit()
{
    // Micrometres: finishing the stop box must not cut the start value to the box's range.
    Model model;
    addShot(model, {{1000, 200, 1000}});
    TabEvaluationRuntime page;
    page.setModel(&model);
    QCOMPARE(page.startValue(0), 300.0);
    auto* stop = child<QDoubleSpinBox>(page, "spinBoxStopValue");
    stop->setValue(250);
    emit stop->editingFinished();
    QCOMPARE(page.startValue(0), 300.0);
    QCOMPARE(page.stopValue(0), 250.0);
    QCOMPARE(cell(page, 0, 2), QStringLiteral("0.1"));
}

void TestEvaluationPages::runtimeSensorWithoutShots()
{
    Model model;
    TabEvaluationRuntime page;
    page.setModel(&model);
    QCOMPARE(page.startValue(0), 74999999.25);
    QCOMPARE(page.stopValue(0), 79999999.2);
    QCOMPARE(child<QTableWidget>(page, "tableWidget")->rowCount(), 2);
    for (int c = 0; c < 3; ++c) {
        QCOMPARE(page.chart(c)->rangeMin(), 0.0);
        QCOMPARE(page.chart(c)->rangeMax(), 0.0);
        QVERIFY(page.chart(c)->values().isEmpty());
    }
    for (const char* prefix : {"start", "duration", "stop"})
        QCOMPARE(labels(page, QLatin1String(prefix)), repeated(QStringLiteral("0")));
    // Painting the empty range must not divide by zero.
    page.resize(1200, 900);
    QImage image(page.size(), QImage::Format_ARGB32);
    page.render(&image);
}

void TestEvaluationPages::runtimeMissingStartOrStopIsLeftOut()
{
    Model model;
    addShot(model, {{5, 3, 1, 0.5, 1, 3, 5}});
    addShot(model, {{5, 5, 5}});      // never below either threshold
    addShot(model, {{5, 1.5, 5}});    // below the start value only
    addShot(model, {{5, 0.5, 5, 5}}); // start and stop at the same sample
    TabEvaluationRuntime page;
    page.setModel(&model);
    setThresholds(page, 2.0, 1.0);
    QCOMPARE(cell(page, 1, 2), QStringLiteral("-"));
    QVERIFY(isRed(page, 1, 2));
    QCOMPARE(cell(page, 1, 3), QStringLiteral("-"));
    QVERIFY(isRed(page, 1, 3));
    QCOMPARE(cell(page, 1, 4), QStringLiteral("-"));
    QCOMPARE(cell(page, 2, 2), QStringLiteral("0.1"));
    QVERIFY(!isRed(page, 2, 2));
    QCOMPARE(cell(page, 2, 3), QStringLiteral("-"));
    QCOMPARE(cell(page, 2, 4), QStringLiteral("-"));
    QVERIFY(isRed(page, 2, 4));
    QCOMPARE(cell(page, 3, 3), QStringLiteral("0"));
    QCOMPARE(page.chart(0)->values(), (QList<double>{0.1, 0.1, 0.2}));
    QCOMPARE(page.chart(1)->values(), (QList<double>{0.1}));
    QCOMPARE(page.chart(2)->values(), (QList<double>{0.1, 0.3}));
}

void TestEvaluationPages::runtimePauseColumn()
{
    Model model;
    const QDateTime t0(QDate(2026, 3, 2), QTime(8, 0, 0));
    for (int i = 0; i < 4; ++i)
        addShot(model, {SampleList(25, 1.0)}, t0.addSecs(60 * i));
    addShot(model, {SampleList(5, 1.0)}); // a live shot: no time stamp
    // A gap of the recording stands in the pause of the shot before it.
    const RecordingGap gap{t0.addSecs(90), t0.addSecs(100), 3, 1};
    model.addRecordingGap(gap);
    TabEvaluationRuntime page;
    page.setModel(&model);
    for (int r : {0, 2})
        QCOMPARE(cell(page, r, 6), QStringLiteral("60"));
    QCOMPARE(cell(page, 1, 6), GapText::describe(gap));
    const QTableWidget* table = child<QTableWidget>(page, "tableWidget");
    QCOMPARE(table->item(1, 6)->toolTip(), GapText::describe(gap));
    QCOMPARE(table->item(0, 6)->toolTip(), QString());
    QCOMPARE(cell(page, 3, 6), QString());
    QCOMPARE(cell(page, 4, 6), QString());
    QCOMPARE(cell(page, 0, 1), QStringLiteral("2026/03/02 08:00:00"));
    QCOMPARE(cell(page, 4, 1), QString());
    QCOMPARE(cell(page, 0, 5), QStringLiteral("2")); // 25 samples of 100 ms, whole seconds
}

void TestEvaluationPages::runtimeSensorSwitchShowsOnlyThatSensor()
{
    Model model;
    addShot(model, {{1, 2}, {3}});
    addSeries(model, 0, {1, 2});
    addSeries(model, 0, {1, 2});
    TabEvaluationRuntime page;
    page.setModel(&model);
    const OsziWidget* oszi = child<OsziWidget>(page, "evaluationOszi");
    QVERIFY(oszi->isCurveEnabled(2));
    child<QRadioButton>(page, "sensor2Button")->setChecked(true);
    QCOMPARE(page.currentSensor(), 1);
    QCOMPARE(oszi->curve(0), model.measurement(1, 0));
    QVERIFY(!oszi->isCurveEnabled(2));
    QCOMPARE(child<QTableWidget>(page, "tableWidget")->rowCount(), 3);

    // A sensor with more shots than sensor 1, whose sample count gives "Gesamtdauer".
    for (int i = 0; i < 3; ++i)
        addSeries(model, 1, SampleList(30, 0.0));
    page.update();
    QCOMPARE(child<QTableWidget>(page, "tableWidget")->rowCount(), 6);
    QCOMPARE(cell(page, 0, 5), QStringLiteral("0"));
    QCOMPARE(cell(page, 3, 5), QString());
    QCOMPARE(page.chart(0)->rangeMax(), 3.0);
}

void TestEvaluationPages::runtimeEditWithoutFinishingChangesNothing()
{
    Model model;
    addShot(model, {{5, 3, 1, 0.5, 1, 3, 5}});
    TabEvaluationRuntime page;
    page.setModel(&model);
    const double before = page.startValue(0);
    const QString startCell = cell(page, 0, 2);
    child<QDoubleSpinBox>(page, "spinBoxStartValue")->setValue(4.5);
    QCOMPARE(page.startValue(0), before);
    QCOMPARE(cell(page, 0, 2), startCell);
}

void TestEvaluationPages::valuesMarkersInSecondsAndTable()
{
    Model model;
    addShot(model, {{0.1, 0.5, 0.3, 0.9}});
    addShot(model, {{0.1, 0.2}});
    setMarkers(model, 100, 150, 170, 200);
    TabEvaluationValues page;
    QAbstractItemModelTester tester(child<QTableWidget>(page, "tableWidget")->model());
    page.setModel(&model);
    QCOMPARE(page.leftMarker(), 100);
    QCOMPARE(page.rightMarker(), 200);
    QCOMPARE(child<QDoubleSpinBox>(page, "spinBoxMarkerLeft")->value(), 0.1);
    QCOMPARE(child<QDoubleSpinBox>(page, "spinBoxMarkerRight")->value(), 0.2);
    QCOMPARE(cell(page, 0, 1), QStringLiteral("0.5"));
    QCOMPARE(cell(page, 1, 1), QStringLiteral("-1")); // marker beyond the shot
    QVERIFY(isRed(page, 1, 1));
    QCOMPARE(page.maxima(0), (QList<double>{0.5}));
    const OsziWidget* oszi = child<OsziWidget>(page, "evaluationOszi");
    QCOMPARE(oszi->verticalMarkerPosition(0), 100);
    QCOMPARE(oszi->verticalMarkerPosition(1), 200);

    child<QDoubleSpinBox>(page, "spinBoxMarkerLeft")->setValue(0);
    child<QDoubleSpinBox>(page, "spinBoxMarkerRight")->setValue(0.3);
    emit child<QDoubleSpinBox>(page, "spinBoxMarkerRight")->editingFinished();
    QCOMPARE(page.rightMarker(), 300);
    QCOMPARE(cell(page, 0, 1), QStringLiteral("0.9"));
    QCOMPARE(oszi->verticalMarkerPosition(1), 300);
    // Nothing goes back to the model.
    QCOMPARE(model.verticalMarker(3), 200);

    // Right before left: every cell is invalid and no statistics remain.
    child<QDoubleSpinBox>(page, "spinBoxMarkerLeft")->setValue(0.3);
    child<QDoubleSpinBox>(page, "spinBoxMarkerRight")->setValue(0.1);
    emit child<QDoubleSpinBox>(page, "spinBoxMarkerLeft")->editingFinished();
    QCOMPARE(cell(page, 0, 1), QStringLiteral("-1"));
    QVERIFY(isRed(page, 0, 1));
    QVERIFY(page.maxima(0).isEmpty());
    QCOMPARE(labels(page, "sensor1"), repeated(QStringLiteral("0")));
}

void TestEvaluationPages::valuesMaximumOfMinusOneIsKept()
{
    Model model;
    addShot(model, {{-3, -1, -2}});
    addShot(model, {{-5, -7, -6}});
    setMarkers(model, 0, 0, 0, 200);
    model.sensorDescription().setSensorMinimum(0, 0, -10);
    model.sensorDescription().setSensorMaximum(0, 0, 10);
    TabEvaluationValues page;
    page.setModel(&model);
    QCOMPARE(cell(page, 0, 1), QStringLiteral("-1"));
    QVERIFY(!isRed(page, 0, 1));
    QCOMPARE(page.maxima(0), (QList<double>{-1, -5}));
    QCOMPARE(page.chart(0)->values(), (QList<double>{-5, -1}));
    QCOMPARE(page.chart(0)->rangeMin(), -10.0);
    QCOMPARE(page.chart(0)->rangeMax(), 10.0);
    QCOMPARE(labels(page, "sensor1"), (QStringList{"-5", "-5", "-3", "-1", "-1"}));
}

void TestEvaluationPages::valuesUnevenShotCounts()
{
    Model model;
    const int counts[] = {4, 6, 5};
    for (int s = 0; s < 3; ++s) {
        for (int i = 0; i < counts[s]; ++i)
            addSeries(model, s, SampleList{double(i), double(10 * s + i)});
    }
    setMarkers(model, 0, 0, 0, 100);
    TabEvaluationValues page;
    page.setModel(&model);
    QCOMPARE(child<QTableWidget>(page, "tableWidget")->rowCount(), 6);
    QCOMPARE(cell(page, 3, 1), QStringLiteral("3"));
    QCOMPARE(cell(page, 4, 1), QString());
    QCOMPARE(cell(page, 5, 1), QString());
    QCOMPARE(cell(page, 5, 2), QStringLiteral("15"));
    QCOMPARE(cell(page, 5, 3), QString());
    QCOMPARE(page.maxima(0).size(), 4);
    QCOMPARE(page.maxima(1).size(), 6);
    QCOMPARE(page.maxima(2).size(), 5);
    QCOMPARE(labels(page, "sensor2"), (QStringList{"10", "11", "12.5", "14", "15"}));
}

void TestEvaluationPages::valuesRowSelectionDrawsLine()
{
    Model model;
    addShot(model, {{0.1, 0.5, 0.3, 0.9}});
    addShot(model, {{0.1}});
    setMarkers(model, 0, 0, 0, 300);
    TabEvaluationValues page;
    page.setModel(&model);
    auto* table = child<QTableWidget>(page, "tableWidget");
    const OsziWidget* oszi = child<OsziWidget>(page, "evaluationOszi");
    table->selectRow(0);
    QCOMPARE(oszi->highlightedCurve(), 0);
    QCOMPARE(oszi->horizontalLineCount(), 1);
    QCOMPARE(oszi->horizontalLineValue(0), 0.9);
    QCOMPARE(oszi->horizontalLineColor(0), model.color(0));
    table->selectRow(1);
    QCOMPARE(oszi->highlightedCurve(), 1);
    QCOMPARE(oszi->horizontalLineCount(), 0);
}

void TestEvaluationPages::maximaBelowMinus100Vanished()
{
    // Micrometres: every corrected sample far below -100.
    Model model;
    model.sensorDescription().setSensorMinimum(0, 0, -2000);
    model.sensorDescription().setSensorMaximum(0, 0, 2000);
    model.setOffset(0, -50.0);
    addShot(model, {{-250, -180, -300}});
    addShot(model, {{-400, -350, -420}});
    setMarkers(model, 0, 0, 0, 200);
    TabEvaluationValues page;
    page.setModel(&model);
    QCOMPARE(cell(page, 0, 1), QStringLiteral("-230"));
    QCOMPARE(page.maxima(0), (QList<double>{-230, -400}));
    QCOMPARE(child<QLabel>(page, "sensor1MaxLabel")->text(), QStringLiteral("-230"));
}

void TestEvaluationPages::shotNumbersStartedAtZero()
{
    Model model;
    addShot(model, {{5, 1, 5}});
    addShot(model, {{5, 1, 5}});
    TabEvaluationRuntime runtime;
    TabEvaluationValues values;
    runtime.setModel(&model);
    values.setModel(&model);
    for (const QWidget* page : {static_cast<QWidget*>(&runtime), static_cast<QWidget*>(&values)})
        QCOMPARE(cell(*page, 1, 0), QStringLiteral("2"));
}

void TestEvaluationPages::numbersCarriedGroupSeparators()
{
    // German writes 1.234,5 by default: the pages write 1234,5 like the spin boxes beside.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Model model;
    model.sensorDescription().setSensorMinimum(0, 0, -5000);
    model.sensorDescription().setSensorMaximum(0, 0, 5000);
    addShot(model, {{1234.5, 12}});
    setMarkers(model, 0, 0, 0, 100);
    TabEvaluationValues page;
    page.setModel(&model);
    const QString table = cell(page, 0, 1);
    const QString label = child<QLabel>(page, "sensor1MinLabel")->text();
    const QString axis = NumberStyle::fixed(-2000.0, 1);
    QLocale::setDefault(before);
    QCOMPARE(table, QStringLiteral("1234,5"));
    QCOMPARE(label, QStringLiteral("1234,5"));
    QCOMPARE(axis, QStringLiteral("-2000,0"));
}

void TestEvaluationPages::overlayWithoutShots()
{
    Model model;
    TabEvaluationSingleShot page;
    QCOMPARE(child<QLabel>(page, "evalClockLabel")->text(), QStringLiteral("--"));
    QCOMPARE(child<QLabel>(page, "evalLabelZoom")->text(), QStringLiteral("1"));
    page.setModel(&model);
    page.update();
    auto* box = child<QSpinBox>(page, "evalOverlaySpinBox");
    QCOMPARE(box->maximum(), 0);
    QCOMPARE(box->value(), 0);
    QCOMPARE(child<QLabel>(page, "evalNumMeasuringsLabel")->text(), QStringLiteral("0"));
    QVERIFY(!page.oszi()->isCurveEnabled(0));
}

void TestEvaluationPages::overlayShotChoiceAndShortSensor()
{
    Model model;
    addShot(model, {{1}, {2}, {3}, {4}, {5}});
    addShot(model, {{6}, {7}, {8}, {}, {10}});
    model.blockSignals(true);
    for (int s : {0, 1, 2, 4})
        model.appendSeries(s, SampleList{11.0 + s});
    model.blockSignals(false);
    emit model.dataChanged();
    setMarkers(model, 100, 200, 300, 400);
    model.setPhaseName(1, QStringLiteral("Nachdruck"));
    TabEvaluationSingleShot page;
    page.setModel(&model);
    page.update();
    QCOMPARE(child<QLabel>(page, "evalNumMeasuringsLabel")->text(), QStringLiteral("3"));
    OsziWidget* oszi = page.oszi();
    QCOMPARE(oszi->curve(0), model.measurement(0, 2));
    // Sensor 4 (index 3) has two shots: it keeps what it showed.
    QCOMPARE(oszi->curve(3), nullptr);
    child<QSpinBox>(page, "evalOverlaySpinBox")->setValue(2);
    QCOMPARE(oszi->curve(0), model.measurement(0, 1));
    QCOMPARE(oszi->curve(3), model.measurement(3, 1));
    QCOMPARE(oszi->curveColor(4), model.color(4));
    child<QSpinBox>(page, "evalOverlaySpinBox")->setValue(3);
    QCOMPARE(oszi->curve(3), model.measurement(3, 1));
    QCOMPARE(oszi->curve(4), model.measurement(4, 2));
    QCOMPARE(oszi->verticalMarkerPosition(2), 300);
    QCOMPARE(oszi->phaseName(1), QStringLiteral("Nachdruck"));
}

void TestEvaluationPages::overlayOffsetShiftsOneCurve()
{
    Model model;
    model.setOffset(0, 0.5);
    addShot(model, {{1}, {2}, {3}, {4}, {5}});
    TabEvaluationSingleShot page;
    page.setModel(&model);
    page.update();
    QCOMPARE(page.oszi()->channelOffset(0), 0.5);
    QCOMPARE(child<QDoubleSpinBox>(page, "evalOffsetSpinBox1")->value(), 0.5);
    child<QDoubleSpinBox>(page, "evalOffsetSpinBox2")->setValue(1.25);
    QCOMPARE(page.oszi()->channelOffset(1), 1.25);
    QCOMPARE(page.oszi()->channelOffset(0), 0.5);
    QCOMPARE(page.oszi()->channelOffset(2), 0.0);
    QCOMPARE(model.offset(1), 0.0);
    page.update();
    QCOMPARE(page.oszi()->channelOffset(1), 0.0);
}

void TestEvaluationPages::overlayGridFollowsPlot()
{
    TabEvaluationSingleShot page;
    emit page.oszi()->valueGridChanged(2.5);
    QCOMPARE(child<QDoubleSpinBox>(page, "evalValueGridSpinBox")->value(), 2.5);
}

void TestEvaluationPages::overlayEmptyForMicrometreSensors()
{
    Model model;
    for (int s = 0; s < Model::numSensors; ++s) {
        model.sensorDescription().setSensorMinimum(0, s, -3000);
        model.sensorDescription().setSensorMaximum(0, s, s == 4 ? 1500 : 1000);
    }
    addShot(model, {{-2500, -1200, 800}, {-20}, {-30}, {-40}, {1400}});
    TabEvaluationSingleShot page;
    page.setModel(&model);
    page.update();
    OsziWidget* oszi = page.oszi();
    QCOMPARE(oszi->valueRangeMin(), -3000.0);
    QCOMPARE(oszi->valueRangeMax(), 1500.0);
    // The boxes take values of that range, and the plot follows them.
    child<QDoubleSpinBox>(page, "evalMinSpinBox")->setValue(-2600);
    child<QDoubleSpinBox>(page, "evalMaxSpinBox")->setValue(900);
    QCOMPARE(oszi->valueRangeMin(), -2600.0);
    QCOMPARE(oszi->valueRangeMax(), 900.0);
}

void TestEvaluationPages::verdictsShownOnEveryPage_data()
{
    QTest::addColumn<int>("shot");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<int>("redSensor"); // the overlay curve drawn red, -1 for none
    QTest::newRow("OK") << 0 << "OK"
                        << "" << -1;
    QTest::newRow("NOK outside the band")
        << 1 << "NOK"
        << "Außerhalb der Referenz: Sensor 3, Nachdruck, 1200 ms, Abweichung 0.25 mm, für 8 ms"
        << 2;
    // No distance to the band where samples are missing; a phase without a name is numbered.
    QTest::newRow("NOK sensor failed") << 2 << "NOK"
                                       << "Sensor ausgefallen: Sensor 1, Phase 2, 300 ms" << 0;
    QTest::newRow("no verdict yet") << 3 << ""
                                    << "" << -1;
}

void TestEvaluationPages::verdictsShownOnEveryPage()
{
    QFETCH(int, shot);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(int, redSensor);
    Model model;
    for (int s = 0; s < Model::numSensors; ++s)
        model.sensorDescription().setSensorUnit(0, s, QStringLiteral("mm"));
    for (int i = 0; i < 4; ++i)
        addShot(model, {{1, 2, 1}, {2, 3, 2}, {3, 4, 3}, {4, 5, 4}, {5, 6, 5}});
    Verdict outside;
    outside.kind = Verdict::Kind::OutsideBand;
    outside.sensor = 2;
    outside.phase = 1;
    outside.phaseName = QStringLiteral("Nachdruck");
    outside.timeMs = 1200;
    outside.deviation = 0.25;
    outside.durationMs = 8;
    Verdict failed;
    failed.kind = Verdict::Kind::SensorFailed;
    failed.sensor = 0;
    failed.phase = 1;
    failed.timeMs = 300;
    failed.deviation = std::numeric_limits<double>::quiet_NaN();

    TabEvaluation tab;
    tab.setModel(&model);
    QSignalSpy runtimeTables(tab.runtimePage(), &TabEvaluationRuntime::tableChanged);
    QSignalSpy valuesTables(tab.valuesPage(), &TabEvaluationValues::tableChanged);
    // The shot being recorded has no verdict yet.
    tab.setVerdicts({Verdict(), outside, failed});

    const bool nok = text == QLatin1String("NOK");
    const QColor curve = nok ? QColor(Qt::red) : QColor(Qt::black);
    const std::pair<QWidget*, int> tables[] = {{tab.runtimePage(), 7}, {tab.valuesPage(), 6}};
    for (const auto& [page, column] : tables) {
        const QTableWidget* table = child<QTableWidget>(*page, "tableWidget");
        QCOMPARE(table->horizontalHeaderItem(column)->text(), QStringLiteral("Bewertung"));
        const QModelIndex index = table->model()->index(shot, column);
        QCOMPARE(index.data().toString(), text);
        QCOMPARE(index.data(Qt::ToolTipRole).toString(), toolTip);
        const QVariant foreground = index.data(Qt::ForegroundRole);
        QCOMPARE(foreground.isValid() && foreground.value<QBrush>().color() == Qt::red, nok);
        QCOMPARE(child<OsziWidget>(*page, "evaluationOszi")->curveColor(shot), curve);
    }
    // Verdicts alone leave the runtimes and maxima as they were computed.
    QCOMPARE(runtimeTables.count(), 0);
    QCOMPARE(valuesTables.count(), 0);

    child<QSpinBox>(*tab.singleShotPage(), "evalOverlaySpinBox")->setValue(shot + 1);
    const QLabel* label = child<QLabel>(*tab.singleShotPage(), "overlayVerdictLabel");
    const QString shown = label->isVisibleTo(tab.singleShotPage()) ? label->text() : QString();
    QCOMPARE(shown, nok ? text + QStringLiteral(" \u2013 ") + toolTip : text);
    for (int s = 0; s < Model::numSensors; ++s)
        QCOMPARE(tab.singleShotPage()->oszi()->curveColor(s),
                 s == redSensor ? QColor(Qt::red) : model.color(static_cast<quint8>(s)));

    QCOMPARE(child<QLabel>(*tab.dashBoard(), "dashOkCountLabel")->text(), QStringLiteral("OK: 1"));
    QCOMPARE(child<QLabel>(*tab.dashBoard(), "dashNokCountLabel")->text(),
             QStringLiteral("NOK: 2"));
}

void TestEvaluationPages::pagesDropCurvesBeforeListsAreFreed()
{
    Model model;
    addShot(model, {{1, 2}, {2}, {3}, {4}, {5}});
    TabEvaluationRuntime runtime;
    TabEvaluationValues values;
    TabEvaluationSingleShot overlay;
    runtime.setModel(&model);
    values.setModel(&model);
    overlay.setModel(&model);
    overlay.update();
    QVERIFY(child<OsziWidget>(runtime, "evaluationOszi")->curve(0));
    model.clearData();
    QCOMPARE(child<OsziWidget>(runtime, "evaluationOszi")->curve(0), nullptr);
    QCOMPARE(child<OsziWidget>(values, "evaluationOszi")->curve(0), nullptr);
    QCOMPARE(overlay.oszi()->curve(0), nullptr);
    runtime.update();
    QCOMPARE(child<QTableWidget>(runtime, "tableWidget")->rowCount(), 2);
}

void TestEvaluationPages::languageChangeKeepsNumbers()
{
    Model model;
    addShot(model, {{0.1, 0.5, 0.3, 0.9}, {1}, {2}, {3}, {4}});
    setMarkers(model, 0, 0, 0, 300);
    TabEvaluationRuntime runtime;
    TabEvaluationValues values;
    TabEvaluationSingleShot overlay;
    runtime.setModel(&model);
    values.setModel(&model);
    overlay.setModel(&model);
    overlay.update();
    const QStringList runtimeLabels = labels(runtime, "start");
    QEvent change(QEvent::LanguageChange);
    QCoreApplication::sendEvent(&runtime, &change);
    QCoreApplication::sendEvent(&values, &change);
    QCoreApplication::sendEvent(&overlay, &change);
    QCOMPARE(labels(runtime, "start"), runtimeLabels);
    QCOMPARE(labels(values, "sensor1"), repeated(QStringLiteral("0.9")));
    const QTableWidget* table = child<QTableWidget>(values, "tableWidget");
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("max Sensor 1"));
    QCOMPARE(child<QLabel>(overlay, "evalClockLabel")->text(), QStringLiteral("100 ms"));
    QCOMPARE(child<QLabel>(overlay, "evalNumMeasuringsLabel")->text(), QStringLiteral("1"));
}

void TestEvaluationPages::spcPageKeepsItsSettingsAndPicksShots()
{
    FakeDeviceSetup app(49);
    QVector<Verdict> verdicts;
    for (int i = 0; i < 10; ++i) {
        addShot(*app.model, {{1, 2, 1}, {1, 2, 1}, {1, 2, 1}, {1, 2, 1}, {1, 2, 1}});
        Verdict v;
        v.kind = Verdict::Kind::OutsideBand;
        v.deviation = 0.1 * (i % 4) + 0.05;
        verdicts.append(v);
    }
    TabEvaluation* tab = app.view->tabEvaluation();
    tab->setVerdicts(verdicts);
    app.view->setCurrentTab(View::Tabs::Evaluation);
    tab->showSpcPage();
    TabEvaluationSpc* page = tab->spcPage();

    // The page's choices go to the project through the controller.
    auto* value = page->findChild<QComboBox*>(QStringLiteral("spcValueBox"));
    value->setCurrentIndex(value->findData(QStringLiteral("deviation")));
    emit value->activated(value->currentIndex());
    QTRY_COMPARE(app.model->spcSettings().value, QStringLiteral("deviation"));
    auto* usl = page->findChild<QLineEdit*>(QStringLiteral("spcUslEdit"));
    usl->setText(QStringLiteral("0,5"));
    emit usl->editingFinished();
    QTRY_VERIFY(app.model->spcSettings().limits.value(QStringLiteral("deviation")).usl == 0.5);
    QTRY_COMPARE(page->result().n, 10);
    QVERIFY(page->result().cpk.has_value());
    QVERIFY(!page->result().cp.has_value());

    // A picked point shows its shot on the oscilloscope.
    ControlChart* chart = page->individualsChart();
    QTest::mouseClick(chart, Qt::LeftButton, {}, chart->pointPosition(3).toPoint());
    QCOMPARE(app.view->tabOszi()->findChild<QSpinBox*>(QStringLiteral("highlightSpinBox"))->value(),
             4);

    // The oscilloscope's cursors offer their quantities as values.
    QCOMPARE(value->findData(QStringLiteral("cursor:0:1")), -1);
    app.view->tabOszi()->findChild<QAbstractButton*>(QStringLiteral("cursorButton"))->click();
    QVERIFY(app.view->tabOszi()->cursors().has_value());
    app.view->tabOszi()->findChild<QDoubleSpinBox*>(QStringLiteral("cursorASpinBox"))->setValue(50);
    app.view->tabOszi()
        ->findChild<QDoubleSpinBox*>(QStringLiteral("cursorBSpinBox"))
        ->setValue(150);
    const int cursorValue = value->findData(QStringLiteral("cursor:0:1"));
    QVERIFY(cursorValue >= 0);
    value->setCurrentIndex(cursorValue);
    emit value->activated(cursorValue);
    QTRY_COMPARE(app.model->spcSettings().value, QStringLiteral("cursor:0:1"));
    QTRY_COMPARE(page->result().n, 10);
}

VENTARO_TEST_MAIN(TestEvaluationPages)
#include "test_evaluation_pages.moc"
