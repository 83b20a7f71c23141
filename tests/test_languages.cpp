#include "app/Constants.h"
#include "control/IPAddressDialog.h"
#include "control/IntegrationDialog.h"
#include "control/UpdateDialog.h"
#include "device/KalvikConnector.h"
#include "model/Model.h"
#include "tests/common/DialogAnswerer.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TestMain.h"
#include "ui_View.h"
#include "view/ImageBox.h"
#include "ui_TabProject.h"
#include "view/MultiLanguageUtils.h"
#include "view/TabProject.h"
#include "view/View.h"
#include "widgets/AboutDialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QXmlStreamReader>

// The system locale Qt reads when the application starts: en_US, as on an English PC.
static const bool systemLocaleEnglish = qputenv("LC_ALL", "en_US.UTF-8");

namespace {

struct TsEntry
{
    QString context;
    QString source;
    QStringList translations;
    QString type;
};

// The messages of a .ts file with their translation type ("unfinished", "vanished", ...).
QList<TsEntry> readTs(const QString& path)
{
    QList<TsEntry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    QXmlStreamReader xml(&file);
    QString context;
    TsEntry entry;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            entry = TsEntry();
            entry.context = context;
        } else if (xml.name() == QLatin1String("source")) {
            entry.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            entry.type = xml.attributes().value(QLatin1String("type")).toString();
            // Plural messages hold their forms as child elements.
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            entry.translations = QStringList(text);
            entries.append(entry);
        }
    }
    return entries;
}

// German texts that read differently in English, with and without their mnemonic '&'.
QSet<QString> germanOnlyTexts()
{
    QSet<QString> texts;
    for (const TsEntry& e : readTs(QStringLiteral(VENTARO_TS_FILE))) {
        if (e.translations.value(0) == e.source || e.source.trimmed().isEmpty())
            continue;
        texts.insert(e.source);
        texts.insert(QString(e.source).remove(QLatin1Char('&')));
    }
    return texts;
}

void addText(QStringList& out, const QString& where, const QString& text)
{
    if (!text.isEmpty())
        out.append(where + QStringLiteral(": ") + text);
}

// Every text a user can read in the widget tree of root: labels, buttons, check and radio
// boxes, group boxes, tabs with the labels on their buttons, table and tree headers, combo
// box items, placeholders, tool tips, window titles and all actions.
QStringList visibleTexts(QWidget* root)
{
    QStringList out;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        const QString name =
            w->objectName().isEmpty() ? QLatin1String(w->metaObject()->className()) : w->objectName();
        if (w->isWindow())
            addText(out, name + QStringLiteral(" title"), w->windowTitle());
        addText(out, name + QStringLiteral(" tip"), w->toolTip());
        if (auto* label = qobject_cast<QLabel*>(w))
            addText(out, name, label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            addText(out, name, button->text());
        if (auto* box = qobject_cast<QGroupBox*>(w))
            addText(out, name, box->title());
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            addText(out, name + QStringLiteral(" placeholder"), edit->placeholderText());
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                addText(out, name + QStringLiteral(" item"), combo->itemText(i));
        }
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                addText(out, name + QStringLiteral(" tab"), tabs->tabText(i));
        }
        if (auto* bar = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < bar->count(); ++i)
                addText(out, name + QStringLiteral(" tab"), bar->tabText(i));
        }
        if (auto* header = qobject_cast<QHeaderView*>(w)) {
            if (header->model()) {
                for (int s = 0; s < header->count(); ++s)
                    addText(out, name + QStringLiteral(" header"),
                            header->model()
                                ->headerData(s, header->orientation(), Qt::DisplayRole)
                                .toString());
            }
        }
        if (auto* menu = qobject_cast<QMenu*>(w))
            addText(out, name + QStringLiteral(" menu"), menu->title());
    }
    for (QAction* action : root->findChildren<QAction*>()) {
        addText(out, action->objectName(), action->text());
        addText(out, action->objectName() + QStringLiteral(" tip"), action->toolTip());
    }
    return out;
}

// The texts of visibleTexts(root) that are German sources of a translated entry, except
// those in keep (the user's data).
QStringList germanLeft(QWidget* root, const QSet<QString>& keep = {})
{
    static const QSet<QString> german = germanOnlyTexts();
    QStringList left;
    for (const QString& line : visibleTexts(root)) {
        const QString text = line.mid(line.indexOf(QStringLiteral(": ")) + 2);
        if (german.contains(text) && !keep.contains(text))
            left.append(line);
    }
    return left;
}

