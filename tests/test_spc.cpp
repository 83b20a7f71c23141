#include "analysis/Spc.h"
#include "analysis/SpcCommand.h"
#include "model/Model.h"
#include "tests/common/TestMain.h"

#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>

Q_DECLARE_METATYPE(QVector<double>)
Q_DECLARE_METATYPE(QVector<int>)

// The control chart's figures against a published data set, every run rule on a series
// that completes its pattern once next to one that just misses it, and "ventaro-cli spc".
class TestSpc : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void publishedIndividualsChart();
    void ruleMarksTheCompletingPointOnly_data();
    void ruleMarksTheCompletingPointOnly();
    void missingValuesKeepTheShotsIndices();
    void constantBaseGivesNoInfinities();
    void oneLimitLeavesCpAndPpUndefined();
    void commandPrintsFiguresOrOneLine_data();
    void commandPrintsFiguresOrOneLine();

private:
    bool writeFile(const QString& name, const QByteArray& text);

    QTemporaryDir m_dir;
};

namespace {

// Mean 0 and σ_within exactly 1: the moving range 2 · 0.564 is the double nearest 1.128.
const QVector<double> unitBase{0.564, -0.564};

Spc::Result onUnitBase(const QVector<double>& tail, const Spc::Options& given = {})
{
    Spc::Options options = given;
    options.baseFirst = 0;
    options.baseLast = 1;
    return Spc::compute(unitBase + tail, options);
}

QVector<double> repeated(double value, int count)
{
    return QVector<double>(count, value);
}

QVector<double> alternating(int count, double first)
{
    QVector<double> values;
    for (int i = 0; i < count; ++i)
        values.append(i % 2 == 0 ? first : -first);
    return values;
}

} // namespace

void TestSpc::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(writeFile(QStringLiteral("shots.csv"), "shot,\"peak,bar\",note\n"
                                                   "1,100,before the base\n"
                                                   "2,0.564,a\n"
                                                   "3,-0.564,\"b, quoted\"\n"
                                                   "4,,missing\n"
                                                   "5,3.5,high\n"));
    QVERIFY(writeFile(QStringLiteral("text.csv"), "peak\n1.0\n2.0\nabc\n"));
    QVERIFY(writeFile(QStringLiteral("one.csv"), "peak\n1.0\n\n"));

    // Sensor 2 peaks at 10, 12, 11, 13, 40 bar at 50 ms, offset 1; shot 6 is 30 ms long.
    Model model;
    model.setClock(10);
    model.setOffset(1, 1.0);
    const QVector<double> peaks{10, 12, 11, 13, 40, 99};
    for (int shot = 0; shot < peaks.size(); ++shot) {
        model.addMeasurement();
        const int samples = shot == 5 ? 3 : 20;
        for (int k = 0; k < Model::numSensors; ++k)
            for (int i = 0; i < samples; ++i)
                model.measurement(k, shot)->append(i == 5 || (shot == 5 && i == 2) ? peaks.at(shot)
                                                                                   : 0.0);
    }
    QVERIFY(model.save(m_dir.filePath(QStringLiteral("p.mvx"))));
}

