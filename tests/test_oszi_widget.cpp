#include "bench/OsziBaseline.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TestMain.h"
#include "widgets/OsziGeometry.h"
#include "widgets/OsziWidget.h"
#include "widgets/flat/FlatScrollBar.h"
#include "widgets/flat/FlatStyle.h"
#include "widgets/flat/FlatTheme.h"

#include <QLabel>
#include <QSignalSpy>

#include <cmath>
#include <limits>

using namespace OsziGeometry;
using SampleList = OsziWidget::SampleList;

namespace {

QImage picture(QWidget& w)
{
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The first pixel where two pictures differ, or an empty text when they are equal.
QString firstDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return QStringLiteral("sizes differ");
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("(%1, %2): %3 vs %4")
                    .arg(x)
                    .arg(y)
                    .arg(a.pixelColor(x, y).name(), b.pixelColor(x, y).name());
        }
    }
    return QString();
}

int countColor(const QImage& image, const QColor& color, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixelColor(x, y) == color;
    }
    return n;
}

SampleList wave(int n, double amplitude, double phase)
{
    SampleList s;
    for (int i = 0; i < n; ++i)
        s.append(amplitude * std::sin(phase + i * 0.05) + 0.3 * i);
    return s;
}

// A plot with a fixed plot-area height of 260 pixels.
void sizeForPlotHeight(OsziWidget& w, int plotHeight, int width = 400)
{
    w.resize(width, plotHeight + 2 * w.textLineHeight());
}

} // namespace

class TestOsziWidget : public QObject
{
    Q_OBJECT

private slots:
    void valueGrid_data();
    void valueGrid();
    void clockGrid_data();
    void clockGrid();
    void timeLabel_data();
    void timeLabel();
    void timeLabelsNeverCollide();
    void zoom20At50msNoLongerRunsLabelsTogether();
    void fixedGridLeavesOutLabelsThatWouldCollide();
    void labelCutAtTheRightEdgeIsLeftOut();
    void clockGridInUseIsAnnounced();
    void clockText();
    void valueToYStaysFinite();
    void newWidgetDrawsAxesAndGrids();
    void rangeSettersRefuse();
    void zoomTruncates();
    void timeGridSignalOnce();
    void valueGridSignalEveryStep();
    void zeroAlignmentKeepsShortCurves();
    void readOut();
    void lastSampleIndex();
    void markers();
    void slotIndicesOutOfRangeAreIgnored();
    void samePixelsAsStraightforwardDrawing_data();
    void samePixelsAsStraightforwardDrawing();
    void appendedSamplesAppearWithoutNewCurves();
    void degenerateSettingsStillDrawFinitely();
    void flatScrollBarTakesThemeColours();
};

void TestOsziWidget::valueGrid_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<int>("plotHeight");
    QTest::addColumn<double>("grid");
    QTest::addColumn<bool>("stepped");
    QTest::newRow("0 to 255") << 0.0 << 255.0 << 260 << 50.0 << true;
    QTest::newRow("-100000 to 100000") << -100000.0 << 100000.0 << 260 << 20000.0 << true;
    QTest::newRow("0 to 1") << 0.0 << 1.0 << 260 << 0.1 << true;
    QTest::newRow("0 to 0.001") << 0.0 << 0.001 << 260 << 0.0005 << true;
    QTest::newRow("no step") << 0.0 << 50000.0 << 130 << 10000.0 << false;
    // Degenerate inputs keep the start value instead of doubling forever.
    QTest::newRow("no height") << 0.0 << 255.0 << 0 << 10000.0 << false;
    QTest::newRow("negative height") << 0.0 << 255.0 << -20 << 10000.0 << false;
    QTest::newRow("inverted") << 10.0 << 0.0 << 260 << 10000.0 << false;
    QTest::newRow("empty range") << 5.0 << 5.0 << 260 << 10000.0 << false;
}

void TestOsziWidget::valueGrid()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(int, plotHeight);
    QFETCH(double, grid);
    QFETCH(bool, stepped);
    bool didStep = !stepped;
    QCOMPARE(autoValueGrid(min, max, plotHeight, &didStep), grid);
    QCOMPARE(didStep, stepped);
}

