#include "app/AppFrame.h"
#include "model/Model.h"
#include "model/RecordingGap.h"
#include "tests/common/TestMain.h"
#include "ui_View.h"
#include "view/View.h"
#include "widgets/MessageBoxFit.h"
#include "widgets/OsziWidget.h"
#include "widgets/SpinBoxFit.h"
#include "widgets/analog/AnalogSensorWidget.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>

namespace {

// The smallest screen the program is used on, beside a moulding machine.
const QSize smallScreen(1366, 768);

// The sensors as a device or a new project describe them: the model's default of five
// sensors without unit over +-100000, the simulated device's micrometres up to 12000 and
// the default device's millimetres up to 12.
void describe(Model& model, const QString& unit, double maximum)
{
    if (unit.isNull())
        return;
    SensorDescription& d = model.sensorDescription();
    d.setNumSensorGroups(1);
    SensorGroup& group = d.sensorGroup(0);
    group.setName(QStringLiteral("Abstand"));
    group.setNumSensors(5);
    for (int s = 0; s < 5; ++s) {
        group.setSensorName(s, QStringLiteral("Abstand %1").arg(s + 1));
        group.setSensorType(s, QStringLiteral("Distanz"));
        group.setSensorUnit(s, unit);
        group.setSensorMinimum(s, 0.0);
        group.setSensorMaximum(s, maximum);
    }
    emit model.projectChanged();
}

// Shots enough for a four-digit shot number.
void addShots(Model& model, int shots)
{
    model.blockSignals(true);
    for (int i = 0; i < shots; ++i) {
        model.addMeasurement();
        for (int k = 0; k < Model::numSensors; ++k)
            model.measurement(k, i)->append({1.0, 2.0, 3.0});
    }
    model.blockSignals(false);
    emit model.dataChanged();
}

// Shows the window at a screen's size. The window maximizes itself once shown, to the
// test platform's small screen; it is taken back to a normal window of the given size.
bool showAt(View& view, const QSize& size)
{
    view.show();
    if (!QTest::qWaitForWindowExposed(&view) ||
        !QTest::qWaitFor([&] { return view.isMaximized(); }))
        return false;
    view.showNormal();
    view.resize(size);
    return QTest::qWaitFor([&] { return view.size() == size; });
}

void sensorsData()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("maximum");
    QTest::newRow("new project") << QString() << 0.0;
    QTest::newRow("micrometres") << QStringLiteral("\u00B5m") << 12000.0;
    QTest::newRow("millimetres") << QStringLiteral("mm") << 12.0;
}

template <typename T>
T* child(const QWidget& parent, const char* name)
{
    T* w = parent.findChild<T*>(QLatin1String(name));
    if (!w)
        qFatal("no widget %s", name);
    return w;
}

} // namespace

class TestFitScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyPageFitsTheSmallScreen_data() { sensorsData(); }
    void everyPageFitsTheSmallScreen();
    void everySpinBoxShowsItsWidestValue_data() { sensorsData(); }
    void everySpinBoxShowsItsWidestValue();
    void fivePlotsShareAFullHdPage();
    void dashboardScrollsOnTheSmallScreen();
    void pageButtonsKeepTheirWords();
    void displaysGrowWithTheirRoom_data();
    void displaysGrowWithTheirRoom();
    void placeholdersAreGrey();
    void messageShowsLongFileNameWhole_data();
    void messageShowsLongFileNameWhole();

private:
    QTranslator translator;
};

void TestFitScreen::initTestCase()
{
    // Sizes as the application shows them: fonts, paddings and buttons of its style sheet.
    AppFrame::applyLook(*qApp);
    // The same checks in another language (test_fit_screen_en): its texts must fit as well.
    const QString language = qEnvironmentVariable("VENTARO_TEST_LANGUAGE");
    if (!language.isEmpty()) {
        QVERIFY(
            translator.load(QStringLiteral("Ventaro-") + language,
                            QCoreApplication::applicationDirPath() + QStringLiteral("/languages")));
        QVERIFY(QCoreApplication::installTranslator(&translator));
    }
}

