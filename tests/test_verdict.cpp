#include "analysis/ReferenceBand.h"
#include "analysis/ShotJudge.h"
#include "control/VerdictMonitor.h"
#include "tests/common/FakeDeviceSetup.h"
#include "tests/common/TestMain.h"
#include "ui_View.h"
#include "view/TabOszilloscope.h"
#include "widgets/OsziWidget.h"
#include "widgets/VerdictLamp.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <QTemporaryDir>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int clockMs = 2;
constexpr int length = 1000;
const std::array<int, 4> markers = {400, 900, 1300, 1700}; // ms
const QStringList phases = {QStringLiteral("Schließen"), QStringLiteral("Einspritzen"),
                            QStringLiteral("Nachdruck"), QStringLiteral("Kühlen"),
                            QStringLiteral("Öffnen")};

// A tool that closes steeply at sample 200, breathes open by 10 while injecting and opens
// steeply at sample 800; shift moves the whole shot in time, scale is the sensor's unit.
SampleList curve(int shift, double offset, unsigned seed, int samples = length, double scale = 1.0)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 0.3);
    SampleList list(samples);
    for (int i = 0; i < samples; ++i) {
        const double t = i - shift;
        double v = 100.0 - std::clamp((t - 200.0) * 20.0, 0.0, 100.0);
        if (t >= 800.0)
            v = std::clamp((t - 800.0) * 20.0, 0.0, 100.0);
        if (t >= 300.0 && t < 500.0)
            v += 10.0 * std::sin((t - 300.0) / 200.0 * 3.14159265);
        list[i] = scale * (v + offset + noise(random));
    }
    return list;
}

struct Shots
{
    std::vector<std::array<SampleList, 5>> lists;

    void add(const SampleList& samples)
    {
        lists.push_back({samples, samples, samples, samples, samples});
    }
    QVector<ShotSamples> all() const
    {
        QVector<ShotSamples> result;
        for (const auto& shot : lists)
            result.append({&shot[0], &shot[1], &shot[2], &shot[3], &shot[4]});
        return result;
    }
};

// Ten good shots whose edges start up to three samples apart.
Shots taughtShots(double scale = 1.0, const QVector<int>& lengths = {})
{
    const int shifts[] = {-3, -2, -1, 0, 1, 2, 3, -3, 3, 0};
    Shots shots;
    for (int s = 0; s < 10; ++s)
        shots.add(curve(shifts[s], 0.1 * (s % 5) - 0.2, 100 + s, lengths.value(s, length), scale));
    return shots;
}

ReferenceBand taught()
{
    const ReferenceBand::TeachResult result = ReferenceBand::teach(taughtShots().all(), clockMs);
    if (!result.ok)
        qFatal("teaching failed: %s", qPrintable(result.error));
    return result.band;
}

Verdict judged(const ShotSamples& shot, const ReferenceBand& band = taught())
{
    return ShotJudge(band, markers, phases).judge(shot);
}

// All five sensors reading samples.
Verdict judged(const SampleList& samples, const ReferenceBand& band = taught())
{
    Shots shot;
    shot.add(samples);
    return judged(shot.all().first(), band);
}

constexpr int verdictArea = 45;

// Value lines of a live shot in micrometres: the tool closes over 20 samples and stays
// closed; good shots differ by a few micrometres, a bump adds 5 mm over 11 samples.
QByteArray liveShot(int shot, bool bump)
{
    QByteArray lines = "run=1\n";
    for (int i = 1; i <= 40; ++i) {
        int v = 1000 * std::min(i, 20) + (shot * 7) % 5;
        if (bump && i >= 25 && i < 36)
            v += 5000;
        lines += QByteArray::number(i);
        for (int k = 0; k < 5; ++k)
            lines += ';' + QByteArray::number(v);
        lines += '\n';
    }
    return lines;
}

