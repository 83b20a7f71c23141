#include "model/Model.h"
#include "tests/common/DialogAnswerer.h"
#include "tests/common/TestMain.h"
#include "ui_TabProject.h"
#include "view/ImageBox.h"
#include "view/StartWidget.h"
#include "view/TabProject.h"

#include <QLabel>
#include <QSignalSpy>

class TestProjectTab : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void headerEditLeavesAsOneSignal();
    void phaseEditCarriesItsIndex();
    void modelChangesEchoNoEditSignal();
    void commentUntouchedWhileTyping();
    void samplePeriodFollowsConnectionAndData();
    void formProjectData();
    void picturesShowAndHideTheirButtons();
    void latestProjects();
    void imageBox();

private:
    std::unique_ptr<Model> model;
    std::unique_ptr<TabProject> tab;
    std::vector<std::unique_ptr<QSignalSpy>> editSpies;
    int editSignals() const;
};

void TestProjectTab::init()
{
    model = std::make_unique<Model>();
    tab = std::make_unique<TabProject>();
    tab->setModel(model.get());
    tab->show();
    QVERIFY(QTest::qWaitForWindowExposed(tab.get()));
    editSpies.clear();
    editSpies.push_back(std::make_unique<QSignalSpy>(tab.get(), &TabProject::projectDataChanged));
    editSpies.push_back(std::make_unique<QSignalSpy>(tab.get(), &TabProject::clockChanged));
    editSpies.push_back(std::make_unique<QSignalSpy>(tab.get(), &TabProject::phaseEditChanged));
    editSpies.push_back(
        std::make_unique<QSignalSpy>(tab.get(), &TabProject::buttonClearDataClicked));
}

void TestProjectTab::cleanup()
{
    editSpies.clear();
    tab.reset();
    model.reset();
}

int TestProjectTab::editSignals() const
{
    int n = 0;
    for (const auto& spy : editSpies)
        n += spy->count();
    return n;
}

void TestProjectTab::headerEditLeavesAsOneSignal()
{
    Ui::TabProject* ui = tab->form();
    ui->projectNameEdit->setFocus();
    QTest::keyClicks(ui->projectNameEdit, QStringLiteral("Deckel"));
    QCOMPARE(editSpies[0]->count(), 0);
    QTest::keyClick(ui->projectNameEdit, Qt::Key_Return);
    QCOMPARE(editSpies[0]->count(), 1);
    QCOMPARE(tab->projectData().name, QStringLiteral("Deckel"));
    // The tab never writes into the model itself.
    QCOMPARE(model->projectData().name, QString());

    // Leaving the field finishes its editing once more; the controller only copies what
    // differs.
    ui->spinBoxPressure->setFocus();
    editSpies[0]->clear();
    ui->spinBoxPressure->selectAll();
    QTest::keyClicks(ui->spinBoxPressure, QStringLiteral("42"));
    QCOMPARE(editSpies[0]->count(), 0);
    QTest::keyClick(ui->spinBoxPressure, Qt::Key_Return);
    QCOMPARE(editSpies[0]->count(), 1);
    QCOMPARE(tab->projectData().pressure, 42);
}

void TestProjectTab::phaseEditCarriesItsIndex()
{
    Ui::TabProject* ui = tab->form();
    ui->phase3Edit->setFocus();
    ui->phase3Edit->selectAll();
    QTest::keyClicks(ui->phase3Edit, QStringLiteral("Halten"));
    QTest::keyClick(ui->phase3Edit, Qt::Key_Return);
    QSignalSpy& phases = *editSpies[2];
    QCOMPARE(phases.count(), 1);
    QCOMPARE(phases.at(0).at(0).toInt(), 2);
    QCOMPARE(phases.at(0).at(1).toString(), QStringLiteral("Halten"));
}

void TestProjectTab::modelChangesEchoNoEditSignal()
{
    ProjectData data;
    data.name = QStringLiteral("Gehäuse");
    data.pressure = 80;
    data.injectionTime = 2.5;
    data.phaseNames = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                       QStringLiteral("d"), QStringLiteral("e")};
    model->setProjectData(data);
    model->setClock(250);
    model->setComment(QStringLiteral("Notiz"));
    model->addMeasurement();
    model->appendSample(0, 0, 1.0);
    model->clearData();
    QCOMPARE(editSignals(), 0);

    Ui::TabProject* ui = tab->form();
    QCOMPARE(ui->projectNameEdit->text(), QStringLiteral("Gehäuse"));
    QCOMPARE(ui->spinBoxPressure->value(), 80);
    QCOMPARE(ui->spinBoxInjectionTime->value(), 2.5);
    QCOMPARE(ui->phase5Edit->text(), QStringLiteral("e"));
    QCOMPARE(ui->selectionBoxClock->currentText(), QStringLiteral("250ms"));
    QCOMPARE(ui->textEditComment->toPlainText(), QStringLiteral("Notiz"));
}

