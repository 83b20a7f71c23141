#include "tests/common/TestMain.h"
#include "widgets/gauge/DialArcItem.h"
#include "widgets/gauge/DialBackgroundItem.h"
#include "widgets/gauge/DialDegreesItem.h"
#include "widgets/gauge/DialGeometry.h"
#include "widgets/gauge/DialLabelItem.h"
#include "widgets/gauge/DialNeedleItem.h"
#include "widgets/gauge/DialValuesItem.h"
#include "widgets/gauge/DialWidget.h"

#include <QImage>
#include <QPointer>

#include <cmath>
#include <limits>

namespace {

// The gauge painted on a transparent picture, without any window background.
QImage render(DialWidget& dial)
{
    QImage image(dial.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    dial.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

bool isRed(const QColor& c)
{
    return c.alpha() == 255 && c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

bool isPainted(const QColor& c)
{
    return c.alpha() > 200;
}

// Whether anything is painted within a box of the given half side around p.
bool paintedNear(const QImage& image, QPointF p, int half)
{
    for (int y = int(p.y()) - half; y <= int(p.y()) + half; ++y) {
        for (int x = int(p.x()) - half; x <= int(p.x()) + half; ++x) {
            if (image.valid(x, y) && isPainted(image.pixelColor(x, y)))
                return true;
        }
    }
    return false;
}

const float notANumber = std::numeric_limits<float>::quiet_NaN();

} // namespace

class TestGauge : public QObject
{
    Q_OBJECT

private slots:
    void square_data();
    void square();
    void itemTakesSquareAtPaint();
    void valueToAngle_data();
    void valueToAngle();
    void needlePointsAtItsValue_data();
    void needlePointsAtItsValue();
    void needleClampsAndLabelsInGeneralNotation_data();
    void needleClampsAndLabelsInGeneralNotation();
    void labelTakesTheLatestWrite();
    void labelInFixedDecimalsReadsTheValueAsSet_data();
    void labelInFixedDecimalsReadsTheValueAsSet();
    void valueNumbers_data();
    void valueNumbers();
    void scaleStepsKeepTheLastMark_data();
    void scaleStepsKeepTheLastMark();
    void scaleStepsNeverStall_data();
    void scaleStepsNeverStall();
    void positionIsClamped_data();
    void positionIsClamped();
    void refusedRangeKeepsPreviousRange_data();
    void refusedRangeKeepsPreviousRange();
    void refusedStepKeepsPreviousStep();
    void itemDefaults();
    void backgroundFillsItsCircle();
    void arcRunsOverTheTop();
    void ticksAtBothEndsOfTheScale();
    void numbersAndLabelStandOnTheirCircles();
    void removedAndDestroyedItemsLeaveTheList();
};

void TestGauge::square_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRectF>("expected");
    QTest::newRow("400x300") << QSize(400, 300) << QRectF(49, -1, 300, 300);
    QTest::newRow("300x400") << QSize(300, 400) << QRectF(-1, 49, 300, 300);
    QTest::newRow("250x250") << QSize(250, 250) << QRectF(-1, -1, 250, 250);
    QTest::newRow("odd side") << QSize(301, 301) << QRectF(-0.5, -0.5, 301, 301);
}

void TestGauge::square()
{
    QFETCH(QSize, size);
    QFETCH(QRectF, expected);
    QCOMPARE(DialGeometry::square(size), expected);
    // An item at 50 % has half the square's half side as its radius.
    const QRectF half = DialGeometry::circle(expected, 50);
    QCOMPARE(half.center(), expected.center());
    QCOMPARE(half.width(), expected.width() / 2);
}

void TestGauge::itemTakesSquareAtPaint()
{
    DialWidget dial;
    dial.resize(400, 300);
    DialArcItem* arc = dial.addArc(80);
    render(dial);
    QCOMPARE(arc->square(), QRectF(49, -1, 300, 300));
    dial.resize(500, 260);
    render(dial);
    QCOMPARE(arc->square(), QRectF(119, -1, 260, 260));
}

void TestGauge::valueToAngle_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("degree");
    QTest::addColumn<QPointF>("direction"); // of the point at that angle, from the centre
    QTest::newRow("0: lower left") << 0.0 << -45.0 << QPointF(-1, 1);
    QTest::newRow("50: straight up") << 50.0 << 90.0 << QPointF(0, -1);
    QTest::newRow("100: lower right") << 100.0 << 225.0 << QPointF(1, 1);
}

void TestGauge::valueToAngle()
{
    QFETCH(double, value);
    QFETCH(double, degree);
    QFETCH(QPointF, direction);
    DialWidget dial;
    DialScaleItem* needle = dial.addNeedle(60);
    QCOMPARE(needle->degree(value), degree);
    const QPointF p = DialGeometry::pointAt(QPointF(0, 0), 10, degree);
    const double len = std::hypot(direction.x(), direction.y());
    QVERIFY(std::abs(p.x() - 10 * direction.x() / len) < 1e-9);
    QVERIFY(std::abs(p.y() - 10 * direction.y() / len) < 1e-9);
}

void TestGauge::needlePointsAtItsValue_data()
{
    QTest::addColumn<float>("value");
    QTest::newRow("0") << 0.0f;
    QTest::newRow("50") << 50.0f;
    QTest::newRow("100") << 100.0f;
    QTest::newRow("150 clamps to 100") << 150.0f;
}

void TestGauge::needlePointsAtItsValue()
{
    QFETCH(float, value);
    DialWidget dial;
    dial.resize(400, 300);
    DialNeedleItem* needle = dial.addNeedle(100);
    needle->setColor(Qt::red);
    needle->setCurrentValue(value);
    const QImage image = render(dial);
    const QPointF centre(199, 149);
    const double degree = needle->degree(std::min(value, 100.0f));
    // The blade halfway to the tip is several pixels wide; the tail reaches a fifth of the
    // radius behind the centre only.
    const QPointF blade = DialGeometry::pointAt(centre, 75, degree);
    const QPointF behind = DialGeometry::pointAt(centre, -75, degree);
    QVERIFY2(isRed(image.pixelColor(blade.toPoint())),
             qPrintable(image.pixelColor(blade.toPoint()).name()));
    QVERIFY(!isPainted(image.pixelColor(behind.toPoint())));
    QVERIFY(isRed(image.pixelColor(DialGeometry::pointAt(centre, -20, degree).toPoint())));
    QVERIFY(
        !isPainted(image.pixelColor(DialGeometry::pointAt(centre, 148, degree + 10).toPoint())));
}

void TestGauge::needleClampsAndLabelsInGeneralNotation_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<float>("current");
    QTest::addColumn<QString>("text");
    QTest::newRow("150 on 0..100") << 150.0f << 100.0f << QStringLiteral("1e+02");
    QTest::newRow("7.34") << 7.34f << 7.34f << QStringLiteral("7.3");
    QTest::newRow("below the scale") << -5.0f << 0.0f << QStringLiteral("0");
    QTest::newRow("NaN") << notANumber << 0.0f << QStringLiteral("0");
}