void TestFitScreen::everyPageFitsTheSmallScreen()
{
    QFETCH(QString, unit);
    QFETCH(double, maximum);
    Model model;
    View view(&model);
    describe(model, unit, maximum);
    addShots(model, 1200);
    // A gap still open after the last shot: the gap bar and the mark beside the shot number.
    const QDateTime last(QDate(2026, 12, 9), QTime(6, 0));
    model.setTimestamp(1199, last);
    model.addRecordingGap({last.addSecs(10), QDateTime(), -1, 0});
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTabWidget* tabs = view.form()->tabWidget;
    // Bars, dials, and bars again: the dials must not leave the window wider behind them.
    for (const char* mode : {"radioDisplaySelectionLinear", "radioDisplaySelectionRound",
                             "radioDisplaySelectionLinear"}) {
        child<QRadioButton>(view, mode)->click();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            const QSize least = view.minimumSizeHint();
            QVERIFY2(least.width() <= smallScreen.width() && least.height() <= smallScreen.height(),
                     qPrintable(QStringLiteral("%1, page %2 needs %3 x %4")
                                    .arg(QLatin1String(mode))
                                    .arg(i)
                                    .arg(least.width())
                                    .arg(least.height())));
        }
    }
}

void TestFitScreen::everySpinBoxShowsItsWidestValue()
{
    QFETCH(QString, unit);
    QFETCH(double, maximum);
    Model model;
    View view(&model);
    describe(model, unit, maximum);
    addShots(model, 1200);
    QVERIFY(showAt(view, smallScreen));
    for (const char* name : {"sensor3CheckBox", "sensor4CheckBox", "sensor5CheckBox"})
        child<QPushButton>(view, name)->click();
    QTabWidget* tabs = view.form()->tabWidget;
    int checked = 0;
    for (const char* mode : {"radioDisplaySelectionLinear", "radioDisplaySelectionRound"}) {
        child<QRadioButton>(view, mode)->click();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QCoreApplication::processEvents();
            for (QAbstractSpinBox* box : tabs->widget(i)->findChildren<QAbstractSpinBox*>()) {
                if (!box->isVisible())
                    continue;
                const auto* field = box->findChild<QLineEdit*>();
                const QString widest = SpinBoxFit::widestText(box);
                // The text field's own margins of two pixels on either side.
                const int needed = QFontMetrics(field->font()).horizontalAdvance(widest) + 4;
                QVERIFY2(field->width() >= needed,
                         qPrintable(QStringLiteral("%1 shows %2 pixels of \"%3\" (%4)")
                                        .arg(box->objectName())
                                        .arg(field->width())
                                        .arg(widest)
                                        .arg(needed)));
                ++checked;
            }
        }
    }
    // Markers, range, grid and offset boxes of five plots, the sensors' boxes, the project's.
    QVERIFY(checked > 40);
}

void TestFitScreen::fivePlotsShareAFullHdPage()
{
    Model model;
    View view(&model);
    describe(model, QStringLiteral("\u00B5m"), 12000);
    QVERIFY(showAt(view, QSize(1920, 1080)));
    view.form()->tabWidget->setCurrentWidget(view.form()->tabOszi);
    for (const char* name : {"sensor3CheckBox", "sensor4CheckBox", "sensor5CheckBox"})
        child<QPushButton>(view, name)->click();
    auto* area = view.form()->tabOszi->findChild<QScrollArea*>(QStringLiteral("scrollArea"));
    QVERIFY(area);
    QTRY_VERIFY(
        view.form()->tabOszi->findChild<OsziWidget*>(QStringLiteral("osziWidget5"))->isVisible());
    // No scrolling: all five in view, each with room for its curves.
    const auto allFiveInView = [&](int leastHeight) {
        QCoreApplication::processEvents();
        QCOMPARE(area->verticalScrollBar()->maximum(), 0);
        QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
        for (int n = 1; n <= 5; ++n) {
            auto* plot =
                view.form()->tabOszi->findChild<OsziWidget*>(QStringLiteral("osziWidget%1").arg(n));
            QVERIFY2(plot->height() >= leastHeight, qPrintable(QString::number(plot->height())));
            QVERIFY(area->viewport()->rect().contains(
                QRect(plot->mapTo(area->viewport(), QPoint(0, 0)), plot->size())));
        }
    };
    allFiveInView(130);
    // The small screen shows all five too, lower; only a shorter window scrolls, and then
    // down, never sideways.
    view.resize(smallScreen);
    QTRY_COMPARE(view.size(), smallScreen);
    allFiveInView(75);
    view.resize(smallScreen.width(), view.minimumSizeHint().height());
    QTRY_VERIFY(area->verticalScrollBar()->maximum() > 0);
    QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
}

