#include "app/Constants.h"
#include "control/FileJob.h"
#include "model/Model.h"
#include "model/RecordingGap.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TestMain.h"
#include "view/TabOszilloscope.h"
#include "widgets/OsziWidget.h"
#include "widgets/flat/FlatScrollBar.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

namespace {

template <typename T>
T* child(const QWidget& parent, const QString& name)
{
    T* widget = parent.findChild<T*>(name);
    if (!widget)
        qFatal("no child %s", qPrintable(name));
    return widget;
}

OsziWidget* plot(const TabOszilloscope& tab, int n)
{
    return child<OsziWidget>(tab, QStringLiteral("osziWidget%1").arg(n));
}

void addShots(Model& model, int shots, int samples)
{
    for (int s = 0; s < shots; ++s) {
        model.blockSignals(true);
        model.addMeasurement();
        const int index = model.numChannels(0) - 1;
        for (int k = 0; k < Model::numSensors; ++k) {
            for (int i = 0; i < samples; ++i)
                model.measurement(k, index)->append(k * 10 + (i % 50) + s);
        }
        model.blockSignals(false);
    }
    emit model.dataChanged();
}

void setMarkers(Model& model, int a, int b, int c, int d)
{
    ProjectData data = model.projectData();
    data.markers = {a, b, c, d};
    model.setProjectData(data);
}

QList<int> enabledSlots(const OsziWidget& w, int upTo)
{
    QList<int> found;
    for (int i = 0; i < upTo; ++i) {
        if (w.isCurveEnabled(i))
            found.append(i);
    }
    return found;
}

} // namespace

class TestTabOszilloscope : public QObject
{
    Q_OBJECT

private slots:
    void constructionState();
    void withoutModelOnlyLogs();
    void noShots();
    void modelHandedOverWithDataIsShown();
    void threeShotsOnUnevenLists();
    void markerDisplay_data();
    void markerDisplay();
    void markerEntry_data();
    void markerEntry();
    void displayedShots_data();
    void displayedShots();
    void allShotsButton();
    void clockLabel_data();
    void clockLabel();
    void currentSensorRange();
    void maximumSensorRangeOnlyNarrows();
    void projectChangeUpdatesWidgetsWithoutEchoes();
    void alignmentOnAndOff();
    void alignmentSurvivesNewShot();
    void highlightAndDelete();
    void rangeBoxesWriteViewData();
    void lockAndViewData();
    void appendedSamplesOnlyRepaint();
    void startOfShot();
    void scrollBarFollowsNewData();
    void openWhileShownAndPainting();
    void openedProjectShowsItsClock();
    void gapMarkedBesideHighlightedShot_data();
    void gapMarkedBesideHighlightedShot();
    void rangeBoxesShowTheAxisEndsInUse();
    void boxesTakeTheSensorsUnitAndRange();
    void emptyDeleteFieldAsksForNothing();
    void togglesShowTheirState();
    void timeGridBoxShowsTheStepInUse();
};

void TestTabOszilloscope::constructionState()
{
    TabOszilloscope tab;
    QCOMPARE(child<QLabel>(tab, "clockLabel")->text(), QStringLiteral("--"));
    QCOMPARE(child<QLabel>(tab, "numMeasuringsLabel")->text(), QStringLiteral("0"));
    QVERIFY(child<QPushButton>(tab, "checkBoxAllMeasurings")->isChecked());
    QVERIFY(!child<QLineEdit>(tab, "displayedMeasLineEdit")->isEnabled());
    QVERIFY(child<QPushButton>(tab, "checkBoxYCorrection")->isHidden());
    QVERIFY(!child<QSpinBox>(tab, "spinBoxYCorrection")->isEnabled());
    QCOMPARE(child<QSpinBox>(tab, "spinBoxYCorrection")->value(), 2);
    QVERIFY(!child<QSpinBox>(tab, "clockGridSpinBox")->isEnabled());
    QVERIFY(!child<QPushButton>(tab, "checkBoxMarkerAbsolute")->isChecked());
    QVERIFY(child<QPushButton>(tab, "checkBoxMarkerAbsolute")
                ->styleSheet()
                .contains(QStringLiteral("#555555")));
    QVERIFY(!child<FlatScrollBar>(tab, "scrollBarOszi")->isEnabled());
    QCOMPARE(child<QDoubleSpinBox>(tab, "sliderTimeZoom")->value(), 1.0);
    for (int i = 1; i <= 4; ++i) {
        auto* box = child<QDoubleSpinBox>(tab, QStringLiteral("markerSpinBox%1").arg(i));
        QCOMPARE(box->value(), -1.0);
        QCOMPARE(box->maximum(), 999999.0);
        QVERIFY(!box->keyboardTracking());
    }
    const QList<QColor> highlight = {colorDarkRed, colorDarkGreen, colorDarkBlue, colorDarkOrange,
                                     colorDarkCyan};
    for (int n = 1; n <= 5; ++n) {
        OsziWidget* w = plot(tab, n);
        QCOMPARE(w->isHidden(), n > 2);
        QCOMPARE(child<QWidget>(tab, QStringLiteral("osziParamsWidget%1").arg(n))->isHidden(),
                 n > 2);
        QCOMPARE(child<QPushButton>(tab, QStringLiteral("sensor%1CheckBox").arg(n))->isChecked(),
                 n <= 2);
        QCOMPARE(w->valueRangeMin(), -100000.0);
        QCOMPARE(w->valueRangeMax(), 100000.0);
        QCOMPARE(w->highlightPenColor(), highlight.at(n - 1));
        QCOMPARE(w->verticalMarkerCount(), 4);
        QCOMPARE(w->verticalMarkerColor(3), qColorPrimary);
        QCOMPARE(w->verticalMarkerPosition(3), 0);
    }
    child<QPushButton>(tab, "checkBoxClockGridAuto")->click();
    QVERIFY(child<QSpinBox>(tab, "clockGridSpinBox")->isEnabled());
    QVERIFY(!plot(tab, 3)->isClockGridAuto());
    child<QSpinBox>(tab, "clockGridSpinBox")->setValue(250);
    QCOMPARE(plot(tab, 5)->currentClockGrid(), 250);
    // A sensor button shows or hides its plot and panel.
    child<QPushButton>(tab, "sensor4CheckBox")->click();
    QVERIFY(!plot(tab, 4)->isHidden());
    QVERIFY(!child<QWidget>(tab, "osziParamsWidget4")->isHidden());
}

