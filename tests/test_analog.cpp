#include "app/Constants.h"
#include "tests/common/TestMain.h"
#include "widgets/SensorNumbers.h"
#include "widgets/analog/AnalogBarDouble.h"
#include "widgets/analog/AnalogSensorWidget.h"
#include "widgets/analog/AnalogSettingsWidget.h"
#include "widgets/analog/BarGeometry.h"
#include "widgets/analog/GaugeWidget.h"
#include "widgets/gauge/DialDegreesItem.h"
#include "widgets/gauge/DialLabelItem.h"
#include "widgets/gauge/DialNeedleItem.h"
#include "widgets/gauge/DialValuesItem.h"
#include "widgets/gauge/DialWidget.h"

#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>

#include <cmath>
#include <limits>
#include <memory>

namespace {

QImage render(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image;
}

QDoubleSpinBox* box(AnalogSensorWidget& widget, const char* name)
{
    return widget.findChild<QDoubleSpinBox*>(QLatin1String(name));
}

std::unique_ptr<AbstractAnalogWidget> makeDisplay(const QString& kind)
{
    if (kind == QLatin1String("bar"))
        return std::make_unique<AnalogBarDouble>();
    if (kind == QLatin1String("gauge"))
        return std::make_unique<GaugeWidget>();
    return std::make_unique<AnalogSensorWidget>();
}

const double notANumber = std::numeric_limits<double>::quiet_NaN();

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

class TestAnalog : public QObject
{
    Q_OBJECT

private slots:
    void autoGrid_data();
    void autoGrid();
    void barGridChoiceIsAnnounced_data();
    void barGridChoiceIsAnnounced();
    void gridValues_data();
    void gridValues();
    void levelY_data();
    void levelY();
    void decimals();
    void barFillsToValuePlusOffset();
    void barOutOfRangeStaysInItsFrame_data();
    void barOutOfRangeStaysInItsFrame();
    void barSizes();
    void refusedRangeChanges_data();
    void refusedRangeChanges();
    void gaugeRebuildsOnEveryRangeValueAndUnit();
    void gaugeNeedlePointsAtValue();
    void fastValuesAreGatheredIntoFewRepaints_data();
    void fastValuesAreGatheredIntoFewRepaints();
    void typeSwitchKeepsRangeOffsetUnitAndColour();
    void maximumRangeNarrowsBoxesAndDisplay_data();
    void maximumRangeNarrowsBoxesAndDisplay();
    void maximumRangeNeverWidens();
    void refusedBoxEntryIsPutBack();
    void boxEntriesReachTheDisplay();
    void settingsLimits_data();
    void settingsLimits();
    void unitDecimals_data();
    void unitDecimals();
    void valueTextAndSteps();
    void barValueReadableOnEverySensorColour();
    void dialReadsLikeTheBar_data();
    void dialReadsLikeTheBar();
    void boxesTakeRangeAndOffsetFromTheSensor_data();
    void boxesTakeRangeAndOffsetFromTheSensor();
};

void TestAnalog::autoGrid_data()
{
    QTest::addColumn<double>("span");
    QTest::addColumn<int>("barHeight");
    QTest::addColumn<double>("grid");
    QTest::addColumn<bool>("changed");
    QTest::newRow("0..255 at 300: 58 px") << 255.0 << 300 << 50.0 << true;
    QTest::newRow("0..1 at 300: 0.1 doubled") << 1.0 << 300 << 0.2 << true;
    QTest::newRow("0..100 at 300") << 100.0 << 300 << 20.0 << true;
    QTest::newRow("±100000 at 300") << 200000.0 << 300 << 40000.0 << true;
    QTest::newRow("no bar height") << 100.0 << 0 << 10000.0 << false;
    QTest::newRow("negative bar height") << 100.0 << -20 << 10000.0 << false;
    QTest::newRow("infinite span")
        << std::numeric_limits<double>::infinity() << 300 << 10000.0 << false;
}

void TestAnalog::autoGrid()
{
    QFETCH(double, span);
    QFETCH(int, barHeight);
    QFETCH(double, grid);
    QFETCH(bool, changed);
    const BarGeometry::Grid result = BarGeometry::autoGrid(span, barHeight);
    QCOMPARE(result.distance, grid);
    QCOMPARE(result.changed, changed);
}

void TestAnalog::barGridChoiceIsAnnounced_data()
{
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("grid");
    QTest::newRow("0..255") << 255.0 << 50.0;
    QTest::newRow("0..1") << 1.0 << 0.2;
}

void TestAnalog::barGridChoiceIsAnnounced()
{
    QFETCH(double, maximum);
    QFETCH(double, grid);
    AnalogBarDouble bar;
    bar.setShowScale(true);
    bar.resize(300, 370);
    bar.setRange(0, maximum);
    QSignalSpy spy(&bar, &AnalogBarDouble::gridChanged);
    render(bar);
    QCOMPARE(bar.barHeight(), 300);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toDouble(), grid);
    QCOMPARE(bar.grid(), grid);
}