void fillShots(Model& model, int shots)
{
    for (int shot = 0; shot < shots; ++shot) {
        for (int k = 0; k < Model::numSensors; ++k) {
            SampleList samples;
            for (int i = 1; i <= 40; ++i)
                samples.append(std::min(i, 20) + 0.001 * ((shot * 7) % 5) +
                               (shot == 4 && i > 25 ? 5 : 0));
            model.appendSeries(k, std::move(samples));
        }
        model.appendTimestamp();
    }
    emit model.dataChanged();
}

void teachThroughPage(FakeDeviceSetup& app, const QString& ranges)
{
    TabOszilloscope* page = app.view->tabOszi();
    page->findChild<QLineEdit*>(QStringLiteral("teachRangeLineEdit"))->setText(ranges);
    page->findChild<QPushButton*>(QStringLiteral("teachReferenceButton"))->click();
}

} // namespace

class TestVerdict : public QObject
{
    Q_OBJECT

private slots:
    void bandAbsorbsJitterAndJudgesLength_data();
    void bandAbsorbsJitterAndJudgesLength();
    void shortExcursionDoesNotReject_data();
    void shortExcursionDoesNotReject();
    void failedSensorIsNamed_data();
    void failedSensorIsNamed();
    void firstViolationGivesPhaseAndTime_data();
    void firstViolationGivesPhaseAndTime();
    void teachingRefusedWithMessage_data();
    void teachingRefusedWithMessage();
    void defaultsFollowTheSensorsUnit();
    void storedBandGivesTheSameVerdicts();
    void liveShotJudgedWhenItEnds();
    void teachingRefusedChangesNothing_data();
    void teachingRefusedChangesNothing();
    void settingsAndSamplePeriodJudgeAgain();
    void openedProjectJudgedByItsStoredReference();
    void lampWordLargeInPixelFont();
    void referenceStatusFollowsTheLanguage();
};

void TestVerdict::bandAbsorbsJitterAndJudgesLength_data()
{
    QTest::addColumn<int>("shift");
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("toleranceSamples"); // -1: the taught defaults
    QTest::addColumn<int>("kind");
    const int ok = int(Verdict::Kind::Ok);
    const int outside = int(Verdict::Kind::OutsideBand);
    QTest::newRow("earliest taught") << -3 << length << -1 << ok;
    QTest::newRow("a sample beyond") << 4 << length << -1 << ok;
    QTest::newRow("ten times later") << 30 << length << -1 << outside;
    QTest::newRow("ten times earlier") << -30 << length << -1 << outside;
    QTest::newRow("within a wider time tolerance") << 15 << length << 16 << ok;
    QTest::newRow("beyond a wider time tolerance") << 15 << length << 8 << outside;
    // A shot's length is judged against the band, not against the longest taught shot.
    QTest::newRow("longer than the band") << 0 << length + 200 << -1 << ok;
    QTest::newRow("a sample short") << 0 << length - 1 << -1 << ok;
    QTest::newRow("ended early") << 0 << length - 100 << -1 << int(Verdict::Kind::TooShort);
}

void TestVerdict::bandAbsorbsJitterAndJudgesLength()
{
    QFETCH(int, shift);
    QFETCH(int, samples);
    QFETCH(int, toleranceSamples);
    QFETCH(int, kind);
    ReferenceBand band = taught();
    if (toleranceSamples >= 0) {
        ReferenceSettings settings = band.settings();
        settings.timeToleranceMs = toleranceSamples * clockMs;
        band.setSettings(settings);
    }
    const Verdict verdict = judged(curve(shift, 0.0, 7, samples), band);
    QCOMPARE(int(verdict.kind), kind);
    if (verdict.kind == Verdict::Kind::TooShort)
        QCOMPARE(verdict.timeMs, double(samples * clockMs));
}

void TestVerdict::shortExcursionDoesNotReject_data()
{
    QTest::addColumn<int>("samples");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("ok");
    QTest::newRow("two samples far out") << 2 << 1000.0 << true;
    QTest::newRow("one sample not a number") << 1 << qQNaN() << true;
    QTest::newRow("three samples") << 3 << 1000.0 << false;
    QTest::newRow("twenty samples slightly out") << 20 << 8.0 << false;
}