void TestTabOszilloscope::withoutModelOnlyLogs()
{
    TabOszilloscope tab;
    LogCapture log;
    tab.setModel(nullptr);
    QVERIFY(log.contains(QStringLiteral("model is NULL !!!")));
    tab.update();
    QVERIFY(log.contains(QStringLiteral(" ERROR: model==nullptr!")));
    QMetaObject::invokeMethod(&tab, "onModel_dataChanged");
    QCOMPARE(log.count(QStringLiteral("model is NULL !!!")), 2);
    // Slots that serve several widgets ignore an unknown sender.
    QMetaObject::invokeMethod(&tab, "onMarkerChanged", Q_ARG(double, 1.0));
    QVERIFY(log.contains(QStringLiteral("SpinBox unknown!!!")));
    QMetaObject::invokeMethod(&tab, "onSpinBoxMaxValueChanged", Q_ARG(double, 1.0));
    QVERIFY(log.contains(QStringLiteral(" wrong sensor index!")));
}

void TestTabOszilloscope::modelHandedOverWithDataIsShown()
{
    Model model;
    addShots(model, 2, 10);
    model.setOffset(1, 3.5);
    TabOszilloscope tab;
    tab.setModel(&model);
    QCOMPARE(plot(tab, 2)->curve(1), model.measurement(1, 1));
    QCOMPARE(plot(tab, 2)->highlightedCurve(), 1);
    QCOMPARE(child<QDoubleSpinBox>(tab, "offsetSpinBox2")->value(), 3.5);
    QCOMPARE(child<QLabel>(tab, "numMeasuringsLabel")->text(), QStringLiteral("2"));
}

void TestTabOszilloscope::noShots()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    emit model.dataChanged();
    QCOMPARE(child<QLabel>(tab, "numMeasuringsLabel")->text(), QStringLiteral("0"));
    QCOMPARE(child<QSpinBox>(tab, "highlightSpinBox")->value(), 0);
    QVERIFY(!child<QLineEdit>(tab, "measToDeleteLineEdit")->isEnabled());
    QVERIFY(!child<QPushButton>(tab, "buttonDeleteMeasurement")->isEnabled());
    QVERIFY(!child<FlatScrollBar>(tab, "scrollBarOszi")->isEnabled());
}

void TestTabOszilloscope::threeShotsOnUnevenLists()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    addShots(model, 3, 10);
    // After a load the lists may differ: sensor 2 gets a fourth shot of its own.
    model.measurement(2, model.appendSeries(2))->append(1.0);
    emit model.dataChanged();
    QCOMPARE(child<QLabel>(tab, "numMeasuringsLabel")->text(), QStringLiteral("3"));
    QCOMPARE(child<QSpinBox>(tab, "highlightSpinBox")->maximum(), 3);
    QCOMPARE(child<QSpinBox>(tab, "highlightSpinBox")->value(), 3);
    QVERIFY(child<QLineEdit>(tab, "measToDeleteLineEdit")->isEnabled());
    QVERIFY(child<QPushButton>(tab, "buttonDeleteMeasurement")->isEnabled());
    for (int n = 1; n <= 5; ++n) {
        QCOMPARE(plot(tab, n)->highlightedCurve(), n == 3 ? 3 : 2);
        QCOMPARE(plot(tab, n)->curve(1), model.measurement(n - 1, 1));
        QCOMPARE(plot(tab, n)->curveColor(1), QColor(Qt::black));
    }
    QCOMPARE(plot(tab, 3)->curve(3), model.measurement(2, 3));
    QCOMPARE(plot(tab, 1)->curve(3), nullptr);
}

