#include "widgets/ClickableLabel.h"

#include <QResizeEvent>

ClickableLabel::ClickableLabel(QWidget* parent)
    : ClickableLabel(QString(), parent)
{
}

ClickableLabel::ClickableLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setMinimumSize(1, 1);
    setScaledContents(false);
}

int ClickableLabel::heightForWidth(int width) const
{
    if (m_pixmap.isNull() || m_pixmap.width() == 0)
        return QLabel::heightForWidth(width);
    return static_cast<int>(static_cast<qreal>(m_pixmap.height()) * width / m_pixmap.width());
}

int ClickableLabel::widthForHeight(int height) const
{
    if (m_pixmap.isNull() || m_pixmap.height() == 0)
        return width();
    return static_cast<int>(static_cast<qreal>(m_pixmap.width()) * height / m_pixmap.height());
}

QSize ClickableLabel::sizeHint() const
{
    if (m_pixmap.isNull())
        return QLabel::sizeHint();
    const int h = height();
    return QSize(widthForHeight(h), h);
}

void ClickableLabel::setPixmap(const QPixmap& pixmap)
{
    m_pixmap = pixmap;
    QLabel::setPixmap(scaledPixmap());
}

void ClickableLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    if (!m_pixmap.isNull())
        QLabel::setPixmap(scaledPixmap());
}

void ClickableLabel::mousePressEvent(QMouseEvent* event)
{
    Q_UNUSED(event)
    emit clicked();
}

QPixmap ClickableLabel::scaledPixmap() const
{
    if (m_pixmap.isNull())
        return m_pixmap;
    return m_pixmap.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
