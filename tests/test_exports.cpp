#include "app/Constants.h"
#include "control/Controller.h"
#include "model/Model.h"
#include "tests/common/DialogAnswerer.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TestMain.h"
#include "ui_TabProject.h"
#include "ui_View.h"
#include "view/ExportFiles.h"
#include "view/ImageBox.h"
#include "view/OsziPicture.h"
#include "view/TabOszilloscope.h"
#include "view/TabProject.h"
#include "view/View.h"
#include "widgets/ClickableLabel.h"
#include "widgets/OsziWidget.h"

#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>

// The main window's exports, the project pictures and the rules behind them.
class TestExports : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void suffixRule_data();
    void suffixRule();
    void pictureFormatByExtension();
    void pictureFilterListsTheFormats();
    void terminalHeader();
    void composeStacksPlotsUnderTitles();
    void hiddenPlotsTakeTheShownSize();

    void menuOffersTheOscilloscopeAfterCsv();
    void csvExportNames_data();
    void csvExportNames();
    void cancelledDialogsDoNothing();
    void failedExportsAreShown();
    void oscilloscopePictureHoldsTheFivePlots();
    void oscilloscopeNameWithoutFormatKeepsAnEarlierFile();
    void terminalSavedWithItsDateLine();
    void pictureLoadedIntoSlot2();
    void unreadablePictureChangesNothing();
    void deletingPicture0();
    void staleViewerDeletesNothing();
    void picturesSurviveSaveAndOpen();

private:
    void fillShots(int count, int samples);
    QImage testPicture(const QColor& colour, const QSize& size = QSize(40, 30)) const;
    // The file dialog's name filters, seen by the next answer, which then picks path.
    void chooseFileAndKeepFilters(const QString& path, QStringList* filters);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Model> model;
    std::unique_ptr<View> view;
    // Handles the window's exports and picture edits, as in the application.
    std::unique_ptr<Controller> controller;
    std::unique_ptr<DialogAnswerer> answer;
};

void TestExports::init()
{
    QSettings(settingsOrganization, settingsApplication).clear();
    dir = std::make_unique<QTemporaryDir>();
    model = std::make_unique<Model>();
    view = std::make_unique<View>(model.get());
    controller = std::make_unique<Controller>(model.get(), view.get());
    answer = std::make_unique<DialogAnswerer>();
}

void TestExports::cleanup()
{
    QCOMPARE(answer->unexpected(), 0);
    answer.reset();
    controller.reset();
    view.reset();
    model.reset();
    dir.reset();
}

void TestExports::fillShots(int count, int samples)
{
    for (int shot = 0; shot < count; ++shot) {
        model->addMeasurement();
        for (int k = 0; k < Model::numSensors; ++k) {
            SampleList& list = *model->measurement(k, model->numChannels(k) - 1);
            for (int i = 0; i < samples; ++i)
                list.append(shot * 10.0 + k + i * 0.5);
        }
    }
}

QImage TestExports::testPicture(const QColor& colour, const QSize& size) const
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    image.setPixelColor(0, 0, Qt::black);
    return image;
}

void TestExports::chooseFileAndKeepFilters(const QString& path, QStringList* filters)
{
    answer->answer([path, filters](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        if (!files) {
            dialog->close();
            return;
        }
        *filters = files->nameFilters();
        files->selectFile(path);
        static_cast<QDialog*>(files)->accept();
    });
}

void TestExports::suffixRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("result");
    QTest::newRow("plain") << "daten"
                           << ".csv"
                           << "daten.csv";
    QTest::newRow("upper case is another suffix") << "daten.CSV"
                                                  << ".csv"
                                                  << "daten.CSV.csv";
    QTest::newRow("already there") << "daten.csv"
                                   << ".csv"
                                   << "daten.csv";
    QTest::newRow("terminal") << "log"
                              << ".txt"
                              << "log.txt";
    QTest::newRow("other suffix") << "log.csv"
                                  << ".txt"
                                  << "log.csv.txt";
}

void TestExports::suffixRule()
{
    QFETCH(QString, name);
    QFETCH(QString, suffix);
    QFETCH(QString, result);
    QCOMPARE(ExportFiles::withSuffix(name, suffix), result);
}

