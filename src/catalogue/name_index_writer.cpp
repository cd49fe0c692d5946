// Writing the name index: blocks of folded names and the grams that point at them.
#include "catalogue/name_index.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <limits>
#include <optional>
#include <sqlite3.h>

namespace platterly::catalogue {

using sql::SqlError;
using sql::Statement;

namespace {

constexpr qint64 kProgressRows = 65536;
// Blocks are sized to fill the local part of a b-tree cell and whole overflow pages, so that
// no page is left mostly empty; this is about where they end up for the usual page sizes.
constexpr int kBlockTargetBytes = 8700;
constexpr int kBlockRowOverhead = 48; // record header, numbers and rowid runs, about
constexpr int kPositionBits = 10;     // kBlocksPerSegment == 1 << kPositionBits

int blockBudget(const sql::Database& db)
{
    SqlError ignored;
    int pageSize = 4096;
    if (auto pragma = db.prepare(QStringLiteral("PRAGMA page_size"), &ignored);
        pragma && pragma->step() == Statement::Step::Row)
        pageSize = static_cast<int>(pragma->integer(0));
    // The payload limits of a table b-tree leaf cell, as SQLite's file format defines them.
    const int minLocal = (pageSize - 12) * 32 / 255 - 23;
    const int maxLocal = pageSize - 35;
    const int overflowPages = (kBlockTargetBytes - minLocal) / (pageSize - 4);
    if (overflowPages <= 0)
        return std::min(maxLocal, kBlockTargetBytes);
    return minLocal + overflowPages * (pageSize - 4);
}

std::uint8_t typeCode(sqlite3_stmt* row, int column)
{
    switch (sqlite3_column_type(row, column)) {
    case SQLITE_NULL:
        return kTypeNull;
    case SQLITE_INTEGER: {
        const sqlite3_int64 value = sqlite3_column_int64(row, column);
        return value >= 0 && value < kTypeNull ? static_cast<std::uint8_t>(value) : kTypeOther;
    }
    default:
        return kTypeOther;
    }
}

// Cuts the rows it is given into blocks, one title at a time, writes them, and lists every
// block under the grams of its names. A writer begins a segment of its own, so the gram
// rows it writes are always new.
class IndexWriter
{
public:
    IndexWriter(const sql::Database& db, qint64 nextBlock)
        : m_db(db),
          m_nextBlock((nextBlock + kBlocksPerSegment - 1) / kBlocksPerSegment * kBlocksPerSegment),
          m_budget(blockBudget(db)), m_seenInBlock((std::size_t{1} << kGramBits) / 64, 0),
          m_gramStarts((std::size_t{1} << kGramBits) + 1)
    {
    }

    SqlError prepare()
    {
        SqlError error;
        m_insertBlock = m_db.prepare(
            QStringLiteral("INSERT INTO %1 (BLOCK, CDNAME, FIRSTROW, LASTROW, ENTRIES, ROWIDS,"
                           " TYPES, NAMES) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)")
                .arg(kNameIndexTable),
            &error);
        if (m_insertBlock)
            m_insertGram = m_db.prepare(
                QStringLiteral("INSERT INTO %1 (GRAM, SEG, BLOCKS) VALUES (?1, ?2, ?3)")
                    .arg(kNameGramsTable),
                &error);
        return error;
    }

    // One row of columns rowid, FNAME, TYPE and, unless the writer was given the one title
    // of its rows, CDNAME. A row the index cannot represent makes the whole index unusable.
    SqlError add(sqlite3_stmt* row);
    // All rows to come have this exact title; the rows leave out their CDNAME.
    void setOnlyTitle(const QByteArray& title);
    SqlError finish();

    bool usable() const { return m_usable; }
    qint64 nextBlock() const { return m_nextBlock; }

private:
    struct Pending
    {
        QByteArray title;
        bool titleIsNull = false;
        std::string names;
        std::string types;
        std::vector<qint64> rowids;
    };

    Pending* pendingFor(bool isNull, const char* title, int length);
    SqlError flush(Pending& block);
    SqlError writeSegment();