void TestOsziWidget::clockGrid_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("clock");
    QTest::addColumn<int>("grid");
    QTest::newRow("1000 ms at 10 ms, zoom 2") << 1000 << 2 << 10 << 500;
    QTest::newRow("stays") << 100 << 1 << 1 << 100;
    QTest::newRow("odd and too dense stops") << 1001 << 1 << 1 << 1001;
    QTest::newRow("doubles") << 10 << 1 << 1 << 80;
    QTest::newRow("huge clock stays finite") << 1 << 1 << 2000000000 << 1073741824;
}

void TestOsziWidget::clockGrid()
{
    QFETCH(int, start);
    QFETCH(int, zoom);
    QFETCH(int, clock);
    QFETCH(int, grid);
    QCOMPARE(autoClockGrid(start, zoom, clock), grid);
}

void TestOsziWidget::timeLabel_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("text");
    QTest::newRow("500") << qint64(500) << "500ms";
    QTest::newRow("1000") << qint64(1000) << "1000ms";
    QTest::newRow("1500") << qint64(1500) << "1.5s";
    QTest::newRow("2000") << qint64(2000) << "2s";
    QTest::newRow("10000") << qint64(10000) << "10s";
    QTest::newRow("1000000") << qint64(1000000) << "1000s";
    QTest::newRow("1500000") << qint64(1500000) << "1.5Ts";
    QTest::newRow("1234567") << qint64(1234567) << "1.234567Ts";
}

void TestOsziWidget::timeLabel()
{
    QFETCH(qint64, ms);
    QFETCH(QString, text);
    QCOMPARE(OsziGeometry::timeLabel(ms), text);
}

namespace {

// The plot's labels as the application writes them: Roboto at 18 pixels.
TextWidth plotTextWidth()
{
    QFont font(QStringLiteral("Roboto"));
    font.setPixelSize(18);
    const QFontMetrics metrics(font);
    return [metrics](const QString& text) { return metrics.horizontalAdvance(text); };
}

// The left and right ends of each written label, from the plot's columns.
QVector<QPair<int, int>> labelExtents(const Frame& f, int clockGrid, const TextWidth& width)
{
    QVector<QPair<int, int>> extents;
    for (const TimeTick& tick : timeTicks(f, clockGrid, width)) {
        if (!tick.labelled())
            continue;
        const int left = axisX + tick.offset - timeLabelLead;
        extents.append({left, left + width(timeLabel(tick.ms))});
    }
    return extents;
}

} // namespace

void TestOsziWidget::timeLabelsNeverCollide()
{
    const TextWidth width = plotTextWidth();
    const QList<int> clocks = {5, 10, 20, 25, 50, 100, 200, 250, 500, 1000};
    // Plots of a small and a full-HD screen, at the start and scrolled into a long shot.
    const QList<int> widths = {700, 1330};
    const QList<int> starts = {0, 987, 123456};
    for (int zoom = 1; zoom <= 20; ++zoom) {
        for (int clock : clocks) {
            for (int cw : widths) {
                for (int start : starts) {
                    Frame f;
                    f.height = 200;
                    f.textHeight = 23;
                    f.contentsWidth = cw;
                    f.zoom = zoom;
                    f.clock = clock;
                    f.startIndex = start;
                    const int grid =
                        readableClockGrid(f, autoClockGrid(100 * clock, zoom, clock), width);
                    const QString where = QStringLiteral("zoom %1, %2 ms, width %3, start %4")
                                              .arg(zoom)
                                              .arg(clock)
                                              .arg(cw)
                                              .arg(start);
                    const auto extents = labelExtents(f, grid, width);
                    QVERIFY2(extents.size() >= 2, qPrintable(where));
                    for (int i = 1; i < extents.size(); ++i)
                        QVERIFY2(extents.at(i).first > extents.at(i - 1).second, qPrintable(where));
                    // Every grid line whose label fits the plot carries it.
                    for (const TimeTick& tick : timeTicks(f, grid, width)) {
                        const int right = axisX + tick.offset - timeLabelLead +
                                          width(OsziGeometry::timeLabel(tick.ms));
                        QVERIFY2(tick.labelled() || right > cw + 1, qPrintable(where));
                    }
                    // The next repaint starts from this grid and keeps it.
                    QCOMPARE(readableClockGrid(f, autoClockGrid(grid, zoom, clock), width), grid);
                }
            }
        }
    }
}

