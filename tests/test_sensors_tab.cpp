#include "app/Constants.h"
#include "model/Model.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TestMain.h"
#include "view/SensorGrid.h"
#include "view/SensorGroupWidget.h"
#include "view/SensorTreeWidget.h"
#include "view/TabSensors.h"
#include "widgets/analog/AnalogBarDouble.h"
#include "widgets/analog/AnalogSensorWidget.h"
#include "widgets/analog/AnalogSettingsWidget.h"
#include "widgets/analog/GaugeWidget.h"
#include "widgets/gauge/DialNeedleItem.h"

#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTreeWidget>

namespace {

// The five sensors of group 0 as a distance device describes them, plus further groups.
void describe(Model& model, int groups = 1)
{
    SensorDescription& d = model.sensorDescription();
    d.setNumSensorGroups(groups);
    for (int g = 0; g < groups; ++g) {
        SensorGroup& group = d.sensorGroup(g);
        group.setName(g == 0 ? QStringLiteral("Keyence") : QStringLiteral("Temperatur %1").arg(g));
        group.setNumSensors(g == 0 ? 5 : 2);
        for (int s = 0; s < group.numSensors(); ++s) {
            group.setSensorName(s, QStringLiteral("Sensor %1").arg(s + 1));
            group.setSensorType(s, g == 0 ? QStringLiteral("Keyence Distance")
                                          : QStringLiteral("PT100"));
            group.setSensorUnit(s, g == 0 ? QStringLiteral("mm") : QStringLiteral("°C"));
            group.setSensorMinimum(s, 0.0);
            group.setSensorMaximum(s, g == 0 ? 12.0 : 300.0);
        }
    }
    emit model.projectChanged();
}

// One value line as the controller appends it: five samples, one dataChanged.
void appendLine(Model& model, const QVector<double>& values)
{
    model.blockSignals(true);
    for (int k = 0; k < Model::numSensors; ++k)
        model.appendSample(k, model.numChannels(k) - 1, values.value(k));
    model.blockSignals(false);
    emit model.dataChanged();
}

QTreeWidget* treeOf(TabSensors& tab)
{
    return tab.findChild<QTreeWidget*>(QStringLiteral("treeWidget"));
}

QTreeWidgetItem* sensorItem(TabSensors& tab, int group, int sensor)
{
    return treeOf(tab)->topLevelItem(group)->child(sensor);
}

// Clicks the check box of a tree item the way a user does.
void clickCheckBox(QTreeWidget* tree, QTreeWidgetItem* item)
{
    tree->scrollToItem(item);
    QStyleOptionViewItem option;
    option.initFrom(tree);
    option.rect = tree->visualItemRect(item);
    option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    const QRect box =
        tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, box.center());
}

QColor iconColor(const QTreeWidgetItem* item)
{
    return item->icon(0).pixmap(12, 12).toImage().pixelColor(6, 6);
}

QStringList titles(const SensorGroupWidget* group)
{
    QStringList result;
    for (int j = 0; j < group->numSensorWidgets(); ++j)
        result.append(group->sensorWidget(j)->name());
    return result;
}

} // namespace

class TestSensorsTab : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void gridChoice_data();
    void gridChoice();
    void gridOfManySensorsWraps();
    void showsTheModelsDescriptionOnceSet();
    void treeKeepsItsWidthWhereThereIsRoom();
    void rebuildsOnChangedDescriptionOnly();
    void descriptionWithoutGroupsKeepsTheWidgets();
    void inactiveSensorsAndGroupsTakeNoPosition();
    void valuesAndOffsetsFollowEveryDataChange();
    void eachWidgetShowsItsOwnSensor();
    void uncheckingAndCheckingATreeItem();
    void treeShowsSensorsSwitchedOffBefore();
    void clickIsHandledOncePerNewDescription();
    void roundAndLinearSwitchEveryDisplay();
    void twoLineSensorTitle();
    void badPositionsAreReported_data();
    void badPositionsAreReported();
    void pageWithoutModel();
};

void TestSensorsTab::initTestCase()
{
    // The page as the application shows it: its buttons are styled over their whole area.
    AppFrame::applyLook(*qApp);
}

