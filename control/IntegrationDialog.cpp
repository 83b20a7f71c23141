#include "control/IntegrationDialog.h"

#include "control/DialogStyle.h"
#include "ui_IntegrationDialog.h"
#include <QEvent>

IntegrationDialog::IntegrationDialog(Model* m, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint)
    , ui(std::make_unique<Ui::IntegrationDialog>())
    , model(m)
{
    ui->setupUi(this);
    setStyleSheet(dialogButtonStyle());
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

IntegrationDialog::~IntegrationDialog() = default;

void IntegrationDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
    }
    QDialog::changeEvent(event);
}
