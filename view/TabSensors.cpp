#include "view/TabSensors.h"

#include "ui_TabSensors.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "model/Model.h"
#include "view/SensorGroupWidget.h"

#include <QGraphicsColorizeEffect>
#include <QLabel>
#include <QLocale>
#include <QSignalBlocker>
#include <QTreeWidgetItem>
#include <QEvent>

namespace {

QList<SensorGroup> groupsOf(const SensorDescription& description)
{
    QList<SensorGroup> groups;
    for (int g = 0; g < description.numSensorGroups(); ++g)
        groups.append(description.sensorGroup(g));
    return groups;
}

const QString selectedStyle = QStringLiteral("background-color: ") + colorPrimary + ";";
const QString unselectedStyle = QStringLiteral("background-color: ") + colorGrayAAA + ";";

} // namespace

TabSensors::TabSensors(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::TabSensors>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(QStringLiteral("background-color: ") + colorGrayEEE + QStringLiteral(";"));
    connect(ui->sensorTreeWidget, &SensorTreeWidget::itemChanged, this,
            &TabSensors::onSensorTreeItemChanged);
    ui->frameDisplaySelection->setMinimumHeight(50);
    ui->frameDisplaySelection->setStyleSheet(
        QStringLiteral("QFrame{ background-color: white; border: 0px; }"));
    connect(ui->radioDisplaySelectionLinear, &QRadioButton::clicked, this,
            &TabSensors::onRadioButtonLinearClicked);
    connect(ui->radioDisplaySelectionRound, &QRadioButton::clicked, this,
            &TabSensors::onRadioButtonRoundClicked);
    onRadioButtonLinearClicked();
    m_staleLabel = new QLabel(this);
    m_staleLabel->setObjectName(QStringLiteral("staleValuesLabel"));
    m_staleLabel->setStyleSheet(QStringLiteral("QLabel { color: ") + colorGray555 +
                                QStringLiteral("; font-size: 18px; }"));
    m_staleLabel->hide();
    ui->layoutSensorGroups->insertWidget(0, m_staleLabel);
}

void TabSensors::showValuesStale(const QDateTime& since)
{
    m_staleSince = since;
    applyValuesLook();
}

void TabSensors::showValuesLive()
{
    if (!m_staleSince.isValid())
        return;
    m_staleSince = QDateTime();
    applyValuesLook();
}

void TabSensors::applyValuesLook()
{
    const bool stale = m_staleSince.isValid();
    if (stale)
        m_staleLabel->setText(tr("Keine neuen Messwerte seit %1")
                                  .arg(QLocale().toString(m_staleSince.time(),
                                                          QStringLiteral("HH:mm:ss"))));
    m_staleLabel->setVisible(stale);
    // A colour effect greys whatever a display paints, bars and dials alike.
    for (SensorGroupWidget* widget : qAsConst(m_groupWidgets)) {
        if (!stale) {
            widget->setGraphicsEffect(nullptr);
            continue;
        }
        if (widget->graphicsEffect())
            continue;
        auto* grey = new QGraphicsColorizeEffect(widget);
        grey->setColor(Qt::gray);
        widget->setGraphicsEffect(grey);
    }
}

TabSensors::~TabSensors() = default;

void TabSensors::setModel(Model* model)
{
    VTRACE();
    if (!model) {
        qCWarning(lcView) << "model is NULL !!!";
        return;
    }
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    connect(m_model, &Model::projectChanged, this, &TabSensors::onModel_ProjectChanged);
    connect(m_model, &Model::dataChanged, this, &TabSensors::onModel_DataChanged);
    // The model was filled before the page existed; show what it holds now.
    onModel_ProjectChanged();
    onModel_DataChanged();
}

bool TabSensors::hasModel() const
{
    if (m_model)
        return true;
    qCWarning(lcView) << "ERROR: model must be set!";
    return false;
}

bool TabSensors::checkGroup(int group, const char* signature) const
{
    if (group >= 0 && group < m_groupWidgets.size())
        return true;
    qCWarning(lcView).noquote() << signature << "ERROR: group >= numSensGroups !!";
    return false;
}

void TabSensors::setSensorName(int group, int sensor, const QString& name)
{
    if (checkGroup(group, Q_FUNC_INFO))
        m_groupWidgets.at(group)->setSensorName(sensor, name);
}

void TabSensors::setSensorValue(int group, int sensor, double value)
{
    if (checkGroup(group, Q_FUNC_INFO))
        m_groupWidgets.at(group)->setSensorValue(sensor, value);
}

void TabSensors::setSensorOffset(int group, int sensor, double offset)
{
    if (checkGroup(group, Q_FUNC_INFO))
        m_groupWidgets.at(group)->setSensorOffset(sensor, offset);
}