void TestVerdict::shortExcursionDoesNotReject()
{
    QFETCH(int, samples);
    QFETCH(double, value);
    QFETCH(bool, ok);
    SampleList list = curve(0, 0.0, 7);
    for (int i = 600; i < 600 + samples; ++i)
        list[i] = value;
    const Verdict verdict = judged(list);
    QCOMPARE(verdict.isOk(), ok);
    if (!ok) {
        QCOMPARE(verdict.timeMs, 600.0 * clockMs);
        QCOMPARE(verdict.samplesOutside, samples);
        // Measured from the band, which lies a few units above the closed tool at 0.
        QVERIFY2(verdict.deviation > value - 5.0 && verdict.deviation < value,
                 qPrintable(QString::number(verdict.deviation)));
    }
}

void TestVerdict::failedSensorIsNamed_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("kind");
    QTest::newRow("no samples") << "empty" << int(Verdict::Kind::SensorFailed);
    QTest::newRow("no list") << "null" << int(Verdict::Kind::SensorFailed);
    QTest::newRow("stuck at the closed gap") << "flat" << int(Verdict::Kind::SensorFailed);
    QTest::newRow("reading 0 for a while") << "zeros" << int(Verdict::Kind::OutsideBand);
}

void TestVerdict::failedSensorIsNamed()
{
    QFETCH(QString, fault);
    QFETCH(int, kind);
    Shots shot;
    SampleList faulty = curve(0, 0.0, 9);
    if (fault == QLatin1String("empty"))
        faulty.clear();
    else if (fault == QLatin1String("flat"))
        faulty.fill(0.5);
    else if (fault == QLatin1String("zeros"))
        std::fill(faulty.begin() + 50, faulty.begin() + 150, 0.0);
    shot.add(curve(0, 0.0, 8));
    shot.lists[0][3] = faulty;
    // An earlier excursion of another sensor does not hide the failed one.
    std::fill(shot.lists[0][1].begin() + 20, shot.lists[0][1].begin() + 30, 150.0);
    ShotSamples samples = shot.all().first();
    if (fault == QLatin1String("null"))
        samples[3] = nullptr;
    const Verdict verdict = judged(samples);
    QCOMPARE(int(verdict.kind), kind);
    QCOMPARE(verdict.sensor, kind == int(Verdict::Kind::SensorFailed) ? 3 : 1);
    if (kind == int(Verdict::Kind::SensorFailed))
        QCOMPARE(verdict.kindText(), QStringLiteral("Sensor ausgefallen"));
}

void TestVerdict::firstViolationGivesPhaseAndTime_data()
{
    QTest::addColumn<int>("sensorA");
    QTest::addColumn<int>("atA");
    QTest::addColumn<int>("sensorB");
    QTest::addColumn<int>("atB");
    QTest::addColumn<int>("sensor");
    QTest::addColumn<int>("phase");
    QTest::addColumn<bool>("betweenMarkers");
    // Markers at samples 200, 450, 650 and 850.
    QTest::newRow("closing, before marker 0") << 2 << 100 << 0 << 600 << 2 << 0 << false;
    QTest::newRow("on marker 1 starts phase 2") << 4 << 450 << 1 << 700 << 4 << 2 << false;
    QTest::newRow("earlier sensor wins") << 1 << 700 << 3 << 520 << 3 << 2 << false;
    QTest::newRow("after the last marker") << 0 << 900 << 0 << 950 << 0 << 4 << false;
    // Monitoring from marker 0 to marker 3 leaves the fault at sample 100 out.
    QTest::newRow("outside the monitored part") << 2 << 100 << 0 << 600 << 0 << 2 << true;
}

