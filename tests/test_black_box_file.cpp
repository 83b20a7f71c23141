#include "model/BlackBoxFile.h"
#include "model/BlackBoxShot.h"
#include "model/Model.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TestMain.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <cstring>
#include <random>

class TestBlackBoxFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void sampleLines_data();
    void sampleLines();
    void timestampOnlyInDataSection();
    void sensorsSection();
    void twoFilesGiveTwoShots();
    void signalsOnlyWhenNotBlocked();
    void badInput_data();
    void badInput();
    void missingFileAddsNothing();
    void usualLinesReadAsTheGeneralRulesReadThem();
    void batchOfFilesOnTwoThreads();

private:
    QString write(const QByteArray& content);

    std::unique_ptr<QTemporaryDir> m_dir;
    int m_files = 0;
};

void TestBlackBoxFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

QString TestBlackBoxFile::write(const QByteArray& content)
{
    const QString path = m_dir->filePath(QStringLiteral("shot_%1.bb").arg(m_files++));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestBlackBoxFile::sampleLines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QVector<SampleList>>("expected");
    QTest::addColumn<int>("skipped");

    QTest::newRow("only sample lines, both forms")
        << QByteArray("A=[1.25, 0.5, 0, 3.75, 2]\nA=1 2 3 4 5\n")
        << QVector<SampleList>{{1.25, 1}, {0.5, 2}, {0, 3}, {3.75, 4}, {2, 5}} << 0;
    QTest::newRow("blanks around commas") << QByteArray("A=[ 1.5 , 2 ,3,4,5 ]\n")
                                          << QVector<SampleList>{{1.5}, {2}, {3}, {4}, {5}} << 0;
    QTest::newRow("four values are skipped") << QByteArray("A=[1,2,3,4]\nA=1 2 3 4\nA=9 8 7 6 5\n")
                                             << QVector<SampleList>{{9}, {8}, {7}, {6}, {5}} << 2;
    QTest::newRow("a line with a field that is no finite number goes whole")
        << QByteArray("A=[x, 2, , 4, 1e3]\nA=[inf,1,1,1,1]\nA=nan 1 1 1 1\nA=1 1e999 1 1 1\n"
                      "A=[1, 2, 3, 4, 1e3]\n")
        << QVector<SampleList>{{1}, {2}, {3}, {4}, {1000}} << 0;
    QTest::newRow("blank runs and tabs collapse")
        << QByteArray("   A=1\t\t2    3 4 5   \n") << QVector<SampleList>{{1}, {2}, {3}, {4}, {5}}
        << 0;
    QTest::newRow("sample lines count in any section")
        << QByteArray("[device]\nA=1 1 1 1 1\n[sensors]\nA=2 2 2 2 2\n")
        << QVector<SampleList>{{1, 2}, {1, 2}, {1, 2}, {1, 2}, {1, 2}} << 0;
    QTest::newRow("last line without line end")
        << QByteArray("A=1 2 3 4 5\nA=6 7 8 9 10")
        << QVector<SampleList>{{1, 6}, {2, 7}, {3, 8}, {4, 9}, {5, 10}} << 0;
    QTest::newRow("byte-order mark and CR LF")
        << QByteArray("\xEF\xBB\xBF"
                      "A=1 2 3 4 5\r\nA=[6,7,8,9,10]\r\n")
        << QVector<SampleList>{{1, 6}, {2, 7}, {3, 8}, {4, 9}, {5, 10}} << 0;
}

void TestBlackBoxFile::sampleLines()
{
    QFETCH(QByteArray, content);
    QFETCH(QVector<SampleList>, expected);
    QFETCH(int, skipped);
    Model model;
    LogCapture log;
    QVERIFY(model.addBlackBoxFile(write(content)));
    QCOMPARE(model.numTimestamps(), 1);
    for (int k = 0; k < 5; ++k) {
        QCOMPARE(model.numChannels(k), 1);
        QCOMPARE(*model.measurement(k, 0), expected.at(k));
    }
    QCOMPARE(log.count(QStringLiteral("ERROR: not 5 items in list!")), skipped);
}