void TestProjectTab::commentUntouchedWhileTyping()
{
    Ui::TabProject* ui = tab->form();
    ui->textEditComment->setFocus();
    QTRY_VERIFY(ui->textEditComment->hasFocus());
    QTest::keyClicks(ui->textEditComment, QStringLiteral("halb getipp"));
    model->setComment(QStringLiteral("von woanders"));
    QCOMPARE(ui->textEditComment->toPlainText(), QStringLiteral("halb getipp"));
}

void TestProjectTab::samplePeriodFollowsConnectionAndData()
{
    Ui::TabProject* ui = tab->form();
    QVERIFY(!ui->selectionBoxClock->isEnabled());
    QVERIFY(!ui->buttonClearData->isEnabled());

    model->setConnected(true);
    emit model->appStateChanged();
    QVERIFY(ui->selectionBoxClock->isEnabled());

    ui->selectionBoxClock->setCurrentText(QStringLiteral("50ms"));
    QCOMPARE(editSpies[1]->count(), 1);
    QCOMPARE(editSpies[1]->at(0).at(0).toString(), QStringLiteral("50ms"));
    QCOMPARE(model->clock(), 100);

    model->addMeasurement();
    QVERIFY(!ui->selectionBoxClock->isEnabled());
    QVERIFY(ui->buttonClearData->isEnabled());
    model->clearData();
    QVERIFY(ui->selectionBoxClock->isEnabled());
    QVERIFY(!ui->buttonClearData->isEnabled());
}

void TestProjectTab::formProjectData()
{
    Ui::TabProject* ui = tab->form();
    ui->projectNumberEdit->setText(QStringLiteral("P-1"));
    ui->projectPersonEdit->setText(QStringLiteral("Ute"));
    ui->projectCustomerEdit->setText(QStringLiteral("ACME"));
    ui->projectDateEdit->setText(QStringLiteral("heute"));
    ui->spinBoxClosePower->setValue(5500);
    ui->spinBoxPressTime->setValue(31.0);
    ui->spinBoxInjectionTime->setValue(1.234);
    const ProjectData data = tab->projectData();
    QCOMPARE(data.number, QStringLiteral("P-1"));
    QCOMPARE(data.user, QStringLiteral("Ute"));
    QCOMPARE(data.customer, QStringLiteral("ACME"));
    QCOMPARE(data.date, QStringLiteral("heute"));
    QCOMPARE(data.closingForce, 5500);
    QCOMPARE(data.pressTime, 30.0);
    QCOMPARE(data.injectionTime, 1.23);
    QCOMPARE(data.phaseNames[0], QStringLiteral("WZ schließen"));
    QCOMPARE(data.markers, (std::array<int, 4>{}));
}

void TestProjectTab::picturesShowAndHideTheirButtons()
{
    Ui::TabProject* ui = tab->form();
    QVERIFY(ui->imageButton2->isVisible());
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::green);
    model->setProjectImage(2, picture);
    emit model->projectChanged();
    QVERIFY(!ui->imageButton2->isVisible());
    QVERIFY(!ui->imageLabel2->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(ui->imageButton1->isVisible());
}

void TestProjectTab::latestProjects()
{
    StartWidget start;
    start.setLatestFiles({});
    auto* heading = start.findChild<QLabel*>(QStringLiteral("lastFilesLabel"));
    QCOMPARE(heading->text(), QString());

    start.setLatestFiles({QStringLiteral("/a/erst.mvx"), QStringLiteral("/b/zuletzt.mvx")});
    QCOMPARE(heading->text(), QStringLiteral("<b>Latest projects:</b>"));
    QWidget* list = start.findChild<QWidget*>(QStringLiteral("latestFilesWidget"));
    QList<QLabel*> links;
    for (QLabel* label : list->findChildren<QLabel*>()) {
        if (label != heading)
            links.append(label);
    }
    QCOMPARE(links.size(), 2);
    QCOMPARE(links.at(0)->text(), QStringLiteral("<a href=\"/b/zuletzt.mvx\">/b/zuletzt.mvx</a>"));
    QSignalSpy spy(&start, &StartWidget::openLatestFilePressed);
    emit links.at(1)->linkActivated(QStringLiteral("/a/erst.mvx"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("/a/erst.mvx"));
}

void TestProjectTab::imageBox()
{
    QPixmap picture(20, 10);
    picture.fill(Qt::red);
    ImageBox box(picture);
    box.show();
    QSignalSpy deleted(&box, &ImageBox::deleteImageConfirmed);
    QSignalSpy closing(&box, &ImageBox::closing);
    auto* deleteButton = box.findChild<QPushButton*>(QStringLiteral("deleteButton"));

    DialogAnswerer answer;
    answer.clickButton(QStringLiteral("Abbrechen"));
    deleteButton->click();
    QCOMPARE(deleted.count(), 0);
    answer.clickButton(QStringLiteral("OK"));
    deleteButton->click();
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(answer.texts().constLast(), QStringLiteral("Das Bild wird gelöscht!"));

    box.findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
    QCOMPARE(closing.count(), 1);
    QVERIFY(!box.isVisible());
}

VENTARO_TEST_MAIN(TestProjectTab)
#include "test_project_tab.moc"
