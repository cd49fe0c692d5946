#pragma once

#include "seeded_random.h"

#include <string>

namespace platterly::bench {

// Makes the names of the generated tree: word-like stems of syllables, numbers and separators
// (so that substring searches find both rare and common pieces), averaging about 16
// characters with the extension. Files get one of 25 extensions in realistic shares (about
// one file in nine is an .mp3), sometimes in capitals; some files have no dot at all. About
// one name in a hundred holds a non-ASCII letter, so the Unicode paths of the walk are
// exercised too. No name begins with a dot: hidden entries are left out of a catalogue, and
// find and the cataloguing run must list the same entries.
class NameGenerator
{
public:
    explicit NameGenerator(SeededRandom& random) : m_random(random) {}

    std::string fileName();
    std::string folderName();

private:
    std::string stem();
    std::string word();
    std::string extension();

    SeededRandom& m_random;
};

} // namespace platterly::bench
