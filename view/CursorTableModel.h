#pragma once

#include "analysis/CursorMath.h"

#include <QAbstractTableModel>
#include <QVector>

// The cursor table: one row per shot (its number from 1 and the value of the chosen
// quantity), then four rows summarizing them: mean, standard deviation, minimum, maximum.
// Holds plain values; the window computes them and hands them over.
class CursorTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        ShotColumn,
        ValueColumn,
        columnCount_
    };
    static constexpr int summaryRows = 4;

    explicit CursorTableModel(QObject* parent = nullptr);

    // The values per row and the value column's title (quantity and unit); shots names the
    // shot (from 0) of each row, every shot in order when empty. Values for the same shots
    // only change the cells; other shots reset the rows.
    void setValues(const QVector<double>& values, const QString& valueTitle,
                   const QVector<int>& shots = {});
    const QVector<double>& values() const { return m_values; }
    const CursorMath::Summary& summary() const { return m_summary; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The table as shown, tab-separated with the user's decimal mark, for the clipboard.
    QString toText() const;
    // The table with a point as decimal mark and commas between fields; no value is empty.
    QString toCsv() const;

private:
    // The summary row's label, or the shot number, and the value, as text.
    QString label(int row) const;
    double valueOf(int row) const;
    QVector<QString> header() const;

    QVector<double> m_values;
    QVector<int> m_shots;
    CursorMath::Summary m_summary{0, 0, 0, 0, 0};
    QString m_valueTitle;
};
