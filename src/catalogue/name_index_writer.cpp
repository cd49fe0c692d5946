// Writing the name index: blocks of folded names and the grams that point at them.
#include "catalogue/name_index.h"
#include "catalogue/name_index_blocks.h"

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
constexpr int kPositionBits = 10; // kBlocksPerSegment == 1 << kPositionBits

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

// The distinct grams of a block's names. `seenStore` is a bitmap of all possible grams, all
// clear, and cleared again bit by bit afterwards: it stays small enough for the processor's
// fastest cache.
void collectGrams(const std::string& names, std::vector<std::uint64_t>& seenStore,
                  std::vector<std::uint32_t>& grams)
{
    constexpr std::uint32_t kGramMask = (std::uint32_t{1} << kGramBits) - 1;
    std::uint64_t* const seen = seenStore.data();
    grams.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(names.data());
    const unsigned char* const end = p + names.size();
    while (p < end) {
        // Every name ends with a NUL, so a gram never spans two names. The gram rolls along
        // the name one symbol at a time.
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
                grams.push_back(gram);
            }
        }
        ++p;
    }
    for (const std::uint32_t gram : grams)
        seen[gram / 64] &= ~(std::uint64_t{1} << (gram % 64));
}

} // namespace

// Numbers the blocks it is given, writes them, and lists every block under the grams of its
// names. A writer begins a segment of its own, so the gram rows it writes are always new.
class BlockWriter
{
public:
    BlockWriter(const sql::Database& db, qint64 nextBlock)
        : m_db(db),
          m_nextBlock((nextBlock + kBlocksPerSegment - 1) / kBlocksPerSegment * kBlocksPerSegment),
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

    SqlError write(const NameBlock& block);
    // Writes the grams of the last segment.
    SqlError finish() { return writeSegment(); }
    qint64 nextBlock() const { return m_nextBlock; }

private:
    SqlError writeSegment();

    const sql::Database& m_db;
    qint64 m_nextBlock;
    std::optional<Statement> m_insertBlock;
    std::optional<Statement> m_insertGram;
    std::vector<std::uint32_t> m_gramStarts; // scratch of writeSegment()
    std::vector<std::uint32_t> m_pairs;      // gram << kPositionBits | position in m_segment
    std::vector<std::uint32_t> m_grams;      // scratch of write()
    std::vector<std::uint64_t> m_seenGrams =
        std::vector<std::uint64_t>((std::size_t{1} << kGramBits) / 64);
    qint64 m_segment = -1;
};

SqlError BlockWriter::write(const NameBlock& block)
{
    const qint64 id = m_nextBlock++;
    if (id / kBlocksPerSegment != m_segment) {
        if (SqlError error = writeSegment())
            return error;
        m_segment = id / kBlocksPerSegment;
    }
    const auto position = static_cast<std::uint32_t>(id % kBlocksPerSegment);
    collectGrams(block.names, m_seenGrams, m_grams);
    for (const std::uint32_t gram : m_grams)
        m_pairs.push_back(gram << kPositionBits | position);

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
    return failed ? m_db.lastError() : SqlError{};
}

SqlError BlockWriter::writeSegment()
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

namespace {

// Cuts rows read from CDS into blocks, one builder per title, and hands the blocks to the
// writer. A row the index cannot represent makes the whole index unusable.
class RowFeeder
{
public:
    RowFeeder(BlockWriter& writer, int budget) : m_writer(writer), m_budget(budget) {}

    // One row of columns rowid, FNAME, TYPE and, unless the feeder was given the one title
    // of its rows, CDNAME.
    SqlError add(sqlite3_stmt* row);
    // All rows to come have this exact title; the rows leave out their CDNAME.
    void setOnlyTitle(const QByteArray& title);
    SqlError finish();

    bool usable() const { return m_usable; }
    // Whether every row given is in a block (rows without a name are left out).
    bool complete() const { return m_complete; }

private:
    NameBlockBuilder* builderFor(bool isNull, const char* title, int length);
    SqlError writeFinished();

    BlockWriter& m_writer;
    const int m_budget;
    bool m_usable = true;
    bool m_complete = true;
    bool m_onlyTitle = false;
    std::deque<NameBlockBuilder> m_builders; // a deque keeps m_last valid as titles are added
    NameBlockBuilder* m_last = nullptr;
    std::vector<NameBlock> m_finished;
};

SqlError RowFeeder::add(sqlite3_stmt* row)
{
    const int nameType = sqlite3_column_type(row, 1);
    if (nameType == SQLITE_NULL) {
        m_complete = false; // a NULL name matches no pattern, so it is never a search result
        return {};
    }
    NameBlockBuilder* builder = m_last;
    if (!m_onlyTitle) {
        const int titleType = sqlite3_column_type(row, 3);
        if (titleType != SQLITE_TEXT && titleType != SQLITE_NULL) {
            m_usable = false;
            return {};
        }
        const auto* title = reinterpret_cast<const char*>(sqlite3_column_text(row, 3));
        builder = builderFor(titleType == SQLITE_NULL, title, sqlite3_column_bytes(row, 3));
    }
    const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(row, 1));
    if (nameType != SQLITE_TEXT || builder == nullptr ||
        !builder->add(name, sqlite3_column_bytes(row, 1), typeCode(row, 2),
                      sqlite3_column_int64(row, 0), m_finished)) {
        m_usable = false;
        return {};
    }
    return writeFinished();
}

