#include "model/Model.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TestMain.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cmath>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QJsonObject minimalProject()
{
    QJsonObject o;
    o.insert(QStringLiteral("fileVersion"), QStringLiteral("7"));
    return o;
}

// A model holding a recognisable project that is modified and not saved.
void fillProject(Model& model)
{
    ProjectData data;
    data.name = QStringLiteral("Gehäuse links");
    data.number = QStringLiteral("P-4711");
    data.user = QStringLiteral("Jörg");
    data.date = QStringLiteral("24.12.2019");
    data.customer = QStringLiteral("ACME");
    model.setProjectData(data);
    model.addMeasurement();
    model.appendSample(0, 0, 1.5);
    model.setProjectModifiedFlag(true);
}

// A small sound reference, as teaching would leave it.
ReferenceData smallReference()
{
    ReferenceData r;
    r.taughtShots = {1, 2, 4};
    r.shotCount = 3;
    r.clockMs = 10.0;
    r.valueTolerance = {0.5, 0.0, 1e-7, 2.0, 0.125};
    r.timeToleranceMs = 20.0;
    r.minDurationMs = 30.0;
    r.part = ReferenceData::Part::BetweenMarkers;
    r.fromMarker = 1;
    r.toMarker = 2;
    r.sensors[0] = {{1.0, 2.0, 3.0}, {1.5, 2.5, 3.5}, {0.5, 1.5, 2.5}};
    r.sensors[2] = {{-0.25}, {0.0}, {-0.3}};
    return r;
}

// A project with a shot, markers and, when asked, the small reference, saved to path and
// read back as JSON.
QJsonObject savedProject(const QString& path, bool withReference)
{
    Model model;
    fillProject(model);
    ProjectData data = model.projectData();
    data.markers = {100, 200, 300, 400};
    model.setProjectData(data);
    if (withReference)
        model.setReference(smallReference());
    if (!model.save(path))
        return QJsonObject();
    return QJsonDocument::fromJson(readAll(path)).object();
}

// The project as the writer lays it out after opening path.
QByteArray reopenedBytes(const QString& path)
{
    Model model;
    if (!model.open(path))
        return QByteArray();
    const QString again = path + QStringLiteral(".again");
    if (!model.save(again))
        return QByteArray();
    return readAll(again);
}

} // namespace

class TestProjectFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTripKeepsEveryStoredField();
    void olderVersionsGetDistanceDefaults_data();
    void olderVersionsGetDistanceDefaults();
    void unevenSensorArrays();
    void arraysLongerThanTheTablesAreCut();
    void viewData_data();
    void viewData();
    void failedOpenLeavesProjectUntouched_data();
    void failedOpenLeavesProjectUntouched();
    void wrongTypesAndAbsurdValuesLoadWhatIsValid();
    void missingKeysAreReported();
    void saveProjectWithoutFileName();
    void failedWriteKeepsOldFileAndModifiedFlag();
    void failedWriteOnFullDisk();
    void exportText();
    void writtenFileReadsBackWithQJsonDocument();
    void writtenFileIndentsAllButTheSamples();
    void qjsonDocumentFileReadsBack();
    void truncatedFilesAreRefused();
    void nestingAsDeepAsQJsonDocumentAllows();
    void readerTakesWhatQJsonDocumentTakes_data();
    void readerTakesWhatQJsonDocumentTakes();
    void openEmitsSummaryOnce();
    void fileToOpenAtConstruction();
    void unknownKeysOfAnyShapeAreSkipped();
    void brokenStoredReferenceIsDropped_data();
    void brokenStoredReferenceIsDropped();
};

