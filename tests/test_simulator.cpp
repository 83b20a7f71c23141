// The simulated Kalvik box (tools/sim) in-process, reached through the application's own
// KalvikConnector on a loopback address of this test: protocol, readings, stick folder,
// reboot, and the connector surviving every fault mode.
#include "device/DeviceAddress.h"
#include "device/KalvikConnector.h"
#include "model/Model.h"
#include "model/ProjectDocument.h"
#include "model/ProjectReader.h"
#include "tests/common/LogCapture.h"
#include "tests/common/LoopbackAddress.h"
#include "tests/common/TestMain.h"
#include "tools/sim/BlackBoxWriter.h"
#include "tools/sim/KalvikSimulator.h"
#include "tools/sim/ShotCurve.h"
#include "tools/sim/ShotFaultPlan.h"
#include "tools/sim/ShotLog.h"
#include "tools/sim/ShotSetWriter.h"
#include "tools/sim/StickFolder.h"
#include "view/BlackBoxDatesTableModel.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int simulatorArea = 12;
constexpr int waitMs = 5000;

const QRegularExpression valueLinePattern(QStringLiteral("^(\\d+)(;-?\\d+(\\.\\d+)?){5}\\n$"));

bool isValueLine(const QString& message)
{
    return valueLinePattern.match(message).hasMatch();
}

// The lines of a labels file after its header, split at the comma.
QVector<QStringList> labelRows(const QString& path, const QString& header)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QStringList lines =
        QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.isEmpty() || lines.first() != header)
        return {};
    QVector<QStringList> rows;
    for (int i = 1; i < lines.size(); ++i)
        rows.append(lines.at(i).split(QLatin1Char(',')));
    return rows;
}

// The value of key read the way the controller reads it: from offset characters after the
// position of "key=" up to the next quotation mark.
QString attributeAt(const QString& line, const QString& key, int from = 0)
{
    const int position = line.indexOf(key + QLatin1Char('='), from);
    if (position < 0)
        return QString();
    const int start = position + key.size() + 2;
    return line.mid(start, line.indexOf(QLatin1Char('"'), start) - start);
}

// The "T=" line and the "A=[...]" lines of a stick file.
struct StickShot
{
    QString time;
    QStringList samples;
};

StickShot readStickShot(const QString& path)
{
    QFile file(path);
    StickShot shot;
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("T=")))
            shot.time = line.mid(2);
        else if (line.startsWith(QLatin1String("A=")))
            shot.samples.append(line);
    }
    return shot;
}

// A value line's readings as the stick writes the same sample.
QString asStickSample(const QString& valueLine)
{
    QStringList readings = valueLine.trimmed().split(QLatin1Char(';'));
    readings.removeFirst();
    return QStringLiteral("A=[") + readings.join(QStringLiteral(", ")) + QLatin1Char(']');
}

const QString shotLogHeader = QStringLiteral("shot,device_time,streamed");

// One simulated device and one connector talking to it.
class Bench
{
public:
    explicit Bench(SimulatorOptions options)
        : simulator(std::make_unique<KalvikSimulator>(options))
    {
        QObject::connect(&connector, &KalvikConnector::messageReceived,
                         [this](const QString& m) { messages.append(m); });
    }

    bool startAndConnect()
    {
        if (!simulator->start()) {
            qWarning("%s", qPrintable(simulator->errorString()));
            return false;
        }
        return connect();
    }

    bool connect()
    {
        QSignalSpy connected(&connector, &KalvikConnector::connected);
        connector.connect(simulator->options().host);
        return connected.wait(waitMs);
    }

    // Waits until a message that starts with prefix arrived; returns it, or "".
    QString waitFor(const QString& prefix, int timeoutMs = waitMs)
    {
        QElapsedTimer clock;
        clock.start();
        int seen = 0;
        while (clock.elapsed() < timeoutMs) {
            for (; seen < messages.size(); ++seen) {
                if (messages.at(seen).startsWith(prefix))
                    return messages.at(seen);
            }
            QTest::qWait(5);
        }
        return QString();
    }

    QStringList valueLines() const
    {
        QStringList lines;
        for (const QString& m : messages) {
            if (isValueLine(m))
                lines.append(m);
        }
        return lines;
    }

    std::unique_ptr<KalvikSimulator> simulator;
    KalvikConnector connector;
    QStringList messages;
};

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

private:
    QString m_host;
    std::unique_ptr<QTemporaryDir> m_stick;

    SimulatorOptions options()
    {
        SimulatorOptions o;
        o.host = m_host;
        o.stickDir = m_stick->path();
        o.fixedSeed = true;
        o.seed = 7;
        o.rebootDelayMs = 300;
        return o;
    }

    // Short cycles on a one-second machine, starting from an empty stick.
    SimulatorOptions machineOptions()
    {
        SimulatorOptions o = options();
        o.production = true;
        o.generateStick = false;
        o.cycleMs = 200;
        o.machinePeriodMs = 1000;
        o.shotLogPath = m_stick->filePath(QStringLiteral("shots.csv"));
        return o;
    }

