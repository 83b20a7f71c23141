#include "control/IPAddressDialog.h"

#include "control/DialogStyle.h"
#include "ui_IPAddressDialog.h"
#include <QEvent>

IPAddressDialog::IPAddressDialog(Model* m, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint)
    , ui(std::make_unique<Ui::IPAddressDialog>())
    , model(m)
{
    ui->setupUi(this);
    setStyleSheet(dialogButtonStyle());
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

IPAddressDialog::~IPAddressDialog() = default;

void IPAddressDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
    }
    QDialog::changeEvent(event);
}
