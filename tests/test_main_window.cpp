#include "app/Constants.h"
#include "model/Model.h"
#include "tests/common/DialogAnswerer.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TestMain.h"
#include "ui_TabProject.h"
#include "ui_View.h"
#include "view/StartWidget.h"
#include "view/TabProject.h"
#include "view/View.h"

#include <QLabel>
#include <QSettings>
#include <QSignalSpy>
#include <QTabBar>

namespace {

// The colour of the icon's opaque middle (the glyphs are drawn there).
QColor iconColour(const QIcon& icon)
{
    const QImage image = icon.pixmap(64, 64).toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).alpha() == 255)
                return image.pixelColor(x, y);
        }
    }
    return QColor();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void startState();
    void geometryFromSettings();
    void actionStates_data();
    void actionStates();
    void recordingAndConnection();
    void tabsAndIndices();
    void closeButtonRunsQuitHandling();
    void prompts();
    void titleFollowsProject();
    void pagesRaiseTheWindowsSignals();
    void commentAndMarkers();
    void loggerHeadline();
};

void TestMainWindow::init()
{
    QSettings(settingsOrganization, settingsApplication).clear();
}

void TestMainWindow::startState()
{
    Model model;
    View view(&model);
    view.show();
    QTRY_VERIFY(view.isMaximized());
    QVERIFY(view.windowTitle().endsWith(QStringLiteral(" (disconnected)")));
    QCOMPARE(view.windowTitle(), QStringLiteral("Dornhal - Ventaro 7.0 (disconnected)"));
    Ui::View* ui = view.form();
    QCOMPARE(ui->actionConnect->text(), QStringLiteral("&Verbinden"));
    // Connecting waits for a project: the controller enables it with a new or opened one.
    QVERIFY(!ui->actionConnect->isEnabled());
    QCOMPARE(iconColour(ui->actionConnect->icon()), qColorGrayAAA);
    QVERIFY(!ui->actionCalibrate->isEnabled());
    QVERIFY(!ui->actionStartRecording->isEnabled());
    QCOMPARE(iconColour(ui->actionCalibrate->icon()), qColorGrayAAA);
    QCOMPARE(iconColour(ui->actionStartRecording->icon()), qColorGrayAAA);
    QCOMPARE(ui->tabWidget->currentWidget(), ui->tabHome);
    QVERIFY(!ui->actionLanguageGerman->isVisible());
}

void TestMainWindow::geometryFromSettings()
{
    {
        Model model;
        View view(&model);
        QCOMPARE(view.pos(), QPoint(200, 200));
        QCOMPARE(view.size(), QSize(400, 400));
        QCOMPARE(model.lastDir(), QString());
    }
    QSettings settings(settingsOrganization, settingsApplication);
    settings.setValue(QStringLiteral("mainwindow_pos"), QPoint(30, 40));
    settings.setValue(QStringLiteral("mainwindow_size"), QSize(900, 700));
    settings.setValue(QStringLiteral("lastDir"), QStringLiteral("/daten"));
    settings.sync();
    Model model;
    View view(&model);
    QCOMPARE(view.pos(), QPoint(30, 40));
    QCOMPARE(view.size(), QSize(900, 700));
    QCOMPARE(model.lastDir(), QStringLiteral("/daten"));
}

void TestMainWindow::actionStates_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("disabled") << 0 << false << qColorGrayAAA;
    QTest::newRow("enabled") << 1 << true << qColorWhite;
    QTest::newRow("highlighted") << 2 << true << qColorPrimary;
    QTest::newRow("alert") << 3 << true << colorRed;
}

void TestMainWindow::actionStates()
{
    QFETCH(int, state);
    QFETCH(bool, enabled);
    QFETCH(QColor, colour);
    Model model;
    View view(&model);
    view.setActionState(View::Actions::StartRecording, static_cast<View::ActionState>(state));
    QCOMPARE(view.form()->actionStartRecording->isEnabled(), enabled);
    QCOMPARE(iconColour(view.form()->actionStartRecording->icon()), colour);

    // The menu entry enables the menu action but recolours the connect icon.
    view.setActionState(View::Actions::Menu, static_cast<View::ActionState>(state));
    QCOMPARE(view.form()->actionMenu->isEnabled(), enabled);
    QCOMPARE(iconColour(view.form()->actionConnect->icon()), colour);
}

