// The byte searches of the name blocks, a vector's width at a time, against plain loops over
// the same bytes: every length, every place near the ends, names that hold a text twice.
#include "search/block_scan.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace platterly::search {
namespace {

std::size_t plainFind(const std::string& hay, std::size_t from, const std::string& needle)
{
    const std::size_t found = hay.find(needle, from);
    return found == std::string::npos ? hay.size() : found;
}

std::size_t plainCountNames(const std::string& names, const std::string& needle)
{
    std::size_t count = 0;
    std::size_t start = 0;
    while (start < names.size()) {
        std::size_t end = names.find('\0', start);
        if (end == std::string::npos)
            end = names.size();
        if (names.substr(start, end - start).find(needle) != std::string::npos)
            ++count;
        start = end + 1;
    }
    return count;
}

// Names of a few letters, so that texts of one to four letters occur often, twice in a
// name, across name ends and at the very end of the block.
std::string makeNames(std::mt19937& random, std::size_t names)
{
    const std::string letters = "aab.\xc3\xa9";
    std::string text;
    for (std::size_t n = 0; n < names; ++n) {
        const int length = std::uniform_int_distribution<int>(0, 30)(random);
        for (int i = 0; i < length; ++i)
            text +=
                letters[std::uniform_int_distribution<std::size_t>(0, letters.size() - 1)(random)];
        text += '\0';
    }
    return text;
}

TEST(BlockScan, FindBytesFindsEachPlaceAPlainSearchFinds)
{
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        const std::string hay = makeNames(random, std::size_t(1 + round % 40));
        for (const std::string needle : {"a", "ab", "ba.", "aab.",
                                         "\xc3\xa9"
                                         "a",
                                         "b.b"}) {
            for (std::size_t from = 0; from <= hay.size(); from += 1 + hay.size() / 7) {
                ASSERT_EQ(findBytes(hay.data(), hay.size(), from, needle.data(), needle.size()),
                          plainFind(hay, from, needle))
                    << "round " << round << " needle " << needle << " from " << from;
            }
        }
    }
    EXPECT_EQ(findBytes("abc", 3, 0, "abcd", 4), 3u);
    EXPECT_EQ(findBytes("abc", 3, 3, "c", 1), 3u);
}

TEST(BlockScan, NamesHoldingATextAreCountedOnceEachAndEntriesStartAfterEveryNul)
{
    std::mt19937 random(12);
    std::vector<std::uint32_t> starts;
    for (int round = 0; round < 300; ++round) {
        const std::string names = makeNames(random, std::size_t(1 + round % 60));
        for (const std::string needle : {"a", "aa", "ab", "b.a", "aab.", "\xc3\xa9"}) {
            ASSERT_EQ(countNamesHolding(names.data(), names.size(), needle.data(), needle.size()),
                      plainCountNames(names, needle))
                << "round " << round << " needle " << needle;
        }
        std::vector<std::uint32_t> expected{0};
        for (std::size_t i = 0; i < names.size(); ++i)
            if (names[i] == '\0')
                expected.push_back(std::uint32_t(i + 1));
        ASSERT_EQ(countNuls(names.data(), 0, names.size()), expected.size() - 1);
        findEntryStarts(names.data(), names.size(), starts);
        ASSERT_EQ(starts, expected) << "round " << round;
    }
}

} // namespace
} // namespace platterly::search
