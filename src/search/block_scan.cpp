#include "search/block_scan.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace platterly::search {

namespace {

// Whether the `size` bytes at `a` and `b` are equal; the needles of names are short, and a
// call of memcmp costs more than comparing them here.
inline bool sameBytes(const char* a, const char* b, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

} // namespace

std::size_t findBytes(const char* haystack, std::size_t size, std::size_t from, const char* needle,
                      std::size_t needleSize)
{
    if (needleSize == 0)
        return std::min(from, size);
    if (needleSize > size || from > size - needleSize)
        return size;
    if (needleSize == 1) {
        const void* found = std::memchr(haystack + from, needle[0], size - from);
        return found ? std::size_t(static_cast<const char*>(found) - haystack) : size;
    }
#if defined(__SSE2__)
    // Sixteen starting places at a time: those where both the needle's first and its last byte
    // fit are compared in full. The last byte makes false starts rare even for common first
    // letters, which is what makes this fast on names.
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i last = _mm_set1_epi8(needle[needleSize - 1]);
    std::size_t at = from;
    for (; at + needleSize + 15 <= size; at += 16) {
        const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + at));
        const __m128i tails =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + at + needleSize - 1));
        auto starts = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(heads, first), _mm_cmpeq_epi8(tails, last))));
        while (starts != 0) {
            const std::size_t start = at + std::size_t(std::countr_zero(starts));
            if (sameBytes(haystack + start + 1, needle + 1, needleSize - 2))
                return start;
            starts &= starts - 1;
        }
    }
    // The last few places, which a whole vector would read past.
    for (; at + needleSize <= size; ++at)
        if (haystack[at] == needle[0] &&
            std::memcmp(haystack + at + 1, needle + 1, needleSize - 1) == 0)
            return at;
    return size;
#else
    const char* found =
        std::search(haystack + from, haystack + size,
                    std::boyer_moore_horspool_searcher(needle, needle + needleSize));
    return std::size_t(found - haystack);
#endif
}

std::size_t countNuls(const char* haystack, std::size_t from, std::size_t to)
{
    std::size_t count = 0;
#if defined(__SSE2__)
    // Each NUL subtracts -1 from its byte of the tally; the bytes are summed before any of
    // them can overflow.
    const __m128i zero = _mm_setzero_si128();
    while (from + 16 <= to) {
        __m128i tally = zero;
        for (int round = 0; round < 255 && from + 16 <= to; ++round, from += 16) {
            const __m128i bytes =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + from));
            tally = _mm_sub_epi8(tally, _mm_cmpeq_epi8(bytes, zero));
        }
        const __m128i sums = _mm_sad_epu8(tally, zero);
        count += std::size_t(_mm_cvtsi128_si32(sums)) +
                 std::size_t(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
#endif
    for (; from < to; ++from)
        count += haystack[from] == '\0' ? 1 : 0;
    return count;
}

namespace {

// Where countNamesHolding() has come: the names counted so far, the place of the last one
// counted and of the last NUL passed.
struct HoldingScan
{
    std::size_t count = 0;
    std::ptrdiff_t lastCounted = -2; // the first place found always counts
    std::ptrdiff_t lastNul = -1;
    std::size_t at = 0;
};

// One vector of starting places: `nuls` marks the NULs among them, `starts` the places where
// both the needle's first and last byte fit. A place counts when a NUL lies between it and
// the last place counted: it is in a name of its own.
template <typename Mask>
inline void countStarts(HoldingScan& scan, const char* names, Mask nuls, Mask starts,
                        const char* needle, std::size_t needleSize)
{
    constexpr int kBits = int(sizeof(Mask) * 8);
    while (starts != 0) {
        const int bit = std::countr_zero(starts);
        const Mask nulsBefore = nuls & ((Mask{1} << bit) - 1);
        const std::ptrdiff_t nulBefore =
            nulsBefore != 0 ? std::ptrdiff_t(scan.at) + kBits - 1 - std::countl_zero(nulsBefore)
                            : scan.lastNul;
        const std::size_t start = scan.at + std::size_t(bit);
        if (nulBefore > scan.lastCounted &&
            (needleSize < 2 || sameBytes(names + start + 1, needle + 1, needleSize - 2))) {
            ++scan.count;
            scan.lastCounted = std::ptrdiff_t(start);
        }
        starts &= starts - 1;
    }
    if (nuls != 0)
        scan.lastNul = std::ptrdiff_t(scan.at) + kBits - 1 - std::countl_zero(nuls);
}

#if defined(__x86_64__) && defined(__GNUC__)
#define PLATTERLY_HAVE_AVX2_SCAN 1
// Thirty-two places at a time, on processors that have AVX2 (chosen when the program runs).
__attribute__((target("avx2"))) void countHoldingAvx2(HoldingScan& scan, const char* names,
                                                      std::size_t size, const char* needle,
                                                      std::size_t needleSize)
{
    const __m256i first = _mm256_set1_epi8(needle[0]);
    const __m256i last = _mm256_set1_epi8(needle[needleSize - 1]);
    const __m256i zero = _mm256_setzero_si256();
    for (; scan.at + needleSize + 31 <= size; scan.at += 32) {
        const __m256i heads = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(names + scan.at));
        const __m256i tails =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(names + scan.at + needleSize - 1));
        const auto nuls =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(heads, zero)));
        const auto starts = static_cast<std::uint32_t>(_mm256_movemask_epi8(
            _mm256_and_si256(_mm256_cmpeq_epi8(heads, first), _mm256_cmpeq_epi8(tails, last))));
        countStarts(scan, names, nuls, starts, needle, needleSize);
    }
}

bool hasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

} // namespace