void TestVerdict::firstViolationGivesPhaseAndTime()
{
    QFETCH(int, sensorA);
    QFETCH(int, atA);
    QFETCH(int, sensorB);
    QFETCH(int, atB);
    QFETCH(int, sensor);
    QFETCH(int, phase);
    QFETCH(bool, betweenMarkers);
    Shots shot;
    shot.add(curve(0, 0.0, 11));
    for (int i = 0; i < 10; ++i) {
        shot.lists[0][sensorA][atA + i] += 40.0;
        shot.lists[0][sensorB][atB + i] -= 40.0;
    }
    ReferenceBand band = taught();
    if (betweenMarkers) {
        ReferenceSettings settings = band.settings();
        settings.part = ReferenceSettings::Part::BetweenMarkers;
        settings.fromMarker = 0;
        settings.toMarker = 3;
        band.setSettings(settings);
    }
    const Verdict verdict = judged(shot.all().first(), band);
    QCOMPARE(verdict.kind, Verdict::Kind::OutsideBand);
    QCOMPARE(verdict.sensor, sensor);
    QCOMPARE(verdict.timeMs, double((sensor == sensorA ? atA : atB) * clockMs));
    QCOMPARE(verdict.phase, phase);
    QCOMPARE(verdict.phaseName, phases[phase]);
}

void TestVerdict::teachingRefusedWithMessage_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QVector<int>>("lengths");
    QTest::addColumn<QString>("error");
    QTest::newRow("two shots") << 2 << QVector<int>()
                               << "Zum Einlernen sind mindestens 3 Schüsse nötig, gewählt sind 2.";
    QTest::newRow("one shot much longer")
        << 10 << QVector<int>{1000, 1000, 1000, 1300}
        << "Die gewählten Schüsse sind zu verschieden lang (Sensor 1: 2000 bis 2600 ms), um "
           "sie zu einer Referenz zusammenzufassen.";
    QTest::newRow("lengths a few samples apart")
        << 10 << QVector<int>{1000, 1004, 998} << QString();
}

void TestVerdict::teachingRefusedWithMessage()
{
    QFETCH(int, count);
    QFETCH(QVector<int>, lengths);
    QFETCH(QString, error);
    const Shots shots = taughtShots(1.0, lengths);
    const ReferenceBand::TeachResult result =
        ReferenceBand::teach(shots.all().mid(0, count), clockMs);
    QCOMPARE(result.error, error);
    QCOMPARE(result.ok, error.isEmpty());
}

void TestVerdict::defaultsFollowTheSensorsUnit()
{
    // The same shots in micrometres and in millimetres: tolerances scale, verdicts agree.
    const ReferenceBand::TeachResult um = ReferenceBand::teach(taughtShots().all(), clockMs);
    const ReferenceBand::TeachResult mm = ReferenceBand::teach(taughtShots(0.001).all(), clockMs);
    QVERIFY(um.ok && mm.ok);
    QVERIFY(um.defaults.valueTolerance[0] > 0.0);
    QVERIFY(qFuzzyCompare(mm.defaults.valueTolerance[0] * 1000, um.defaults.valueTolerance[0]));
    QCOMPARE(mm.defaults.timeToleranceMs, um.defaults.timeToleranceMs);
    for (const double offset : {0.0, 6.0}) {
        QCOMPARE(judged(curve(2, offset, 13), um.band).isOk(), offset == 0.0);
        QCOMPARE(judged(curve(2, offset, 13, length, 0.001), mm.band).isOk(), offset == 0.0);
    }
}

