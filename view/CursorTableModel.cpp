#include "view/CursorTableModel.h"

#include "app/CommandOutput.h"
#include "app/NumberStyle.h"

#include <cmath>

CursorTableModel::CursorTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    m_summary = CursorMath::summarize({});
}

void CursorTableModel::setValues(const QVector<double>& values, const QString& valueTitle,
                                 const QVector<int>& shots)
{
    const bool titleChanged = valueTitle != m_valueTitle;
    m_summary = CursorMath::summarize(values);
    if (values.size() != m_values.size() || shots != m_shots) {
        beginResetModel();
        m_values = values;
        m_shots = shots;
        m_valueTitle = valueTitle;
        endResetModel();
        return;
    }
    m_values = values;
    m_valueTitle = valueTitle;
    // While a cursor is dragged only the values move: one change for the whole column.
    emit dataChanged(index(0, ValueColumn), index(rowCount() - 1, ValueColumn),
                     {Qt::DisplayRole});
    if (titleChanged)
        emit headerDataChanged(Qt::Horizontal, ValueColumn, ValueColumn);
}

int CursorTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_values.size() + summaryRows;
}

int CursorTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columnCount_;
}

QString CursorTableModel::label(int row) const
{
    if (row < m_values.size())
        return QString::number(m_shots.value(row, row) + 1);
    switch (row - m_values.size()) {
    case 0: return tr("Mittelwert");
    case 1: return tr("Standardabweichung");
    case 2: return tr("Minimum");
    default: return tr("Maximum");
    }
}

double CursorTableModel::valueOf(int row) const
{
    if (row < m_values.size())
        return m_values.at(row);
    switch (row - m_values.size()) {
    case 0: return m_summary.mean;
    case 1: return m_summary.standardDeviation;
    case 2: return m_summary.minimum;
    default: return m_summary.maximum;
    }
}

QVariant CursorTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount_)
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue<int>(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return QVariant();
    if (index.column() == ShotColumn)
        return label(index.row());
    const double v = valueOf(index.row());
    return std::isnan(v) ? QStringLiteral("-") : NumberStyle::general(v);
}

QVector<QString> CursorTableModel::header() const
{
    return {tr("Schuss"), m_valueTitle};
}

QVariant CursorTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return header().value(section);
    return QVariant();
}

QString CursorTableModel::toText() const
{
    const QVector<QString> h = header();
    QString text = h.at(0) + QLatin1Char('\t') + h.at(1) + QLatin1Char('\n');
    for (int row = 0; row < rowCount(); ++row)
        text += label(row) + QLatin1Char('\t') + data(index(row, ValueColumn)).toString() +
                QLatin1Char('\n');
    return text;
}

QString CursorTableModel::toCsv() const
{
    const QVector<QString> h = header();
    QString text = CommandOutput::csvField(h.at(0)) + QLatin1Char(',') +
                   CommandOutput::csvField(h.at(1)) + QLatin1Char('\n');
    for (int row = 0; row < rowCount(); ++row) {
        const double v = valueOf(row);
        text += CommandOutput::csvField(label(row)) + QLatin1Char(',') +
                (std::isnan(v) ? QString() : QString::number(v, 'g', 17)) + QLatin1Char('\n');
    }
    return text;
}
