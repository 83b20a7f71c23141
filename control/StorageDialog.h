#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QSpinBox;

// Where shots are kept beside the project files: how long the journal keeps saved or
// discarded shots, and the plant archive's server and this station's name there.
class StorageDialog : public QDialog
{
    Q_OBJECT

public:
    // archiveFromEnvironment: the server is given by the environment, which wins; the field
    // is shown but not used.
    StorageDialog(int journalDays, const QString& archive, const QString& station,
                  const QString& hostName, bool archiveFromEnvironment, QWidget* parent = nullptr);

    int journalDays() const;
    QString archive() const;
    QString station() const;

private:
    QSpinBox* m_days = nullptr;
    QLineEdit* m_archive = nullptr;
    QLineEdit* m_station = nullptr;
};
