#include "results_grid.h"

#include <QScrollBar>

namespace platterly::app {

void ResultsGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    const int before = horizontalScrollBar()->value();
    const int cellStart = columnViewportPosition(index.column());
    const bool startInSight = cellStart >= 0 && cellStart < viewport()->width();
    QTableView::scrollTo(index, hint);
    if (startInSight)
        horizontalScrollBar()->setValue(before);
}

} // namespace platterly::app