void TestGauge::needleClampsAndLabelsInGeneralNotation()
{
    QFETCH(float, value);
    QFETCH(float, current);
    QFETCH(QString, text);
    DialWidget dial;
    DialLabelItem* label = dial.addLabel(40);
    DialNeedleItem* needle = dial.addNeedle(60);
    needle->setLabel(label);
    needle->setCurrentValue(value);
    QCOMPARE(needle->currentValue(), current);
    QCOMPARE(label->text(), text);
}

void TestGauge::labelTakesTheLatestWrite()
{
    DialWidget dial;
    DialLabelItem* label = dial.addLabel(40);
    DialNeedleItem* needle = dial.addNeedle(60);
    needle->setLabel(label);
    needle->setCurrentValue(7.34f);
    label->setText(QStringLiteral("mm"));
    QCOMPARE(label->text(), QStringLiteral("mm"));
    needle->setCurrentValue(42.0f);
    needle->setCurrentValue(43.0f);
    QCOMPARE(label->text(), QStringLiteral("43"));
    needle->setPrecision(3);
    needle->setCurrentValue(7.346f);
    delete needle;
    // The read-out of the last value set stays after the needle is gone.
    QCOMPARE(label->text(), QStringLiteral("7.35"));
}

void TestGauge::labelInFixedDecimalsReadsTheValueAsSet_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("value");
    QTest::addColumn<float>("needle");
    QTest::addColumn<QString>("text");
    // Micrometres on a 0 ... 12000 scale: whole digits, never exponent form.
    QTest::newRow("1560 um") << 0 << 1560.0 << 1560.0f << "1560";
    QTest::newRow("11999.6 um") << 0 << 11999.6 << 11999.6f << "12000";
    // Beyond the scale the needle stops at its end, the read-out tells the truth.
    QTest::newRow("above the scale") << 0 << 12500.0 << 12000.0f << "12500";
    QTest::newRow("below the scale") << 0 << -30.0 << 0.0f << "-30";
    QTest::newRow("millimetres") << 3 << 7.3456 << 7.3456f << "7.346";
    QTest::newRow("no minus zero") << 3 << -0.0004 << 0.0f << "0.000";
}