void TestFitScreen::dashboardScrollsOnTheSmallScreen()
{
    Model model;
    View view(&model);
    describe(model, QStringLiteral("\u00B5m"), 12000);
    addShots(model, 1200);
    QVERIFY(showAt(view, smallScreen));
    view.setCurrentTab(View::Tabs::Evaluation);
    auto* area =
        view.form()->tabEvaluation->findChild<QScrollArea*>(QStringLiteral("dashBoardScrollArea"));
    QVERIFY(area);
    QTRY_VERIFY(area->isVisible());
    QCoreApplication::processEvents();
    QCOMPARE(area->verticalScrollBar()->maximum(), 0);
    QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
}

// On the small screen no button cuts its words, the tool bar's not even while it says for
// hours that the link is being restored: the style sheet lets buttons shrink.
void TestFitScreen::pageButtonsKeepTheirWords()
{
    Model model;
    View view(&model);
    addShots(model, 1200);
    QVERIFY(showAt(view, smallScreen));
    view.setReconnecting(true, 10 * 3600 + 59 * 60 + 59);
    QTRY_VERIFY(view.findChild<QLabel*>(QStringLiteral("reconnectStateLabel"))->isVisible());
    QTabWidget* tabs = view.form()->tabWidget;
    QStringList cut;
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QCoreApplication::processEvents();
        QList<QAbstractButton*> buttons = tabs->widget(i)->findChildren<QAbstractButton*>();
        for (QToolButton* b : view.form()->toolBar->findChildren<QToolButton*>())
            buttons.append(b);
        for (QAbstractButton* b : buttons) {
            if (b->isVisible() && !b->text().isEmpty() && b->width() < b->sizeHint().width())
                cut << QStringLiteral("%1: %2 of %3")
                           .arg(b->text())
                           .arg(b->width())
                           .arg(b->sizeHint().width());
        }
    }
    cut.removeDuplicates();
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
}

void TestFitScreen::displaysGrowWithTheirRoom_data()
{
    QTest::addColumn<bool>("round");
    QTest::newRow("bars") << false;
    QTest::newRow("dials") << true;
}

void TestFitScreen::displaysGrowWithTheirRoom()
{
    QFETCH(bool, round);
    Model model;
    View view(&model);
    describe(model, QStringLiteral("\u00B5m"), 12000);
    QVERIFY(showAt(view, smallScreen));
    view.form()->tabWidget->setCurrentWidget(view.form()->tabSensors);
    child<QRadioButton>(view, round ? "radioDisplaySelectionRound" : "radioDisplaySelectionLinear")
        ->click();
    // The edge that matters: a dial's side, a bar's height.
    const auto smallestDisplay = [&view, round] {
        int smallest = std::numeric_limits<int>::max();
        const auto sensors = view.form()->tabSensors->findChildren<AnalogSensorWidget*>();
        for (const AnalogSensorWidget* sensor : sensors) {
            const QSize s = sensor->display()->size();
            smallest = qMin(smallest, round ? qMin(s.width(), s.height()) : s.height());
        }
        return sensors.size() == 5 ? smallest : 0;
    };
    QCoreApplication::processEvents();
    const int small = smallestDisplay();
    view.resize(1920, 1080);
    QTRY_COMPARE(view.size(), QSize(1920, 1080));
    QCoreApplication::processEvents();
    const int large = smallestDisplay();
    QVERIFY2(small > 0 && large > small,
             qPrintable(QStringLiteral("%1 then %2").arg(small).arg(large)));
    // Most of what the larger screen adds goes to the displays: bars take its height, dials
    // more than a fifth of the group's width, what one row of them would give.
    if (round) {
        const int row =
            view.form()->tabSensors->findChild<AnalogSensorWidget*>()->parentWidget()->width() / 5;
        QVERIFY2(large > row,
                 qPrintable(QStringLiteral("%1 in rows, %2 in one").arg(large).arg(row)));
    } else
        QVERIFY2(large - small >= (1080 - 768) * 3 / 4,
                 qPrintable(QStringLiteral("%1 then %2").arg(small).arg(large)));
}

