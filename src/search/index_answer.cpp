#include "search/index_answer.h"

#include "catalogue/name_index.h"
#include "platform/sql/casefold.h"
#include "platform/sql/name_order.h"

#include <algorithm>
#include <string_view>
#include <thread>

namespace platterly::search {

namespace {

using Directory = IndexDirectory;

// The title order of "ORDER BY CDNAME": NULL first, then in the order names are listed
// (sql::compareNameOrder).
bool titleBefore(const Directory::Title& a, const Directory::Title& b)
{
    if (a.isNull || b.isNull)
        return a.isNull && !b.isNull;
    return sql::compareNameOrder(a.text, b.text) < 0;
}

bool sameTitle(const Directory::Title& a, const Directory::Title& b)
{
    return a.isNull == b.isNull && (a.isNull || sql::compareNameOrder(a.text, b.text) == 0);
}

// The hits of a block that pass the filter (when there is one), with their rowids.
void matchBlock(const BlockView& block, BlockRowids& rowids, const BlockMatcher& matcher,
                RowFilter* filter, std::vector<BlockHit>& hits, std::vector<qint64>& hitRowids)
{
    hits.clear();
    hitRowids.clear();
    matcher.findHits(block, hits);
    for (const BlockHit& hit : hits)
        hitRowids.push_back(rowids.rowidOf(hit.entry));
    if (!filter)
        return;
    std::vector<char> verdicts;
    filter->test(hitRowids, verdicts);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < hits.size(); ++i) {
        if (!verdicts[i])
            continue;
        hits[kept] = hits[i];
        hitRowids[kept++] = hitRowids[i];
    }
    hits.resize(kept);
    hitRowids.resize(kept);
}

// The number of hits of a block that pass the filter.
qint64 countBlock(const BlockView& block, BlockRowids& rowids, const BlockMatcher& matcher,
                  RowFilter* filter)
{
    if (!filter)
        return qint64(matcher.countHits(block));
    std::vector<BlockHit> hits;
    std::vector<qint64> hitRowids;
    matchBlock(block, rowids, matcher, filter, hits, hitRowids);
    return qint64(hits.size());
}

} // namespace

// Hands out the rowids of one run at a time: a block's worth for a run in stored order, the
// whole run, sorted, for the others.
class IndexCursor : public sql::RowidCursor
{
public:
    explicit IndexCursor(const IndexAnswer& answer) : m_answer(answer) {}

    bool next(qint64* rowid) override
    {
        while (m_next == m_ready.size())
            if (!fill())
                return false;
        *rowid = m_ready[m_next++];
        return true;
    }

private:
    bool fill()
    {
        m_ready.clear();
        m_next = 0;
        if (m_run == m_answer.m_runs.size())
            return false;
        const IndexAnswer::Run& run = m_answer.m_runs[m_run];
        if (run.order == IndexAnswer::RunOrder::Stored) {
            if (m_block == run.blocks.size()) {
                ++m_run;
                m_block = 0;
            } else {
                m_answer.scan(run.blocks[m_block++], &m_ready, nullptr);
            }
            return true;
        }
        ++m_run;
        if (run.order == IndexAnswer::RunOrder::ByRowid) {
            for (const qint64 id : run.blocks)
                m_answer.scan(id, &m_ready, nullptr);
            std::sort(m_ready.begin(), m_ready.end());
            return true;
        }
        // By name: the names' order keys, compared byte by byte, give the order of
        // "ORDER BY FNAME" (sql::compareNameOrder); equal keys keep stored order.
        IndexAnswer::NamedRowids named;
        for (const qint64 id : run.blocks)
            m_answer.scan(id, nullptr, &named);
        const auto nameOf = [&named](const IndexAnswer::NamedRowids::Entry& entry) {
            return std::string_view(named.names.data() + entry.offset, entry.length);
        };
        std::sort(named.entries.begin(), named.entries.end(),
                  [&nameOf](const auto& a, const auto& b) {
                      const int order = nameOf(a).compare(nameOf(b));
                      return order != 0 ? order < 0 : a.rowid < b.rowid;
                  });
        m_ready.reserve(named.entries.size());
        for (const auto& entry : named.entries)
            m_ready.push_back(entry.rowid);
        return true;
    }