void TestTabOszilloscope::markerDisplay_data()
{
    QTest::addColumn<bool>("absolute");
    QTest::addColumn<QList<double>>("shown");
    QTest::addColumn<QString>("label");
    QTest::newRow("relative") << false << QList<double>{1.0, 1.5, 1.5, 5.0}
                              << QStringLiteral("\u0394t[s]=");
    QTest::newRow("absolute") << true << QList<double>{1.0, 2.5, 4.0, 9.0}
                              << QStringLiteral("t[s]=");
}

void TestTabOszilloscope::markerDisplay()
{
    QFETCH(bool, absolute);
    QFETCH(QList<double>, shown);
    QFETCH(QString, label);
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    setMarkers(model, 1000, 2500, 4000, 9000);
    QSignalSpy absSpy(&tab, &TabOszilloscope::markerChangedAbsolute);
    QSignalSpy relSpy(&tab, &TabOszilloscope::markerChangedRelative);
    tab.setCheckBoxMarkerAbsolute(absolute);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(child<QDoubleSpinBox>(tab, QStringLiteral("markerSpinBox%1").arg(i + 1))->value(),
                 shown.at(i));
    QCOMPARE(child<QLabel>(tab, "labelMarkerAbsolute")->text(), label);
    QCOMPARE(child<QPushButton>(tab, "checkBoxMarkerAbsolute")->isChecked(), absolute);
    QVERIFY(child<QPushButton>(tab, "checkBoxMarkerAbsolute")
                ->styleSheet()
                .contains(absolute ? colorPrimary : colorGray555));
    // Shown values are programmatic: they do not come back as entries.
    QCOMPARE(absSpy.count() + relSpy.count(), 0);
    // The plots take the markers in milliseconds.
    QCOMPARE(plot(tab, 2)->verticalMarkerPosition(1), 2500);
}

void TestTabOszilloscope::markerEntry_data()
{
    QTest::addColumn<bool>("absolute");
    QTest::addColumn<double>("entry");
    QTest::addColumn<int>("ms");
    QTest::newRow("absolute 2.35") << true << 2.35 << 2350;
    QTest::newRow("relative 2.35") << false << 2.35 << 2350;
    QTest::newRow("absolute 0.01") << true << 0.01 << 10;
    QTest::newRow("relative 999999") << false << 999999.0 << 999999000;
}

void TestTabOszilloscope::markerEntry()
{
    QFETCH(bool, absolute);
    QFETCH(double, entry);
    QFETCH(int, ms);
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    QSignalSpy modeSpy(&tab, &TabOszilloscope::checkBoxMarkerAbsClicked);
    if (absolute) {
        child<QPushButton>(tab, "checkBoxMarkerAbsolute")->click();
        QCOMPARE(modeSpy.count(), 1);
        QCOMPARE(modeSpy.at(0).at(0).toBool(), true);
    }
    QSignalSpy absSpy(&tab, &TabOszilloscope::markerChangedAbsolute);
    QSignalSpy relSpy(&tab, &TabOszilloscope::markerChangedRelative);
    child<QDoubleSpinBox>(tab, "markerSpinBox3")->setValue(entry);
    QSignalSpy& hit = absolute ? absSpy : relSpy;
    QCOMPARE(hit.count(), 1);
    QCOMPARE(hit.at(0).at(0).toInt(), 2);
    QCOMPARE(hit.at(0).at(1).toInt(), ms);
    QCOMPARE((absolute ? relSpy : absSpy).count(), 0);
}

void TestTabOszilloscope::displayedShots_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("list and range") << "1,3-5, 8" << QList<int>{0, 2, 3, 4, 7};
    QTest::newRow("empty") << "" << QList<int>{};
    QTest::newRow("leading dash") << "-4" << QList<int>{3};
    QTest::newRow("three pieces") << "2-3-4" << QList<int>{};
    QTest::newRow("falling range") << "5-3" << QList<int>{};
    QTest::newRow("not numbers") << "x, 0, 10001" << QList<int>{};
    QTest::newRow("blanks in a range") << " 2 - 3 ,,9" << QList<int>{1, 2, 8};
    QTest::newRow("huge range") << "9-2000000000" << QList<int>{8, 9};
}

void TestTabOszilloscope::displayedShots()
{
    QFETCH(QString, entry);
    QFETCH(QList<int>, expected);
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    addShots(model, 10, 5);
    child<QPushButton>(tab, "checkBoxAllMeasurings")->click();
    auto* edit = child<QLineEdit>(tab, "displayedMeasLineEdit");
    edit->setText(entry);
    emit edit->editingFinished();
    for (int n = 1; n <= 5; ++n)
        QCOMPARE(enabledSlots(*plot(tab, n), 10), expected);
    if (!expected.isEmpty())
        QCOMPARE(plot(tab, 1)->isCurveEnabled(9999), entry.contains(QStringLiteral("2000000000")));
}