namespace {

// Cells as the page measures them: a bar (160 x 50 at least) or a dial (120 x 120) with a
// title and its panel beside, above or wide.
SensorGrid::Cell cellFor(bool dial)
{
    SensorGrid::Cell cell;
    cell.displayMinimum = dial ? QSize(120, 120) : QSize(160, 50);
    const QSize extra = dial ? QSize(0, 70) : QSize(0, 0);
    cell.minimum = {QSize(257, 232) + extra, QSize(168, 304) + extra, QSize(389, 190) + extra};
    if (dial)
        cell.minimum[1].setWidth(154);
    cell.square = dial;
    cell.spacing = 8;
    cell.sideMargins = 8;
    return cell;
}

} // namespace

void TestSensorsTab::gridChoice_data()
{
    QTest::addColumn<bool>("dial");
    QTest::addColumn<QSize>("area");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("panel");
    QTest::addColumn<int>("displaySize");
    // Bars want height: one row, narrow panels where the row is narrow.
    QTest::newRow("bars, small screen")
        << false << QSize(880, 618) << 5 << int(PanelLayout::Above) << 618 - 254;
    QTest::newRow("bars, full HD")
        << false << QSize(1380, 930) << 5 << int(PanelLayout::Beside) << 930 - 182;
    // Dials want a square: two rows of three where one row would leave them narrow.
    QTest::newRow("dials, full HD")
        << true << QSize(1268, 930) << 3 << int(PanelLayout::Wide) << (930 - 8) / 2 - 140;
    QTest::newRow("dials, small screen")
        << true << QSize(930, 618) << 5 << int(PanelLayout::Above) << (930 - 32) / 5 - 8;
    // Nothing fits: the compact row, to be squeezed.
    QTest::newRow("too small") << true << QSize(300, 200) << 5 << int(PanelLayout::Above) << 0;
}

void TestSensorsTab::gridChoice()
{
    QFETCH(bool, dial);
    QFETCH(QSize, area);
    QFETCH(int, columns);
    QFETCH(int, panel);
    QFETCH(int, displaySize);
    const SensorGrid::Cell cell = cellFor(dial);
    const SensorGrid::Arrangement a = SensorGrid::choose(5, area, cell);
    QCOMPARE(a.columns, columns);
    QCOMPARE(int(a.panel), panel);
    QCOMPARE(a.displaySize, displaySize);
    // What it chose fits the area it was chosen for.
    if (displaySize > 0) {
        const QSize least = SensorGrid::minimumArea(5, a, cell);
        QVERIFY(least.width() <= area.width() && least.height() <= area.height());
    }
}

void TestSensorsTab::gridOfManySensorsWraps()
{
    const SensorGrid::Cell cell = cellFor(false);
    // Eight bars in a very wide room still take no more than five columns.
    const SensorGrid::Arrangement a = SensorGrid::choose(8, QSize(5000, 2000), cell);
    QVERIFY(a.columns <= SensorGrid::maxColumns);
    QCOMPARE(SensorGrid::rows(8, a.columns), 2);
    // What the group asks for at least: one row of five narrow panels, the rest below.
    QCOMPARE(SensorGrid::minimumArea(8, SensorGrid::compact(8), cell),
             QSize(5 * 168 + 4 * 8, 2 * 304 + 8));
    QCOMPARE(SensorGrid::minimumArea(3, SensorGrid::compact(3), cell), QSize(3 * 168 + 16, 304));
}

void TestSensorsTab::showsTheModelsDescriptionOnceSet()
{
    Model model;
    TabSensors tab;
    QVERIFY(tab.groupWidgets().isEmpty());
    tab.setModel(&model);
    QCOMPARE(tab.groupWidgets().size(), 1);
    QCOMPARE(tab.groupWidgets().at(0)->numSensorWidgets(), 5);
    QCOMPARE(treeOf(tab)->topLevelItemCount(), 1);
    QCOMPARE(treeOf(tab)->topLevelItem(0)->childCount(), 5);
    QCOMPARE(treeOf(tab)->headerItem()->text(0), QStringLiteral("Gruppe/Sensor"));
}