void TestGauge::labelInFixedDecimalsReadsTheValueAsSet()
{
    QFETCH(int, decimals);
    QFETCH(double, value);
    QFETCH(float, needle);
    QFETCH(QString, text);
    DialWidget dial;
    DialLabelItem* label = dial.addLabel(40);
    DialNeedleItem* item = dial.addNeedle(60);
    QVERIFY(item->setValueRange(0, 12000));
    item->setLabel(label);
    item->setLabelDecimals(decimals);
    item->setCurrentValue(value);
    QCOMPARE(item->currentValue(), needle);
    QCOMPARE(label->text(), text);
    // Back to the default: significant digits of the clamped value.
    item->setLabelDecimals(-1);
    QCOMPARE(label->text(), DialGeometry::needleText(needle, 2));
}

void TestGauge::valueNumbers_data()
{
    QTest::addColumn<float>("minimum");
    QTest::addColumn<float>("maximum");
    QTest::addColumn<float>("step");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("0..1000 by 100")
        << 0.0f << 1000.0f << 100.0f
        << QStringList{"0", "100", "200", "300", "400", "500", "600", "700", "800", "900", "1000"};
    QTest::newRow("0..1 by 0.25") << 0.0f << 1.0f << 0.25f
                                  << QStringList{"0", "0.25", "0.5", "0.75", "1"};
    // The sum of the steps passes zero by a hair: no "-0", and zero is still the last number.
    QTest::newRow("-1..0 by 0.1") << -1.0f << 0.0f << 0.1f
                                  << QStringList{"-1",   "-0.9", "-0.8", "-0.7", "-0.6", "-0.5",
                                                 "-0.4", "-0.3", "-0.2", "-0.1", "0"};
    // A narrow range far from zero ends at its maximum, with no number beyond it.
    QTest::newRow("990..1000 by 1")
        << 990.0f << 1000.0f << 1.0f << QStringList{"990", "991", "992", "993", "994", "995",
                                                    "996", "997", "998", "999", "1000"};
}

void TestGauge::valueNumbers()
{
    QFETCH(float, minimum);
    QFETCH(float, maximum);
    QFETCH(float, step);
    QFETCH(QStringList, texts);
    DialWidget dial;
    DialValuesItem* values = dial.addValues(80);
    QVERIFY(values->setValueRange(minimum, maximum));
    QVERIFY(values->setStep(step));
    QCOMPARE(values->texts(), texts);
}

