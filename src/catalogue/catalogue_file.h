#pragma once

#include "platform/sql/sql_error.h"

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

} // namespace platterly::catalogue
