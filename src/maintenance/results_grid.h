#pragma once

#include "platform/sql/data_control.h"
#include "search/results_grid_format.h"
#include "search/search_run.h"
#include "search/statement_builder.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <vector>

namespace platterly::maintenance {

// The grid's format, shared with the grid on screen (search/results_grid_format.h).
using search::GridColumn;
using search::parseGridFormat;
using search::resultsGridFormat;

// The grid's text: row 0 the header, then one row per result, each a list of cell texts.
using GridText = std::vector<QStringList>;

// The header row of the results grid: "CD NAME", "FILE NAME", "PATH", "Size", "Modified".
QStringList resultsGridHeader();

// The grid as the export hands it to a word processor: one line per row, cells separated by
// a TAB, every line (the last one too) ending with CR LF. Header captions are given without
// their padding blanks; other cells are copied as they are.
QString exportText(const GridText& grid);

struct SearchGrid
{
    GridText grid; // the header, then one row per result as the grid shows it (resultCells)
    search::SearchOutcome outcome;
};

// Runs the search the search panel runs for these boxes and returns what the results grid
// then shows. A search that finds nothing gives the header alone.
SearchGrid searchResultsGrid(sql::DataControl& data, const search::SearchRequest& request,
                             const std::atomic<bool>* stop = nullptr);

} // namespace platterly::maintenance