void TestProjectFile::roundTripKeepsEveryStoredField()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("projekt.mvx"));
    Model a;
    ProjectData data;
    data.name = QStringLiteral("Gehäuse links");
    data.number = QStringLiteral("P-4711");
    data.user = QStringLiteral("Jörg");
    data.date = QStringLiteral("24.12.2019");
    data.customer = QStringLiteral("ACME");
    data.closingForce = 1200;
    data.injectionTime = 1.25;
    data.pressTime = 3.5;
    data.pressure = 850;
    data.markers = {100, 250, 600, 900};
    data.phaseNames = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                       QStringLiteral("D"), QStringLiteral("E")};
    a.setProjectData(data);
    a.setClock(20);
    a.setComment(QStringLiteral("Zeile 1\nZeile 2 \"zitiert\""));
    a.setKalvikType(2);
    a.setHwVersion(QStringLiteral("HW 1.2"));
    a.setSwVersion(QStringLiteral("7.0"));
    QImage picture(8, 6, QImage::Format_ARGB32);
    picture.fill(QColor(10, 20, 30));
    a.setProjectImage(0, picture);
    a.setProjectImage(4, picture.scaled(3, 3));
    for (int i = 0; i < 5; ++i) {
        a.setSensorName(i, QStringLiteral("Sensor µ%1").arg(i));
        a.setSensorMinimum(0, i, -i - 0.5);
        a.setSensorMaximum(0, i, 10.0 * (i + 1));
        a.setOffset(i, 0.125 * i);
        a.viewData().osziMinValues[static_cast<size_t>(i)] = -1.0 - i;
        a.viewData().osziMaxValues[static_cast<size_t>(i)] = 5.0 + i;
    }
    a.viewData().checkBoxMarkerAbsolute = false;
    // The SPC page's settings, with a limit on one side only and a rule switched off.
    SpcSettings spc;
    spc.value = QStringLiteral("max:2");
    spc.base = QStringLiteral("1-2");
    spc.rules[2] = false;
    spc.limits.insert(QStringLiteral("max:2"), {12.5, -0.25});
    spc.limits.insert(QStringLiteral("duration"), {std::nullopt, 0.1});
    a.setSpcSettings(spc);
    a.sensorDescription().sensorGroup(0).setName(QStringLiteral("Abstand"));
    a.sensorDescription().setSensorUnit(0, 0, QStringLiteral("mm"));
    a.sensorDescription().setSensorUnit(0, 4, QStringLiteral("µm"));
    a.sensorDescription().sensorGroup(0).setSensorType(2, QStringLiteral("Keyence Distance"));
    // A black-box shot keeps its date and time to the millisecond; a live one has none.
    const QDateTime stamp(QDate(2026, 3, 1), QTime(23, 59, 58, 125));
    for (int shot = 0; shot < 3; ++shot) {
        a.addMeasurement();
        if (shot != 1)
            a.setTimestamp(shot, stamp.addSecs(shot));
        for (int k = 0; k < 5; ++k) {
            for (int s = 0; s < 4 + shot; ++s)
                a.appendSample(k, shot, k * 100 + shot * 10 + s + 0.1 * s + 1e-9);
        }
    }
    QVERIFY(a.save(path));
    QCOMPARE(a.projectFileName(), path);
    QVERIFY(!a.isProjectModified());

    Model b;
    QVERIFY(b.open(path));
    QVERIFY(!b.isProjectModified());
    QCOMPARE(b.projectFileName(), QFileInfo(path).absoluteFilePath());
    QVERIFY(b.projectData() == a.projectData());
    QVERIFY(b.spcSettings() == spc);
    QCOMPARE(b.projectData().markers, data.markers);
    QCOMPARE(b.projectData().phaseNames, data.phaseNames);
    QCOMPARE(b.clock(), 20);
    QCOMPARE(b.comment(), a.comment());
    QCOMPARE(b.kalvikType(), 2);
    QCOMPARE(b.hwVersion(), QStringLiteral("HW 1.2"));
    QCOMPARE(b.swVersion(), QStringLiteral("7.0"));
    QCOMPARE(b.projectImage(0).convertToFormat(QImage::Format_ARGB32), picture);
    QVERIFY(b.projectImage(1).isNull());
    QCOMPARE(b.projectImage(4).size(), QSize(3, 3));
    const SensorGroup& g = b.sensorDescription().sensorGroup(0);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(b.sensorName(i), a.sensorName(i));
        QCOMPARE(g.sensorMinimum(i), -i - 0.5);
        QCOMPARE(g.sensorMaximum(i), 10.0 * (i + 1));
        QCOMPARE(b.offset(i), 0.125 * i);
        QCOMPARE(b.viewData().osziMinValues, a.viewData().osziMinValues);
        QCOMPARE(b.viewData().osziMaxValues, a.viewData().osziMaxValues);
        QCOMPARE(b.numChannels(i), 3);
        for (int shot = 0; shot < 3; ++shot)
            QCOMPARE(*b.measurement(i, shot), *a.measurement(i, shot));
    }
    QCOMPARE(b.viewData().checkBoxMarkerAbsolute, false);
    // Timestamps, group name, types and units travel under keys older readers ignore.
    QCOMPARE(b.numTimestamps(), 3);
    QCOMPARE(b.timestamp(0), stamp);
    QVERIFY(!b.timestamp(1).isValid());
    QCOMPARE(b.timestamp(2), stamp.addSecs(2));
    QCOMPARE(g.name(), QStringLiteral("Abstand"));
    QCOMPARE(g.sensorUnit(0), QStringLiteral("mm"));
    QCOMPARE(g.sensorUnit(4), QStringLiteral("µm"));
    QCOMPARE(g.sensorType(2), QStringLiteral("Keyence Distance"));
    QCOMPARE(g.sensorType(0), QString());

    // The file is JSON with the version as text.
    const QJsonObject root = QJsonDocument::fromJson(readAll(path)).object();
    QCOMPARE(root.value(QStringLiteral("fileVersion")).toString(), QStringLiteral("7"));
    QCOMPARE(root.value(QStringLiteral("sensor 2")).toArray().size(), 3);
}

void TestProjectFile::olderVersionsGetDistanceDefaults_data()
{
    QTest::addColumn<QJsonValue>("version");
    QTest::addColumn<bool>("defaults");
    QTest::newRow("missing") << QJsonValue(QJsonValue::Undefined) << true;
    QTest::newRow("empty") << QJsonValue(QString()) << true;
    QTest::newRow("6.0") << QJsonValue(QStringLiteral("6.0")) << true;
    QTest::newRow("6") << QJsonValue(QStringLiteral("6")) << true;
    QTest::newRow("number instead of text") << QJsonValue(7) << true;
    QTest::newRow("7") << QJsonValue(QStringLiteral("7")) << false;
}

void TestProjectFile::olderVersionsGetDistanceDefaults()
{
    QFETCH(QJsonValue, version);
    QFETCH(bool, defaults);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.mvx"));
    QJsonObject root;
    if (!version.isUndefined())
        root.insert(QStringLiteral("fileVersion"), version);
    root.insert(QStringLiteral("sensorName 2"), QStringLiteral("Schieber"));
    QVERIFY(writeFile(path, QJsonDocument(root).toJson()));

    Model model;
    LogCapture log;
    QVERIFY(model.open(path));
    const SensorGroup& g = model.sensorDescription().sensorGroup(0);
    QCOMPARE(g.name(), defaults ? QStringLiteral("Distance") : QString());
    for (int i = 0; i < 5; ++i)
        QCOMPARE(g.sensorType(i), defaults ? QStringLiteral("Distance") : QString());
    QCOMPARE(log.contains(QStringLiteral(
                 " file version < 7 -> using defaults (1 group, 5 sensors, distance)")),
             defaults);
    QCOMPARE(model.sensorName(1), QStringLiteral("Schieber"));
    QCOMPARE(model.sensorName(0), QStringLiteral("Sensor 1"));
}

void TestProjectFile::unevenSensorArrays()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("uneven.mvx"));
    QJsonObject root = minimalProject();
    root.insert(QStringLiteral("sensor 1"),
                QJsonArray{QJsonArray{1, 2}, QJsonArray{3}, QJsonArray{4, 5, 6}});
    // A lone array in braces: clang takes it for a copy, g++ for the one element.
    root.insert(QStringLiteral("sensor 2"), QJsonArray{QJsonValue(QJsonArray{7.5})});
    root.insert(QStringLiteral("sensor 3"), QJsonArray{QStringLiteral("no shot"), QJsonArray{}});
    root.insert(QStringLiteral("sensor 4"), QStringLiteral("not an array"));
    QVERIFY(writeFile(path, QJsonDocument(root).toJson()));

    Model model;
    LogCapture log;
    QVERIFY(model.open(path));
    QCOMPARE(model.numChannels(0), 3);
    QCOMPARE(model.numChannels(1), 1);
    QCOMPARE(model.numChannels(2), 2);
    QCOMPARE(model.numChannels(3), 0);
    QCOMPARE(model.numChannels(4), 0);
    QCOMPARE(model.numTimestamps(), 3);
    QCOMPARE(*model.measurement(0, 2), SampleList({4, 5, 6}));
    QCOMPARE(*model.measurement(1, 0), SampleList({7.5}));
    QVERIFY(model.measurement(2, 0)->isEmpty());
    QVERIFY(log.contains(QStringLiteral(" jSensor4 is no array!")));
    QVERIFY(log.contains(QStringLiteral(" jSensor5 is no array!")));
}