void TestBlackBoxFile::timestampOnlyInDataSection()
{
    Model model;
    QVERIFY(model.addBlackBoxFile(write("T=20210625-143005\nA=1 2 3 4 5\n")));
    QCOMPARE(model.timestamp(0), QDateTime(QDate(2021, 6, 25), QTime(14, 30, 5)));

    QVERIFY(model.addBlackBoxFile(write("[sensors]\nT=20210625-143005\n[data]\n")));
    QVERIFY(!model.timestamp(1).isValid());

    QVERIFY(model.addBlackBoxFile(write("[data]\nT=2021-06-25 14:30\n")));
    QVERIFY(!model.timestamp(2).isValid());
    QCOMPARE(model.numTimestamps(), 3);
}

void TestBlackBoxFile::sensorsSection()
{
    Model model;
    model.sensorDescription().setSensorName(0, 0, QStringLiteral("kept"));
    const QByteArray content = "[device]\nserial=123\nt=100\n"
                               "[sensors]\n"
                               "numGroups=1\n"
                               "group0/name=Abstand\n"
                               "group0/numSensors=5\n"
                               "group0/sensor2/unit=mm\n"
                               "group0/sensor2/max=12.5\n"
                               "group0/sensor2/min=-0.5\n"
                               "group0/sensor2/name=Schieber\n"
                               "group0/sensor2/type=Distance\n"
                               "group0/sensor4/unit=\xC2\xB5m\n"
                               "[data]\n"
                               "T=20191224-143005\n"
                               "A=[1,2,3,4,5]\n";
    QVERIFY(model.addBlackBoxFile(write(content)));
    const SensorDescription& d = model.sensorDescription();
    QCOMPARE(d.numSensorGroups(), 1);
    const SensorGroup& g = d.sensorGroup(0);
    QCOMPARE(g.name(), QStringLiteral("Abstand"));
    QCOMPARE(g.numSensors(), 5);
    QCOMPARE(g.sensorUnit(2), QStringLiteral("mm"));
    QCOMPARE(g.sensorMaximum(2), 12.5);
    QCOMPARE(g.sensorMinimum(2), -0.5);
    QCOMPARE(g.sensorName(2), QStringLiteral("Schieber"));
    QCOMPARE(g.sensorType(2), QStringLiteral("Distance"));
    QCOMPARE(g.sensorUnit(4), QStringLiteral("µm"));
    // The same counts keep the sensors that were there.
    QCOMPARE(g.sensorName(0), QStringLiteral("kept"));
    QCOMPARE(model.timestamp(0), QDateTime(QDate(2019, 12, 24), QTime(14, 30, 5)));
}

void TestBlackBoxFile::twoFilesGiveTwoShots()
{
    Model model;
    QVERIFY(model.addBlackBoxFile(write("T=20210625-143005\nA=1 2 3 4 5\n")));
    QVERIFY(model.addBlackBoxFile(write("T=20210626-080000\nA=6 7 8 9 10\nA=1 1 1 1 1\n")));
    QCOMPARE(model.numChannels(0), 2);
    QCOMPARE(model.measurement(3, 1)->size(), 2);
    QCOMPARE(model.timestamp(0).date(), QDate(2021, 6, 25));
    QCOMPARE(model.timestamp(1).date(), QDate(2021, 6, 26));
}

void TestBlackBoxFile::signalsOnlyWhenNotBlocked()
{
    Model model;
    model.setProjectModifiedFlag(false);
    QSignalSpy project(&model, &Model::projectChanged);
    QSignalSpy data(&model, &Model::dataChanged);
    QVERIFY(model.addBlackBoxFile(write("T=20210625-143005\nA=1 2 3 4 5\n")));
    QCOMPARE(project.count(), 1);
    QCOMPARE(data.count(), 1);
    QVERIFY(model.isProjectModified());
    QVERIFY(!model.signalsBlocked());

    model.blockSignals(true);
    QVERIFY(model.addBlackBoxFile(write("T=20210625-143005\nA=1 2 3 4 5\n")));
    QVERIFY(model.addBlackBoxFile(write("A=1 2 3 4 5\n")));
    QVERIFY(model.signalsBlocked());
    model.blockSignals(false);
    QCOMPARE(project.count(), 1);
    QCOMPARE(data.count(), 1);
    QCOMPARE(model.numChannels(4), 3);
}

