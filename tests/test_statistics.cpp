#include "app/Constants.h"
#include "charts/BoxWhiskersPainter.h"
#include "charts/FiveNumberSummary.h"
#include "tests/common/TestMain.h"
#include "widgets/BoxWhiskersWidget.h"

#include <QImage>

namespace {

QImage rendered(BoxWhiskersWidget& chart)
{
    QImage image(chart.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    chart.render(&image);
    return image;
}

bool isBlack(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y) == QColor(Qt::black);
}

} // namespace

class TestStatistics : public QObject
{
    Q_OBJECT

private slots:
    void summary_data();
    void summary();
    void pixelOffsetTruncatesAndRefusesEmptyRange();
    void setSortsAndPresortedDoesNot();
    void chartDefaults();
    void horizontalPositions();
    void horizontalMinimumBelowRangeStartsAtEdge();
    void horizontalLabelsClearOfEachOther_data();
    void horizontalLabelsClearOfEachOther();
    void verticalPositions();
    void emptyRangeDrawsFrameOnly_data();
    void emptyRangeDrawsFrameOnly();
};

void TestStatistics::summary_data()
{
    QTest::addColumn<QList<double>>("sorted");
    QTest::addColumn<QList<double>>("expected"); // min, Q1, median, Q3, max
    QTest::newRow("empty") << QList<double>{} << QList<double>{0, 0, 0, 0, 0};
    QTest::newRow("one") << QList<double>{7.5} << QList<double>{7.5, 7.5, 7.5, 7.5, 7.5};
    QTest::newRow("two") << QList<double>{1, 4} << QList<double>{1, 1, 2.5, 4, 4};
    QTest::newRow("four") << QList<double>{1, 2, 3, 4} << QList<double>{1, 2, 2.5, 4, 4};
    QTest::newRow("five") << QList<double>{1, 2, 3, 4, 9} << QList<double>{1, 2, 3, 4, 9};
    QTest::newRow("seven") << QList<double>{-3, -1, 0, 2, 5, 8, 13}
                           << QList<double>{-3, -1, 2, 8, 13};
}

void TestStatistics::summary()
{
    QFETCH(QList<double>, sorted);
    QFETCH(QList<double>, expected);
    const FiveNumberSummary f = FiveNumberSummary::ofSorted(sorted);
    QCOMPARE((QList<double>{f.minimum, f.lowerQuartile, f.median, f.upperQuartile, f.maximum}),
             expected);
}

void TestStatistics::pixelOffsetTruncatesAndRefusesEmptyRange()
{
    bool ok = false;
    QCOMPARE(BoxWhiskersWidget::pixelOffset(2.5, 0, 10, 359, &ok), 89); // 89.75
    QVERIFY(ok);
    QCOMPARE(BoxWhiskersWidget::pixelOffset(-0.05, 0, 10, 100), 0); // -0.5 toward zero
    QCOMPARE(BoxWhiskersWidget::pixelOffset(-1, 0, 10, 100), -10);
    QCOMPARE(BoxWhiskersWidget::pixelOffset(3, 0, 0, 100, &ok), 0);
    QVERIFY(!ok);
    QCOMPARE(BoxWhiskersWidget::pixelOffset(1e300, 0, 1, 100, &ok), 10000000);
}

void TestStatistics::setSortsAndPresortedDoesNot()
{
    BoxWhiskersWidget chart;
    chart.set({3, 1, 2});
    QCOMPARE(chart.values(), (QList<double>{1, 2, 3}));
    chart.setPresorted({3, 1, 2});
    QCOMPARE(chart.values(), (QList<double>{3, 1, 2}));
}

void TestStatistics::chartDefaults()
{
    BoxWhiskersWidget chart;
    QCOMPARE(chart.size(), QSize(400, 300));
    QCOMPARE(chart.sizePolicy().horizontalPolicy(), QSizePolicy::Preferred);
    QCOMPARE(chart.sizePolicy().verticalPolicy(), QSizePolicy::Preferred);
    QVERIFY(chart.values().isEmpty());
    QCOMPARE(chart.rangeMin(), 0.0);
    QCOMPARE(chart.rangeMax(), 100.0);
    QCOMPARE((QList<int>{chart.marginLeft(), chart.marginRight(), chart.marginTop(),
                         chart.marginBottom()}),
             (QList<int>{30, 10, 10, 20}));
    QCOMPARE(chart.color(), QColor(Qt::black));
    QVERIFY(!chart.isVertical());
    chart.setMargins(1, 2, 3, 4);
    QCOMPARE((QList<int>{chart.marginLeft(), chart.marginRight(), chart.marginTop(),
                         chart.marginBottom()}),
             (QList<int>{1, 2, 3, 4}));
}