void TestSensorsTab::treeKeepsItsWidthWhereThereIsRoom()
{
    Model model;
    TabSensors tab;
    tab.setModel(&model);
    tab.resize(1760, 1000);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    QTRY_COMPARE(treeOf(tab)->width(), 450);
    QCOMPARE(treeOf(tab)->columnWidth(0), 300);
    QVERIFY(treeOf(tab)->columnWidth(1) >= 100);
    // Beside a small screen's sensor row it gives way, the name column first.
    tab.resize(tab.minimumSizeHint().width(), 700);
    QTRY_VERIFY(treeOf(tab)->width() < 450);
    QVERIFY(treeOf(tab)->width() >= SensorTreeWidget::minimumTreeWidth);
    QVERIFY(treeOf(tab)->columnWidth(0) < 300);
    QVERIFY(treeOf(tab)->columnWidth(1) >= 100);
}

void TestSensorsTab::rebuildsOnChangedDescriptionOnly()
{
    Model model;
    TabSensors tab;
    tab.setModel(&model);
    LogCapture log;
    describe(model);
    QVERIFY2(log.contains(QStringLiteral("sensor description changed!")), qPrintable(log.dump()));
    QCOMPARE(tab.groupWidgets().size(), 1);
    SensorGroupWidget* group = tab.groupWidgets().at(0);
    QCOMPARE(group->groupName(), QStringLiteral("Gruppe: Keyence"));
    AnalogSensorWidget* first = group->sensorWidget(0);
    QCOMPARE(first->name(), QStringLiteral("Sensor 1"));
    QCOMPARE(first->unit(), QStringLiteral("mm"));
    QCOMPARE(first->display()->rangeMin(), 0.0);
    QCOMPARE(first->display()->rangeMax(), 12.0);
    QCOMPARE(first->settings()->limitMinimum(), -12.0);
    QCOMPARE(first->settings()->limitMaximum(), 24.0);
    QCOMPARE(qobject_cast<AnalogBarDouble*>(first->display())->color(), colorDarkRed);
    QCOMPARE(qobject_cast<AnalogBarDouble*>(group->sensorWidget(4)->display())->color(),
             colorDarkCyan);
    QCOMPARE(sensorItem(tab, 0, 2)->text(0), QStringLiteral("Sensor 3"));
    QCOMPARE(sensorItem(tab, 0, 2)->text(1), QStringLiteral("Keyence Distance"));

    // The same description again (as after loading a project with it): nothing is rebuilt.
    log.clear();
    const QPointer<SensorGroupWidget> kept = group;
    emit model.projectChanged();
    QVERIFY(log.contains(QStringLiteral("sensor description did not change. ok. -> return")));
    QVERIFY(kept);
    QCOMPARE(tab.groupWidgets().at(0), kept.data());

    // A different unit is a different description.
    model.sensorDescription().setSensorUnit(0, 3, QStringLiteral("µm"));
    emit model.projectChanged();
    QVERIFY(!kept);
    QCOMPARE(tab.groupWidgets().at(0)->sensorWidget(3)->unit(), QStringLiteral("µm"));
}

void TestSensorsTab::descriptionWithoutGroupsKeepsTheWidgets()
{
    Model model;
    TabSensors tab;
    tab.setModel(&model);
    describe(model);
    model.sensorDescription().setNumSensorGroups(0);
    LogCapture log;
    emit model.projectChanged();
    QVERIFY(log.contains(QStringLiteral("sensor description changed!")));
    QCOMPARE(tab.groupWidgets().size(), 1);
    QCOMPARE(tab.groupWidgets().at(0)->numSensorWidgets(), 5);
    QCOMPARE(treeOf(tab)->topLevelItemCount(), 1);
    // Values still arrive without a group to read from.
    emit model.dataChanged();
}