void TestVerdict::storedBandGivesTheSameVerdicts()
{
    // Odd settings: a time tolerance that is no whole number of samples, part of the shot.
    ReferenceBand band = taught();
    ReferenceSettings settings = band.settings();
    settings.part = ReferenceSettings::Part::BetweenMarkers;
    settings.fromMarker = 1;
    settings.toMarker = 3;
    settings.valueTolerance = {0.37, 1.1, 0.0, 2.5, 1e-3};
    settings.timeToleranceMs = 5.0;
    band.setSettings(settings);
    const QVector<int> taughtNumbers = {1, 2, 3, 7, 8, 9, 10, 11, 12, 20};

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("band.mvx"));
    {
        Model model;
        model.setReference(band.toData(taughtNumbers));
        QVERIFY(model.save(path));
    }
    Model reopened;
    QVERIFY(reopened.open(path));
    QVERIFY(reopened.reference());
    const std::optional<ReferenceBand> stored = ReferenceBand::fromData(*reopened.reference());
    QVERIFY(stored);
    QVERIFY(stored->toData(taughtNumbers) == band.toData(taughtNumbers));

    // Shots near every edge of the band: good, shifted, offset, noisy, short and failed.
    Shots shots = taughtShots();
    for (int shift : {-8, -5, 4, 6, 12})
        shots.add(curve(shift, 0.0, 300 + shift));
    for (double offset : {-1.6, 0.9, 1.4, 3.0})
        shots.add(curve(0, offset, 400));
    shots.add(curve(0, 0.0, 500, length - 40));
    shots.add(SampleList(length, 50.0));
    const ShotJudge before(band, markers, phases);
    const ShotJudge after(*stored, markers, phases);
    int nok = 0;
    for (const ShotSamples& shot : shots.all()) {
        const Verdict a = before.judge(shot);
        const Verdict b = after.judge(shot);
        QCOMPARE(b.kind, a.kind);
        QCOMPARE(b.sensor, a.sensor);
        QCOMPARE(b.timeMs, a.timeMs);
        QCOMPARE(b.samplesOutside, a.samplesOutside);
        QVERIFY(b.deviation == a.deviation || (std::isnan(a.deviation) && std::isnan(b.deviation)));
        nok += a.isOk() ? 0 : 1;
    }
    // Both kinds of verdict were compared.
    QVERIFY(nok > 0 && nok < shots.all().size());
}

// The verdict stands above its counts in a font 1.8 times as large, readable from the machine,
// also in the pixel-sized font the style sheet sets.
void TestVerdict::lampWordLargeInPixelFont()
{
    QFont font = QApplication::font();
    font.setPixelSize(18);
    VerdictLamp lamp;
    lamp.setFont(font);
    const int small = QFontMetrics(font).height();
    QVERIFY2(
        lamp.sizeHint().height() >= qRound(2.6 * small) + 10,
        qPrintable(QStringLiteral("%1 for a line of %2").arg(lamp.sizeHint().height()).arg(small)));
}

// The status the controller wrote follows a switch of language, as the window's own texts do.
void TestVerdict::referenceStatusFollowsTheLanguage()
{
    FakeDeviceSetup app(verdictArea);
    const auto* status = app.view->findChild<QLabel*>(QStringLiteral("referenceStatusLabel"));
    const QString german = status->text();
    QVERIFY(!german.isEmpty());
    app.view->form()->actionLanguageEnglish->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCOMPARE(status->text(), QStringLiteral("No reference taught"));
    app.view->form()->actionLanguageGerman->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCOMPARE(status->text(), german);
}

VENTARO_TEST_MAIN(TestVerdict)
#include "test_verdict.moc"

void TestVerdict::liveShotJudgedWhenItEnds()
{
    FakeDeviceSetup app(verdictArea);
    QVERIFY(app.connectDevice());
    for (int shot = 0; shot < 3; ++shot)
        app.send(liveShot(shot, false) + "run=0\n");
    QTRY_COMPARE(app.model->numChannels(0), 3);
    QTRY_VERIFY(!app.controller->isRecordingRunning());
    teachThroughPage(app, QStringLiteral("1-3"));
    const VerdictMonitor* monitor = app.controller->verdicts();
    QCOMPARE(monitor->verdicts().size(), 3);
    const VerdictLamp* lamp = app.view->verdictLamp();
    QCOMPARE(lamp->state(), VerdictLamp::State::None);

    app.send(liveShot(3, false) + "run=0\n");
    QTRY_COMPARE(lamp->state(), VerdictLamp::State::Ok);
    // A running shot waits for its end: a half-recorded shot would be judged too short.
    app.send(liveShot(4, true));
    QTRY_COMPARE(app.model->measurement(0, 4) ? app.model->measurement(0, 4)->size() : 0, 40);
    QCOMPARE(monitor->verdicts().size(), 4);
    app.send("run=0\n");
    QTRY_COMPARE(lamp->state(), VerdictLamp::State::Nok);
    QCOMPARE(lamp->countsText(), lamp->tr("OK %1 · NOK %2").arg(1).arg(1));
    QCOMPARE(monitor->verdicts().at(4).kind, Verdict::Kind::OutsideBand);
    QVERIFY(!lamp->toolTip().isEmpty());
    const OsziWidget* plot = app.view->tabOszi()->osziWidget(0);
    QCOMPARE(plot->curveColor(4), QColor(Qt::red));
    QCOMPARE(plot->curveColor(3), QColor(Qt::black));
}