void TestTabOszilloscope::allShotsButton()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    addShots(model, 4, 5);
    auto* all = child<QPushButton>(tab, "checkBoxAllMeasurings");
    auto* edit = child<QLineEdit>(tab, "displayedMeasLineEdit");
    edit->setText(QStringLiteral("2"));
    all->click();
    QVERIFY(edit->isEnabled());
    QVERIFY(edit->text().isEmpty());
    QCOMPARE(enabledSlots(*plot(tab, 2), 4), QList<int>{});
    edit->setText(QStringLiteral("2"));
    emit edit->editingFinished();
    QCOMPARE(enabledSlots(*plot(tab, 2), 4), QList<int>{1});
    all->click();
    QVERIFY(!edit->isEnabled());
    QCOMPARE(enabledSlots(*plot(tab, 2), 4), (QList<int>{0, 1, 2, 3}));
}

void TestTabOszilloscope::clockLabel_data()
{
    QTest::addColumn<int>("clock");
    QTest::addColumn<int>("grid");
    QTest::addColumn<QString>("text");
    QTest::newRow("1500 ms") << 1500 << 150000 << "1s";
    QTest::newRow("100 ms") << 100 << 10000 << "100ms";
    QTest::newRow("1000 ms") << 1000 << 100000 << "1000ms";
}

void TestTabOszilloscope::clockLabel()
{
    QFETCH(int, clock);
    QFETCH(int, grid);
    QFETCH(QString, text);
    TabOszilloscope tab;
    tab.setClock(clock, grid);
    QCOMPARE(child<QLabel>(tab, "clockLabel")->text(), text);
    for (int n = 1; n <= 5; ++n) {
        QCOMPARE(plot(tab, n)->clockPeriod(), clock);
        QCOMPARE(plot(tab, n)->currentClockGrid(), grid);
    }
}

void TestTabOszilloscope::currentSensorRange()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    plot(tab, 1)->setValueRange(0, 10);
    tab.setCurrentSensorRange(0, 0, 20, 30);
    // The new minimum is checked against the old maximum first and refused; the boxes show
    // the axis the plot draws, not the refused end.
    QCOMPARE(plot(tab, 1)->valueRangeMin(), 0.0);
    QCOMPARE(plot(tab, 1)->valueRangeMax(), 30.0);
    QCOMPARE(child<QDoubleSpinBox>(tab, "minSpinBox1")->value(), 0.0);
    QCOMPARE(child<QDoubleSpinBox>(tab, "maxSpinBox1")->value(), 30.0);
    // Set with the boxes' signals blocked: nothing reaches the view data.
    QCOMPARE(model.viewData().osziMaxValues[0], 0.0);
    tab.setCurrentSensorRange(1, 0, -5, 5);
    tab.setCurrentSensorRange(0, 5, -5, 5);
    QCOMPARE(plot(tab, 1)->valueRangeMax(), 30.0);
}

void TestTabOszilloscope::maximumSensorRangeOnlyNarrows()
{
    TabOszilloscope tab;
    auto* minBox = child<QDoubleSpinBox>(tab, "minSpinBox2");
    auto* maxBox = child<QDoubleSpinBox>(tab, "maxSpinBox2");
    QSignalSpy minSpy(minBox, qOverload<double>(&QDoubleSpinBox::valueChanged));
    tab.setMaximumSensorRange(0, 1, 0, 12);
    QCOMPARE(plot(tab, 2)->valueRangeMin(), 0.0);
    QCOMPARE(plot(tab, 2)->valueRangeMax(), 12.0);
    QCOMPARE(minBox->value(), 0.0);
    QCOMPARE(minBox->minimum(), -12.0);
    QCOMPARE(minBox->maximum(), 24.0);
    QCOMPARE(maxBox->value(), 12.0);
    QCOMPARE(maxBox->maximum(), 24.0);
    QCOMPARE(minSpy.count(), 0);
    // A wider range later does not widen the boxes again.
    tab.setMaximumSensorRange(0, 1, -1000, 1000);
    QCOMPARE(minBox->minimum(), -12.0);
    QCOMPARE(maxBox->maximum(), 24.0);
    QCOMPARE(plot(tab, 2)->valueRangeMax(), 12.0);
    // Other plots are untouched.
    QCOMPARE(plot(tab, 1)->valueRangeMax(), 100000.0);
}

