#include "view/ImageBox.h"

#include "ui_ImageBox.h"

#include <QMessageBox>
#include <QPushButton>
#include <QEvent>

ImageBox::ImageBox(const QPixmap& picture, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , ui(std::make_unique<Ui::ImageBox>())
{
    ui->setupUi(this);
    ui->imageLabel->setPixmap(
        picture.scaled(1024, 768, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    connect(ui->deleteButton, &QPushButton::clicked, this, &ImageBox::onDeleteButtonClicked);
    connect(ui->closeButton, &QPushButton::clicked, this, &ImageBox::onCloseButtonClicked);
}

ImageBox::~ImageBox() = default;

void ImageBox::onDeleteButtonClicked()
{
    QMessageBox box(this);
    box.setWindowFlags(box.windowFlags() | Qt::FramelessWindowHint);
    box.setWindowTitle(tr("Bild löschen"));
    box.setText(tr("Das Bild wird gelöscht!"));
    QPushButton* ok = box.addButton(tr("OK"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(tr("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.exec();
    if (box.clickedButton() == ok)
        emit deleteImageConfirmed();
}

void ImageBox::onCloseButtonClicked()
{
    emit closing();
    close();
}

void ImageBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
    }
    QWidget::changeEvent(event);
}