// Language changes reach the windows as posted events.
void deliverLanguageChange()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

// The default phase names are the project's data once the project exists.
QSet<QString> phaseNames(const Model& model)
{
    QSet<QString> names;
    for (int i = 0; i < 5; ++i)
        names.insert(model.phaseName(i));
    return names;
}

} // namespace

class TestLanguages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void currentLanguageIsNotReloaded();
    void languageMenuOffersTheTranslationsFound();
    void systemLocaleChangeSwitchesLanguage();
    void toolBarToggleSwitchesBothWays();
    void noGermanLeftInEnglish();
    void missingTranslationLeavesGerman();
    void chosenLanguageLostAtRestart_data();
    void chosenLanguageLostAtRestart();
    void defaultPhaseNamesStuckAfterTwoSwitches();
    void translationIsComplete();
};

void TestLanguages::initTestCase()
{
    QVERIFY(systemLocaleEnglish);
    QCOMPARE(QLocale::system().name(), QStringLiteral("en_US"));
    QVERIFY2(QFile::exists(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/languages/Ventaro-en.qm")),
             "the build puts the translations beside the executable");
}

void TestLanguages::cleanup()
{
    QSettings(settingsOrganization, settingsApplication).remove(settingsKeyLanguage);
    deliverLanguageChange();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void TestLanguages::currentLanguageIsNotReloaded()
{
    Model model;
    View view(&model);
    MultiLanguageUtils* languages = view.languages();
    QCOMPARE(languages->currentLanguage(), QStringLiteral("de"));
    LogCapture log;
    languages->loadLanguage(QStringLiteral("en"));
    QVERIFY2(log.contains(QStringLiteral("Loading translator file Ventaro-en.qm")), qPrintable(log.dump()));
    QVERIFY(log.contains(QStringLiteral("OK: translator installed")));
    QCOMPARE(QLocale().language(), QLocale::English);
    QCOMPARE(view.tr("Verwerfen"), QStringLiteral("Discard"));

    languages->loadLanguage(QStringLiteral("en"));
    QCOMPARE(log.count(QStringLiteral("Loading translator file Ventaro-en.qm")), 1);

    // German is the language of the texts: back to it without a file and without an error.
    languages->loadLanguage(QStringLiteral("de"));
    QCOMPARE(view.tr("Verwerfen"), QStringLiteral("Verwerfen"));
    QVERIFY2(!log.contains(QStringLiteral("ERROR")), qPrintable(log.dump()));
    QCOMPARE(QLocale().language(), QLocale::German);
}

void TestLanguages::languageMenuOffersTheTranslationsFound()
{
    Model model;
    View view(&model);
    QMenu* menu = view.languages()->createLanguageMenu(appName);
    QVERIFY(menu);
    QAction* english = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->data().toString() == QLatin1String("en"))
            english = action;
    }
    QVERIFY(english);
    QCOMPARE(english->text(), QStringLiteral("English"));
    QVERIFY(english->isCheckable());
    // The system locale is en_US.
    QVERIFY(english->isChecked());
    // A second call reuses the menu.
    QCOMPARE(view.languages()->createLanguageMenu(appName), menu);

    view.languages()->slotLanguageChanged(english);
    QCOMPARE(view.languages()->currentLanguage(), QStringLiteral("en"));
    view.languages()->loadLanguage(QStringLiteral("de"));
}

void TestLanguages::systemLocaleChangeSwitchesLanguage()
{
    Model model;
    View view(&model);
    QCOMPARE(view.languages()->currentLanguage(), QStringLiteral("de"));
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(&view, &change);
    QCOMPARE(view.languages()->currentLanguage(), QStringLiteral("en"));
    deliverLanguageChange();
    QCOMPARE(view.form()->actionConnect->text(), QStringLiteral("&Connect"));
    // The toggle now offers German.
    QVERIFY(view.form()->actionLanguageGerman->isVisible());
    QVERIFY(!view.form()->actionLanguageEnglish->isVisible());
    view.languages()->loadLanguage(QStringLiteral("de"));
}

