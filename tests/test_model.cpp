#include "app/Constants.h"
#include "model/Model.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TestMain.h"

#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

void setMarkers(Model& model, int a, int b, int c, int d)
{
    ProjectData data = model.projectData();
    data.markers = {a, b, c, d};
    model.setProjectData(data);
}

QVector<int> markers(const Model& model)
{
    const auto& m = model.projectData().markers;
    return {m[0], m[1], m[2], m[3]};
}

} // namespace

class TestModel : public QObject
{
    Q_OBJECT

private slots:
    void newModelIsEmptyProject();
    void clearResetsProjectAndKeepsDeviceState();
    void clearEmitsInOrder();
    void modifiedFlagFollowsProjectChanged();
    void referenceIsProjectContent();
    void markersAbsolute_data();
    void markersAbsolute();
    void markersRelative_data();
    void markersRelative();
    void markerIndexOutOfRangeIsIgnored();
    void extremes();
    void latestValue();
    void deleteChannel();
    void deleteChannelOnUnevenLists();
    void samplesKeepTheirAddressWhileShotsAreAdded();
    void fixedTablesIgnoreBadIndices();
    void announcesFreedSampleLists();
};

void TestModel::newModelIsEmptyProject()
{
    Model model;
    const SensorDescription& d = model.sensorDescription();
    QCOMPARE(d.numSensorGroups(), 1);
    QCOMPARE(d.sensorGroup(0).numSensors(), 5);
    QCOMPARE(model.clock(), 100);
    QCOMPARE(model.swVersion(), QStringLiteral("7.0"));
    const QStringList phases = {QStringLiteral("WZ schließen"), QStringLiteral("Einspritzzeit"),
                                QStringLiteral("Nachdruckzeit"), QStringLiteral("Kühlzeit"),
                                QStringLiteral("WZ öffnen")};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(model.phaseName(i), phases.at(i));
        QCOMPARE(model.sensorName(i), QString());
        QCOMPARE(d.sensorGroup(0).sensorMinimum(i), -100000.0);
        QCOMPARE(model.offset(i), 0.0);
    }
    QCOMPARE(model.color(0), colorDarkRed);
    QCOMPARE(model.color(4), colorDarkCyan);
    QVERIFY(!model.color(5).isValid());
    QVERIFY(!model.hasData());
    QCOMPARE(model.numTimestamps(), 0);
    QVERIFY(!model.isProjectModified());
    QVERIFY(!model.isConnected());
}

void TestModel::clearResetsProjectAndKeepsDeviceState()
{
    Model model;
    ProjectData data;
    data.name = QStringLiteral("Deckel");
    data.closingForce = 900;
    data.markers = {1, 2, 3, 4};
    model.setProjectData(data);
    model.setComment(QStringLiteral("note"));
    model.setClock(5);
    model.setLastDir(QStringLiteral("/tmp"));
    model.setProjectFileName(QStringLiteral("/tmp/x.mvx"));
    model.setHwVersion(QStringLiteral("hw"));
    model.setFirmwareVersion(QStringLiteral("fw"));
    model.setKalvikType(2);
    model.setConnected(true);
    model.setLocked(true);
    model.setOffset(3, 1.5);
    model.setColor(7, Qt::yellow);
    model.setProjectImage(2, QImage(4, 4, QImage::Format_RGB32));
    model.setSensorName(1, QStringLiteral("Kern"));
    model.sensorDescription().setSensorUnit(0, 1, QStringLiteral("mm"));
    model.setSensorMaximum(0, 1, 12.0);
    model.viewData().osziMaxValues[0] = 50.0;
    model.addMeasurement();
    model.appendSample(0, 0, 1.0);

    model.clear();

    QCOMPARE(model.projectData().name, QString());
    QCOMPARE(model.projectData().closingForce, 0);
    QCOMPARE(markers(model), QVector<int>({0, 0, 0, 0}));
    QCOMPARE(model.phaseName(3), QStringLiteral("Kühlzeit"));
    QCOMPARE(model.comment(), QString());
    QCOMPARE(model.clock(), 100);
    QCOMPARE(model.lastDir(), QString());
    QCOMPARE(model.projectFileName(), QString());
    QCOMPARE(model.hwVersion(), QString());
    QCOMPARE(model.offset(3), 0.0);
    QVERIFY(model.projectImage(2).isNull());
    QCOMPARE(model.sensorName(1), QString());
    QCOMPARE(model.sensorDescription().sensorGroup(0).sensorMaximum(1), 100000.0);
    QVERIFY(!model.hasData());
    QCOMPARE(model.numTimestamps(), 0);
    // Device state and view settings survive a new project.
    QCOMPARE(model.firmwareVersion(), QStringLiteral("fw"));
    QCOMPARE(model.kalvikType(), 2);
    QVERIFY(model.isConnected());
    QVERIFY(model.isLocked());
    QCOMPARE(model.color(7), QColor(Qt::yellow));
    QCOMPARE(model.viewData().osziMaxValues[0], 50.0);
    // Equal counts keep the present sensors: only names and ranges are reset.
    QCOMPARE(model.sensorDescription().sensorGroup(0).sensorUnit(1), QStringLiteral("mm"));
}