void TestAnalog::gridValues_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("grid");
    QTest::addColumn<QVector<double>>("values");
    QTest::newRow("0..100 by 20") << 0.0 << 100.0 << 20.0
                                  << QVector<double>{0, 20, 40, 60, 80, 100};
    QTest::newRow("zero first, then below")
        << -25.0 << 20.0 << 10.0 << QVector<double>{0, 10, 20, -10, -20};
    // Ranges away from zero draw only the lines on the bar.
    QTest::newRow("50..100") << 50.0 << 100.0 << 20.0 << QVector<double>{60, 80, 100};
    QTest::newRow("-100..-50") << -100.0 << -50.0 << 20.0 << QVector<double>{-60, -80, -100};
    QTest::newRow("0..1 by 0.2 keeps 1")
        << 0.0 << 1.0 << 0.2 << QVector<double>{0, 0.2, 0.4, 0.6000000000000001, 0.8, 1};
    QTest::newRow("too dense to draw") << 0.0 << 100000.0 << 0.01 << QVector<double>{};
    QTest::newRow("no grid") << 0.0 << 100.0 << 0.0 << QVector<double>{};
}

void TestAnalog::gridValues()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, grid);
    QFETCH(QVector<double>, values);
    const QVector<double> result = BarGeometry::gridValues(minimum, maximum, grid);
    QCOMPARE(result.size(), values.size());
    for (int i = 0; i < values.size(); ++i)
        QVERIFY2(std::abs(result.at(i) - values.at(i)) < 1e-9, qPrintable(QString::number(i)));
}

void TestAnalog::levelY_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("y");
    QTest::newRow("30 of 0..100") << 30.0 << 220;
    QTest::newRow("minimum") << 0.0 << 310;
    QTest::newRow("maximum") << 100.0 << 10;
    QTest::newRow("far above") << 1e300 << 10;
    QTest::newRow("far below") << -1e300 << 310;
    QTest::newRow("NaN") << notANumber << 310;
}

void TestAnalog::levelY()
{
    QFETCH(double, value);
    QFETCH(int, y);
    QCOMPARE(BarGeometry::levelY(value, 0, 100, 310, 300), y);
}

void TestAnalog::decimals()
{
    QCOMPARE(BarGeometry::decimals(1), 3);
    QCOMPARE(BarGeometry::decimals(10), 2);
    QCOMPARE(BarGeometry::decimals(100), 1);
    QCOMPARE(BarGeometry::decimals(255), 0);
}

void TestAnalog::barFillsToValuePlusOffset()
{
    AnalogBarDouble bar;
    bar.resize(241, 370); // bar from row 10 to 310, inside from x 1 to 239
    bar.setRange(0, 100);
    bar.setColor(Qt::blue);
    bar.setValue(25);
    bar.setOffset(5);
    QCOMPARE(BarGeometry::valueText(bar.value() + bar.offset()), QStringLiteral("30.000"));
    const QImage image = render(bar);
    // 30 % of 300 rows: filled from row 220 down, white above; the grid of 20 lies on rows
    // 250, 190, 130 and 70.
    QCOMPARE(image.pixelColor(120, 220), QColor(Qt::blue));
    QCOMPARE(image.pixelColor(120, 230), QColor(Qt::blue));
    QCOMPARE(image.pixelColor(120, 219), QColor(Qt::white));
    QCOMPARE(image.pixelColor(120, 100), QColor(Qt::white));
    QCOMPARE(image.pixelColor(120, 250), QColor(Qt::gray));
    QCOMPARE(image.pixelColor(120, 190), QColor(Qt::gray));
    // The frame's sides, with the corners open; the grid lines of 0 and 100 lie on its top
    // and bottom edges.
    QCOMPARE(image.pixelColor(0, 100), QColor(Qt::darkGray));
    QCOMPARE(image.pixelColor(240, 100), QColor(Qt::darkGray));
    QVERIFY(image.pixelColor(0, 10) != QColor(Qt::darkGray));
    QCOMPARE(image.pixelColor(120, 310), QColor(Qt::black));
}

