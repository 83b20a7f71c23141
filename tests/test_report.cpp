#include "analysis/ReferenceBand.h"
#include "analysis/ShotJudge.h"
#include "app/NumberStyle.h"
#include "control/VerdictMonitor.h"
#include "model/Model.h"
#include "report/ReportWriter.h"
#include "tests/common/FakeDeviceSetup.h"
#include "tests/common/TestMain.h"
#include "view/TabEvaluation.h"
#include "view/TabEvaluationRuntime.h"
#include "view/TabEvaluationValues.h"

#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>

namespace {

constexpr int reportArea = 52;
constexpr int clockMs = 2;
constexpr int length = 600;
constexpr int goodShots = 10;

// A mould that closes at sample 100 and opens at sample 450; bump lifts a stretch of the
// closed part so that the shot leaves a band taught from good ones.
SampleList curve(int shot, double bump = 0.0)
{
    SampleList list(length);
    for (int i = 0; i < length; ++i) {
        double v = 10.0 - std::clamp((i - 100) * 0.5, 0.0, 10.0);
        if (i >= 450)
            v = std::clamp((i - 450) * 0.5, 0.0, 10.0);
        if (i >= 200 && i < 260)
            v += bump;
        list[i] = v + 0.01 * ((shot * 7 + i) % 5);
    }
    return list;
}

enum class Kind
{
    Full,
    NoShots,
    NoTimestamps,
    OneSensor
};

// A project of goodShots good shots, a reference taught from them and one bumped NOK shot;
// or one that lacks something.
void writeProject(const QString& path, Kind kind)
{
    Model model;
    model.setClock(clockMs);
    ProjectData data = model.projectData();
    data.name = QStringLiteral("Los 4711");
    data.markers = {200, 400, 600, 900};
    model.setProjectData(data);
    const int shots = kind == Kind::NoShots ? 0 : goodShots + 1;
    const int sensors = kind == Kind::OneSensor ? 1 : Model::numSensors;
    const QDateTime start(QDate(2026, 12, 1), QTime(6, 0));
    for (int i = 0; i < shots; ++i) {
        for (int s = 0; s < sensors; ++s)
            model.appendSeries(s, curve(i + s, i == goodShots && s == 2 ? 3.0 : 0.0));
        if (kind != Kind::NoTimestamps)
            model.appendTimestamp(start.addSecs(30 * i));
    }
    if (kind == Kind::Full) {
        QVector<ShotSamples> taught;
        for (int i = 0; i < goodShots; ++i)
            taught.append(ShotJudge::shotOf(model, i));
        const ReferenceBand::TeachResult result = ReferenceBand::teach(taught, clockMs);
        QVERIFY2(result.ok, qPrintable(result.error));
        QVector<int> numbers;
        for (int i = 1; i <= goodShots; ++i)
            numbers.append(i);
        model.setReference(result.band.toData(numbers));
        // The link lost after the fourth shot; one of the device's two shots came back.
        model.addRecordingGap({start.addSecs(100), start.addSecs(110), 2, 1});
        model.setFromBlackBox(4, true);
    }
    QVERIFY(model.save(path));
}

QString tool(const QString& name)
{
    const QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty())
        qWarning("%s is missing: scripts/common.sh installs poppler-utils", qPrintable(name));
    return found;
}