void TestOsziWidget::zoom20At50msNoLongerRunsLabelsTogether()
{
    // 875ms, 1000ms and 1.125s stood 50 pixels apart and ran into each other.
    Frame f;
    f.contentsWidth = 1330;
    f.zoom = 20;
    f.clock = 50;
    QCOMPARE(autoClockGrid(5000, 20, 50), 125);
    QCOMPARE(readableClockGrid(f, 125, plotTextWidth()), 250);
}

void TestOsziWidget::fixedGridLeavesOutLabelsThatWouldCollide()
{
    // A fixed grid of 10 ms at 10 ms and zoom 1: a line every pixel.
    Frame f;
    f.contentsWidth = 600;
    f.clock = 10;
    const TextWidth width = plotTextWidth();
    const QVector<TimeTick> ticks = timeTicks(f, 10, width);
    QCOMPARE(ticks.size(), 600);
    const auto extents = labelExtents(f, 10, width);
    QVERIFY(extents.size() > 5 && extents.size() < 60);
    for (int i = 1; i < extents.size(); ++i)
        QVERIFY(extents.at(i).first >= extents.at(i - 1).second + timeLabelGap);
}

void TestOsziWidget::labelCutAtTheRightEdgeIsLeftOut()
{
    Frame f;
    f.contentsWidth = 400;
    f.clock = 100;
    const TextWidth width = plotTextWidth();
    // Lines at 70 + 100 * k for 10 s steps: the one at 370 has no room for "40s".
    const QVector<TimeTick> ticks = timeTicks(f, 10000, width);
    QCOMPARE(ticks.size(), 4);
    QCOMPARE(ticks.at(2).offset, 300);
    QVERIFY(ticks.at(2).labelled());
    QVERIFY(ticks.at(3).clear);
    QVERIFY(!ticks.at(3).inside);
    for (const auto& extent : labelExtents(f, 10000, width))
        QVERIFY(extent.second <= f.contentsWidth + 1);
}

void TestOsziWidget::clockGridInUseIsAnnounced()
{
    OsziWidget w;
    w.setFont([] {
        QFont font(QStringLiteral("Roboto"));
        font.setPixelSize(18);
        return font;
    }());
    sizeForPlotHeight(w, 200, 1400);
    w.setClock(50);
    w.setZoom(20);
    QSignalSpy spy(&w, &OsziWidget::clockGridChanged);
    w.setClockGrid(5000);
    picture(w);
    QCOMPARE(w.currentClockGrid(), 250);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 250);
    // A new start that leads back to the step in use says nothing new...
    w.setClockGrid(5000);
    picture(w);
    QCOMPARE(spy.count(), 1);
    // ... but one that is itself the answer is announced, though the plot kept it.
    w.setZoom(1);
    w.setClockGrid(5000);
    picture(w);
    QCOMPARE(w.currentClockGrid(), 5000);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), 5000);
}

void TestOsziWidget::clockText()
{
    QCOMPARE(OsziGeometry::clockText(1500), QStringLiteral("1s"));
    QCOMPARE(OsziGeometry::clockText(100), QStringLiteral("100ms"));
    QCOMPARE(OsziGeometry::clockText(1000), QStringLiteral("1000ms"));
    QCOMPARE(OsziGeometry::clockText(2999), QStringLiteral("2s"));
}

