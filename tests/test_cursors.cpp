#include "analysis/CursorMath.h"
#include "model/Model.h"
#include "tests/common/TestMain.h"
#include "view/CursorTableModel.h"
#include "view/CursorTableWindow.h"
#include "view/TabOszilloscope.h"
#include "widgets/OsziWidget.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cmath>
#include <limits>

using Q = CursorMath::Quantity;
Q_DECLARE_METATYPE(CursorMath::Quantity)

namespace {

const double noValue = std::numeric_limits<double>::quiet_NaN();

// A ramp from 0 to 40 over the first five samples, then a step to 100; 10 ms apart.
const QVector<double> rampAndStep = {0, 10, 20, 30, 40, 100, 100, 100, 100, 100};
const double period = 10.0;
// Raised by the sensor's offset, every figure below includes it.
const double offset = 1.0;

bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::abs(a - b) <= 1e-9 * qMax(1.0, std::abs(b));
}

void addShot(Model& model, const QVector<double>& samples)
{
    model.blockSignals(true);
    model.addMeasurement();
    const int index = model.numChannels(0) - 1;
    for (int k = 0; k < Model::numSensors; ++k)
        *model.measurement(k, index) = samples;
    model.blockSignals(false);
    emit model.dataChanged();
}

} // namespace

class TestCursors : public QObject
{
    Q_OBJECT

private slots:
    void figuresOfRampAndStep_data();
    void figuresOfRampAndStep();
    void tableSummarizesAndFollowsShots();
    void draggingACursorMovesItOnThePage_data();
    void draggingACursorMovesItOnThePage();
};

void TestCursors::figuresOfRampAndStep_data()
{
    QTest::addColumn<double>("aMs");
    QTest::addColumn<double>("bMs");
    QTest::addColumn<Q>("quantity");
    QTest::addColumn<double>("expected");

    QTest::newRow("value on a sample") << 20.0 << 30.0 << Q::ValueA << 21.0;
    QTest::newRow("value interpolated") << 15.0 << 30.0 << Q::ValueA << 16.0;
    QTest::newRow("value across the step") << 15.0 << 45.0 << Q::ValueB << 71.0;
    QTest::newRow("value on the last sample") << 15.0 << 90.0 << Q::ValueB << 101.0;
    QTest::newRow("difference") << 15.0 << 45.0 << Q::Difference << 55.0;
    QTest::newRow("difference swapped keeps its sign") << 45.0 << 15.0 << Q::Difference << -55.0;
    QTest::newRow("maximum of the samples") << 15.0 << 45.0 << Q::Maximum << 41.0;
    QTest::newRow("minimum, ends included") << 40.0 << 60.0 << Q::Minimum << 41.0;
    QTest::newRow("mean of the samples") << 15.0 << 45.0 << Q::Mean << 31.0;
    QTest::newRow("mean swapped") << 45.0 << 15.0 << Q::Mean << 31.0;
    QTest::newRow("area of the ramp") << 0.0 << 40.0 << Q::Area << 0.84;
    // 5 x 18.5 + 10 x 26 + 10 x 36 + 5 x 56 unit ms, with both interpolated ends.
    QTest::newRow("area with interpolated ends") << 15.0 << 45.0 << Q::Area << 0.9925;
    QTest::newRow("area swapped") << 45.0 << 15.0 << Q::Area << 0.9925;
    QTest::newRow("area between two samples") << 12.0 << 18.0 << Q::Area << 0.096;
    QTest::newRow("slope in unit per second") << 0.0 << 40.0 << Q::Slope << 1000.0;
    QTest::newRow("slope swapped") << 40.0 << 0.0 << Q::Slope << 1000.0;
    QTest::newRow("slope of A = B") << 20.0 << 20.0 << Q::Slope << noValue;
    QTest::newRow("no sample between") << 12.0 << 18.0 << Q::Maximum << noValue;
    QTest::newRow("B after the shot") << 15.0 << 95.0 << Q::ValueB << noValue;
    QTest::newRow("A before the shot") << -5.0 << 30.0 << Q::ValueA << noValue;
    QTest::newRow("maximum with B after the shot") << 15.0 << 95.0 << Q::Maximum << noValue;
    QTest::newRow("area with A before the shot") << -5.0 << 30.0 << Q::Area << noValue;
    QTest::newRow("difference with B after the shot") << 15.0 << 95.0 << Q::Difference << noValue;
}

void TestCursors::figuresOfRampAndStep()
{
    QFETCH(double, aMs);
    QFETCH(double, bMs);
    QFETCH(Q, quantity);
    QFETCH(double, expected);
    // The table's one-figure path and the full set must agree.
    const double one = CursorMath::quantity(rampAndStep, offset, quantity, aMs, bMs, period);
    const double all = CursorMath::figures(rampAndStep, offset, aMs, bMs, period).of(quantity);
    QVERIFY2(same(one, expected), qPrintable(QString::number(one, 'g', 17)));
    QVERIFY2(same(all, expected), qPrintable(QString::number(all, 'g', 17)));
}