void TestTabOszilloscope::projectChangeUpdatesWidgetsWithoutEchoes()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    auto* offset = child<QDoubleSpinBox>(tab, "offsetSpinBox3");
    QSignalSpy offsetSpy(offset, qOverload<double>(&QDoubleSpinBox::valueChanged));
    model.setOffset(2, 1.25);
    QCOMPARE(offset->value(), 1.25);
    QCOMPARE(offsetSpy.count(), 0);
    QCOMPARE(plot(tab, 3)->globalOffset(), 1.25);
    model.setPhaseName(1, QStringLiteral("Spritzen"));
    QCOMPARE(child<QPushButton>(tab, "buttonMarker2")->text(), QStringLiteral("Spritzen"));
    QCOMPARE(plot(tab, 5)->phaseName(1), QStringLiteral("Spritzen"));
    model.setClock(10);
    QCOMPARE(plot(tab, 1)->clockPeriod(), 10);
    QCOMPARE(plot(tab, 1)->currentClockGrid(), 1000);
    model.sensorDescription().setSensorName(0, 0, QStringLiteral("Schieber"));
    model.sensorDescription().setSensorMaximum(0, 0, 12);
    model.sensorDescription().setSensorMinimum(0, 0, 0);
    emit model.projectChanged();
    QCOMPARE(child<QLabel>(tab, "sensor1Label")->text(), QStringLiteral("Sensor 1: Schieber"));
    QCOMPARE(plot(tab, 1)->valueRangeMax(), 12.0);
}

void TestTabOszilloscope::alignmentOnAndOff()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    model.setClock(10);
    addShots(model, 3, 100);
    setMarkers(model, 100, 300, 600, 900);
    child<QDoubleSpinBox>(tab, "offsetSpinBox1")->setValue(4.5);
    QCOMPARE(plot(tab, 1)->globalOffset(), 4.5);

    auto* marker2 = child<QPushButton>(tab, "buttonMarker2");
    marker2->click();
    QVERIFY(marker2->isChecked());
    QVERIFY(child<QSpinBox>(tab, "spinBoxYCorrection")->isEnabled());
    for (int n = 1; n <= 5; ++n) {
        OsziWidget* w = plot(tab, n);
        QCOMPARE(w->globalOffset(), 0.0);
        for (int shot = 0; shot < 3; ++shot)
            QCOMPARE(w->channelOffset(shot), -model.measurement(n - 1, shot)->at(30));
        QVERIFY(!child<QDoubleSpinBox>(tab, QStringLiteral("offsetSpinBox%1").arg(n))->isEnabled());
    }
    // Another marker button takes over.
    child<QPushButton>(tab, "buttonMarker4")->click();
    QVERIFY(!marker2->isChecked());
    QCOMPARE(plot(tab, 2)->channelOffset(1), -model.measurement(1, 1)->at(90));

    child<QPushButton>(tab, "buttonMarker4")->click();
    QVERIFY(!child<QSpinBox>(tab, "spinBoxYCorrection")->isEnabled());
    for (int n = 1; n <= 5; ++n) {
        QCOMPARE(plot(tab, n)->channelOffset(1), 0.0);
        QVERIFY(child<QDoubleSpinBox>(tab, QStringLiteral("offsetSpinBox%1").arg(n))->isEnabled());
    }
    QCOMPARE(plot(tab, 1)->globalOffset(), 4.5);
}

void TestTabOszilloscope::alignmentSurvivesNewShot()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    model.setClock(10);
    addShots(model, 2, 100);
    setMarkers(model, 200, 300, 600, 900);
    child<QPushButton>(tab, "buttonMarker1")->click();
    addShots(model, 1, 100);
    // The refill after a new shot keeps the alignment that the button still shows.
    for (int shot = 0; shot < 3; ++shot)
        QCOMPARE(plot(tab, 1)->channelOffset(shot), -model.measurement(0, shot)->at(20));
    QCOMPARE(plot(tab, 1)->globalOffset(), 0.0);
}

void TestTabOszilloscope::highlightAndDelete()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    addShots(model, 5, 10);
    auto* highlight = child<QSpinBox>(tab, "highlightSpinBox");
    highlight->setValue(2);
    for (int n = 1; n <= 5; ++n)
        QCOMPARE(plot(tab, n)->highlightedCurve(), 1);
    highlight->setValue(0);
    QCOMPARE(plot(tab, 4)->highlightedCurve(), -1);

    QSignalSpy spy(&tab, &TabOszilloscope::deleteMeasurements);
    child<QLineEdit>(tab, "measToDeleteLineEdit")->setText(QStringLiteral(" 4, ,6-x"));
    child<QPushButton>(tab, "buttonDeleteMeasurement")->click();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral(" 4, ,6-x"));
}

void TestTabOszilloscope::rangeBoxesWriteViewData()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    QSignalSpy viewSpy(&model, &Model::viewDataChanged);
    QSignalSpy projectSpy(&model, &Model::projectChanged);
    child<QDoubleSpinBox>(tab, "maxSpinBox4")->setValue(55);
    child<QDoubleSpinBox>(tab, "minSpinBox4")->setValue(-5);
    QCOMPARE(model.viewData().osziMaxValues[3], 55.0);
    QCOMPARE(model.viewData().osziMinValues[3], -5.0);
    QCOMPARE(plot(tab, 4)->valueRangeMax(), 55.0);
    QCOMPARE(plot(tab, 4)->valueRangeMin(), -5.0);
    QCOMPARE(viewSpy.count() + projectSpy.count(), 0);
}