void TestGauge::scaleStepsKeepTheLastMark_data()
{
    QTest::addColumn<float>("minimum");
    QTest::addColumn<float>("maximum");
    QTest::addColumn<float>("step");
    QTest::addColumn<int>("count");
    QTest::newRow("0..100 by 10") << 0.0f << 100.0f << 10.0f << 11;
    QTest::newRow("0..1 by 0.1, sum passes 1") << 0.0f << 1.0f << 0.1f << 11;
    QTest::newRow("0..3 by 0.3, sum short of 3") << 0.0f << 3.0f << 0.3f << 11;
    QTest::newRow("-1..0 by 0.1") << -1.0f << 0.0f << 0.1f << 11;
    QTest::newRow("-10..-3 by 0.7") << -10.0f << -3.0f << 0.7f << 11;
    QTest::newRow("0..100 by 30") << 0.0f << 100.0f << 30.0f << 4;
}

void TestGauge::scaleStepsKeepTheLastMark()
{
    QFETCH(float, minimum);
    QFETCH(float, maximum);
    QFETCH(float, step);
    QFETCH(int, count);
    const QVector<float> steps = DialGeometry::scaleSteps(minimum, maximum, step);
    QCOMPARE(steps.size(), count);
    QCOMPARE(steps.first(), minimum);
    QVERIFY(steps.last() <= maximum + step / 2);
}

void TestGauge::scaleStepsNeverStall_data()
{
    QTest::addColumn<float>("minimum");
    QTest::addColumn<float>("maximum");
    QTest::addColumn<float>("step");
    QTest::addColumn<int>("count");
    QTest::newRow("zero step") << 0.0f << 100.0f << 0.0f << 0;
    QTest::newRow("negative step") << 0.0f << 100.0f << -10.0f << 0;
    QTest::newRow("step below float precision") << 100000.0f << 100001.0f << 0.001f << 1;
    QTest::newRow("tiny step") << 0.0f << 100.0f << 0.001f << DialGeometry::maxScaleSteps;
}

void TestGauge::scaleStepsNeverStall()
{
    QFETCH(float, minimum);
    QFETCH(float, maximum);
    QFETCH(float, step);
    QFETCH(int, count);
    QCOMPARE(DialGeometry::scaleSteps(minimum, maximum, step).size(), count);
}

void TestGauge::positionIsClamped_data()
{
    QTest::addColumn<float>("position");
    QTest::addColumn<float>("stored");
    QTest::newRow("120") << 120.0f << 100.0f;
    QTest::newRow("-5") << -5.0f << 0.0f;
    QTest::newRow("55") << 55.0f << 55.0f;
}

void TestGauge::positionIsClamped()
{
    QFETCH(float, position);
    QFETCH(float, stored);
    DialWidget dial;
    QCOMPARE(dial.addArc(position)->position(), stored);
    QCOMPARE(dial.addLabel(position)->position(), stored);
    DialItem* item = dial.addBackground(50);
    item->setPosition(position);
    QCOMPARE(item->position(), stored);
}

void TestGauge::refusedRangeKeepsPreviousRange_data()
{
    QTest::addColumn<QString>("setter");
    QTest::addColumn<float>("a");
    QTest::addColumn<float>("b");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("value range") << "valueRange" << 10.0f << 20.0f << true;
    QTest::newRow("value range, max = min") << "valueRange" << 5.0f << 5.0f << false;
    QTest::newRow("value range, max < min") << "valueRange" << 10.0f << 0.0f << false;
    QTest::newRow("value range, NaN") << "valueRange" << notANumber << 10.0f << false;
    QTest::newRow("min value") << "minValue" << 50.0f << 0.0f << true;
    QTest::newRow("min value = max") << "minValue" << 100.0f << 0.0f << false;
    QTest::newRow("min value > max") << "minValue" << 150.0f << 0.0f << false;
    QTest::newRow("max value < min") << "maxValue" << -1.0f << 0.0f << false;
    QTest::newRow("degree range") << "degreeRange" << 0.0f << 180.0f << true;
    QTest::newRow("degree range, max < min") << "degreeRange" << 180.0f << 0.0f << false;
    QTest::newRow("min degree > max") << "minDegree" << 300.0f << 0.0f << false;
    QTest::newRow("max degree < min") << "maxDegree" << -90.0f << 0.0f << false;
}

