// The black-box workflow: the day and file tables, the staging folder and its names, and the
// controller's list, local folder, fetch (with the winscp stand-in) and import.
#include "view/BlackBoxDatesTableModel.h"
#include "view/BlackBoxFilesTableModel.h"
#include "control/BlackBoxStaging.h"
#include "view/TabBlackBox.h"
#include "device/KalvikConnector.h"
#include "device/ScpTransfer.h"
#include "control/FileJob.h"
#include "tests/common/FakeDeviceSetup.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TestMain.h"
#include "tools/sim/StickFolder.h"
#include "ui_TabBlackBox.h"
#include "ui_View.h"

#include <QAbstractItemModelTester>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int blackBoxArea = 38;

QStringList column(const QAbstractItemModel& model, int col)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts.append(model.index(row, col).data().toString());
    return texts;
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestBlackBox : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Plain parts.
    void datesCountedPerDay();
    void filesTableReadsDateAndTimeFromThePath();
    void namesOfTheDeviceFormOnly_data();
    void namesOfTheDeviceFormOnly();
    void stagingFolderMustBeOurs();

    // The workflow through the controller.
    void dataFolderWithTwoDays();
    void folderWithoutShotsTellsTheUser();
    void importWithNothingSelected();
    void importTickedFiles();
    void importSkipsWhatItCannotRead();
    void importHoldsCommandsAndLetsLinesOn();
    void deviceListRefusesForeignNamesAndSurvivesDisconnect();
    void listReplyThatNeverEnds();
    void fetchTwoDaysAnEmptyDayAndAFailingDay();
    void symlinkedStagingFolderIsRefused();

    void importTookEveryShotAtTheProjectsClock_data();
    void importTookEveryShotAtTheProjectsClock();
    void fetchListedFilesOfEarlierFetchesAndOtherDevices();
    void fetchFrozeTheWindow();
    void quitDuringAFetchWaitedForEveryDay();

private:
    QString staging() const { return BlackBoxStaging::rootFolder(); }
    // Where copies from a stick and the files of the fake device are staged.
    QString localCopies() const { return staging() + QStringLiteral("/local"); }
    QString deviceCopies(const QString& host) const
    {
        return staging() + QLatin1Char('/') + BlackBoxStaging::deviceFolderName(host);
    }
    // A tool that waits for gate() to appear before it does the stand-in's work, and notes
    // its process id in the gate's folder.
    void useGatedTool();
    QString gate() const { return m_temp->filePath(QStringLiteral("gate/open")); }
    void selectDays(const QByteArray& listReply);
    TabBlackBox* tab() const { return m_app->view->tabBlackBox(); }
    // Chooses folder in the local-folder command's directory dialog; expectBox answers the
    // message that follows.
    void listLocalFolder(const QString& folder, bool expectBox = false);
    void selectAllFiles() { tab()->form()->filesTableView->selectAll(); }

    std::unique_ptr<QTemporaryDir> m_temp;
    std::unique_ptr<QTemporaryDir> m_stick;
    std::unique_ptr<FakeDeviceSetup> m_app;
    QSemaphore m_gate;
};

void TestBlackBox::init()
{
    // A temporary directory of the test's own, so the staging folder starts empty and the
    // test runs beside others.
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
    qputenv("TMPDIR", m_temp->path().toLocal8Bit());
    qputenv("XDG_CACHE_HOME", m_temp->filePath(QStringLiteral("cache")).toLocal8Bit());
    QVERIFY(staging().startsWith(m_temp->path()));
    m_stick = std::make_unique<QTemporaryDir>();
    qputenv("KALVIK_STICK_DIR", m_stick->path().toLocal8Bit());
    QCOMPARE(StickFolder(m_stick->path()).generate(QDate(2019, 12, 24), 2, 3, 7), 6);
    m_app = std::make_unique<FakeDeviceSetup>(blackBoxArea);
}

void TestBlackBox::cleanup()
{
    FileJob::setWorkerStartHook(nullptr);
    ScpTransfer::setApplicationDirForTesting(QString());
    const int unexpected = m_app ? m_app->answer->unexpected() : 0;
    m_app.reset();
    m_stick.reset();
    m_temp.reset();
    QCOMPARE(unexpected, 0);
}

void TestBlackBox::listLocalFolder(const QString& folder, bool expectBox)
{
    m_app->answer->answer([folder](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        QVERIFY(files);
        files->setDirectory(folder);
        files->selectFile(folder);
        static_cast<QDialog*>(files)->accept();
    });
    if (expectBox)
        m_app->answer->clickRole(QMessageBox::AcceptRole);
    tab()->form()->buttonGetLocalList->click();
}