// The PDF's text with every run of white space made one space, so that table cells and
// wrapped lines read as one line.
QString pdfText(const QString& pdf, int page = 0)
{
    QStringList arguments = {pdf, QStringLiteral("-")};
    if (page > 0)
        arguments = QStringList{QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                QString::number(page)} +
                    arguments;
    QProcess p;
    p.start(tool(QStringLiteral("pdftotext")), arguments);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run cli(const QStringList& arguments)
{
    QProcess p;
    p.start(QStringLiteral(VENTARO_CLI), arguments);
    Run run;
    if (!p.waitForFinished(120000))
        return run;
    run.exitCode = p.exitCode();
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void reportShowsThePagesFigures();
    void runningShotLeftOut();
    void languagesAndNotBlank_data();
    void languagesAndNotBlank();
    void missingDataIsSaid_data();
    void missingDataIsSaid();
    void failuresLeaveNoFile_data();
    void failuresLeaveNoFile();
};

// The menu's report of an opened project, with markers the user moved on the values page:
// the shot count, each sensor's five-number summary as the page's labels show it, the NOK
// shot with its violation as the tables' tooltip gives it, and the full list beside it.
void TestReport::reportShowsThePagesFigures()
{
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("lot.mvx"));
    writeProject(project, Kind::Full);
    FakeDeviceSetup app(reportArea, project);
    View& view = *app.view;
    view.setCurrentTab(View::Tabs::Evaluation);
    TabEvaluationValues* values = view.tabEvaluation()->valuesPage();
    auto* left = values->findChild<QDoubleSpinBox*>(QStringLiteral("spinBoxMarkerLeft"));
    auto* right = values->findChild<QDoubleSpinBox*>(QStringLiteral("spinBoxMarkerRight"));
    left->setValue(0.3);
    right->setValue(0.7);
    emit right->editingFinished();
    QCOMPARE(values->leftMarker(), 300);

    const QString pdf = dir.filePath(QStringLiteral("lot.pdf"));
    emit view.reportRequested(pdf);
    QTRY_VERIFY(QFileInfo::exists(pdf));
    const QString text = pdfText(pdf);
    QVERIFY2(!text.isEmpty(), "pdftotext read nothing");
    QVERIFY(text.contains(QStringLiteral("Anzahl Messungen %1").arg(goodShots + 1)));
    QVERIFY2(text.contains(QStringLiteral("1 2026-12-01 06:01:40 2026-12-01 06:01:50 2 1")) &&
                 text.contains(QStringLiteral("1 von 1 Lücken sind nicht gefüllt")) &&
                 text.contains(QStringLiteral("Messungen aus der Black Box: 1.")),
             qPrintable(text.left(3000)));
    QVERIFY2(text.contains(QStringLiteral("%1 s … %2 s")
                               .arg(NumberStyle::general(0.3), NumberStyle::general(0.7))),
             qPrintable(text));

    const char* const labels[] = {"MinLabel", "Q1Label", "MedianLabel", "Q3Label", "MaxLabel"};
    for (int s = 0; s < Model::numSensors; ++s) {
        QStringList five;
        for (const char* label : labels)
            five << values
                        ->findChild<QLabel*>(
                            QStringLiteral("sensor%1%2").arg(s + 1).arg(QLatin1String(label)))
                        ->text();
        QVERIFY2(text.contains(five.join(QLatin1Char(' '))), qPrintable(five.join(' ')));
    }
    TabEvaluationRuntime* runtime = view.tabEvaluation()->runtimePage();
    const QString duration =
        QStringList{runtime->findChild<QLabel*>(QStringLiteral("durationMinLabel"))->text(),
                    runtime->findChild<QLabel*>(QStringLiteral("durationQ1Label"))->text(),
                    runtime->findChild<QLabel*>(QStringLiteral("durationMedianLabel"))->text()}
            .join(QLatin1Char(' '));
    QVERIFY2(text.contains(duration), qPrintable(duration));

    const QVector<Verdict> verdicts = app.controller->verdicts()->verdicts();
    QCOMPARE(verdicts.size(), goodShots + 1);
    QVERIFY(!verdicts.last().isOk());
    const QString violation = verdicts.last().violationText(QString());
    QVERIFY2(text.contains(QStringLiteral("OK %1 NOK 1").arg(goodShots)), qPrintable(text));
    QVERIFY2(text.contains(
                 QStringLiteral("%1 2026-12-01 06:05:00 %2").arg(goodShots + 1).arg(violation)),
             qPrintable(violation));

    view.tabEvaluation()->showSpcPage();
    const QString figures =
        view.findChild<QLabel*>(QStringLiteral("spcFiguresLabel"))->text().simplified();
    const QString mean =
        QRegularExpression(QStringLiteral("x̄ = (\\S+)")).match(figures).captured(1);
    QVERIFY2(!mean.isEmpty(), qPrintable(figures));
    QVERIFY2(text.contains(QStringLiteral("Mittelwert ") + mean), qPrintable(figures));

    QFile csv(ReportWriter::csvPathFor(pdf));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).trimmed().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QVERIFY(
        lines.at(1).startsWith(QStringLiteral("%1,2026-12-01 06:05:00,NOK,").arg(goodShots + 1)));
}

// A report asked for during a recording holds the finished shots only: half a shot would
// read as too short and its figures change while the report is written.
void TestReport::runningShotLeftOut()
{
    FakeDeviceSetup app(reportArea);
    QVERIFY(app.connectDevice());
    const QByteArray shot = "run=1\n" + FakeDeviceSetup::valueLines(1, 30);
    app.send(shot + "run=0\n" + shot + "run=0\n" + shot);
    QTRY_COMPARE(app.model->numChannels(0), 3);
    QTRY_COMPARE(app.model->measurement(0, 2)->size(), 30);
    QVERIFY(app.controller->isRecordingRunning());

    const QString pdf = app.dir.filePath(QStringLiteral("live.pdf"));
    emit app.view->reportRequested(pdf);
    QTRY_VERIFY(QFileInfo::exists(pdf));
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("Anzahl Messungen 2 ")), qPrintable(text));
    QCOMPARE(app.model->numChannels(0), 3);
}