void TestGauge::refusedRangeKeepsPreviousRange()
{
    QFETCH(QString, setter);
    QFETCH(float, a);
    QFETCH(float, b);
    QFETCH(bool, accepted);
    DialWidget dial;
    DialScaleItem* item = dial.addDegrees(65);
    bool result = false;
    if (setter == QLatin1String("valueRange"))
        result = item->setValueRange(a, b);
    else if (setter == QLatin1String("minValue"))
        result = item->setMinValue(a);
    else if (setter == QLatin1String("maxValue"))
        result = item->setMaxValue(a);
    else if (setter == QLatin1String("degreeRange"))
        result = item->setDegreeRange(a, b);
    else if (setter == QLatin1String("minDegree"))
        result = item->setMinDegree(a);
    else if (setter == QLatin1String("maxDegree"))
        result = item->setMaxDegree(a);
    QCOMPARE(result, accepted);
    if (!accepted) {
        QCOMPARE(item->minValue(), 0.0f);
        QCOMPARE(item->maxValue(), 100.0f);
        QCOMPARE(item->minDegree(), -45.0f);
        QCOMPARE(item->maxDegree(), 225.0f);
    } else {
        QVERIFY(item->minValue() < item->maxValue());
        QVERIFY(item->minDegree() < item->maxDegree());
    }
}

void TestGauge::refusedStepKeepsPreviousStep()
{
    DialWidget dial;
    DialDegreesItem* degrees = dial.addDegrees(90);
    DialValuesItem* values = dial.addValues(70);
    QVERIFY(!degrees->setStep(0));
    QVERIFY(!values->setStep(-1));
    QVERIFY(!values->setStep(notANumber));
    QCOMPARE(degrees->step(), 10.0f);
    QCOMPARE(values->step(), 10.0f);
}

void TestGauge::itemDefaults()
{
    DialWidget dial;
    QCOMPARE(dial.minimumSize(), QSize(250, 250));
    DialBackgroundItem* background = new DialBackgroundItem(&dial);
    QCOMPARE(background->position(), 88.0f);
    QCOMPARE(background->outline().style(), Qt::NoPen);
    QCOMPARE(background->stops(), (QGradientStops{{0.4, Qt::darkGray}, {0.8, Qt::black}}));
    QCOMPARE((new DialArcItem(&dial))->position(), 80.0f);
    auto* degrees = new DialDegreesItem(&dial);
    QCOMPARE(degrees->position(), 90.0f);
    QVERIFY(!degrees->isFine());
    QCOMPARE((new DialValuesItem(&dial))->position(), 70.0f);
    auto* label = new DialLabelItem(&dial);
    QCOMPARE(label->position(), 50.0f);
    QCOMPARE(label->angle(), 270.0f);
    QCOMPARE(label->text(), QStringLiteral("%"));
    QCOMPARE(label->color(), QColor(Qt::black));
    auto* needle = new DialNeedleItem(&dial);
    QCOMPARE(needle->currentValue(), 0.0f);
    QCOMPARE(needle->precision(), 2);
    QVERIFY(!needle->label());
    // Created elsewhere: not drawn until added, and added once only.
    QVERIFY(dial.items().isEmpty());
    dial.addItem(needle);
    dial.addItem(needle);
    QCOMPARE(dial.items(), QList<DialItem*>{needle});
}

void TestGauge::backgroundFillsItsCircle()
{
    DialWidget dial;
    dial.resize(400, 300);
    dial.addBackground(100);
    const QImage image = render(dial);
    // Outside the square, and in the square's corner outside the circle: nothing.
    QVERIFY(!isPainted(image.pixelColor(45, 149)));
    QVERIFY(!isPainted(image.pixelColor(55, 5)));
    // Inside, the gradient runs from dark gray at the top left to black at the bottom right.
    QCOMPARE(image.pixelColor(110, 60), QColor(Qt::darkGray));
    const QColor lowerRight = image.pixelColor(320, 220);
    QVERIFY(isPainted(lowerRight));
    QVERIFY2(qGray(lowerRight.rgb()) < 5, qPrintable(lowerRight.name()));
    QVERIFY(qGray(image.pixelColor(199, 149).rgb()) < 100);
    QVERIFY(isPainted(image.pixelColor(52, 149)));
    QVERIFY(isPainted(image.pixelColor(346, 149)));
}