void TestBlackBox::datesCountedPerDay()
{
    BlackBoxDatesTableModel model;
    QAbstractItemModelTester tester(&model);
    model.setFileList({"dir-20191224", "dir-20191224", "dir-20200101"});
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(column(model, 0), (QStringList{"24.12.2019", "01.01.2020"}));
    QCOMPARE(column(model, 1), (QStringList{"2", "1"}));
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Datum"));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Anzahl Messungen"));
    QVERIFY(!model.index(0, 0).data(Qt::EditRole).isValid());

    // A new list replaces the old one.
    model.setFileList({"dir-20210625"});
    QCOMPARE(column(model, 0), QStringList{"25.06.2021"});
}

void TestBlackBox::filesTableReadsDateAndTimeFromThePath()
{
    BlackBoxFilesTableModel model;
    QAbstractItemModelTester tester(&model);
    model.addFiles({"dir-20191224/shot_20191224_143005.bb", "dir-20200101/shot_20200101_070809.bb"});
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(column(model, 0), (QStringList{"24.12.2019", "01.01.2020"}));
    QCOMPARE(column(model, 1), (QStringList{"14:30:05", "07:08:09"}));
    QCOMPARE(column(model, 2).at(1), QStringLiteral("dir-20200101/shot_20200101_070809.bb"));
    QCOMPARE(column(model, 3), (QStringList{"-", "-"}));
    QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("DL"));

    QCOMPARE(model.rowOf(QStringLiteral("shot_20200101")), 1);
    QCOMPARE(model.rowOf(QStringLiteral("nothing")), -1);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setDownloaded(1, true);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(1, 3));
    QCOMPARE(column(model, 3), (QStringList{"-", "OK"}));
    model.setDownloaded(7, true); // no such row: nothing happens
    QCOMPARE(changed.count(), 1);

    model.clear();
    QCOMPARE(model.rowCount(), 0);
}

void TestBlackBox::namesOfTheDeviceFormOnly_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("dayFolder");
    QTest::newRow("device form") << "dir-20191224" << true;
    QTest::newRow("seven digits") << "dir-2019122" << false;
    QTest::newRow("nine digits") << "dir-201912245" << false;
    QTest::newRow("letter") << "dir-2019122a" << false;
    QTest::newRow("parent folders") << "dir-../../x" << false;
    QTest::newRow("quote and command") << "dir-20191224\" \"rm -rf /" << false;
    QTest::newRow("trailing blank") << "dir-20191224 " << false;
    QTest::newRow("line end") << "dir-20191224\n" << false;
    QTest::newRow("slash") << "dir-2019/1224" << false;
    QTest::newRow("other digits") << QString::fromUtf8("dir-٢٠١٩١٢٢٤") << false;
}

void TestBlackBox::namesOfTheDeviceFormOnly()
{
    QFETCH(QString, name);
    QFETCH(bool, dayFolder);
    QCOMPARE(BlackBoxStaging::isDayFolderName(name), dayFolder);
    QCOMPARE(BlackBoxStaging::isStagedFilePath(name + QStringLiteral("/shot.bb")), dayFolder);

    // File names come back from the tool or a stick: never a path of their own.
    QVERIFY(BlackBoxStaging::isStagedFilePath("dir-20191224/shot_20191224_143005.bb"));
    QVERIFY(!BlackBoxStaging::isStagedFilePath("dir-20191224/../../etc/passwd"));
    QVERIFY(!BlackBoxStaging::isStagedFilePath("dir-20191224/.."));
    QVERIFY(!BlackBoxStaging::isStagedFilePath("dir-20191224/"));
    QVERIFY(!BlackBoxStaging::isStagedFilePath("dir-20191224/a\\b.bb"));
    QVERIFY(!BlackBoxStaging::isStagedFilePath("/dir-20191224/a.bb"));

    QCOMPARE(BlackBoxStaging::dayFolderForDate("24.12.2019"), QStringLiteral("dir-20191224"));
    QCOMPARE(BlackBoxStaging::dayFolderForDate("Fehler"), QString());
    QCOMPARE(BlackBoxStaging::dayFolderForDate("4.12.2019"), QString());
    QCOMPARE(BlackBoxStaging::dayFolderForDate("..\\..\\2019"), QString());
}