void TestProjectFile::arraysLongerThanTheTablesAreCut()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.mvx"));
    QJsonObject root = minimalProject();
    root.insert(QStringLiteral("markers"), QJsonArray{10, 20, 30, 40, 50, 60});
    QJsonArray phases;
    for (int i = 0; i < 7; ++i)
        phases.append(QStringLiteral("Phase %1").arg(i));
    root.insert(QStringLiteral("phases"), phases);
    root.insert(QStringLiteral("corrections"), QJsonArray{1, 2, 3, 4, 5, 6, 7});
    QJsonArray minimums;
    for (int i = 0; i < 1000; ++i)
        minimums.append(-i);
    root.insert(QStringLiteral("sensor minValues"), minimums);
    QVERIFY(writeFile(path, QJsonDocument(root).toJson()));

    Model model;
    LogCapture log;
    QVERIFY(model.open(path));
    const auto& m = model.projectData().markers;
    QCOMPARE(QVector<int>({m[0], m[1], m[2], m[3]}), QVector<int>({10, 20, 30, 40}));
    QCOMPARE(model.phaseName(4), QStringLiteral("Phase 4"));
    QCOMPARE(model.offset(4), 5.0);
    QCOMPARE(model.sensorDescription().sensorGroup(0).numSensors(), 5);
    QCOMPARE(model.sensorDescription().sensorGroup(0).sensorMinimum(4), -4.0);
    // The sixth element meets the range check; the rest do not flood the log.
    QVERIFY(log.contains(QStringLiteral("ERROR: index >= numSens !!")));
    QVERIFY(log.count(QStringLiteral("ERROR: index >= numSens !!")) < 10);
}

void TestProjectFile::viewData_data()
{
    QTest::addColumn<QJsonValue>("view");
    QTest::addColumn<bool>("absolute");
    QTest::addColumn<double>("lo0");
    QTest::addColumn<double>("hi0");
    QTest::addColumn<double>("hi1");
    QTest::addColumn<QString>("diagnostic");

    QJsonObject equal;
    equal.insert(QStringLiteral("checkBoxMarkerAbsolute"), false);
    equal.insert(QStringLiteral("osziMinValues"), QJsonArray{3, 1});
    equal.insert(QStringLiteral("osziMaxValues"), QJsonArray{3, 9});
    QTest::newRow("equal ends give the sensor range")
        << QJsonValue(equal) << false << -2.0 << 12.0 << 9.0
        << QStringLiteral("osziMin and osziMax not given or equal -> use sensor min/max values:");

    QJsonObject shortMax;
    shortMax.insert(QStringLiteral("osziMinValues"), QJsonArray{1, 2});
    shortMax.insert(QStringLiteral("osziMaxValues"), QJsonArray{4});
    QTest::newRow("shorter maximum array")
        << QJsonValue(shortMax) << true << 1.0 << 4.0 << 0.0 << QString();

    QJsonObject noArrays;
    noArrays.insert(QStringLiteral("osziMinValues"), 5);
    QTest::newRow("no arrays keep the previous ends")
        << QJsonValue(noArrays) << true << 7.0 << 8.0 << 8.0
        << QStringLiteral("jOsziMinArray is no array!");

    QTest::newRow("missing") << QJsonValue(QJsonValue::Undefined) << true << 7.0 << 8.0 << 8.0
                             << QStringLiteral(
                                    "jViewData is undefined (key 'ViewData' not found)!");
    QTest::newRow("not an object") << QJsonValue(QJsonArray{1}) << true << 7.0 << 8.0 << 8.0
                                   << QStringLiteral("jViewData is no object!");
}

void TestProjectFile::viewData()
{
    QFETCH(QJsonValue, view);
    QFETCH(bool, absolute);
    QFETCH(double, lo0);
    QFETCH(double, hi0);
    QFETCH(double, hi1);
    QFETCH(QString, diagnostic);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("view.mvx"));
    QJsonObject root = minimalProject();
    root.insert(QStringLiteral("sensor minValues"), QJsonArray{-2, 0, 0, 0, 0});
    root.insert(QStringLiteral("sensor maxValues"), QJsonArray{12, 1, 1, 1, 1});
    if (!view.isUndefined())
        root.insert(QStringLiteral("ViewData"), view);
    QVERIFY(writeFile(path, QJsonDocument(root).toJson()));

    Model model;
    model.viewData().osziMinValues.fill(7.0);
    model.viewData().osziMaxValues.fill(8.0);
    LogCapture log;
    QVERIFY(model.open(path));
    QCOMPARE(model.viewData().checkBoxMarkerAbsolute, absolute);
    QCOMPARE(model.viewData().osziMinValues[0], lo0);
    QCOMPARE(model.viewData().osziMaxValues[0], hi0);
    QCOMPARE(model.viewData().osziMaxValues[1], hi1);
    if (!diagnostic.isEmpty())
        QVERIFY2(log.contains(diagnostic), qPrintable(log.dump()));
}

void TestProjectFile::failedOpenLeavesProjectUntouched_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not JSON") << QByteArray("Kalvik project\n");
    QTest::newRow("top level array") << QByteArray("[{\"fileVersion\": \"7\"}]");
    QTest::newRow("truncated") << QByteArray("{\"fileVersion\": \"7\", \"sensor 1\": [[1, 2");
    QTest::newRow("empty file") << QByteArray();
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919 + 13) % 256);
    QTest::newRow("binary garbage") << garbage;
    QTest::newRow("missing file") << QByteArray("<missing>");
    QTest::newRow("number beyond double") << QByteArray("{\"sensor 1\": [[1e400]]}");
    QTest::newRow("invalid UTF-8") << QByteArray("{\"projectName\": \"\xff\xfe\"}");
    QTest::newRow("garbage after the object") << QByteArray("{\"clock\": 10} x");
    QTest::newRow("trailing comma") << QByteArray("{\"sensor 1\": [[1, 2],]}");
    QTest::newRow("nested too deep")
        << QByteArray("{\"sensor 1\": " + QByteArray(2000, '[') + QByteArray(2000, ']') + "}");
}

