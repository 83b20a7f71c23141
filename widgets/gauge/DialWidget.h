#pragma once

#include <QList>
#include <QTimer>
#include <QWidget>

class DialArcItem;
class DialBackgroundItem;
class DialDegreesItem;
class DialItem;
class DialLabelItem;
class DialNeedleItem;
class DialValuesItem;

// A round gauge composed of drawing items, painted in the order they were added so that later
// items lie over earlier ones. The gauge owns its items; it never removes one by itself.
class DialWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DialWidget(QWidget* parent = nullptr);
    ~DialWidget() override;

    // Each creates an item with its defaults at position (kept within 0 ... 100) and appends it.
    DialBackgroundItem* addBackground(float position);
    DialArcItem* addArc(float position);
    DialDegreesItem* addDegrees(float position);
    DialValuesItem* addValues(float position);
    DialLabelItem* addLabel(float position);
    DialNeedleItem* addNeedle(float position);
    // Appends an item created elsewhere; the gauge takes it over as its child.
    void addItem(DialItem* item);
    // Takes an item out of the drawing list; the caller destroys it. False when not listed.
    bool removeItem(DialItem* item);

    const QList<DialItem*>& items() const { return m_items; }
    // Asked for by the items whenever they change. With an interval, requests arriving faster
    // than that are gathered into one repaint per interval; without one (the default) each
    // request is passed on at once.
    void requestRepaint();
    void setRepaintInterval(int milliseconds);
    int repaintInterval() const { return m_repaintTimer.interval(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend class DialItem;
    // Called by an item that is destroyed while still listed.
    void forgetItem(DialItem* item) { m_items.removeOne(item); }

    template <typename Item>
    Item* add(float position);

    QList<DialItem*> m_items;
    QTimer m_repaintTimer;
};