    const IndexAnswer& m_answer;
    std::size_t m_run = 0;
    std::size_t m_block = 0;
    std::vector<qint64> m_ready;
    std::size_t m_next = 0;
};

IndexAnswer::IndexAnswer(const sql::Database& db, NameQuery query,
                         std::shared_ptr<const IndexDirectory> directory,
                         const std::optional<CandidateBlocks>& candidates)
    : m_query(std::move(query)), m_directory(std::move(directory)), m_reader(db)
{
    if (!m_query.rowConditions.empty())
        m_filter = std::make_unique<RowFilter>(db, m_query.rowConditions);
    planRuns(candidates);
}

void IndexAnswer::planRuns(const std::optional<CandidateBlocks>& candidates)
{
    const Directory& directory = *m_directory;
    std::vector<bool> titleInScope(directory.titles.size(), true);
    if (m_query.title) {
        for (std::size_t t = 0; t < directory.titles.size(); ++t)
            titleInScope[t] = !directory.titles[t].isNull &&
                              sql::equalsFolded(directory.titles[t].text, *m_query.title);
    }
    // The blocks to read, by title; blocks the grams rule out hold no match.
    std::vector<std::vector<const Directory::Block*>> byTitle(directory.titles.size());
    for (const Directory::Block& block : directory.blocks)
        if (titleInScope[std::size_t(block.title)] &&
            (!candidates || candidates->contains(block.id)))
            byTitle[std::size_t(block.title)].push_back(&block);

    std::vector<int> titles;
    for (std::size_t t = 0; t < byTitle.size(); ++t)
        if (!byTitle[t].empty())
            titles.push_back(int(t));
    std::stable_sort(titles.begin(), titles.end(), [&](int a, int b) {
        return titleBefore(directory.titles[std::size_t(a)], directory.titles[std::size_t(b)]);
    });

    const auto addRun = [this](std::vector<const Directory::Block*> blocks, RunOrder order) {
        std::sort(blocks.begin(), blocks.end(), [](const auto* a, const auto* b) {
            return a->firstRow != b->firstRow ? a->firstRow < b->firstRow : a->id < b->id;
        });
        // Blocks whose rows follow each other can be read one at a time.
        if (order == RunOrder::ByRowid) {
            order = RunOrder::Stored;
            for (std::size_t i = 1; i < blocks.size(); ++i)
                if (blocks[i - 1]->lastRow >= blocks[i]->firstRow)
                    order = RunOrder::ByRowid;
        }
        Run run{{}, order};
        for (const auto* block : blocks)
            run.blocks.push_back(block->id);
        m_runs.push_back(std::move(run));
    };

    if (m_query.order == NameQuery::Order::ByName) {
        std::vector<const Directory::Block*> all;
        for (const int t : titles)
            all.insert(all.end(), byTitle[std::size_t(t)].begin(), byTitle[std::size_t(t)].end());
        addRun(std::move(all), RunOrder::ByName);
        return;
    }
    // Titles that differ only in letter case make one group, whose rows come in rowid order.
    for (std::size_t i = 0; i < titles.size();) {
        std::vector<const Directory::Block*> group;
        std::size_t j = i;
        for (; j < titles.size() && sameTitle(directory.titles[std::size_t(titles[i])],
                                              directory.titles[std::size_t(titles[j])]);
             ++j)
            group.insert(group.end(), byTitle[std::size_t(titles[j])].begin(),
                         byTitle[std::size_t(titles[j])].end());
        addRun(std::move(group), RunOrder::ByRowid);
        i = j;
    }
}

void IndexAnswer::scan(qint64 id, std::vector<qint64>* rowids, NamedRowids* named) const
{
    BlockView block;
    m_hits.clear();
    m_hitRowids.clear();
    if (m_reader.readBlock(id, &block) && m_rowids.decode(block))
        matchBlock(block, m_rowids, m_matcher, m_filter.get(), m_hits, m_hitRowids);
    m_hitCounts[id] = qint64(m_hits.size());
    for (std::size_t i = 0; i < m_hits.size(); ++i) {
        const BlockHit& hit = m_hits[i];
        const qint64 rowid = m_hitRowids[i];
        if (named) {
            const std::size_t offset = named->names.size();
            sql::appendNameOrderKeyUtf8(block.names + hit.nameOffset, hit.nameLength, named->names);
            named->entries.push_back({offset, std::uint32_t(named->names.size() - offset), rowid});
        } else
            rowids->push_back(rowid);
    }
}

