#include "widgets/BoxWhiskersWidget.h"

#include "ui_BoxWhiskersWidget.h"

#include <QPainter>

#include <algorithm>

BoxWhiskersWidget::BoxWhiskersWidget(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::BoxWhiskersWidget>())
{
    ui->setupUi(this);
}

BoxWhiskersWidget::~BoxWhiskersWidget() = default;

int BoxWhiskersWidget::pixelOffset(double value, double rangeMin, double rangeMax, int span,
                                   bool* ok)
{
    return BoxWhiskersPainter::pixelOffset(value, rangeMin, rangeMax, span, ok);
}

void BoxWhiskersWidget::set(QList<double> values)
{
    std::sort(values.begin(), values.end());
    m_values = std::move(values);
    update();
}

void BoxWhiskersWidget::setPresorted(QList<double> values)
{
    m_values = std::move(values);
    update();
}

void BoxWhiskersWidget::setRange(double min, double max)
{
    m_rangeMin = min;
    m_rangeMax = max;
    update();
}

void BoxWhiskersWidget::setMargins(int left, int right, int top, int bottom)
{
    m_style.marginLeft = left;
    m_style.marginRight = right;
    m_style.marginTop = top;
    m_style.marginBottom = bottom;
    update();
}

void BoxWhiskersWidget::setColor(QColor color)
{
    m_style.boxColor = color;
    update();
}

void BoxWhiskersWidget::setVertical(bool vertical)
{
    m_style.vertical = vertical;
    update();
}

void BoxWhiskersWidget::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter p(this);
    BoxWhiskersPainter::paint(p, rect(), m_values, m_rangeMin, m_rangeMax, m_style);
}