void TestBlackBox::stagingFolderMustBeOurs()
{
    QTemporaryDir dir;
    QString reason;

    // Missing: created for this user alone.
    const QString fresh = dir.filePath(QStringLiteral("fresh"));
    QVERIFY(BlackBoxStaging::prepare(fresh, &reason));
    QVERIFY(QFileInfo(fresh).isDir());
    QCOMPARE(QFileInfo(fresh).permissions() &
                 (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
             QFile::Permissions());

    // Ours but writable by everyone: others lose write access.
    const QString open = dir.filePath(QStringLiteral("open"));
    QVERIFY(QDir().mkdir(open));
    QVERIFY(QFile::setPermissions(open, QFile::Permissions(0x7777)));
    QVERIFY(BlackBoxStaging::prepare(open, &reason));
    QCOMPARE(QFileInfo(open).permissions() & (QFile::WriteGroup | QFile::WriteOther),
             QFile::Permissions());

    // A symbolic link is never followed, not even to a folder of ours.
    const QString target = dir.filePath(QStringLiteral("target"));
    QVERIFY(QDir().mkdir(target));
    const QString link = dir.filePath(QStringLiteral("link"));
    QVERIFY(QFile::link(target, link));
    QVERIFY(!BlackBoxStaging::prepare(link, &reason));
    QCOMPARE(reason, QStringLiteral("is a symbolic link"));
    const QString dangling = dir.filePath(QStringLiteral("dangling"));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), dangling));
    QVERIFY(!BlackBoxStaging::prepare(dangling, &reason));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("nowhere"))));

    // A file where the folder should be.
    const QString file = dir.filePath(QStringLiteral("file"));
    QVERIFY(writeFile(file, "x"));
    QVERIFY(!BlackBoxStaging::prepare(file, &reason));
    QCOMPARE(reason, QStringLiteral("is not a directory"));

    // A day folder inside that is a link is refused as well.
    QVERIFY(QFile::link(target, fresh + QStringLiteral("/dir-20191224")));
    QVERIFY(!BlackBoxStaging::prepareDayFolder(fresh, QStringLiteral("dir-20191224"), &reason));
    QVERIFY(!BlackBoxStaging::prepareDayFolder(fresh, QStringLiteral("dir-../x"), &reason));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("x"))));
}

void TestBlackBox::dataFolderWithTwoDays()
{
    const QString data = m_stick->path() + QStringLiteral("/data");
    listLocalFolder(data);
    QCOMPARE(m_app->answer->answered(), 1);

    const BlackBoxFilesTableModel* files = tab()->filesModel();
    QCOMPARE(files->rowCount(), 6);
    QStringList expected;
    for (const QString& day : {QStringLiteral("dir-20191223"), QStringLiteral("dir-20191224")}) {
        const QStringList names = QDir(data + '/' + day).entryList({"*.bb"}, QDir::Files, QDir::Name);
        QCOMPARE(names.size(), 3);
        for (const QString& name : names)
            expected.append(day + '/' + name);
    }
    QCOMPARE(column(*files, 2), expected);
    for (int row = 0; row < files->rowCount(); ++row) {
        // shot_YYYYMMDD_HHMMSS.bb: the date and time the device wrote into the name.
        const QString name = QFileInfo(expected.at(row)).fileName();
        QCOMPARE(files->index(row, 0).data().toString(),
                 name.mid(11, 2) + '.' + name.mid(9, 2) + '.' + name.mid(5, 4));
        QCOMPARE(files->index(row, 1).data().toString(),
                 name.mid(14, 2) + ':' + name.mid(16, 2) + ':' + name.mid(18, 2));
        QCOMPARE(readFile(localCopies() + '/' + expected.at(row)),
                 readFile(data + '/' + expected.at(row)));
    }
    QVERIFY(tab()->form()->buttonImportFiles->isEnabled());
    QCOMPARE(m_app->model->lastDir(), data);

    // A second copy lists the files once more; a staged copy that differs is replaced, so
    // that what is listed is what the folder holds.
    QVERIFY(writeFile(localCopies() + '/' + expected.at(0), "earlier copy"));
    listLocalFolder(data + QStringLiteral("/dir-20191223"));
    QCOMPARE(column(*tab()->filesModel(), 2), expected.mid(0, 3));
    QCOMPARE(readFile(localCopies() + '/' + expected.at(0)), readFile(data + '/' + expected.at(0)));
}

void TestBlackBox::folderWithoutShotsTellsTheUser()
{
    listLocalFolder(m_stick->path(), true); // the stick's root: neither a day nor "data"
    QCOMPARE(m_app->answer->answered(), 2);
    QCOMPARE(tab()->filesModel()->rowCount(), 0);
    QVERIFY(tab()->form()->buttonImportFiles->isEnabled());
    QVERIFY(m_app->answer->texts().at(1).contains(QStringLiteral("data")));

    const QString empty = m_stick->path() + QStringLiteral("/data/dir-20200101");
    QVERIFY(QDir().mkpath(empty));
    QVERIFY(writeFile(empty + QStringLiteral("/notes.txt"), "no shots here"));
    listLocalFolder(empty, true);
    QCOMPARE(m_app->answer->answered(), 4);
    QCOMPARE(tab()->filesModel()->rowCount(), 0);
    QVERIFY(m_app->answer->texts().at(3).contains(QStringLiteral("*.bb")));
}

