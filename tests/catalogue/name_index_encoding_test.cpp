// The rowid runs of the name index blocks: what is encoded decodes to the same rowids, for
// rowids anywhere in SQLite's 64-bit range (another tool may have stored any of them).
#include "catalogue/name_index.h"

#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace platterly::catalogue {
namespace {

std::vector<qint64> decoded(const QByteArray& encoded)
{
    std::vector<RowidRun> runs;
    EXPECT_TRUE(decodeRowidRuns(encoded.constData(), encoded.size(), runs));
    std::vector<qint64> rowids;
    for (const RowidRun& run : runs)
        for (qint64 i = 0; i < run.length; ++i)
            rowids.push_back(static_cast<qint64>(static_cast<quint64>(run.first) + quint64(i)));
    return rowids;
}

TEST(RowidRuns, RoundTripAcrossTheWholeRange)
{
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    const std::vector<std::vector<qint64>> cases = {
        {1, 2, 3, 7, 8, 100}, {-5, -4, -1, 0, 1}, {kMin, kMin + 1, 0, kMax - 1, kMax}, {kMax}};
    for (const auto& rowids : cases)
        EXPECT_EQ(decoded(encodeRowids(rowids)), rowids);

    std::mt19937_64 random(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<qint64> rowids;
        qint64 next = static_cast<qint64>(random());
        for (int i = 0; i < 50; ++i) {
            rowids.push_back(next);
            const quint64 step = random() % 3 == 0 ? random() % 1000 + 2 : 1;
            if (static_cast<quint64>(kMax) - static_cast<quint64>(next) < step)
                break;
            next = static_cast<qint64>(static_cast<quint64>(next) + step);
        }
        ASSERT_EQ(decoded(encodeRowids(rowids)), rowids) << "round " << round;
    }
}

TEST(RowidRuns, DamagedEncodingsAreRefused)
{
    std::vector<RowidRun> runs;
    const char zeroLength[] = {2, 0}; // a run of no rows
    EXPECT_FALSE(decodeRowidRuns(zeroLength, 2, runs));
    const char cutShort[] = {2, char(0x80)}; // a varint without its end
    EXPECT_FALSE(decodeRowidRuns(cutShort, 2, runs));
}

} // namespace
} // namespace platterly::catalogue