void TestGauge::arcRunsOverTheTop()
{
    DialWidget dial;
    dial.resize(400, 300);
    dial.addArc(80); // radius 120, pen 3 pixels
    const QImage image = render(dial);
    const QPointF centre(199, 149);
    for (double degree : {-40.0, 0.0, 90.0, 180.0, 220.0})
        QVERIFY2(isPainted(image.pixelColor(DialGeometry::pointAt(centre, 120, degree).toPoint())),
                 qPrintable(QString::number(degree)));
    // The gap between the scale's ends lies at the bottom.
    for (double degree : {-60.0, 270.0, 240.0})
        QVERIFY2(!isPainted(image.pixelColor(DialGeometry::pointAt(centre, 120, degree).toPoint())),
                 qPrintable(QString::number(degree)));
}

void TestGauge::ticksAtBothEndsOfTheScale()
{
    DialWidget dial;
    dial.resize(400, 300);
    DialDegreesItem* degrees = dial.addDegrees(90); // radius 135, ticks from 131 to 117.5
    QVERIFY(degrees->setValueRange(0, 1));
    QVERIFY(degrees->setStep(0.1f));
    const QImage image = render(dial);
    const QPointF centre(199, 149);
    for (double degree : {-45.0, 90.0, 225.0})
        QVERIFY(isPainted(image.pixelColor(DialGeometry::pointAt(centre, 124, degree).toPoint())));
    // Between two ticks, and beyond the last one, nothing.
    QVERIFY(!isPainted(image.pixelColor(DialGeometry::pointAt(centre, 124, 76.5).toPoint())));
    QVERIFY(!isPainted(image.pixelColor(DialGeometry::pointAt(centre, 124, 240).toPoint())));
}

void TestGauge::numbersAndLabelStandOnTheirCircles()
{
    DialWidget dial;
    dial.resize(400, 300);
    DialValuesItem* values = dial.addValues(70);
    QVERIFY(values->setValueRange(0, 100));
    QVERIFY(values->setStep(50));
    DialLabelItem* label = dial.addLabel(50);
    label->setText(QStringLiteral("mm"));
    const QImage image = render(dial);
    const QPointF centre(199, 149);
    // "50" straight above the centre at 70 %, "0" and "100" at the lower ends; the label below
    // the centre at 50 %.
    QVERIFY(paintedNear(image, DialGeometry::pointAt(centre, 105, 90), 4));
    QVERIFY(paintedNear(image, DialGeometry::pointAt(centre, 105, -45), 4));
    QVERIFY(paintedNear(image, DialGeometry::pointAt(centre, 105, 225), 4));
    QVERIFY(paintedNear(image, DialGeometry::pointAt(centre, 75, 270), 4));
    QVERIFY(!paintedNear(image, centre, 10));
    QVERIFY(!paintedNear(image, DialGeometry::pointAt(centre, 105, 0), 4));
}

void TestGauge::removedAndDestroyedItemsLeaveTheList()
{
    DialWidget dial;
    dial.resize(300, 300);
    DialArcItem* arc = dial.addArc(80);
    DialDegreesItem* degrees = dial.addDegrees(65);
    DialNeedleItem* needle = dial.addNeedle(60);
    DialLabelItem* label = dial.addLabel(40);
    needle->setLabel(label);

    QVERIFY(dial.removeItem(degrees));
    QVERIFY(!dial.removeItem(degrees));
    delete degrees;
    // Destroyed while still listed: the gauge forgets it, the needle drops its label.
    delete label;
    QCOMPARE(dial.items(), (QList<DialItem*>{arc, needle}));
    QVERIFY(!needle->label());
    needle->setCurrentValue(20);
    render(dial);
}

VENTARO_TEST_MAIN(TestGauge)
#include "test_gauge.moc"
