#pragma once

#include "platform/sql/sqlite_db.h"

#include <QString>
#include <functional>
#include <vector>

namespace platterly::search {

// One file found in several places: on one disc or on several.
struct DuplicateGroup
{
    struct Copy
    {
        QString title; // CDNAME
        QString path;  // PATH
    };
    QString name; // FNAME of the first copy in stored order
    qint64 size = 0;
    std::vector<Copy> copies; // in stored order

    // The bytes all but one copy take.
    qint64 wastedBytes() const { return size * qint64(copies.size() - 1); }
};

// Hands over every group of CDS entries that share their name (letters compared without
// regard to case, all of Unicode, as the program compares names everywhere) and their size,
// at least `minSize` bytes and above zero: largest wasted bytes first, then larger files, then
// in the stored order of their first copies. Folders, which have no size, are never
// duplicates; neither are entries of discs catalogued before sizes were recorded. The visitor
// returns false to stop.
//
// How it stays fast on millions of entries: a first pass over CDS keeps one 64-bit key per
// row, a hash of its size and folded name, and sorting them tells the keys met twice; a
// second pass keeps the rowids of the rows with such a key; the rows of each key are then
// read and told apart by their names themselves, so that two names sharing a key (a chance of
// a few in a million for ten million rows) never make one group. Memory: 8 bytes a row during
// the first pass, 24 bytes a row that may be a duplicate afterwards.
sql::SqlError findDuplicates(const sql::Database& db, qint64 minSize,
                             const std::function<bool(const DuplicateGroup&)>& visit);

} // namespace platterly::search