void TestSensorsTab::inactiveSensorsAndGroupsTakeNoPosition()
{
    Model model;
    TabSensors tab;
    tab.setModel(&model);
    SensorDescription& d = model.sensorDescription();
    describe(model, 3);
    d.sensorGroup(0).setSensorActive(1, false);
    d.sensorGroup(1).setSensorActive(0, false);
    d.sensorGroup(1).setSensorActive(1, false);
    d.sensorGroup(0).setSensorName(4, QStringLiteral("Auswerfer")); // a new description
    emit model.projectChanged();
    QCOMPARE(tab.groupWidgets().size(), 2);
    SensorGroupWidget* first = tab.groupWidgets().at(0);
    QCOMPARE(first->numSensorWidgets(), 4);
    QCOMPARE(titles(first), (QStringList{"Sensor 1", "Sensor 3", "Sensor 4", "Auswerfer"}));
    QCOMPARE(first->sensorIndex(1), 2);
    QCOMPARE(tab.groupWidgets().at(1)->groupName(), QStringLiteral("Gruppe: Temperatur 2"));
    // The tree still lists every group and sensor.
    QCOMPARE(treeOf(tab)->topLevelItemCount(), 3);
}

void TestSensorsTab::valuesAndOffsetsFollowEveryDataChange()
{
    Model model;
    TabSensors tab;
    tab.setModel(&model);
    describe(model);
    model.addMeasurement();
    appendLine(model, {1.5, 2.5, 3.5, 4.5, 5.5});
    const SensorGroupWidget* group = tab.groupWidgets().at(0);
    for (int j = 0; j < 5; ++j)
        QCOMPARE(group->sensorValue(j), 1.5 + j);
    model.blockSignals(true);
    model.setOffset(2, -0.5);
    model.blockSignals(false);
    appendLine(model, {1, 2, 3, 4, 5});
    QCOMPARE(group->sensorValue(2), 3.0);
    QCOMPARE(group->sensorWidget(2)->offset(), -0.5);
    QCOMPARE(group->sensorWidget(2)->display()->offset(), -0.5);
    QCOMPARE(group->sensorWidget(2)->settings()->offsetValue(), -0.5);
    QCOMPARE(group->sensorWidget(1)->offset(), 0.0);
}

void TestSensorsTab::eachWidgetShowsItsOwnSensor()
{
    Model model;
    TabSensors tab;
    tab.setModel(&model);
    describe(model, 2);
    SensorDescription& d = model.sensorDescription();
    d.sensorGroup(0).setSensorActive(0, false);
    d.sensorGroup(1).setSensorValue(1, 21.5);
    d.sensorGroup(1).setSensorName(0, QStringLiteral("Düse")); // a new description
    emit model.projectChanged();
    model.setOffset(1, 0.25);
    model.addMeasurement();
    appendLine(model, {10, 11, 12, 13, 14});
    const SensorGroupWidget* first = tab.groupWidgets().at(0);
    // Position 0 shows sensor 1, not sensor 0.
    QCOMPARE(first->sensorValue(0), 11.0);
    QCOMPARE(first->sensorWidget(0)->offset(), 0.25);
    QCOMPARE(first->sensorValue(3), 14.0);
    // The second group has no recording: the description's value, no offset.
    const SensorGroupWidget* second = tab.groupWidgets().at(1);
    QCOMPARE(second->sensorValue(0), 0.0);
    QCOMPARE(second->sensorValue(1), 21.5);
    QCOMPARE(second->sensorWidget(1)->offset(), 0.0);
}

void TestSensorsTab::uncheckingAndCheckingATreeItem()
{
    Model model;
    TabSensors tab;
    tab.setModel(&model);
    describe(model);
    tab.resize(1600, 900);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    model.addMeasurement();
    appendLine(model, {1, 2, 3, 4, 5});

    QTreeWidgetItem* item = sensorItem(tab, 0, 2);
    QCOMPARE(iconColor(item), QColor(Qt::green));
    QSignalSpy projectChanges(&model, &Model::projectChanged);
    clickCheckBox(treeOf(tab), item);
    QCOMPARE(item->checkState(0), Qt::Unchecked);
    QCOMPARE(iconColor(item), colorDarkRed);
    QVERIFY(!model.sensorDescription().sensorGroup(0).isSensorActive(2));
    const SensorGroupWidget* group = tab.groupWidgets().at(0);
    QCOMPARE(titles(group), (QStringList{"Sensor 1", "Sensor 2", "Sensor 4", "Sensor 5"}));
    QCOMPARE(projectChanges.count(), 0);

    clickCheckBox(treeOf(tab), item);
    QCOMPARE(iconColor(item), QColor(Qt::green));
    QVERIFY(model.sensorDescription().sensorGroup(0).isSensorActive(2));
    group = tab.groupWidgets().at(0);
    QCOMPARE(group->numSensorWidgets(), 5);
    QCOMPARE(group->sensorWidget(2)->name(), QStringLiteral("Sensor 3"));
    // Value 0 until the next data change.
    QCOMPARE(group->sensorValue(2), 0.0);
    appendLine(model, {1, 2, 3, 4, 5});
    QCOMPARE(group->sensorValue(2), 3.0);

    // All of a group unchecked: the group leaves the page.
    for (int s = 0; s < 5; ++s)
        clickCheckBox(treeOf(tab), sensorItem(tab, 0, s));
    QVERIFY(tab.groupWidgets().isEmpty());
}

