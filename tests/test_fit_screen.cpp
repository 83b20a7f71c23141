#include "app/AppFrame.h"
#include "model/Model.h"
#include "tests/common/TestMain.h"
#include "ui_View.h"
#include "view/View.h"

#include <QRadioButton>
#include <QTabWidget>

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
};

void TestFitScreen::initTestCase()
{
    // Sizes as the application shows them: fonts, paddings and buttons of its style sheet.
    AppFrame::applyLook(*qApp);
}

void TestFitScreen::everyPageFitsTheSmallScreen()
{
    QFETCH(QString, unit);
    QFETCH(double, maximum);
    Model model;
    View view(&model);
    describe(model, unit, maximum);
    addShots(model, 1200);
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

VENTARO_TEST_MAIN(TestFitScreen)
#include "test_fit_screen.moc"
