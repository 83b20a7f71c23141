#pragma once

#include "analysis/Verdict.h"
#include "model/SensorDescription.h"

#include <QPointer>
#include <QTimer>
#include <QVector>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <utility>

class CursorTableWindow;
class Model;
class OsziWidget;
class QAbstractButton;
class QDoubleSpinBox;
class GapBar;
class QLabel;
class QPushButton;
struct ViewData;

namespace Ui {
class TabOszilloscope;
}

// The oscilloscope page: the shots of the five sensors of group 0 in five stacked plots
// over a common time axis, with markers, per-sensor ranges, grids and offsets, the choice
// of displayed and highlighted shots, deletion, alignment at a marker and a lock.
//
// The model drives the page through its signals; what the user changes in the project goes
// out as signals to the controller. The plots point to the model's sample lists: the page
// empties them when the model announces that lists are about to be freed and fills them
// again on the next dataChanged.
class TabOszilloscope : public QWidget
{
    Q_OBJECT

public:
    static constexpr int numSensors = 5;
    static constexpr int numMarkers = 4;

    explicit TabOszilloscope(QWidget* parent = nullptr);
    ~TabOszilloscope() override;

    void setModel(Model* model);

    void setCheckBoxMarkerAbsolute(bool absolute);
    void setCurrentSensorRange(int group, int sensor, double min, double max);
    void setMaximumSensorRange(int group, int sensor, double min, double max);
    // A sensor whose range changed (a description that came late, another device): its
    // plot and boxes take the new range whole, wider or narrower.
    void takeSensorRange(int sensor, double min, double max);
    void setLocked(bool locked);
    // The button beside "Löschen" that takes the last deletion back.
    void setUndoDeleteAvailable(bool available);
    // The least height of a plot: at 1366 x 768 all five are shown without scrolling.
    static constexpr int minimumPlotHeight = 60;
    // Zooms the longest shown shot to the plots' width, from its start.
    void fitZoom();
    // The sample period from the device, with the time grid to start from.
    void setClock(int clock, int clockGrid);
    void setSensorName(int group, int sensor, QString name);
    void setPhaseName(int phase, QString name);

    // The start of a live shot: curve slot i of the plot of sensor k shows the model's shot
    // i of that sensor for i = 0 to currentSeries[0], and each plot highlights the shot
    // currentSeries[k] of its sensor.
    void startShot(const QVector<int>& currentSeries);
    // Marker mode, per-sensor value ranges and lock state of an opened project.
    void setViewData(const ViewData& data, bool locked);

    // Widgets that the main window wires to its own handlers.
    OsziWidget* osziWidget(int sensor) const;
    // The title above the parameters of a sensor's plot ("Sensor 1: " and its name).
    QLabel* sensorLabel(int sensor) const;
    // The row of the recording's gaps under the tools.
    GapBar* gapBar() const { return m_gapBar; }
    QDoubleSpinBox* offsetSpinBox(int sensor) const;
    // The sensor (0 to 4) whose offset spin box is object, or -1.
    int offsetSpinBoxIndex(const QObject* object) const;
    QPushButton* clearMarkersButton() const;
    // Verdicts of the shots from the first (see VerdictMonitor): NOK shots are drawn red.
    void setVerdicts(const QVector<Verdict>& verdicts);
    // Highlights shot index (0-based) as "Hervorheben" does.
    void highlightShot(int index);
    // What the reference is taught from, or why it cannot judge; problem shows it in red.
    void setReferenceStatus(const QString& text, bool problem);
    QAbstractButton* lockButton() const;
    // The measurement cursors A and B in ms from the start of a shot, in the order the user
    // placed them (A may lie right of B); none while they are switched off.
    std::optional<std::pair<double, double>> cursors() const;
    // The shots (from 0) shown in the plots, or none when every shot is ("alle").
    std::optional<QVector<int>> shownShots() const;
    // The cursor table window, once opened.
    CursorTableWindow* cursorTable() const;

public slots:
    void update();
    void updateOsziSlider();

signals:
    void markerChangedAbsolute(int index, int pos_ms);
    void markerChangedRelative(int index, int pos_ms);
    void checkBoxMarkerAbsClicked(bool absolute);
    void deleteMeasurements(QString measToDelete);
    void undoDeleteRequested();
    // Teach the reference from these shots (the shots shown when the field is empty).
    void teachReference(const QString& ranges);
    void referenceSettingsRequested();
    // The cursors were switched on or off, typed or dragged (see cursors()).
    void cursorsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private slots:
    void displayAllMeas(bool state);
    void displayedMeasChanged();
    void highlightBoxChanged(int index);
    void highlightBoxChanged(float i);
    void showGapBesideHighlight();
    void keepCommandWordsWhole();
    void autoYCorrectionClicked(bool on);
    void autoYCorrectionSpinBoxChanged(int value);
    void onCheckBoxMarkerAbsClicked(bool absolute);
    void onDeleteMeasurementClicked();
    void onTeachReferenceClicked();
    void onMarkerChanged(double value);
    void onSpinBoxMaxValueChanged(double v);
    void onSpinBoxMinValueChanged(double v);
    void onModel_projectChanged();
    void onModel_dataChanged();
    void onModel_dataAboutToChange();
    void onCursorButtonToggled(bool on);
    void onCursorDragged(int cursor, double ms);
    void openCursorTable();

private:
    GapBar* m_gapBar = nullptr;
    void fitSmallScreens();
    void connectWidgets();
    // Aligns every plot at the time of a marker (0 to 3).
    void alignAtMarker(int marker);
    int checkedMarkerButton() const;
    void repaintPlots();
    // Black, or red for a shot judged NOK.
    QColor curveColorOf(int shot) const;
    void applyVerdictColors();
    // Stores the value of the sending range box as the lower or upper axis end of its sensor.
    void storeAxisEnd(const std::array<QDoubleSpinBox*, numSensors>& boxes, double value,
                      bool lower);
    // The range boxes of a sensor show the axis ends its plot uses.
    void showAxisEnds(int sensor);
    // Decimals of the sensor's unit in its range and offset boxes, offsets within its range.
    void setSensorNumbers(int sensor, const QString& unit, double min, double max);
    // Every box wide enough for the widest value of its range.
    void fitSpinBoxes();
    void updateSlider(bool followEnd);
    // Every plot draws the cursors of the boxes while they are switched on.
    void applyCursors();

    std::unique_ptr<Ui::TabOszilloscope> ui;
    Model* model = nullptr;
    SensorDescription shownDescription;

    std::array<OsziWidget*, numSensors> m_plots{};
    std::array<QWidget*, numSensors> m_params{};
    std::array<QPushButton*, numSensors> m_sensorButtons{};
    std::array<QPushButton*, numSensors> m_gridButtons{};
    std::array<QDoubleSpinBox*, numSensors> m_gridBoxes{};
    std::array<QDoubleSpinBox*, numSensors> m_offsetBoxes{};
    std::array<QDoubleSpinBox*, numSensors> m_maxBoxes{};
    std::array<QDoubleSpinBox*, numSensors> m_minBoxes{};
    std::array<QPushButton*, numMarkers> m_markerButtons{};
    std::array<QDoubleSpinBox*, numMarkers> m_markerBoxes{};

    // The plots hold the model's lists as of this revision; false after an announcement.
    bool m_curvesCurrent = false;
    quint64 m_curvesRevision = 0;
    QVector<Verdict> m_verdicts;
    QPointer<CursorTableWindow> m_cursorTable;
    // Coalesces the repaints of a live recording, which appends a line every millisecond.
    QTimer m_liveRepaint;
};