private slots:
    void initTestCase()
    {
        m_host = loopbackAddress(simulatorArea);
        QCOMPARE(SimulatorOptions().port, devicePort);
    }

    void init()
    {
        m_stick = std::make_unique<QTemporaryDir>();
        QVERIFY(m_stick->isValid());
    }

    void deviceDescriptionReadsAsPart41ReadsIt()
    {
        Bench bench(options());
        QVERIFY(bench.startAndConnect());
        bench.connector.requestDeviceDescription();
        const QString line = bench.waitFor(QStringLiteral("<deviceDescription"));
        QVERIFY(!line.isEmpty());
        QVERIFY(line.endsWith(QLatin1Char('\n')));
        QCOMPARE(attributeAt(line, QStringLiteral("hardwareVersion")), QStringLiteral("2.1"));
        QVERIFY(!attributeAt(line, QStringLiteral("firmwareVersion")).isEmpty());
        QCOMPARE(line.at(line.indexOf(QLatin1String("numGroups=")) + 11), QLatin1Char('1'));
        const int group = line.indexOf(QLatin1String("<group"), 1);
        QVERIFY(group > 0);
        QCOMPARE(attributeAt(line, QStringLiteral("name"), group), QStringLiteral("Abstand"));
        QCOMPARE(line.at(line.indexOf(QLatin1String("numChannels="), group) + 13),
                 QLatin1Char('5'));
        QCOMPARE(line.count(QLatin1String("<channel")), 5);
        QCOMPARE(attributeAt(line, QStringLiteral("max"), line.indexOf(QLatin1String("<channel"))),
                 QStringLiteral("12000"));
        QVERIFY(!line.contains(QLatin1String("<projectDescription")));
    }

    void projectDescriptionIsOptional()
    {
        SimulatorOptions o = options();
        o.projectDescription = true;
        Bench bench(o);
        QVERIFY(bench.startAndConnect());
        bench.connector.requestDeviceDescription();
        const QString line = bench.waitFor(QStringLiteral("<deviceDescription"));
        QVERIFY(line.contains(QLatin1String("<projectDescription")));
        QVERIFY(!attributeAt(line, QStringLiteral("projectName")).isEmpty());
        QCOMPARE(attributeAt(line, QStringLiteral("phase3")), QStringLiteral("Nachdruck"));
        bool ok = false;
        attributeAt(line, QStringLiteral("closePower")).toInt(&ok);
        QVERIFY(ok);
        attributeAt(line, QStringLiteral("injectionTime")).toDouble(&ok);
        QVERIFY(ok);
    }

    void sensorDescriptionSendsMicrometresAsUtf8()
    {
        Bench bench(options());
        QVERIFY(bench.startAndConnect());
        bench.connector.requestSensorDescription();
        const QString line = bench.waitFor(QStringLiteral("<sensorDescription"));
        QVERIFY(!line.isEmpty());
        QCOMPARE(line.at(line.indexOf(QLatin1String("numGroups=")) + 11), QLatin1Char('1'));
        const int group = line.indexOf(QLatin1String("<group"));
        QCOMPARE(line.at(line.indexOf(QLatin1String("numSensors="), group) + 12), QLatin1Char('5'));
        QCOMPARE(line.count(QLatin1String("<sensor ")), 5);
        const int sensor = line.indexOf(QLatin1String("<sensor "));
        QCOMPARE(attributeAt(line, QStringLiteral("name"), sensor), QStringLiteral("Abstand 1"));
        QCOMPARE(attributeAt(line, QStringLiteral("max"), sensor).toDouble(), 12000.0);
        // UTF-8 read as Latin-1: A-circumflex, micro sign, m; the controller removes the first.
        const QString unit = attributeAt(line, QStringLiteral("unit"), sensor);
        QCOMPARE(unit, QString(QChar(0xC2)) + QChar(0xB5) + QLatin1Char('m'));
        QCOMPARE(QString(unit).remove(QChar(0xC2)), QString(QChar(0xB5)) + QLatin1Char('m'));
    }

    void withoutSensorDescriptionTheDefaultTimeOutApplies()
    {
        SimulatorOptions o = options();
        o.sensorDescription = false;
        Bench bench(o);
        QVERIFY(bench.startAndConnect());
        bench.connector.requestSensorDescription();
        bench.connector.requestDeviceDescription();
        QVERIFY(!bench.waitFor(QStringLiteral("<deviceDescription")).isEmpty());
        // Longer than the controller's 700 ms wait.
        QVERIFY(bench.waitFor(QStringLiteral("<sensorDescription"), 800).isEmpty());
    }

    void samplePeriodIsEchoed()
    {
        Bench bench(options());
        QVERIFY(bench.startAndConnect());
        bench.connector.setSampleRate(QStringLiteral("5ms"));
        QCOMPARE(bench.waitFor(QStringLiteral("t=")), QStringLiteral("t=5\n"));
        QCOMPARE(bench.simulator->samplePeriodMs(), 5);
        bench.messages.clear();
        bench.connector.write(QStringLiteral("t=abc\n"));
        bench.connector.write(QStringLiteral("t=0\n"));
        bench.connector.setSampleRate(QStringLiteral("1000ms"));
        QCOMPARE(bench.waitFor(QStringLiteral("t=")), QStringLiteral("t=1000\n"));
        QCOMPARE(bench.messages.count(), 1);
    }

    void shotStreamsValueLinesAndEndsByItself()
    {
        SimulatorOptions o = options();
        o.cycleMs = 300;
        Bench bench(o);
        QVERIFY(bench.startAndConnect());
        bench.connector.setSampleRate(QStringLiteral("10ms"));
        QVERIFY(!bench.waitFor(QStringLiteral("t=")).isEmpty());
        QElapsedTimer clock;
        clock.start();
        bench.connector.sendRunStart();
        QCOMPARE(bench.waitFor(QStringLiteral("run=1")), QStringLiteral("run=1\n"));
        QCOMPARE(bench.waitFor(QStringLiteral("run=0")), QStringLiteral("run=0\n"));
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= 250, qPrintable(QString::number(elapsed)));

        const QStringList lines = bench.valueLines();
        QCOMPARE(lines.size(), 30);
        for (int i = 0; i < lines.size(); ++i) {
            const QStringList fields = lines.at(i).trimmed().split(QLatin1Char(';'));
            QCOMPARE(fields.size(), 6);
            QCOMPARE(fields.at(0).toInt(), i);
            for (int k = 1; k <= 5; ++k) {
                const double value = fields.at(k).toDouble();
                QVERIFY(value >= 0.0 && value <= 12000.0);
            }
        }
        // The run=0 line comes after the last value line.
        QVERIFY(bench.messages.indexOf(QStringLiteral("run=0\n")) >
                bench.messages.indexOf(lines.last()));
        QVERIFY(!bench.simulator->isShotRunning());
    }

    void runZeroEndsTheShot()
    {
        SimulatorOptions o = options();
        o.cycleMs = 0;
        Bench bench(o);
        QVERIFY(bench.startAndConnect());
        bench.connector.setSampleRate(QStringLiteral("10ms"));
        bench.connector.sendRunStart();
        QTRY_VERIFY_WITH_TIMEOUT(bench.valueLines().size() >= 5, waitMs);
        bench.connector.sendRunStop();
        QCOMPARE(bench.waitFor(QStringLiteral("run=0")), QStringLiteral("run=0\n"));
        const int count = bench.valueLines().size();
        QTest::qWait(100);
        QCOMPARE(bench.valueLines().size(), count);
        // A new shot counts from 0 again.
        bench.messages.clear();
        bench.connector.sendRunStart();
        QTRY_VERIFY_WITH_TIMEOUT(!bench.valueLines().isEmpty(), waitMs);
        QVERIFY(bench.valueLines().first().startsWith(QLatin1String("0;")));
    }

    void aFixedSeedRepeatsTheReadings()
    {
        auto firstLines = [this](quint32 seed) -> QStringList {
            SimulatorOptions o = options();
            o.seed = seed;
            o.cycleMs = 0;
            Bench bench(o);
            if (!bench.startAndConnect())
                return QStringList();
            bench.connector.setSampleRate(QStringLiteral("1ms"));
            bench.connector.sendRunStart();
            QElapsedTimer clock;
            clock.start();
            while (bench.valueLines().size() < 20 && clock.elapsed() < waitMs)
                QTest::qWait(5);
            return bench.valueLines().mid(0, 20);
        };
        const QStringList a = firstLines(11);
        QCOMPARE(a.size(), 20);
        QCOMPARE(firstLines(11), a);
        QVERIFY(firstLines(12) != a);
    }

    void millimetresOnRequest()
    {
        SimulatorOptions o = options();
        o.micrometres = false;
        o.cycleMs = 0;
        Bench bench(o);
        QVERIFY(bench.startAndConnect());
        bench.connector.requestSensorDescription();
        const QString line = bench.waitFor(QStringLiteral("<sensorDescription"));
        QCOMPARE(attributeAt(line, QStringLiteral("unit"), line.indexOf(QLatin1String("<sensor "))),
                 QStringLiteral("mm"));
        bench.connector.setSampleRate(QStringLiteral("5ms"));
        bench.connector.sendRunStart();
        QTRY_VERIFY_WITH_TIMEOUT(bench.valueLines().size() >= 3, waitMs);
        const QStringList fields = bench.valueLines().first().trimmed().split(QLatin1Char(';'));
        for (int k = 1; k <= 5; ++k) {
            QCOMPARE(fields.at(k).section(QLatin1Char('.'), 1).size(), 3);
            QVERIFY(fields.at(k).toDouble() < 13.0);
        }
    }

    void curveFollowsTheMouldingCycle()
    {
        for (int k = 0; k < ShotCurve::numSensors; ++k) {
            const double open = ShotCurve::openGap(k);
            const double closed = ShotCurve::closedGap(k);
            QCOMPARE(ShotCurve::nominal(k, 0.0), open);
            QCOMPARE(ShotCurve::nominal(k, ShotCurve::injectionStart), closed);
            const double peak = ShotCurve::nominal(k, ShotCurve::holdingStart);
            QVERIFY(peak > closed + 50.0);
            const double heldEnd = ShotCurve::nominal(k, ShotCurve::coolingStart - 1e-9);
            QVERIFY(heldEnd < peak && heldEnd > closed);
            QVERIFY(ShotCurve::nominal(k, ShotCurve::openingStart) < closed);
            QCOMPARE(ShotCurve::nominal(k, 1.0), open);
            QCOMPARE(ShotCurve::phaseAt(0.5), ShotCurve::Phase::HoldingPressure);
        }
        // Readings stay near the nominal curve: small per-shot deviation and noise.
        ShotCurve curve(3);
        curve.newShot();
        for (double f = 0.16; f < 0.85; f += 0.05) {
            const ShotCurve::Sample s = curve.sample(f * 6000.0, 6000.0);
            for (int k = 0; k < ShotCurve::numSensors; ++k)
                QVERIFY(qAbs(s[k] - ShotCurve::nominal(k, f)) < 25.0);
        }
    }

    void eachShotFaultChangesItsShotAsItShould_data()
    {
        QTest::addColumn<int>("kind");
        // Window of the cycle where the fault shows, and how: the largest difference to the
        // same shot without the fault, upwards (1) or downwards (-1); 0: readings of 0.
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<int>("direction");
        QTest::addColumn<double>("least");
        using K = ShotFault::Kind;
        QTest::newRow("over-breathing opens wider in injection and holding")
            << int(K::OverBreathing) << 0.20 << 0.55 << 1 << 25.0;
        QTest::newRow("short shot breathes less")
            << int(K::ShortShot) << 0.20 << 0.55 << -1 << 25.0;
        QTest::newRow("late switch-over opens further in holding")
            << int(K::LateSwitchOver) << 0.30 << 0.55 << 1 << 20.0;
        QTest::newRow("early opening opens before cooling ended")
            << int(K::EarlyOpening) << 0.75 << 0.85 << 1 << 300.0;
        QTest::newRow("cooling bump") << int(K::CoolingBump) << 0.55 << 0.85 << 1 << 45.0;
        QTest::newRow("sensor reads zero") << int(K::SensorZero) << 0.0 << 1.0 << 0 << 0.0;
    }

    void eachShotFaultChangesItsShotAsItShould()
    {
        QFETCH(int, kind);
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(int, direction);
        QFETCH(double, least);
        const double cycle = ShotCurve::defaultCycleMs;
        const int period = 10;
        ShotFaultPlan plan(1.0, {ShotFault::Kind(kind)}, 17);
        // Several draws cover the range of the fault's sizes and places.
        for (unsigned seed = 1; seed <= 12; ++seed) {
            const ShotFault fault = plan.next();
            QCOMPARE(int(fault.kind), kind);
            ShotCurve good(seed);
            ShotCurve bad(seed);
            good.newShot();
            bad.newShot(fault);
            std::array<double, ShotCurve::numSensors> largest{};
            std::array<int, ShotCurve::numSensors> zeros{};
            std::array<int, ShotCurve::numSensors> changed{};
            for (int t = 0; t < int(cycle); t += period) {
                const ShotCurve::Sample a = good.sample(t, cycle);
                const ShotCurve::Sample b = bad.sample(t, cycle);
                const double f = t / cycle;
                for (int k = 0; k < ShotCurve::numSensors; ++k) {
                    zeros[k] += b[k] == 0.0;
                    changed[k] += a[k] != b[k];
                    if (f >= from && f < to)
                        largest[k] = qMax(largest[k], direction * (b[k] - a[k]));
                }
            }
            for (int k = 0; k < ShotCurve::numSensors; ++k) {
                const QByteArray where = QByteArray::number(seed) + "/" + QByteArray::number(k);
                if (!fault.affects(k))
                    QVERIFY2(changed[k] == 0, where);
                else if (direction == 0)
                    QVERIFY2(zeros[k] >= 0.9 * fault.length * cycle / period, where);
                else
                    QVERIFY2(largest[k] >= least && zeros[k] == 0, where);
            }
        }
    }

    void writtenShotSetReadsBackWithItsLabels()
    {
        QTemporaryDir dir;
        SimulatorOptions o = options();
        o.seed = 3;
        o.shotFaultRate = 0.6;
        o.labelsPath = dir.filePath(QStringLiteral("labels.csv"));
        ShotSetWriter::Settings settings;
        settings.shots = 60;
        settings.goodFirst = 10;
        const QString path = dir.filePath(QStringLiteral("set.mvx"));
        QString error;
        QVERIFY2(ShotSetWriter::write(path, settings, o, &error), qPrintable(error));

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        ProjectDocument doc;
        QVERIFY2(ProjectReader::read(file, file.size(), doc, error), qPrintable(error));
        QCOMPARE(doc.clock, 100.0);
        QCOMPARE(doc.sensorUnits.value_or(QStringList()).count(QStringLiteral("\u00B5m")),
                 ShotCurve::numSensors);

        const QVector<QStringList> rows = labelRows(o.labelsPath, QStringLiteral("shot,fault"));
        QCOMPARE(rows.size(), settings.shots);
        for (int k = 0; k < ShotCurve::numSensors; ++k)
            QCOMPARE(doc.shots[size_t(k)] ? doc.shots[size_t(k)]->size() : -1, settings.shots);
        QSet<QString> named;
        for (int j = 0; j < rows.size(); ++j) {
            QCOMPARE(rows.at(j).value(0), QString::number(j + 1));
            const QString label = rows.at(j).value(1);
            if (j < settings.goodFirst)
                QCOMPARE(label, QStringLiteral("none"));
            named.insert(label);
            // The label tells the truth about the readings: only a zero fault reads 0.
            bool zero = false;
            for (int k = 0; k < ShotCurve::numSensors; ++k) {
                const QVector<double>& samples = doc.shots[size_t(k)]->at(j);
                QCOMPARE(samples.size(), o.cycleMs / settings.samplePeriodMs);
                zero = zero || samples.contains(0.0);
            }
            QCOMPARE(zero, label == QLatin1String("sensor-zero"));
        }
        for (const QString& name : ShotFault::names())
            QVERIFY2(named.contains(name), qPrintable(name));
    }

    void liveShotsAndBlackBoxFilesAreLabelled()
    {
        QTemporaryDir dir;
        SimulatorOptions o = options();
        o.cycleMs = 300;
        o.shotFaultRate = 1.0;
        o.shotFaultKinds = {ShotFault::Kind::SensorZero};
        o.labelsPath = dir.filePath(QStringLiteral("labels.csv"));
        Bench bench(o);
        QVERIFY(bench.startAndConnect());
        bench.connector.setSampleRate(QStringLiteral("10ms"));
        for (int shot = 0; shot < 2; ++shot) {
            bench.connector.sendRunStart();
            QVERIFY(!bench.waitFor(QStringLiteral("run=0")).isEmpty());
            bench.messages.removeAll(QStringLiteral("run=0\n"));
        }
        QCOMPARE(labelRows(o.labelsPath, QStringLiteral("shot,fault")),
                 (QVector<QStringList>{{QStringLiteral("1"), QStringLiteral("sensor-zero")},
                                       {QStringLiteral("2"), QStringLiteral("sensor-zero")}}));
        const QStringList lines = bench.valueLines();
        QCOMPARE(lines.size(), 60);
        QVERIFY(!lines.filter(QStringLiteral(";0")).isEmpty());

        // Every black-box file written to the empty stick, under the name list gives it.
        const QVector<QStringList> files =
            labelRows(o.blackBoxLabelsPath(), QStringLiteral("file,fault"));
        const QStringList entries = StickFolder(m_stick->path()).listEntries();
        QCOMPARE(files.size(), entries.size());
        for (const QStringList& row : files) {
            QVERIFY(entries.contains(row.value(0)));
            QCOMPARE(row.value(1), QStringLiteral("sensor-zero"));
        }
    }

    void calibrationKeepsTheConnection()
    {
        Bench bench(options());
        QVERIFY(bench.startAndConnect());
        QSignalSpy disconnected(&bench.connector, &KalvikConnector::disconnected);
        bench.connector.sendCalibrate();
        bench.connector.setSampleRate(QStringLiteral("20ms"));
        QCOMPARE(bench.waitFor(QStringLiteral("t=")), QStringLiteral("t=20\n"));
        QCOMPARE(disconnected.count(), 0);
        QCOMPARE(bench.messages.count(), 1);
    }

    void rebootDropsTheConnectionAndListensAgain()
    {
        Bench bench(options());
        QVERIFY(bench.startAndConnect());
        QSignalSpy disconnected(&bench.connector, &KalvikConnector::disconnected);
        QVERIFY(bench.connector.reboot());
        QVERIFY(disconnected.wait(waitMs));
        QVERIFY(!bench.simulator->isListening());
        QSignalSpy errors(&bench.connector, &KalvikConnector::error);
        bench.connector.connect(m_host);
        QVERIFY(errors.wait(waitMs));
        QCOMPARE(errors.first().first().value<QAbstractSocket::SocketError>(),
                 QAbstractSocket::ConnectionRefusedError);
        QTRY_VERIFY_WITH_TIMEOUT(bench.simulator->isListening(), waitMs);
        QVERIFY(bench.connect());
        bench.connector.setSampleRate(QStringLiteral("50ms"));
        QCOMPARE(bench.waitFor(QStringLiteral("t=")), QStringLiteral("t=50\n"));
    }

    // The list used to name each day folder once, so the day table counted one shot for a
    // day of several.
    void listCountsEachDaysFilesNotItsFolder()
    {
        const StickFolder stick(m_stick->path());
        QCOMPARE(stick.generate(QDate(2019, 12, 24), 2, 4, 5), 8);
        // Days of different counts, so that no count can come out right by chance.
        const QDir firstDay(stick.dataPath() + QStringLiteral("/dir-20191223"));
        QVERIFY(QFile::remove(firstDay.filePath(firstDay.entryList(QDir::Files).first())));
        Bench bench(options());
        QVERIFY(bench.startAndConnect());
        bench.connector.write(QStringLiteral("list\n"));
        QVERIFY(!bench.waitFor(QStringLiteral("} list")).isEmpty());
        QStringList entries;
        for (const QString& line : qAsConst(bench.messages)) {
            if (line.startsWith(QLatin1String("dir-")))
                entries.append(line.trimmed());
        }
        BlackBoxDatesTableModel days;
        days.setFileList(entries);
        QCOMPARE(days.rowCount(), 2);
        QCOMPARE(days.index(0, 1).data().toInt(), 3);
        QCOMPARE(days.index(1, 1).data().toInt(), 4);
    }

    void listOfAnEmptyStick()
    {
        SimulatorOptions o = options();
        o.generateStick = false;
        Bench bench(o);
        QVERIFY(bench.startAndConnect());
        bench.connector.write(QStringLiteral("list\n"));
        QVERIFY(!bench.waitFor(QStringLiteral("} list")).isEmpty());
        QCOMPARE(bench.messages, (QStringList{"list {\n", ".\n", "..\n", "} list\n"}));
    }

    void anEmptyStickGetsAFewDaysOfBlackBoxFiles()
    {
        KalvikSimulator simulator(options());
        QVERIFY(simulator.start());
        const StickFolder stick(m_stick->path());
        const QStringList days = stick.dayFolders();
        QCOMPARE(days.size(), 3);
        QCOMPARE(days.last(), BlackBoxWriter::dayFolderName(QDate::currentDate()));
        for (const QString& day : days) {
            const QStringList files =
                QDir(stick.dataPath() + QLatin1Char('/') + day)
                    .entryList({QStringLiteral("*.bb")}, QDir::Files, QDir::Name);
            QVERIFY(!files.isEmpty());
            for (const QString& file : files) {
                // The relative path as the black-box tab reads it: date at 4-11, time at 27-32.
                const QString relative = day + QLatin1Char('/') + file;
                QCOMPARE(relative.mid(4, 8), day.mid(4, 8));
                QCOMPARE(relative.mid(18, 8), day.mid(4, 8));
                const QTime time = QTime::fromString(relative.mid(27, 6), QStringLiteral("HHmmss"));
                QVERIFY(time.isValid());
            }
        }
        // A stick that has day folders is left as it is.
        simulator.stop();
        const QString extra = stick.dataPath() + QStringLiteral("/dir-20000101");
        QVERIFY(QDir().mkpath(extra));
        QVERIFY(QDir(stick.dataPath() + QLatin1Char('/') + days.first()).removeRecursively());
        KalvikSimulator again(options());
        QVERIFY(again.start());
        QCOMPARE(stick.dayFolders().size(), 3);
        QVERIFY(!stick.dayFolders().contains(days.first()));
    }

    void blackBoxFilesReadIntoTheModel()
    {
        const StickFolder stick(m_stick->path());
        QCOMPARE(stick.generate(QDate(2019, 12, 24), 1, 2, 9), 2);
        const QString folder = stick.dataPath() + QStringLiteral("/dir-20191224");
        const QStringList files =
            QDir(folder).entryList({QStringLiteral("*.bb")}, QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 2);
        Model model;
        LogCapture log;
        for (const QString& file : files)
            QVERIFY(model.addBlackBoxFile(folder + QLatin1Char('/') + file));
        QVERIFY2(!log.contains(QStringLiteral("ERROR")), qPrintable(log.dump()));
        QCOMPARE(model.numTimestamps(), 2);
        for (int shot = 0; shot < 2; ++shot) {
            const QString name = files.at(shot);
            const QDateTime expected =
                QDateTime::fromString(name.mid(5, 15), QStringLiteral("yyyyMMdd_HHmmss"));
            QCOMPARE(model.timestamp(shot), expected);
            for (int k = 0; k < Model::numSensors; ++k) {
                const SampleList* samples = model.measurement(k, model.numChannels(k) - 2 + shot);
                QVERIFY(samples);
                QCOMPARE(samples->size(), 400);
                // The shot starts with the tool open and is closed in the middle.
                QVERIFY(samples->first() > 8000.0);
                QVERIFY(samples->at(200) < 4000.0);
            }
        }
        QCOMPARE(model.sensorDescription().sensorGroup(0).name(), QStringLiteral("Abstand"));
        QCOMPARE(model.sensorDescription().sensorGroup(0).sensorName(2),
                 QStringLiteral("Abstand 3"));
        // The file times are those of the shots.
        const QFileInfo info(folder + QLatin1Char('/') + files.first());
        QVERIFY(qAbs(info.lastModified().secsTo(QDateTime::fromString(
                    files.first().mid(5, 15), QStringLiteral("yyyyMMdd_HHmmss")))) < 10);
    }

    void connectorSurvivesGarbageLongAndBinaryLines()
    {
        SimulatorOptions o = options();
        o.faults =
            SimulatorOptions::Garbage | SimulatorOptions::LongLines | SimulatorOptions::Binary;
        o.cycleMs = 500;
        Bench bench(o);
        QVERIFY(bench.startAndConnect());
        bench.connector.setSampleRate(QStringLiteral("1ms"));
        bench.connector.sendRunStart();
        QVERIFY(!bench.waitFor(QStringLiteral("run=0")).isEmpty());
        // Every value line of the shot came through, in order, whatever was between them.
        const QStringList lines = bench.valueLines();
        QCOMPARE(lines.size(), 500);
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(lines.at(i).section(QLatin1Char(';'), 0, 0).toInt(), i);
        int junk = 0;
        int pieces = 0;
        for (const QString& m : bench.messages) {
            QVERIFY(m.size() <= 1023);
            if (m.size() == 1023)
                ++pieces;
            if (!isValueLine(m) && !m.startsWith(QLatin1String("run=")) &&
                !m.startsWith(QLatin1String("t=")))
                ++junk;
        }
        QVERIFY(junk > 20);
        QVERIFY(pieces > 0);
        // The link still works.
        bench.connector.setSampleRate(QStringLiteral("100ms"));
        QCOMPARE(bench.waitFor(QStringLiteral("t=100")), QStringLiteral("t=100\n"));
    }

    void connectionDroppedInTheMiddleOfAShot()
    {
        SimulatorOptions o = options();
        o.faults = SimulatorOptions::DropConnection;
        o.cycleMs = 400;
        Bench bench(o);
        QVERIFY(bench.startAndConnect());
        bench.connector.setSampleRate(QStringLiteral("10ms"));
        QSignalSpy disconnected(&bench.connector, &KalvikConnector::disconnected);
        bench.connector.sendRunStart();
        QVERIFY(disconnected.wait(waitMs));
        QVERIFY(!bench.connector.isConnected());
        // Half of the 40 lines of the shot, give or take what was in flight.
        QVERIFY(bench.valueLines().size() >= 10 && bench.valueLines().size() <= 20);
        QVERIFY(!bench.messages.contains(QStringLiteral("run=0\n")));
        // The device is still there for a new connection.
        bench.messages.clear();
        QVERIFY(bench.connect());
        bench.connector.setSampleRate(QStringLiteral("10ms"));
        bench.connector.sendRunStart();
        QCOMPARE(bench.waitFor(QStringLiteral("run=1")), QStringLiteral("run=1\n"));
    }

    void trickledLinesArriveWhole()
    {
        SimulatorOptions o = options();
        o.faults = SimulatorOptions::Trickle;
        o.cycleMs = 250;
        Bench bench(o);
        QVERIFY(bench.startAndConnect());
        bench.connector.requestSensorDescription();
        const QString description = bench.waitFor(QStringLiteral("<sensorDescription"), 10000);
        QVERIFY(description.endsWith(QLatin1String("</sensorDescription>\n")));
        bench.connector.setSampleRate(QStringLiteral("50ms"));
        bench.connector.sendRunStart();
        QVERIFY(!bench.waitFor(QStringLiteral("run=0"), 10000).isEmpty());
        QCOMPARE(bench.valueLines().size(), 5);
        for (const QString& m : bench.messages)
            QVERIFY2(m.endsWith(QLatin1Char('\n')), qPrintable(m));
    }

    void deviceSurvivesJunkFromThePC()
    {
        Bench bench(options());
        QVERIFY(bench.startAndConnect());
        bench.connector.write(QStringLiteral("no such command\n"));
        bench.connector.write(QString(20000, QLatin1Char('z')));
        bench.connector.write(QStringLiteral("\n"));
        bench.connector.write(QString::fromLatin1(QByteArray("\x00\xff\xfe\x01\n", 5)));
        bench.connector.write(QStringLiteral("run=1\r\nrun=0\r\n"));
        bench.connector.setSampleRate(QStringLiteral("25ms"));
        QCOMPARE(bench.waitFor(QStringLiteral("t=")), QStringLiteral("t=25\n"));
        QVERIFY(bench.connector.isConnected());
    }

    void aNewConnectionReplacesTheOldOne()
    {
        Bench bench(options());
        QVERIFY(bench.startAndConnect());
        QSignalSpy firstDisconnected(&bench.connector, &KalvikConnector::disconnected);
        KalvikConnector second;
        QSignalSpy secondConnected(&second, &KalvikConnector::connected);
        second.connect(m_host);
        QVERIFY(secondConnected.wait(waitMs));
        QVERIFY(firstDisconnected.wait(waitMs));
        QSignalSpy messages(&second, &KalvikConnector::messageReceived);
        second.setSampleRate(QStringLiteral("5ms"));
        QVERIFY(messages.wait(waitMs));
        QCOMPARE(messages.first().first().toString(), QStringLiteral("t=5\n"));
    }

    void maximumRateStreamsAsFastAsTheLinkTakes()
    {
        SimulatorOptions o = options();
        o.maxRate = true;
        o.cycleMs = 0;
        Bench bench(o);
        QVERIFY(bench.startAndConnect());
        bench.connector.sendRunStart();
        QTRY_VERIFY_WITH_TIMEOUT(bench.messages.size() > 20000, waitMs);
        bench.connector.sendRunStop();
        QVERIFY(!bench.waitFor(QStringLiteral("run=0"), waitMs).isEmpty());
        const int count = bench.messages.size();
        QTest::qWait(100);
        QCOMPARE(bench.messages.size(), count);
    }

    // The machine cycles with no computer connected; the stick has the device's clock.
    void everyCycleGoesToTheStickByTheDeviceClock()
    {
        const int offsetSeconds = -7200;
        SimulatorOptions o = machineOptions();
        o.clockOffsetSeconds = offsetSeconds;
        Bench bench(o);
        QSignalSpy written(bench.simulator.get(), &KalvikSimulator::cycleWritten);
        QVERIFY(bench.simulator->start());
        const QDateTime deviceNow = QDateTime::currentDateTime().addSecs(offsetSeconds);
        QTRY_VERIFY_WITH_TIMEOUT(written.count() >= 2, waitMs);
        const QVector<QStringList> log = labelRows(o.shotLogPath, shotLogHeader);
        QVERIFY(log.size() >= 2);
        for (int i = 0; i < 2; ++i) {
            const QFileInfo file(written.at(i).at(1).toString());
            const QDateTime named = QDateTime::fromString(file.fileName().mid(5, 15),
                                                          QStringLiteral("yyyyMMdd_HHmmss"));
            QVERIFY2(qAbs(named.secsTo(deviceNow)) < 10, qPrintable(file.fileName()));
            QCOMPARE(file.dir().dirName(), BlackBoxWriter::dayFolderName(named.date()));
            const StickShot shot = readStickShot(file.filePath());
            QCOMPARE(shot.time, named.toString(QStringLiteral("yyyyMMdd-HHmmss")));
            QCOMPARE(shot.samples.size(), 2);
            QCOMPARE(log.at(i), (QStringList{QString::number(i + 1), ShotLog::timeText(named),
                                             QStringLiteral("0")}));
        }
        QVERIFY(written.at(0).at(1) != written.at(1).at(1));
    }

    void aRecordingStreamsEveryCycleUntilRunZero()
    {
        const SimulatorOptions o = machineOptions();
        Bench bench(o);
        QSignalSpy written(bench.simulator.get(), &KalvikSimulator::cycleWritten);
        QVERIFY(bench.startAndConnect());
        bench.connector.setSampleRate(QStringLiteral("10ms"));
        QVERIFY(!bench.waitFor(QStringLiteral("t=")).isEmpty());
        bench.connector.sendRunStart();
        QStringList streamedFiles;
        while (streamedFiles.size() < 2 && written.wait(2 * waitMs)) {
            if (written.last().at(2).toBool())
                streamedFiles.append(written.last().at(1).toString());
        }
        QCOMPARE(streamedFiles.size(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(bench.messages.count(QStringLiteral("run=0\n")), 2, waitMs);

        // Each streamed cycle: run=1, the stick file's samples in order, run=0.
        QVector<QStringList> shots;
        for (const QString& m : qAsConst(bench.messages)) {
            if (m == QLatin1String("run=1\n"))
                shots.append(QStringList());
            else if (isValueLine(m) && !shots.isEmpty())
                shots.last().append(m);
        }
        QCOMPARE(shots.size(), 2);
        for (int k = 0; k < 2; ++k) {
            const QStringList stick = readStickShot(streamedFiles.at(k)).samples;
            QCOMPARE(stick.size(), 20);
            QCOMPARE(shots.at(k).size(), stick.size());
            for (int i = 0; i < stick.size(); ++i) {
                QVERIFY(shots.at(k).at(i).startsWith(QString::number(i) + QLatin1Char(';')));
                QCOMPARE(asStickSample(shots.at(k).at(i)), stick.at(i));
            }
        }

        // "run=0" is answered at once, and the next cycle goes to the stick only.
        bench.messages.clear();
        written.clear();
        bench.connector.sendRunStop();
        QCOMPARE(bench.waitFor(QStringLiteral("run=")), QStringLiteral("run=0\n"));
        QVERIFY(written.wait(waitMs));
        QCOMPARE(written.last().at(2).toBool(), false);
        QVERIFY(!bench.messages.contains(QStringLiteral("run=1\n")));
        QCOMPARE(labelRows(o.shotLogPath, shotLogHeader).last().value(2), QStringLiteral("0"));
    }

    void aLostLinkRefusesConnectionsWhileTheMachineGoesOn()
    {
        SimulatorOptions o = machineOptions();
        o.faults = SimulatorOptions::DropConnection;
        o.dropEveryCycles = 2;
        o.dropMinMs = 1500;
        o.dropMaxMs = 1500;
        Bench bench(o);
        QSignalSpy lost(bench.simulator.get(), &KalvikSimulator::linkLost);
        QSignalSpy written(bench.simulator.get(), &KalvikSimulator::cycleWritten);
        QVERIFY(bench.startAndConnect());
        QSignalSpy disconnected(&bench.connector, &KalvikConnector::disconnected);
        bench.connector.sendRunStart();
        QVERIFY(lost.wait(2 * waitMs));
        QCOMPARE(lost.first().first().toInt(), 1500);
        QCOMPARE(bench.simulator->cyclesBegun(), 2);
        QVERIFY(disconnected.count() == 1 || disconnected.wait(waitMs));
        // The computer asks again after reconnecting.
        QVERIFY(!bench.simulator->isRecordingRequested());
        const int writtenAtLoss = written.count();

        QSignalSpy errors(&bench.connector, &KalvikConnector::error);
        bench.connector.connect(m_host);
        QVERIFY(errors.wait(waitMs));
        QCOMPARE(errors.first().first().value<QAbstractSocket::SocketError>(),
                 QAbstractSocket::ConnectionRefusedError);
        QTRY_VERIFY_WITH_TIMEOUT(bench.simulator->isListening(), 2 * waitMs);
        // The cycle the link was lost in and the next one ended while it was away.
        QVERIFY(written.count() >= writtenAtLoss + 2);
        QVERIFY(bench.connect());

        const QVector<QStringList> log = labelRows(o.shotLogPath, shotLogHeader);
        QCOMPARE(log.size(), written.count());
        for (int i = 0; i < log.size(); ++i)
            QCOMPARE(log.at(i).value(0), QString::number(i + 1));
        // Streamed in part only: not a live shot.
        QCOMPARE(log.at(1).value(2), QStringLiteral("0"));
    }

    void addressInUseIsReported()
    {
        KalvikSimulator first(options());
        QVERIFY(first.start());
        KalvikSimulator second(options());
        QVERIFY(!second.start());
        QVERIFY(second.errorString().contains(m_host));
    }
};

VENTARO_TEST_MAIN(TestSimulator)
#include "test_simulator.moc"
