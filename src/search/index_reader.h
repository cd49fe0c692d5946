#pragma once

#include "catalogue/name_index.h"
#include "platform/sql/sqlite_db.h"

#include <QByteArray>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace platterly::search {

// One block of the name index (see catalogue/name_index.h) as SQLite hands it over: valid
// until the next block is read.
struct BlockView
{
    qint64 id = 0;
    const char* names = nullptr; // the folded names, a NUL after each
    std::size_t namesSize = 0;
    const std::uint8_t* types = nullptr; // one per entry
    std::size_t entries = 0;
    const char* rowids = nullptr; // see catalogue::encodeRowids
    std::size_t rowidsSize = 0;
};

// The rowids of a block's entries, from its runs of consecutive rowids.
class BlockRowids
{
public:
    // False when the runs are damaged or hold another number of rowids than `entries`.
    bool decode(const BlockView& block);
    // The rowid of entry `entry`; asked for in ascending entries, it takes no search.
    qint64 rowidOf(std::size_t entry);

private:
    struct Run
    {
        std::size_t firstEntry;
        qint64 firstRowid;
    };
    std::vector<catalogue::RowidRun> m_decoded;
    std::vector<Run> m_runs;
    std::size_t m_current = 0;
};

// Where the blocks are, which title each belongs to and which rows it spans: enough to put
// the blocks of a search in the statement's order before reading any names.
struct IndexDirectory
{
    struct Title
    {
        QString text; // empty for the NULL title
        bool isNull = false;
    };
    struct Block
    {
        qint64 id = 0;
        int title = 0; // in titles
        qint64 firstRow = 0;
        qint64 lastRow = 0;
    };

    qint64 stamp = -1;
    std::vector<Title> titles;
    std::vector<Block> blocks;
};

// The blocks whose names may hold a literal: those listed under all of its grams.
class CandidateBlocks
{
public:
    bool contains(qint64 block) const;
    // The candidates in ascending order.
    std::vector<qint64> blocks() const;

private:
    friend class IndexReader;
    using Bits = std::array<std::uint64_t, catalogue::kBlocksPerSegment / 64>;
    std::unordered_map<qint64, Bits> m_segments;
};

// Reads the name index of one connection. The caller has checked that the index is current.
class IndexReader
{
public:
    explicit IndexReader(const sql::Database& db) : m_db(db) {}

    const sql::Database& database() const { return m_db; }

    std::optional<IndexDirectory> directory(qint64 stamp) const;
    // The part of the directory that lists `blocks` (ascending), for a search that reads so
    // few blocks that reading the whole directory would cost more.
    std::optional<IndexDirectory> directoryOf(const std::vector<qint64>& blocks,
                                              qint64 stamp) const;
    // Nothing when the literal is too short to have grams: then every block is a candidate.
    std::optional<CandidateBlocks> candidates(const QByteArray& literal) const;
    // Reads a block into `view`; false when it is gone or damaged. The view stays valid until
    // the next block is read.
    bool readBlock(qint64 id, BlockView* view);

private:
    const sql::Database& m_db;
    std::optional<sql::Statement> m_readBlock;
    qint64 m_atBlock = -1; // the block m_readBlock stands on, or -1
};

} // namespace platterly::search
