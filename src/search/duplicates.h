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
// at least `minSize` bytes and above zero: largest wasted bytes first, then larger files,
// then by name. Folders, which have no size, are never duplicates; neither are entries of
// discs catalogued before sizes were recorded. The visitor returns false to stop.
//
// How it stays fast on millions of entries: only names whose size occurs more than once can
// be duplicates, so a first pass over CDS reads sizes alone and marks the sizes seen twice in
// a bit set; a second pass folds only those names and marks their (size, name) keys seen twice
// in another; a third keeps just the rows whose key was seen twice, which are sorted and
// grouped. A key's bits may be shared by another key; the groups are therefore checked
// against the names themselves, so a shared bit costs work, never a wrong group. Memory: the
// bit sets (48 MiB) and 24 bytes for each row that may be a duplicate.
sql::SqlError findDuplicates(const sql::Database& db, qint64 minSize,
                             const std::function<bool(const DuplicateGroup&)>& visit);

} // namespace platterly::search