void TestCursors::tableSummarizesAndFollowsShots()
{
    Model model;
    model.setClock(10);
    addShot(model, rampAndStep);
    addShot(model, {0, 20, 40, 60, 80});
    CursorTableWindow window(&model);
    QAbstractItemModelTester tester(window.tableModel(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    window.show();
    window.findChild<QComboBox*>(QStringLiteral("cursorQuantityComboBox"))
        ->setCurrentIndex(static_cast<int>(Q::ValueB));
    window.setCursors(std::make_pair(0.0, 40.0));
    CursorTableModel* table = window.tableModel();
    const auto cell = [table](int row) { return table->index(row, 1).data().toString(); };
    // Values at B of shots 1 and 2, then mean, standard deviation, minimum, maximum.
    QTRY_COMPARE(cell(0), QStringLiteral("40"));
    QCOMPARE(table->rowCount(), 2 + CursorTableModel::summaryRows);
    QCOMPARE(cell(1), QStringLiteral("80"));
    QCOMPARE(table->summary().mean, 60.0);
    QVERIFY(same(table->summary().standardDeviation, std::sqrt(800.0)));
    QCOMPARE(cell(4), QStringLiteral("40"));
    QCOMPARE(cell(5), QStringLiteral("80"));
    QCOMPARE(table->index(0, 0).data().toString(), QStringLiteral("1"));

    // A shot too short for B gets no value and counts in no figure.
    addShot(model, {5, 5});
    QTRY_COMPARE(table->rowCount(), 3 + CursorTableModel::summaryRows);
    QCOMPARE(cell(2), QStringLiteral("-"));
    QCOMPARE(table->summary().count, 2);
    QCOMPARE(table->toText().count(QLatin1Char('\n')), 1 + 3 + CursorTableModel::summaryRows);

    // Only the shots the oscilloscope shows, under their own numbers.
    window.setShownShots(QVector<int>{1});
    QTRY_COMPARE(table->rowCount(), 1 + CursorTableModel::summaryRows);
    QCOMPARE(table->data(table->index(0, CursorTableModel::ShotColumn)).toString(),
             QStringLiteral("2"));
    QCOMPARE(table->summary().count, 1);
    window.setShownShots(std::nullopt);
    QTRY_COMPARE(table->rowCount(), 3 + CursorTableModel::summaryRows);

    // CSV for other programs: a point as decimal mark whatever the language, no value empty;
    // a file that cannot be written is reported, not half written.
    QTemporaryDir dir;
    QVERIFY(!window.writeCsv(dir.filePath(QStringLiteral("missing/cursors.csv"))));
    const QString path = dir.filePath(QStringLiteral("cursors.csv"));
    QLocale::setDefault(QLocale(QLocale::German));
    QVERIFY(window.writeCsv(path));
    QLocale::setDefault(QLocale::c());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    QCOMPARE(lines.mid(1, 3), QStringList({"1,40", "2,80", "3,"}));
    // The standard deviation's row, whole: a decimal comma would split it.
    QCOMPARE(lines.at(5).section(QLatin1Char(','), 1).toDouble(), std::sqrt(800.0));
}

void TestCursors::draggingACursorMovesItOnThePage_data()
{
    QTest::addColumn<int>("grabbed"); // 0 A, 1 B, -1 beside both
    QTest::addColumn<int>("pressDx");
    QTest::newRow("A") << 0 << 0;
    QTest::newRow("B, grabbed a little beside the line") << 1 << OsziWidget::cursorGrabDistance - 1;
    QTest::newRow("beside both: the cursors stay") << -1 << 0;
}

void TestCursors::draggingACursorMovesItOnThePage()
{
    QFETCH(int, grabbed);
    QFETCH(int, pressDx);
    Model model;
    model.setClock(1);
    for (int i = 0; i < 3; ++i)
        addShot(model, QVector<double>(2000, 1.0 * i));
    TabOszilloscope page;
    page.setModel(&model);
    page.resize(1200, 700);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto* a = page.findChild<QDoubleSpinBox*>(QStringLiteral("cursorASpinBox"));
    auto* b = page.findChild<QDoubleSpinBox*>(QStringLiteral("cursorBSpinBox"));
    page.findChild<QPushButton*>(QStringLiteral("cursorButton"))->click();
    a->setValue(100);
    b->setValue(300);
    QCOMPARE(page.cursors(), std::make_optional(std::make_pair(100.0, 300.0)));

    auto* plot = page.findChild<OsziWidget*>(QStringLiteral("osziWidget2"));
    QTRY_VERIFY(plot->isVisible() && plot->width() > 600);
    const OsziGeometry::Frame f = plot->frame();
    const double grabMs = grabbed == 1 ? 300.0 : grabbed == 0 ? 100.0 : 200.0;
    const int x = qRound(OsziGeometry::msToX(f, grabMs)) + pressDx;
    const int y = plot->height() / 2;
    QVERIFY(x > OsziGeometry::axisX && x + 40 < plot->width());
    QSignalSpy changed(&page, &TabOszilloscope::cursorsChanged);
    QTest::mousePress(plot, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    QMouseEvent move(QEvent::MouseMove, QPointF(x + 40, y), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(plot, &move);
    QTest::mouseRelease(plot, Qt::LeftButton, Qt::NoModifier, QPoint(x + 40, y));

    const double moved = OsziGeometry::xToMs(f, x + 40);
    const double expectedA = grabbed == 0 ? moved : 100.0;
    const double expectedB = grabbed == 1 ? moved : 300.0;
    QCOMPARE(a->value(), expectedA);
    QCOMPARE(b->value(), expectedB);
    QCOMPARE(changed.count(), grabbed < 0 ? 0 : 1);
    // Every plot shows the cursors where the boxes say.
    auto* other = page.findChild<OsziWidget*>(QStringLiteral("osziWidget1"));
    QCOMPARE(other->cursorA(), std::make_optional(expectedA));
    QCOMPARE(other->cursorB(), std::make_optional(expectedB));
}

VENTARO_TEST_MAIN(TestCursors)
#include "test_cursors.moc"