void TestBlackBox::importWithNothingSelected()
{
    QSignalSpy project(m_app->model.get(), &Model::projectChanged);
    QSignalSpy data(m_app->model.get(), &Model::dataChanged);
    QVERIFY(BlackBoxStaging::prepare(staging(), nullptr));
    tab()->form()->buttonImportFiles->setEnabled(true);
    tab()->form()->buttonImportFiles->click();
    QCOMPARE(m_app->model->numChannels(0), 0);
    QCOMPARE(project.count(), 1);
    QCOMPARE(data.count(), 1);
    QCOMPARE(m_app->view->form()->tabWidget->currentIndex(),
             m_app->view->tabIndex(View::Tabs::Project));
    QVERIFY(!m_app->view->form()->tabWidget->isTabEnabled(
        m_app->view->tabIndex(View::Tabs::Evaluation)));
}

void TestBlackBox::importTickedFiles()
{
    // A shot already in the project, at the files' 10 ms, stays where it is.
    m_app->model->setClock(10);
    m_app->model->addMeasurement();
    m_app->model->appendSample(0, 0, 42.0);
    listLocalFolder(m_stick->path() + QStringLiteral("/data"));
    QCOMPARE(tab()->filesModel()->rowCount(), 6);
    // Ticked out of order: the shots come in the order of the ticks.
    QTableView* table = tab()->form()->filesTableView;
    for (int row : {4, 1}) {
        table->selectionModel()->select(tab()->filesModel()->index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QSignalSpy data(m_app->model.get(), &Model::dataChanged);
    tab()->form()->buttonImportFiles->click();

    Model& model = *m_app->model;
    QCOMPARE(data.count(), 1);
    QCOMPARE(model.numChannels(0), 3);
    QCOMPARE(*model.measurement(0, 0), SampleList{42.0});
    QCOMPARE(model.numTimestamps(), 3);
    for (int i : {1, 2}) {
        const QString name = QFileInfo(tab()->filesModel()->path(i == 1 ? 4 : 1)).fileName();
        QCOMPARE(model.timestamp(i).toString(QStringLiteral("yyyyMMdd_HHmmss")), name.mid(5, 15));
        QVERIFY(model.measurement(0, i)->size() > 100);
        for (int k = 1; k < 5; ++k)
            QCOMPARE(model.measurement(k, i)->size(), model.measurement(0, i)->size());
    }
    QVERIFY(!model.sensorDescription().sensorGroup(0).name().isEmpty());
    const QTabWidget* tabs = m_app->view->form()->tabWidget;
    QVERIFY(tabs->isTabEnabled(m_app->view->tabIndex(View::Tabs::Evaluation)));
    QVERIFY(tabs->isTabEnabled(m_app->view->tabIndex(View::Tabs::Oszi)));
    QCOMPARE(tabs->currentIndex(), m_app->view->tabIndex(View::Tabs::Project));
    QVERIFY(model.isProjectModified());
    QCOMPARE(model.fileOperation(), Model::FileOperation::None);
}

void TestBlackBox::importSkipsWhatItCannotRead()
{
    const QString day = m_stick->path() + QStringLiteral("/data/dir-20191224");
    QVERIFY(writeFile(day + QStringLiteral("/shot_20191224_235959.bb"), "\x89PNG\r\n\x1a\n binary"));
    listLocalFolder(day);
    QCOMPARE(tab()->filesModel()->rowCount(), 4);
    // One vanishes between listing and import; one row names a path outside the staging
    // folder, as a hostile list could.
    const QString vanished = tab()->filesModel()->path(0);
    QVERIFY(QFile::remove(localCopies() + '/' + vanished));
    tab()->addDownloadedFile(QStringLiteral("dir-../../../etc/passwd"));
    selectAllFiles();

    m_app->answer->clickRole(QMessageBox::AcceptRole);
    LogCapture log;
    tab()->form()->buttonImportFiles->click();
    QCOMPARE(m_app->answer->answered(), 2);
    const QString text = m_app->answer->texts().at(1);
    QVERIFY2(text.contains(QFileInfo(vanished).fileName()), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("shot_20191224_235959.bb")));
    QVERIFY(text.contains(QStringLiteral("dir-../../../etc/passwd")));
    QVERIFY(log.contains(QStringLiteral("ERROR: could not open file: ")));
    // The two good files are in; nothing else.
    QCOMPARE(m_app->model->numChannels(0), 2);
    QCOMPARE(m_app->model->numTimestamps(), 2);
}

void TestBlackBox::importHoldsCommandsAndLetsLinesOn()
{
    QVERIFY(m_app->connectDevice());
    listLocalFolder(m_stick->path() + QStringLiteral("/data"));
    selectAllFiles();
    // The device samples at the files' period.
    m_app->send("t=10\nrun=1\n" + FakeDeviceSetup::valueLines(1, 10));
    QTRY_COMPARE(m_app->model->measurement(0, 0) ? m_app->model->measurement(0, 0)->size() : 0, 10);

    FileJob::setWorkerStartHook([this] {
        if (!m_gate.tryAcquire(1, 20000))
            qWarning("import released by the time-out");
    });
    bool commandRan = false;
    connect(m_app->model.get(), &Model::fileOperationStarted, this, [&] {
        // During the import: the device goes on with its shot, and the user asks for the
        // device's day list, which would empty the file list being imported.
        m_app->send(FakeDeviceSetup::valueLines(11, 20));
        tab()->form()->buttonGetList->click();
        commandRan = tab()->filesModel()->rowCount() == 0;
        QTimer::singleShot(0, this, [this] {
            QTRY_COMPARE(m_app->model->measurement(0, 0)->size(), 30);
            m_gate.release();
        });
    });
    QByteArray received;
    connect(m_app->device, &QTcpSocket::readyRead, this,
            [&] { received += m_app->device->readAll(); });
    tab()->form()->buttonImportFiles->click();

    QVERIFY(!commandRan);
    QCOMPARE(m_app->model->numChannels(0), 7);
    for (int k = 0; k < 5; ++k) {
        QCOMPARE(m_app->model->measurement(k, 0)->size(), 30);
        for (int i = 1; i < 7; ++i)
            QCOMPARE(m_app->model->measurement(k, i)->size(), m_app->model->measurement(0, i)->size());
    }
    // The held command runs once the import is done.
    QTRY_VERIFY(received.contains("list\n"));
    QCOMPARE(tab()->filesModel()->rowCount(), 0);
    // The live shot goes on after the imported ones.
    m_app->send(FakeDeviceSetup::valueLines(31, 5));
    QTRY_COMPARE(m_app->model->measurement(0, 0)->size(), 35);
}

void TestBlackBox::deviceListRefusesForeignNamesAndSurvivesDisconnect()
{
    QVERIFY(m_app->connectDevice());
    Ui::TabBlackBox* form = tab()->form();
    QTRY_VERIFY(form->buttonGetList->isEnabled());
    QVERIFY(!form->buttonFetchBlackBoxData->isEnabled());
    QByteArray received;
    connect(m_app->device, &QTcpSocket::readyRead, this,
            [&] { received += m_app->device->readAll(); });
    form->buttonGetList->click();
    QTRY_VERIFY(received.contains("list\n"));

    LogCapture log;
    m_app->send("list {\n.\n..\ndir-20191224\ndir-../../x\ndir-20191224\n"
                "dir-2019122\" \"rm\ndir-20200101\n} list\n");
    QTRY_COMPARE(tab()->datesModel()->rowCount(), 2);
    QCOMPARE(column(*tab()->datesModel(), 0), (QStringList{"24.12.2019", "01.01.2020"}));
    QCOMPARE(column(*tab()->datesModel(), 1), (QStringList{"2", "1"}));
    QVERIFY(log.contains(QStringLiteral("ERROR: day folder name refused: dir-../../x")));
    QVERIFY(form->buttonFetchBlackBoxData->isEnabled());
    tab()->addDownloadedFile(QStringLiteral("dir-20191224/shot_20191224_101010.bb"));

    // The controller tells the user that the device closed the connection.
    m_app->answer->clickRole(QMessageBox::AcceptRole);
    m_app->device->disconnectFromHost();
    QTRY_VERIFY(!m_app->model->isConnected());
    QVERIFY(!form->buttonGetList->isEnabled());
    QVERIFY(!form->buttonFetchBlackBoxData->isEnabled());
    QVERIFY(form->buttonGetLocalList->isEnabled());
    QCOMPARE(tab()->datesModel()->rowCount(), 2);
    QCOMPARE(tab()->filesModel()->rowCount(), 1);
}

void TestBlackBox::listReplyThatNeverEnds()
{
    Controller& controller = *m_app->controller;
    QSignalSpy lists(&controller, &Controller::blackBoxDateListReceived);
    LogCapture log;
    controller.onMessageReceived(QStringLiteral("list {"));
    for (int i = 0; i < 100005; ++i)
        controller.onMessageReceived(QStringLiteral("dir-20191224"));
    QCOMPARE(log.count(QStringLiteral("ERROR: list reply longer than")), 1);
    // The next reply starts afresh.
    controller.onMessageReceived(QStringLiteral("list {"));
    controller.onMessageReceived(QStringLiteral("dir-20200101"));
    controller.onMessageReceived(QStringLiteral("} list"));
    QCOMPARE(lists.count(), 1);
    QCOMPARE(lists.at(0).at(0).toStringList(), QStringList{"dir-20200101"});
    QCOMPARE(column(*tab()->datesModel(), 1), QStringList{"1"});
}

void TestBlackBox::fetchTwoDaysAnEmptyDayAndAFailingDay()
{
    QVERIFY(QDir().mkpath(m_stick->path() + QStringLiteral("/data/dir-20200101")));
    QVERIFY(m_app->connectDevice());
    // The device lists a day that is gone from its stick by the time it is fetched.
    m_app->send("list {\ndir-20191223\ndir-20191224\ndir-20200101\ndir-20200202\n} list\n");
    QTRY_COMPARE(tab()->datesModel()->rowCount(), 4);
    tab()->form()->datesTableView->selectAll();

    m_app->answer->clickRole(QMessageBox::AcceptRole);
    LogCapture log;
    tab()->form()->buttonFetchBlackBoxData->click();
    QCOMPARE(m_app->answer->answered(), 1);
    QCOMPARE(m_app->answer->titles().at(0), QStringLiteral("SCP Problem"));
    QCOMPARE(log.count(QStringLiteral("starting tool: ")), 4);

    const BlackBoxFilesTableModel* files = tab()->filesModel();
    QCOMPARE(files->rowCount(), 6);
    QCOMPARE(tab()->getSelectedFilesToImport().size(), 6);
    QCOMPARE(column(*files, 3), (QStringList{"OK", "OK", "OK", "OK", "OK", "OK"}));
    for (const QString& path : column(*files, 2)) {
        QVERIFY(path.startsWith(QStringLiteral("dir-2019122")));
        QCOMPARE(readFile(deviceCopies(m_app->controller->kalvikConnector()->host()) + '/' + path),
                 readFile(m_stick->path() + "/data/" + path));
    }
    QVERIFY(tab()->form()->buttonImportFiles->isEnabled());

    // Fetching again keeps one row per file.
    m_app->answer->clickRole(QMessageBox::AcceptRole);
    tab()->form()->buttonFetchBlackBoxData->click();
    QCOMPARE(files->rowCount(), 6);

    tab()->form()->buttonImportFiles->click();
    QCOMPARE(m_app->model->numChannels(0), 6);
}

void TestBlackBox::symlinkedStagingFolderIsRefused()
{
    QTemporaryDir elsewhere;
    QVERIFY(QDir().mkpath(QFileInfo(staging()).absolutePath()));
    QVERIFY(QFile::link(elsewhere.path(), staging()));

    m_app->answer->clickRole(QMessageBox::AcceptRole);
    tab()->form()->buttonGetLocalList->click();
    QCOMPARE(m_app->answer->answered(), 1);
    QVERIFY(m_app->answer->texts().at(0).contains(staging().toHtmlEscaped()));
    QCOMPARE(tab()->filesModel()->rowCount(), 0);
    QVERIFY(QDir(elsewhere.path()).isEmpty());

    // Importing from it is refused too, with nothing added.
    QVERIFY(
        writeFile(elsewhere.path() + QStringLiteral("/local/dir-20191224/shot_20191224_101010.bb"),
                  "A=[1,2,3,4,5]\n"));
    tab()->addDownloadedFile(QStringLiteral("dir-20191224/shot_20191224_101010.bb"));
    selectAllFiles();
    m_app->answer->clickRole(QMessageBox::AcceptRole);
    tab()->form()->buttonImportFiles->setEnabled(true);
    tab()->form()->buttonImportFiles->click();
    QCOMPARE(m_app->answer->answered(), 2);
    QCOMPARE(m_app->model->numChannels(0), 0);
}

void TestBlackBox::useGatedTool()
{
    const QString appDir = m_temp->filePath(QStringLiteral("gated"));
    const QString tool = appDir + QStringLiteral("/winscp/winscp.com");
    QVERIFY(QDir().mkpath(QFileInfo(tool).absolutePath()));
    QVERIFY(QDir().mkpath(QFileInfo(gate()).absolutePath()));
    const QString standIn = QCoreApplication::applicationDirPath() + "/winscp/winscp.com";
    const QByteArray script = "#!/bin/sh\necho $$ > '" + QFileInfo(gate()).absolutePath().toUtf8() +
                              "/pid'\nwhile [ ! -e '" + gate().toUtf8() +
                              "' ]; do sleep 0.02; done\nexec '" + standIn.toUtf8() + "' \"$@\"\n";
    QVERIFY(writeFile(tool, script));
    QVERIFY(QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ScpTransfer::setApplicationDirForTesting(appDir);
}

void TestBlackBox::selectDays(const QByteArray& listReply)
{
    m_app->send(listReply);
    QTRY_VERIFY(tab()->datesModel()->rowCount() > 0);
    tab()->form()->datesTableView->selectAll();
}

void TestBlackBox::importTookEveryShotAtTheProjectsClock_data()
{
    QTest::addColumn<bool>("projectHasAShot");
    QTest::addColumn<int>("clock");
    QTest::addColumn<int>("shots");
    QTest::newRow("empty project takes the files' 10 ms") << false << 10 << 3;
    QTest::newRow("100 ms project refuses 10 ms files") << true << 100 << 1;
}

void TestBlackBox::importTookEveryShotAtTheProjectsClock()
{
    QFETCH(bool, projectHasAShot);
    QFETCH(int, clock);
    QFETCH(int, shots);
    QVERIFY(m_app->connectDevice());
    QByteArray received;
    connect(m_app->device, &QTcpSocket::readyRead, this,
            [&] { received += m_app->device->readAll(); });
    if (projectHasAShot) {
        m_app->model->addMeasurement();
        m_app->model->appendSample(0, 0, 1.0);
    }
    // A file of another period among them: the first file decides.
    const QString day = m_stick->path() + QStringLiteral("/data/dir-20191224");
    QVERIFY(writeFile(day + QStringLiteral("/shot_20191224_235959.bb"),
                      "[data]\nT=20191224-235959\nt=20\nA=[1, 2, 3, 4, 5]\n"));
    listLocalFolder(day);
    selectAllFiles();
    received.clear();
    m_app->answer->clickRole(QMessageBox::AcceptRole);
    tab()->form()->buttonImportFiles->click();

    QCOMPARE(m_app->model->clock(), clock);
    QCOMPARE(m_app->model->numChannels(0), shots);
    // The refused files are named; the first one's name tells whether the rest were taken.
    const QString warning = m_app->answer->texts().value(1);
    QVERIFY2(warning.contains(QStringLiteral("shot_20191224_235959.bb (20 ms)")),
             qPrintable(warning));
    QCOMPARE(warning.contains(QFileInfo(tab()->filesModel()->path(0)).fileName()),
             projectHasAShot);
    if (!projectHasAShot) {
        // A 4 s shot of the device lasts 4 s: 400 samples at 10 ms.
        QCOMPARE(m_app->model->measurement(0, 0)->size(), 400);
        // The device is set to the same period, as choosing it on the project tab does.
        QTRY_VERIFY(received.contains("t=10\n"));
    }
}

void TestBlackBox::fetchListedFilesOfEarlierFetchesAndOtherDevices()
{
    // Another program's file in the shared temporary folder, where staging used to be.
    QVERIFY(writeFile(m_temp->filePath("tmp-blackbox-dir/dir-20191224/shot_20191224_090000.bb"),
                      "A=[9, 9, 9, 9, 9]\n"));
    QVERIFY(m_app->connectDevice());
    const QString host = m_app->controller->kalvikConnector()->host();
    selectDays("list {\ndir-20191224\n} list\n");
    tab()->form()->buttonFetchBlackBoxData->click();
    QCOMPARE(tab()->filesModel()->rowCount(), 3);
    const QString sameName = QFileInfo(tab()->filesModel()->path(0)).fileName();

    // The box now has another stick with other shots of the same day, one of them under a
    // name fetched before.
    QTemporaryDir stickB;
    QCOMPARE(StickFolder(stickB.path()).generate(QDate(2019, 12, 24), 1, 2, 99), 2);
    const QString dayB = stickB.path() + QStringLiteral("/data/dir-20191224/");
    const QString firstB = QDir(dayB).entryList(QDir::Files, QDir::Name).first();
    QVERIFY(QFile::rename(dayB + firstB, dayB + sameName));
    qputenv("KALVIK_STICK_DIR", stickB.path().toLocal8Bit());
    tab()->form()->buttonFetchBlackBoxData->click();

    const QStringList onB = QDir(dayB).entryList(QDir::Files, QDir::Name);
    QStringList expected;
    for (const QString& name : onB)
        expected.append(QStringLiteral("dir-20191224/") + name);
    QCOMPARE(column(*tab()->filesModel(), 2), expected);
    // The file fetched again under its old name is the new stick's.
    QCOMPARE(readFile(deviceCopies(host) + QStringLiteral("/dir-20191224/") + sameName),
             readFile(dayB + sameName));

    tab()->form()->buttonImportFiles->click();
    QCOMPARE(m_app->model->numChannels(0), 2);
    QCOMPARE(m_app->answer->answered(), 0);
}

void TestBlackBox::fetchFrozeTheWindow()
{
    QVERIFY(m_app->connectDevice());
    m_app->send("run=1\n");
    QTRY_VERIFY(m_app->model->measurement(0, 0));
    selectDays("list {\ndir-20191223/a.bb\ndir-20191223/b.bb\ndir-20191223/c.bb\n} list\n");
    QByteArray received;
    connect(m_app->device, &QTcpSocket::readyRead, this,
            [&] { received += m_app->device->readAll(); });
    useGatedTool();

    // Acts once the tool runs: a device line and a user command arrive meanwhile.
    bool lineWhileToolRan = false;
    bool commandHeld = false;
    int progressWhileToolRan = -1;
    QList<int> steps;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        if (!ScpTransfer::isRunning())
            return;
        poll.stop();
        m_app->send(FakeDeviceSetup::valueLines(1, 5));
        QTRY_COMPARE(m_app->model->measurement(0, 0)->size(), 5);
        lineWhileToolRan = ScpTransfer::isRunning();
        tab()->form()->buttonGetList->click();
        commandHeld = tab()->filesModel()->rowCount() == 0 && !received.contains("list\n");
        auto* indicator = m_app->view->findChild<QProgressDialog*>("fetchProgressIndicator");
        progressWhileToolRan = indicator ? indicator->maximum() : -1;
        if (auto* bar = indicator ? indicator->findChild<QProgressBar*>() : nullptr)
            connect(bar, &QProgressBar::valueChanged, this,
                    [&](int value) { steps.append(value); });
        QVERIFY(writeFile(gate(), ""));
    });
    poll.start(5);
    tab()->form()->buttonFetchBlackBoxData->click();

    QVERIFY(lineWhileToolRan);
    QVERIFY(commandHeld);
    // The device listed three files of the day: the bar counts them as they come.
    QCOMPARE(progressWhileToolRan, 3);
    QCOMPARE(steps, (QList<int>{1, 2, 3}));
    // The held command runs after the fetch: it empties the list and asks the device.
    QTRY_VERIFY(received.contains("list\n"));
    QCOMPARE(tab()->filesModel()->rowCount(), 0);
}