void TestExports::pictureFormatByExtension()
{
    const QList<QByteArray> formats = {"bmp", "jpg", "jpeg", "png"};
    QCOMPARE(ExportFiles::pictureFormat(QStringLiteral("/a/oszi.png"), formats), QByteArray("png"));
    QCOMPARE(ExportFiles::pictureFormat(QStringLiteral("oszi.PNG"), formats), QByteArray("png"));
    QCOMPARE(ExportFiles::pictureFormat(QStringLiteral("oszi.Jpeg"), formats), QByteArray("jpeg"));
    QVERIFY(ExportFiles::pictureFormat(QStringLiteral("oszi"), formats).isEmpty());
    QVERIFY(ExportFiles::pictureFormat(QStringLiteral("oszi.tif"), formats).isEmpty());
    QVERIFY(ExportFiles::pictureFormat(QStringLiteral("bilder.png/oszi"), formats).isEmpty());
    QVERIFY(ExportFiles::pictureFormat(QStringLiteral("oszi."), formats).isEmpty());
}

void TestExports::pictureFilterListsTheFormats()
{
    QCOMPARE(ExportFiles::pictureFilter(QStringLiteral("Bild Dateien"),
                                        {"png", "JPG", "bmp", "jpeg", "jpg", ""}),
             QStringLiteral("Bild Dateien (*.bmp *.jpeg *.jpg *.png)"));
    // What Qt here reads, which the picture dialog offers.
    const QString filter = ExportFiles::pictureFilter(QStringLiteral("Bild Dateien"),
                                                      QImageReader::supportedImageFormats());
    for (const char* pattern : {"*.jpg", "*.jpeg", "*.png", "*.bmp"})
        QVERIFY2(filter.contains(QLatin1String(pattern)), qPrintable(filter));
}

void TestExports::terminalHeader()
{
    const QDateTime at(QDate(2024, 3, 7), QTime(9, 5, 2));
    QCOMPARE(ExportFiles::terminalHeader(QStringLiteral("Ventaro"), at),
             QStringLiteral("Ventaro - terminal: saved on 07.03.2024 at 09:05:02"));
}

void TestExports::composeStacksPlotsUnderTitles()
{
    QFont font;
    font.setPixelSize(24);
    const QVector<OsziPicture::Plot> plots = {
        {QStringLiteral("Sensor 1: A"), testPicture(Qt::red, QSize(300, 80))},
        {QStringLiteral("Sensor 2: B"), testPicture(Qt::green, QSize(200, 60))},
        {QStringLiteral("Sensor 3: C"), testPicture(Qt::blue, QSize(300, 80))}};
    const QImage picture = OsziPicture::compose(plots, font, Qt::darkBlue);
    const int title = OsziPicture::titleHeight(font);
    QVERIFY(title > 24);
    QCOMPARE(picture.size(), QSize(300, 3 * title + 220));

    int y = 0;
    for (const OsziPicture::Plot& plot : plots) {
        // The title row holds text, the plot lies below it whole.
        const QImage row = picture.copy(0, y, 300, title);
        bool text = false;
        for (int x = 0; x < row.width() && !text; ++x)
            for (int r = 0; r < row.height() && !text; ++r)
                text = row.pixelColor(x, r) != QColor(Qt::white);
        QVERIFY(text);
        y += title;
        QCOMPARE(picture.copy(QRect(QPoint(0, y), plot.image.size())), plot.image);
        y += plot.image.height();
    }
    // Beside the narrower plot the picture is white.
    QCOMPARE(picture.pixelColor(250, 2 * title + 80 + 30), QColor(Qt::white));
    QVERIFY(OsziPicture::compose({}, font, Qt::black).isNull());
}

void TestExports::hiddenPlotsTakeTheShownSize()
{
    const QSize a(800, 150), b(800, 120), small(100, 30), fallback(600, 200);
    QCOMPARE(OsziPicture::plotSizes({a, b, small, small, small}, {true, true, false, false, false},
                                    fallback),
             QVector<QSize>({a, b, a, a, a}));
    QCOMPARE(OsziPicture::plotSizes({small, b, small}, {false, true, false}, fallback),
             QVector<QSize>({b, b, b}));
    QCOMPARE(OsziPicture::plotSizes({small, small}, {false, false}, fallback),
             QVector<QSize>({fallback, fallback}));
    // A shown plot of no size counts as not laid out.
    QCOMPARE(OsziPicture::plotSizes({QSize(), b}, {true, true}, fallback), QVector<QSize>({b, b}));
}

