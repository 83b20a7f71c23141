#include "view/SensorTreeWidget.h"

#include "ui_SensorTreeWidget.h"

#include "app/Constants.h"
#include "app/Logging.h"

#include <QEvent>
#include <QHeaderView>
#include <QPixmap>
#include <QResizeEvent>

SensorTreeWidget::SensorTreeWidget(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::SensorTreeWidget>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(QStringLiteral("background-color: white; border: 0px solid ") + colorGrayAAA +
                  QStringLiteral("; border-radius: 1px;"));
    ui->treeWidget->setColumnWidth(0, 300);
    ui->treeWidget->setColumnWidth(1, 100);
    ui->treeWidget->setMinimumWidth(minimumTreeWidth);
    ui->treeWidget->setMaximumWidth(treeWidth);
    ui->treeWidget->installEventFilter(this);
    // Connected once here: connecting with every new description would multiply the clicks.
    connect(ui->treeWidget, &QTreeWidget::itemClicked, this,
            &SensorTreeWidget::onTreeWidgetItemClicked);
}

SensorTreeWidget::~SensorTreeWidget() = default;

QSize SensorTreeWidget::sizeHint() const
{
    return QWidget::sizeHint().expandedTo(QSize(treeWidth, 0));
}

bool SensorTreeWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->treeWidget && event->type() == QEvent::Resize) {
        // Type keeps its 100 pixels; the names take what is left, up to 300.
        const int inner =
            static_cast<QResizeEvent*>(event)->size().width() - 2 * ui->treeWidget->frameWidth();
        const int room = inner - 100;
        ui->treeWidget->setColumnWidth(0, qBound(100, room, 300));
    }
    return QWidget::eventFilter(watched, event);
}

QIcon SensorTreeWidget::stateIcon(bool checked)
{
    QPixmap square(12, 12);
    square.fill(checked ? QColor(Qt::green) : colorDarkRed);
    return QIcon(square);
}

void SensorTreeWidget::setSensorDescription(const SensorDescription& description)
{
    VTRACE();
    m_sensorDescription = description;
    ui->treeWidget->clear();
    for (int g = 0; g < description.numSensorGroups(); ++g) {
        const SensorGroup& group = description.sensorGroup(g);
        auto* groupItem = new QTreeWidgetItem(ui->treeWidget, QStringList{group.name()});
        groupItem->setFlags(Qt::ItemIsEnabled);
        for (int s = 0; s < group.numSensors(); ++s) {
            auto* sensorItem = new QTreeWidgetItem(
                groupItem, QStringList{group.sensorName(s), group.sensorType(s)});
            sensorItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            // Follows the sensor's flag, so that a sensor switched off before stays unticked
            // rather than being shown as on without its display.
            const bool active = group.isSensorActive(s);
            sensorItem->setCheckState(0, active ? Qt::Checked : Qt::Unchecked);
            sensorItem->setIcon(0, stateIcon(active));
        }
        groupItem->setExpanded(true);
    }
}

QList<QTreeWidgetItem*> SensorTreeWidget::topLevelItems() const
{
    QList<QTreeWidgetItem*> items;
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i)
        items.append(ui->treeWidget->topLevelItem(i));
    return items;
}

void SensorTreeWidget::onTreeWidgetItemClicked(QTreeWidgetItem* item, int col)
{
    qCDebug(lcView) << "item=" << item << " col=" << col;
    if (!item)
        return;
    if (item->flags() & Qt::ItemIsUserCheckable)
        item->setIcon(0, stateIcon(item->checkState(0) == Qt::Checked));
    qCDebug(lcView) << "emit itemChanged";
    emit itemChanged(item);
}

void SensorTreeWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
    }
    QWidget::changeEvent(event);
}
