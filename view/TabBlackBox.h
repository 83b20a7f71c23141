#pragma once

#include <QStringList>
#include <QWidget>

#include <memory>

class BlackBoxDatesTableModel;
class BlackBoxFilesTableModel;
class Model;

namespace Ui {
class TabBlackBox;
}

// The black-box page: the days stored on the device on the left, the files in the staging
// folder on the right, and the four commands of the workflow, which it only forwards.
class TabBlackBox : public QWidget
{
    Q_OBJECT

public:
    explicit TabBlackBox(QWidget* parent = nullptr);
    ~TabBlackBox() override;

    void setModel(const Model* model);
    void setBlackBoxDateList(const QStringList& names);
    void addDownloadedFile(const QString& path);
    void addDownloadedFiles(const QStringList& paths);
    // Adds a row to the files selected for import.
    void selectFileRow(int row);
    QStringList getSelectedDates() const;
    QStringList getSelectedFilesToImport() const;

    Ui::TabBlackBox* form() const { return ui.get(); }
    BlackBoxDatesTableModel* datesModel() const { return m_datesModel; }
    BlackBoxFilesTableModel* filesModel() const { return m_filesModel; }

signals:
    void buttonGetListClicked();
    void buttonGetLocalListClicked();
    void buttonFetchBlackBoxDataClicked();
    void buttonImportFilesClicked();

public slots:
    void onModel_appStateChanged();
    void clearFileList();

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void buttonChangeDirectoryPressed();

private:
    std::unique_ptr<Ui::TabBlackBox> ui;
    const Model* model = nullptr;
    QStringList m_dateList;
    BlackBoxDatesTableModel* m_datesModel;
    BlackBoxFilesTableModel* m_filesModel;
};
