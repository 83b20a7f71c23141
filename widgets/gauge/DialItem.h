#pragma once

#include <QColor>
#include <QObject>
#include <QRectF>

class DialWidget;
class QPainter;

// One drawing layer of a round gauge. The gauge owns its items (they are its children) and
// draws them in the order they were added.
class DialItem : public QObject
{
    Q_OBJECT

public:
    explicit DialItem(DialWidget* dial, float position = 50);
    // An item destroyed while still listed takes itself out of its gauge's list.
    ~DialItem() override;

    DialWidget* dial() const;

    // Radius in percent of the square's half side, kept within 0 ... 100.
    float position() const { return m_position; }
    void setPosition(float position);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);

    // The largest square centred in the gauge, as of the last paint.
    QRectF square() const { return m_square; }

    // Takes the square from the gauge's present size and paints the item.
    void draw(QPainter& painter);

protected:
    virtual void paint(QPainter& painter) = 0;
    // This item's circle, as its bounding square.
    QRectF circle() const;
    void requestRepaint();

private:
    QRectF m_square;
    float m_position = 50;
    QColor m_color = Qt::black;
};