void TestOsziWidget::valueToYStaysFinite()
{
    Frame f;
    f.height = 300;
    f.textHeight = 20;
    f.minValue = 0;
    f.maxValue = 255;
    QCOMPARE(valueToY(f, 0), 280);
    QCOMPARE(valueToY(f, 255), 20);
    QCOMPARE(valueToY(f, 127.5), 150);
    const int huge = valueToY(f, 1e300);
    const int nan = valueToY(f, std::numeric_limits<double>::quiet_NaN());
    QVERIFY(huge < -100000);
    QVERIFY(nan > 100000);
    QVERIFY(valueToY(f, -std::numeric_limits<double>::infinity()) > 100000);
    f.zoom = 3;
    f.startIndex = 10;
    f.clock = 10;
    QCOMPARE(sampleToX(f, 12), 76);
    QCOMPARE(msToOffset(f, 1000), 270);
    // A marker far out with a large zoom must not overflow.
    f.zoom = 100;
    QVERIFY(msToOffset(f, 999999000) > 0);
}

void TestOsziWidget::newWidgetDrawsAxesAndGrids()
{
    OsziWidget w;
    QCOMPARE(w.valueRangeMin(), 0.0);
    QCOMPARE(w.valueRangeMax(), 255.0);
    QCOMPARE(w.currentValueGrid(), 50.0);
    QCOMPARE(w.currentClockGrid(), 100);
    QCOMPARE(w.zoomFactor(), 1);
    QCOMPARE(w.clockPeriod(), 1);
    QCOMPARE(w.highlightedCurve(), -1);
    QCOMPARE(w.highlightPenColor(), QColor(Qt::red));
    QVERIFY(w.textLineHeight() > 2);
    QVERIFY(w.cursorLine()->isHidden());
    QVERIFY(w.cursorValueLabel()->isHidden());
    QCOMPARE(w.cursorValueLabel()->text(), QStringLiteral("OOOOOOOOO"));

    sizeForPlotHeight(w, 260);
    const QImage image = picture(w);
    const Frame f = w.frame();
    QCOMPARE(w.currentValueGrid(), 50.0);
    QCOMPARE(w.currentClockGrid(), 100);
    const int th = w.textLineHeight();
    // The time axis at x 70, black from the top band to the bottom band.
    for (int y = th; y <= f.height - th; ++y)
        QCOMPARE(image.pixelColor(axisX, y), QColor(Qt::black));
    // The zero line is black, the grid lines at 50, 100 ... gray.
    QCOMPARE(image.pixelColor(200, valueToY(f, 0)), QColor(Qt::black));
    for (int v = 50; v <= 250; v += 50)
        QCOMPARE(image.pixelColor(200, valueToY(f, v)), QColor(Qt::gray));
    // Time grid lines every 100 ms at clock 1 and zoom 1: 100 pixels apart.
    QCOMPARE(image.pixelColor(axisX + 100, 100), QColor(Qt::gray));
    QCOMPARE(image.pixelColor(axisX + 200, 100), QColor(Qt::gray));
    QVERIFY(image.pixelColor(axisX + 150, 100) != QColor(Qt::gray));
}

void TestOsziWidget::rangeSettersRefuse()
{
    OsziWidget w;
    LogCapture log;
    w.setMinValue(300);
    QCOMPARE(w.valueRangeMin(), 0.0);
    QVERIFY(!log.contains(QStringLiteral("OK")));
    w.setMaxValue(0.00005);
    QCOMPARE(w.valueRangeMax(), 255.0);
    w.setMinValue(254.9999);
    QCOMPARE(w.valueRangeMin(), 0.0);
    w.setMinValue(-10);
    QCOMPARE(w.valueRangeMin(), -10.0);
    QVERIFY(log.contains(QStringLiteral("OK")));
    w.setMaxValue(-9.9);
    QCOMPARE(w.valueRangeMax(), -9.9);
    // The unchecked setter takes both.
    w.setValueRange(5, 6);
    QCOMPARE(w.valueRangeMin(), 5.0);
    QCOMPARE(w.valueRangeMax(), 6.0);
}

void TestOsziWidget::zoomTruncates()
{
    OsziWidget w;
    w.setZoom(2.7);
    QCOMPARE(w.zoomFactor(), 2);
    w.setZoom(0.5);
    QCOMPARE(w.zoomFactor(), 2);
    w.setZoom(0.0);
    QCOMPARE(w.zoomFactor(), 2);
    w.setZoom(std::numeric_limits<double>::quiet_NaN());
    QCOMPARE(w.zoomFactor(), 2);
    w.setZoom(0);
    QCOMPARE(w.zoomFactor(), 2);
    w.setZoom(5);
    QCOMPARE(w.zoomFactor(), 5);
    w.setClock(0);
    QCOMPARE(w.clockPeriod(), 1);
    w.setClock(10);
    w.setClockGrid(5);
    QCOMPARE(w.currentClockGrid(), 100);
    w.setClockGrid(30);
    QCOMPARE(w.currentClockGrid(), 30);
}

