#pragma once

#include "model/SensorDescription.h"

#include <QIcon>
#include <QList>
#include <QWidget>

#include <memory>

class QTreeWidgetItem;

namespace Ui {
class SensorTreeWidget;
}

// The sensor groups and their sensors as a tree, one check box per sensor to switch it on
// and off. Keeps a copy of the description it shows.
class SensorTreeWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SensorTreeWidget(QWidget* parent = nullptr);
    ~SensorTreeWidget() override;

    // Fills the tree: a group item per group, a checkable child per sensor, checked and
    // green while the sensor is active.
    void setSensorDescription(const SensorDescription& description);
    const SensorDescription& sensorDescription() const { return m_sensorDescription; }
    QList<QTreeWidgetItem*> topLevelItems() const;

    // A 12 x 12 square: green for a checked sensor, dark red for an unchecked one.
    static QIcon stateIcon(bool checked);

    // The tree is 450 pixels wide, its columns 300 and 100, where the page has the room; on
    // a small screen it gives way down to minimumTreeWidth, the name column first.
    static constexpr int treeWidth = 450;
    static constexpr int minimumTreeWidth = 250;
    QSize sizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void itemChanged(QTreeWidgetItem* item);

private slots:
    void onTreeWidgetItemClicked(QTreeWidgetItem* item, int col);

private:
    std::unique_ptr<Ui::SensorTreeWidget> ui;
    SensorDescription m_sensorDescription;
};