void TestAnalog::barOutOfRangeStaysInItsFrame_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QColor>("inside");
    QTest::newRow("above") << 1000.0 << QColor(Qt::blue);
    QTest::newRow("below") << -1000.0 << QColor(Qt::white);
    QTest::newRow("huge") << 1e300 << QColor(Qt::blue);
    QTest::newRow("NaN") << notANumber << QColor(Qt::white);
}

void TestAnalog::barOutOfRangeStaysInItsFrame()
{
    QFETCH(double, value);
    QFETCH(QColor, inside);
    AnalogBarDouble bar;
    bar.resize(241, 370);
    bar.setRange(0, 100);
    bar.setColor(Qt::blue);
    bar.setValue(value);
    const QImage image = render(bar);
    QCOMPARE(image.pixelColor(120, 100), inside);
    // Neither the top margin nor the band below the bar take the bar's colour.
    QVERIFY(image.pixelColor(120, 5) != QColor(Qt::blue));
    QVERIFY(image.pixelColor(120, 340) != QColor(Qt::blue));
}

void TestAnalog::barSizes()
{
    AnalogBarDouble bar;
    QCOMPARE(bar.minimumWidth(), 80);
    QCOMPARE(bar.sizeHint(), QSize(1000, 1000));
    const QFontMetrics metrics(bar.font());
    const int numberWidth = metrics.horizontalAdvance(QStringLiteral("255.00"));
    QCOMPARE(bar.minimumSizeHint(), QSize(numberWidth + 5, 50));
    bar.setShowScale(true);
    QCOMPARE(bar.minimumWidth(), 160);
    QCOMPARE(bar.minimumSizeHint(), QSize(numberWidth + 85, 50));
    const QString longName = QStringLiteral("Auswerferseite links");
    bar.setName(longName);
    QCOMPARE(bar.minimumSizeHint().width(), metrics.horizontalAdvance(longName) + 85);
    QVERIFY(bar.autoFillBackground());
}

void TestAnalog::refusedRangeChanges_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("call");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    for (const char* kind : {"bar", "gauge", "sensor"}) {
        QTest::addRow("%s: min 5 on 0..5", kind) << kind << "min" << 5.0 << 0.0;
        QTest::addRow("%s: min 7 on 0..5", kind) << kind << "min" << 7.0 << 0.0;
        QTest::addRow("%s: max 0 on 0..5", kind) << kind << "max" << 0.0 << 0.0;
        QTest::addRow("%s: range 3..3", kind) << kind << "range" << 3.0 << 3.0;
        QTest::addRow("%s: range 4..1", kind) << kind << "range" << 4.0 << 1.0;
        QTest::addRow("%s: NaN minimum", kind) << kind << "min" << notANumber << 0.0;
    }
}

void TestAnalog::refusedRangeChanges()
{
    QFETCH(QString, kind);
    QFETCH(QString, call);
    QFETCH(double, a);
    QFETCH(double, b);
    std::unique_ptr<AbstractAnalogWidget> display = makeDisplay(kind);
    display->setRange(0, 5);
    if (call == QLatin1String("min"))
        display->setRangeMin(a);
    else if (call == QLatin1String("max"))
        display->setRangeMax(a);
    else
        display->setRange(a, b);
    QCOMPARE(display->rangeMin(), 0.0);
    QCOMPARE(display->rangeMax(), 5.0);
    if (auto* sensor = dynamic_cast<AnalogSensorWidget*>(display.get())) {
        QCOMPARE(sensor->display()->rangeMin(), 0.0);
        QCOMPARE(sensor->display()->rangeMax(), 5.0);
        QCOMPARE(sensor->settings()->minValue(), 0.0);
        QCOMPARE(sensor->settings()->maxValue(), 5.0);
    }
}