    const sql::Database& m_db;
    qint64 m_nextBlock;
    const int m_budget;
    bool m_usable = true;
    bool m_onlyTitle = false;
    std::deque<Pending> m_pending; // a deque keeps m_last valid as titles are added
    Pending* m_last = nullptr;
    std::string m_folded;
    std::optional<Statement> m_insertBlock;
    std::optional<Statement> m_insertGram;
    std::vector<std::uint64_t> m_seenInBlock; // one bit per gram: met in the block at hand
    std::vector<std::uint32_t> m_gramStarts;  // scratch of writeSegment()
    std::vector<std::uint32_t> m_pairs;       // gram << kPositionBits | position in m_segment
    qint64 m_segment = -1;
};

SqlError IndexWriter::add(sqlite3_stmt* row)
{
    const int nameType = sqlite3_column_type(row, 1);
    if (nameType == SQLITE_NULL)
        return {}; // a NULL name matches no pattern, so it is never a search result
    Pending* block = m_last;
    int titleLength = m_last ? int(m_last->title.size()) : 0;
    if (!m_onlyTitle) {
        const int titleType = sqlite3_column_type(row, 3);
        if (titleType != SQLITE_TEXT && titleType != SQLITE_NULL) {
            m_usable = false;
            return {};
        }
        const auto* title = reinterpret_cast<const char*>(sqlite3_column_text(row, 3));
        titleLength = sqlite3_column_bytes(row, 3);
        block = pendingFor(titleType == SQLITE_NULL, title, titleLength);
    }
    m_folded.clear();
    const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(row, 1));
    if (nameType != SQLITE_TEXT || block == nullptr ||
        !appendFoldedName(name, sqlite3_column_bytes(row, 1), m_folded)) {
        m_usable = false;
        return {};
    }
    const std::size_t grown = block->names.size() + block->types.size() + m_folded.size() + 2 +
                              std::size_t(kBlockRowOverhead + titleLength);
    if (!block->rowids.empty() && grown > std::size_t(m_budget))
        if (SqlError error = flush(*block))
            return error;
    block->names.append(m_folded);
    block->names.push_back('\0');
    block->types.push_back(static_cast<char>(typeCode(row, 2)));
    block->rowids.push_back(sqlite3_column_int64(row, 0));
    return {};
}

void IndexWriter::setOnlyTitle(const QByteArray& title)
{
    m_onlyTitle = true;
    m_last = pendingFor(false, title.constData(), int(title.size()));
}

// Rows of one title mostly come one after another, so the last title is tried first.
IndexWriter::Pending* IndexWriter::pendingFor(bool isNull, const char* title, int length)
{
    if (m_last && m_last->titleIsNull == isNull &&
        (isNull || (m_last->title.size() == length &&
                    std::memcmp(m_last->title.constData(), title, std::size_t(length)) == 0)))
        return m_last;
    const QByteArray key = isNull ? QByteArray() : QByteArray(title, length);
    for (Pending& block : m_pending)
        if (block.titleIsNull == isNull && block.title == key)
            return m_last = &block;
    std::string unused;
    if (!isNull && !appendFoldedName(title, length, unused))
        return nullptr; // a title that is not well-formed UTF-8 cannot be ordered as SQLite does
    m_pending.push_back(Pending{key, isNull, {}, {}, {}});
    m_pending.back().names.reserve(std::size_t(m_budget));
    return m_last = &m_pending.back();
}

SqlError IndexWriter::finish()
{
    for (Pending& block : m_pending)
        if (!block.rowids.empty())
            if (SqlError error = flush(block))
                return error;
    return writeSegment();
}

SqlError IndexWriter::flush(Pending& block)
{
    const qint64 id = m_nextBlock++;
    if (id / kBlocksPerSegment != m_segment) {
        if (SqlError error = writeSegment())
            return error;
        m_segment = id / kBlocksPerSegment;
    }
    const auto position = static_cast<std::uint32_t>(id % kBlocksPerSegment);
    const std::size_t firstPair = m_pairs.size();
    const auto* p = reinterpret_cast<const unsigned char*>(block.names.data());
    const unsigned char* const end = p + block.names.size();
    constexpr std::uint32_t kGramMask = (std::uint32_t{1} << kGramBits) - 1;
    std::uint64_t* const seen = m_seenInBlock.data();
    while (p < end) {
        // Every name ends with a NUL, so a gram never spans two names. The gram rolls along
        // the name one symbol at a time (see gramOf).
        if (p[0] == 0 || p[1] == 0) {
            p += p[0] == 0 ? 1 : 2;
            continue;
        }
        std::uint32_t gram = std::uint32_t{kGramSymbols[p[0]]} << 6 | kGramSymbols[p[1]];
        for (p += 2; *p != 0; ++p) {
            gram = (gram << 6 | kGramSymbols[*p]) & kGramMask;
            std::uint64_t& word = seen[gram / 64];
            const std::uint64_t bit = std::uint64_t{1} << (gram % 64);
            if ((word & bit) == 0) {
                word |= bit;
                m_pairs.push_back(gram << kPositionBits | position);
            }
        }
        ++p;
    }
    // The bits set for this block are cleared for the next one: the set stays small enough
    // to stay in the processor's fastest cache.
    for (std::size_t i = firstPair; i < m_pairs.size(); ++i) {
        const std::uint32_t gram = m_pairs[i] >> kPositionBits;
        m_seenInBlock[gram / 64] &= ~(std::uint64_t{1} << (gram % 64));
    }

    Statement& insert = *m_insertBlock;
    insert.reset();
    insert.bindInt(1, id);
    if (block.titleIsNull)
        insert.bindNull(2);
    else
        sqlite3_bind_text(insert.handle(), 2, block.title.constData(), int(block.title.size()),
                          SQLITE_STATIC);
    insert.bindInt(3, block.rowids.front());
    insert.bindInt(4, block.rowids.back());
    insert.bindInt(5, qint64(block.rowids.size()));
    const QByteArray rowids = encodeRowids(block.rowids);
    sqlite3_bind_blob(insert.handle(), 6, rowids.constData(), int(rowids.size()), SQLITE_STATIC);
    sqlite3_bind_blob(insert.handle(), 7, block.types.data(), int(block.types.size()),
                      SQLITE_STATIC);
    sqlite3_bind_blob(insert.handle(), 8, block.names.data(), int(block.names.size()),
                      SQLITE_STATIC);
    const bool failed = insert.step() == Statement::Step::Error;
    insert.reset();
    block.names.clear();
    block.types.clear();
    block.rowids.clear();
    return failed ? m_db.lastError() : SqlError{};
}

SqlError IndexWriter::writeSegment()
{
    if (m_pairs.empty())
        return {};
    // A counting sort by gram; within a gram the positions stay ascending, as blocks were
    // numbered in the order they were written.
    std::fill(m_gramStarts.begin(), m_gramStarts.end(), 0);
    for (const std::uint32_t pair : m_pairs)
        ++m_gramStarts[(pair >> kPositionBits) + 1];
    for (std::size_t gram = 1; gram < m_gramStarts.size(); ++gram)
        m_gramStarts[gram] += m_gramStarts[gram - 1];
    std::vector<std::uint16_t> sorted(m_pairs.size());
    std::vector<std::uint32_t> next(m_gramStarts.begin(), m_gramStarts.end() - 1);
    for (const std::uint32_t pair : m_pairs)
        sorted[next[pair >> kPositionBits]++] =
            static_cast<std::uint16_t>(pair & (kBlocksPerSegment - 1));
    m_pairs.clear();

    std::vector<std::uint16_t> positions;
    Statement& insert = *m_insertGram;
    for (std::size_t gram = 0; gram + 1 < m_gramStarts.size(); ++gram) {
        if (m_gramStarts[gram] == m_gramStarts[gram + 1])
            continue;
        positions.assign(sorted.begin() + m_gramStarts[gram],
                         sorted.begin() + m_gramStarts[gram + 1]);
        const QByteArray encoded = encodeBlockSet(positions);
        insert.reset();
        insert.bindInt(1, qint64(gram));
        insert.bindInt(2, m_segment);
        sqlite3_bind_blob(insert.handle(), 3, encoded.constData(), int(encoded.size()),
                          SQLITE_STATIC);
        if (insert.step() == Statement::Step::Error)
            return m_db.lastError();
    }
    insert.reset();
    return {};
}

// Feeds the writer the CDS rows from `fromRowid` on, in rowid order; with `onlyTitle`, only
// the rows whose CDNAME is exactly that text.
SqlError feedRows(const sql::Database& db, IndexWriter& writer, qint64 fromRowid,
                  const QByteArray* onlyTitle, const NameIndexProgress& progress)
{
    SqlError error;
    qint64 total = 0;
    if (progress) {
        if (auto last = db.prepare(QStringLiteral("SELECT max(_rowid_) FROM CDS"), &error);
            last && last->step() == Statement::Step::Row)
            total = last->integer(0);
    }
    // With one title SQLite compares the titles itself; the "+" keeps it reading by rowid,
    // a plain range scan, rather than through the index on CDNAME and a seek per row.
    auto rows = db.prepare(onlyTitle ? QStringLiteral("SELECT _rowid_, FNAME, TYPE FROM CDS"
                                                      " WHERE _rowid_ >= ?1 AND +CDNAME = ?2"
                                                      " ORDER BY _rowid_")
                                     : QStringLiteral("SELECT _rowid_, FNAME, TYPE, CDNAME FROM CDS"
                                                      " WHERE _rowid_ >= ?1 ORDER BY _rowid_"),
                           &error);
    if (!rows)
        return error;
    rows->bindInt(1, fromRowid);
    if (onlyTitle) {
        sqlite3_bind_text(rows->handle(), 2, onlyTitle->constData(), int(onlyTitle->size()),
                          SQLITE_STATIC);
        writer.setOnlyTitle(*onlyTitle);
    }
    qint64 done = 0;
    Statement::Step step;
    while ((step = rows->step()) == Statement::Step::Row) {
        if (++done % kProgressRows == 0 && progress && !progress(done, total))
            return {sql::ErrorCode::Other,
                    QStringLiteral("Building the name index was cancelled.")};
        if (SqlError failure = writer.add(rows->handle()))
            return failure;
        if (!writer.usable())
            return {};
    }
    if (step == Statement::Step::Error)
        return db.lastError();
    if (progress && !progress(done, std::max(done, total)))
        return {sql::ErrorCode::Other, QStringLiteral("Building the name index was cancelled.")};
    return writer.finish();
}

SqlError finishWrite(const sql::Database& db, const IndexWriter& writer, NameIndexState state)
{
    state.nextBlock = writer.nextBlock();
    state.usable = writer.usable();
    if (!writer.usable()) {
        // Part of an index is worth nothing: searches scan CDS until a rebuild succeeds.
        if (SqlError error = db.exec(QStringLiteral("DELETE FROM %1; DELETE FROM %2;")
                                         .arg(kNameIndexTable, kNameGramsTable)))
            return error;
    }
    return writeNameIndexState(db, state);
}

} // namespace

