#pragma once

#include "widgets/OsziGeometry.h"

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QList>
#include <QString>
#include <QVector>

#include <array>
#include <optional>
#include <vector>

class QLabel;

// Draws the sample curves of up to 10000 shots of one sensor over a common time axis, with
// value and time grids, one highlighted curve, horizontal lines, phase markers and a mouse
// read-out. The sample lists belong to the caller (the model); the widget only points to
// them, so whoever frees a list must empty its slot first (clearCurves or setCurve).
//
// Repaints are cheap when little changed: the background, grids, labels and the curves that
// are not highlighted live in a cached image, and the highlighted curve in a second image
// that grows with the samples appended to it. Both are checked against the state they were
// drawn from on every repaint, so a repaint request is all a caller needs after appending.
class OsziWidget : public QFrame
{
    Q_OBJECT

public:
    using SampleList = QVector<double>;
    static constexpr int numCurves = 10000;

    explicit OsziWidget(QWidget* parent = nullptr);
    ~OsziWidget() override;

    // The per-curve slots below hide QWidget's own; keep those reachable.
    using QFrame::setDisabled;
    using QFrame::setEnabled;

    void setCurve(int index, const SampleList* samples, QColor color);
    void clearCurves();
    int lastSampleIndex() const;
    void setValueRange(double min, double max);
    void setVerticalMarkerCount(int n);
    void setVerticalMarker(int index, int pos, QColor color);
    void setHorizontalLineCount(int n);
    void setHorizontalLineColor(int index, QColor color);
    void setHorizontalLine(int index, double value);

    // Read access to the state, for the pages that drive the plot and for tests.
    double valueRangeMin() const { return minValue; }
    double valueRangeMax() const { return maxValue; }
    double currentValueGrid() const { return valueGrid; }
    bool isValueGridAuto() const { return valueGridAuto; }
    int firstSampleIndex() const { return startIndex; }
    double globalOffset() const { return offset; }
    int zoomFactor() const { return zoom; }
    // The zoom at which the longest shown curve fills the width from the start index.
    int fitZoom() const;
    // While on, the zoom follows fitZoom() as curves and size change.
    void setZoomToFit(bool on);
    bool isZoomToFit() const { return m_zoomToFit; }
    int clockPeriod() const { return clock; }
    int currentClockGrid() const { return clockGrid; }
    bool isClockGridAuto() const { return clockGridAuto; }
    int highlightedCurve() const { return highlightIndex; }
    QColor highlightPenColor() const { return highlightColor; }
    int textLineHeight() const { return textHeight; }
    const SampleList* curve(int index) const;
    bool isCurveEnabled(int index) const;
    QColor curveColor(int index) const;
    double channelOffset(int index) const;
    int verticalMarkerCount() const { return verticalMarkers.size(); }
    int verticalMarkerPosition(int index) const { return verticalMarkers.value(index, -1); }
    QColor verticalMarkerColor(int index) const { return verticalMarkerColors.value(index); }
    QString phaseName(int index) const { return phaseNames.value(index); }
    int horizontalLineCount() const { return horizontalLines.size(); }
    double horizontalLineValue(int index) const { return horizontalLines.value(index); }
    QColor horizontalLineColor(int index) const { return horizontalLineColors.value(index); }
    const QLabel* cursorLine() const { return markerLine; }
    const QLabel* cursorValueLabel() const { return markerValueLabel; }
    // The measurement cursors A and B in milliseconds from the start of a shot; an empty one
    // is not drawn. Drawn over the cached images, so moving them redraws no curve.
    void setCursors(std::optional<double> aMs, std::optional<double> bMs);
    std::optional<double> cursorA() const { return m_cursors[0]; }
    std::optional<double> cursorB() const { return m_cursors[1]; }
    // Pixels either side of a cursor line within which a press grabs it.
    static constexpr int cursorGrabDistance = 6;
    // The mapping of the current state; the grids are those of the last repaint.
    OsziGeometry::Frame frame() const;

public slots:
    void setEnabled(int channel, bool state = true);
    void setDisabled(int channel);
    void setAllEnabled(bool state);
    void setStartIndex(int start);
    void setMinValue(double min);
    void setMaxValue(double max);
    void setVerticalMarker0(int pos);
    void setVerticalMarker1(int pos);
    void setVerticalMarker2(int pos);
    void setVerticalMarker3(int pos);
    void setPhaseName(int phase, QString name);
    void setZoom(int zoom);
    void setZoom(double zoom);
    void setClock(int clk);
    void setClockGrid(int grid);
    void setClockGridAuto(bool on);
    void showMouseMarker(int x);
    void hideMouseMarker();
    void setOffset(double ofs);
    void setChannelOffset(int channel, double ofs);
    void clearChannelOffsets();
    void setAutoChannelOffsets(int pos);
    void setAutoChannelOffset(int channel, int pos);
    void setValueGrid(double grid);
    void setValueGridAuto(bool on);
    void highlightSingle(int index);
    void setHighlightColor(QColor col);

signals:
    // The zoom changed, set or by fitting.
    void zoomChanged(int zoom);
    void valueGridChanged(double grid);
    void clockGridChanged(int grid);
    void mouseAtX(int x);
    void mouseReleased();
    // The user dragged cursor 0 (A) or 1 (B) to ms; the widget shows it there already.
    void cursorDragged(int cursor, double ms);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The state a cached image was drawn from; any difference redraws it.
    struct BaseKey
    {
        QSize size;
        qreal dpr = 0;
        OsziGeometry::Frame frame;
        double valueGrid = 0;
        int clockGrid = 0;
        double offset = 0;
        int highlightIndex = -1;
        quint64 curveRevision = 0;
        quint64 styleRevision = 0;
        bool operator==(const BaseKey& o) const;
    };

