#pragma once

#include "analysis/Verdict.h"

#include <QList>
#include <QPair>
#include <QVector>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <utility>

class BoxWhiskersWidget;
class Model;
class QLabel;
class QModelIndex;
class QRadioButton;

namespace Ui {
class TabEvaluationValues;
}

// Every shot's largest offset-corrected value between two time markers, per sensor: a table
// row per shot, a column per sensor, and a vertical chart with its five-number summary per
// sensor. The markers follow the project's first and fourth marker until the user enters
// markers of the page's own, which stay while the project is open; nothing is written to the
// model.
class TabEvaluationValues : public QWidget
{
    Q_OBJECT

public:
    static constexpr int numSensors = 5;
    // The verdict column comes after the columns that were there before it.
    static constexpr int verdictColumn = numSensors + 1;

    explicit TabEvaluationValues(QWidget* parent = nullptr);
    ~TabEvaluationValues() override;

    void setModel(Model* m);
    // verdicts[i] judges shot i; shots beyond the vector have none. Refreshes the verdict
    // column and the curves' colours only; the maxima stay as computed.
    void setVerdicts(const QVector<Verdict>& verdicts);
    int currentSensor() const;
    // The markers the maxima are taken between, in ms.
    int markerLeftMs() const { return markerLeft; }
    int markerRightMs() const { return markerRight; }
    // The markers the user set on this page for m's project; none while they follow the
    // project's own.
    std::optional<std::pair<int, int>> userMarkers(const Model& m) const;
    int leftMarker() const { return markerLeft; }
    int rightMarker() const { return markerRight; }
    BoxWhiskersWidget* chart(int sensor) const;
    const QList<double>& maxima(int sensor) const
    {
        return sensorMaxima.at(static_cast<size_t>(sensor));
    }

signals:
    // The table and charts were computed anew.
    void tableChanged();

public slots:
    void update();
    void updateOszi();
    void updateTable();
    void onSensorButtonToggled();
    void onMarkerSpinBoxChanged();
    void onCurrentRowChanged(const QModelIndex& selection, const QModelIndex& previous);

protected:
    void changeEvent(QEvent* event) override;

private:
    struct TableKey
    {
        const Model* model = nullptr;
        quint64 changeCount = 0;
        quint64 revision = 0;
        int left = 0;
        int right = 0;
        int clock = 0;
        std::array<double, numSensors> offsets{};
        bool operator==(const TableKey& o) const;
    };

    void onModel_dataAboutToChange();
    void updateVerdictColumn();
    void setStatisticsLabels();
    void setHeaderLabels();

    std::unique_ptr<Ui::TabEvaluationValues> ui;
    Model* model = nullptr;
    std::array<QList<double>, numSensors> sensorMaxima;
    int markerLeft = 0;
    int markerRight = 0;
    // The user entered the markers, for the project of this generation.
    bool m_userMarkers = false;
    // What the two marker boxes were given, to tell an edit from leaving a box.
    QPair<double, double> m_shownMarkers;
    quint64 m_projectGeneration = 0;
    std::array<QRadioButton*, numSensors> m_sensorButtons{};
    std::array<QLabel*, numSensors> m_sensorLabels{};
    std::array<BoxWhiskersWidget*, numSensors> m_charts{};
    std::array<std::array<QLabel*, 5>, numSensors> m_statLabels{};

    TableKey m_tableKey;
    bool m_tableValid = false;
    // The shots the table has rows for.
    int m_tableShots = 0;
    QVector<Verdict> m_verdicts;
};