std::unique_ptr<sql::RowidCursor> IndexAnswer::open() const
{
    return std::make_unique<IndexCursor>(*this);
}

qint64 IndexAnswer::hitCount(qint64 id) const
{
    if (const auto counted = m_hitCounts.find(id); counted != m_hitCounts.end())
        return counted->second;
    BlockView block;
    const qint64 found = m_reader.readBlock(id, &block) && m_rowids.decode(block)
                             ? countBlock(block, m_rowids, m_matcher, m_filter.get())
                             : 0;
    m_hitCounts.emplace(id, found);
    return found;
}

namespace {

// Below this many blocks to count, a second connection and thread cost more than they save.
constexpr std::size_t kBlocksWorthAHelper = 512;

// The hits of each of `blocks`, counted on a connection of its own to the file, on the
// thread that calls it. Nothing when the file's name index is no longer the one the answer
// was made from (another program committed a change meanwhile), or cannot be read. Runs on
// the helper thread: it must not touch the caller's connection at all.
std::optional<std::vector<qint64>> countOnOwnConnection(const QString& path, qint64 stamp,
                                                        const NameQuery& query,
                                                        const std::vector<qint64>& blocks)
{
    // The caller holds the file's read lock and waits for this thread: should a writer of
    // another program stand between (its pending lock lets no new reader in), this one gives
    // up at once and the caller counts the rest, rather than both waiting on each other.
    sql::SqlError error;
    const auto db = sql::Database::openWithoutWaiting(path, &error);
    if (!db)
        return std::nullopt;
    // One read lock for the stamp and every block: they describe one moment of the file.
    const sql::ReadScope readScope(*db);
    catalogue::NameIndexState state;
    if (catalogue::readNameIndexState(*db, &state) != catalogue::NameIndexStatus::Current ||
        state.stamp != stamp)
        return std::nullopt;
    IndexReader reader(*db);
    const BlockMatcher matcher(query);
    BlockRowids rowids;
    std::unique_ptr<RowFilter> filter;
    if (!query.rowConditions.empty())
        filter = std::make_unique<RowFilter>(*db, query.rowConditions);
    std::vector<qint64> counts;
    counts.reserve(blocks.size());
    for (const qint64 id : blocks) {
        BlockView block;
        counts.push_back(reader.readBlock(id, &block) && rowids.decode(block)
                             ? countBlock(block, rowids, matcher, filter.get())
                             : 0);
    }
    return counts;
}

} // namespace

qint64 IndexAnswer::count() const
{
    // Blocks not counted yet. A long count is shared with a second thread, which reads the
    // file through a connection of its own (a connection serves one thread at a time).
    std::vector<qint64> todo;
    for (const Run& run : m_runs)
        for (const qint64 id : run.blocks)
            if (!m_hitCounts.contains(id))
                todo.push_back(id);
    const sql::Database& db = m_reader.database();
    const QString path = db.path();
    if (todo.size() >= kBlocksWorthAHelper && !path.isEmpty() && path != u":memory:"_qs) {
        const std::vector<qint64> second(todo.begin() + std::ptrdiff_t(todo.size() / 2),
                                         todo.end());
        std::optional<std::vector<qint64>> secondCounts;
        const qint64 stamp = m_directory->stamp;
        std::thread helper(
            [&] { secondCounts = countOnOwnConnection(path, stamp, m_query, second); });
        for (std::size_t i = 0; i < todo.size() / 2; ++i)
            hitCount(todo[i]);
        helper.join();
        if (secondCounts)
            for (std::size_t i = 0; i < second.size(); ++i)
                m_hitCounts.emplace(second[i], (*secondCounts)[i]);
    }
    qint64 total = 0;
    for (const Run& run : m_runs)
        for (const qint64 id : run.blocks)
            total += hitCount(id);
    return total;
}

} // namespace platterly::search
