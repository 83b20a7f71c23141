#include "analysis/Spc.h"
#include "analysis/SpcCommand.h"
#include "model/Model.h"
#include "tests/common/TestMain.h"

#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>

Q_DECLARE_METATYPE(QVector<double>)
Q_DECLARE_METATYPE(QVector<int>)
Q_DECLARE_METATYPE(std::optional<double>)

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
    void capabilityFromTheGivenLimitsOnly_data();
    void capabilityFromTheGivenLimitsOnly();
    void missingValuesKeepTheShotsIndices();
    void constantBaseGivesNoInfinities();
    void csvRunPrintsTheFigures();
    void errorsSayOneLineAndPrintNothing_data();
    void errorsSayOneLineAndPrintNothing();
    void projectRunUsesCorrectedMaxima();

private:
    QString writeFile(const QString& name, const QByteArray& text);

    QTemporaryDir m_dir;
    QString m_project;
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

int run(const QStringList& arguments, QString* out, QString* err)
{
    QTextStream outStream(out);
    QTextStream errStream(err);
    return SpcCommand::run(QStringList{QStringLiteral("ventaro-cli")} + arguments, outStream,
                           errStream);
}

} // namespace

void TestSpc::initTestCase()
{
    QVERIFY(m_dir.isValid());
    writeFile(QStringLiteral("shots.csv"),
              "shot,\"peak, bar\",note\n"
              "1,100,before the base\n"
              "2,0.564,a\n"
              "3,-0.564,\"b, quoted\"\n"
              "4,,missing\n"
              "5,3.5,high\n");
    writeFile(QStringLiteral("text.csv"), "peak\n1.0\n2.0\nabc\n");
    writeFile(QStringLiteral("one.csv"), "peak\n1.0\n\n");

    // Sensor 2 peaks at 10, 12, 11, 13, 40 bar at 50 ms; shot 6 ends before the right
    // marker, so it has no maximum.
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
    m_project = m_dir.filePath(QStringLiteral("p.mvx"));
    QVERIFY(model.save(m_project));
}