void TestOsziWidget::timeGridSignalOnce()
{
    OsziWidget w;
    sizeForPlotHeight(w, 260);
    w.setClock(10);
    w.setZoom(2);
    w.setClockGrid(1000);
    QSignalSpy spy(&w, &OsziWidget::clockGridChanged);
    picture(w);
    QCOMPARE(w.currentClockGrid(), 500);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 500);
    picture(w);
    QCOMPARE(spy.count(), 1);
    // Grid lines now 500 ms = 100 pixels apart.
    const QImage image = picture(w);
    QCOMPARE(image.pixelColor(axisX + 100, 100), QColor(Qt::gray));
    QVERIFY(image.pixelColor(axisX + 50, 100) != QColor(Qt::gray));
}

void TestOsziWidget::valueGridSignalEveryStep()
{
    OsziWidget w;
    sizeForPlotHeight(w, 260);
    w.setValueRange(-100000, 100000);
    QSignalSpy spy(&w, &OsziWidget::valueGridChanged);
    picture(w);
    picture(w);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toDouble(), 20000.0);
    QCOMPARE(w.currentValueGrid(), 20000.0);
    // A fixed grid stays as set.
    w.setValueGridAuto(false);
    w.setValueGrid(5000);
    picture(w);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(w.currentValueGrid(), 5000.0);
    w.setValueGrid(0);
    w.setValueGrid(-1);
    QCOMPARE(w.currentValueGrid(), 5000.0);
}

void TestOsziWidget::zeroAlignmentKeepsShortCurves()
{
    OsziWidget w;
    sizeForPlotHeight(w, 260);
    w.setClock(10);
    w.setOffset(20);
    const SampleList longCurve = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const SampleList shortCurve = {40, 41, 42};
    w.setCurve(0, &longCurve, Qt::black);
    w.setCurve(1, &shortCurve, Qt::blue);
    w.setChannelOffset(1, 7);
    w.setAutoChannelOffsets(50);
    QCOMPARE(w.channelOffset(0), -6.0);
    QCOMPARE(w.channelOffset(1), 7.0);
    w.setAutoChannelOffset(1, 29);
    QCOMPARE(w.channelOffset(1), -42.0);
    w.setAutoChannelOffset(1, -10);
    QCOMPARE(w.channelOffset(1), -42.0);
    // The aligned curve passes through the global offset at time 50 ms (sample 5).
    const QImage image = picture(w);
    const Frame f = w.frame();
    QCOMPARE(image.pixelColor(sampleToX(f, 5), valueToY(f, 20)), QColor(Qt::black));
    w.clearChannelOffsets();
    QCOMPARE(w.channelOffset(0), 0.0);
    QCOMPARE(w.channelOffset(1), 0.0);
}