void TestExports::menuOffersTheOscilloscopeAfterCsv()
{
    const QList<QAction*> actions = view->dropDownMenu()->actions();
    const int csv = actions.indexOf(view->form()->actionSaveCSV);
    QVERIFY(csv >= 0);
    QCOMPARE(actions.value(csv + 1), view->form()->actionSaveOszi);
    // The entry leads to the save dialog.
    answer->reject();
    view->form()->actionSaveOszi->trigger();
    QCOMPARE(answer->answered(), 1);
}

void TestExports::csvExportNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("daten") << "daten"
                           << "daten.csv";
    QTest::newRow("daten.CSV") << "daten.CSV"
                               << "daten.CSV.csv";
}

void TestExports::csvExportNames()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    fillShots(3, 20);
    const QString reference = dir->filePath(QStringLiteral("reference.txt"));
    QVERIFY(model->exportText(reference));

    answer->chooseFile(dir->filePath(typed));
    view->form()->actionSaveCSV->trigger();
    QCOMPARE(answer->answered(), 1);
    QFile file(dir->filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QFile expected(reference);
    QVERIFY(expected.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected.readAll());
    QVERIFY(!model->isFileBusy());
}

void TestExports::cancelledDialogsDoNothing()
{
    fillShots(1, 5);
    const Ui::View* ui = view->form();
    for (QAction* action : {ui->actionSaveCSV, ui->actionSaveOszi, ui->actionSaveTerminal}) {
        answer->reject();
        action->trigger();
    }
    answer->reject();
    view->tabProject()->form()->imageButton1->click();
    // Four dialogs, no message after any of them, nothing written, nothing changed.
    QCOMPARE(answer->answered(), 4);
    QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
    QVERIFY(!model->isProjectModified());
    QVERIFY(model->projectImage(1).isNull());
}

void TestExports::failedExportsAreShown()
{
    fillShots(1, 5);
    const QString missing = dir->filePath(QStringLiteral("fehlt"));
    struct Case
    {
        QAction* action;
        QString typed;
        QString named;
        QString debugLine;
    };
    const Ui::View* ui = view->form();
    const QList<Case> cases = {
        {ui->actionSaveCSV, missing + QStringLiteral("/daten"),
         missing + QStringLiteral("/daten.csv"), QStringLiteral("Error saving CSV!")},
        {ui->actionSaveOszi, missing + QStringLiteral("/oszi.png"),
         missing + QStringLiteral("/oszi.png"),
         QStringLiteral("Error saving oscilloscope content!")},
        {ui->actionSaveOszi, dir->filePath(QStringLiteral("oszi")),
         dir->filePath(QStringLiteral("oszi")),
         QStringLiteral("Error saving oscilloscope content!")},
        {ui->actionSaveTerminal, missing + QStringLiteral("/log"),
         missing + QStringLiteral("/log.txt"), QStringLiteral("Error saving terminal content!")}};
    for (const Case& c : cases) {
        LogCapture log;
        const int before = answer->answered();
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QWidget* parent = nullptr;
        answer->chooseFile(c.typed);
        answer->answer([&](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            if (box) {
                icon = box->icon();
                parent = box->parentWidget();
            }
            if (auto* d = qobject_cast<QDialog*>(dialog))
                d->accept();
        });
        c.action->trigger();
        QCOMPARE(answer->answered(), before + 2);
        QVERIFY2(answer->texts().constLast().contains(QDir::toNativeSeparators(c.named)),
                 qPrintable(answer->texts().constLast()));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(parent, view.get());
        QVERIFY2(log.contains(c.debugLine), qPrintable(log.dump()));
    }
    QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
}

