#include "view/BlackBoxDatesTableModel.h"

#include "app/Logging.h"
#include "control/BlackBoxStaging.h"

BlackBoxDatesTableModel::BlackBoxDatesTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int BlackBoxDatesTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_dates.size();
}

int BlackBoxDatesTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant BlackBoxDatesTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return QVariant();
    const int row = index.row();
    if (index.column() == 0)
        return row < m_dates.size() ? m_dates.at(row) : tr("Fehler");
    if (index.column() == 1)
        return row < m_counts.size() ? QString::number(m_counts.at(row)) : QStringLiteral("-");
    return QVariant();
}

QVariant BlackBoxDatesTableModel::headerData(int section, Qt::Orientation orientation,
                                             int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QVariant();
    switch (section) {
    case 0:
        return tr("Datum");
    case 1:
        return tr("Anzahl Messungen");
    default:
        return QVariant();
    }
}

void BlackBoxDatesTableModel::setFileList(const QStringList& names)
{
    VTRACE();
    beginResetModel();
    m_dates.clear();
    m_counts.clear();
    for (const QString& name : names) {
        const QString date = BlackBoxStaging::dateOfPath(name);
        const int row = m_dates.indexOf(date);
        if (row < 0) {
            m_dates.append(date);
            m_counts.append(1);
        } else {
            ++m_counts[row];
        }
    }
    endResetModel();
}

void BlackBoxDatesTableModel::retranslate()
{
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}