void TestSensorsTab::treeShowsSensorsSwitchedOffBefore()
{
    Model model;
    TabSensors tab;
    tab.setModel(&model);
    model.sensorDescription().sensorGroup(0).setSensorActive(3, false);
    describe(model);
    QTreeWidgetItem* item = sensorItem(tab, 0, 3);
    QCOMPARE(item->checkState(0), Qt::Unchecked);
    QCOMPARE(iconColor(item), colorDarkRed);
    QCOMPARE(sensorItem(tab, 0, 4)->checkState(0), Qt::Checked);
    QCOMPARE(tab.groupWidgets().at(0)->numSensorWidgets(), 4);
}

void TestSensorsTab::clickIsHandledOncePerNewDescription()
{
    Model model;
    TabSensors tab;
    tab.setModel(&model);
    describe(model);
    model.sensorDescription().setSensorName(0, 0, QStringLiteral("Neu"));
    emit model.projectChanged();
    tab.resize(1600, 900);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    auto* tree = tab.findChild<SensorTreeWidget*>();
    int emitted = 0;
    connect(tree, &SensorTreeWidget::itemChanged, this, [&emitted] { ++emitted; });
    clickCheckBox(treeOf(tab), sensorItem(tab, 0, 1));
    QCOMPARE(emitted, 1);
}

void TestSensorsTab::roundAndLinearSwitchEveryDisplay()
{
    Model model;
    TabSensors tab;
    tab.setModel(&model);
    describe(model, 2);
    model.setOffset(0, 1.0);
    model.addMeasurement();
    appendLine(model, {2, 3, 4, 5, 6});
    tab.resize(1600, 900);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    auto* round = tab.findChild<QRadioButton*>(QStringLiteral("radioDisplaySelectionRound"));
    auto* linear = tab.findChild<QRadioButton*>(QStringLiteral("radioDisplaySelectionLinear"));
    QVERIFY(linear->isChecked());
    QCOMPARE(linear->styleSheet(), QStringLiteral("background-color: #2372A4;"));

    QTest::mouseClick(round, Qt::LeftButton);
    QCOMPARE(tab.widgetType(), AnalogSensorWidgetType::Round);
    QCOMPARE(round->styleSheet(), QStringLiteral("background-color: #2372A4;"));
    QCOMPARE(linear->styleSheet(), QStringLiteral("background-color: #AAAAAA;"));
    for (const SensorGroupWidget* group : tab.groupWidgets()) {
        for (int j = 0; j < group->numSensorWidgets(); ++j) {
            auto* gauge = qobject_cast<GaugeWidget*>(group->sensorWidget(j)->display());
            QVERIFY(gauge);
            QCOMPARE(gauge->rangeMax(), group == tab.groupWidgets().at(0) ? 12.0 : 300.0);
            QCOMPARE(gauge->unit(), group->sensorWidget(j)->unit());
        }
    }
    appendLine(model, {2, 3, 4, 5, 6});
    auto* gauge = qobject_cast<GaugeWidget*>(tab.groupWidgets().at(0)->sensorWidget(0)->display());
    QCOMPARE(gauge->offset(), 1.0);
    QCOMPARE(gauge->needle()->currentValue(), 3.0f);

    // A rebuild keeps the chosen kind.
    clickCheckBox(treeOf(tab), sensorItem(tab, 0, 4));
    QVERIFY(qobject_cast<GaugeWidget*>(tab.groupWidgets().at(0)->sensorWidget(0)->display()));

    QTest::mouseClick(linear, Qt::LeftButton);
    QCOMPARE(tab.widgetType(), AnalogSensorWidgetType::Linear);
    auto* bar =
        qobject_cast<AnalogBarDouble*>(tab.groupWidgets().at(0)->sensorWidget(1)->display());
    QVERIFY(bar);
    QCOMPARE(bar->color(), colorDarkGreen);
    QCOMPARE(bar->rangeMin(), 0.0);
    QCOMPARE(bar->rangeMax(), 12.0);
    QCOMPARE(bar->unit(), QStringLiteral("mm"));
}