void TestProjectFile::failedOpenLeavesProjectUntouched()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.mvx"));
    if (content != "<missing>")
        QVERIFY(writeFile(path, content));

    Model model;
    fillProject(model);
    model.setProjectFileName(QStringLiteral("/somewhere/else.mvx"));
    QSignalSpy project(&model, &Model::projectChanged);
    QSignalSpy data(&model, &Model::dataChanged);
    LogCapture log;
    QVERIFY(!model.open(path));
    QCOMPARE(model.projectData().name, QStringLiteral("Gehäuse links"));
    QCOMPARE(model.numChannels(0), 1);
    QVERIFY(model.isProjectModified());
    QCOMPARE(model.projectFileName(), QStringLiteral("/somewhere/else.mvx"));
    QCOMPARE(project.count(), 0);
    QCOMPARE(data.count(), 0);
    QVERIFY(!model.signalsBlocked());
    QVERIFY(log.contains(content == "<missing>" ? QStringLiteral("could not open file: ")
                                                : QStringLiteral(" jdoc is no object!")));
}

void TestProjectFile::wrongTypesAndAbsurdValuesLoadWhatIsValid()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("odd.mvx"));
    QJsonObject root = minimalProject();
    root.insert(QStringLiteral("projectName"), 42);
    root.insert(QStringLiteral("projectNumber"), QStringLiteral("N-1"));
    root.insert(QStringLiteral("paramClosingForce"), QStringLiteral("1200"));
    root.insert(QStringLiteral("paramPressure"), 1e300);
    root.insert(QStringLiteral("paramInjectionTime"), QStringLiteral("fast"));
    root.insert(QStringLiteral("clock"), 1e300);
    root.insert(QStringLiteral("kalvikType"), 2.5);
    root.insert(QStringLiteral("markers"), QJsonArray{-1e30, 1e30, QStringLiteral("x"), 7.9});
    root.insert(QStringLiteral("phases"), QJsonArray{1, QStringLiteral("Kühlen")});
    root.insert(
        QStringLiteral("sensor 1"),
        QJsonArray{QJsonValue(QJsonArray{1, QStringLiteral("2"), QJsonValue::Null, true, 5})});
    root.insert(QStringLiteral("projectImage"), QStringLiteral("not base64 ?!"));
    root.insert(QStringLiteral("projectImage1"), QStringLiteral("aGVsbG8="));
    root.insert(QStringLiteral("sensorName 3"), 3);
    QVERIFY(writeFile(path, QJsonDocument(root).toJson()));

    Model model;
    LogCapture log;
    QVERIFY(model.open(path));
    QCOMPARE(model.projectData().name, QString());
    QCOMPARE(model.projectData().number, QStringLiteral("N-1"));
    QCOMPARE(model.projectData().closingForce, 0);
    QCOMPARE(model.projectData().pressure, 0);
    QCOMPARE(model.projectData().injectionTime, 0.0);
    // Clamped to the longest period the device has, so no time axis can overflow.
    QCOMPARE(model.clock(), 1000);
    QCOMPARE(model.kalvikType(), 0);
    const auto& m = model.projectData().markers;
    QCOMPARE(m[0], std::numeric_limits<int>::min());
    QCOMPARE(m[1], std::numeric_limits<int>::max());
    QCOMPARE(m[3], 7);
    QCOMPARE(model.phaseName(0), QString());
    QCOMPARE(model.phaseName(1), QStringLiteral("Kühlen"));
    QCOMPARE(*model.measurement(0, 0), SampleList({1, 0, 0, 0, 5}));
    QVERIFY(model.projectImage(0).isNull());
    QVERIFY(model.projectImage(1).isNull());
    QCOMPARE(model.sensorName(2), QStringLiteral("Sensor 3"));
}

void TestProjectFile::missingKeysAreReported()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.mvx"));
    QVERIFY(writeFile(path, "{}"));
    Model model;
    LogCapture log;
    QVERIFY(model.open(path));
    for (const char* text :
         {" jMarkers is no array!", " jPhases is no array!", " jMinValues is no array!",
          " jMaxValues is no array!", " jCorrections is no array!", " jSensor1 is no array!"})
        QVERIFY2(log.contains(QString::fromLatin1(text)), text);
    // Phase names keep the defaults of a new project.
    QCOMPARE(model.phaseName(0), QStringLiteral("WZ schließen"));
    QCOMPARE(model.clock(), 0);
}

void TestProjectFile::saveProjectWithoutFileName()
{
    QTemporaryDir dir;
    Model model;
    fillProject(model);
    QVERIFY(!model.saveProject());
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    QVERIFY(model.isProjectModified());

    const QString path = dir.filePath(QStringLiteral("named.mvx"));
    model.setProjectFileName(path);
    QVERIFY(model.saveProject());
    QVERIFY(QFile::exists(path));
    QVERIFY(!model.isProjectModified());
}

void TestProjectFile::failedWriteKeepsOldFileAndModifiedFlag()
{
    QTemporaryDir dir;
    Model model;
    fillProject(model);
    const QString good = dir.filePath(QStringLiteral("good.mvx"));
    QVERIFY(model.save(good));
    model.setComment(QStringLiteral("changed"));
    QVERIFY(model.isProjectModified());

    // A folder where the file should be, a vanished folder and a place no one may write.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.mvx")));
    const QStringList targets = {dir.filePath(QStringLiteral("folder.mvx")),
                                 dir.filePath(QStringLiteral("gone/projekt.mvx")),
                                 QStringLiteral("/proc/ventaro-test.mvx")};
    for (const QString& target : targets) {
        QSignalSpy spy(&model, &Model::projectChanged);
        QVERIFY2(!model.save(target), qPrintable(target));
        QVERIFY(model.isProjectModified());
        QCOMPARE(model.projectFileName(), good);
        QCOMPARE(spy.count(), 0);
    }
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder.mvx"))).isDir());

    if (geteuid() != 0) {
        const QString locked = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
        const QString old = locked + QStringLiteral("/old.mvx");
        QVERIFY(model.save(old));
        const QByteArray before = readAll(old);
        model.setComment(QStringLiteral("changed again"));
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(!model.save(old));
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(readAll(old), before);
        QVERIFY(model.isProjectModified());
    }
}

