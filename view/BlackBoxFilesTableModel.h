#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

// The black-box files in the staging folder that the user may import: one row per file,
// named by its day folder and file name, with the shot's date and time read from fixed
// positions of that path.
class BlackBoxFilesTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        DateColumn = 0,
        TimeColumn,
        FileColumn,
        DownloadedColumn,
        ColumnCount
    };

    explicit BlackBoxFilesTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Appends rows for relative paths (day folder, "/", file name), in one insertion.
    void addFiles(const QStringList& paths);
    void clear();
    // The first row whose path contains text, or -1.
    int rowOf(const QString& text) const;
    QString path(int row) const;
    // The "DL" cell shows whether the file came from the device in this session.
    void setDownloaded(int row, bool downloaded);
    bool isDownloaded(int row) const;
    // A second mark per row, shown in the "DL" cell's change only; nothing sets it yet.
    void setMarked(int row, bool marked);
    void retranslate();

private:
    bool isRow(int row) const { return row >= 0 && row < m_paths.size(); }
    void setFlag(QVector<bool>& flags, int row, bool value);

    QStringList m_paths;
    QStringList m_dates;
    QStringList m_times;
    QVector<bool> m_downloaded;
    QVector<bool> m_marked;
};
