#pragma once

#include "platform/drives/disc_places.h"
#include "platform/sql/sqlite_db.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>

namespace platterly::cataloguing {

// Where a catalogued disc is read again from, and what the catalogue then records of it.
struct DiscSource
{
    QString nativeRoot; // the folder, or the image file, as the system names it
    QString driveRoot;  // what every PATH of the disc begins with, with its final "\"
    bool image = false; // nativeRoot is a disc image or archive
    drives::VolumeRecord volume;
};

// What the user names, or leaves to be found: a folder or image (native path and drive form),
// or nothing, in which case the disc is looked for as Open File looks for it.
struct DiscSourceRequest
{
    QString nativeRoot; // empty: look for the disc
    QString driveRoot;
    drives::DriveMap drives;             // the machine's drives
    std::optional<QChar> driveBoxLetter; // the drive box's letter, tried first
};

// What the catalogue holds of the disc to find: its title, the stored PATH of its entries in
// the root (empty when it has none) and some of their names.
struct StoredDiscRoot
{
    QString title;
    QString path;
    QStringList names;
};

// The source of a catalogued disc. Without a path given, the disc's recorded volume (VOLUMES;
// for a disc of an older catalogue, its stored root) leads to it, in the places Open File
// looks (drives::discPlaces): to its image file when it was catalogued from one; else to the
// first place whose folder holds one of the disc's names in the root, so that a drive that
// holds something else is never read as the disc; a disc without entries is where its folder
// is (drives::whereIsDiscNow). nullopt when it cannot be read from anywhere; `refusal` then
// says why, in the user's words, and `absent` whether it is simply not there.
std::optional<DiscSource> findDiscSource(const sql::Database& db, const StoredDiscRoot& disc,
                                         const DiscSourceRequest& request, QString* refusal,
                                         bool* absent);

} // namespace platterly::cataloguing