bool TestSpc::writeFile(const QString& name, const QByteArray& text)
{
    QFile file(m_dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

void TestSpc::publishedIndividualsChart()
{
    // SAS Institute, SAS/QC User's Guide, MACONTROL procedure, example "Displaying
    // Individual Measurements on an EWMA Chart": diameters of the steel belts of 30 tires,
    // limits listed as _MEAN_ 24.0083, _R_ 0.056897, _UCLI_ 24.1596, _LCLI_ 23.8571,
    // _UCLR_ 0.18585. The guide takes d2 = 1.128379 and D4 = 3.2665 unrounded, so its
    // limits agree with 1.128 and 3.267 to three decimals, the mean and moving range to
    // every digit it prints.
    const QVector<double> diameters{24.05, 23.99, 23.95, 23.93, 23.97, 24.02, 24.06, 24.10,
                                    23.98, 24.03, 23.91, 24.06, 24.06, 23.96, 23.98, 24.06,
                                    24.01, 24.00, 23.93, 23.92, 24.09, 24.11, 24.05, 23.98,
                                    23.98, 24.06, 24.02, 24.06, 23.97, 23.96};
    const Spc::Result r = Spc::compute(diameters, {});
    QVERIFY(r.ok);
    QCOMPARE(r.n, 30);
    QCOMPARE(QString::number(r.mean, 'f', 4), QStringLiteral("24.0083"));
    QCOMPARE(QString::number(r.mrMean, 'f', 6), QStringLiteral("0.056897"));
    QCOMPARE(QString::number(r.ucl, 'f', 3), QStringLiteral("24.160"));
    QCOMPARE(QString::number(r.lcl, 'f', 3), QStringLiteral("23.857"));
    QCOMPARE(QString::number(r.mrUcl, 'f', 3), QStringLiteral("0.186"));
    for (const QVector<int>& marks : r.marks)
        QVERIFY(marks.isEmpty());
}

void TestSpc::ruleMarksTheCompletingPointOnly_data()
{
    // Every series follows the base 0.564, -0.564 (indices 0 and 1): x̄ 0, σ_within 1.
    QTest::addColumn<int>("rule");
    QTest::addColumn<QVector<double>>("tail");
    QTest::addColumn<QVector<int>>("marks");

    QTest::newRow("1 beyond 3 sigma") << 1 << QVector<double>{0.5, -3.1, 0.5} << QVector<int>{3};
    QTest::newRow("1 inside 3 sigma") << 1 << QVector<double>{0.5, -2.9, 0.5} << QVector<int>{};
    QTest::newRow("2 nine on one side")
        << 2 << repeated(0.5, 9) + QVector<double>{-0.5} << QVector<int>{10};
    QTest::newRow("2 ten on one side mark twice") << 2 << repeated(0.5, 10) << QVector<int>{10, 11};
    QTest::newRow("2 point on the line breaks")
        << 2 << repeated(0.5, 8) + QVector<double>{0.0} + repeated(0.5, 8) << QVector<int>{};
    QTest::newRow("3 six rising") << 3 << QVector<double>{0.1, 0.2, 0.3, 0.4, 0.5, 0.0}
                                  << QVector<int>{6};
    QTest::newRow("3 six falling")
        << 3 << QVector<double>{0.5, 0.4, 0.3, 0.2, 0.1, 0.0, 0.3} << QVector<int>{7};
    QTest::newRow("3 equal neighbours break")
        << 3 << QVector<double>{0.1, 0.2, 0.3, 0.3, 0.4, 0.5} << QVector<int>{};
    QTest::newRow("4 fourteen alternating")
        << 4 << alternating(12, 0.5) + QVector<double>{-0.6} << QVector<int>{13};
    QTest::newRow("4 equal neighbours break")
        << 4 << alternating(11, 0.5) + QVector<double>{0.5} + alternating(4, -0.5)
        << QVector<int>{};
    QTest::newRow("5 two of three beyond 2 sigma")
        << 5 << QVector<double>{2.5, 2.5, 0.0, 0.0} << QVector<int>{3};
    QTest::newRow("5 two beyond, not within three")
        << 5 << QVector<double>{2.5, 0.0, 0.0, 2.5, 0.0} << QVector<int>{};
    QTest::newRow("5 opposite sides") << 5 << QVector<double>{2.5, -2.5, 0.0} << QVector<int>{};
    QTest::newRow("6 four of five beyond 1 sigma")
        << 6 << QVector<double>{1.5, 1.5, 0.0, 1.5, 1.5, 0.0, 0.0} << QVector<int>{6};
    QTest::newRow("6 three of five")
        << 6 << QVector<double>{1.5, 0.0, 1.5, 0.0, 1.5, 1.5, 0.0} << QVector<int>{};
    QTest::newRow("7 fifteen within 1 sigma")
        << 7 << repeated(0.5, 13) + QVector<double>{2.0} << QVector<int>{14};
    QTest::newRow("7 fourteen within")
        << 7 << repeated(0.5, 12) + QVector<double>{2.0} + repeated(0.5, 3) << QVector<int>{};
    QTest::newRow("8 eight beyond 1 sigma")
        << 8 << alternating(8, 1.5) + QVector<double>{0.0} << QVector<int>{9};
    QTest::newRow("8 one at 1 sigma is within")
        << 8 << QVector<double>{1.5, -1.5, 1.5, 1.0, -1.5, 1.5, -1.5, 1.5, -1.5} << QVector<int>{};
}

void TestSpc::ruleMarksTheCompletingPointOnly()
{
    QFETCH(int, rule);
    QFETCH(QVector<double>, tail);
    QFETCH(QVector<int>, marks);
    const Spc::Result r = onUnitBase(tail);
    QVERIFY(r.ok);
    QCOMPARE(r.sigmaWithin, 1.0);
    QCOMPARE(r.marks[static_cast<size_t>(rule - 1)], marks);

    // A rule switched off marks nothing.
    Spc::Options off;
    off.rules[static_cast<size_t>(rule - 1)] = false;
    QVERIFY(onUnitBase(tail, off).marks[static_cast<size_t>(rule - 1)].isEmpty());
}

void TestSpc::missingValuesKeepTheShotsIndices()
{
    // Shot 3 has no value: the run of rule 3 goes on across it, the moving range of shot 4
    // is to shot 2, and the marks keep the shots' own indices.
    const QVector<double> values{0.564, NAN, -0.564, 0.1, NAN, 0.2, 0.3, 0.4, 0.5, 5.0};
    Spc::Options options;
    options.baseFirst = 0;
    options.baseLast = 3;
    const Spc::Result r = Spc::compute(values, options);
    QVERIFY(r.ok);
    QCOMPARE(r.n, 3);
    QVERIFY(std::isnan(r.movingRanges.at(0)));
    QVERIFY(std::isnan(r.movingRanges.at(1)));
    QCOMPARE(r.movingRanges.at(2), 1.128);
    QCOMPARE(r.movingRanges.at(5), 0.1);
    QCOMPARE(r.marks[2], (QVector<int>{8, 9}));
    QCOMPARE(r.marks[0], QVector<int>{9});
}

void TestSpc::constantBaseGivesNoInfinities()
{
    // All base values equal: σ_within 0. The side and trend rules still hold; the zone
    // rules and the indices have no scale and stay empty.
    Spc::Options options;
    options.baseLast = 9;
    options.limits = {std::optional<double>(6.0), std::optional<double>(4.0)};
    const Spc::Result r = Spc::compute(repeated(5.0, 10) + repeated(5.5, 9), options);
    QVERIFY(r.ok);
    QCOMPARE(r.sigmaWithin, 0.0);
    QCOMPARE(r.ucl, 5.0);
    QVERIFY(!r.cp && !r.cpk && !r.pp && !r.ppk);
    QCOMPARE(r.marks[1], QVector<int>{18});
    for (const int rule : {0, 4, 5, 6, 7})
        QVERIFY(r.marks[static_cast<size_t>(rule)].isEmpty());
}

void TestSpc::oneLimitLeavesCpAndPpUndefined()
{
    Spc::Options options;
    options.limits.lsl = -6.0;
    const Spc::Result r = onUnitBase({}, options);
    QVERIFY(!r.cp && !r.pp);
    QCOMPARE(r.cpk, std::optional<double>(2.0));
}

void TestSpc::commandPrintsFiguresOrOneLine_data()
{
    // On success the figures and nothing on standard error; on an error one line there and
    // nothing on standard output.
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("message");
    const QString csv = QStringLiteral("spc --csv shots.csv --column peak,bar ");
    // Row 1 lies before the base: its jump to row 2 must not widen the limits.
    const QString unit = QStringLiteral("n: 2\nmean: 0\nsigma_within: 1\n"
                                        "sigma_overall: 0.7976164492\nucl: 3\nlcl: -3\n"
                                        "mr_ucl: 3.685176\n");
    QTest::newRow("both limits")
        << csv + "--usl 3 --lsl -6 --base 2-3" << 0
        << unit + "cp: 1.5\npp: 1.880603141\ncpk: 1\nppk: 1.253735428\nrule 1: 1,5\n"
        << "";
    QTest::newRow("upper limit only")
        << csv + "--usl 3 --base 2-3" << 0 << unit + "cpk: 1\nppk: 1.253735428\nrule 1: 1,5\n"
        << "";
    QTest::newRow("lower limit only")
        << csv + "--lsl -6 --base 2-3" << 0 << unit + "cpk: 2\nppk: 2.507470855\nrule 1: 1,5\n"
        << "";
    // Offset-corrected maxima 11, 13, 12, 14 in the base; shot 5 at 41 lies beyond 3σ, shot
    // 6 ends before the right marker and has no maximum.
    QTest::newRow("project maxima")
        << "spc p.mvx --value max:2 --markers 0,100 --base 1-4" << 0
        << "n: 4\nmean: 12.5\nsigma_within: 1.477541371\nsigma_overall: 1.290994449\n"
           "ucl: 16.93262411\nlcl: 8.067375887\nmr_ucl: 5.445\nrule 1: 5\n"
        << "";
    QTest::newRow("missing column") << "spc --csv shots.csv --column peak" << 1 << ""
                                    << "no column \"peak\"";
    QTest::newRow("text in a number row") << "spc --csv text.csv --column peak" << 1 << ""
                                          << "row 3: \"abc\"";
    QTest::newRow("one number") << "spc --csv one.csv --column peak" << 1 << ""
                                << "holds 1 numbers";
    QTest::newRow("base without 2 numbers") << csv + "--base 3-4" << 1 << ""
                                            << "at least 2";
    QTest::newRow("base beyond the rows") << csv + "--base 1-6" << 1 << ""
                                          << "beyond the 5 values";
    QTest::newRow("no such file") << "spc --csv none.csv --column peak" << 1 << ""
                                  << "cannot be read";
    QTest::newRow("no source") << "spc" << 2 << ""
                               << "either --csv";
    QTest::newRow("base backwards") << csv + "--base 4-2" << 2 << ""
                                    << "--base takes";
    QTest::newRow("limit no number") << csv + "--usl high" << 2 << ""
                                     << "--usl takes a number";
    QTest::newRow("limits crossed") << csv + "--usl 1 --lsl 2" << 2 << ""
                                    << "above --lsl";
    QTest::newRow("sensor 6") << "spc p.mvx --value max:6 --markers 0,100" << 2 << ""
                              << "--value takes";
    QTest::newRow("markers missing") << "spc p.mvx --value max:2" << 2 << ""
                                     << "--markers takes";
}

void TestSpc::commandPrintsFiguresOrOneLine()
{
    QFETCH(QString, arguments);
    QFETCH(int, code);
    QFETCH(QString, output);
    QFETCH(QString, message);
    QString out;
    QString err;
    QStringList words = arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString& word : words)
        if (word.endsWith(QLatin1String(".csv")) || word.endsWith(QLatin1String(".mvx")))
            word = m_dir.filePath(word);
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    QCOMPARE(
        SpcCommand::run(QStringList{QStringLiteral("ventaro-cli")} + words, outStream, errStream),
        code);
    QCOMPARE(out, output);
    if (message.isEmpty()) {
        QCOMPARE(err, QString());
    } else {
        QVERIFY2(err.contains(message), qPrintable(err));
        QCOMPARE(err.count(QLatin1Char('\n')), 1);
    }
}

VENTARO_TEST_MAIN(TestSpc)
#include "test_spc.moc"