void TestFitScreen::placeholdersAreGrey()
{
    Model model;
    View view(&model);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    int examples = 0;
    for (const QLineEdit* edit : view.findChildren<QLineEdit*>()) {
        if (edit->placeholderText().isEmpty())
            continue;
        ++examples;
        const QColor example = edit->palette().color(QPalette::Active, QPalette::PlaceholderText);
        const QColor entry = edit->palette().color(QPalette::Active, QPalette::Text);
        // Drawn on white, an example must come out clearly lighter than an entry.
        const auto onWhite = [](const QColor& c) {
            return qRound(c.alphaF() * c.lightness() + (1 - c.alphaF()) * 255);
        };
        QVERIFY2(onWhite(example) - onWhite(entry) >= 80,
                 qPrintable(edit->objectName() + QLatin1Char(' ') + example.name(QColor::HexArgb)));
        QCOMPARE(entry, QColor(Qt::black));
    }
    // "Projekt Name" and its four neighbours, "1,3-5" and "3,5-7".
    QVERIFY(examples >= 7);
}

void TestFitScreen::messageShowsLongFileNameWhole_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("oneLine");
    // Wider than the 600 pixels a message starts from, narrower than the widest box: the
    // box widens. Wider than any box: the name breaks across lines.
    QTest::newRow("widens") << QStringLiteral(
                                   "Deckel_links_Serie_2_Nachdruck_erhoeht_Kavit_3_ab.mvx")
                            << true;
    QTest::newRow("breaks") << QStringLiteral("Deckel_links_Serie_2_Nachdruck_erhoeht_Kavitaet_3_"
                                              "Werkzeug_4711_Messreihe_Oktober.mvx")
                            << false;
}

void TestFitScreen::messageShowsLongFileNameWhole()
{
    QFETCH(QString, fileName);
    QFETCH(bool, oneLine);
    QWidget parent;
    parent.resize(smallScreen);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    // As the controller words it for a project file that cannot be read.
    const QString text = QStringLiteral("Cannot open file %1 !.")
                             .arg(QStringLiteral("/home/werk/Projekte/Werkzeug 4711/") + fileName);
    QMessageBox box(QMessageBox::Warning, QString(), text, QMessageBox::Ok, &parent);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    QVERIFY(label);
    const int word = QFontMetrics(label->font()).horizontalAdvance(fileName);
    const int widest = MessageBoxFit::widestBox(box.screen()->availableGeometry().width());
    QVERIFY2(word > 600 && (word < widest - 150) == oneLine,
             qPrintable(QStringLiteral("a name of %1 pixels does not test this").arg(word)));
    if (oneLine)
        QVERIFY(label->contentsRect().width() >= word);
    // The text lies within the box, and the label is as high as its lines need.
    const QMargins m = label->contentsMargins();
    QVERIFY(box.rect().contains(
        label->geometry().adjusted(m.left(), m.top(), -m.right(), -m.bottom())));
    QVERIFY(box.width() <= widest);
    QVERIFY(label->heightForWidth(label->width()) <= label->height());
    if (!oneLine) {
        // The label lays its text out in a document once a word must break anywhere; no
        // line of it is wider than the label.
        const auto* layout = label->findChild<QTextDocument*>();
        QVERIFY2(layout, "the text is not laid out to break anywhere");
        QVERIFY(layout->idealWidth() <= label->contentsRect().width());
    }
    QCOMPARE(box.text(), text);
}

VENTARO_TEST_MAIN(TestFitScreen)
#include "test_fit_screen.moc"
