#pragma once

#include <QTableView>

namespace platterly::app {

// The results grid. Its name column is wider than the grid itself, so Qt's own scrollTo would
// shift the grid sideways on every click into that column (to fit the cell, it shows its
// start), and the disc names would slide out of view. The grid scrolls sideways only when the
// start of the cell the user went to is out of sight.
class ResultsGrid : public QTableView
{
public:
    using QTableView::QTableView;

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
};

} // namespace platterly::app