void TestModel::clearEmitsInOrder()
{
    Model model;
    QStringList order;
    connect(&model, &Model::projectChanged, this, [&] { order << QStringLiteral("p"); });
    connect(&model, &Model::dataChanged, this, [&] { order << QStringLiteral("d"); });
    model.clear();
    // Five colours, the offsets, five phase names, the data, then the summary.
    QCOMPARE(order.join(QString()), QStringLiteral("ppppppppppp") + QStringLiteral("dp"));
}

void TestModel::modifiedFlagFollowsProjectChanged()
{
    Model model;
    QVERIFY(!model.isProjectModified());
    QSignalSpy spy(&model, &Model::projectChanged);
    model.setComment(QString());
    QCOMPARE(spy.count(), 0);
    QVERIFY(!model.isProjectModified());

    model.setComment(QStringLiteral("a"));
    QCOMPARE(spy.count(), 1);
    QVERIFY(model.isProjectModified());
    model.setProjectModifiedFlag(false);
    model.setComment(QStringLiteral("a"));
    QVERIFY(!model.isProjectModified());

    model.setColor(100, Qt::red);
    model.setColor(255, Qt::red);
    QCOMPARE(spy.count(), 1);
    QVERIFY(!model.isProjectModified());

    // Blocked signals (bulk loads) do not mark the project.
    model.blockSignals(true);
    model.setOffset(0, 2.0);
    model.blockSignals(false);
    QVERIFY(!model.isProjectModified());

    model.setClock(50);
    QVERIFY(model.isProjectModified());

    LogCapture log;
    model.setProjectModifiedFlag(true);
    QVERIFY(log.contains(QStringLiteral("***** MODEL CHANGED TRUE ***")));
}

void TestModel::referenceIsProjectContent()
{
    // Teaching marks the project for saving; a new project does not inherit the band.
    Model model;
    ReferenceData reference;
    reference.shotCount = 3;
    reference.taughtShots = {1, 2, 3};
    QSignalSpy spy(&model, &Model::projectChanged);
    model.setReference(reference);
    QCOMPARE(spy.count(), 1);
    QVERIFY(model.isProjectModified());
    QVERIFY(model.reference() && *model.reference() == reference);
    model.clear();
    QVERIFY(!model.reference());
    model.setReference(reference);
    model.setProjectModifiedFlag(false);
    model.clearReference();
    QVERIFY(!model.reference());
    QVERIFY(model.isProjectModified());
}

void TestModel::markersAbsolute_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("pos");
    QTest::addColumn<QVector<int>>("expected");
    QTest::newRow("later markers pushed") << 1 << 500 << QVector<int>({100, 500, 500, 500});
    QTest::newRow("earlier kept") << 2 << 50 << QVector<int>({100, 200, 50, 400});
    QTest::newRow("first") << 0 << 350 << QVector<int>({350, 350, 350, 400});
}