void TestSensorsTab::twoLineSensorTitle()
{
    Model model;
    TabSensors tab;
    tab.setModel(&model);
    describe(model);
    tab.setSensorName(0, 0, QStringLiteral("Auswerfer"));
    const AnalogSensorWidget* widget = tab.groupWidgets().at(0)->sensorWidget(0);
    QCOMPARE(widget->name(), QStringLiteral("Sensor 0:\nAuswerfer"));
    tab.setSensorName(0, 3, QStringLiteral("Schieber"));
    QCOMPARE(tab.groupWidgets().at(0)->sensorWidget(3)->name(),
             QStringLiteral("Sensor 3:\nSchieber"));
}

void TestSensorsTab::badPositionsAreReported_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("sensor");
    QTest::addColumn<QString>("error");
    QTest::newRow("name, group") << "name" << 1 << 0 << "ERROR: group >= numSensGroups !!";
    QTest::newRow("value, group") << "value" << 5 << 0 << "ERROR: group >= numSensGroups !!";
    QTest::newRow("offset, group") << "offset" << 1 << 0 << "ERROR: group >= numSensGroups !!";
    QTest::newRow("name, sensor") << "name" << 0 << 5 << "ERROR: index >= numSens !!";
    QTest::newRow("value, sensor") << "value" << 0 << 5 << "ERROR: index >= numSensors() !!";
    QTest::newRow("offset, sensor") << "offset" << 0 << 7 << "ERROR: index >= numSensors() !!";
}

void TestSensorsTab::badPositionsAreReported()
{
    QFETCH(QString, call);
    QFETCH(int, group);
    QFETCH(int, sensor);
    QFETCH(QString, error);
    Model model;
    TabSensors tab;
    tab.setModel(&model);
    describe(model);
    LogCapture log;
    if (call == QLatin1String("name"))
        tab.setSensorName(group, sensor, QStringLiteral("x"));
    else if (call == QLatin1String("value"))
        tab.setSensorValue(group, sensor, 1.0);
    else
        tab.setSensorOffset(group, sensor, 1.0);
    QCOMPARE(log.count(error), 1);
    const SensorGroupWidget* widget = tab.groupWidgets().at(0);
    QCOMPARE(widget->sensorValue(sensor), 0.0);
    for (int j = 0; j < widget->numSensorWidgets(); ++j)
        QCOMPARE(widget->sensorWidget(j)->offset(), 0.0);
}

void TestSensorsTab::pageWithoutModel()
{
    TabSensors tab;
    LogCapture log;
    tab.setModel(nullptr);
    QVERIFY(log.contains(QStringLiteral("model is NULL !!!")));
    QVERIFY(QMetaObject::invokeMethod(&tab, "onModel_DataChanged"));
    QVERIFY(QMetaObject::invokeMethod(&tab, "onModel_ProjectChanged"));
    QVERIFY(QMetaObject::invokeMethod(&tab, "onSensorTreeItemChanged"));
    QCOMPARE(log.count(QStringLiteral("ERROR: model must be set!")), 3);
    QTest::mouseClick(tab.findChild<QRadioButton*>(QStringLiteral("radioDisplaySelectionRound")),
                      Qt::LeftButton);
    QCOMPARE(tab.widgetType(), AnalogSensorWidgetType::Round);
    QVERIFY(tab.groupWidgets().isEmpty());
}

VENTARO_TEST_MAIN(TestSensorsTab)
#include "test_sensors_tab.moc"
