#include "app/Constants.h"
#include "model/SensorDescription.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TestMain.h"

class TestSensorDescription : public QObject
{
    Q_OBJECT

private slots:
    void growingGivesDefaultSensors();
    void shrinkingRebuildsEveryone();
    void sameCountKeepsFields();
    void badIndexIsReportedAndNeutral();
    void equalityComparesOnlyIdentity_data();
    void equalityComparesOnlyIdentity();
    void descriptionResizeAndBadGroup();
};

void TestSensorDescription::growingGivesDefaultSensors()
{
    SensorGroup group;
    group.setNumSensors(7);
    QCOMPARE(group.numSensors(), 7);
    const QColor expected[] = {colorDarkRed, colorDarkGreen, colorDarkBlue, colorDarkOrange,
                               colorDarkCyan};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(group.sensorName(i), QStringLiteral("Sensor X"));
        QCOMPARE(group.sensorMinimum(i), -100000.0);
        QCOMPARE(group.sensorMaximum(i), 100000.0);
        QCOMPARE(group.sensorColor(i), expected[i]);
        QVERIFY(group.isSensorActive(i));
    }
    QCOMPARE(group.sensorColor(3), QColor(255, 140, 0));
    QVERIFY(!group.sensorColor(5).isValid());
    QVERIFY(!group.sensorColor(6).isValid());
}

void TestSensorDescription::shrinkingRebuildsEveryone()
{
    SensorGroup group;
    group.setNumSensors(5);
    for (int i = 0; i < 5; ++i) {
        group.setSensorName(i, QStringLiteral("Abstand %1").arg(i));
        group.setSensorUnit(i, QStringLiteral("mm"));
    }
    group.setNumSensors(3);
    QCOMPARE(group.numSensors(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(group.sensorName(i), QStringLiteral("Sensor X"));
        QCOMPARE(group.sensorUnit(i), QString());
    }
}

void TestSensorDescription::sameCountKeepsFields()
{
    SensorGroup group;
    group.setNumSensors(5);
    group.setSensorName(2, QStringLiteral("Auswerfer"));
    group.setSensorMaximum(2, 12.5);
    group.SetSensorColor(2, Qt::magenta);
    group.setSensorActive(2, false);
    group.setNumSensors(5);
    QCOMPARE(group.sensorName(2), QStringLiteral("Auswerfer"));
    QCOMPARE(group.sensorMaximum(2), 12.5);
    QCOMPARE(group.sensorColor(2), QColor(Qt::magenta));
    QVERIFY(!group.isSensorActive(2));
}

void TestSensorDescription::badIndexIsReportedAndNeutral()
{
    SensorGroup group;
    group.setNumSensors(5);
    LogCapture log;
    QCOMPARE(group.sensorMinimum(5), 0.0);
    QVERIFY2(log.contains(QStringLiteral(
                 "double SensorGroup::sensorMinimum(int) const ERROR: index >= numSens !!")),
             qPrintable(log.dump()));
    QCOMPARE(group.sensorName(9), QString());
    QVERIFY(log.contains(
        QStringLiteral("QString SensorGroup::sensorName(int) const ERROR: index >= numSens !!")));
    group.setSensorUnit(5, QStringLiteral("mm"));
    QCOMPARE(group.numSensors(), 5);

    group.setSensorActive(0, false);
    group.setNumSensors(1);
    group.setSensorActive(0, false);
    QVERIFY(!group.hasActiveSensor());
    group.setSensorActive(0, true);
    QVERIFY(group.hasActiveSensor());
}

void TestSensorDescription::equalityComparesOnlyIdentity_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<bool>("equal");
    QTest::newRow("group name") << 0 << true;
    QTest::newRow("colour") << 1 << true;
    QTest::newRow("latest value") << 2 << true;
    QTest::newRow("active flag") << 3 << true;
    QTest::newRow("unit") << 4 << false;
    QTest::newRow("maximum") << 5 << false;
    QTest::newRow("name") << 6 << false;
    QTest::newRow("type") << 7 << false;
    QTest::newRow("minimum") << 8 << false;
    QTest::newRow("sensor count") << 9 << false;
    QTest::newRow("group count") << 10 << false;
}

void TestSensorDescription::equalityComparesOnlyIdentity()
{
    QFETCH(int, change);
    QFETCH(bool, equal);
    SensorDescription a;
    a.setNumSensorGroups(2);
    a.sensorGroup(0).setNumSensors(5);
    a.sensorGroup(1).setNumSensors(2);
    SensorDescription b = a;
    SensorGroup& g = b.sensorGroup(0);
    switch (change) {
    case 0:
        g.setName(QStringLiteral("other"));
        break;
    case 1:
        g.SetSensorColor(1, Qt::yellow);
        break;
    case 2:
        g.setSensorValue(1, 3.5);
        break;
    case 3:
        g.setSensorActive(1, false);
        break;
    case 4:
        b.setSensorUnit(0, 1, QStringLiteral("µm"));
        break;
    case 5:
        b.setSensorMaximum(0, 4, 12.0);
        break;
    case 6:
        b.setSensorName(0, 0, QStringLiteral("x"));
        break;
    case 7:
        b.setSensorType(0, 3, QStringLiteral("Distance"));
        break;
    case 8:
        b.setSensorMinimum(0, 2, 0.0);
        break;
    case 9:
        b.sensorGroup(1).setNumSensors(3);
        break;
    case 10:
        b.setNumSensorGroups(3);
        break;
    }
    QCOMPARE(a == b, equal);
    QCOMPARE(a != b, !equal);
}

void TestSensorDescription::descriptionResizeAndBadGroup()
{
    SensorDescription d;
    d.setNumSensorGroups(2);
    d.sensorGroup(1).setNumSensors(4);
    d.setNumSensorGroups(2);
    QCOMPARE(d.sensorGroup(1).numSensors(), 4);
    d.setNumSensorGroups(1);
    QCOMPARE(d.numSensorGroups(), 1);
    QCOMPARE(d.sensorGroup(0).numSensors(), 0);

    LogCapture log;
    d.setSensorName(3, 0, QStringLiteral("nowhere"));
    d.setSensorMinimum(3, 0, 1.0);
    QCOMPARE(d.numSensorGroups(), 1);
    // A bad group is reported; writes through the result reach nothing.
    d.sensorGroup(7).setNumSensors(5);
    QVERIFY(log.contains(QStringLiteral("ERROR: i>=numGroups")));
    QCOMPARE(d.sensorGroup(8).numSensors(), 0);
    QCOMPARE(d.numSensorGroups(), 1);
}

VENTARO_TEST_MAIN(TestSensorDescription)
#include "test_sensor_description.moc"
