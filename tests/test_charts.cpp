#include "charts/ColumnEnvelope.h"
#include "charts/CurvePlot.h"
#include "tests/common/TestMain.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
using Curves = QVector<QVector<double>>;

// Equal where both are NaN, unlike QCOMPARE on the vectors.
bool sameColumns(const QVector<double>& a, const QVector<double>& b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (!(a.at(i) == b.at(i) || (std::isnan(a.at(i)) && std::isnan(b.at(i)))))
            return false;
    }
    return true;
}

QVector<const QVector<double>*> pointers(const Curves& curves)
{
    QVector<const QVector<double>*> result;
    for (const QVector<double>& c : curves)
        result.append(&c);
    return result;
}

CurvePlotAxes plotAxes()
{
    CurvePlotAxes axes;
    axes.fromMs = 0.0;
    axes.toMs = 1000.0;
    axes.valueMin = -6.0;
    axes.valueMax = 6.0;
    axes.title = QStringLiteral("Sensor 1");
    axes.unit = QStringLiteral("mm");
    return axes;
}

// Ten columns between a curve at 0 and one at 1, and a line along a curve at -4.
void paintPlot(QPainter& painter, const CurvePlot& plot)
{
    static const Curves band{QVector<double>(1001, 0.0), QVector<double>(1001, 1.0)};
    static const Curves line{QVector<double>(1001, -4.0)};
    plot.paintFrame(painter);
    plot.paintArea(painter, ColumnEnvelope::of(pointers(band), 0.0, 1.0, 0.0, 1000.0, 10),
                   Qt::blue);
    plot.paintLine(painter, ColumnEnvelope::of(pointers(line), 0.0, 1.0, 0.0, 1000.0, 10), Qt::red,
                   2.0);
    plot.paintMarkers(painter, {300.0, 700.0}, {"A", "B", "C"}, Qt::darkGreen);
}

} // namespace

class TestCharts : public QObject
{
    Q_OBJECT

private slots:
    void envelopeColumns_data();
    void envelopeColumns();
    void plotPaintsAreaAndLineInTheirPlaces();
    void plotWritesAVectorPdf();
};

void TestCharts::envelopeColumns_data()
{
    QTest::addColumn<Curves>("curves");
    QTest::addColumn<double>("offset");
    QTest::addColumn<double>("clockMs");
    QTest::addColumn<double>("fromMs");
    QTest::addColumn<double>("toMs");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QVector<double>>("lower");
    QTest::addColumn<QVector<double>>("upper");

    // Columns of 2 ms: the sample at 2 ms starts the second, the one at toMs is in the last.
    QTest::newRow("sample on a column border")
        << Curves{{0, 1, 2, 3, 4, 5, 6, 7, 8}} << 0.0 << 1.0 << 0.0 << 8.0 << 4
        << QVector<double>{0, 2, 4, 6} << QVector<double>{1, 3, 5, 8};
    QTest::newRow("samples outside the time range")
        << Curves{{0, 10, 20, 30, 40, 50, 60, 70, 80, 90}} << 0.0 << 1.0 << 3.0 << 7.0 << 2
        << QVector<double>{30, 50} << QVector<double>{40, 70};
    QTest::newRow("range beyond the curve's end")
        << Curves{{5, 6}} << 0.0 << 1.0 << 1.0 << 100.0 << 3 << QVector<double>{6, NaN, NaN}
        << QVector<double>{6, NaN, NaN};
    QTest::newRow("samples that are not finite numbers")
        << Curves{{1, NaN, 5, -inf, inf, 2}} << 0.0 << 1.0 << 0.0 << 6.0 << 3
        << QVector<double>{1, 5, 2} << QVector<double>{1, 5, 2};
    QTest::newRow("offset applied") << Curves{{1, 2}} << -10.0 << 1.0 << 0.0 << 2.0 << 1
                                    << QVector<double>{-9} << QVector<double>{-8};
    QTest::newRow("columns with no samples")
        << Curves{{1, 2, 3, 4, 5}} << 0.0 << 10.0 << 0.0 << 40.0 << 8
        << QVector<double>{1, NaN, 2, NaN, 3, NaN, 4, 5}
        << QVector<double>{1, NaN, 2, NaN, 3, NaN, 4, 5};
    QTest::newRow("several curves of different lengths")
        << Curves{{1, 5, 3, 3}, {2, 0, 4, 6}, {9}, {}} << 0.0 << 1.0 << 0.0 << 4.0 << 2
        << QVector<double>{0, 3} << QVector<double>{9, 6};
    QTest::newRow("no curves") << Curves{} << 0.0 << 1.0 << 0.0 << 4.0 << 2
                               << QVector<double>{NaN, NaN} << QVector<double>{NaN, NaN};
}

void TestCharts::envelopeColumns()
{
    QFETCH(Curves, curves);
    QFETCH(double, offset);
    QFETCH(double, clockMs);
    QFETCH(double, fromMs);
    QFETCH(double, toMs);
    QFETCH(int, columns);
    QFETCH(QVector<double>, lower);
    QFETCH(QVector<double>, upper);
    const ColumnEnvelope e =
        ColumnEnvelope::of(pointers(curves), offset, clockMs, fromMs, toMs, columns);
    QVERIFY2(sameColumns(e.lower, lower), qPrintable(QTest::toString(e.lower)));
    QVERIFY2(sameColumns(e.upper, upper), qPrintable(QTest::toString(e.upper)));
    QCOMPARE(e.isEmpty(), std::isnan(lower.first()) && std::isnan(lower.last()));
}

void TestCharts::plotPaintsAreaAndLineInTheirPlaces()
{
    QImage image(600, 300, QImage::Format_ARGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    const CurvePlot plot(image.rect(), plotAxes(), QFontMetricsF(painter.font()));
    paintPlot(painter, plot);
    painter.end();

    // Half a grid cell off the lines, so that no grid line runs through the pixel looked at.
    const double t = 2.5 * plot.timeStep();
    const auto colour = [&](double value) {
        return image.pixelColor(plot.map(t, value).toPoint());
    };
    QCOMPARE(colour(0.5), QColor(Qt::blue));
    QCOMPARE(colour(-4.0), QColor(Qt::red));
    const double above = (std::floor(1.0 / plot.valueStep()) + 1.5) * plot.valueStep();
    QVERIFY(above < plotAxes().valueMax);
    QCOMPARE(colour(above), QColor(Qt::white));
}

void TestCharts::plotWritesAVectorPdf()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("plot.pdf"));
    {
        QPdfWriter writer(path);
        writer.setResolution(96);
        QPainter painter(&writer);
        const CurvePlot plot(QRectF(0, 0, 600, 300), plotAxes(),
                             QFontMetricsF(painter.font(), &writer));
        paintPlot(painter, plot);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    QVERIFY(pdf.startsWith("%PDF-"));
    // Drawn as paths and text: a rasterised chart would be an image object.
    QVERIFY(!pdf.contains("/Subtype /Image"));
}

VENTARO_TEST_MAIN(TestCharts)
#include "test_charts.moc"
