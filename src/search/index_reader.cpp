#include "search/index_reader.h"

#include <algorithm>
#include <bit>
#include <sqlite3.h>

namespace platterly::search {

using catalogue::kBlocksPerSegment;
using sql::Statement;

namespace {

// A long literal has many grams; a few spread over it narrow the blocks as well as all of
// them, for fewer reads.
constexpr std::size_t kMostGrams = 6;

std::vector<std::uint32_t> gramsOf(const QByteArray& literal)
{
    std::vector<std::uint32_t> all;
    const auto* p = reinterpret_cast<const unsigned char*>(literal.constData());
    for (qsizetype i = 0; i + 2 < literal.size(); ++i)
        all.push_back(catalogue::gramOf(p[i], p[i + 1], p[i + 2]));
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    if (all.size() <= kMostGrams)
        return all;
    std::vector<std::uint32_t> some;
    for (std::size_t k = 0; k < kMostGrams; ++k)
        some.push_back(all[k * (all.size() - 1) / (kMostGrams - 1)]);
    return some;
}

} // namespace

bool CandidateBlocks::contains(qint64 block) const
{
    const auto found = m_segments.find(block / kBlocksPerSegment);
    if (found == m_segments.end())
        return false;
    const qint64 position = block % kBlocksPerSegment;
    return (found->second[std::size_t(position / 64)] >> (position % 64)) & 1;
}

std::vector<qint64> CandidateBlocks::blocks() const
{
    std::vector<qint64> found;
    for (const auto& [segment, bits] : m_segments)
        for (std::size_t word = 0; word < bits.size(); ++word)
            for (std::uint64_t rest = bits[word]; rest != 0; rest &= rest - 1)
                found.push_back(segment * kBlocksPerSegment + qint64(word * 64) +
                                std::countr_zero(rest));
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<IndexDirectory> IndexReader::directoryOf(const std::vector<qint64>& blocks,
                                                       qint64 stamp) const
{
    sql::SqlError error;
    auto row = m_db.prepare(QStringLiteral("SELECT CDNAME, FIRSTROW, LASTROW FROM %1"
                                           " WHERE BLOCK = ?1")
                                .arg(catalogue::kNameIndexTable),
                            &error);
    if (!row)
        return std::nullopt;
    IndexDirectory directory;
    directory.stamp = stamp;
    for (const qint64 id : blocks) {
        row->reset();
        row->bindInt(1, id);
        if (row->step() != Statement::Step::Row)
            continue; // listed under its grams, but gone since
        const bool isNull = row->isNull(0);
        const QString title = isNull ? QString() : row->text(0);
        const auto same = [&](const IndexDirectory::Title& known) {
            return known.isNull == isNull && known.text == title;
        };
        auto known = std::find_if(directory.titles.begin(), directory.titles.end(), same);
        if (known == directory.titles.end())
            known = directory.titles.insert(directory.titles.end(), {title, isNull});
        directory.blocks.push_back(
            {id, int(known - directory.titles.begin()), row->integer(1), row->integer(2)});
    }
    return directory;
}

std::optional<IndexDirectory> IndexReader::directory(qint64 stamp) const
{
    sql::SqlError error;
    auto rows = m_db.prepare(QStringLiteral("SELECT BLOCK, CDNAME, FIRSTROW, LASTROW FROM %1"
                                            " ORDER BY CDNAME, FIRSTROW")
                                 .arg(catalogue::kNameIndexTable),
                             &error);
    if (!rows)
        return std::nullopt;
    IndexDirectory directory;
    directory.stamp = stamp;
    // The rows come ordered by title, so a title is new when it differs from the last one.
    QByteArray lastTitle;
    bool lastIsNull = false;
    Statement::Step step;
    while ((step = rows->step()) == Statement::Step::Row) {
        IndexDirectory::Block block;
        block.id = rows->integer(0);
        block.firstRow = rows->integer(2);
        block.lastRow = rows->integer(3);
        const bool isNull = rows->isNull(1);
        int length = 0;
        const char* title = rows->utf8(1, &length);
        if (directory.titles.empty() || isNull != lastIsNull ||
            (!isNull && QByteArrayView(title, length) != lastTitle)) {
            lastTitle = QByteArray(title, length);
            lastIsNull = isNull;
            directory.titles.push_back({isNull ? QString() : QString::fromUtf8(lastTitle), isNull});
        }
        block.title = int(directory.titles.size()) - 1;
        directory.blocks.push_back(block);
    }
    if (step == Statement::Step::Error)
        return std::nullopt;
    return directory;
}

std::optional<CandidateBlocks> IndexReader::candidates(const QByteArray& literal) const
{
    const std::vector<std::uint32_t> grams = gramsOf(literal);
    if (grams.empty())
        return std::nullopt;
    sql::SqlError error;
    auto postings = m_db.prepare(QStringLiteral("SELECT SEG, BLOCKS FROM %1 WHERE GRAM = ?1")
                                     .arg(catalogue::kNameGramsTable),
                                 &error);
    if (!postings)
        return std::nullopt;
    CandidateBlocks result;
    CandidateBlocks::Bits bits;
    for (std::size_t g = 0; g < grams.size(); ++g) {
        postings->reset();
        postings->bindInt(1, grams[g]);
        std::unordered_map<qint64, CandidateBlocks::Bits> narrowed;
        while (postings->step() == Statement::Step::Row) {
            const qint64 segment = postings->integer(0);
            const auto* data = static_cast<const char*>(sqlite3_column_blob(postings->handle(), 1));
            if (!catalogue::decodeBlockSet(data, sqlite3_column_bytes(postings->handle(), 1), bits))
                return std::nullopt; // a damaged list narrows nothing
            if (g == 0) {
                narrowed.emplace(segment, bits);
                continue;
            }
            const auto before = result.m_segments.find(segment);
            if (before == result.m_segments.end())
                continue;
            for (std::size_t w = 0; w < bits.size(); ++w)
                bits[w] &= before->second[w];
            narrowed.emplace(segment, bits);
        }
        result.m_segments = std::move(narrowed);
        if (result.m_segments.empty())
            break;
    }
    return result;
}

namespace {

// A block at most this far past the one read last is reached by stepping on, which costs less
// than looking it up from the root of the table again.
constexpr qint64 kStepAhead = 4;

} // namespace

bool IndexReader::readBlock(qint64 id, BlockView* view)
{
    if (!m_readBlock) {
        sql::SqlError error;
        m_readBlock = m_db.prepare(QStringLiteral("SELECT BLOCK, ROWIDS, TYPES, NAMES FROM %1"
                                                  " WHERE BLOCK >= ?1 ORDER BY BLOCK")
                                       .arg(catalogue::kNameIndexTable),
                                   &error);
        if (!m_readBlock)
            return false;
        m_atBlock = -1;
    }
    // Blocks are mostly read in ascending order: the statement walks on through the table
    // and is started again only for a block behind it or far ahead of it.
    Statement& read = *m_readBlock;
    if (m_atBlock < 0 || id <= m_atBlock || id - m_atBlock > kStepAhead) {
        read.reset();
        read.bindInt(1, id);
        m_atBlock = read.step() == Statement::Step::Row ? read.integer(0) : -1;
    }
    while (m_atBlock >= 0 && m_atBlock < id)
        m_atBlock = read.step() == Statement::Step::Row ? read.integer(0) : -1;
    if (m_atBlock != id) {
        // Gone, or the end of the table: start afresh next time.
        m_atBlock = -1;
        return false;
    }
    // The values are read where SQLite holds them, without a copy; they stay until the next
    // step of the statement.
    sqlite3_stmt* row = read.handle();
    view->id = id;
    view->rowids = static_cast<const char*>(sqlite3_column_blob(row, 1));
    view->rowidsSize = std::size_t(sqlite3_column_bytes(row, 1));
    view->types = static_cast<const std::uint8_t*>(sqlite3_column_blob(row, 2));
    view->entries = std::size_t(sqlite3_column_bytes(row, 2));
    view->names = static_cast<const char*>(sqlite3_column_blob(row, 3));
    view->namesSize = std::size_t(sqlite3_column_bytes(row, 3));
    // Names are read up to their NUL: the last one must have it.
    return view->namesSize == 0 || view->names[view->namesSize - 1] == '\0';
}

bool BlockRowids::decode(const BlockView& block)
{
    m_current = 0;
    m_runs.clear();
    if (!catalogue::decodeRowidRuns(block.rowids, qsizetype(block.rowidsSize), m_decoded))
        return false;
    std::size_t entry = 0;
    for (const catalogue::RowidRun& run : m_decoded) {
        m_runs.push_back({entry, run.first});
        entry += std::size_t(run.length);
    }
    return entry == block.entries;
}

qint64 BlockRowids::rowidOf(std::size_t entry)
{
    if (m_current >= m_runs.size() || m_runs[m_current].firstEntry > entry)
        m_current = 0;
    while (m_current + 1 < m_runs.size() && m_runs[m_current + 1].firstEntry <= entry)
        ++m_current;
    const Run& run = m_runs[m_current];
    return static_cast<qint64>(static_cast<quint64>(run.firstRowid) + (entry - run.firstEntry));
}

} // namespace platterly::search
