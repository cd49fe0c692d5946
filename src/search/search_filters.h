#pragma once

#include <QString>
#include <optional>

namespace platterly::search {

// Limits on an entry's size and time of change that a search adds to its pattern, category
// and disc. An entry whose size or time the catalogue does not know (a folder has no size;
// discs catalogued before sizes were recorded know neither) passes no limit on it.
struct SearchFilters
{
    std::optional<qint64> largerThan;     // SIZE > this many bytes
    std::optional<qint64> smallerThan;    // SIZE < this many bytes
    std::optional<qint64> modifiedFrom;   // MODIFIED >= this (seconds since 1970, UTC)
    std::optional<qint64> modifiedBefore; // MODIFIED < this

    bool any() const { return largerThan || smallerThan || modifiedFrom || modifiedBefore; }
    // The conditions as the search statement holds them: " AND SIZE > 1024 ...", or "".
    QString conditions() const;
};

// A size as typed: whole bytes ("1500"), or a number with K, M or G for units of 1024
// ("10K", "1.5M", "2g"), rounded down to whole bytes. Nothing for any other text.
std::optional<qint64> parseSizeText(const QString& text);

// The first second of a local day typed as YYYY-MM-DD, in seconds since 1970 (UTC); nothing
// for any other text.
std::optional<qint64> startOfLocalDay(const QString& text);

} // namespace platterly::search
