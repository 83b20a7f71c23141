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
    const QSize least = arrangement.labelsAbove ? cell.minimumAbove : cell.minimumBeside;
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
    // The panel, title and margins take what the cell needs beyond its display.
    const int width = cellSize.width() - (least.width() - cell.displayMinimum.width());
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
        for (bool above : {false, true}) {
            const int size =
                displaySize(cellSize, above ? cell.minimumAbove : cell.minimumBeside, cell);
            // Strictly larger only: the loops visit fewer rows and labels beside first.
            if (size > best.displaySize) {
                best.columns = columns;
                best.labelsAbove = above;
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
    a.labelsAbove = true;
    return a;
}

} // namespace SensorGrid
