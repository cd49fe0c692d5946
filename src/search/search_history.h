#pragma once

#include <QString>
#include <QStringList>

namespace platterly::search {

// The patterns searched for most recently, newest first, at most
// catalogue::settings::kHistoryLength of them: the pattern box's drop-down list. They live in
// section "Strings" of the settings file: "Total" holds their number, "s1" .. "s<Total>" the
// patterns. Keys beyond Total that a longer list left behind are neither read nor removed.

// The list as the settings file holds it.
QStringList loadSearchHistory(const QString& settingsFile);

// After a search: a pattern already in the list (compared exactly) changes nothing; a new one
// that is not blanks only goes first, the oldest falls out beyond the limit, and the list is
// written back. Returns whether the list changed; on a failed write the list in memory is
// changed all the same (the search itself was made), and `writeError`, when given, says
// which file could not be written and why. The pattern box then shows entry 1.
bool rememberSearch(QStringList& history, const QString& patternText, const QString& settingsFile,
                    QString* writeError = nullptr);

} // namespace platterly::search