SqlError buildNameIndex(const sql::Database& db, const NameIndexProgress& progress)
{
    if (!db.tableExists(QStringLiteral("CDS")))
        return {sql::ErrorCode::TableNotFound,
                QStringLiteral("The file %1 holds no table CDS: it is not a catalogue file.")
                    .arg(db.path())};
    if (SqlError error = createNameIndexTables(db))
        return error;
    IndexWriter writer(db, 0);
    if (SqlError error = writer.prepare())
        return error;
    if (SqlError error =
            feedRows(db, writer, std::numeric_limits<qint64>::min(), nullptr, progress))
        return error;
    return finishWrite(db, writer, NameIndexState{});
}

SqlError indexTitle(const sql::Database& db, const QString& title)
{
    NameIndexState state;
    switch (readNameIndexState(db, &state)) {
    case NameIndexStatus::Unverifiable:
        return {};
    case NameIndexStatus::Missing:
    case NameIndexStatus::Stale:
    case NameIndexStatus::Unusable:
        return buildNameIndex(db);
    case NameIndexStatus::Current:
        break;
    }
    SqlError error;
    auto drop =
        db.prepare(QStringLiteral("DELETE FROM %1 WHERE CDNAME = ?1").arg(kNameIndexTable), &error);
    auto first =
        db.prepare(QStringLiteral("SELECT min(_rowid_) FROM CDS WHERE CDNAME = ?1"), &error);
    if (!drop || !first)
        return error;
    drop->bindText(1, title);
    first->bindText(1, title);
    if (drop->step() == Statement::Step::Error || first->step() != Statement::Step::Row)
        return db.lastError();
    if (first->isNull(0))
        return writeNameIndexState(db, state);
    // The rows of a new disc follow each other at the end of CDS: reading from the first of
    // them on, in rowid order, is a plain range scan.
    const QByteArray exactTitle = title.toUtf8();
    IndexWriter writer(db, state.nextBlock);
    if (SqlError failure = writer.prepare())
        return failure;
    if (SqlError failure = feedRows(db, writer, first->integer(0), &exactTitle, {}))
        return failure;
    return finishWrite(db, writer, state);
}

} // namespace platterly::catalogue
