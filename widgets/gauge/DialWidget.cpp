#include "widgets/gauge/DialWidget.h"

#include "widgets/gauge/DialArcItem.h"
#include "widgets/gauge/DialBackgroundItem.h"
#include "widgets/gauge/DialDegreesItem.h"
#include "widgets/gauge/DialLabelItem.h"
#include "widgets/gauge/DialNeedleItem.h"
#include "widgets/gauge/DialValuesItem.h"

#include <QPainter>
#include <QStyleOption>

DialWidget::DialWidget(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(250, 250);
    m_repaintTimer.setSingleShot(true);
    m_repaintTimer.setInterval(0);
    connect(&m_repaintTimer, &QTimer::timeout, this, [this] { update(); });
}

DialWidget::~DialWidget()
{
    // Destroyed here rather than by QObject, so that they leave while the list still exists.
    const QList<DialItem*> items = m_items;
    m_items.clear();
    qDeleteAll(items);
}

template <typename Item>
Item* DialWidget::add(float position)
{
    auto* item = new Item(this, position);
    addItem(item);
    return item;
}

DialBackgroundItem* DialWidget::addBackground(float position)
{
    return add<DialBackgroundItem>(position);
}

DialArcItem* DialWidget::addArc(float position)
{
    return add<DialArcItem>(position);
}

DialDegreesItem* DialWidget::addDegrees(float position)
{
    return add<DialDegreesItem>(position);
}

DialValuesItem* DialWidget::addValues(float position)
{
    return add<DialValuesItem>(position);
}

DialLabelItem* DialWidget::addLabel(float position)
{
    return add<DialLabelItem>(position);
}

DialNeedleItem* DialWidget::addNeedle(float position)
{
    return add<DialNeedleItem>(position);
}

void DialWidget::addItem(DialItem* item)
{
    if (!item || m_items.contains(item))
        return;
    item->setParent(this);
    m_items.append(item);
    update();
}

void DialWidget::requestRepaint()
{
    if (m_repaintTimer.interval() <= 0)
        update();
    else if (!m_repaintTimer.isActive()) // not restarted, so that a steady stream repaints
        m_repaintTimer.start();
}

void DialWidget::setRepaintInterval(int milliseconds)
{
    m_repaintTimer.setInterval(qMax(0, milliseconds));
}

bool DialWidget::removeItem(DialItem* item)
{
    if (!m_items.removeOne(item))
        return false;
    update();
    return true;
}

void DialWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Lets a style sheet give the gauge a background.
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (DialItem* item : qAsConst(m_items))
        item->draw(painter);
}