void TestTabOszilloscope::lockAndViewData()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    ViewData data;
    data.checkBoxMarkerAbsolute = true;
    data.osziMinValues = {-1, -2, -3, -4, -5};
    data.osziMaxValues = {1, 2, 3, 4, 5};
    tab.setViewData(data, true);
    QVERIFY(child<QPushButton>(tab, "checkBoxMarkerAbsolute")->isChecked());
    QCOMPARE(plot(tab, 5)->valueRangeMin(), -5.0);
    QCOMPARE(plot(tab, 5)->valueRangeMax(), 5.0);
    QCOMPARE(child<QDoubleSpinBox>(tab, "maxSpinBox3")->value(), 3.0);
    for (int n = 1; n <= 5; ++n)
        QVERIFY(!child<QWidget>(tab, QStringLiteral("osziParamsWidget%1").arg(n))->isEnabled());
    QVERIFY(tab.lockButton()->styleSheet().contains(colorPrimary));
    QVERIFY(!tab.lockButton()->icon().isNull());
    tab.setLocked(false);
    QVERIFY(child<QWidget>(tab, "osziParamsWidget1")->isEnabled());
    QVERIFY(tab.lockButton()->styleSheet().contains(colorGray555));
    // What the main window reaches.
    QCOMPARE(tab.offsetSpinBoxIndex(child<QDoubleSpinBox>(tab, "offsetSpinBox4")), 3);
    QCOMPARE(tab.offsetSpinBoxIndex(&tab), -1);
    QCOMPARE(tab.offsetSpinBox(4), child<QDoubleSpinBox>(tab, "offsetSpinBox5"));
    QCOMPARE(tab.clearMarkersButton(), child<QPushButton>(tab, "buttonClearMarkers"));
    QCOMPARE(tab.osziWidget(0), plot(tab, 1));
    QCOMPARE(tab.osziWidget(5), nullptr);
}

void TestTabOszilloscope::appendedSamplesOnlyRepaint()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    addShots(model, 3, 10);
    // The user highlights another shot during the recording; appended lines keep it.
    child<QSpinBox>(tab, "highlightSpinBox")->setValue(1);
    model.blockSignals(true);
    for (int k = 0; k < Model::numSensors; ++k)
        model.measurement(k, 2)->append(99.0);
    model.blockSignals(false);
    emit model.dataChanged();
    QCOMPARE(plot(tab, 1)->highlightedCurve(), 0);
    QCOMPARE(child<QSpinBox>(tab, "highlightSpinBox")->value(), 1);
    QCOMPARE(plot(tab, 1)->lastSampleIndex(), 10);
    // A new shot refills and highlights the last shot again.
    model.addMeasurement();
    QCOMPARE(plot(tab, 1)->highlightedCurve(), 3);
    QCOMPARE(plot(tab, 1)->curve(3), model.measurement(0, 3));
    // So does a deletion.
    model.deleteChannel(0);
    QCOMPARE(plot(tab, 1)->highlightedCurve(), 2);
    QCOMPARE(plot(tab, 1)->curve(3), nullptr);
    QCOMPARE(plot(tab, 1)->curve(0), model.measurement(0, 0));
}

void TestTabOszilloscope::startOfShot()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    addShots(model, 2, 10);
    plot(tab, 2)->setCurve(0, model.measurement(1, 0), Qt::blue);
    QSignalSpy highlightSpy(child<QSpinBox>(tab, "highlightSpinBox"),
                            qOverload<int>(&QSpinBox::valueChanged));
    model.blockSignals(true);
    model.addMeasurement();
    model.blockSignals(false);
    tab.startShot({2, 2, 2, 2, 2});
    QCOMPARE(child<QLabel>(tab, "numMeasuringsLabel")->text(), QStringLiteral("3"));
    QCOMPARE(child<QSpinBox>(tab, "highlightSpinBox")->maximum(), 3);
    QCOMPARE(child<QSpinBox>(tab, "highlightSpinBox")->value(), 3);
    QCOMPARE(highlightSpy.count(), 0);
    for (int n = 1; n <= 5; ++n) {
        QCOMPARE(plot(tab, n)->curve(2), model.measurement(n - 1, 2));
        QVERIFY(plot(tab, n)->isCurveEnabled(2));
        QCOMPARE(plot(tab, n)->highlightedCurve(), 2);
    }
    // Colours stay.
    QCOMPARE(plot(tab, 2)->curveColor(0), QColor(Qt::blue));
}