void TestBlackBoxFile::badInput_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("groups");
    QTest::addColumn<QString>("diagnostic");

    QTest::newRow("garbage lines") << QByteArray("hello\n\n;;;;\n]]]\nA=\n[\n") << 0 << 1
                                   << QStringLiteral("ERROR: not 5 items in list!");
    QTest::newRow("no sections at all") << QByteArray("") << 0 << 1 << QString();
    QTest::newRow("sample period lines are ignored")
        << QByteArray("t=100\n  t=5 \n[sensors]\nt=1\n") << 0 << 1 << QString();
    QTest::newRow("sensor index beyond the group")
        << QByteArray("[sensors]\ngroup0/sensor7/unit=mm\n") << 0 << 1
        << QStringLiteral("ERROR: index >= numSens !!");
    QTest::newRow("sensor index not a digit")
        << QByteArray("[sensors]\ngroup0/sensorX/unit=mm\ngroup0/sensor\n") << 0 << 1 << QString();
    QTest::newRow("sensor lines without a group")
        << QByteArray("[sensors]\nnumGroups=0\ngroup0/name=x\ngroup0/numSensors=3\n"
                      "group0/sensor1/unit=mm\n")
        << 0 << 0 << QStringLiteral("ERROR: i>=numGroups");
    QTest::newRow("absurd group count")
        << QByteArray("[sensors]\nnumGroups=2000000000\ngroup0/numSensors=99999999\n") << 0 << 1
        << QStringLiteral("out of range");
    QByteArray binary;
    for (int i = 0; i < 3000; ++i)
        binary.append(static_cast<char>((i * 131 + 7) % 256));
    binary.append("\nA=1 2 3 4 5\n");
    QTest::newRow("binary garbage") << binary << 1 << 1 << QString();
    QTest::newRow("very long line")
        << "A=" + QByteArray(200000, '1').replace("11", "1 ") + "\nA=1 2 3 4 5\n"
        << 1 << 1 << QStringLiteral("ERROR: not 5 items in list!");
}

void TestBlackBoxFile::badInput()
{
    QFETCH(QByteArray, content);
    QFETCH(int, samples);
    QFETCH(int, groups);
    QFETCH(QString, diagnostic);
    Model model;
    LogCapture log;
    QVERIFY(model.addBlackBoxFile(write(content)));
    QCOMPARE(model.numChannels(0), 1);
    QCOMPARE(model.measurement(0, 0)->size(), samples);
    QCOMPARE(model.sensorDescription().numSensorGroups(), groups);
    if (groups > 0)
        QCOMPARE(model.sensorDescription().sensorGroup(0).numSensors(), 5);
    if (!diagnostic.isEmpty())
        QVERIFY2(log.contains(diagnostic), qPrintable(log.dump()));
}

void TestBlackBoxFile::missingFileAddsNothing()
{
    Model model;
    QSignalSpy data(&model, &Model::dataChanged);
    LogCapture log;
    QVERIFY(!model.addBlackBoxFile(m_dir->filePath(QStringLiteral("nothing.bb"))));
    QVERIFY(!model.hasData());
    QCOMPARE(model.numTimestamps(), 0);
    QCOMPARE(data.count(), 0);
    QVERIFY(log.contains(QStringLiteral(
        "bool Model::addBlackBoxFile(const QString&) ERROR: could not open file: ")));
}