void TestOsziWidget::readOut()
{
    OsziWidget w;
    sizeForPlotHeight(w, 260);
    w.setValueRange(0, 100);
    const SampleList samples = {10, 20, 30, 40.123456789};
    w.setCurve(3, &samples, Qt::black);
    w.setOffset(1);
    w.setChannelOffset(3, 2);

    // No highlighted curve: nothing happens.
    w.showMouseMarker(72);
    QVERIFY(w.cursorLine()->isHidden());

    w.highlightSingle(3);
    w.showMouseMarker(73);
    QVERIFY(!w.cursorLine()->isHidden());
    QVERIFY(!w.cursorValueLabel()->isHidden());
    const int y = valueToY(w.frame(), 43.123456789);
    QCOMPARE(w.cursorLine()->pos(), QPoint(73, y - 400));
    QCOMPARE(w.cursorValueLabel()->text(), QStringLiteral("43.1235"));
    QCOMPARE(w.cursorValueLabel()->pos().y() + w.cursorValueLabel()->height() - 1, y - 11);

    // With the highlight gone the labels keep their state.
    w.highlightSingle(-1);
    w.showMouseMarker(5);
    QVERIFY(!w.cursorLine()->isHidden());

    // Left of the axis far enough for a negative index, or past the end: hidden.
    w.highlightSingle(3);
    w.showMouseMarker(5);
    QVERIFY(w.cursorLine()->isHidden());
    QVERIFY(w.cursorValueLabel()->isHidden());
    w.showMouseMarker(71);
    QVERIFY(!w.cursorLine()->isHidden());
    w.showMouseMarker(74);
    QVERIFY(w.cursorLine()->isHidden());
    w.showMouseMarker(71);
    w.hideMouseMarker();
    QVERIFY(w.cursorLine()->isHidden());

    // Mouse events: press and move report x, release reports the release.
    QSignalSpy at(&w, &OsziWidget::mouseAtX);
    QSignalSpy released(&w, &OsziWidget::mouseReleased);
    QTest::mousePress(&w, Qt::RightButton, Qt::NoModifier, QPoint(120, 50));
    QTest::mouseRelease(&w, Qt::RightButton, Qt::NoModifier, QPoint(130, 50));
    QCOMPARE(at.count(), 1);
    QCOMPARE(at.at(0).at(0).toInt(), 120);
    QCOMPARE(released.count(), 1);
}

void TestOsziWidget::lastSampleIndex()
{
    const SampleList ten(10, 1.0);
    const SampleList nine(9, 1.0);
    const SampleList twenty(20, 1.0);
    OsziWidget a;
    QCOMPARE(a.lastSampleIndex(), -1);
    a.setCurve(0, &ten, Qt::black);
    a.setCurve(1, &nine, Qt::black);
    QCOMPARE(a.lastSampleIndex(), 9);
    OsziWidget b;
    b.setCurve(0, &nine, Qt::black);
    b.setCurve(1, &ten, Qt::black);
    b.setCurve(2, &twenty, Qt::black);
    b.setDisabled(2);
    QCOMPARE(b.lastSampleIndex(), 9);
    b.setAllEnabled(false);
    QCOMPARE(b.lastSampleIndex(), -1);
    b.setEnabled(2);
    QCOMPARE(b.lastSampleIndex(), 19);
    b.clearCurves();
    QCOMPARE(b.lastSampleIndex(), -1);
    QVERIFY(!b.isCurveEnabled(2));
}

void TestOsziWidget::markers()
{
    OsziWidget w;
    sizeForPlotHeight(w, 260, 600);
    w.setClock(10);
    w.setVerticalMarkerCount(4);
    const QColor marker(0x23, 0x72, 0xA4);
    for (int i = 0; i < 4; ++i)
        w.setVerticalMarker(i, 0, marker);
    w.setPhaseName(0, QStringLiteral("WZ"));
    const int th = w.textLineHeight();
    const QRect all(0, 0, w.width(), w.height());
    // Markers at 0 ms are not drawn, nor their names.
    QCOMPARE(countColor(picture(w), marker, all), 0);

    w.setVerticalMarker(0, 1000, marker);
    QImage image = picture(w);
    // 1000 ms at 10 ms per sample is column 170; the dashed line covers part of it.
    const int column = countColor(image, marker, QRect(axisX + 100, 0, 1, w.height() - th));
    QVERIFY2(column > (w.height() - th) / 3, qPrintable(QString::number(column)));
    QCOMPARE(countColor(image, marker, QRect(axisX + 103, 0, 1, w.height())), 0);
    // The name sits in the top band between the axis and the marker.
    QVERIFY(countColor(image, marker, QRect(axisX + 5, 0, 90, th)) > 0);

    // Scrolled so that the marker lies left of the axis: neither line nor name.
    w.setStartIndex(150);
    image = picture(w);
    QCOMPARE(countColor(image, marker, all), 0);

    LogCapture log;
    w.setVerticalMarker(4, 10, Qt::red);
    QVERIFY(log.contains(QStringLiteral(" ERROR: index out of range!")));
    w.setVerticalMarkerCount(2);
    QCOMPARE(w.verticalMarkerCount(), 2);
    QCOMPARE(w.phaseName(0), QStringLiteral("WZ"));
    w.setVerticalMarkerCount(3);
    QCOMPARE(w.verticalMarkerPosition(2), -1);
    QCOMPARE(w.phaseName(2), QString());
}