void TestLanguages::toolBarToggleSwitchesBothWays()
{
    Model model;
    View view(&model);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    Ui::View* ui = view.form();
    // A connected, recording window keeps telling so in the new language.
    view.setConnected(true);
    view.setRecordingRunning(true);
    QVERIFY(ui->actionLanguageEnglish->isVisible());
    QVERIFY(!ui->actionLanguageGerman->isVisible());

    ui->actionLanguageEnglish->trigger();
    deliverLanguageChange();
    QCOMPARE(view.languages()->currentLanguage(), QStringLiteral("en"));
    QCOMPARE(ui->actionConnect->text(), QStringLiteral("&Disconnect"));
    QCOMPARE(ui->actionStartRecording->text(), QStringLiteral("&Stop"));
    QCOMPARE(ui->actionNewProject->text(), QStringLiteral("&New project"));
    QVERIFY(ui->actionLanguageGerman->isVisible());
    QVERIFY(!ui->actionLanguageEnglish->isVisible());
    // The title keeps its form (it has no German part).
    QVERIFY(view.windowTitle().startsWith(QStringLiteral("Dornhal - Ventaro 7.0")));

    view.setRecordingRunning(false);
    view.setConnected(false);
    ui->actionLanguageGerman->trigger();
    deliverLanguageChange();
    QCOMPARE(view.languages()->currentLanguage(), QStringLiteral("de"));
    QCOMPARE(ui->actionConnect->text(), QStringLiteral("&Verbinden"));
    QCOMPARE(ui->actionStartRecording->text(), QStringLiteral("&Start"));
    QVERIFY(ui->actionLanguageEnglish->isVisible());
}

void TestLanguages::noGermanLeftInEnglish()
{
    Model model;
    View view(&model);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    KalvikConnector connector;
    // Dialogs that are open while the language changes, and the project pictures' box.
    AboutDialog about(QString(), QString(), &view);
    UpdateDialog update(&model, &connector, &view);
    IPAddressDialog address(&model, &view);
    IntegrationDialog integration(&model, &view);
    QPixmap picture(20, 20);
    picture.fill(Qt::gray);
    ImageBox image(picture);
    const QList<QWidget*> windows = {&view, &about, &update, &address, &integration, &image};
    const QSet<QString> data = phaseNames(model);

    // In German the walk finds the sources, so finding none in English means something.
    int germanBefore = 0;
    for (QWidget* w : windows)
        germanBefore += germanLeft(w, data).size();
    QVERIFY2(germanBefore > 100, qPrintable(QString::number(germanBefore)));

    view.form()->actionLanguageEnglish->trigger();
    deliverLanguageChange();
    for (QWidget* w : windows) {
        const QStringList left = germanLeft(w, data);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char('\n'))));
    }
    // Every page, with its own children, as the user walks through the tabs.
    QTabWidget* tabs = view.form()->tabWidget;
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        const QStringList left = germanLeft(tabs->widget(i), data);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char('\n'))));
    }
    // Prompts and message boxes made after the switch.
    QStringList promptLeft;
    DialogAnswerer answer;
    const auto walkAndReject = [&promptLeft, &data](QWidget* dialog) {
        promptLeft += germanLeft(dialog, data);
        static_cast<QDialog*>(dialog)->reject();
    };
    answer.answer(walkAndReject);
    view.askToSaveAndQuit();
    answer.answer(walkAndReject);
    view.askYesNo(QStringLiteral("t"), QStringLiteral("x"));
    answer.answer(walkAndReject);
    view.askToQuit();
    QCOMPARE(answer.answered(), 3);
    QVERIFY2(promptLeft.isEmpty(), qPrintable(promptLeft.join(QLatin1Char('\n'))));

    // Back in German everything the walk found at the start is German again.
    view.form()->actionLanguageGerman->trigger();
    deliverLanguageChange();
    int germanAfter = 0;
    for (QWidget* w : windows)
        germanAfter += germanLeft(w, data).size();
    QCOMPARE(germanAfter, germanBefore);
}

void TestLanguages::missingTranslationLeavesGerman()
{
    Model model;
    View view(&model);
    view.languages()->loadLanguage(QStringLiteral("en"));
    deliverLanguageChange();
    QCOMPARE(view.form()->actionQuit->text(), QStringLiteral("Quit Ventaro"));

    LogCapture log;
    view.languages()->loadLanguage(QStringLiteral("fr"));
    deliverLanguageChange();
    QVERIFY2(log.contains(QStringLiteral("ERROR: loading translator failed!  filename=Ventaro-fr.qm")),
             qPrintable(log.dump()));
    QVERIFY(!log.contains(QStringLiteral("OK: translator installed")));
    QCOMPARE(view.form()->actionQuit->text(), QStringLiteral("Ventaro beenden"));
    QCOMPARE(view.languages()->currentLanguage(), QStringLiteral("fr"));
    view.languages()->loadLanguage(QStringLiteral("de"));
}