// The device's usual sample line is read straight from its bytes; every other form goes by
// the general rules. A line must give the same doubles, bit for bit, either way: a leading
// blank sends the same line down the general road.
void TestBlackBoxFile::usualLinesReadAsTheGeneralRulesReadThem()
{
    QStringList items = {"0",       "-0",          "7",        "-12",      "007",
                         "1.",      ".5",          "-.5",      "0.1",      "2.675",
                         "1e3",     "+4",          "-",        ".",        "",
                         "1.2.3",   "4-5",         "0x10",     "inf",      "nan",
                         "1 2",     "123456789012345", "1234567890123456", "0.30000000000000004",
                         "99999.999999999", "-0.000000000000001", "9007199254740993"};
    std::mt19937 random(5);
    std::uniform_int_distribution<int> digits(1, 15);
    std::uniform_int_distribution<int> digit(0, 9);
    for (int i = 0; i < 2000; ++i) {
        QString number;
        const int count = digits(random);
        const int point = std::uniform_int_distribution<int>(-1, count)(random);
        for (int d = 0; d < count; ++d) {
            if (d == point)
                number += '.';
            number += QChar('0' + digit(random));
        }
        items.append(i % 3 ? number : '-' + number);
    }

    int fast = 0;
    for (int i = 0; i < items.size(); i += 5) {
        QStringList five = items.mid(i, 5);
        while (five.size() < 5)
            five.append(QStringLiteral("1"));
        const QByteArray line = "A=[" + five.join(i % 2 ? ", " : ",").toUtf8() + "]";
        const BlackBoxShot usual = BlackBoxFile::parse(line + "\n");
        const BlackBoxShot general = BlackBoxFile::parse(" " + line + "\r\n");
        QCOMPARE(usual.recognisedLines, general.recognisedLines);
        for (int k = 0; k < 5; ++k) {
            const SampleList& a = usual.samples[static_cast<size_t>(k)];
            const SampleList& b = general.samples[static_cast<size_t>(k)];
            QCOMPARE(a.size(), b.size());
            if (a.isEmpty())
                continue;
            const double expected = five.at(k).trimmed().toDouble();
            QVERIFY2(std::memcmp(&a[0], &b[0], sizeof(double)) == 0 &&
                         std::memcmp(&a[0], &expected, sizeof(double)) == 0,
                     qPrintable(QString::fromUtf8(line)));
        }
        fast += usual.samples[0].size();
    }
    // Most lines above are of the usual form; the check is not empty.
    QVERIFY(fast > 300);

    // Lines of anything else: nothing of the format, and no room kept for samples.
    const BlackBoxShot text = BlackBoxFile::parse(QByteArray(500000, '\n') + "hello\n");
    QCOMPARE(text.recognisedLines, 0);
    QVERIFY(text.samples[0].capacity() <= 64);
    QCOMPARE(BlackBoxFile::parse("[data]\nT=20210625-143005\n").recognisedLines, 2);

    // A device file takes as much room as it has samples, with no regrowth on the way.
    QByteArray file = "[data]\r\nT=20210625-143005\n";
    for (int n = 0; n < 2999; ++n)
        file += "A=[" + QByteArray::number(n) + ", 2, 3, 4, 5]" + (n % 7 ? "\n" : "\r\n");
    const BlackBoxShot device = BlackBoxFile::parse(file);
    QCOMPARE(device.samples[4].size(), 2999);
    QCOMPARE(device.samples[4].capacity(), 2999 + 3);
}

void TestBlackBoxFile::batchOfFilesOnTwoThreads()
{
    QStringList paths;
    for (int i = 0; i < 40; ++i) {
        QByteArray content = "T=20210625-1430" + QByteArray::number(10 + i) + "\n";
        for (int n = 0; n <= i; ++n)
            content += "A=[" + QByteArray::number(i) + ",1,2,3," + QByteArray::number(n) + "]\n";
        paths.append(write(content));
    }
    paths.insert(7, m_dir->filePath(QStringLiteral("gone.bb")));

    std::vector<BlackBoxShot> shots;
    std::vector<char> read;
    QList<int> reports;
    BlackBoxFile::readFiles(paths, shots, read, [&reports](int done) { reports.append(done); });
    QCOMPARE(static_cast<int>(shots.size()), 41);
    QCOMPARE(reports.last(), 41);
    QVERIFY(std::is_sorted(reports.begin(), reports.end()));
    for (int i = 0; i < 41; ++i) {
        const size_t n = static_cast<size_t>(i);
        if (i == 7) {
            QVERIFY(!read[n]);
            continue;
        }
        const int file = i < 7 ? i : i - 1;
        QVERIFY(read[n]);
        // Every shot is the one of its own file, in the order asked for.
        QCOMPARE(shots[n].samples[0].size(), file + 1);
        QCOMPARE(shots[n].samples[0].first(), double(file));
        QCOMPARE(shots[n].samples[4].last(), double(file));
        QCOMPARE(shots[n].timestamp.time().second(), 10 + file);
    }
}

VENTARO_TEST_MAIN(TestBlackBoxFile)
#include "test_black_box_file.moc"