void TestExports::oscilloscopePictureHoldsTheFivePlots()
{
    fillShots(2, 200);
    view->show();
    QTRY_VERIFY(view->isMaximized());
    view->setCurrentTab(View::Tabs::Oszi);
    TabOszilloscope* oszi = view->tabOszi();
    QTRY_VERIFY(oszi->osziWidget(0)->isVisible() && oszi->osziWidget(0)->width() > 200);
    // Sensors 3 to 5 are switched off on the page at start.
    QVERIFY(!oszi->osziWidget(2)->isVisible());

    const QString path = dir->filePath(QStringLiteral("oszi.png"));
    answer->chooseFile(path);
    view->form()->actionSaveOszi->trigger();
    QImage saved(path);
    QVERIFY(!saved.isNull());
    const QImage picture = view->oscilloscopePicture();
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
             picture.convertToFormat(QImage::Format_RGB32));

    QLabel* firstTitle = oszi->sensorLabel(0);
    firstTitle->ensurePolished();
    const int title = OsziPicture::titleHeight(firstTitle->font());
    const QSize shown = oszi->osziWidget(0)->size();
    QCOMPARE(oszi->osziWidget(1)->width(), shown.width());
    // The two shown plots at their size, the three switched off at the size of the first.
    const int height =
        2 * title + shown.height() + oszi->osziWidget(1)->height() + 3 * (title + shown.height());
    QCOMPARE(picture.size(), QSize(shown.width(), height));

    int y = 0;
    for (int k = 0; k < TabOszilloscope::numSensors; ++k) {
        OsziWidget* plot = oszi->osziWidget(k);
        y += title;
        const QSize size = k < 2 ? plot->size() : shown;
        const QImage part = picture.copy(QRect(QPoint(0, y), size));
        if (k < 2) {
            // Exactly what the page shows.
            QCOMPARE(part, plot->grab().toImage().convertToFormat(part.format()));
        } else {
            // A drawn plot, not an empty band.
            QVERIFY(part.pixelColor(size.width() / 2, size.height() / 2) != QColor(Qt::white) ||
                    part.pixelColor(0, 0) != QColor(Qt::white));
        }
        y += size.height();
    }
    // The page's layout is as it was.
    QCOMPARE(oszi->osziWidget(0)->size(), shown);
    QVERIFY(!oszi->osziWidget(2)->isVisible());
}

void TestExports::oscilloscopeNameWithoutFormatKeepsAnEarlierFile()
{
    const QString path = dir->filePath(QStringLiteral("bild"));
    {
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("frueher");
    }
    answer->answer([path](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        if (!files) {
            dialog->close();
            return;
        }
        // The user agrees to replace the file; its own question would nest in the answer.
        files->setOption(QFileDialog::DontConfirmOverwrite);
        files->selectFile(path);
        static_cast<QDialog*>(files)->accept();
    });
    answer->clickRole(QMessageBox::AcceptRole);
    view->saveOszi();
    QCOMPARE(answer->answered(), 2);
    QVERIFY(answer->texts().constLast().contains(QDir::toNativeSeparators(path)));
    QFile earlier(path);
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("frueher"));
}

void TestExports::terminalSavedWithItsDateLine()
{
    view->form()->editTerminal->setPlainText(QStringLiteral("run=1\nÄnderung"));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    answer->chooseFile(dir->filePath(QStringLiteral("log")));
    view->form()->actionSaveTerminal->trigger();
    const QDateTime after = QDateTime::currentDateTime();

    QFile file(dir->filePath(QStringLiteral("log.txt")));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 4);
    const QString prefix = QStringLiteral("Ventaro - terminal: saved on ");
    QVERIFY2(lines.at(0).startsWith(prefix), qPrintable(lines.at(0)));
    const QDateTime saved = QDateTime::fromString(lines.at(0).mid(prefix.size()),
                                                  QStringLiteral("dd.MM.yyyy 'at' hh:mm:ss"));
    QVERIFY2(saved.isValid(), qPrintable(lines.at(0)));
    QVERIFY(saved >= before.addMSecs(-before.time().msec()) && saved <= after);
    QCOMPARE(lines.at(1), QString());
    QCOMPARE(lines.mid(2), QStringList({QStringLiteral("run=1"), QStringLiteral("Änderung")}));
}

void TestExports::pictureLoadedIntoSlot2()
{
    view->show();
    view->setCurrentTab(View::Tabs::Project);
    const Ui::TabProject* form = view->tabProject()->form();
    const QString png = dir->filePath(QStringLiteral("werkzeug.png"));
    QVERIFY(testPicture(Qt::red).save(png));
    const QString bmp = dir->filePath(QStringLiteral("form.bmp"));
    QVERIFY(testPicture(Qt::blue, QSize(30, 20)).save(bmp));
    QVERIFY(!model->isProjectModified());

    QStringList filters;
    chooseFileAndKeepFilters(png, &filters);
    form->imageButton2->click();
    QCOMPARE(answer->answered(), 1);
    QCOMPARE(filters.size(), 1);
    for (const char* pattern : {"*.jpg", "*.png", "*.bmp"})
        QVERIFY2(filters.constFirst().contains(QLatin1String(pattern)),
                 qPrintable(filters.constFirst()));
    QVERIFY(filters.constFirst().startsWith(QStringLiteral("Bild Dateien (")));

    QCOMPARE(model->projectImage(2).convertToFormat(QImage::Format_RGB32), testPicture(Qt::red));
    QVERIFY(model->isProjectModified());
    QVERIFY(form->imageLabel2->isVisible());
    QVERIFY(!form->imageButton2->isVisible());
    QVERIFY(form->imageButton1->isVisible());
    QVERIFY(model->projectImage(1).isNull());

    answer->chooseFile(bmp);
    form->imageButton3->click();
    QCOMPARE(model->projectImage(3).size(), QSize(30, 20));
}

