#include "control/IPAddressDialog.h"

#include "control/DialogStyle.h"
#include "device/DeviceAddress.h"
#include "ui_IPAddressDialog.h"

#include <QEvent>
#include <QPushButton>

IPAddressDialog::IPAddressDialog(Model* m, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint)
    , ui(std::make_unique<Ui::IPAddressDialog>())
    , model(m)
{
    ui->setupUi(this);
    setStyleSheet(dialogButtonStyle());
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ui->editIPAddress, &QLineEdit::textChanged, this, &IPAddressDialog::onTextChanged);
    onTextChanged();
}

IPAddressDialog::~IPAddressDialog() = default;

QString IPAddressDialog::address() const
{
    return ui->editIPAddress->text().trimmed();
}

void IPAddressDialog::onTextChanged()
{
    const bool valid = isDeviceAddressText(address());
    if (QPushButton* ok = ui->buttonBox->button(QDialogButtonBox::Ok))
        ok->setEnabled(valid);
    if (valid || address().isEmpty())
        ui->labelInvalid->clear();
}

void IPAddressDialog::accept()
{
    if (!isDeviceAddressText(address())) {
        ui->labelInvalid->setText(tr("Bitte eine IPv4-Adresse (z. B. 192.168.1.20) oder einen "
                                     "Rechnernamen eingeben."));
        return;
    }
    QDialog::accept();
}

void IPAddressDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        const QString note = ui->labelInvalid->text();
        ui->retranslateUi(this);
        if (!note.isEmpty())
            ui->labelInvalid->setText(tr("Bitte eine IPv4-Adresse (z. B. 192.168.1.20) oder "
                                         "einen Rechnernamen eingeben."));
    }
    QDialog::changeEvent(event);
}