void TestAnalog::gaugeRebuildsOnEveryRangeValueAndUnit()
{
    GaugeWidget gauge;
    QCOMPARE(gauge.unitLabel()->position(), 70.0f);
    QCOMPARE(gauge.valueLabel()->position(), 40.0f);
    QCOMPARE(gauge.needle()->position(), 60.0f);
    QCOMPARE(gauge.needle()->color(), QColor(Qt::red));
    QCOMPARE(gauge.needle()->label(), gauge.valueLabel());

    gauge.setRange(0, 10);
    gauge.setUnit(QStringLiteral("mm"));
    gauge.setOffset(1);
    gauge.setValue(2);
    QCOMPARE(gauge.degreesItem()->position(), 65.0f);
    QCOMPARE(gauge.degreesItem()->minValue(), 0.0f);
    QCOMPARE(gauge.degreesItem()->maxValue(), 10.0f);
    QCOMPARE(gauge.degreesItem()->step(), 1.0f);
    QCOMPARE(gauge.valuesItem()->position(), 80.0f);
    QCOMPARE(gauge.valuesItem()->texts(),
             (QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    QCOMPARE(gauge.needle()->maxValue(), 10.0f);
    QCOMPARE(gauge.needle()->currentValue(), 3.0f);
    // Read out like the bar: millimetres with the three decimals the device sends.
    QCOMPARE(gauge.valueLabel()->text(), QStringLiteral("3.000"));
    QCOMPARE(gauge.unitLabel()->text(), QStringLiteral("[mm]"));

    // An offset alone shows with the next rebuild; a refused range change is one.
    gauge.setOffset(2);
    QCOMPARE(gauge.needle()->currentValue(), 3.0f);
    gauge.setRangeMin(10);
    QCOMPARE(gauge.degreesItem()->minValue(), 0.0f);
    QCOMPARE(gauge.needle()->currentValue(), 4.0f);

    // A new range replaces the scale items, and the gauge draws the new ones only.
    gauge.setRangeMax(20);
    QCOMPARE(gauge.degreesItem()->maxValue(), 20.0f);
    QCOMPARE(gauge.valuesItem()->texts().constLast(), QStringLiteral("20"));
    int degreesItems = 0;
    for (DialItem* item : gauge.dial()->items())
        degreesItems += qobject_cast<DialDegreesItem*>(item) ? 1 : 0;
    QCOMPARE(degreesItems, 1);
    QCOMPARE(gauge.dial()->items().size(), 6);
}

void TestAnalog::gaugeNeedlePointsAtValue()
{
    GaugeWidget gauge;
    gauge.resize(300, 300);
    gauge.setRange(-5, 5);
    gauge.setValue(0);
    const QImage image = render(gauge);
    // The needle (60 %: 90 pixels) points straight up at the middle of the scale.
    const QColor up = image.pixelColor(149, 149 - 45);
    QVERIFY2(up.red() > 200 && up.green() < 60, qPrintable(up.name()));
    const QColor right = image.pixelColor(149 + 45, 149);
    QVERIFY2(!(right.red() > 200 && right.green() < 60), qPrintable(right.name()));
}

void TestAnalog::fastValuesAreGatheredIntoFewRepaints_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("bar") << "bar";
    QTest::newRow("gauge") << "gauge";
}

void TestAnalog::fastValuesAreGatheredIntoFewRepaints()
{
    QFETCH(QString, kind);
    std::unique_ptr<AbstractAnalogWidget> display = makeDisplay(kind);
    display->setRange(0, 100);
    display->resize(300, 300);
    display->show();
    QVERIFY(QTest::qWaitForWindowExposed(display.get()));
    QTest::qWait(2 * AbstractAnalogWidget::valueRepaintInterval);
    // The gauge paints in its dial.
    QWidget* painted = kind == QLatin1String("gauge")
                           ? static_cast<QWidget*>(static_cast<GaugeWidget*>(display.get())->dial())
                           : display.get();
    PaintCounter counter;
    painted->installEventFilter(&counter);
    QElapsedTimer clock;
    clock.start();
    const int values = 200;
    for (int i = 0; i < values; ++i) {
        display->setValue(i % 100);
        QCoreApplication::processEvents();
    }
    QTRY_VERIFY(counter.paints > 0);
    QTest::qWait(2 * AbstractAnalogWidget::valueRepaintInterval);
    const qint64 bound = clock.elapsed() / AbstractAnalogWidget::valueRepaintInterval + 3;
    QVERIFY2(counter.paints <= bound && counter.paints < values,
             qPrintable(QStringLiteral("%1 paints, at most %2").arg(counter.paints).arg(bound)));
    QCOMPARE(display->value(), 99.0);
}

void TestAnalog::typeSwitchKeepsRangeOffsetUnitAndColour()
{
    AnalogSensorWidget sensor(nullptr, AnalogSensorWidgetType::Linear);
    sensor.setRange(0, 50);
    sensor.setOffset(2);
    sensor.setUnit(QStringLiteral("mm"));
    sensor.setColor(Qt::blue);
    sensor.setValue(10);
    QCOMPARE(sensor.display()->value(), 10.0);

    sensor.setWidgetType(AnalogSensorWidgetType::Round);
    QCOMPARE(sensor.widgetType(), AnalogSensorWidgetType::Round);
    auto* gauge = qobject_cast<GaugeWidget*>(sensor.display());
    QVERIFY(gauge);
    QCOMPARE(gauge->rangeMin(), 0.0);
    QCOMPARE(gauge->rangeMax(), 50.0);
    QCOMPARE(gauge->offset(), 2.0);
    QCOMPARE(gauge->unit(), QStringLiteral("mm"));
    QCOMPARE(gauge->unitLabel()->text(), QStringLiteral("[mm]"));
    // Value 0 until the next value arrives, which brings the offset along.
    QCOMPARE(gauge->value(), 0.0);
    QCOMPARE(gauge->needle()->currentValue(), 0.0f);
    sensor.setValue(10);
    QCOMPARE(gauge->needle()->currentValue(), 12.0f);
    QCOMPARE(sensor.findChildren<AbstractAnalogWidget*>().size(), 1);

    sensor.setWidgetType(AnalogSensorWidgetType::Linear);
    auto* bar = qobject_cast<AnalogBarDouble*>(sensor.display());
    QVERIFY(bar);
    QCOMPARE(bar->rangeMin(), 0.0);
    QCOMPARE(bar->rangeMax(), 50.0);
    QCOMPARE(bar->offset(), 2.0);
    QCOMPARE(bar->unit(), QStringLiteral("mm"));
    QCOMPARE(bar->color(), QColor(Qt::blue));
    QVERIFY(bar->showScale());
    QCOMPARE(bar->value(), 0.0);
    QCOMPARE(sensor.value(), 10.0);
    QCOMPARE(sensor.settings()->minValue(), 0.0);
    QCOMPARE(sensor.settings()->maxValue(), 50.0);
    QCOMPARE(sensor.settings()->offsetValue(), 2.0);
}

void TestAnalog::maximumRangeNarrowsBoxesAndDisplay_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("limitMinimum");
    QTest::addColumn<double>("limitMaximum");
    QTest::newRow("0..10") << 0.0 << 10.0 << -10.0 << 20.0;
    QTest::newRow("default distance sensor 0..12") << 0.0 << 12.0 << -12.0 << 24.0;
    QTest::newRow("50..60") << 50.0 << 60.0 << 40.0 << 70.0;
    QTest::newRow("widest") << -100000.0 << 100000.0 << -100000.0 << 100000.0;
}