void TestMainWindow::recordingAndConnection()
{
    Model model;
    View view(&model);
    Ui::View* ui = view.form();
    view.setRecordingRunning(true);
    QVERIFY(!ui->actionNewProject->isEnabled());
    QVERIFY(!ui->actionOpenProject->isEnabled());
    QVERIFY(!ui->actionSaveProject->isEnabled());
    QCOMPARE(ui->actionStartRecording->text(), QStringLiteral("&Stop"));
    QCOMPARE(iconColour(ui->actionStartRecording->icon()), qColorPrimary);
    view.setRecordingRunning(false);
    QVERIFY(ui->actionNewProject->isEnabled());
    QCOMPARE(ui->actionStartRecording->text(), QStringLiteral("&Start"));

    view.setTabEnabled(View::Tabs::Sensors, false);
    model.setConnected(true);
    emit model.appStateChanged();
    QCOMPARE(ui->actionConnect->text(), QStringLiteral("&Trennen"));
    QVERIFY(ui->actionCalibrate->isEnabled());
    QVERIFY(ui->actionStartRecording->isEnabled());
    QVERIFY(!view.windowTitle().contains(QStringLiteral("disconnected")));
    QVERIFY(ui->tabWidget->isTabEnabled(view.tabIndex(View::Tabs::Sensors)));
    model.setConnected(false);
    emit model.appStateChanged();
    QCOMPARE(ui->actionConnect->text(), QStringLiteral("&Verbinden"));
    QVERIFY(!ui->actionCalibrate->isEnabled());
    QVERIFY(!ui->actionStartRecording->isEnabled());
    QCOMPARE(iconColour(ui->actionStartRecording->icon()), qColorGrayAAA);
}

void TestMainWindow::tabsAndIndices()
{
    Model model;
    View view(&model);
    Ui::View* ui = view.form();
    QCOMPARE(ui->tabWidget->count(), 6);
    QCOMPARE(ui->tabWidget->indexOf(ui->tabLogger), -1);
    QCOMPARE(ui->tabWidget->indexOf(ui->tabTerminal), -1);
    QCOMPARE(ui->tabWidget->indexOf(ui->tabWebConfig), -1);
    const QStringList labels = {QStringLiteral("Home"),       QStringLiteral("Projekt"),
                                QStringLiteral("Sensoren"),   QStringLiteral("Messdaten"),
                                QStringLiteral("Auswertung"), QStringLiteral("BlackBox")};
    for (int i = 0; i < 6; ++i) {
        auto* label =
            qobject_cast<QLabel*>(ui->tabWidget->tabBar()->tabButton(i, QTabBar::LeftSide));
        QVERIFY(label);
        QCOMPARE(label->text(), labels.at(i));
        QCOMPARE(view.tabIndex(static_cast<View::Tabs>(i)), i);
    }
    QCOMPARE(ui->tabWidget->widget(view.tabIndex(View::Tabs::Oszi)), ui->tabOszi);

    LogCapture log;
    QCOMPARE(view.tabIndex(static_cast<View::Tabs>(6)), 0);
    QVERIFY(log.contains(QStringLiteral("index 6 not known!!!")));

    view.setCurrentTab(View::Tabs::BlackBox);
    QCOMPARE(ui->tabWidget->currentWidget(), ui->tabBlackBox);
}

void TestMainWindow::closeButtonRunsQuitHandling()
{
    Model model;
    View view(&model);
    view.show();
    QSignalSpy quit(&view, &View::quit);
    QVERIFY(!view.close());
    QVERIFY(view.isVisible());
    QCOMPARE(quit.count(), 1);
}