    // What the automatic time grid was last worked out from.
    struct TimeGridKey
    {
        int clockGrid = -1;
        int zoom = 0;
        int clock = 0;
        int startIndex = 0;
        int contentsWidth = 0;
        quint64 styleRevision = 0;
        bool operator==(const TimeGridKey& o) const
        {
            return clockGrid == o.clockGrid && zoom == o.zoom && clock == o.clock &&
                   startIndex == o.startIndex && contentsWidth == o.contentsWidth &&
                   styleRevision == o.styleRevision;
        }
    };

    static bool validCurve(int index) { return index >= 0 && index < numCurves; }
    void curvesChanged();
    void runAutoGrids(const OsziGeometry::Frame& f);
    // Last sample index drawn of a cached curve, -1 when it is not drawn.
    qint64 drawnEnd(int index, const OsziGeometry::Frame& f) const;
    bool baseIsCurrent(const BaseKey& key, const OsziGeometry::Frame& f) const;
    void renderBase(const BaseKey& key, const OsziGeometry::Frame& f);
    void paintGridAndLabels(QPainter& p, const OsziGeometry::Frame& f);
    void renderHighlight(const OsziGeometry::Frame& f);
    void paintOverlays(QPainter& p, const OsziGeometry::Frame& f);
    void paintCursors(QPainter& p, const OsziGeometry::Frame& f);
    // The cursor (0 or 1) whose line is nearest to x within the grab distance, or -1.
    int cursorNear(double x) const;

    double minValue = 0.0;
    double maxValue = 255.0;
    double valueGrid = 50.0;
    bool valueGridAuto = true;
    int startIndex = 0;
    QList<int> verticalMarkers;
    QList<double> horizontalLines;
    QList<QColor> verticalMarkerColors;
    QList<QColor> horizontalLineColors;
    QList<QString> phaseNames;
    double offset = 0.0;
    int zoom = 1;
    bool m_zoomToFit = false;
    int clock = 1;
    int clockGrid = 100;
    bool clockGridAuto = true;
    int m_announcedClockGrid = 100;
    TimeGridKey m_timeGridKey;
    int highlightIndex = -1;
    QColor highlightColor = Qt::red;
    QLabel* markerLine = nullptr;
    QLabel* markerValueLabel = nullptr;
    int textHeight = 0;
    std::array<const SampleList*, numCurves> curves{};
    std::array<QColor, numCurves> curveColors;
    std::array<bool, numCurves> curveEnabled{};
    std::array<double, numCurves> channelOffsets{};

    // One past the highest slot that holds a list; bounds the per-slot loops.
    int m_usedSlots = 0;
    quint64 m_curveRevision = 0;
    quint64 m_styleRevision = 0;

    QImage m_base;
    BaseKey m_baseKey;
    bool m_baseValid = false;
    quint64 m_baseGeneration = 0;
    std::vector<qint64> m_baseEnds;

    std::array<std::optional<double>, 2> m_cursors;
    int m_draggedCursor = -1;

    QImage m_highlightLayer;
    quint64 m_highlightGeneration = 0;
    int m_highlightDrawnIndex = -1;
    const SampleList* m_highlightDrawnList = nullptr;
    QColor m_highlightDrawnColor;
    qint64 m_highlightDrawnEnd = -1;
};