void TestTabOszilloscope::scrollBarFollowsNewData()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    tab.resize(1200, 700);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    addShots(model, 1, 100);
    auto* bar = child<FlatScrollBar>(tab, "scrollBarOszi");
    QVERIFY(!bar->isEnabled());
    const int visible = plot(tab, 1)->contentsRect().width() - 70;
    model.blockSignals(true);
    for (int i = 0; i < visible + 500; ++i)
        model.measurement(0, 0)->append(i % 10);
    model.blockSignals(false);
    emit model.dataChanged();
    QTRY_VERIFY(bar->isEnabled());
    QCOMPARE(bar->maximum(), model.measurement(0, 0)->size() - 1 - visible);
    QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(plot(tab, 1)->firstSampleIndex(), bar->maximum());
    // A view scrolled away from the end stays where it is.
    bar->setValue(10);
    model.measurement(0, 0)->append(1.0);
    emit model.dataChanged();
    QTRY_COMPARE(bar->maximum(), model.measurement(0, 0)->size() - 1 - visible);
    QCOMPARE(bar->value(), 10);
    // The zoom shrinks the visible count.
    child<QDoubleSpinBox>(tab, "sliderTimeZoom")->setValue(2);
    QCOMPARE(plot(tab, 1)->zoomFactor(), 2);
    QCOMPARE(bar->maximum(), model.measurement(0, 0)->size() - 1 - visible / 2);
}

// Opening a project frees every sample list while the load lets the event loop run; the
// shown plots must not paint from the freed lists meanwhile (the sanitizer build turns such
// a read into a failure).
void TestTabOszilloscope::openWhileShownAndPainting()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("large.mvx"));
    {
        Model source;
        addShots(source, 150, 2000);
        QVERIFY(source.save(path));
    }

    Model model;
    // As the controller runs it: on a worker while the event loop goes on.
    model.setFileWorkRunner(&FileJob::runOnWorker);
    TabOszilloscope tab;
    tab.setModel(&model);
    tab.resize(1400, 800);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    addShots(model, 40, 3000);
    const SampleList* before = model.measurement(0, 0);
    QCOMPARE(plot(tab, 1)->curve(0), before);

    bool loading = false;
    int paintsDuringLoad = 0;
    QTimer painter;
    painter.setInterval(0);
    connect(&painter, &QTimer::timeout, &tab, [&] {
        if (!loading)
            return;
        // Scrolling invalidates the cached picture, so every curve is read again.
        for (int n = 1; n <= 5; ++n) {
            plot(tab, n)->setStartIndex(paintsDuringLoad % 7);
            plot(tab, n)->repaint();
        }
        ++paintsDuringLoad;
    });
    painter.start();
    loading = true;
    QVERIFY(model.open(path));
    loading = false;
    painter.stop();
    QVERIFY2(paintsDuringLoad > 0, "the load did not let the plots paint");
    QCOMPARE(model.numChannels(0), 150);
    for (int n = 1; n <= 5; ++n) {
        QCOMPARE(plot(tab, n)->curve(149), model.measurement(n - 1, 149));
        QCOMPARE(plot(tab, n)->curve(150), nullptr);
        plot(tab, n)->repaint();
    }
}

void TestTabOszilloscope::openedProjectShowsItsClock()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    // A project opened without a device: only the model knows the clock.
    model.setClock(50);
    QCOMPARE(child<QLabel>(tab, "clockLabel")->text(), QStringLiteral("50ms"));
}

void TestTabOszilloscope::rangeBoxesShowTheAxisEndsInUse()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    // A new project's view data hold 0 to 0 for every sensor; a device describes 0 to 12000.
    tab.setViewData(model.viewData(), false);
    model.sensorDescription().setSensorMaximum(0, 0, 12000);
    model.sensorDescription().setSensorMinimum(0, 0, 0);
    emit model.projectChanged();
    QCOMPARE(plot(tab, 1)->valueRangeMin(), 0.0);
    QCOMPARE(plot(tab, 1)->valueRangeMax(), 12000.0);
    QCOMPARE(child<QDoubleSpinBox>(tab, "minSpinBox1")->value(), 0.0);
    QCOMPARE(child<QDoubleSpinBox>(tab, "maxSpinBox1")->value(), 12000.0);
    // A plot far outside the sensor's range is brought to it, boxes and all.
    plot(tab, 2)->setValueRange(50000, 90000);
    tab.setMaximumSensorRange(0, 1, 0, 12);
    QCOMPARE(plot(tab, 2)->valueRangeMin(), 0.0);
    QCOMPARE(plot(tab, 2)->valueRangeMax(), 12.0);
    QCOMPARE(child<QDoubleSpinBox>(tab, "maxSpinBox2")->value(), 12.0);
}

void TestTabOszilloscope::boxesTakeTheSensorsUnitAndRange()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    model.sensorDescription().setSensorUnit(0, 2, QStringLiteral("\u00B5m"));
    model.sensorDescription().setSensorMinimum(0, 2, 0);
    model.sensorDescription().setSensorMaximum(0, 2, 12000);
    emit model.projectChanged();
    auto* offset = child<QDoubleSpinBox>(tab, "offsetSpinBox3");
    QCOMPARE(offset->decimals(), 0);
    QCOMPARE(offset->minimum(), -12000.0);
    // Calibrated micrometre offsets are shown as they are.
    model.setOffset(2, -9304);
    QCOMPARE(offset->text(), QStringLiteral("-9304"));
    QCOMPARE(child<QDoubleSpinBox>(tab, "maxSpinBox3")->decimals(), 0);
    // Without a unit the form's three decimals stay.
    QCOMPARE(child<QDoubleSpinBox>(tab, "offsetSpinBox1")->decimals(), 3);
}

