#pragma once

#include "search/index_reader.h"
#include "search/name_query.h"

#include <cstdint>
#include <vector>

namespace platterly::search {

// An entry of a block that a query matches.
struct BlockHit
{
    std::uint32_t entry = 0;      // position in the block: its type and rowid
    std::uint32_t nameOffset = 0; // its folded name in BlockView::names
    std::uint32_t nameLength = 0;
};

// Finds the entries of a block that a name query matches. With a literal the names are
// searched for it as bytes, a vector's width at a time, and only the names that hold it are
// matched in full; without one, every name of an accepted type is matched.
class BlockMatcher
{
public:
    explicit BlockMatcher(const NameQuery& query) : m_query(query) {}

    // Appends the hits of the block in entry order.
    void findHits(const BlockView& block, std::vector<BlockHit>& hits) const;
    // The number of hits of the block.
    std::size_t countHits(const BlockView& block) const;

private:
    void findByLiteral(const BlockView& block, std::vector<BlockHit>& hits) const;
    void findByTrying(const BlockView& block, std::vector<BlockHit>& hits) const;
    bool acceptsAllTypes(const BlockView& block) const;

    const NameQuery& m_query;
    mutable std::vector<std::uint32_t> m_starts; // where each entry's name begins
    mutable std::vector<BlockHit> m_counted;
};

// The first place at or after `from` where `needle` occurs in the first `size` bytes of
// `haystack`, or `size` when it does not.
std::size_t findBytes(const char* haystack, std::size_t size, std::size_t from, const char* needle,
                      std::size_t needleSize);

// The number of NUL-ended names among the first `size` bytes of `names` that hold `needle`.
std::size_t countNamesHolding(const char* names, std::size_t size, const char* needle,
                              std::size_t needleSize);

// The number of NUL bytes in [from, to) of `haystack`.
std::size_t countNuls(const char* haystack, std::size_t from, std::size_t to);

// Where each name of a block begins: 0, then one past every NUL, up to the end.
void findEntryStarts(const char* names, std::size_t size, std::vector<std::uint32_t>& starts);

} // namespace platterly::search
