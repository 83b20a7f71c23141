#pragma once

#include "widgets/analog/PanelLayout.h"

#include <QSize>

#include <array>

// How the sensor displays of one group share the room they have: how many columns, and how
// each settings panel sets its labels and boxes. Plain arithmetic, so that it is tested
// without widgets.
namespace SensorGrid {

// Never more displays side by side than this, however wide the room: wider the bars carry
// no more information, and a group of many sensors wraps into rows.
constexpr int maxColumns = 5;

// What one display cell needs, for each panel layout.
struct Cell
{
    // The whole cell at its least, by panel layout (PanelLayout as index).
    std::array<QSize, panelLayoutCount> minimum{};
    QSize displayMinimum;
    // The cell's margins left and right of its display (which is as wide as the cell).
    int sideMargins = 0;
    // A dial grows only as far as the smaller of its width and height allows; a bar grows
    // with its height alone.
    bool square = false;
    int spacing = 6; // between cells
};

struct Arrangement
{
    int columns = 1;
    PanelLayout panel = PanelLayout::Above;
    // The edge the display gets: the dial's side, or the bar's height; 0 when the
    // arrangement does not fit.
    int displaySize = 0;

    bool operator==(const Arrangement& o) const { return columns == o.columns && panel == o.panel; }
    bool operator!=(const Arrangement& o) const { return !(*this == o); }
};

// Rows for count cells in columns.
int rows(int count, int columns);
// The room that arrangement needs at least.
QSize minimumArea(int count, const Arrangement& arrangement, const Cell& cell);
// The arrangement that gives the displays the most room within area; among equals the one
// with fewer rows, then the panel layouts in their order. When nothing fits, the compact one.
Arrangement choose(int count, const QSize& area, const Cell& cell);
// The narrowest arrangement that keeps the group one row high up to maxColumns, labels
// above their boxes: what the group asks for at least.
Arrangement compact(int count);

} // namespace SensorGrid