SqlError RowFeeder::writeFinished()
{
    for (const NameBlock& block : m_finished)
        if (SqlError error = m_writer.write(block))
            return error;
    m_finished.clear();
    return {};
}

void RowFeeder::setOnlyTitle(const QByteArray& title)
{
    m_onlyTitle = true;
    m_last = builderFor(false, title.constData(), int(title.size()));
}

// Rows of one title mostly come one after another, so the last title is tried first.
NameBlockBuilder* RowFeeder::builderFor(bool isNull, const char* title, int length)
{
    if (m_last && m_last->titleIsNull() == isNull &&
        (isNull || (m_last->title().size() == length &&
                    std::memcmp(m_last->title().constData(), title, std::size_t(length)) == 0)))
        return m_last;
    const QByteArray key = isNull ? QByteArray() : QByteArray(title, length);
    for (NameBlockBuilder& builder : m_builders)
        if (builder.titleIsNull() == isNull && builder.title() == key)
            return m_last = &builder;
    std::string unused;
    if (!isNull && !appendFoldedName(title, length, unused))
        return nullptr; // a title that is not well-formed UTF-8 cannot be ordered as SQLite does
    m_builders.emplace_back(m_budget, key, isNull);
    return m_last = &m_builders.back();
}

SqlError RowFeeder::finish()
{
    for (NameBlockBuilder& builder : m_builders)
        builder.finish(m_finished);
    if (SqlError error = writeFinished())
        return error;
    return m_writer.finish();
}

// Feeds the CDS rows from `fromRowid` on, in rowid order; with `onlyTitle`, only the rows
// whose CDNAME is exactly that text.
SqlError feedRows(const sql::Database& db, RowFeeder& feeder, qint64 fromRowid,
                  const QByteArray* onlyTitle, const NameIndexProgress& progress)
{
    SqlError error;
    qint64 total = 0;
    if (progress) {
        if (auto last = db.prepare(QStringLiteral("SELECT max(_rowid_) FROM CDS"), &error);
            last && last->step() == Statement::Step::Row)
            total = last->integer(0);
    }
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
        feeder.setOnlyTitle(*onlyTitle);
    }
    qint64 done = 0;
    Statement::Step step;
    while ((step = rows->step()) == Statement::Step::Row) {
        if (++done % kProgressRows == 0 && progress && !progress(done, total))
            return {sql::ErrorCode::Other,
                    QStringLiteral("Building the name index was cancelled.")};
        if (SqlError failure = feeder.add(rows->handle()))
            return failure;
        if (!feeder.usable())
            return {};
    }
    if (step == Statement::Step::Error)
        return db.lastError();
    if (progress && !progress(done, std::max(done, total)))
        return {sql::ErrorCode::Other, QStringLiteral("Building the name index was cancelled.")};
    return feeder.finish();
}

SqlError finishWrite(const sql::Database& db, const BlockWriter& writer, const RowFeeder& feeder,
                     NameIndexState state)
{
    state.nextBlock = writer.nextBlock();
    state.usable = feeder.usable();
    state.complete = state.complete && feeder.complete();
    if (!feeder.usable()) {
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
    BlockWriter writer(db, 0);
    if (SqlError error = writer.prepare())
        return error;
    RowFeeder feeder(writer, nameBlockBudget(db));
    if (SqlError error =
            feedRows(db, feeder, std::numeric_limits<qint64>::min(), nullptr, progress))
        return error;
    return finishWrite(db, writer, feeder, NameIndexState{});
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
    BlockWriter writer(db, state.nextBlock);
    if (SqlError failure = writer.prepare())
        return failure;
    RowFeeder feeder(writer, nameBlockBudget(db));
    if (SqlError failure = feedRows(db, feeder, first->integer(0), &exactTitle, {}))
        return failure;
    return finishWrite(db, writer, feeder, state);
}

NewTitleIndex::NewTitleIndex(const sql::Database& db, QString title)
    : m_db(db), m_title(std::move(title)), m_budget(nameBlockBudget(db))
{
    if (readNameIndexState(db, &m_state) != NameIndexStatus::Current)
        return;
    m_writer = std::make_unique<BlockWriter>(db, m_state.nextBlock);
    if (m_writer->prepare())
        m_writer.reset();
}

NewTitleIndex::~NewTitleIndex() = default;

SqlError NewTitleIndex::add(const NameBlock& block)
{
    if (!m_writer || m_failed)
        return {};
    if (SqlError error = m_writer->write(block)) {
        // Blocks written so far are dropped again by finish(); the index is rebuilt there.
        m_failed = true;
        return error;
    }
    m_written = true;
    return {};
}

SqlError NewTitleIndex::finish(bool allRowsGiven)
{
    if (m_writer && !m_failed && allRowsGiven) {
        if (SqlError error = m_writer->finish())
            return error;
        m_state.nextBlock = m_writer->nextBlock();
        return writeNameIndexState(m_db, m_state);
    }
    // The blocks do not cover the rows as written: read the title's rows back instead.
    if (m_written) {
        SqlError error;
        auto drop = m_db.prepare(
            QStringLiteral("DELETE FROM %1 WHERE CDNAME = ?1").arg(kNameIndexTable), &error);
        if (!drop)
            return error;
        drop->bindText(1, m_title);
        if (drop->step() == Statement::Step::Error)
            return m_db.lastError();
    }
    return indexTitle(m_db, m_title);
}

} // namespace platterly::catalogue
