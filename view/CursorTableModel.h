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

    // The values per shot and the value column's title (quantity and unit). Values for the
    // same shots only change the cells; another number of shots resets the rows.
    void setValues(const QVector<double>& values, const QString& valueTitle);
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
    CursorMath::Summary m_summary{0, 0, 0, 0, 0};
    QString m_valueTitle;
};
