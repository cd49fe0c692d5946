#pragma once

#include "platform/sql/sqlite_db.h"

#include <QString>

namespace platterly::catalogue {

// Version of the catalogue file layout written by this program (PRAGMA user_version).
inline constexpr int kCatalogueFileVersion = 1;

// Longest title the new-disc window accepts, and the longest a rename accepts.
inline constexpr int kMaxTitleLength = 25;
inline constexpr int kMaxRenamedTitleLength = 15;

// Creates an empty catalogue: the tables CDS, TOTAL and TOTALS, with TOTALS holding its one
// row 0, 0, 0. Refuses to touch an existing file. The file is written under a temporary
// name and renamed, so a failure leaves no half-made catalogue behind.
sql::SqlError createEmptyCatalogue(const QString& path);

// The statements that make the tables, in the field order every reader relies on.
QString catalogueSchemaSql();

// Fields of CDS that the program keeps after the five of the schema: the entry's size in bytes
// (NULL for a folder and for the title row) and the time of its last change in whole seconds
// since 1970, UTC (NULL for the title row). In a catalogue made before they existed they are
// missing, and read as unknown.
inline const QString kSizeField = QStringLiteral("SIZE");
inline const QString kModifiedField = QStringLiteral("MODIFIED");

// Inside a write transaction: adds SIZE and MODIFIED to a CDS that lacks them (its rows then
// hold NULL there). Nothing changes when they are there.
sql::SqlError addEntryDetailFields(const sql::Database& db);

} // namespace platterly::catalogue
