#pragma once

#include "widgets/analog/AbstractAnalogWidget.h"

// The "Linear" display: a vertical bar filled up to the value, with a grid, an optional value
// scale on its left and the name and unit below it.
class AnalogBarDouble : public AbstractAnalogWidget
{
    Q_OBJECT

public:
    explicit AnalogBarDouble(QWidget* parent = nullptr);

    void setColor(const QColor& color) override;
    void setName(const QString& name) override;
    void setShowScale(bool show) override;
    // A fixed grid distance; ignored unless positive. The automatic grid replaces it at the
    // next repaint while it is on.
    void setGrid(double grid) override;
    void setGridAuto(bool on);

    QColor color() const { return m_barColor; }
    QString name() const { return m_name; }
    bool showScale() const { return m_showScale; }
    double grid() const { return m_grid; }
    bool isGridAuto() const { return m_gridAuto; }
    int barHeight() const { return m_barHeight; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void gridChanged(double grid);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateTextHeight();

    static constexpr int topMargin = 10;
    static constexpr int bottomBand = 60;
    static constexpr int scaleWidth = 80;

    double m_grid = 10000.0;
    bool m_gridAuto = true;
    QString m_name;
    QColor m_barColor = Qt::gray;
    bool m_showScale = false;
    int m_textHeight = 0;
    int m_barHeight = 0;
};
