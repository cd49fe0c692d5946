// The encodings of the name index, shared by its writer and the search that reads it.
#include "catalogue/name_index.h"

#include "platform/sql/casefold.h"
#include "platform/sql/utf8.h"

#include <limits>

namespace platterly::catalogue {

namespace {

void putVarint(QByteArray& out, quint64 value)
{
    while (value >= 0x80) {
        out.append(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.append(static_cast<char>(value));
}

bool getVarint(const unsigned char*& p, const unsigned char* end, quint64* value)
{
    quint64 result = 0;
    for (int shift = 0; p != end && shift < 64; shift += 7) {
        const unsigned char byte = *p++;
        result |= quint64{byte & 0x7Fu} << shift;
        if ((byte & 0x80) == 0) {
            *value = result;
            return true;
        }
    }
    return false;
}

} // namespace

bool appendFoldedName(const char* text, qsizetype length, std::string& out)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* const end = p + length;
    while (p != end) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            if (lead == 0)
                return false;
            out.push_back(static_cast<char>(lead >= 'A' && lead <= 'Z' ? lead + 32 : lead));
            ++p;
            continue;
        }
        char32_t cp = 0;
        const int bytes = sql::decodeUtf8Sequence(p, end, &cp);
        if (bytes == 0)
            return false;
        p += bytes;
        sql::appendUtf8(sql::foldCase(cp), out);
    }
    return true;
}

QByteArray encodeRowids(const std::vector<qint64>& rowids)
{
    // Rowids may be anywhere in the 64-bit range: differences and ends are worked out in
    // unsigned arithmetic, which wraps instead of overflowing, and the values that come out
    // are always ones the real arithmetic gives.
    const auto u = [](qint64 value) { return static_cast<quint64>(value); };
    QByteArray out;
    std::size_t i = 0;
    qint64 previousEnd = 0;
    while (i < rowids.size()) {
        std::size_t run = 1;
        while (i + run < rowids.size() && u(rowids[i + run]) - u(rowids[i]) == run)
            ++run;
        if (i == 0) {
            const quint64 first = u(rowids[0]);
            putVarint(out, (first << 1) ^ (rowids[0] < 0 ? ~quint64{0} : 0)); // zig-zag
        } else {
            putVarint(out, u(rowids[i]) - u(previousEnd));
        }
        putVarint(out, run);
        previousEnd = static_cast<qint64>(u(rowids[i]) + (run - 1));
        i += run;
    }
    return out;
}

bool decodeRowidRuns(const char* data, qsizetype size, std::vector<RowidRun>& runs)
{
    runs.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const end = p + size;
    qint64 previousEnd = 0;
    while (p != end) {
        quint64 start = 0;
        quint64 length = 0;
        if (!getVarint(p, end, &start) || !getVarint(p, end, &length) || length == 0)
            return false;
        // Unsigned arithmetic, as in encodeRowids: damaged data gives wrong rowids (which
        // the search then does not find), never an overflow.
        const qint64 first = runs.empty()
                                 ? static_cast<qint64>((start >> 1) ^ (~(start & 1) + 1))
                                 : static_cast<qint64>(static_cast<quint64>(previousEnd) + start);
        if (length > quint64(std::numeric_limits<qint64>::max()))
            return false;
        runs.push_back({first, static_cast<qint64>(length)});
        previousEnd = static_cast<qint64>(static_cast<quint64>(first) + (length - 1));
    }
    return true;
}

QByteArray encodeBlockSet(const std::vector<std::uint16_t>& positions)
{
    QByteArray gaps(1, '\0');
    int previous = -1;
    for (const std::uint16_t position : positions) {
        putVarint(gaps, static_cast<quint64>(position - previous));
        previous = position;
    }
    constexpr int kBitmapBytes = kBlocksPerSegment / 8;
    if (gaps.size() <= kBitmapBytes + 1)
        return gaps;
    QByteArray bitmap(kBitmapBytes + 1, '\0');
    bitmap[0] = 1;
    for (const std::uint16_t position : positions)
        bitmap[1 + position / 8] =
            static_cast<char>(bitmap[1 + position / 8] | (1 << (position % 8)));
    return bitmap;
}

bool decodeBlockSet(const char* data, qsizetype size,
                    std::array<std::uint64_t, kBlocksPerSegment / 64>& bits)
{
    bits.fill(0);
    if (size < 1)
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const end = p + size;
    if (*p == 1) {
        if (size != kBlocksPerSegment / 8 + 1)
            return false;
        for (int i = 0; i < kBlocksPerSegment / 8; ++i)
            bits[static_cast<std::size_t>(i / 8)] |= std::uint64_t{p[1 + i]} << (8 * (i % 8));
        return true;
    }
    ++p;
    qint64 position = -1;
    while (p != end) {
        quint64 gap = 0;
        if (!getVarint(p, end, &gap) || gap == 0)
            return false;
        position += static_cast<qint64>(gap);
        if (position >= kBlocksPerSegment)
            return false;
        bits[static_cast<std::size_t>(position / 64)] |= std::uint64_t{1} << (position % 64);
    }
    return true;
}

} // namespace platterly::catalogue