void TestMainWindow::prompts()
{
    Model model;
    View view(&model);
    DialogAnswerer answer;

    answer.clickButton(QStringLiteral("Speichern"));
    QCOMPARE(view.askToSave(), QMessageBox::YesRole);
    answer.clickButton(QStringLiteral("Verwerfen"));
    QCOMPARE(view.askToSave(), QMessageBox::NoRole);
    QCOMPARE(answer.texts().value(1), QStringLiteral("Projekt speichern?"));
    // Esc must never discard: it cancels, in both save questions.
    const auto pressEscape = [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); };
    answer.answer(pressEscape);
    QCOMPARE(view.askToSave(), QMessageBox::RejectRole);
    answer.answer(pressEscape);
    QCOMPARE(view.askToSaveAndQuit(), QMessageBox::RejectRole);

    answer.clickButton(QStringLiteral("OK"));
    QVERIFY(view.askToQuit());
    answer.clickButton(QStringLiteral("Abbrechen"));
    QVERIFY(!view.askToQuit());

    answer.clickButton(QStringLiteral("Abbrechen"));
    QCOMPARE(view.askToSaveAndQuit(), QMessageBox::RejectRole);
    answer.clickButton(QStringLiteral("Speichern"));
    QCOMPARE(view.askToSaveAndQuit(), QMessageBox::YesRole);
    answer.clickButton(QStringLiteral("Verwerfen"));
    QCOMPARE(view.askToSaveAndQuit(), QMessageBox::NoRole);
    QCOMPARE(answer.texts().constLast(),
             QStringLiteral("Vor dem Beenden Ventaro Projekt speichern?"));

    answer.clickButton(QStringLiteral("Ja"));
    QVERIFY(view.askYesNo(QStringLiteral("Daten löschen"), QStringLiteral("1-3")));
    QCOMPARE(answer.texts().constLast(), QStringLiteral("<b>Daten löschen</b>"));
    answer.clickButton(QStringLiteral("Nein"));
    QVERIFY(!view.askYesNo(QStringLiteral("Daten löschen"), QStringLiteral("1-3")));
    answer.clickButton(QStringLiteral("OK"));
    QVERIFY(view.confirmInfo(QStringLiteral("Netzwerk Fehler"), QStringLiteral("x")));
    QCOMPARE(answer.answered(), 12);
}

void TestMainWindow::titleFollowsProject()
{
    Model model;
    View view(&model);
    model.setProjectFileName(QStringLiteral("/daten/deckel.mvx"));
    model.setComment(QStringLiteral("x"));
    QCOMPARE(view.windowTitle(),
             QStringLiteral("Dornhal - Ventaro 7.0 (disconnected) [deckel.mvx]"));
}

void TestMainWindow::pagesRaiseTheWindowsSignals()
{
    Model model;
    View view(&model);
    QSignalSpy newProject(&view, &View::newProject);
    QSignalSpy openProject(&view, &View::openProject);
    QSignalSpy importBlackBox(&view, &View::importBlackBox);
    QSignalSpy saveAs(&view, &View::saveProjectAs);
    QTest::mouseClick(
        view.startWidget()->findChild<QPushButton*>(QStringLiteral("buttonNewProject")),
        Qt::LeftButton);
    QTest::mouseClick(
        view.startWidget()->findChild<QPushButton*>(QStringLiteral("buttonOpenProject")),
        Qt::LeftButton);
    QTest::mouseClick(
        view.startWidget()->findChild<QPushButton*>(QStringLiteral("buttonImportBlackBox")),
        Qt::LeftButton);
    view.form()->actionSaveAs->trigger();
    QCOMPARE(newProject.count(), 1);
    QCOMPARE(openProject.count(), 1);
    QCOMPARE(importBlackBox.count(), 1);
    QCOMPARE(saveAs.count(), 1);
}

void TestMainWindow::commentAndMarkers()
{
    Model model;
    View view(&model);
    view.tabProject()->form()->textEditComment->setPlainText(QStringLiteral("Werkzeug neu"));
    QCOMPARE(model.comment(), QStringLiteral("Werkzeug neu"));
    QVERIFY(model.isProjectModified());

    ProjectData data;
    data.markers = {10, 20, 30, 40};
    model.setProjectData(data);
    view.clearMarkers();
    const auto& m = model.projectData().markers;
    QCOMPARE(m[0] + m[1] + m[2] + m[3], 0);
}

void TestMainWindow::loggerHeadline()
{
    Model model;
    View view(&model);
    Ui::View* ui = view.form();
    QCOMPARE(ui->editLogger->toPlainText(),
             QStringLiteral("time\tSensor 1\tSensor 2\n------\t--\t--"));
    ui->loggerCheckBoxA1->setChecked(false);
    ui->loggerCheckBoxA3->setChecked(true);
    view.clearLogger();
    QCOMPARE(ui->editLogger->toPlainText(), QStringLiteral("time\tSensor 1\n------\t--"));
}

VENTARO_TEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