void TestLanguages::chosenLanguageLostAtRestart_data()
{
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("quitText");
    QTest::newRow("English") << QStringList{QStringLiteral("en")} << QStringLiteral("en")
                             << QStringLiteral("Quit Ventaro");
    // The system is English: German chosen must also hold against a locale change.
    QTest::newRow("English, then German")
        << QStringList{QStringLiteral("en"), QStringLiteral("de")} << QStringLiteral("de")
        << QStringLiteral("Ventaro beenden");
}

void TestLanguages::chosenLanguageLostAtRestart()
{
    QFETCH(QStringList, choices);
    QFETCH(QString, expected);
    QFETCH(QString, quitText);
    {
        Model model;
        View view(&model);
        for (const QString& language : choices) {
            QAction* toggle = language == QLatin1String("en") ? view.form()->actionLanguageEnglish
                                                              : view.form()->actionLanguageGerman;
            toggle->trigger();
            deliverLanguageChange();
        }
    }
    // The next start: the first window's translators went with it.
    Model model;
    View view(&model);
    deliverLanguageChange();
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(&view, &change);
    deliverLanguageChange();
    QCOMPARE(view.languages()->currentLanguage(), expected);
    QCOMPARE(view.form()->actionQuit->text(), quitText);
    view.languages()->loadLanguage(QStringLiteral("de"));
}

void TestLanguages::defaultPhaseNamesStuckAfterTwoSwitches()
{
    Model model;
    View view(&model);
    const QString typed = QStringLiteral("Nachdruck lang");
    model.setPhaseName(2, typed);
    model.setProjectModifiedFlag(false);
    QLineEdit* firstEdit = view.tabProject()->form()->phase1Edit;

    view.form()->actionLanguageEnglish->trigger();
    deliverLanguageChange();
    QCOMPARE(model.phaseName(0), QStringLiteral("Close mould"));
    QCOMPARE(model.phaseName(4), QStringLiteral("Open mould"));
    QCOMPARE(model.phaseName(2), typed);
    QCOMPARE(firstEdit->text(), QStringLiteral("Close mould"));
    // A switch is no edit: quitting asks nothing.
    QVERIFY(!model.isProjectModified());

    view.form()->actionLanguageGerman->trigger();
    deliverLanguageChange();
    QCOMPARE(model.phaseName(0), QStringLiteral("WZ schließen"));
    QCOMPARE(model.phaseName(4), QStringLiteral("WZ öffnen"));
    QCOMPARE(model.phaseName(2), typed);
    QCOMPARE(firstEdit->text(), QStringLiteral("WZ schließen"));
}

void TestLanguages::translationIsComplete()
{
    // lupdate over the sources and forms, merged into a copy of the committed file: a new
    // text comes in unfinished, a text gone from the code stays as vanished.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString copy = dir.filePath(QStringLiteral("Ventaro-en.ts"));
    QVERIFY(QFile::copy(QStringLiteral(VENTARO_TS_FILE), copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(VENTARO_SOURCE_DIR));
    QStringList arguments = QString::fromUtf8(VENTARO_LUPDATE_ARGS).split(QLatin1Char('|'));
    arguments << QStringLiteral("-ts") << copy;
    lupdate.start(QStringLiteral(VENTARO_LUPDATE), arguments);
    QVERIFY2(lupdate.waitForFinished(120000), qPrintable(lupdate.errorString()));
    QCOMPARE(lupdate.exitStatus(), QProcess::NormalExit);
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAllStandardError().constData());

    const QList<TsEntry> entries = readTs(copy);
    QVERIFY(entries.size() > 300);
    QStringList behind;
    for (const TsEntry& e : entries) {
        if (!e.type.isEmpty() || e.translations.value(0).trimmed().isEmpty())
            behind.append(e.context + QStringLiteral(" [") +
                          (e.type.isEmpty() ? QStringLiteral("empty") : e.type) +
                          QStringLiteral("] ") + e.source);
    }
    QVERIFY2(behind.isEmpty(),
             qPrintable(QStringLiteral("Run scripts/update-translations.sh and translate:\n") +
                        behind.join(QLatin1Char('\n'))));
    // The committed file is exactly what lupdate writes, so refreshing it does not churn.
    QFile written(copy);
    QFile committed(QStringLiteral(VENTARO_TS_FILE));
    QVERIFY(written.open(QIODevice::ReadOnly) && committed.open(QIODevice::ReadOnly));
    QVERIFY2(written.readAll() == committed.readAll(),
             "Ventaro-en.ts is not as lupdate writes it: run scripts/update-translations.sh");
}

VENTARO_TEST_MAIN(TestLanguages)
#include "test_languages.moc"
