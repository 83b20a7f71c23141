#pragma once

#include "view/CursorTableModel.h"

#include <QTimer>
#include <QWidget>

#include <optional>
#include <utility>

class Model;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

// The cursor table as a window of its own beside the oscilloscope page: the chosen quantity
// of the chosen sensor for every shot, with mean, standard deviation, minimum and maximum.
// It follows the cursors while they are dragged and the shots as they come and go, at most
// once a frame; it keeps only values, never pointers to the model's samples.
class CursorTableWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CursorTableWindow(Model* model, QWidget* parent = nullptr);

    CursorTableModel* tableModel() { return &m_table; }
    // The cursors in ms (A, B), or none while they are switched off.
    void setCursors(std::optional<std::pair<double, double>> cursors);
    // The shots (from 0) the oscilloscope shows; none means every shot. The table lists and
    // summarizes only these.
    void setShownShots(const std::optional<QVector<int>>& shots);
    // Computes the table now, whatever is pending.
    void recompute();
    // Writes the table as CSV; false when the file could not be written (nothing replaced).
    bool writeCsv(const QString& path) const;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void onModelDataChanged();
    void fillChoices();
    void retranslate();
    void schedule(int delayMs);
    void copyToClipboard();
    void exportCsv();

    Model* m_model = nullptr;
    CursorTableModel m_table;
    std::optional<std::pair<double, double>> m_cursors;
    std::optional<QVector<int>> m_shownShots;
    quint64 m_revision = 0;
    QTimer m_refresh;

    QLabel* m_sensorLabel = nullptr;
    QComboBox* m_sensorBox = nullptr;
    QLabel* m_quantityLabel = nullptr;
    QComboBox* m_quantityBox = nullptr;
    QLabel* m_hint = nullptr;
    QTableView* m_view = nullptr;
    QPushButton* m_copyButton = nullptr;
    QPushButton* m_csvButton = nullptr;
};
