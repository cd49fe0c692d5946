#pragma once

#include <string>

namespace platterly::bench {

struct SearchOnce
{
    std::string catalogue;
    std::string pattern;  // the pattern box
    std::string category; // the category box
    std::string disc;     // empty: all discs
    std::string larger;   // a size limit as --larger takes it ("10M"); empty: none
    long long limit = 0;  // rows to deliver; 0 for all
    int rounds = 3;
    bool useIndex = true; // false: plain SQL, as on a read-only catalogue without the index
};

// Times the catalogue search inside one process, as the main window runs it on the catalogue
// it has open: the statement the search boxes make, the rows handed to a consumer that keeps
// nothing, stopping after `limit` rows and then counting the total. One untimed round warms
// the caches, then `rounds` are timed; prints "median_ms=... min_ms=... first_ms=... found=...
// total=..." on standard output.
int searchOnce(const SearchOnce& search);

} // namespace platterly::bench
