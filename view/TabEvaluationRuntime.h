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
class QModelIndex;
class QRadioButton;

namespace Ui {
class TabEvaluationRuntime;
}

// The runtime of a movement for one sensor: in every shot, when the offset-corrected curve
// first falls below the start value and when it last lies below the stop value. A table row
// per shot, and the start times, durations and stop times as three charts with their
// five-number summaries. Times follow the model's sample period. The thresholds belong to
// the page; nothing is written to the model. Thresholds the user entered stay while the
// project is open; the others follow the data.
class TabEvaluationRuntime : public QWidget
{
    Q_OBJECT

public:
    static constexpr int numSensors = 5;
    // The verdict column comes after the columns that were there before it.
    static constexpr int verdictColumn = 7;

    explicit TabEvaluationRuntime(QWidget* parent = nullptr);
    ~TabEvaluationRuntime() override;

    void setModel(Model* m);
    // verdicts[i] judges shot i; shots beyond the vector have none. Refreshes the verdict
    // column and the curves' colours only; the runtimes stay as computed.
    void setVerdicts(const QVector<Verdict>& verdicts);
    int currentSensor() const;
    // The start and stop thresholds of a sensor (0 to 4) the runtimes are found with.
    double startValue(int sensor) const { return startValues.at(static_cast<size_t>(sensor)); }
    double stopValue(int sensor) const { return stopValues.at(static_cast<size_t>(sensor)); }
    // The thresholds the user set for sensor on this page for m's project; none while the
    // page takes them from the data.
    std::optional<std::pair<double, double>> userThresholds(const Model& m, int sensor) const;
    // 0 start, 1 duration, 2 stop.
    BoxWhiskersWidget* chart(int index) const;

signals:
    // The table and charts were computed anew.
    void tableChanged();

public slots:
    void update();
    void updateOszi();
    void updateTable();
    void onSensorButtonToggled();
    void onStartStopSpinBoxChanged();
    void onCurrentRowChanged(const QModelIndex& selection, const QModelIndex& previous);

protected:
    void changeEvent(QEvent* event) override;

private:
    // What a table was computed from; the same inputs give the same table.
    struct TableKey
    {
        const Model* model = nullptr;
        quint64 changeCount = 0;
        quint64 revision = 0;
        int sensor = -1;
        double start = 0.0;
        double stop = 0.0;
        double offset = 0.0;
        int clock = 0;
        bool operator==(const TableKey& o) const;
    };

    void onModel_dataAboutToChange();
    void updateVerdictColumn();
    void setStatisticsLabels();
    void setHeaderLabels();

    std::unique_ptr<Ui::TabEvaluationRuntime> ui;
    Model* model = nullptr;
    QList<double> startTimes;
    QList<double> durations;
    QList<double> stopTimes;
    std::array<double, numSensors> startValues{};
    std::array<double, numSensors> stopValues{};
    std::array<QRadioButton*, numSensors> m_sensorButtons{};
    // Sensors whose thresholds the user entered, for the project of this generation.
    std::array<bool, numSensors> m_userThresholds{};
    quint64 m_projectGeneration = 0;
    // What the two threshold boxes were given, to tell an edit from leaving a box.
    QPair<double, double> m_shownThresholds;

    TableKey m_tableKey;
    bool m_tableValid = false;
    // The shots the table has rows for.
    int m_tableShots = 0;
    QVector<Verdict> m_verdicts;
    // Overall extremes of the raw samples per sensor, for the thresholds, as of these counts.
    std::array<double, numSensors> m_overallMin{};
    std::array<double, numSensors> m_overallMax{};
    TableKey m_extremaKey;
    bool m_extremaValid = false;
};