void TestProjectFile::failedWriteOnFullDisk()
{
    // A file size limit makes writes fail part-way, as a full disk does, even for root.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("projekt.mvx"));
    Model model;
    fillProject(model);
    QVERIFY(model.save(path));
    const QByteArray before = readAll(path);
    QVERIFY(before.size() < 16 * 1024);

    for (int i = 0; i < 20000; ++i)
        model.appendSample(1, 0, i * 0.001);
    model.setComment(QStringLiteral("more shots"));
    QVERIFY(model.isProjectModified());

    struct rlimit old
    {
    };
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit limit = old;
    limit.rlim_cur = 16 * 1024;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool saved = model.save(path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!saved);
    QCOMPARE(readAll(path), before);
    QVERIFY(model.isProjectModified());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("projekt.mvx")}));
}

void TestProjectFile::exportText()
{
    QTemporaryDir dir;
    Model model;
    ProjectData data;
    data.name = QStringLiteral("Deckel");
    data.number = QStringLiteral("42");
    data.user = QStringLiteral("Anna");
    data.date = QStringLiteral("1.2.2021");
    model.setProjectData(data);
    model.setProjectFileName(QStringLiteral("/daten/projekte/deckel.mvx"));
    model.setClock(10);
    model.setSensorName(0, QStringLiteral("Kern"));
    model.addMeasurement();
    model.addMeasurement();
    for (double v : {1.5, 1.75, 2.0})
        model.appendSample(0, 0, v);
    for (double v : {1234.5, -0.000123456789, 1234567.0})
        model.appendSample(0, 1, v);
    model.appendSample(1, 0, 3.0);

    const QString path = dir.filePath(QStringLiteral("export.txt"));
    QVERIFY(model.exportText(path));
    const QStringList lines = QString::fromUtf8(readAll(path)).split(QLatin1Char('\n'));
    const QStringList expected = {QStringLiteral("Dateiname: deckel.mvx"),
                                  QString(),
                                  QStringLiteral("Projekt: Deckel"),
                                  QStringLiteral("Proj.Nr.: 42"),
                                  QStringLiteral("Bearbeiter: Anna"),
                                  QStringLiteral("Datum: 1.2.2021"),
                                  QString(),
                                  QStringLiteral("Abtastrate: 10ms"),
                                  QStringLiteral("Sensor 1: Kern"),
                                  QStringLiteral("data 0;1,5;1,75;2"),
                                  QStringLiteral("data 1;1.234,5;-0,000123457;1,23457e+06"),
                                  QStringLiteral("Sensor 2: "),
                                  QStringLiteral("data 0;3"),
                                  QStringLiteral("data 1;"),
                                  QStringLiteral("Sensor 3: "),
                                  QStringLiteral("data 0;"),
                                  QStringLiteral("data 1;")};
    QCOMPARE(lines.mid(0, expected.size()), expected);
    QCOMPARE(lines.constLast(), QString());

    QVERIFY(!model.exportText(dir.filePath(QStringLiteral("gone/export.txt"))));
}

