#include "widgets/AboutDialog.h"

#include "app/BuildDate.h"
#include "app/Constants.h"
#include "ui_AboutDialog.h"

#include <QEvent>
#include <QPixmap>
#include <QPushButton>

namespace {

constexpr int logoHeight = 96;

} // namespace

AboutDialog::AboutDialog(const QString& hwVersion, const QString& firmwareVersion, QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::AboutDialog>())
    , m_hwVersion(hwVersion)
    , m_firmwareVersion(firmwareVersion)
{
    ui->setupUi(this);
    ui->labelLogo->setPixmap(
        QPixmap(logoPath).scaledToHeight(logoHeight, Qt::SmoothTransformation));
    retranslate();

    connect(ui->buttonUpdate, &QPushButton::clicked, this, &AboutDialog::updateClicked);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::retranslate()
{
    setWindowTitle(tr("Über %1").arg(appName));
    ui->labelVersion->setText(
        QStringLiteral("<h2>%1 %2 (%3)</h2>").arg(appName, appVersion, buildDate()));
    const QString unknown = tr("unbekannt");
    ui->labelHardware->setText(
        tr("Kalvik Hardware-Version: %1").arg(m_hwVersion.isEmpty() ? unknown : m_hwVersion));
    ui->labelFirmware->setText(tr("Kalvik Firmware-Version: %1")
                                   .arg(m_firmwareVersion.isEmpty() ? unknown : m_firmwareVersion));
    ui->labelMaker->setText(tr("%1 Messtechnik GmbH<br>Talstraße 14, 73430 Aalen, Deutschland<br>"
                               "Telefon +49 7361 5560-0, service@dornhal.de")
                                .arg(companyName));
    ui->labelNotice->setText(
        tr("Entwickelt von %1. Diese Software verwendet Qt 5 unter der LGPL v3 und die "
           "Schrift Roboto unter der Apache-Lizenz 2.0.")
            .arg(companyName));
}

void AboutDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        retranslate();
    }
    QDialog::changeEvent(event);
}
