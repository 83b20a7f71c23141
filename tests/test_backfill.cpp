#include "analysis/StickMatch.h"
#include "control/BackfillPlan.h"
#include "control/Controller.h"
#include "control/ShotJournal.h"
#include "model/Model.h"
#include "store/Journal.h"
#include "tests/common/ProductionRun.h"
#include "tests/common/TestMain.h"

#include <QSet>
#include <QTemporaryDir>

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
    void gapShotsChosenAndPlacedInTime();
    void gapsAndOriginsKeptInTheFile();
    void productionRunHasEveryShotOnce_data();
    void productionRunHasEveryShotOnce();
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

// Of a day on the stick only the shots in an unfilled gap are put in, the live ones at its
// edges not again, each after the last shot not later than it.
void TestBackfill::gapShotsChosenAndPlacedInTime()
{
    const double offset = 125.0;
    QVector<StickMatch::Shot> live = shots(0, 10, 10.0, 0.0, false, 0.4, true);
    live += shots(15, 10, 10.0, 0.0, false, 0.4, true);
    const QVector<StickMatch::Shot> stick = shots(-5, 35, 10.0, offset, true, 0.0, true);
    QVector<QDateTime> stickTimes;
    for (const StickMatch::Shot& s : stick)
        stickTimes.append(s.time);
    const StickMatch::Result match = StickMatch::match(live, stick);
    RecordingGap gap;
    gap.from = start.addSecs(95); // in shot 9, cut off by the loss
    gap.to = start.addSecs(148);  // back before shot 15
    RecordingGap filled = gap;
    filled.from = start.addSecs(-60);
    filled.to = start.addSecs(-30);
    filled.deviceShots = 3;
    filled.filled = 3;
    const BackfillPlan::Choice choice = BackfillPlan::choose({filled, gap}, stickTimes, match);
    // Stick shots 10-14 (indices 15-19); the morning's and the filled gap's stay out.
    QCOMPARE(choice.shots, (QVector<int>{15, 16, 17, 18, 19}));
    QCOMPARE(choice.gapOf, (QVector<int>{1, 1, 1, 1, 1}));
    // The device made shots 10-14 in the gap, and shot 15 as the link came back, recorded live.
    QCOMPARE(choice.deviceShots.at(1), 6);

    QVector<QDateTime> times;
    for (const StickMatch::Shot& s : live)
        times.append(s.time);
    const QDateTime t = BackfillPlan::computerTime(stick.at(15).time, match);
    QCOMPARE(BackfillPlan::insertionIndex(times, t), 10);
    QCOMPARE(BackfillPlan::daysFor({gap}, {QStringLiteral("dir-20261207/a.bb"),
                                           QStringLiteral("dir-20261209/shot_1.bb"),
                                           QStringLiteral("dir-20261209/shot_2.bb"),
                                           QStringLiteral("dir-20261210")}),
             (QStringList{QStringLiteral("dir-20261209"), QStringLiteral("dir-20261210")}));
}

// A saved project keeps which shots came from the black box and its gaps, where they were.
void TestBackfill::gapsAndOriginsKeptInTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gaps.mvx"));
    RecordingGap gap;
    gap.from = start.addSecs(95);
    gap.to = start.addSecs(148);
    gap.deviceShots = 6;
    gap.filled = 6;
    {
        Model model;
        for (int i = 0; i < 4; ++i) {
            for (int k = 0; k < Model::numSensors; ++k)
                model.appendSeries(k, SampleList{1.0 * i, 2.0});
            model.appendTimestamp(start.addSecs(10 * i));
        }
        model.setFromBlackBox(2, true);
        model.addRecordingGap(gap);
        QVERIFY(model.save(path));
    }
    Model model;
    QVERIFY(model.open(path));
    QCOMPARE(model.recordingGaps(), QVector<RecordingGap>{gap});
    QVERIFY(model.isFromBlackBox(2));
    QVERIFY(!model.isFromBlackBox(1) && !model.isFromBlackBox(3));
    // Deleting a shot before it moves the mark with the shot.
    QVERIFY(model.deleteChannel(0));
    QVERIFY(model.isFromBlackBox(1) && !model.isFromBlackBox(2));
}

void TestBackfill::productionRunHasEveryShotOnce_data()
{
    QTest::addColumn<bool>("autoBackfill");
    QTest::newRow("filled after reconnecting") << true;
    QTest::newRow("filled on the button") << false;
}

// A shift with link losses, the device's clock three minutes ahead: afterwards the project
// holds every shot the device made while it recorded, each once, in time order, with five
// sensors of equal length; the cut-off shots stay as recorded live.
void TestBackfill::productionRunHasEveryShotOnce()
{
    QFETCH(bool, autoBackfill);
    ProductionRun::Settings settings;
    settings.autoBackfill = autoBackfill;
    ProductionRun run(54, settings);
    QVERIFY2(run.start(), qPrintable(run.why()));
    QVERIFY2(run.record(), qPrintable(run.why()));
    QVERIFY2(run.fill(), qPrintable(run.why()));
    const ProductionRun::Figures f = run.figures();
    QVERIFY2(f.losses >= 2, qPrintable(QString::number(f.losses)));
    QCOMPARE(f.gaps, f.losses);
    QCOMPARE(f.filledGaps, f.gaps);
    QCOMPARE(f.deviceShots, f.loggedShots);
    QCOMPARE(f.missing, 0);
    QCOMPARE(f.twice, 0);
    QCOMPARE(f.foreign, 0);
    QCOMPARE(f.unequal, 0);
    QCOMPARE(f.outOfOrder, 0);

    // The filled shots are journalled as the live ones are: a crash before the save, or the
    // plant archive, loses none of them.
    const Model& model = *run.model();
    const Journal* journal = run.controller()->journal()->reader();
    const auto notJournalled = [&] {
        QSet<QUuid> finished;
        for (const Journal::Entry& entry : journal->unsaved()) {
            if (entry.finished)
                finished.insert(entry.id);
        }
        int missing = 0;
        for (int i = 0; i < model.numChannels(0); ++i)
            missing += finished.contains(model.shotId(i)) ? 0 : 1;
        return missing;
    };
    QTRY_COMPARE_WITH_TIMEOUT(notJournalled(), 0, 20000);
}

VENTARO_TEST_MAIN(TestBackfill)
#include "test_backfill.moc"