void TestModel::markersAbsolute()
{
    QFETCH(int, index);
    QFETCH(int, pos);
    QFETCH(QVector<int>, expected);
    Model model;
    setMarkers(model, 100, 200, 300, 400);
    QSignalSpy spy(&model, &Model::projectChanged);
    model.setVerticalMarkerAbsolute(index, pos);
    QCOMPARE(markers(model), expected);
    QCOMPARE(spy.count(), 1);
}

void TestModel::markersRelative_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("pos");
    QTest::addColumn<QVector<int>>("expected");
    QTest::newRow("later distances kept") << 1 << 150 << QVector<int>({100, 250, 350, 450});
    QTest::newRow("first is absolute") << 0 << 40 << QVector<int>({40, 140, 240, 340});
    QTest::newRow("last") << 3 << 10 << QVector<int>({100, 200, 300, 310});
}

void TestModel::markersRelative()
{
    QFETCH(int, index);
    QFETCH(int, pos);
    QFETCH(QVector<int>, expected);
    Model model;
    setMarkers(model, 100, 200, 300, 400);
    model.setVerticalMarkerRelative(index, pos);
    QCOMPARE(markers(model), expected);
}

void TestModel::markerIndexOutOfRangeIsIgnored()
{
    Model model;
    setMarkers(model, 1, 2, 3, 4);
    QSignalSpy spy(&model, &Model::projectChanged);
    model.setVerticalMarkerAbsolute(4, 99);
    model.setVerticalMarkerRelative(4, 99);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(markers(model), QVector<int>({1, 2, 3, 4}));
}

void TestModel::extremes()
{
    Model model;
    QCOMPARE(model.overallMinimum(0), 99999999.0);
    QCOMPARE(model.overallMaximum(0), -99999999.0);
    model.addMeasurement();
    QCOMPARE(model.minimumValue(0, 0), 9999999.0);
    QCOMPARE(model.maximumValue(0, 0), -9999999.0);
    for (double v : {3.0, -2.5, 7.25})
        model.appendSample(1, 0, v);
    model.addMeasurement();
    model.appendSample(1, 1, 10.0);
    QCOMPARE(model.minimumValue(1, 0), -2.5);
    QCOMPARE(model.maximumValue(1, 0), 7.25);
    QCOMPARE(model.overallMinimum(1), -2.5);
    QCOMPARE(model.overallMaximum(1), 10.0);

    LogCapture log;
    QCOMPARE(model.minimumValue(1, 2), 0.0);
    QVERIFY2(log.contains(QStringLiteral(
                 "double Model::minimumValue(int, int) ERROR: index out of range! (1)")),
             qPrintable(log.dump()));
    QCOMPARE(model.maximumValue(1, -1), 0.0);
    QVERIFY(log.contains(QStringLiteral("double Model::maximumValue(int, int)")));
    QCOMPARE(model.numChannels(5), 0);
    QVERIFY(log.contains(
        QStringLiteral("int Model::numChannels(int) const ERROR: index out of range! (5)")));
}

void TestModel::latestValue()
{
    Model model;
    QCOMPARE(model.latestValue(0, 2), 0.0);
    model.addMeasurement();
    model.appendSample(2, 0, 4.5);
    QCOMPARE(model.latestValue(0, 2), 4.5);
    model.addMeasurement();
    QCOMPARE(model.latestValue(0, 2), 0.0);

    LogCapture log;
    QCOMPARE(model.latestValue(1, 2), 0.0);
    QVERIFY(log.contains(QStringLiteral(" ERROR: group out of range! (1)")));
    QCOMPARE(model.latestValue(0, 5), 0.0);
    QVERIFY(log.contains(QStringLiteral(" ERROR: sensor out of range! (5)")));
}

void TestModel::deleteChannel()
{
    Model model;
    for (int i = 0; i < 3; ++i) {
        model.addMeasurement();
        model.appendSample(0, i, i);
        model.setTimestamp(i, QDateTime(QDate(2021, 6, 25), QTime(14, i)));
    }
    QSignalSpy spy(&model, &Model::dataChanged);
    QVERIFY(!model.deleteChannel(3));
    QCOMPARE(model.numChannels(0), 3);
    QCOMPARE(spy.count(), 0);

    QVERIFY(model.deleteChannel(1));
    QCOMPARE(spy.count(), 1);
    for (int k = 0; k < 5; ++k)
        QCOMPARE(model.numChannels(k), 2);
    QCOMPARE(model.measurement(0, 1)->constFirst(), 2.0);
    QCOMPARE(model.numTimestamps(), 2);
    QCOMPARE(model.timestamp(1).time(), QTime(14, 2));

    QVERIFY(model.deleteChannel(-1));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(model.numChannels(0), 2);
}