QString TestSpc::writeFile(const QString& name, const QByteArray& text)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestSpc::publishedIndividualsChart()
{
    // SAS Institute, SAS/QC User's Guide, MACONTROL procedure, example "Displaying
    // Individual Measurements on an EWMA Chart": diameters of the steel belts of 30 tires,
    // limits listed as _MEAN_ 24.0083, _R_ 0.056897, _UCLI_ 24.1596, _LCLI_ 23.8571,
    // _UCLR_ 0.18585. The guide takes d2 = 1.128379 and D4 = 3.2665 unrounded, so its
    // limits agree with 1.128 and 3.267 to three decimals, the mean and moving range to
    // every digit it prints.
    const QVector<double> diameters{
        24.05, 23.99, 23.95, 23.93, 23.97, 24.02, 24.06, 24.10, 23.98, 24.03,
        23.91, 24.06, 24.06, 23.96, 23.98, 24.06, 24.01, 24.00, 23.93, 23.92,
        24.09, 24.11, 24.05, 23.98, 23.98, 24.06, 24.02, 24.06, 23.97, 23.96};
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
    QTest::newRow("3 six rising")
        << 3 << QVector<double>{0.1, 0.2, 0.3, 0.4, 0.5, 0.0} << QVector<int>{6};
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

void TestSpc::capabilityFromTheGivenLimitsOnly_data()
{
    // On the unit base: σ_within 1, σ_overall 0.564 · √2.
    QTest::addColumn<std::optional<double>>("usl");
    QTest::addColumn<std::optional<double>>("lsl");
    QTest::addColumn<std::optional<double>>("cp");
    QTest::addColumn<std::optional<double>>("cpk");
    QTest::addColumn<std::optional<double>>("ppk");
    const std::optional<double> none;
    const double overall = 0.564 * std::sqrt(2.0);
    QTest::newRow("both") << std::optional<double>(3.0) << std::optional<double>(-6.0)
                          << std::optional<double>(1.5) << std::optional<double>(1.0)
                          << std::optional<double>(1.0 / overall);
    QTest::newRow("upper only") << std::optional<double>(3.0) << none << none
                                << std::optional<double>(1.0)
                                << std::optional<double>(1.0 / overall);
    QTest::newRow("lower only") << none << std::optional<double>(-6.0) << none
                                << std::optional<double>(2.0)
                                << std::optional<double>(2.0 / overall);
    QTest::newRow("none") << none << none << none << none << none;
}

void TestSpc::capabilityFromTheGivenLimitsOnly()
{
    QFETCH(std::optional<double>, usl);
    QFETCH(std::optional<double>, lsl);
    QFETCH(std::optional<double>, cp);
    QFETCH(std::optional<double>, cpk);
    QFETCH(std::optional<double>, ppk);
    Spc::Options options;
    options.limits = {usl, lsl};
    const Spc::Result r = onUnitBase({}, options);
    QCOMPARE(r.cp.has_value(), cp.has_value());
    QCOMPARE(r.pp.has_value(), cp.has_value());
    QCOMPARE(r.cpk.has_value(), cpk.has_value());
    QCOMPARE(r.ppk.has_value(), ppk.has_value());
    if (cp)
        QCOMPARE(*r.cp, *cp);
    if (cpk) {
        QCOMPARE(*r.cpk, *cpk);
        QCOMPARE(*r.ppk, *ppk);
    }
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

    options.baseLast = 1;
    const Spc::Result tooFew = Spc::compute(values, options);
    QVERIFY(!tooFew.ok);
    QCOMPARE(tooFew.n, 1);
    QVERIFY(!tooFew.error.isEmpty());
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

void TestSpc::csvRunPrintsTheFigures()
{
    // Row 1 lies before the base: its jump to row 2 must not widen the limits.
    QString out;
    QString err;
    const int code = run({QStringLiteral("spc"), QStringLiteral("--csv"),
                          m_dir.filePath(QStringLiteral("shots.csv")), QStringLiteral("--column"),
                          QStringLiteral("peak, bar"), QStringLiteral("--usl"),
                          QStringLiteral("3"), QStringLiteral("--lsl"), QStringLiteral("-6"),
                          QStringLiteral("--base"), QStringLiteral("2-3")},
                         &out, &err);
    QCOMPARE(err, QString());
    QCOMPARE(code, 0);
    QCOMPARE(out, QStringLiteral("n: 2\n"
                                 "mean: 0\n"
                                 "sigma_within: 1\n"
                                 "sigma_overall: 0.7976164492\n"
                                 "ucl: 3\n"
                                 "lcl: -3\n"
                                 "mr_ucl: 3.685176\n"
                                 "cp: 1.5\n"
                                 "pp: 1.880603141\n"
                                 "cpk: 1\n"
                                 "ppk: 1.253735428\n"
                                 "rule 1: 1,5\n"));
}

void TestSpc::errorsSayOneLineAndPrintNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const QString csv = m_dir.filePath(QStringLiteral("shots.csv"));
    const QStringList onCsv{QStringLiteral("spc"), QStringLiteral("--csv"), csv,
                            QStringLiteral("--column"), QStringLiteral("peak, bar")};
    QTest::newRow("missing column")
        << QStringList{QStringLiteral("spc"), QStringLiteral("--csv"), csv,
                       QStringLiteral("--column"), QStringLiteral("peak")}
        << 1 << QStringLiteral("no column \"peak\"");
    QTest::newRow("text in a number row")
        << QStringList{QStringLiteral("spc"), QStringLiteral("--csv"),
                       m_dir.filePath(QStringLiteral("text.csv")), QStringLiteral("--column"),
                       QStringLiteral("peak")}
        << 1 << QStringLiteral("row 3: \"abc\"");
    QTest::newRow("one number")
        << QStringList{QStringLiteral("spc"), QStringLiteral("--csv"),
                       m_dir.filePath(QStringLiteral("one.csv")), QStringLiteral("--column"),
                       QStringLiteral("peak")}
        << 1 << QStringLiteral("holds 1 numbers");
    QTest::newRow("base without 2 numbers")
        << onCsv + QStringList{QStringLiteral("--base"), QStringLiteral("3-4")} << 1
        << QStringLiteral("at least 2");
    QTest::newRow("base beyond the rows")
        << onCsv + QStringList{QStringLiteral("--base"), QStringLiteral("1-6")} << 1
        << QStringLiteral("beyond the 5 values");
    QTest::newRow("no such file")
        << QStringList{QStringLiteral("spc"), QStringLiteral("--csv"),
                       m_dir.filePath(QStringLiteral("none.csv")), QStringLiteral("--column"),
                       QStringLiteral("peak")}
        << 1 << QStringLiteral("cannot be read");
    QTest::newRow("no source") << QStringList{QStringLiteral("spc")} << 2
                               << QStringLiteral("either --csv");
    QTest::newRow("base backwards")
        << onCsv + QStringList{QStringLiteral("--base"), QStringLiteral("4-2")} << 2
        << QStringLiteral("--base takes");
    QTest::newRow("limit no number")
        << onCsv + QStringList{QStringLiteral("--usl"), QStringLiteral("high")} << 2
        << QStringLiteral("--usl takes a number");
    QTest::newRow("limits crossed")
        << onCsv + QStringList{QStringLiteral("--usl"), QStringLiteral("1"),
                               QStringLiteral("--lsl"), QStringLiteral("2")}
        << 2 << QStringLiteral("above --lsl");
    QTest::newRow("sensor 6")
        << QStringList{QStringLiteral("spc"), m_project, QStringLiteral("--value"),
                       QStringLiteral("max:6"), QStringLiteral("--markers"),
                       QStringLiteral("0,100")}
        << 2 << QStringLiteral("--value takes");
    QTest::newRow("markers missing")
        << QStringList{QStringLiteral("spc"), m_project, QStringLiteral("--value"),
                       QStringLiteral("max:2")}
        << 2 << QStringLiteral("--markers takes");
}

void TestSpc::errorsSayOneLineAndPrintNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, message);
    QString out;
    QString err;
    QCOMPARE(run(arguments, &out, &err), code);
    QCOMPARE(out, QString());
    QVERIFY2(err.contains(message), qPrintable(err));
    QCOMPARE(err.count(QLatin1Char('\n')), 1);
}

void TestSpc::projectRunUsesCorrectedMaxima()
{
    // Maxima 11, 13, 12, 14 over the base after the offset of 1: x̄ 12.5, MR̄ 5/3; shot 5
    // at 41 lies beyond 3σ, shot 6 has no maximum and is left out.
    QString out;
    QString err;
    const int code = run({QStringLiteral("spc"), m_project, QStringLiteral("--value"),
                          QStringLiteral("max:2"), QStringLiteral("--markers"),
                          QStringLiteral("0,100"), QStringLiteral("--base"),
                          QStringLiteral("1-4")},
                         &out, &err);
    QCOMPARE(err, QString());
    QCOMPARE(code, 0);
    const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.value(0), QStringLiteral("n: 4"));
    QCOMPARE(lines.value(1), QStringLiteral("mean: 12.5"));
    QCOMPARE(lines.value(2), QStringLiteral("sigma_within: %1").arg(5.0 / 3.0 / 1.128, 0, 'g', 10));
    QCOMPARE(lines.constLast(), QStringLiteral("rule 1: 5"));
    QCOMPARE(lines.size(), 8);
}

VENTARO_TEST_MAIN(TestSpc)
#include "test_spc.moc"
