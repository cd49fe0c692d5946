#pragma once

#include "maintenance/results_grid.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace platterly::maintenance {

// One part (file) of a word-processor package, by its name inside the package.
struct DocxPart
{
    QString name;
    QByteArray contents;
};

// The parts of an Office Open XML word-processing document (.docx) that holds the grid as one
// table on a landscape page: row 0 as the header row (repeated on every page, bold, centred,
// shaded), the other rows below it, every cell bordered. `columnWeights` share the page's
// width among the columns (equal shares when it does not give one per column). Header
// captions lose their padding blanks; empty cells stay empty cells; a TAB or line break
// inside a cell becomes a tab or line break of the document, and characters XML cannot carry
// become U+FFFD. The first part is [Content_Types].xml, which readers expect first.
std::vector<DocxPart> docxParts(const GridText& grid, const std::vector<int>& columnWeights);

} // namespace platterly::maintenance
