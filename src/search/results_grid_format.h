#pragma once

#include "search/search_run.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <vector>

namespace platterly::search {

// The results grid's captions and column widths in one text, as the grid has always been set
// up: each caption preceded by an alignment mark ("^" centres it) and followed by the blanks
// that make its column wide, the columns separated by "|". The grid on screen and the
// exported document both take their columns from it.
QString resultsGridFormat();

struct GridColumn
{
    QString caption;         // without the mark and the padding blanks
    int characters = 0;      // the whole text of its part, mark included
    int shownCharacters = 0; // the caption and its padding: the width the column shows
    QChar alignment;         // '<' left, '^' centre, '>' right
};

// The columns a format text describes (a part without a mark is left-aligned).
std::vector<GridColumn> parseGridFormat(const QString& format);

// The texts of a result in the grid's columns: title, name, path, size as a file manager shows
// it and time of change (local time), each empty where unknown.
QStringList resultCells(const ResultRow& row);

} // namespace platterly::search
