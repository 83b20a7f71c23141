#include "analysis/StickMatch.h"
#include "tests/common/TestMain.h"

namespace {

const QDateTime start(QDate(2026, 12, 9), QTime(6, 0, 0));

// Shot i's first readings: a machine's noise in micrometres, different from shot to shot.
QVector<double> head(int i)
{
    QVector<double> values;
    for (int k = 0; k < StickMatch::headLength; ++k)
        values.append(5.0 + 0.001 * ((i * 7919 + k * 104729) % 10007));
    return values;
}

// Shots first ... first+count-1, every cycle seconds from start, on the device's clock (offset,
// cut to whole seconds) or the computer's (a latency of up to latency after the cycle's start).
QVector<StickMatch::Shot> shots(int first, int count, double cycle, double offset,
                                bool wholeSeconds, double latency, bool readings)
{
    QVector<StickMatch::Shot> result;
    for (int i = first; i < first + count; ++i) {
        const double at = i * cycle + offset + latency * ((i * 7) % 3) / 2.0;
        QDateTime t = start.addMSecs(std::llround(at * 1000.0));
        if (wholeSeconds)
            t = t.addMSecs(-t.time().msec());
        result.append({t, readings ? head(i) : QVector<double>()});
    }
    return result;
}

} // namespace

class TestBackfill : public QObject
{
    Q_OBJECT

private slots:
    void stickShotsMatched_data();
    void stickShotsMatched();
    void noCommonShotsAddNothing();
};

void TestBackfill::stickShotsMatched_data()
{
    QTest::addColumn<double>("cycle");
    QTest::addColumn<double>("offset");
    QTest::addColumn<double>("latency");
    QTest::addColumn<bool>("readings");
    QTest::addColumn<int>("before");
    // Live shots 0-9 and 15-24; 10-14 fell into a gap. The stick also holds `before` shots
    // of the morning, before the project's first.
    QTest::newRow("minutes ahead") << 10.0 << 183.4 << 0.0 << true << 0;
    QTest::newRow("an hour behind") << 10.0 << -3593.0 << 0.6 << true << 0;
    QTest::newRow("two-second cycle, the morning on the stick")
        << 2.0 << 241.7 << 0.3 << true << 30;
    QTest::newRow("times only") << 10.0 << 95.0 << 0.6 << false << 0;
    QTest::newRow("times only, two-second cycle") << 2.0 << 241.7 << 0.3 << false << 0;
}

// Every live shot finds its stick shot once, and the gap's shots (and the morning's) are the
// ones missing; the offset is the clocks' within the stick's whole seconds.
void TestBackfill::stickShotsMatched()
{
    QFETCH(double, cycle);
    QFETCH(double, offset);
    QFETCH(double, latency);
    QFETCH(bool, readings);
    QFETCH(int, before);
    QVector<StickMatch::Shot> live = shots(0, 10, cycle, 0.0, false, latency, readings);
    live += shots(15, 10, cycle, 0.0, false, latency, readings);
    // The shot the link cut off holds only its first readings.
    live[9].head.resize(readings ? 6 : 0);
    const QVector<StickMatch::Shot> stick =
        shots(-before, 25 + before, cycle, offset, true, 0.0, readings);
    const StickMatch::Result r = StickMatch::match(live, stick);
    QVERIFY(r.ok);
    QCOMPARE(r.matched, 20);
    QCOMPARE(r.matchedByReadings, readings ? 20 : 0);
    QVector<int> missing;
    for (int i = 0; i < before; ++i)
        missing.append(i);
    for (int i = 10; i < 15; ++i)
        missing.append(before + i);
    QCOMPARE(r.missing, missing);
    QVERIFY2(std::abs(r.offsetSeconds - offset) < 1.0,
             qPrintable(QString::number(r.offsetSeconds)));
    QVERIFY(r.toleranceSeconds < cycle / 2.0 || cycle < 2.5);
}

// Without a shot in both nothing can be told apart: adding would risk doubles.
void TestBackfill::noCommonShotsAddNothing()
{
    const QVector<StickMatch::Shot> live = shots(0, 5, 10.0, 0.0, false, 0.0, true);
    const QVector<StickMatch::Shot> other = shots(100, 5, 10.0, 0.0, true, 0.0, true);
    QVERIFY(StickMatch::match({}, other).missing.isEmpty());
    QVERIFY(!StickMatch::match(live, {}).ok);
    const StickMatch::Result r = StickMatch::match(live, other);
    QVERIFY(!r.ok);
    QVERIFY(r.missing.isEmpty());
}

VENTARO_TEST_MAIN(TestBackfill)
#include "test_backfill.moc"
