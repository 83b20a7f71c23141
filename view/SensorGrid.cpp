#include "view/SensorGrid.h"

#include <QtGlobal>

#include <algorithm>

namespace SensorGrid {

int rows(int count, int columns)
{
    return columns > 0 ? (qMax(0, count) + columns - 1) / columns : 0;
}

QSize minimumArea(int count, const Arrangement& arrangement, const Cell& cell)
{
    const QSize least = cell.minimum[static_cast<size_t>(arrangement.panel)];
    const int c = qMax(1, arrangement.columns);
    const int r = qMax(1, rows(count, c));
    return QSize(c * least.width() + (c - 1) * cell.spacing,
                 r * least.height() + (r - 1) * cell.spacing);
}

namespace {

// The display's edge in a cell of this size, or 0 when the cell is below the least.
int displaySize(const QSize& cellSize, const QSize& least, const Cell& cell)
{
    if (cellSize.width() < least.width() || cellSize.height() < least.height())
        return 0;
    // The display spans the cell's width; the title and panel above and below it take what
    // the cell needs in height beyond the display.
    const int width = cellSize.width() - cell.sideMargins;
    const int height = cellSize.height() - (least.height() - cell.displayMinimum.height());
    return cell.square ? qMin(width, height) : height;
}

} // namespace

Arrangement choose(int count, const QSize& area, const Cell& cell)
{
    Arrangement best = compact(count);
    if (count <= 0)
        return best;
    for (int columns = qMin(count, maxColumns); columns >= 1; --columns) {
        const int r = rows(count, columns);
        const QSize cellSize((area.width() - (columns - 1) * cell.spacing) / columns,
                             (area.height() - (r - 1) * cell.spacing) / r);
        for (size_t p = 0; p < cell.minimum.size(); ++p) {
            const int size = displaySize(cellSize, cell.minimum[p], cell);
            // Strictly larger only: the loops visit fewer rows and labels beside first.
            if (size > best.displaySize) {
                best.columns = columns;
                best.panel = static_cast<PanelLayout>(p);
                best.displaySize = size;
            }
        }
    }
    return best;
}

Arrangement compact(int count)
{
    Arrangement a;
    a.columns = qBound(1, count, maxColumns);
    a.panel = PanelLayout::Above;
    return a;
}

} // namespace SensorGrid
