#pragma once

#include "platform/sql/sqlite_db.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platterly::catalogue {

// The name index: the catalogue's file names in a compact form kept in the catalogue file
// itself, so that a name search reads a few blocks of names instead of every row of CDS.
// It is the program's own addition to the file: plain tables that any SQLite tool reads (and
// ignores), rebuilt from CDS whenever it may disagree with it.
//
//   NAMEINDEX (BLOCK INTEGER PRIMARY KEY, CDNAME TEXT, FIRSTROW INTEGER, LASTROW INTEGER,
//              ENTRIES INTEGER, ROWIDS BLOB, TYPES BLOB, NAMES BLOB)
//     A block holds about eight kilobytes of names of CDS rows with one exact CDNAME, in
//     rowid order (rows whose FNAME is NULL match no pattern and are left out). NAMES holds
//     each name case-folded (see sql::foldCase), in UTF-8, followed by a NUL byte. TYPES holds
//     one byte per entry: the TYPE value 0..253, 254 for NULL, 255 for any other value. ROWIDS
//     holds the rowids as runs (see encodeRowids). Block numbers are never used twice.
//   NAMEINDEX_GRAMS (GRAM INTEGER, SEG INTEGER, BLOCKS BLOB, PRIMARY KEY (GRAM, SEG))
//     For every gram (three bytes of a folded name, see gramOf) and every segment of
//     kBlocksPerSegment block numbers, the blocks of the segment whose names hold the gram
//     (see encodeBlockSet). A search for a text of three bytes or more reads only the blocks
//     whose names hold all of its grams. Each write begins a new segment, so rows are only
//     ever added whole; blocks dropped since stay listed, and readers skip block numbers that
//     no longer exist.
//   NAMEINDEX_STATE (KEY TEXT PRIMARY KEY, VALUE INTEGER)
//     'format': kNameIndexFormat; 'nextblock': the next block number; 'usable': 0 when CDS
//     holds a value the index cannot represent (such as a name that is not well-formed UTF-8),
//     so searches must scan CDS; 'stamp': the file change counter the index belongs to;
//     'complete': 1 when every row of CDS is in a block (no row lacks its name), so that the
//     blocks of a title also tell where all of its rows lie (see discRowRanges).
//
// Staying in step. SQLite counts the write transactions of a file in its header (the "file
// change counter"; in rollback-journal mode, this program's mode, every transaction that
// changes the file adds exactly one). Each change the program makes to the index is written
// in the same transaction as the rows it follows, with the stamp set to the value that
// transaction's commit gives the counter. A counter that differs from the stamp therefore
// means that some other program (or another part of this one that does not keep the index)
// changed the file since, and the index may be stale.

inline const QString kNameIndexTable = QStringLiteral("NAMEINDEX");
inline const QString kNameGramsTable = QStringLiteral("NAMEINDEX_GRAMS");
inline const QString kNameStateTable = QStringLiteral("NAMEINDEX_STATE");

inline constexpr int kNameIndexFormat = 1;
inline constexpr int kBlocksPerSegment = 1024;
inline constexpr int kGramBits = 18;
inline constexpr std::uint8_t kTypeNull = 254;
inline constexpr std::uint8_t kTypeOther = 255;

enum class NameIndexStatus
{
    Missing,      // the file has no name index (its state table is not there)
    Current,      // the index agrees with CDS
    Unusable,     // current, but CDS holds values it cannot represent: scan CDS instead
    Stale,        // the file changed since the index was written, or its format is older
    Unverifiable, // no file change counter to trust (a database in memory, or WAL mode)
};

// The state of the index as the file stands (the state rows and the counter are read under
// one read lock). Outside a transaction the answer may be outdated as soon as it is given.
NameIndexStatus nameIndexStatus(const sql::Database& db);

// The rows of NAMEINDEX_STATE.
struct NameIndexState
{
    qint64 format = kNameIndexFormat;
    qint64 nextBlock = 0;
    bool usable = true;
    qint64 stamp = -1;
    bool complete = true;
    // Read inside a write transaction that has already written these rows: the index
    // follows the changes this transaction made to CDS up to that point.
    bool stampedHere = false;
};

// The status, and the state rows when the tables exist.
NameIndexStatus readNameIndexState(const sql::Database& db, NameIndexState* state);
// Inside a write transaction: writes the state rows, stamped with the counter that the
// transaction's commit gives the file.
sql::SqlError writeNameIndexState(const sql::Database& db, NameIndexState state);
// Inside a write transaction: makes the index tables, or empties them when they are there.
sql::SqlError createNameIndexTables(const sql::Database& db);

// Inside a write transaction of the caller, after CDS rows were added for `title`: indexes
// the rows of CDS whose CDNAME is exactly `title`, replacing what the index held for it. An
// index that was missing or stale is built anew from all of CDS instead, so that it is
// current when the transaction commits.
sql::SqlError indexTitle(const sql::Database& db, const QString& title);

// Inside a write transaction of the caller, after the CDS rows of a disc were deleted or
// retitled (titles compared case-blind, as the catalogue's statements compare them). A stale
// or missing index is left as it is; the next search rebuilds it.
sql::SqlError dropTitleFromNameIndex(const sql::Database& db, const QString& title);
sql::SqlError renameTitleInNameIndex(const sql::Database& db, const QString& from,
                                     const QString& to);