void TestBlackBox::quitDuringAFetchWaitedForEveryDay()
{
    QVERIFY(m_app->connectDevice());
    QVERIFY(m_app->model->isProjectModified());
    selectDays("list {\ndir-20191223\ndir-20191224\n} list\n");
    useGatedTool();
    const QString pidPath = QFileInfo(gate()).absolutePath() + QStringLiteral("/pid");
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        // Once the tool waits at the gate, with its process id noted.
        if (!ScpTransfer::isRunning() || QFileInfo(pidPath).size() == 0)
            return;
        poll.stop();
        m_app->answer->clickRole(QMessageBox::YesRole); // stop the transfer
        // Then only the save question ("Verwerfen"); "quit?" was answered by stopping.
        m_app->answer->clickRole(QMessageBox::NoRole);
        m_app->view->close();
    });
    poll.start(5);
    LogCapture log;
    tab()->form()->buttonFetchBlackBoxData->click();

    // The tool is ended, the next day not fetched.
    QCOMPARE(log.count(QStringLiteral("starting tool: ")), 1);
    const QByteArray pid = readFile(pidPath).trimmed();
    QVERIFY(!pid.isEmpty());
    QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/") + QString::fromLatin1(pid)));
    QCOMPARE(m_app->answer->answered(), 1);

    // The quit goes on once the fetch has ended and ends the application's loop.
    QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
    QTimer safety;
    safety.setSingleShot(true);
    connect(&safety, &QTimer::timeout, qApp, &QCoreApplication::quit);
    safety.start(20000);
    QCoreApplication::exec();
    QVERIFY(safety.isActive());
    QCOMPARE(quitting.count(), 1);
    QCOMPARE(m_app->answer->answered(), 2);
    QVERIFY(!m_app->model->isConnected());
}

VENTARO_TEST_MAIN(TestBlackBox)
#include "test_black_box.moc"