void TestTabOszilloscope::emptyDeleteFieldAsksForNothing()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    addShots(model, 3, 10);
    QSignalSpy spy(&tab, &TabOszilloscope::deleteMeasurements);
    auto* field = child<QLineEdit>(tab, "measToDeleteLineEdit");
    // The grey example is no entry.
    QVERIFY(!field->placeholderText().isEmpty());
    child<QPushButton>(tab, "buttonDeleteMeasurement")->click();
    field->setText(QStringLiteral("  "));
    child<QPushButton>(tab, "buttonDeleteMeasurement")->click();
    QCOMPARE(spy.count(), 0);
    field->setText(QStringLiteral("2"));
    child<QPushButton>(tab, "buttonDeleteMeasurement")->click();
    QCOMPARE(spy.count(), 1);
}

void TestTabOszilloscope::togglesShowTheirState()
{
    TabOszilloscope tab;
    tab.resize(1600, 900);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    // The inside of a button, clear of its border and its text.
    const auto fill = [](QPushButton* button) {
        const QImage image = button->grab().toImage();
        return image.pixelColor(image.width() / 2, 5);
    };
    for (const char* name : {"sensor1CheckBox", "checkBoxAllMeasurings"}) {
        auto* button = child<QPushButton>(tab, QLatin1String(name));
        QVERIFY(button->isChecked());
        const QColor checked = fill(button);
        button->click();
        QVERIFY(!button->isChecked());
        const QColor unchecked = fill(button);
        QVERIFY2(qAbs(checked.lightness() - unchecked.lightness()) > 80,
                 qPrintable(checked.name() + QLatin1Char(' ') + unchecked.name()));
        button->click();
        QCOMPARE(fill(button), checked);
    }
    QCOMPARE(fill(child<QPushButton>(tab, "sensor1CheckBox")), qColorPrimary);
}

void TestTabOszilloscope::timeGridBoxShowsTheStepInUse()
{
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    tab.resize(1600, 900);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    auto* box = child<QSpinBox>(tab, "clockGridSpinBox");
    QVERIFY(!box->isEnabled());
    tab.setClock(50, 5000);
    child<QDoubleSpinBox>(tab, "sliderTimeZoom")->setValue(20);
    QTRY_COMPARE(box->value(), plot(tab, 1)->currentClockGrid());
    QVERIFY(box->value() >= 250);
    // The slowest sample period's grid fits the box.
    tab.setClock(1000, 100000);
    child<QDoubleSpinBox>(tab, "sliderTimeZoom")->setValue(1);
    QTRY_COMPARE(plot(tab, 1)->currentClockGrid(), 100000);
    QTRY_COMPARE(box->value(), 100000);
}

VENTARO_TEST_MAIN(TestTabOszilloscope)

#include "test_tab_oszilloscope.moc"

void TestTabOszilloscope::gapMarkedBesideHighlightedShot_data()
{
    QTest::addColumn<int>("highlighted");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<bool>("unfilled");
    // Shots a minute apart; a filled gap between shots 2 and 3, an open one after shot 4.
    const auto mark = [](const char* text) { return QCoreApplication::translate("GapText", text); };
    QTest::newRow("none") << 1 << QString() << false;
    QTest::newRow("filled after") << 2 << mark("Lücke danach") << false;
    QTest::newRow("filled before") << 3 << mark("Lücke davor") << false;
    QTest::newRow("open after last") << 4 << mark("Lücke danach") << true;
}

void TestTabOszilloscope::gapMarkedBesideHighlightedShot()
{
    QFETCH(int, highlighted);
    QFETCH(QString, mark);
    QFETCH(bool, unfilled);
    Model model;
    TabOszilloscope tab;
    tab.setModel(&model);
    addShots(model, 4, 10);
    const QDateTime t0(QDate(2026, 12, 9), QTime(6, 0, 0));
    for (int i = 0; i < 4; ++i)
        model.setTimestamp(i, t0.addSecs(60 * i));
    model.addRecordingGap({t0.addSecs(70), t0.addSecs(100), 2, 2});
    model.addRecordingGap({t0.addSecs(190), QDateTime(), -1, 0});

    child<QSpinBox>(tab, "highlightSpinBox")->setValue(highlighted);
    const auto* label = child<QLabel>(tab, "gapNumberLabel");
    QCOMPARE(label->text(), mark.isEmpty()
                                ? QString()
                                : QCoreApplication::translate("TabOszilloscope", "Messung %1: %2")
                                      .arg(highlighted)
                                      .arg(mark));
    QCOMPARE(label->isVisibleTo(&tab), !mark.isEmpty());
    QCOMPARE(label->styleSheet().contains(QStringLiteral("color")), unfilled);
    // Filled, or open while the link is away: nothing to fill yet.
    QVERIFY(!child<QPushButton>(tab, "fillGapsButton")->isEnabled());
}