namespace {

// Samples that a naive writer or reader gets wrong: the shortest text of each must read
// back to the same bits, and non-finite ones go the way QJsonDocument takes them (null, 0).
const QVector<double> trickySamples = {0.1,
                                       1.0 / 3.0,
                                       -2.5,
                                       123456789.123456789,
                                       1e21,
                                       1.7976931348623157e308,
                                       -1.7976931348623157e308,
                                       4.9406564584124654e-324,
                                       2.2250738585072014e-308,
                                       9007199254740993.0,
                                       -0.0,
                                       1e-7,
                                       std::numeric_limits<double>::quiet_NaN(),
                                       std::numeric_limits<double>::infinity(),
                                       -std::numeric_limits<double>::infinity()};

const QString trickyText =
    QStringLiteral("Zeile \"1\"\\\\ \t\n\r\b\f \x01\x1f / € ä 𝄞 ") + QChar(0x7f);

double asStored(double v)
{
    return std::isfinite(v) ? v : 0.0;
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

void TestProjectFile::writtenFileReadsBackWithQJsonDocument()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.mvx"));
    Model model;
    model.setComment(trickyText);
    model.setSensorName(1, trickyText);
    ProjectData data;
    data.name = QStringLiteral("Ölwanne");
    data.injectionTime = 1e300;
    data.closingForce = std::numeric_limits<int>::min();
    model.setProjectData(data);
    // Uneven arrays: sensor 0 holds three shots, sensor 3 one, the others none.
    for (int shot = 0; shot < 3; ++shot)
        model.appendSeries(0, SampleList(trickySamples));
    model.appendSeries(3, SampleList{1.0, 2.0});
    model.appendSeries(0, SampleList());
    QVERIFY(model.save(path));

    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(readAll(path), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject root = document.object();
    QCOMPARE(root.value(QStringLiteral("comment")).toString(), trickyText);
    QCOMPARE(root.value(QStringLiteral("sensorName 2")).toString(), trickyText);
    QCOMPARE(root.value(QStringLiteral("projectName")).toString(), QStringLiteral("Ölwanne"));
    QCOMPARE(root.value(QStringLiteral("paramInjectionTime")).toDouble(), 1e300);
    QCOMPARE(root.value(QStringLiteral("paramClosingForce")).toInt(),
             std::numeric_limits<int>::min());
    const QJsonArray sensor1 = root.value(QStringLiteral("sensor 1")).toArray();
    QCOMPARE(sensor1.size(), 4);
    for (int shot = 0; shot < 3; ++shot) {
        const QJsonArray samples = sensor1.at(shot).toArray();
        QCOMPARE(samples.size(), trickySamples.size());
        for (int i = 0; i < samples.size(); ++i) {
            const double v = trickySamples.at(i);
            QVERIFY2(sameBits(samples.at(i).toDouble(), asStored(v)) ||
                         (v == 0.0 && samples.at(i).toDouble() == 0.0),
                     qPrintable(QString::number(v, 'g', 17)));
            QCOMPARE(samples.at(i).isNull(), !std::isfinite(v));
        }
    }
    QVERIFY(sensor1.at(3).toArray().isEmpty());
    QCOMPARE(root.value(QStringLiteral("sensor 4")).toArray().size(), 1);
    QVERIFY(root.value(QStringLiteral("sensor 2")).toArray().isEmpty());
    QVERIFY(root.value(QStringLiteral("timestamps")).isArray());

    // Our own reader gives back the same bits, -0.0 included.
    Model back;
    QVERIFY(back.open(path));
    QCOMPARE(back.comment(), trickyText);
    QCOMPARE(back.numChannels(0), 4);
    QCOMPARE(back.numChannels(3), 1);
    QCOMPARE(back.numChannels(1), 0);
    for (int i = 0; i < trickySamples.size(); ++i)
        QVERIFY2(sameBits(back.measurement(0, 2)->at(i), asStored(trickySamples.at(i))),
                 qPrintable(QString::number(trickySamples.at(i), 'g', 17)));
}

namespace {

bool isNumberLine(const QByteArray& line)
{
    const QByteArray t = line.trimmed();
    return !t.isEmpty() &&
           (t.at(0) == '-' || (t.at(0) >= '0' && t.at(0) <= '9') || t.startsWith("null"));
}

// QJsonDocument's indented text with every array of numbers that stands as an element of
// an array (a shot, a list of the reference) put on one line.
QByteArray samplesOnOneLine(const QByteArray& indented)
{
    const QList<QByteArray> lines = indented.split('\n');
    QByteArrayList out;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        const QByteArray indent = line.left(line.size() - 1);
        if (line.trimmed() == "[" && indent.trimmed().isEmpty()) {
            int end = i + 1;
            while (end < lines.size() && isNumberLine(lines.at(end)))
                ++end;
            const QByteArray close = end < lines.size() ? lines.at(end) : QByteArray();
            if (close == indent + ']' || close == indent + "],") {
                QByteArrayList numbers;
                for (int j = i + 1; j < end; ++j) {
                    QByteArray number = lines.at(j).trimmed();
                    if (number.endsWith(','))
                        number.chop(1);
                    numbers.append(number);
                }
                out.append(indent + '[' + numbers.join(',') + close.mid(indent.size()));
                i = end;
                continue;
            }
        }
        out.append(line);
    }
    return out.join('\n');
}

} // namespace

void TestProjectFile::writtenFileIndentsAllButTheSamples()
{
    // Every key, indent and empty container as QJsonDocument lays them out, and each shot
    // and reference list on a line of its own.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("layout.mvx"));
    Model model;
    fillProject(model);
    model.setComment(QStringLiteral("Werkzeug 3, \"neu\""));
    for (double v : {12.345, -0.002, 1000.0, 0.0001, 1e-5})
        model.appendSample(2, 0, v);
    model.appendSeries(2, SampleList());
    model.setTimestamp(0, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    model.sensorDescription().sensorGroup(0).setName(QStringLiteral("Abstand"));
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(Qt::red);
    model.setProjectImage(1, picture);
    model.setReference(smallReference());
    QVERIFY(model.save(path));

    const QByteArray ours = readAll(path);
    QVERIFY(ours.contains("\n        [12.345,-0.002,1000,0.0001,1e-05]"));
    const QByteArray qt = QJsonDocument::fromJson(ours).toJson(QJsonDocument::Indented);
    QCOMPARE(QString::fromUtf8(ours), QString::fromUtf8(samplesOnOneLine(qt)));
}

void TestProjectFile::qjsonDocumentFileReadsBack()
{
    // A file as the versions before wrote it, through QJsonDocument.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.mvx"));
    QJsonObject root = minimalProject();
    root.insert(QStringLiteral("comment"), trickyText);
    root.insert(QStringLiteral("projectCustomer"), QStringLiteral("Müller & Söhne 𝄞"));
    root.insert(QStringLiteral("paramPressure"), 850);
    root.insert(QStringLiteral("paramPressureTime"), 2.75);
    root.insert(QStringLiteral("clock"), 5);
    QJsonArray shot;
    for (double v : trickySamples)
        shot.append(v);
    root.insert(QStringLiteral("sensor 1"), QJsonArray{shot, QJsonArray{7}, QJsonArray()});
    root.insert(QStringLiteral("sensor 2"), QJsonArray{QJsonValue(QJsonArray{-1.5})});
    root.insert(QStringLiteral("sensor 3"), QJsonArray());
    root.insert(QStringLiteral("sensor 4"), QJsonArray());
    root.insert(QStringLiteral("sensor 5"), QJsonArray());
    root.insert(QStringLiteral("markers"), QJsonArray{10, 20, 30, 40});
    root.insert(QStringLiteral("corrections"), QJsonArray{0.5, -0.25, 0, 0, 1e-3});
    root.insert(QStringLiteral("sensor minValues"), QJsonArray{-1, -2, -3, -4, -5});
    root.insert(QStringLiteral("sensor maxValues"), QJsonArray{1, 2, 3, 4, 5});
    root.insert(QStringLiteral("sensorName 1"), QStringLiteral("Kern \"A\""));
    QJsonObject view;
    view.insert(QStringLiteral("checkBoxMarkerAbsolute"), false);
    view.insert(QStringLiteral("osziMinValues"), QJsonArray{-10, 0, 0, 0, 0});
    view.insert(QStringLiteral("osziMaxValues"), QJsonArray{10, 0, 0, 0, 0});
    root.insert(QStringLiteral("ViewData"), view);
    QVERIFY(writeFile(path, QJsonDocument(root).toJson(QJsonDocument::Indented)));

    Model model;
    QVERIFY(model.open(path));
    QCOMPARE(model.comment(), trickyText);
    QCOMPARE(model.projectData().customer, QStringLiteral("Müller & Söhne 𝄞"));
    QCOMPARE(model.projectData().pressure, 850);
    QCOMPARE(model.projectData().pressTime, 2.75);
    QCOMPARE(model.clock(), 5);
    QCOMPARE(model.numChannels(0), 3);
    QCOMPARE(model.numChannels(1), 1);
    QCOMPARE(model.numTimestamps(), 3);
    QVERIFY(!model.timestamp(0).isValid());
    const SampleList& first = *model.measurement(0, 0);
    QCOMPARE(first.size(), trickySamples.size());
    for (int i = 0; i < first.size(); ++i) {
        const double expected = QJsonDocument::fromJson(readAll(path))
                                    .object()
                                    .value(QStringLiteral("sensor 1"))
                                    .toArray()
                                    .at(0)
                                    .toArray()
                                    .at(i)
                                    .toDouble();
        QVERIFY2(first.at(i) == expected, qPrintable(QString::number(first.at(i), 'g', 17)));
    }
    QCOMPARE(*model.measurement(0, 1), SampleList{7});
    QVERIFY(model.measurement(0, 2)->isEmpty());
    QCOMPARE(*model.measurement(1, 0), SampleList{-1.5});
    QCOMPARE(model.projectData().markers, (std::array<int, 4>{10, 20, 30, 40}));
    QCOMPARE(model.offset(4), 1e-3);
    QCOMPARE(model.sensorDescription().sensorGroup(0).sensorMinimum(2), -3.0);
    QCOMPARE(model.sensorName(0), QStringLiteral("Kern \"A\""));
    QCOMPARE(model.viewData().checkBoxMarkerAbsolute, false);
    QCOMPARE(model.viewData().osziMinValues[0], -10.0);
    QCOMPARE(model.viewData().osziMaxValues[0], 10.0);
}

void TestProjectFile::truncatedFilesAreRefused()
{
    QTemporaryDir dir;
    const QString full = dir.filePath(QStringLiteral("full.mvx"));
    Model source;
    fillProject(source);
    for (int i = 0; i < 50; ++i)
        source.appendSample(0, 0, i * 0.5);
    QVERIFY(source.save(full));
    const QByteArray bytes = readAll(full);
    const QString cut = dir.filePath(QStringLiteral("cut.mvx"));
    // Every cut before the closing brace, at a spread of places (in a key, a number, a
    // picture, between values).
    for (int length = 1; length < bytes.lastIndexOf('}'); length += 37) {
        QVERIFY(writeFile(cut, bytes.left(length)));
        Model model;
        fillProject(model);
        model.setComment(QStringLiteral("before"));
        LogCapture log;
        QVERIFY2(!model.open(cut), qPrintable(QString::number(length)));
        QCOMPARE(model.comment(), QStringLiteral("before"));
        QCOMPARE(model.numChannels(0), 1);
        QVERIFY(model.isProjectModified());
        QVERIFY(log.contains(QStringLiteral(" jdoc is no object!")));
    }
}

void TestProjectFile::nestingAsDeepAsQJsonDocumentAllows()
{
    // A sample that is an array reads as 0, however deep it goes within the limit.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("deep.mvx"));
    const QByteArray deep = QByteArray(1000, '[') + "1" + QByteArray(1000, ']');
    QVERIFY(
        writeFile(path, "{\"sensor 1\": [[5, " + deep + ", 6]], \"x\": {\"y\": " + deep + "}}"));
    Model model;
    QVERIFY(model.open(path));
    QCOMPARE(*model.measurement(0, 0), SampleList({5, 0, 6}));
}

void TestProjectFile::readerTakesWhatQJsonDocumentTakes_data()
{
    // Files written by QJsonDocument's users by hand or by other tools: what it read must
    // still open, with the same values, and what it refused must not.
    QTest::addColumn<QByteArray>("json");
    const auto number = [](const char* text) {
        return QByteArray("{\"sensor 1\": [[1, ") + text + ", 2]]}";
    };
    const auto text = [](const QByteArray& inner) { return "{\"comment\": \"" + inner + "\"}"; };
    const QByteArray numbers = "-.5 .5 1. 0. 1.e5 1E-5 0e309 0e-99999 1e999 -1e999 1e-400 2.4e-324 "
                               "3e-324 1.7976931348623158e308 1.7976931348623159e308 "
                               "9007199254740993 12345678901234567890 0.30000000000000004 - -. . "
                               "1e 1e+ -e5 00 -01 +1 x 0x10 1.5.3 --1";
    for (const QByteArray& n : numbers.split(' '))
        QTest::newRow(n.constData()) << number(n.constData());
    QTest::newRow("400 digits") << number(QByteArray(400, '9').constData());
    QTest::newRow("control characters") << text("a\x01\tb\nc\x1f");
    QTest::newRow("zero byte in a text") << text(QByteArray("a\0b", 3));
    QTest::newRow("unknown escapes") << text("\\a\\q\\/\\'");
    QTest::newRow("escaped control character") << text("\\\x01");
    QTest::newRow("escaped UTF-8") << text("\\\xc3\xa9");
    QTest::newRow("lone low surrogate") << text("\\ude00");
    QTest::newRow("lone high surrogate") << text("x\\uD83Dy");
    QTest::newRow("surrogate pair") << text("\\ud83d\\uDE00");
    QTest::newRow("not hex") << text("\\uZZZZ");
    QTest::newRow("UTF-8") << text("M\xc3\xbcller \xf0\x9d\x84\x9e \xef\xbf\xbe");
    QTest::newRow("overlong UTF-8") << text("\xc0\x80");
    QTest::newRow("surrogate in UTF-8") << text("\xed\xa0\x80");
    QTest::newRow("beyond U+10FFFF") << text("\xf4\x90\x80\x80");
    QTest::newRow("cut UTF-8") << text("\xe2\x82");
    QTest::newRow("control character in a key") << QByteArray("{\"\x01\": 1, \"comment\": \"k\"}");
    QTest::newRow("zero byte after") << QByteArray("{\"comment\": \"z\"}\0", 18);
    QTest::newRow("zero byte and more after") << QByteArray("{\"comment\": \"z\"}\0{}", 20);
    QTest::newRow("blanks after") << QByteArray("{\"comment\": \"z\"} \r\n\t");
    QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbf{\"comment\": \"z\"}");
    QTest::newRow("two byte order marks") << QByteArray("\xef\xbb\xbf\xef\xbb\xbf{}");
    QTest::newRow("form feed") << QByteArray("{\f}");
    QTest::newRow("letter after") << QByteArray("{}x");
    QTest::newRow("comma before brace") << QByteArray("{\"comment\": \"z\",}");
    QTest::newRow("comma before bracket") << number("3,");
    QTest::newRow("no colon") << QByteArray("{\"comment\" \"z\"}");
    QTest::newRow("no comma") << QByteArray("{\"sensor 1\": [[1 2]]}");
    QTest::newRow("nulL") << QByteArray("{\"comment\": nulL}");
    QTest::newRow("a number alone") << QByteArray("5");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("key given twice") << QByteArray("{\"comment\": \"a\", \"comment\": \"b\"}");
    for (int depth : {1024, 1025})
        QTest::newRow(qPrintable(QStringLiteral("%1 levels").arg(depth)))
            << "{\"x\": " + QByteArray(depth - 1, '[') + QByteArray(depth - 1, ']') + "}";
}

void TestProjectFile::readerTakesWhatQJsonDocumentTakes()
{
    QFETCH(QByteArray, json);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.mvx"));
    QVERIFY(writeFile(path, json));
    const QJsonDocument expected = QJsonDocument::fromJson(json);
    Model model;
    LogCapture log;
    QCOMPARE(model.open(path), expected.isObject());
    const QJsonObject root = expected.object();
    QCOMPARE(model.comment(), root.value(QStringLiteral("comment")).toString());
    const QJsonArray shots = root.value(QStringLiteral("sensor 1")).toArray();
    QCOMPARE(model.numChannels(0), shots.size());
    for (int j = 0; j < shots.size(); ++j) {
        const QJsonArray samples = shots.at(j).toArray();
        QCOMPARE(model.measurement(0, j)->size(), samples.size());
        for (int i = 0; i < samples.size(); ++i) {
            const double read = model.measurement(0, j)->at(i);
            QVERIFY2(read == samples.at(i).toDouble(), qPrintable(QString::number(read, 'g', 17)));
        }
    }
}

void TestProjectFile::openEmitsSummaryOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.mvx"));
    Model source;
    fillProject(source);
    QVERIFY(source.save(path));

    Model model;
    QStringList order;
    connect(&model, &Model::projectChanged, this, [&] { order << QStringLiteral("project"); });
    connect(&model, &Model::dataChanged, this, [&] { order << QStringLiteral("data"); });
    connect(&model, &Model::viewDataChanged, this, [&] { order << QStringLiteral("view"); });
    QVERIFY(model.open(path));
    QCOMPARE(order, QStringList({QStringLiteral("project"), QStringLiteral("data"),
                                 QStringLiteral("view")}));
    QVERIFY(!model.isProjectModified());
}

void TestProjectFile::fileToOpenAtConstruction()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("start.mvx"));
    {
        Model source;
        fillProject(source);
        QVERIFY(source.save(path));
    }
    Model opened(path);
    QCOMPARE(opened.projectData().name, QStringLiteral("Gehäuse links"));
    QCOMPARE(opened.numChannels(0), 1);
    QVERIFY(!opened.isProjectModified());

    LogCapture log;
    Model missing(dir.filePath(QStringLiteral("missing.mvx")));
    QVERIFY(!missing.hasData());
    QCOMPARE(missing.projectFileName(), QString());
    QVERIFY(!missing.isProjectModified());
    QVERIFY(log.contains(QStringLiteral("could not open file: ")));
}