void TestOsziWidget::slotIndicesOutOfRangeAreIgnored()
{
    OsziWidget w;
    const SampleList s(5, 1.0);
    w.setCurve(10000, &s, Qt::black);
    w.setCurve(-1, &s, Qt::black);
    w.setEnabled(10000);
    w.setChannelOffset(10000, 3);
    w.setAutoChannelOffset(10000, 0);
    w.setPhaseName(0, QStringLiteral("x"));
    w.setVerticalMarker0(5);
    w.setHorizontalLine(0, 3);
    w.setHorizontalLineColor(0, Qt::red);
    QCOMPARE(w.lastSampleIndex(), -1);
    QCOMPARE(w.verticalMarkerCount(), 0);
    w.setCurve(9999, &s, Qt::black);
    QCOMPARE(w.lastSampleIndex(), 4);
    w.setHorizontalLineCount(2);
    w.setHorizontalLine(1, 3.5);
    w.setHorizontalLineColor(1, Qt::red);
    QCOMPARE(w.horizontalLineValue(1), 3.5);
    QCOMPARE(w.horizontalLineColor(1), QColor(Qt::red));
}

void TestOsziWidget::samePixelsAsStraightforwardDrawing_data()
{
    QTest::addColumn<int>("curves");
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("highlight");
    QTest::addColumn<bool>("extras");
    QTest::addColumn<double>("max");
    QTest::newRow("few curves") << 5 << 300 << 1 << 0 << -1 << false << 400.0;
    QTest::newRow("highlight with its last value") << 5 << 300 << 1 << 0 << 2 << false << 400.0;
    QTest::newRow("scrolled and zoomed") << 8 << 400 << 3 << 120 << 7 << true << 400.0;
    QTest::newRow("markers, lines, offsets") << 6 << 900 << 1 << 10 << 1 << true << 400.0;
    // Curves that leave the widget at the top and steps taller than the widget.
    QTest::newRow("beyond the range") << 6 << 900 << 1 << 0 << 2 << false << 60.0;
    QTest::newRow("steep steps") << 6 << 900 << 1 << 0 << 2 << false << -39.0;
    // Enough segments for the curves to be split across two threads.
    QTest::newRow("many curves") << 260 << 1000 << 1 << 0 << 100 << true << 400.0;
}