std::size_t countNamesHolding(const char* names, std::size_t size, const char* needle,
                              std::size_t needleSize)
{
    if (needleSize == 0)
        return countNuls(names, 0, size);
    // Places are found as findBytes() finds them, and the NULs on the way are noted as they
    // pass, so no name needs to be searched for its end.
    HoldingScan scan;
#if defined(PLATTERLY_HAVE_AVX2_SCAN)
    if (hasAvx2())
        countHoldingAvx2(scan, names, size, needle, needleSize);
#endif
#if defined(__SSE2__)
    {
        const __m128i first = _mm_set1_epi8(needle[0]);
        const __m128i last = _mm_set1_epi8(needle[needleSize - 1]);
        const __m128i zero = _mm_setzero_si128();
        for (; scan.at + needleSize + 15 <= size; scan.at += 16) {
            const __m128i heads =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(names + scan.at));
            const __m128i tails =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(names + scan.at + needleSize - 1));
            const auto nuls =
                static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(heads, zero)));
            const auto starts = static_cast<std::uint16_t>(_mm_movemask_epi8(
                _mm_and_si128(_mm_cmpeq_epi8(heads, first), _mm_cmpeq_epi8(tails, last))));
            countStarts(scan, names, nuls, starts, needle, needleSize);
        }
    }
#endif
    for (; scan.at + needleSize <= size; ++scan.at) {
        if (names[scan.at] == '\0') {
            scan.lastNul = std::ptrdiff_t(scan.at);
            continue;
        }
        if (scan.lastNul > scan.lastCounted && names[scan.at] == needle[0] &&
            sameBytes(names + scan.at + 1, needle + 1, needleSize - 1)) {
            ++scan.count;
            scan.lastCounted = std::ptrdiff_t(scan.at);
        }
    }
    return scan.count;
}

void findEntryStarts(const char* names, std::size_t size, std::vector<std::uint32_t>& starts)
{
    starts.clear();
    starts.push_back(0);
    std::size_t at = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; at + 16 <= size; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(names + at));
        auto nuls = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, zero)));
        while (nuls != 0) {
            starts.push_back(std::uint32_t(at + std::size_t(std::countr_zero(nuls)) + 1));
            nuls &= nuls - 1;
        }
    }
#endif
    for (; at < size; ++at)
        if (names[at] == '\0')
            starts.push_back(std::uint32_t(at + 1));
}

void BlockMatcher::findHits(const BlockView& block, std::vector<BlockHit>& hits) const
{
    if (m_query.literal.isEmpty())
        findByTrying(block, hits);
    else
        findByLiteral(block, hits);
}

bool BlockMatcher::acceptsAllTypes(const BlockView& block) const
{
    const std::uint8_t* types = block.types;
    switch (m_query.typeTest) {
    case NameQuery::TypeTest::Any:
        return true;
    case NameQuery::TypeTest::Equal:
        return std::all_of(types, types + block.entries,
                           [code = m_query.typeCode](std::uint8_t type) { return type == code; });
    case NameQuery::TypeTest::NotEqual:
        return std::memchr(types, m_query.typeCode, block.entries) == nullptr &&
               std::memchr(types, catalogue::kTypeNull, block.entries) == nullptr;
    }
    return false;
}

std::size_t BlockMatcher::countHits(const BlockView& block) const
{
    // The common count: "*text*" over a block whose every entry passes the TYPE test. Then
    // each name holding the text is a hit, and no entry needs to be told apart.
    if (m_query.literalOnly && acceptsAllTypes(block))
        return std::min(block.entries,
                        countNamesHolding(block.names, block.namesSize, m_query.literal.constData(),
                                          std::size_t(m_query.literal.size())));
    m_counted.clear();
    findHits(block, m_counted);
    return m_counted.size();
}

// A block whose names and types disagree in number gives the entries both have: fewer rows,
// never a read out of bounds.
void BlockMatcher::findByLiteral(const BlockView& block, std::vector<BlockHit>& hits) const
{
    const char* names = block.names;
    const std::size_t size = block.namesSize;
    const char* literal = m_query.literal.constData();
    const auto literalSize = std::size_t(m_query.literal.size());
    // `next` is always the start of an entry, and `entry` the number of entries before it.
    std::size_t next = 0;
    std::size_t entry = 0;
    while (next < size) {
        const std::size_t at = findBytes(names, size, next, literal, literalSize);
        if (at >= size)
            return;
        entry += countNuls(names, next, at);
        if (entry >= block.entries)
            return;
        std::size_t start = at;
        while (start > next && names[start - 1] != '\0')
            --start;
        const auto* nul = static_cast<const char*>(std::memchr(names + at, '\0', size - at));
        const std::size_t end = nul ? std::size_t(nul - names) : size;
        if (m_query.acceptsType(block.types[entry]) &&
            (m_query.literalOnly ||
             m_query.pattern.matchesUtf8(names + start, static_cast<int>(end - start))))
            hits.push_back(
                {std::uint32_t(entry), std::uint32_t(start), std::uint32_t(end - start)});
        next = end + 1;
        ++entry;
    }
}

void BlockMatcher::findByTrying(const BlockView& block, std::vector<BlockHit>& hits) const
{
    const bool everything = m_query.pattern.matchesEverything();
    findEntryStarts(block.names, block.namesSize, m_starts);
    const std::size_t entries = std::min(block.entries, m_starts.size() - 1);
    for (std::size_t entry = 0; entry < entries; ++entry) {
        const std::size_t start = m_starts[entry];
        const std::size_t length = m_starts[entry + 1] - 1 - start;
        if (m_query.acceptsType(block.types[entry]) &&
            (everything ||
             m_query.pattern.matchesUtf8(block.names + start, static_cast<int>(length))))
            hits.push_back({std::uint32_t(entry), std::uint32_t(start), std::uint32_t(length)});
    }
}

} // namespace platterly::search