void TestVerdict::teachingRefusedChangesNothing_data()
{
    QTest::addColumn<QString>("ranges");
    QTest::newRow("two shots") << QStringLiteral("1-2");
    QTest::newRow("no list") << QStringLiteral("abc");
    QTest::newRow("beyond the shots") << QStringLiteral("7-9");
}

void TestVerdict::teachingRefusedChangesNothing()
{
    QFETCH(QString, ranges);
    FakeDeviceSetup app(verdictArea);
    fillShots(*app.model, 5);
    teachThroughPage(app, QStringLiteral("1-4"));
    const ReferenceData before = *app.model->reference();
    QString shown;
    app.answer->answer([&shown](QWidget* dialog) {
        shown = dialog->objectName();
        dialog->close();
    });
    teachThroughPage(app, ranges);
    QCOMPARE(shown, QStringLiteral("teachFailureBox"));
    QVERIFY(*app.model->reference() == before);
}

void TestVerdict::settingsAndSamplePeriodJudgeAgain()
{
    FakeDeviceSetup app(verdictArea);
    fillShots(*app.model, 5);
    teachThroughPage(app, QStringLiteral("1-4"));
    const VerdictMonitor* monitor = app.controller->verdicts();
    QVERIFY(!monitor->verdicts().at(4).isOk());
    // Shots added afterwards, as an import adds them, are judged too.
    fillShots(*app.model, 1);
    QCOMPARE(monitor->verdicts().size(), 6);

    // A minimum time outside longer than the bump lets the shot pass.
    app.answer->answer([](QWidget* dialog) {
        dialog->findChild<QDoubleSpinBox*>(QStringLiteral("minDurationBox"))->setValue(2000);
        static_cast<QDialog*>(dialog)->accept();
    });
    app.view->tabOszi()
        ->findChild<QPushButton*>(QStringLiteral("referenceSettingsButton"))
        ->click();
    QCOMPARE(app.answer->answered(), 1);
    QCOMPARE(app.model->reference()->minDurationMs, 2000.0);
    QVERIFY(monitor->verdicts().at(4).isOk());

    // Shots of another sample period lie on another time axis: no verdicts until taught again.
    app.model->setClock(app.model->clock() * 2);
    QTRY_COMPARE(monitor->state(), VerdictMonitor::State::Unusable);
    QVERIFY(monitor->verdicts().isEmpty());
}

void TestVerdict::openedProjectJudgedByItsStoredReference()
{
    // The open fills the model while the event loop runs; the verdicts must come after it.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("taught.mvx"));
    {
        FakeDeviceSetup app(verdictArea);
        fillShots(*app.model, 5);
        teachThroughPage(app, QStringLiteral("1-4"));
        QVERIFY(app.model->save(path));
    }
    FakeDeviceSetup app(verdictArea);
    app.answer->chooseFile(path);
    emit app.view->openProject();
    QTRY_COMPARE(app.model->numChannels(0), 5);
    const VerdictMonitor* monitor = app.controller->verdicts();
    QTRY_COMPARE(monitor->verdicts().size(), 5);
    QVERIFY(monitor->verdicts().at(3).isOk());
    QVERIFY(!monitor->verdicts().at(4).isOk());
}