void TestReport::languagesAndNotBlank_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("headings");
    QTest::newRow("German") << QStringLiteral("de")
                            << QStringList{
                                   QStringLiteral("1 Projekt"), QStringLiteral("3 Ergebnisse"),
                                   QStringLiteral("Seite 1 von"), QStringLiteral("4 Bilder")};
    QTest::newRow("English") << QStringLiteral("en")
                             << QStringList{
                                    QStringLiteral("1 Project"), QStringLiteral("3 Results"),
                                    QStringLiteral("Page 1 of"), QStringLiteral("4 Pictures")};
}

// The command line in either language; the first page of pictures carries ink.
void TestReport::languagesAndNotBlank()
{
    QFETCH(QString, language);
    QFETCH(QStringList, headings);
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("lot.mvx"));
    writeProject(project, Kind::Full);
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    const Run run = cli({QStringLiteral("report"), project, QStringLiteral("-o"), pdf,
                         QStringLiteral("--lang"), language});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QString text = pdfText(pdf);
    for (const QString& heading : headings)
        QVERIFY2(text.contains(heading), qPrintable(heading));
    const int pages =
        QRegularExpression(QStringLiteral("pages: (\\d+)")).match(run.out).captured(1).toInt();
    QVERIFY(pages >= 3 && pages <= 12);

    // The first page of pictures, rendered: a good part of it is not white.
    int pictures = 1;
    while (pictures < pages && !pdfText(pdf, pictures).contains(headings.last()))
        ++pictures;
    QProcess render;
    render.start(tool(QStringLiteral("pdftoppm")),
                 {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-f"),
                  QString::number(pictures), QStringLiteral("-l"), QString::number(pictures),
                  QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf,
                  dir.filePath(QStringLiteral("page"))});
    QVERIFY(render.waitForFinished(60000));
    const QImage image(dir.filePath(QStringLiteral("page.png")));
    QVERIFY(!image.isNull());
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += qGray(image.pixel(x, y)) < 200 ? 1 : 0;
    QVERIFY2(ink > image.width() * image.height() / 50, qPrintable(QString::number(ink)));
}

void TestReport::missingDataIsSaid_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("no shots") << Kind::NoShots
                              << QStringLiteral("Das Projekt enthält keine Messungen.");
    QTest::newRow("no timestamps")
        << Kind::NoTimestamps << QStringLiteral("Die Messungen tragen keine Zeitstempel.");
    QTest::newRow("one sensor") << Kind::OneSensor
                                << QStringLiteral("Ohne Messungen: Sensor 2, 3, 4, 5.");
}

void TestReport::missingDataIsSaid()
{
    QFETCH(Kind, kind);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("thin.mvx"));
    writeProject(project, kind);
    const QString pdf = dir.filePath(QStringLiteral("thin.pdf"));
    const Run run = cli({QStringLiteral("report"), project, QStringLiteral("-o"), pdf});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(pdfText(pdf).contains(said), qPrintable(pdfText(pdf)));
    // No reference: no verdict, so no list beside the report.
    QVERIFY(!QFileInfo::exists(ReportWriter::csvPathFor(pdf)));
}

void TestReport::failuresLeaveNoFile_data()
{
    QTest::addColumn<bool>("projectReadable");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("message");
    QTest::newRow("project unreadable")
        << false << QStringLiteral("out.pdf") << QStringLiteral("cannot be read as a project");
    QTest::newRow("folder missing")
        << true << QStringLiteral("missing/out.pdf") << QStringLiteral("out.pdf");
}

// One line, exit status 1, and neither a PDF nor a list left behind.
void TestReport::failuresLeaveNoFile()
{
    QFETCH(bool, projectReadable);
    QFETCH(QString, output);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("lot.mvx"));
    if (projectReadable) {
        writeProject(project, Kind::Full);
    } else {
        QFile file(project);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"not\": a project");
    }
    const QString pdf = dir.filePath(output);
    const Run run = cli({QStringLiteral("report"), project, QStringLiteral("-o"), pdf});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(!QFileInfo::exists(pdf));
    QVERIFY(!QFileInfo::exists(ReportWriter::csvPathFor(pdf)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("lot.mvx")});
}

VENTARO_TEST_MAIN(TestReport)
#include "test_report.moc"
