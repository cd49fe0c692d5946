#pragma once

#include "platform/sql/rowid_answer.h"
#include "search/block_scan.h"
#include "search/index_reader.h"
#include "search/name_query.h"
#include "search/row_filter.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace platterly::search {

// The rows of a name search, worked out from the name index in the statement's order.
//
// The blocks to read are put in order first, from the directory alone: by title (NULL first,
// then as names are listed) and within a title by rowid, or, ordered by name, all together. A
// title's blocks whose rows follow each other are then read one at a time, so the first rows come
// after reading one block; blocks whose rows interleave (a title written more than once by
// another program), and results ordered by name, are read whole and sorted. The total is
// counted from the same blocks, each read at most once for it. Conditions on SIZE and
// MODIFIED are tested on the rows of each block's hits (see RowFilter), for the rows and the
// total alike.
class IndexAnswer : public sql::RowidAnswer
{
public:
    IndexAnswer(const sql::Database& db, NameQuery query,
                std::shared_ptr<const IndexDirectory> directory,
                const std::optional<CandidateBlocks>& candidates);
    IndexAnswer(const IndexAnswer&) = delete;
    IndexAnswer& operator=(const IndexAnswer&) = delete;

    std::unique_ptr<sql::RowidCursor> open() const override;
    qint64 count() const override;
    // The search the answer was worked out for.
    const NameQuery& query() const { return m_query; }

private:
    friend class IndexCursor;

    enum class RunOrder
    {
        Stored,
        ByRowid,
        ByName
    };
    struct Run
    {
        std::vector<qint64> blocks;
        RunOrder order = RunOrder::Stored;
    };

    // The order keys of a run's matches' names, kept together for sorting by name.
    struct NamedRowids
    {
        struct Entry
        {
            std::size_t offset;
            std::uint32_t length;
            qint64 rowid;
        };
        std::string names;
        std::vector<Entry> entries;
    };

    void planRuns(const std::optional<CandidateBlocks>& candidates);
    // Appends the rowids of the block's matches, or with `named` their names' order keys and
    // rowids; notes their number for count(). A block that is gone matches nothing.
    void scan(qint64 block, std::vector<qint64>* rowids, NamedRowids* named) const;
    // The number of matches of a block, counted once.
    qint64 hitCount(qint64 block) const;

    NameQuery m_query;
    BlockMatcher m_matcher{m_query};
    std::shared_ptr<const IndexDirectory> m_directory;
    std::vector<Run> m_runs;
    mutable IndexReader m_reader;
    mutable BlockRowids m_rowids;
    mutable std::vector<BlockHit> m_hits;
    mutable std::vector<qint64> m_hitRowids;
    mutable std::unique_ptr<RowFilter> m_filter; // when the query tests SIZE or MODIFIED
    mutable std::unordered_map<qint64, qint64> m_hitCounts;
};

} // namespace platterly::search