void TabSensors::rebuildWidgets(const QList<SensorGroup>& groups)
{
    VTRACE();
    qCDebug(lcView) << "current size:" << m_groupWidgets.size() << "new size: " << groups.size();
    qDeleteAll(m_groupWidgets);
    m_groupWidgets.clear();
    m_groupIndices.clear();
    for (int g = 0; g < groups.size(); ++g) {
        const SensorGroup& group = groups.at(g);
        if (!group.hasActiveSensor())
            continue; // takes no position
        auto* widget = new SensorGroupWidget(m_widgetType, this);
        m_groupWidgets.append(widget);
        m_groupIndices.append(g);
        ui->layoutSensorGroups->addWidget(widget);
        qCDebug(lcView).noquote() << "sensorGroup: "
                                  << "[groupName=" + group.name()
                                  << " numSensors=" + QString::number(group.numSensors());
        widget->setSensorGroup(group);
    }
    applyValuesLook();
}

void TabSensors::onSensorTreeItemChanged()
{
    VTRACE();
    if (!hasModel())
        return;
    SensorDescription& description = m_model->sensorDescription();
    const QList<QTreeWidgetItem*> groupItems = ui->sensorTreeWidget->topLevelItems();
    for (int i = 0; i < groupItems.size(); ++i) {
        SensorGroup& group = description.sensorGroup(i); // reports a group the model lacks
        if (i >= description.numSensorGroups())
            continue;
        const QTreeWidgetItem* groupItem = groupItems.at(i);
        for (int j = 0; j < groupItem->childCount(); ++j) {
            const Qt::CheckState state = groupItem->child(j)->checkState(0);
            qCDebug(lcView) << "iGroup=" << i << "iSensor=" << j << state;
            // Straight into the model's description, without a project change.
            group.setSensorActive(j, state == Qt::Checked);
        }
    }
    rebuildWidgets(groupsOf(description));
    qCDebug(lcView) << "END";
}

void TabSensors::onRadioButtonLinearClicked()
{
    ui->radioDisplaySelectionLinear->setChecked(true);
    ui->radioDisplaySelectionLinear->setStyleSheet(selectedStyle);
    ui->radioDisplaySelectionRound->setStyleSheet(unselectedStyle);
    setWidgetType(AnalogSensorWidgetType::Linear);
}

void TabSensors::onRadioButtonRoundClicked()
{
    ui->radioDisplaySelectionRound->setChecked(true);
    ui->radioDisplaySelectionRound->setStyleSheet(selectedStyle);
    ui->radioDisplaySelectionLinear->setStyleSheet(unselectedStyle);
    setWidgetType(AnalogSensorWidgetType::Round);
}

void TabSensors::setWidgetType(AnalogSensorWidgetType type)
{
    m_widgetType = type;
    for (SensorGroupWidget* widget : qAsConst(m_groupWidgets))
        widget->setWidgetType(type);
}

void TabSensors::onModel_ProjectChanged()
{
    VTRACE();
    if (!hasModel())
        return;
    const SensorDescription& description = m_model->sensorDescription();
    if (description == ui->sensorTreeWidget->sensorDescription()) {
        qCDebug(lcView) << "sensor description did not change. ok. -> return";
        return;
    }
    qCDebug(lcView) << "sensor description changed!";
    if (description.numSensorGroups() == 0)
        return;
    const QSignalBlocker blocker(this);
    ui->sensorTreeWidget->setSensorDescription(description);
    rebuildWidgets(groupsOf(description));
    qCDebug(lcView) << "END";
}

void TabSensors::onModel_DataChanged()
{
    if (!hasModel())
        return;
    const QSignalBlocker blocker(this);
    const SensorDescription& description = m_model->sensorDescription();
    for (int i = 0; i < m_groupWidgets.size(); ++i) {
        SensorGroupWidget* groupWidget = m_groupWidgets.at(i);
        const int group = m_groupIndices.at(i);
        for (int j = 0; j < groupWidget->numSensorWidgets(); ++j) {
            // Every widget shows its own sensor, not the one at its position: the model
            // records the sensors of group 0 by their index, so those show the latest sample
            // and offset of that index. Other groups (and sensors of group 0 beyond the
            // recorded five) have no recording; they show the value held in the description,
            // 0 until the device sends one, without an offset.
            const int sensor = groupWidget->sensorIndex(j);
            double value = 0.0;
            double offset = 0.0;
            if (group == 0 && sensor < Model::numSensors) {
                value = m_model->latestValue(0, sensor);
                offset = m_model->offset(sensor);
            } else if (group < description.numSensorGroups() &&
                       sensor < description.sensorGroup(group).numSensors()) {
                value = description.sensorGroup(group).sensorValue(sensor);
            }
            setSensorValue(i, j, value);
            setSensorOffset(i, j, offset);
        }
    }
}

void TabSensors::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        applyValuesLook();
    }
    QWidget::changeEvent(event);
}