void TestProjectFile::unknownKeysOfAnyShapeAreSkipped()
{
    // What a later version may add; older readers read such files as they read this one.
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain.mvx"));
    QJsonObject root = savedProject(plain, false);
    QVERIFY(!root.isEmpty());
    const QString extended = dir.filePath(QStringLiteral("extended.mvx"));
    root.insert(QStringLiteral("referenceBands"), QJsonArray{QJsonArray{1, 2}, QJsonArray{}, 3});
    root.insert(QStringLiteral("zSettings"),
                QJsonObject{{"a", QJsonArray{QJsonObject{{"b", 1}}}}, {"c", "d"}});
    QVERIFY(writeFile(extended, QJsonDocument(root).toJson()));

    Model model;
    LogCapture log;
    QVERIFY(model.open(extended));
    QVERIFY(!model.reference());
    QVERIFY(!model.isProjectModified());
    QVERIFY2(!log.contains(QStringLiteral("stored reference")), qPrintable(log.dump()));
    const QByteArray expected = reopenedBytes(plain);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(reopenedBytes(extended), expected);
}

void TestProjectFile::brokenStoredReferenceIsDropped_data()
{
    // The key and what replaces its value; an undefined value removes the key.
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QString>("problem");
    const auto lists = [](QJsonArray first, int sensors = 5) {
        QJsonArray all;
        all.append(first);
        for (int k = 1; k < sensors; ++k)
            all.append(k == 2 ? QJsonArray{-0.25} : QJsonArray{});
        return QJsonValue(all);
    };
    QTest::newRow("clock 0") << "referenceClock" << QJsonValue(0) << "clock 0 ms";
    QTest::newRow("key missing") << "referenceUpper" << QJsonValue(QJsonValue::Undefined)
                                 << "referenceUpper missing";
    QTest::newRow("lengths differ") << "referenceMean" << lists({1, 2}) << "sensor 1: band lists";
    QTest::newRow("four sensors") << "referenceMean" << lists({1, 2, 3}, 4)
                                  << "band lists for 4 sensors";
    QTest::newRow("inside out") << "referenceUpper" << lists({1.5, 1.9, 3.5})
                                << "sensor 1: band inside out at sample 1";
    QTest::newRow("count unlike numbers")
        << "referenceShotCount" << QJsonValue(4) << "4 taught shots, 3 shot numbers";
    QTest::newRow("shot number not whole")
        << "referenceShots" << QJsonValue(QJsonArray{1, 2.5, 3}) << "shot number -1";
    QTest::newRow("unknown part") << "referencePart" << QJsonValue("someMarkers")
                                  << "referencePart \"someMarkers\" unknown";
    QTest::newRow("marker beyond the last")
        << "referencePartMarkers" << QJsonValue(QJsonArray{2, 4}) << "markers 2 to 4";
    QTest::newRow("negative time tolerance")
        << "referenceTimeTolerance" << QJsonValue(-5) << "time tolerance";
}

void TestProjectFile::brokenStoredReferenceIsDropped()
{
    QFETCH(QString, key);
    QFETCH(QJsonValue, value);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.mvx"));
    QJsonObject root = savedProject(path, true);
    QVERIFY(root.contains(key) && root.contains(QStringLiteral("referenceMean")));
    if (value.isUndefined())
        root.remove(key);
    else
        root.insert(key, value);
    QVERIFY(writeFile(path, QJsonDocument(root).toJson()));

    Model model;
    LogCapture log;
    QVERIFY(model.open(path));
    QVERIFY(!model.reference());
    QVERIFY2(log.contains(QStringLiteral("stored reference dropped: ") + problem),
             qPrintable(log.dump()));
    // The rest of the project is there.
    QCOMPARE(model.projectData().name, QStringLiteral("Gehäuse links"));
    QCOMPARE(*model.measurement(0, 0), SampleList({1.5}));
    QCOMPARE(model.projectData().markers[2], 300);
}

VENTARO_TEST_MAIN(TestProjectFile)
#include "test_project_file.moc"
