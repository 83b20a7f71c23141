#include "view/OsziPicture.h"

#include <QFontMetrics>
#include <QPainter>
#include <QtMath>

#include <algorithm>

namespace OsziPicture {

namespace {

constexpr int titleMargin = 4;

QSize logicalSize(const QImage& image)
{
    const qreal ratio = image.devicePixelRatio() > 0 ? image.devicePixelRatio() : 1.0;
    return QSize(qRound(image.width() / ratio), qRound(image.height() / ratio));
}

} // namespace

QVector<QSize> plotSizes(const QVector<QSize>& current, const QVector<bool>& shown,
                         const QSize& fallback)
{
    QSize reference = fallback;
    for (int i = 0; i < current.size() && i < shown.size(); ++i) {
        if (shown.at(i) && !current.at(i).isEmpty()) {
            reference = current.at(i);
            break;
        }
    }
    QVector<QSize> sizes;
    sizes.reserve(current.size());
    for (int i = 0; i < current.size(); ++i) {
        const bool keep = shown.value(i) && !current.at(i).isEmpty();
        sizes.append(keep ? current.at(i) : reference);
    }
    return sizes;
}

int titleHeight(const QFont& font)
{
    return QFontMetrics(font).height() + 2 * titleMargin;
}

QImage compose(const QVector<Plot>& plots, const QFont& font, const QColor& titleColor)
{
    const int rowHeight = titleHeight(font);
    int width = 0;
    int height = 0;
    qreal ratio = 1.0;
    for (const Plot& plot : plots) {
        const QSize size = logicalSize(plot.image);
        width = std::max(width, size.width());
        height += rowHeight + size.height();
        ratio = std::max(ratio, plot.image.devicePixelRatio());
    }
    if (width <= 0 || height <= 0)
        return QImage();

    QImage picture(QSize(qCeil(width * ratio), qCeil(height * ratio)), QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setFont(font);
    painter.setPen(titleColor);
    int y = 0;
    for (const Plot& plot : plots) {
        painter.drawText(QRect(titleMargin, y, width - 2 * titleMargin, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, plot.title);
        y += rowHeight;
        if (!plot.image.isNull())
            painter.drawImage(QPoint(0, y), plot.image);
        y += logicalSize(plot.image).height();
    }
    return picture;
}

} // namespace OsziPicture
