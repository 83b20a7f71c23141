#include "analysis/ReferenceBand.h"
#include "analysis/ShotJudge.h"
#include "analysis/VerdictCommand.h"
#include "model/Model.h"
#include "tests/common/TestMain.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>

// ventaro-cli verdict: the CSV of a small project, and its errors with nothing on the
// standard output.
class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void verdictCsvOfAProject();
    void errorsSayOneLineAndPrintNothing_data();
    void errorsSayOneLineAndPrintNothing();
    void runsWithoutADisplay();
    void storedReferenceJudgesAsTaught_data();
    void storedReferenceJudgesAsTaught();

private:
    int run(const QStringList& arguments, QString* out, QString* err) const;

    QTemporaryDir m_dir;
    QString m_project;
    // The same project keeping a reference taught from shots 1 to 5.
    QString m_stored;
};

void TestCli::initTestCase()
{
    // Eight shots of a smooth movement with a little noise; shot 8 opens too far between
    // 1000 and 1400 ms in sensor 3, in the third phase.
    Model model;
    ProjectData data = model.projectData();
    data.markers = {500, 900, 2000, 3000};
    model.setProjectData(data);
    model.setClock(10);
    for (int shot = 0; shot < 8; ++shot) {
        model.addMeasurement();
        for (int k = 0; k < 5; ++k) {
            SampleList& samples = *model.measurement(k, shot);
            for (int i = 0; i < 400; ++i) {
                double v = 100.0 * std::sin(i / 60.0) + 0.3 * ((i * 7 + shot * 13 + k) % 5);
                if (shot == 7 && k == 2 && i >= 100 && i < 140)
                    v += 60.0;
                samples.append(v);
            }
        }
    }
    m_project = m_dir.filePath(QStringLiteral("p.mvx"));
    QVERIFY(model.save(m_project));

    QVector<ShotSamples> good;
    for (int shot = 0; shot < 5; ++shot)
        good.append(ShotJudge::shotOf(model, shot));
    const ReferenceBand::TeachResult taught = ReferenceBand::teach(good, model.clock());
    QVERIFY(taught.ok);
    model.setReference(taught.band.toData({1, 2, 3, 4, 5}));
    m_stored = m_dir.filePath(QStringLiteral("stored.mvx"));
    QVERIFY(model.save(m_stored));
    model.setClock(20);
    QVERIFY(model.save(m_dir.filePath(QStringLiteral("otherclock.mvx"))));
}

int TestCli::run(const QStringList& arguments, QString* out, QString* err) const
{
    QTextStream outStream(out);
    QTextStream errStream(err);
    return VerdictCommand::run(QStringList{QStringLiteral("ventaro-cli")} + arguments,
                               outStream, errStream);
}

void TestCli::verdictCsvOfAProject()
{
    QString out, err;
    QCOMPARE(run({"verdict", m_project, "--teach", "1-5"}, &out, &err), 0);
    QVERIFY2(err.isEmpty(), qPrintable(err));
    const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 9);
    QCOMPARE(lines.at(0), QStringLiteral("shot,verdict,sensor,phase,time_ms,deviation,samples_outside"));
    for (int shot = 1; shot <= 7; ++shot)
        QCOMPARE(lines.at(shot), QStringLiteral("%1,OK,,,,,").arg(shot));
    const QStringList bad = lines.at(8).split(QLatin1Char(','));
    QCOMPARE(bad.mid(0, 4), (QStringList{"8", "NOK", "3", "Nachdruckzeit"}));
    QCOMPARE(bad.at(4).toDouble(), 1000.0);
    QVERIFY2(bad.at(5).toDouble() > 40.0 && bad.at(5).toDouble() <= 61.0, qPrintable(bad.at(5)));
    QCOMPARE(bad.at(6).toInt(), 40);
}

void TestCli::errorsSayOneLineAndPrintNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    const QString p = QStringLiteral("%PROJECT%");
    QTest::newRow("no mode") << QStringList{"verdict", p} << 2;
    QTest::newRow("both modes") << QStringList{"verdict", p, "--teach", "1-5", "--use-stored"} << 2;
    QTest::newRow("unknown option") << QStringList{"verdict", p, "--teach", "1-5", "--fast"} << 2;
    QTest::newRow("other command") << QStringList{"judge", p, "--teach", "1-5"} << 2;
    QTest::newRow("tolerance not a number")
        << QStringList{"verdict", p, "--teach", "1-5", "--time-tolerance", "x"} << 2;
    QTest::newRow("ranges not shot numbers") << QStringList{"verdict", p, "--teach", "1-2-3"} << 2;
    QTest::newRow("missing project") << QStringList{"verdict", "fehlt.mvx", "--teach", "1-5"} << 1;
    QTest::newRow("range outside the project") << QStringList{"verdict", p, "--teach", "5-9"} << 1;
    QTest::newRow("fewer than three taught") << QStringList{"verdict", p, "--teach", "1,2"} << 1;
    QTest::newRow("no stored reference") << QStringList{"verdict", p, "--use-stored"} << 1;
    QTest::newRow("stored reference of another clock")
        << QStringList{"verdict", "%DIR%/otherclock.mvx", "--use-stored"} << 1;
}

void TestCli::errorsSayOneLineAndPrintNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    arguments.replaceInStrings(QStringLiteral("%PROJECT%"), m_project);
    arguments.replaceInStrings(QStringLiteral("%DIR%"), m_dir.path());
    QString out, err;
    QCOMPARE(run(arguments, &out, &err), exitCode);
    QVERIFY2(out.isEmpty(), qPrintable(out));
    QVERIFY2(err.startsWith(QStringLiteral("ventaro-cli: ")) && err.count(QLatin1Char('\n')) == 1,
             qPrintable(err));
}

void TestCli::runsWithoutADisplay()
{
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(VENTARO_CLI), {"verdict", m_project, "--teach", "1-5"});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(cli.readAllStandardOutput().count('\n'), 9);
}

void TestCli::storedReferenceJudgesAsTaught_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("stored settings") << QStringList() << "8,NOK,3,";
    QTest::newRow("value tolerance overrides")
        << QStringList{"--value-tolerance", "80"} << "8,OK,,,,,";
    QTest::newRow("minimum duration overrides")
        << QStringList{"--min-duration", "1000"} << "8,OK,,,,,";
}

void TestCli::storedReferenceJudgesAsTaught()
{
    QFETCH(QStringList, options);
    QFETCH(QString, lastLine);
    QString taught, stored, err;
    QCOMPARE(run(QStringList{"verdict", m_project, "--teach", "1-5"} + options, &taught, &err), 0);
    QCOMPARE(run(QStringList{"verdict", m_stored, "--use-stored"} + options, &stored, &err), 0);
    QVERIFY2(err.isEmpty(), qPrintable(err));
    QCOMPARE(stored, taught);
    QVERIFY2(stored.section(QLatin1Char('\n'), 8, 8).startsWith(lastLine), qPrintable(stored));
}

VENTARO_TEST_MAIN(TestCli)
#include "test_cli.moc"