void TestModel::deleteChannelOnUnevenLists()
{
    // After a load the lists may differ: sensors before the short one keep the removal.
    Model model;
    model.addMeasurement();
    model.addMeasurement();
    model.appendSeries(0);
    model.appendSeries(1);
    QVERIFY(!model.deleteChannel(2));
    QCOMPARE(model.numChannels(0), 2);
    QCOMPARE(model.numChannels(1), 2);
    QCOMPARE(model.numChannels(2), 2);
    QCOMPARE(model.numTimestamps(), 2);
}

void TestModel::samplesKeepTheirAddressWhileShotsAreAdded()
{
    // Plots keep pointers to the sample lists while recording adds shots.
    Model model;
    model.addMeasurement();
    model.appendSample(3, 0, 1.25);
    const SampleList* first = model.measurement(3, 0);
    for (int i = 0; i < 2000; ++i)
        model.addMeasurement();
    QCOMPARE(model.measurement(3, 0), first);
    QCOMPARE(first->constFirst(), 1.25);
    model.deleteChannel(5);
    QCOMPARE(model.measurement(3, 0), first);
}

void TestModel::fixedTablesIgnoreBadIndices()
{
    Model model;
    QSignalSpy spy(&model, &Model::projectChanged);
    LogCapture log;
    QCOMPARE(model.phaseName(5), QString());
    QVERIFY(
        log.contains(QStringLiteral("QString Model::phaseName(int) const ERROR: index>=size !")));
    model.setPhaseName(5, QStringLiteral("x"));
    model.setOffset(5, 1.0);
    QCOMPARE(model.offset(5), 0.0);
    model.setTimestamp(0, QDateTime::currentDateTime());
    QCOMPARE(spy.count(), 0);

    model.sensorDescription().setNumSensorGroups(0);
    model.setSensorName(0, QStringLiteral("x"));
    QCOMPARE(spy.count(), 0);
    QCOMPARE(model.sensorName(0), QString());
}

// Plots keep pointers to sample lists: every change that frees lists is announced first,
// and the revision tells appended samples apart from added or removed shots.
void TestModel::announcesFreedSampleLists()
{
    Model model;
    QStringList order;
    connect(&model, &Model::dataAboutToChange, &model,
            [&] { order << QStringLiteral("about ") + QString::number(model.numChannels(0)); });
    connect(&model, &Model::dataChanged, &model,
            [&] { order << QStringLiteral("changed ") + QString::number(model.numChannels(0)); });

    quint64 revision = model.dataRevision();
    model.addMeasurement();
    model.addMeasurement();
    QVERIFY(model.dataRevision() > revision);
    revision = model.dataRevision();
    model.appendSample(0, 1, 2.5);
    QCOMPARE(model.dataRevision(), revision);
    QCOMPARE(order, (QStringList{QStringLiteral("changed 1"), QStringLiteral("changed 2"),
                                 QStringLiteral("changed 2")}));

    order.clear();
    QVERIFY(model.deleteChannel(0));
    QVERIFY(!model.deleteChannel(5));
    QCOMPARE(order, (QStringList{QStringLiteral("about 2"), QStringLiteral("changed 1")}));
    QVERIFY(model.dataRevision() > revision);

    order.clear();
    model.clearData();
    QCOMPARE(order, (QStringList{QStringLiteral("about 1"), QStringLiteral("changed 0")}));

    // Open announces before it blocks the signals for the load.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.mvx"));
    model.addMeasurement();
    QVERIFY(model.save(path));
    order.clear();
    QVERIFY(model.open(path));
    QCOMPARE(order, (QStringList{QStringLiteral("about 1"), QStringLiteral("changed 1")}));
}

VENTARO_TEST_MAIN(TestModel)
#include "test_model.moc"
