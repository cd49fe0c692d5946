#pragma once

#include <string>

namespace platterly::bench {

// Two ways of keeping an entry's size and time of change, measured on the rows of a real
// catalogue (--storage-once CATALOGUE, in a child process): the same rows written in one
// transaction into a new file
//   - "five fields": CDS as the schema has it, no sizes (the reference),
//   - "columns":     CDS with SIZE and MODIFIED appended after TYPE (what the program does),
//   - "own table":   CDS of five fields and DETAILS (ROWID INTEGER PRIMARY KEY, SIZE, MODIFIED),
// each timed (prepared inserts, then the commit), its file size taken, and then read back as a
// search reads: every tenth row looked up by rowid with its name, folder, size and time (as
// results reach the grid), every row's size tested against a limit (a filter alone), and every
// name tested for a text (a name search without the index).
int storageOnce(const std::string& catalogue);

} // namespace platterly::bench
