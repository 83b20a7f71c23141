#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class ImageBox;
}

// Shows one project picture large, with "delete" and "close".
class ImageBox : public QWidget
{
    Q_OBJECT

public:
    explicit ImageBox(const QPixmap& picture, QWidget* parent = nullptr);
    ~ImageBox() override;

signals:
    void deleteImageConfirmed();
    void closing();

private slots:
    void onDeleteButtonClicked();
    void onCloseButtonClicked();

protected:
    void changeEvent(QEvent* event) override;

private:
    std::unique_ptr<Ui::ImageBox> ui;
};
