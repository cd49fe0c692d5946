#pragma once

#include "platform/drives/disc_places.h"
#include "platform/sql/sqlite_db.h"

#include <QHash>
#include <QString>
#include <optional>

namespace platterly::catalogue {

// The volume each disc was catalogued from, so that the disc is found again when its drive
// letter or mount point has changed. A table of the program's own beside the catalogue's:
//
//   VOLUMES (CDNAME TEXT, LABEL TEXT, UUID TEXT, FSTYPE TEXT, ROOT TEXT, DRIVEROOT TEXT)
//     One row per disc (CDNAME as in TOTAL). LABEL, UUID and FSTYPE describe the volume that
//     held the catalogued folder (empty when unknown); ROOT is that folder as a native path
//     (text form of native names); DRIVEROOT is what every PATH of the disc begins with.
//
// A catalogue made before the table existed has none; it is made by the first cataloguing
// run that needs it, inside that run's transaction. Titles are compared case-blind.

inline const QString kVolumesTable = QStringLiteral("VOLUMES");

// Writes the row of a disc, making the table first when the file lacks it. Meant to run
// inside the transaction that writes the disc.
sql::SqlError writeDiscVolume(const sql::Database& db, const QString& title,
                              const drives::VolumeRecord& record);

// The row of one disc; nullopt when the file has no table or no row for it (an older
// catalogue), or the row cannot be read (`error` then says why, when given).
std::optional<drives::VolumeRecord> readDiscVolume(const sql::Database& db, const QString& title,
                                                   sql::SqlError* error = nullptr);

// Every row, by title folded for case-blind lookup (sql::foldCase).
QHash<QString, drives::VolumeRecord> readDiscVolumes(const sql::Database& db,
                                                     sql::SqlError* error = nullptr);

// Deletes or renames the rows of a disc; nothing to do when the file has no table. Meant to
// run inside the transaction that deletes or renames the disc.
sql::SqlError deleteDiscVolume(const sql::Database& db, const QString& title);
sql::SqlError renameDiscVolume(const sql::Database& db, const QString& oldTitle,
                               const QString& newTitle);

} // namespace platterly::catalogue
