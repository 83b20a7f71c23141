#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

// The days stored on the device, from its "list" reply: one row per day with the number of
// entries the reply named for it.
class BlackBoxDatesTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit BlackBoxDatesTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Replaces the rows by the days of the given day folder names; names of one day are
    // counted together.
    void setFileList(const QStringList& names);
    // The header texts follow the language.
    void retranslate();

private:
    QStringList m_dates;
    QVector<int> m_counts;
};