void TestAnalog::maximumRangeNarrowsBoxesAndDisplay()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, limitMinimum);
    QFETCH(double, limitMaximum);
    AnalogSensorWidget sensor;
    QCOMPARE(sensor.settings()->minValue(), -100000.0);
    QCOMPARE(sensor.settings()->maxValue(), 100000.0);
    QCOMPARE(sensor.display()->rangeMin(), -100000.0);
    sensor.setMaximumRange(-100000, 100000);
    sensor.setMaximumRange(minimum, maximum);
    QCOMPARE(sensor.settings()->limitMinimum(), limitMinimum);
    QCOMPARE(sensor.settings()->limitMaximum(), limitMaximum);
    // The display and the boxes show the sensor's range.
    QCOMPARE(sensor.display()->rangeMin(), minimum);
    QCOMPARE(sensor.display()->rangeMax(), maximum);
    QCOMPARE(sensor.rangeMin(), minimum);
    QCOMPARE(sensor.rangeMax(), maximum);
    QCOMPARE(sensor.settings()->minValue(), minimum);
    QCOMPARE(sensor.settings()->maxValue(), maximum);
}

void TestAnalog::maximumRangeNeverWidens()
{
    AnalogSensorWidget sensor;
    sensor.setMaximumRange(0, 10);
    sensor.setMaximumRange(0, 100);
    QCOMPARE(sensor.settings()->limitMinimum(), -10.0);
    QCOMPARE(sensor.settings()->limitMaximum(), 20.0);
    sensor.setMaximumRange(5, 5);
    QCOMPARE(sensor.settings()->limitMinimum(), -10.0);
    QCOMPARE(sensor.display()->rangeMax(), 10.0);
}

