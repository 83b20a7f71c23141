#include "control/StorageDialog.h"

#include "control/DialogStyle.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

StorageDialog::StorageDialog(int journalDays, const QString& archive, const QString& station,
                             const QString& hostName, bool archiveFromEnvironment, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("storageDialog"));
    setWindowTitle(tr("Einstellungen"));
    setStyleSheet(dialogButtonStyle());
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_days = new QSpinBox(this);
    m_days->setObjectName(QStringLiteral("journalDaysBox"));
    m_days->setRange(1, 3650);
    m_days->setValue(journalDays);
    m_days->setSuffix(tr(" Tage"));
    form->addRow(tr("Gespeicherte Messungen im Journal behalten:"), m_days);
    m_archive = new QLineEdit(archive, this);
    m_archive->setObjectName(QStringLiteral("archiveEdit"));
    m_archive->setPlaceholderText(QStringLiteral("host=archiv port=5432 dbname=anlage user=ventaro"));
    m_archive->setMinimumWidth(420);
    form->addRow(tr("Anlagenarchiv (PostgreSQL):"), m_archive);
    m_station = new QLineEdit(station, this);
    m_station->setObjectName(QStringLiteral("stationEdit"));
    m_station->setPlaceholderText(hostName);
    form->addRow(tr("Name dieser Station:"), m_station);
    layout->addLayout(form);
    auto* note = new QLabel(tr("Leer: kein Anlagenarchiv. Messungen warten im Journal, solange "
                               "der Server nicht erreichbar ist."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    if (archiveFromEnvironment) {
        m_archive->setEnabled(false);
        auto* environment =
            new QLabel(tr("Das Archiv ist durch VENTARO_ARCHIVE vorgegeben."), this);
        environment->setWordWrap(true);
        layout->addWidget(environment);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

int StorageDialog::journalDays() const
{
    return m_days->value();
}

QString StorageDialog::archive() const
{
    return m_archive->text().trimmed();
}

QString StorageDialog::station() const
{
    return m_station->text().trimmed();
}
