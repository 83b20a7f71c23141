#include "view/BlackBoxFilesTableModel.h"

#include "control/BlackBoxStaging.h"

BlackBoxFilesTableModel::BlackBoxFilesTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int BlackBoxFilesTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_paths.size();
}

int BlackBoxFilesTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BlackBoxFilesTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return QVariant();
    const int row = index.row();
    if (!isRow(row))
        return tr("Fehler");
    switch (index.column()) {
    case DateColumn:
        return m_dates.at(row);
    case TimeColumn:
        return m_times.at(row);
    case FileColumn:
        return m_paths.at(row);
    case DownloadedColumn:
        return m_downloaded.at(row) ? QStringLiteral("OK") : QStringLiteral("-");
    default:
        return QVariant();
    }
}

QVariant BlackBoxFilesTableModel::headerData(int section, Qt::Orientation orientation,
                                             int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QVariant();
    switch (section) {
    case DateColumn:
        return tr("Datum");
    case TimeColumn:
        return tr("Uhrzeit");
    case FileColumn:
        return tr("Datei");
    case DownloadedColumn:
        return tr("DL");
    default:
        return QVariant();
    }
}

void BlackBoxFilesTableModel::addFiles(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    beginInsertRows(QModelIndex(), m_paths.size(), m_paths.size() + paths.size() - 1);
    for (const QString& path : paths) {
        m_paths.append(path);
        // The day folder's date at characters 4 to 11, the shot's time at 27 to 32.
        m_dates.append(BlackBoxStaging::dateOfPath(path));
        m_times.append(path.mid(27, 2) + QLatin1Char(':') + path.mid(29, 2) + QLatin1Char(':') +
                       path.mid(31, 2));
        m_downloaded.append(false);
        m_marked.append(false);
    }
    endInsertRows();
}

void BlackBoxFilesTableModel::clear()
{
    beginResetModel();
    m_paths.clear();
    m_dates.clear();
    m_times.clear();
    m_downloaded.clear();
    m_marked.clear();
    endResetModel();
}

int BlackBoxFilesTableModel::rowOf(const QString& text) const
{
    for (int row = 0; row < m_paths.size(); ++row) {
        if (m_paths.at(row).contains(text))
            return row;
    }
    return -1;
}

QString BlackBoxFilesTableModel::path(int row) const
{
    return isRow(row) ? m_paths.at(row) : QString();
}

void BlackBoxFilesTableModel::setDownloaded(int row, bool downloaded)
{
    setFlag(m_downloaded, row, downloaded);
}

bool BlackBoxFilesTableModel::isDownloaded(int row) const
{
    return isRow(row) && m_downloaded.at(row);
}

void BlackBoxFilesTableModel::setMarked(int row, bool marked)
{
    setFlag(m_marked, row, marked);
}

void BlackBoxFilesTableModel::setFlag(QVector<bool>& flags, int row, bool value)
{
    if (!isRow(row))
        return;
    flags[row] = value;
    // Both flags are reported through the "DL" cell.
    const QModelIndex cell = index(row, DownloadedColumn);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void BlackBoxFilesTableModel::retranslate()
{
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}