void TestAnalog::refusedBoxEntryIsPutBack()
{
    AnalogSensorWidget sensor;
    sensor.setMaximumRange(50, 60);
    QSignalSpy minSpy(&sensor, &AnalogSensorWidget::minValueChanged);
    QSignalSpy maxSpy(&sensor, &AnalogSensorWidget::maxValueChanged);
    // Typed as by the user: a minimum above the maximum.
    box(sensor, "spinBoxMinValue")->setValue(65);
    QCOMPARE(sensor.rangeMin(), 50.0);
    QCOMPARE(sensor.display()->rangeMin(), 50.0);
    QCOMPARE(sensor.settings()->minValue(), 50.0);
    QCOMPARE(minSpy.count(), 0);
    box(sensor, "spinBoxMaxValue")->setValue(45);
    QCOMPARE(sensor.settings()->maxValue(), 60.0);
    QCOMPARE(maxSpy.count(), 0);
}

void TestAnalog::boxEntriesReachTheDisplay()
{
    AnalogSensorWidget sensor(nullptr, AnalogSensorWidgetType::Round);
    sensor.setMaximumRange(0, 12);
    QSignalSpy minSpy(&sensor, &AnalogSensorWidget::minValueChanged);
    QSignalSpy maxSpy(&sensor, &AnalogSensorWidget::maxValueChanged);
    QSignalSpy offsetSpy(&sensor, &AnalogSensorWidget::offsetChanged);
    box(sensor, "spinBoxMinValue")->setValue(2);
    box(sensor, "spinBoxMaxValue")->setValue(8);
    box(sensor, "spinBoxOffset")->setValue(-1.5);
    QCOMPARE(minSpy.count(), 1);
    QCOMPARE(minSpy.at(0).at(0).toDouble(), 2.0);
    QCOMPARE(maxSpy.at(0).at(0).toDouble(), 8.0);
    QCOMPARE(offsetSpy.at(0).at(0).toDouble(), -1.5);
    QCOMPARE(sensor.display()->rangeMin(), 2.0);
    QCOMPARE(sensor.display()->rangeMax(), 8.0);
    QCOMPARE(sensor.display()->offset(), -1.5);
    QCOMPARE(sensor.offset(), -1.5);
}

void TestAnalog::settingsLimits_data()
{
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<double>("limitMinimum");
    QTest::addColumn<double>("limitMaximum");
    QTest::newRow("narrower") << -10.0 << 20.0 << -10.0 << 20.0;
    QTest::newRow("wholly above") << 200000.0 << 300000.0 << 200000.0 << 300000.0;
    QTest::newRow("wholly below") << -300000.0 << -200000.0 << -300000.0 << -200000.0;
    QTest::newRow("refused") << 5.0 << 5.0 << -100000.0 << 100000.0;
}

