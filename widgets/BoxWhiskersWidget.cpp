#include "widgets/BoxWhiskersWidget.h"

#include "app/Constants.h"
#include "ui_BoxWhiskersWidget.h"
#include "charts/FiveNumberSummary.h"
#include "app/NumberStyle.h"

#include <QPainter>
#include <QStaticText>

#include <algorithm>
#include <cmath>

namespace {

// Far outside any screen, yet safe to convert to int.
constexpr double farOffset = 1.0e7;

QString label(double value)
{
    return NumberStyle::general(value);
}

} // namespace

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
    const double width = rangeMax - rangeMin;
    const bool usable = std::isfinite(width) && width != 0.0;
    if (ok)
        *ok = usable;
    if (!usable)
        return 0;
    const double px = (value - rangeMin) * span / width;
    if (std::isnan(px))
        return 0;
    return static_cast<int>(std::clamp(px, -farOffset, farOffset));
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
    m_marginLeft = left;
    m_marginRight = right;
    m_marginTop = top;
    m_marginBottom = bottom;
    update();
}

void BoxWhiskersWidget::setColor(QColor color)
{
    m_boxColor = color;
    update();
}

void BoxWhiskersWidget::setVertical(bool vertical)
{
    m_vertical = vertical;
    update();
}

void BoxWhiskersWidget::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter p(this);
    const int w = width();
    const int h = height();
    p.fillRect(QRect(QPoint(m_marginLeft, m_marginTop),
                     QPoint(w - m_marginRight - 2, h - m_marginBottom - 2)),
               qColorGrayEEE);
    bool ok = false;
    pixelOffset(0.0, m_rangeMin, m_rangeMax, 1, &ok);
    // An empty range (no shots yet) has no positions: the frame alone.
    if (!ok)
        return;
    if (m_vertical)
        paintVertical(p);
    else
        paintHorizontal(p);
}

void BoxWhiskersWidget::paintHorizontal(QPainter& p)
{
    const int W = width(), H = height();
    const int L = m_marginLeft, R = m_marginRight, T = m_marginTop, B = m_marginBottom;
    const int span = W - L - R;
    auto px = [&](double v) { return pixelOffset(v, m_rangeMin, m_rangeMax, span); };
    const FiveNumberSummary f = FiveNumberSummary::ofSorted(m_values);

    p.setPen(QPen(Qt::black, 2));
    const int xMin = L + px(f.minimum);
    const int xMax = L + px(f.maximum);
    int leftEnd = L;
    int rightEnd = W - 1 - R;
    if (xMin >= L) {
        p.drawLine(xMin, T + 4, xMin, H - B - 5);
        leftEnd = xMin;
    }
    if (xMax < W - 1 - R) {
        p.drawLine(xMax, T + 4, xMax, H - B - 5);
        rightEnd = xMax;
    }
    const int yC = T + (H - B - 1 - T) / 2;
    p.drawLine(leftEnd, yC, rightEnd, yC);

    const QPoint boxTopLeft(L + px(f.lowerQuartile), T);
    const QPoint boxBottomRight(L + px(f.upperQuartile) - 1, H - B - 3);
    p.fillRect(QRect(boxTopLeft, boxBottomRight), m_boxColor);
    p.setPen(QPen(Qt::black, 1));
    if (boxBottomRight.x() >= boxTopLeft.x())
        p.drawRect(QRect(boxTopLeft, boxBottomRight - QPoint(1, 1)));

    p.setPen(QPen(Qt::black, 2));
    const int xMed = L + px(f.median);
    p.drawLine(xMed, T + 1, xMed, H - B - 2);

    const int yText = H - B - 1;
    p.drawStaticText(xMed - 20, yText, QStaticText(label(f.median)));
    p.drawStaticText(leftEnd - 20, yText, QStaticText(label(f.minimum)));
    p.drawStaticText(rightEnd - 20, yText, QStaticText(label(f.maximum)));
}

void BoxWhiskersWidget::paintVertical(QPainter& p)
{
    const int W = width(), H = height();
    const int L = m_marginLeft, R = m_marginRight, T = m_marginTop, B = m_marginBottom;
    const int span = H - T - B;
    const int base = H - 1 - B;
    auto y = [&](double v) { return base - pixelOffset(v, m_rangeMin, m_rangeMax, span); };
    const FiveNumberSummary f = FiveNumberSummary::ofSorted(m_values);

    p.setPen(QPen(Qt::black, 2));
    int bottomEnd = base;
    int topEnd = T;
    const int yMin = y(f.minimum);
    const int yMax = y(f.maximum);
    if (yMin <= base) {
        p.drawLine(L + 4, yMin, W - R - 5, yMin);
        bottomEnd = yMin;
    }
    if (yMax >= T) {
        p.drawLine(L + 4, yMax, W - R - 5, yMax);
        topEnd = yMax;
    }
    const int xC = L + (W - R - 1 - L) / 2;
    p.drawLine(xC, bottomEnd, xC, topEnd);

    const QRect box(QPoint(L, y(f.upperQuartile) - 1), QPoint(W - R - 3, y(f.lowerQuartile)));
    p.fillRect(box, m_boxColor);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(box.adjusted(0, 0, -1, -1));

    p.setPen(QPen(Qt::black, 2));
    const int yMed = y(f.median);
    p.drawLine(L + 1, yMed, W - R - 2, yMed);

    const int xText = W - R - 1;
    p.drawStaticText(xText, yMed - 10, QStaticText(label(f.median)));
    p.drawStaticText(xText, bottomEnd - yMed < 13 ? yMed + 3 : bottomEnd - 10,
                     QStaticText(label(f.minimum)));
    p.drawStaticText(xText, yMed - topEnd > 12 ? topEnd - 10 : yMed - 23,
                     QStaticText(label(f.maximum)));
}