void TestExports::unreadablePictureChangesNothing()
{
    const QString notAPicture = dir->filePath(QStringLiteral("kaputt.png"));
    {
        QFile file(notAPicture);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("kein Bild");
    }
    answer->chooseFile(notAPicture);
    answer->clickRole(QMessageBox::AcceptRole);
    view->tabProject()->form()->imageButton0->click();
    QCOMPARE(answer->answered(), 2);
    QVERIFY(answer->texts().constLast().contains(QDir::toNativeSeparators(notAPicture)));
    QVERIFY(model->projectImage(0).isNull());
    QVERIFY(!model->isProjectModified());
}

void TestExports::deletingPicture0()
{
    view->show();
    view->setCurrentTab(View::Tabs::Project);
    model->setProjectImage(0, testPicture(Qt::green));
    emit model->projectChanged();
    model->setProjectModifiedFlag(false);
    ClickableLabel* label = view->tabProject()->form()->imageLabel0;

    QVERIFY(!view->imageBox(0));
    QTest::mouseClick(label, Qt::LeftButton);
    QPointer<ImageBox> box = view->imageBox(0);
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QVERIFY(!label->isEnabled());
    auto* deleteButton = box->findChild<QPushButton*>(QStringLiteral("deleteButton"));

    // Cancelled: the picture stays.
    answer->clickRole(QMessageBox::RejectRole);
    deleteButton->click();
    QVERIFY(!model->projectImage(0).isNull());
    QVERIFY(!model->isProjectModified());

    answer->clickRole(QMessageBox::AcceptRole);
    deleteButton->click();
    QVERIFY(model->projectImage(0).isNull());
    QVERIFY(model->isProjectModified());
    QTRY_VERIFY(box.isNull());
    QVERIFY(label->isEnabled());
    QVERIFY(view->tabProject()->form()->imageButton0->isVisible());

    // Closed by the window's own close button, the label comes back too.
    model->setProjectImage(0, testPicture(Qt::green));
    emit model->projectChanged();
    QTest::mouseClick(label, Qt::LeftButton);
    box = view->imageBox(0);
    QVERIFY(box);
    box->close();
    QTRY_VERIFY(box.isNull());
    QVERIFY(label->isEnabled());
    QVERIFY(!model->projectImage(0).isNull());
}

void TestExports::staleViewerDeletesNothing()
{
    view->show();
    model->setProjectImage(1, testPicture(Qt::green));
    emit model->projectChanged();
    QTest::mouseClick(view->tabProject()->form()->imageLabel1, Qt::LeftButton);
    QPointer<ImageBox> box = view->imageBox(1);
    QVERIFY(box);
    // Another project's picture takes the slot while the viewer is open.
    model->setProjectImage(1, testPicture(Qt::yellow));
    emit model->projectChanged();
    answer->clickRole(QMessageBox::AcceptRole);
    box->findChild<QPushButton*>(QStringLiteral("deleteButton"))->click();
    QCOMPARE(model->projectImage(1), testPicture(Qt::yellow));
    QTRY_VERIFY(box.isNull());
}

void TestExports::picturesSurviveSaveAndOpen()
{
    fillShots(1, 10);
    model->setProjectImage(0, testPicture(Qt::red));
    model->setProjectImage(3, testPicture(Qt::blue, QSize(64, 48)));
    const QString path = dir->filePath(QStringLiteral("bilder.mvx"));
    QVERIFY(model->save(path));
    Model opened;
    QVERIFY(opened.open(path));
    QCOMPARE(opened.projectImage(0).convertToFormat(QImage::Format_RGB32), testPicture(Qt::red));
    QCOMPARE(opened.projectImage(3).convertToFormat(QImage::Format_RGB32),
             testPicture(Qt::blue, QSize(64, 48)));
    for (int k : {1, 2, 4})
        QVERIFY(opened.projectImage(k).isNull());
}

VENTARO_TEST_MAIN(TestExports)
#include "test_exports.moc"