void TestAnalog::settingsLimits()
{
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(double, limitMinimum);
    QFETCH(double, limitMaximum);
    AnalogSettingsWidget settings(nullptr, false);
    settings.setLimits(-100000, 100000);
    settings.setLimits(lo, hi);
    QCOMPARE(settings.limitMinimum(), limitMinimum);
    QCOMPARE(settings.limitMaximum(), limitMaximum);
    QVERIFY(settings.findChild<QWidget*>(QStringLiteral("spinBoxGrid"))->isHidden());
}

void TestAnalog::unitDecimals_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("unitDecimals");
    QTest::addColumn<int>("readout");
    QTest::addColumn<int>("entryFor24000");
    QTest::newRow("micro sign") << QStringLiteral("\u00B5m") << 0 << 0 << 0;
    QTest::newRow("Greek mu") << QStringLiteral("\u03BCm") << 0 << 0 << 0;
    QTest::newRow("um") << QStringLiteral("um") << 0 << 0 << 0;
    QTest::newRow("mm") << QStringLiteral("mm") << 3 << 3 << 3;
    // Not known: three decimals read out as the bar always did, entries by the range.
    QTest::newRow("degrees") << QStringLiteral("\u00B0C") << -1 << 3 << 0;
    QTest::newRow("none") << QString() << -1 << 3 << 0;
}

void TestAnalog::unitDecimals()
{
    QFETCH(QString, unit);
    QFETCH(int, unitDecimals);
    QFETCH(int, readout);
    QFETCH(int, entryFor24000);
    QCOMPARE(SensorNumbers::unitDecimals(unit), unitDecimals);
    QCOMPARE(SensorNumbers::readoutDecimals(unit), readout);
    QCOMPARE(SensorNumbers::entryDecimals(unit, -12000, 12000), entryFor24000);
}

void TestAnalog::valueTextAndSteps()
{
    QCOMPARE(SensorNumbers::valueText(1560.4, 0), QStringLiteral("1560"));
    QCOMPARE(SensorNumbers::valueText(12000, 2), QStringLiteral("12000.00"));
    QCOMPARE(SensorNumbers::valueText(-9304.2, 0), QStringLiteral("-9304"));
    QCOMPARE(SensorNumbers::valueText(-0.0004, 3), QStringLiteral("0.000"));
    QCOMPARE(SensorNumbers::spanDecimals(1), 3);
    QCOMPARE(SensorNumbers::spanDecimals(12), 1);
    QCOMPARE(SensorNumbers::spanDecimals(200000), 0);
    // Offsets reach the far end of the range, from zero.
    QCOMPARE(SensorNumbers::offsetBound(0, 12), 12.0);
    QCOMPARE(SensorNumbers::offsetBound(0, 12000), 12000.0);
    QCOMPARE(SensorNumbers::offsetBound(100, 200), 200.0);
    QCOMPARE(SensorNumbers::offsetBound(-5, 3), 5.0);
    QCOMPARE(SensorNumbers::niceStep(1), 1.0);
    QCOMPARE(SensorNumbers::niceStep(0.5), 0.5);
    QCOMPARE(SensorNumbers::niceStep(500), 500.0);
    QCOMPARE(SensorNumbers::niceStep(25), 20.0);
    QCOMPARE(SensorNumbers::niceStep(8333.3), 5000.0);
    QCOMPARE(SensorNumbers::niceStep(0), 1.0);
}

