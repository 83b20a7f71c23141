#pragma once

#include <QLabel>
#include <QPixmap>

// A label that shows a picture scaled to its size, keeping the aspect ratio, and reports
// clicks.
class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickableLabel(QWidget* parent = nullptr);
    explicit ClickableLabel(const QString& text, QWidget* parent = nullptr);

    int heightForWidth(int width) const override;
    // The width that keeps the picture's aspect ratio at the given height.
    int widthForHeight(int height) const;
    QSize sizeHint() const override;

public slots:
    void setPixmap(const QPixmap& pixmap);
    void resizeEvent(QResizeEvent* event) override;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPixmap scaledPixmap() const;

    QPixmap m_pixmap;
};
