#include "view/TabBlackBox.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "view/BlackBoxDatesTableModel.h"
#include "view/BlackBoxFilesTableModel.h"
#include "model/Model.h"
#include "ui_TabBlackBox.h"

#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>

namespace {

// The column of the given selected rows' cells, in the order they were selected.
QStringList selectedTexts(const QTableView* table, int column)
{
    const QItemSelectionModel* selection = table->selectionModel();
    if (!selection) {
        qCWarning(lcControl) << "selectionModel==NULL!";
        return QStringList();
    }
    QStringList texts;
    const QModelIndexList rows = selection->selectedRows(column);
    for (const QModelIndex& index : rows)
        texts.append(index.data().toString());
    return texts;
}

} // namespace

TabBlackBox::TabBlackBox(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::TabBlackBox>())
    , m_datesModel(new BlackBoxDatesTableModel(this))
    , m_filesModel(new BlackBoxFilesTableModel(this))
{
    ui->setupUi(this);
    ui->datesTableView->setModel(m_datesModel);
    ui->filesTableView->setModel(m_filesModel);
    ui->datesTableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    QHeaderView* filesHeader = ui->filesTableView->horizontalHeader();
    filesHeader->setSectionResizeMode(QHeaderView::ResizeToContents);
    filesHeader->setSectionResizeMode(BlackBoxFilesTableModel::FileColumn, QHeaderView::Stretch);
    for (QTableView* table : {ui->datesTableView, ui->filesTableView})
        table->verticalHeader()->setVisible(false);

    // Colours, font and the disabled look come from the application's style; the page's
    // buttons are larger, for the workflow's four steps.
    setStyleSheet(QStringLiteral("QPushButton { padding: 4px; min-height: 72px; min-width: 150px; }"
                                 "QPushButton:pressed { background-color: ") +
                  colorGray555 + QStringLiteral("; }QLabel { color: ") + colorPrimary +
                  QStringLiteral("; font-size: 18px; }"));

    ui->buttonGetList->setEnabled(false);
    ui->buttonImportFiles->setEnabled(false);
    ui->buttonFetchBlackBoxData->setEnabled(false);

    connect(ui->buttonGetList, &QPushButton::clicked, this, &TabBlackBox::buttonGetListClicked);
    connect(ui->buttonGetLocalList, &QPushButton::clicked, this,
            &TabBlackBox::buttonGetLocalListClicked);
    connect(ui->buttonFetchBlackBoxData, &QPushButton::clicked, this,
            &TabBlackBox::buttonFetchBlackBoxDataClicked);
    connect(ui->buttonImportFiles, &QPushButton::clicked, this,
            &TabBlackBox::buttonImportFilesClicked);
}

TabBlackBox::~TabBlackBox() = default;

void TabBlackBox::setModel(const Model* m)
{
    if (model)
        disconnect(model, nullptr, this, nullptr);
    model = m;
    if (!model) {
        qCWarning(lcControl) << "ERROR: model must be set!";
        return;
    }
    connect(model, &Model::appStateChanged, this, &TabBlackBox::onModel_appStateChanged);
    onModel_appStateChanged();
}

void TabBlackBox::setBlackBoxDateList(const QStringList& names)
{
    VTRACE();
    m_dateList = names;
    m_datesModel->setFileList(names);
}

void TabBlackBox::clearFileList()
{
    VTRACE();
    m_dateList.clear();
    m_filesModel->clear();
}

void TabBlackBox::addDownloadedFile(const QString& path)
{
    addDownloadedFiles({path});
}

void TabBlackBox::addDownloadedFiles(const QStringList& paths)
{
    m_filesModel->addFiles(paths);
}

void TabBlackBox::selectFileRow(int row)
{
    QItemSelectionModel* selection = ui->filesTableView->selectionModel();
    if (!selection || row < 0 || row >= m_filesModel->rowCount())
        return;
    selection->select(m_filesModel->index(row, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QStringList TabBlackBox::getSelectedDates() const
{
    return selectedTexts(ui->datesTableView, 0);
}

QStringList TabBlackBox::getSelectedFilesToImport() const
{
    return selectedTexts(ui->filesTableView, BlackBoxFilesTableModel::FileColumn);
}

void TabBlackBox::onModel_appStateChanged()
{
    if (!model) {
        qCWarning(lcControl) << "model is NULL !!!";
        return;
    }
    if (model->isConnected()) {
        ui->buttonGetList->setEnabled(true);
    } else {
        ui->buttonGetList->setEnabled(false);
        ui->buttonFetchBlackBoxData->setEnabled(false);
    }
}

void TabBlackBox::buttonChangeDirectoryPressed()
{
    const QString directory = QFileDialog::getExistingDirectory(
        this, tr("BlackBox öffnen"), QString(), QFileDialog::ShowDirsOnly);
    qCDebug(lcControl).noquote() << "directory=" + directory << " END";
}

void TabBlackBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        m_datesModel->retranslate();
        m_filesModel->retranslate();
    }
    QWidget::changeEvent(event);
}
