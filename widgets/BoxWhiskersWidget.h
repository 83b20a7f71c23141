#pragma once

#include "charts/BoxWhiskersPainter.h"

#include <QColor>
#include <QList>
#include <QWidget>

#include <memory>

namespace Ui {
class BoxWhiskersWidget;
}

// A box-and-whisker chart of one list of numbers (BoxWhiskersPainter) in a widget: whiskers
// from minimum to maximum, the box between the quartiles, the median as a line, with the
// median, minimum and maximum written beside them. The value axis runs left to right, or
// bottom to top when vertical.
class BoxWhiskersWidget : public QWidget
{
    Q_OBJECT

public:
    explicit BoxWhiskersWidget(QWidget* parent = nullptr);
    ~BoxWhiskersWidget() override;

    // Pixel offset of value along an axis of span pixels from rangeMin to rangeMax, truncated
    // toward zero. An empty or broken range has no offsets: ok becomes false and 0 is returned.
    static int pixelOffset(double value, double rangeMin, double rangeMax, int span,
                           bool* ok = nullptr);

    void set(QList<double> values);
    // For lists taken from another chart, which are sorted already.
    void setPresorted(QList<double> values);
    const QList<double>& values() const { return m_values; }
    void setRange(double min, double max);
    double rangeMin() const { return m_rangeMin; }
    double rangeMax() const { return m_rangeMax; }
    void setMargins(int left, int right, int top, int bottom);
    int marginLeft() const { return m_style.marginLeft; }
    int marginRight() const { return m_style.marginRight; }
    int marginTop() const { return m_style.marginTop; }
    int marginBottom() const { return m_style.marginBottom; }
    void setColor(QColor color);
    QColor color() const { return m_style.boxColor; }
    void setVertical(bool vertical);
    bool isVertical() const { return m_style.vertical; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<Ui::BoxWhiskersWidget> ui;
    QList<double> m_values;
    double m_rangeMin = 0.0;
    double m_rangeMax = 100.0;
    BoxWhiskersStyle m_style;
};
