#pragma once

#include "analysis/Verdict.h"

#include <QPair>
#include <QVector>
#include <QWidget>

class QPushButton;

#include <array>
#include <memory>

class Model;
class OsziWidget;
class QDoubleSpinBox;

namespace Ui {
class TabEvaluationSingleShot;
}

// One shot at a time with the curves of all five sensors overlaid in one plot, with the
// project's phases and markers. The range starts from the sensors' ranges in the description;
// range, grids, zoom and the per-sensor shift ("Korrektur dy") live in the plot only; the
// model is read, never written.
class TabEvaluationSingleShot : public QWidget
{
    Q_OBJECT

public:
    static constexpr int numSensors = 5;

    explicit TabEvaluationSingleShot(QWidget* parent = nullptr);
    ~TabEvaluationSingleShot() override;

    // Stores the model; the next update() shows it.
    void setModel(Model* m);
    // verdicts[i] judges shot i; shots beyond the vector have none. The shown shot's
    // verdict goes above the plot, and the curve that left its band turns red.
    void setVerdicts(const QVector<Verdict>& verdicts);
    OsziWidget* oszi() const;

public slots:
    void setOverlayChannel(int channel);
    // Shows shot index (0-based) as if chosen in its box.
    void showShot(int index);
    void update();

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void offsetChanged(double offset);

private:
    void onModel_dataAboutToChange();
    void retranslateFitZoom();
    // The plot and its range boxes take the sensors' range when the description changed it.
    void takeSensorRange();
    // The colour of sensor s's curve for the shown shot.
    QColor curveColor(int sensor) const;
    void showVerdict();

    std::unique_ptr<Ui::TabEvaluationSingleShot> ui;
    Model* model = nullptr;
    std::array<QDoubleSpinBox*, numSensors> m_offsetBoxes{};
    // The sensors' range last taken; the form's range until the first.
    QPair<double, double> m_sensorRange{-6.0, 6.0};
    QVector<Verdict> m_verdicts;
    // The shot shown, counted from 1; 0 before the first.
    int m_channel = 0;
    QPushButton* m_fitZoomButton = nullptr;
};