void TestAnalog::barValueReadableOnEverySensorColour()
{
    // The five sensor colours and a light one; the text must stand out as ordinary text
    // should (a contrast of 4.5 at least).
    const QList<QColor> colours = {colorDarkRed,    colorDarkGreen, colorDarkBlue,
                                   colorDarkOrange, colorDarkCyan,  QColor(Qt::yellow)};
    for (const QColor& colour : colours) {
        const QColor text = BarGeometry::textColorOn(colour);
        QVERIFY2(BarGeometry::contrastRatio(text, colour) >= 4.5, qPrintable(colour.name()));
    }
    QCOMPARE(BarGeometry::textColorOn(colorDarkRed), QColor(Qt::white));
    QCOMPARE(BarGeometry::textColorOn(colorDarkOrange), QColor(Qt::black));

    // Drawn: a bar in dark blue full to the top writes its value in white on it, and a bar
    // below its text writes it black on white.
    AnalogBarDouble bar;
    bar.resize(241, 370);
    bar.setRange(0, 100);
    bar.setColor(colorDarkBlue);
    bar.setUnit(QStringLiteral("mm"));
    bar.setValue(100);
    const auto textPixels = [&bar](const QColor& ink) {
        const QImage image = render(bar);
        int count = 0;
        // The read-out's row band just above the bar's bottom edge at 310.
        for (int y = 310 - bar.fontMetrics().height(); y < 310; ++y) {
            for (int x = 81; x < 240; ++x)
                count += image.pixelColor(x, y) == ink ? 1 : 0;
        }
        return count;
    };
    QVERIFY(textPixels(Qt::white) > 10);
    QCOMPARE(textPixels(Qt::black), 0);
    bar.setValue(0);
    QVERIFY(textPixels(Qt::black) > 10);
}

void TestAnalog::dialReadsLikeTheBar_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("1560 um, not 1.6e+03") << QStringLiteral("\u00B5m") << 1560.0 << "1560";
    QTest::newRow("mm") << QStringLiteral("mm") << 1.5604 << "1.560";
    QTest::newRow("unit not known") << QString() << 1560.0 << "1560.000";
}

void TestAnalog::dialReadsLikeTheBar()
{
    QFETCH(QString, unit);
    QFETCH(double, value);
    QFETCH(QString, text);
    GaugeWidget gauge;
    gauge.setRange(0, 12000);
    gauge.setUnit(unit);
    gauge.setOffset(-10);
    gauge.setValue(value + 10);
    QCOMPARE(gauge.valueLabel()->text(), text);
    QCOMPARE(gauge.valueLabel()->text(), BarGeometry::valueText(value, unit));
}

void TestAnalog::boxesTakeRangeAndOffsetFromTheSensor_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("offset");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("offsetStep");
    QTest::addColumn<QString>("offsetText");
    // Micrometre sensors after calibration carry offsets of thousands.
    QTest::newRow("micrometres") << QStringLiteral("\u00B5m") << 12000.0 << -9304.0 << 0 << 500.0
                                 << "-9304";
    // The default millimetre sensors keep the +-12 by 0.5 they always had.
    QTest::newRow("millimetres") << QStringLiteral("mm") << 12.0 << -9.304 << 3 << 0.5 << "-9.304";
}

void TestAnalog::boxesTakeRangeAndOffsetFromTheSensor()
{
    QFETCH(QString, unit);
    QFETCH(double, maximum);
    QFETCH(double, offset);
    QFETCH(int, decimals);
    QFETCH(double, offsetStep);
    QFETCH(QString, offsetText);
    AnalogSensorWidget sensor;
    // As the sensors page builds a sensor's widget.
    sensor.setMaximumRange(-100000, 100000);
    sensor.setMaximumRange(0, maximum);
    sensor.setUnit(unit);
    QSignalSpy spy(&sensor, &AnalogSensorWidget::offsetChanged);
    sensor.setOffset(offset);
    QDoubleSpinBox* offsetBox = box(sensor, "spinBoxOffset");
    QCOMPARE(offsetBox->minimum(), -maximum);
    QCOMPARE(offsetBox->maximum(), maximum);
    QCOMPARE(offsetBox->singleStep(), offsetStep);
    QCOMPARE(offsetBox->decimals(), decimals);
    QCOMPARE(offsetBox->text(), offsetText);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(box(sensor, "spinBoxMaxValue")->decimals(), decimals);
    QCOMPARE(box(sensor, "spinBoxMaxValue")->value(), maximum);
    QCOMPARE(box(sensor, "spinBoxMaxValue")->singleStep(), 2 * offsetStep);
    QCOMPARE(box(sensor, "spinBoxMinValue")->minimum(), -maximum);
}

VENTARO_TEST_MAIN(TestAnalog)
#include "test_analog.moc"