void TestStatistics::horizontalPositions()
{
    BoxWhiskersWidget chart;
    chart.resize(400, 300);
    chart.setRange(0, 10);
    chart.setColor(Qt::green);
    chart.set({9, 3, 1, 4, 2});
    const QImage image = rendered(chart);
    // span 360: median 3 at 30 + 108, box from 30 + 72 to 30 + 144 - 1, maximum at 30 + 324.
    QVERIFY(isBlack(image, 138, 60));
    QCOMPARE(image.pixelColor(141, 60), QColor(Qt::green));
    QCOMPARE(image.pixelColor(135, 60), QColor(Qt::green));
    QVERIFY(isBlack(image, 354, 20));
    QVERIFY(!isBlack(image, 357, 20));
    QVERIFY(!isBlack(image, 354, 11));
    // Whisker line at 10 + (300 - 20 - 1 - 10) / 2 = 144 between the two whisker ends.
    QVERIFY(isBlack(image, 300, 144));
    QVERIFY(!isBlack(image, 300, 148));
    QCOMPARE(image.pixelColor(40, 100), qColorGrayEEE);
}

void TestStatistics::horizontalMinimumBelowRangeStartsAtEdge()
{
    BoxWhiskersWidget chart;
    chart.resize(400, 300);
    chart.setRange(0, 10);
    chart.setColor(Qt::green);
    chart.set({-5, 6, 7, 8, 9});
    const QImage image = rendered(chart);
    // No left whisker end anywhere; the whisker line starts at the plot's left edge.
    QVERIFY(isBlack(image, 30, 144));
    QVERIFY(isBlack(image, 100, 144));
    for (int x = 0; x < 200; ++x)
        QVERIFY2(!isBlack(image, x, 30), qPrintable(QString::number(x)));
}

void TestStatistics::horizontalLabelsClearOfEachOther_data()
{
    // Lines of minimum, median and maximum, the labels 20 px wide; whether minimum and
    // maximum read as the median; where the three are written (-1: left out).
    QTest::addColumn<QVector<int>>("lines");
    QTest::addColumn<bool>("sameTexts");
    QTest::addColumn<QVector<int>>("places");
    QTest::newRow("apart: 20 px left of each line")
        << QVector<int>{50, 150, 250} << false << QVector<int>{30, 130, 230};
    QTest::newRow("close: moved apart, 4 px between")
        << QVector<int>{140, 150, 160} << false << QVector<int>{106, 130, 154};
    QTest::newRow("one value: written once")
        << QVector<int>{150, 150, 150} << true << QVector<int>{-1, 130, -1};
}

void TestStatistics::horizontalLabelsClearOfEachOther()
{
    QFETCH(QVector<int>, lines);
    QFETCH(bool, sameTexts);
    QFETCH(QVector<int>, places);
    const BoxWhiskersPainter::LabelPlaces p = BoxWhiskersPainter::placeLabels(
        {lines[0], 20, sameTexts}, {lines[1], 20, true}, {lines[2], 20, sameTexts});
    const QVector<int> found{p.minimumShown ? p.minimumX : -1, p.medianX,
                             p.maximumShown ? p.maximumX : -1};
    QCOMPARE(found, places);
}

void TestStatistics::verticalPositions()
{
    BoxWhiskersWidget chart;
    chart.resize(100, 300);
    chart.setVertical(true);
    chart.setMargins(20, 50, 5, 5);
    chart.setRange(0, 10);
    chart.setColor(Qt::green);
    chart.set({1, 2, 3, 4, 9});
    const QImage image = rendered(chart);
    // base 294, span 290: median 3 at 294 - 87, box rows 294 - 116 - 1 to 294 - 58,
    // maximum at 294 - 261.
    QVERIFY(isBlack(image, 30, 207));
    QCOMPARE(image.pixelColor(30, 210), QColor(Qt::green));
    QCOMPARE(image.pixelColor(30, 203), QColor(Qt::green));
    QVERIFY(isBlack(image, 30, 33));
    QVERIFY(!isBlack(image, 30, 29));
    QVERIFY(!isBlack(image, 30, 36));
    // Whisker line in column 20 + (100 - 50 - 1 - 20) / 2 = 34.
    QVERIFY(isBlack(image, 34, 100));
    QVERIFY(!isBlack(image, 38, 100));
}

void TestStatistics::emptyRangeDrawsFrameOnly_data()
{
    QTest::addColumn<bool>("vertical");
    QTest::newRow("horizontal") << false;
    QTest::newRow("vertical") << true;
}

void TestStatistics::emptyRangeDrawsFrameOnly()
{
    QFETCH(bool, vertical);
    BoxWhiskersWidget chart;
    chart.resize(200, 200);
    chart.setVertical(vertical);
    chart.setRange(0, 0);
    chart.set({});
    const QImage image = rendered(chart);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            QVERIFY(!isBlack(image, x, y));
    }
    QCOMPARE(image.pixelColor(100, 100), qColorGrayEEE);
}

VENTARO_TEST_MAIN(TestStatistics)
#include "test_statistics.moc"
