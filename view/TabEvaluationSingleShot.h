#pragma once

#include <QPair>
#include <QWidget>

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
    OsziWidget* oszi() const;

public slots:
    void setOverlayChannel(int channel);
    void update();

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void offsetChanged(double offset);

private:
    void onModel_dataAboutToChange();
    // The plot and its range boxes take the sensors' range when the description changed it.
    void takeSensorRange();

    std::unique_ptr<Ui::TabEvaluationSingleShot> ui;
    Model* model = nullptr;
    std::array<QDoubleSpinBox*, numSensors> m_offsetBoxes{};
    // The sensors' range last taken; the form's range until the first.
    QPair<double, double> m_sensorRange{-6.0, 6.0};
};
