#pragma once

#include "maintenance/results_grid.h"

#include <QDate>
#include <QString>
#include <vector>

namespace platterly::maintenance {

// The results grid's column widths (from its format text), as weights for writeDocx.
std::vector<int> resultsGridWeights();

struct ExportResult
{
    bool ok = false;
    QString message; // on failure: what to tell the user
};

// What writeDocx does when a file of the name exists already.
enum class ExistingFile
{
    Refuse,  // fail, leaving it as it is
    Replace, // the user said so
};

// Writes the grid as a new word-processor document (.docx) holding one table, header row
// first (see docxParts). The document is packed in memory and saved through a temporary
// file that takes the name only once it is complete and on disk: a failure (a full disk
// included) leaves no partial document and an older file of that name as it was.
// `columnWeights` share the page among the columns; by default the results grid's own
// column widths.
ExportResult writeDocx(const QString& path, const GridText& grid, ExistingFile existing,
                       const std::vector<int>& columnWeights = resultsGridWeights());

// Whether `path` names something already: a file, a folder or a link, even a broken one.
bool exportTargetExists(const QString& path);

// The question the main window asks before an export replaces an existing file.
QString replaceDocumentQuestion(const QString& path);

// The packed document, as writeDocx would save it; empty with `error` filled on failure.
QByteArray packDocx(const GridText& grid, const std::vector<int>& columnWeights, QString* error);

// A name for the export of `date` in the documents folder, "Search results 2026-12-05.docx",
// or with " (2)", " (3)", ... added so that an earlier export is never overwritten.
QString exportDefaultPath(const QString& documentsFolder, const QDate& date);

} // namespace platterly::maintenance