// Inside a write transaction of the caller, after changes to CDS that left the title, name,
// type and rowid of every row as they were (an entry's size or time): the index still agrees
// and is stamped for the commit. A stale or missing index is left as it is.
sql::SqlError restampNameIndex(const sql::Database& db);

// The name index of a disc being catalogued, written from blocks cut while its rows are
// listed (see NameBlockBuilder) rather than by reading the rows back afterwards. Made inside
// the cataloguing's write transaction; when the index is not current at that moment the
// blocks are ignored and finish() brings the index up to date as indexTitle() does.
class BlockWriter;
struct NameBlock;
class NewTitleIndex
{
public:
    NewTitleIndex(const sql::Database& db, QString title);
    ~NewTitleIndex();
    NewTitleIndex(const NewTitleIndex&) = delete;
    NewTitleIndex& operator=(const NewTitleIndex&) = delete;

    // The budget to give the NameBlockBuilder of the title's rows.
    int blockBudget() const { return m_budget; }
    // Writes one block of rows of the title.
    sql::SqlError add(const NameBlock& block);
    // After all rows are in CDS. `allRowsGiven`: the blocks hold every row of the title that
    // was written, with the rowids SQLite gave them; otherwise the rows are read back.
    sql::SqlError finish(bool allRowsGiven);

private:
    const sql::Database& m_db;
    const QString m_title;
    const int m_budget;
    NameIndexState m_state;
    std::unique_ptr<BlockWriter> m_writer;
    bool m_written = false;
    bool m_failed = false;
};

// Where the rows of the titles lie in CDS, from the name index: for each stored title the
// first and last rowid of its rows. Nothing unless the index is current and complete (and,
// inside a write transaction, unless this transaction has brought it up to date).
struct DiscRowRange
{
    QString title;
    qint64 first = 0;
    qint64 last = 0;
};
// AsCommitted: asked inside a write transaction that has not changed CDS yet, where the index
// as last committed still describes it.
enum class IndexReading
{
    AsItStands,
    AsCommitted
};
std::optional<std::vector<DiscRowRange>>
discRowRanges(const sql::Database& db, IndexReading reading = IndexReading::AsItStands);

// The number of CDS rows whose CDNAME is one of `titles` (exact spellings) and, when `type`
// is given, whose TYPE is that number, counted from the name index under the same conditions
// as discRowRanges(); nothing when the index cannot tell.
std::optional<qint64> countTitleRows(const sql::Database& db, const QStringList& titles,
                                     std::optional<qint64> type);

// Told how many CDS rows are done of about how many; returns false to cancel.
using NameIndexProgress = std::function<bool(qint64 done, qint64 total)>;

// Builds the whole index anew from CDS, inside the caller's write transaction.
sql::SqlError buildNameIndex(const sql::Database& db, const NameIndexProgress& progress = {});

// ---- The encodings, shared by the writer above and the readers of the search ----

// Symbol of a byte in a gram: letters and digits exactly, common punctuation, and the other
// bytes in a few shared classes (a gram only narrows the blocks to read; names are always
// matched in full afterwards).
constexpr std::array<std::uint8_t, 256> makeGramSymbols()
{
    std::array<std::uint8_t, 256> table{};
    for (auto& symbol : table)
        symbol = 63;
    for (int c = 'a'; c <= 'z'; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(1 + c - 'a');
    for (int c = 'A'; c <= 'Z'; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(1 + c - 'A');
    for (int c = '0'; c <= '9'; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(27 + c - '0');
    constexpr char punctuation[] = " .-_'()[]&,+!#%~=@$";
    for (std::size_t i = 0; punctuation[i] != 0; ++i)
        table[static_cast<unsigned char>(punctuation[i])] = static_cast<std::uint8_t>(37 + i);
    for (int c = 0x80; c < 0x100; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(56 + (c & 7));
    return table;
}
inline constexpr std::array<std::uint8_t, 256> kGramSymbols = makeGramSymbols();

inline std::uint32_t gramOf(unsigned char a, unsigned char b, unsigned char c)
{
    return (std::uint32_t{kGramSymbols[a]} << 12) | (std::uint32_t{kGramSymbols[b]} << 6) |
           kGramSymbols[c];
}

// Appends the case-folded form of a UTF-8 name; false when the name is not well-formed
// UTF-8 or holds a NUL byte.
bool appendFoldedName(const char* text, qsizetype length, std::string& out);

// Rowids in ascending order as runs of consecutive values: the first rowid (zig-zag varint),
// the run's length, then for each further run its distance from the end of the previous one
// and its length, all as unsigned LEB128 varints.
QByteArray encodeRowids(const std::vector<qint64>& rowids);
struct RowidRun
{
    qint64 first = 0;
    qint64 length = 0;
};
// False when the encoding is damaged.
bool decodeRowidRuns(const char* data, qsizetype size, std::vector<RowidRun>& runs);

// A set of block positions within a segment (0 .. kBlocksPerSegment - 1), ascending: a kind
// byte, then either the positions as varint gaps (kind 0) or a bitmap (kind 1).
QByteArray encodeBlockSet(const std::vector<std::uint16_t>& positions);
bool decodeBlockSet(const char* data, qsizetype size,
                    std::array<std::uint64_t, kBlocksPerSegment / 64>& bits);

} // namespace platterly::catalogue