void TestOsziWidget::samePixelsAsStraightforwardDrawing()
{
    QFETCH(int, curves);
    QFETCH(int, samples);
    QFETCH(int, zoom);
    QFETCH(int, start);
    QFETCH(int, highlight);
    QFETCH(bool, extras);
    QFETCH(double, max);
    QVector<SampleList> data;
    for (int i = 0; i < curves; ++i)
        data.append(wave(samples - i % 7, 20 + i % 13, i * 0.3));
    OsziWidget widget;
    OsziBaseline baseline;
    for (OsziWidget* w : {&widget, static_cast<OsziWidget*>(&baseline)}) {
        w->resize(900, 300);
        w->setValueRange(-40, max);
        w->setClock(10);
        w->setZoom(zoom);
        w->setStartIndex(start);
        for (int i = 0; i < curves; ++i)
            w->setCurve(i, &data[i], QColor::fromHsv((i * 37) % 360, 255, 150));
        w->highlightSingle(highlight);
        w->setHighlightColor(Qt::darkRed);
        if (extras) {
            w->setOffset(12.5);
            w->setChannelOffset(1, -30);
            w->setDisabled(3);
            w->setVerticalMarkerCount(4);
            w->setVerticalMarker(0, 1500, Qt::blue);
            w->setVerticalMarker(1, 3000, Qt::blue);
            w->setVerticalMarker(2, 4200, Qt::blue);
            w->setVerticalMarker(3, 6000, Qt::blue);
            for (int i = 0; i < 4; ++i)
                w->setPhaseName(i, QStringLiteral("Phase %1").arg(i));
            w->setHorizontalLineCount(2);
            w->setHorizontalLine(0, 100);
            w->setHorizontalLine(1, 250);
            w->setHorizontalLineColor(1, Qt::green);
        }
    }
    const QString difference = firstDifference(picture(widget), picture(baseline));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestOsziWidget::appendedSamplesAppearWithoutNewCurves()
{
    SampleList growing = wave(100, 30, 0);
    SampleList other = wave(50, 30, 1);
    OsziWidget widget;
    OsziBaseline baseline;
    for (OsziWidget* w : {&widget, static_cast<OsziWidget*>(&baseline)}) {
        w->resize(700, 250);
        w->setValueRange(-50, 300);
        w->setCurve(0, &other, Qt::black);
        w->setCurve(1, &growing, Qt::black);
        w->highlightSingle(1);
    }
    picture(widget);
    // Grows the highlighted curve, then the one in the cached layer, then both past the
    // right edge; after each step the widget must show what a fresh drawing shows.
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 90; ++i)
            growing.append(30 * std::sin(growing.size() * 0.05) + 0.3 * growing.size());
        if (round > 0) {
            for (int i = 0; i < 400; ++i)
                other.append(other.last() + 0.2);
        }
        const QString difference = firstDifference(picture(widget), picture(baseline));
        QVERIFY2(difference.isEmpty(), qPrintable(QString::number(round) + ": " + difference));
    }
    // A different highlight puts the growing curve into the cached layer.
    widget.highlightSingle(0);
    baseline.highlightSingle(0);
    picture(widget);
    growing.append(250);
    const QString difference = firstDifference(picture(widget), picture(baseline));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestOsziWidget::degenerateSettingsStillDrawFinitely()
{
    OsziWidget w;
    w.resize(300, 200);
    // A fixed grid far finer than a pixel: only the zero line of the value grid is drawn.
    w.setValueRange(-100000, 100000);
    w.setValueGridAuto(false);
    w.setValueGrid(0.01);
    QImage image = picture(w);
    const Frame f = w.frame();
    QCOMPARE(image.pixelColor(150, valueToY(f, 0)), QColor(Qt::black));
    QCOMPARE(countColor(image, Qt::gray, QRect(axisX + 1, 0, 20, w.height())), 0);

    // A clock above the fixed time grid gives a grid step of zero pixels: no time grid.
    w.setClockGridAuto(false);
    w.setClockGrid(100);
    w.setClock(1000);
    image = picture(w);
    QCOMPARE(countColor(image, Qt::gray, QRect(axisX + 1, 0, w.width() - axisX - 2, 150)), 0);

    // A plot lower than its two label bands, and an inverted range.
    w.setValueGridAuto(true);
    w.resize(300, 10);
    image = picture(w);
    QCOMPARE(image.height(), 10);
    w.resize(300, 200);
    w.setValueRange(10, -10);
    image = picture(w);
    QCOMPARE(w.currentValueGrid(), 10000.0);
}

void TestOsziWidget::flatScrollBarTakesThemeColours()
{
    const QColor handle(0x12, 0x9A, 0x3C);
    auto* theme = new FlatTheme;
    theme->setColor(QStringLiteral("primary1"), handle);
    FlatStyle::instance().setTheme(theme);
    FlatScrollBar bar;
    QCOMPARE(bar.orientation(), Qt::Horizontal);
    bar.setRange(0, 100);
    bar.setPageStep(100);
    bar.setValue(0);
    bar.resize(400, 30);
    const QImage image = picture(bar);
    // The handle covers half the track between the two step buttons.
    const int handlePixels = countColor(image, handle, image.rect());
    QVERIFY2(handlePixels > 100 * 20, qPrintable(QString::number(handlePixels)));
    bar.setValue(100);
    QCOMPARE(countColor(picture(bar), handle, QRect(0, 0, 200, 30)), 0);
    FlatStyle::instance().setTheme(new FlatTheme);
}

VENTARO_TEST_MAIN(TestOsziWidget)

#include "test_oszi_widget.moc"
