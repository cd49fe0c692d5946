// Whether the name index agrees with CDS (its state rows and the file change counter), and
// the changes that keep it current without writing blocks: dropping and retitling a disc.
#include "catalogue/name_index.h"

#include <algorithm>
#include <optional>
#include <sqlite3.h>

namespace platterly::catalogue {

using sql::SqlError;
using sql::Statement;

namespace {

// The file change counter of the main database, read through SQLite's own file handle: a
// second handle of our own would drop SQLite's POSIX locks on the file when it is closed.
// Nothing when there is no file to read, or when the file is in WAL mode, whose commits
// leave the counter alone.
std::optional<quint32> fileChangeCounter(const sql::Database& db)
{
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db.handle(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        file == nullptr || file->pMethods == nullptr)
        return std::nullopt;
    unsigned char header[100] = {};
    // A file being made has no header yet: the reader is given zeros, and the counter of a
    // new file is indeed 0 until its first commit.
    const int read = file->pMethods->xRead(file, header, sizeof header, 0);
    if (read != SQLITE_OK && read != SQLITE_IOERR_SHORT_READ)
        return std::nullopt;
    constexpr unsigned char kWalVersion = 2;
    if (header[18] == kWalVersion || header[19] == kWalVersion)
        return std::nullopt;
    return (quint32{header[24]} << 24) | (quint32{header[25]} << 16) | (quint32{header[26]} << 8) |
           quint32{header[27]};
}

bool keepsIndex(NameIndexStatus status)
{
    return status == NameIndexStatus::Current || status == NameIndexStatus::Unusable;
}

} // namespace

NameIndexStatus readNameIndexState(const sql::Database& db, NameIndexState* state)
{
    // The three tables are made and dropped together, in one transaction, and a change to
    // them made by another program moves the counter: with the state table there and the
    // stamp matching, the other two are there too.
    SqlError error;
    auto rows = db.prepare(QStringLiteral("SELECT KEY, VALUE FROM ") + kNameStateTable, &error);
    if (!rows)
        return NameIndexStatus::Missing;
    // The counter is read while this statement holds the file's read lock, so that it and
    // the state rows describe the same moment of the file.
    NameIndexState found;
    found.format = -1;
    found.complete = false; // files indexed before the key existed may lack rows in blocks
    std::optional<quint32> counter;
    bool locked = false;
    while (rows->step() == Statement::Step::Row) {
        if (!locked)
            counter = fileChangeCounter(db);
        locked = true;
        const QString key = rows->text(0);
        const qint64 value = rows->integer(1);
        if (key == QLatin1String("format"))
            found.format = value;
        else if (key == QLatin1String("nextblock"))
            found.nextBlock = value;
        else if (key == QLatin1String("usable"))
            found.usable = value != 0;
        else if (key == QLatin1String("stamp"))
            found.stamp = value;
        else if (key == QLatin1String("complete"))
            found.complete = value != 0;
    }
    if (!locked)
        counter = fileChangeCounter(db);
    if (!counter) {
        if (state)
            *state = found;
        return NameIndexStatus::Unverifiable;
    }
    // A stamp one ahead of the counter was written by the transaction still open on this
    // connection, which found the index current: a committed stamp is never ahead.
    const bool stampedHere =
        db.inTransaction() && found.stamp == qint64{static_cast<quint32>(*counter + 1)};
    found.stampedHere = stampedHere;
    if (state)
        *state = found;
    if (found.format != kNameIndexFormat || (found.stamp != qint64{*counter} && !stampedHere))
        return NameIndexStatus::Stale;
    return found.usable ? NameIndexStatus::Current : NameIndexStatus::Unusable;
}

NameIndexStatus nameIndexStatus(const sql::Database& db)
{
    return readNameIndexState(db, nullptr);
}

SqlError writeNameIndexState(const sql::Database& db, NameIndexState state)
{
    // The transaction has read or written the file by now, so no other program can commit
    // before it does, and its commit adds one to the counter as it stands.
    const std::optional<quint32> counter = fileChangeCounter(db);
    state.format = kNameIndexFormat;
    state.stamp = counter ? qint64{static_cast<quint32>(*counter + 1)} : -1;
    SqlError error;
    auto write = db.prepare(QStringLiteral("INSERT OR REPLACE INTO ") + kNameStateTable +
                                QStringLiteral(" (KEY, VALUE) VALUES (?1, ?2)"),
                            &error);
    if (!write)
        return error;
    const std::pair<const char*, qint64> values[] = {{"format", state.format},
                                                     {"nextblock", state.nextBlock},
                                                     {"usable", state.usable ? 1 : 0},
                                                     {"stamp", state.stamp},
                                                     {"complete", state.complete ? 1 : 0}};
    for (const auto& [key, value] : values) {
        write->reset();
        write->bindText(1, QLatin1String(key));
        write->bindInt(2, value);
        if (write->step() == Statement::Step::Error)
            return db.lastError();
    }
    return {};
}

namespace {

// Whether the blocks of the index hold every row of CDS, as CDS stands.
bool blocksHoldEveryRow(const sql::Database& db, IndexReading reading = IndexReading::AsItStands)
{
    NameIndexState state;
    if (readNameIndexState(db, &state) != NameIndexStatus::Current || !state.complete)
        return false;
    // Inside a write transaction CDS may hold rows the index has not been told of yet,
    // unless this transaction has written the index since, or the caller knows it has not
    // changed CDS yet.
    return !db.inTransaction() || state.stampedHere || reading == IndexReading::AsCommitted;
}

} // namespace

std::optional<std::vector<DiscRowRange>> discRowRanges(const sql::Database& db,
                                                       IndexReading reading)
{
    if (!blocksHoldEveryRow(db, reading))
        return std::nullopt;
    SqlError error;
    auto ranges = db.prepare(QStringLiteral("SELECT CDNAME, min(FIRSTROW), max(LASTROW) FROM %1"
                                            " WHERE CDNAME IS NOT NULL GROUP BY CDNAME")
                                 .arg(kNameIndexTable),
                             &error);
    if (!ranges)
        return std::nullopt;
    std::vector<DiscRowRange> found;
    Statement::Step step;
    while ((step = ranges->step()) == Statement::Step::Row)
        found.push_back({ranges->text(0), ranges->integer(1), ranges->integer(2)});
    if (step == Statement::Step::Error)
        return std::nullopt;
    return found;
}

std::optional<qint64> countTitleRows(const sql::Database& db, const QStringList& titles,
                                     std::optional<qint64> type)
{
    if (!blocksHoldEveryRow(db))
        return std::nullopt;
    SqlError error;
    auto blocks = db.prepare(
        type ? QStringLiteral("SELECT TYPES FROM %1 WHERE CDNAME = ?1").arg(kNameIndexTable)
             : QStringLiteral("SELECT sum(ENTRIES) FROM %1 WHERE CDNAME = ?1").arg(kNameIndexTable),
        &error);
    if (!blocks)
        return std::nullopt;
    // A type code stands for exactly one TYPE value only below kTypeNull.
    if (type && (*type < 0 || *type >= kTypeNull))
        return std::nullopt;
    qint64 count = 0;
    for (const QString& title : titles) {
        blocks->reset();
        blocks->bindText(1, title);
        Statement::Step step;
        while ((step = blocks->step()) == Statement::Step::Row) {
            if (!type) {
                count += blocks->integer(0);
                continue;
            }
            const auto* types = static_cast<const char*>(sqlite3_column_blob(blocks->handle(), 0));
            const int size = sqlite3_column_bytes(blocks->handle(), 0);
            if (types != nullptr)
                count += std::count(types, types + size, static_cast<char>(*type));
        }
        if (step == Statement::Step::Error)
            return std::nullopt;
    }
    return count;
}

SqlError createNameIndexTables(const sql::Database& db)
{
    // Plain types and the default collation only, like the catalogue's own tables, so that
    // any SQLite tool can read, change or drop them. Tables already there are emptied, not
    // dropped: SQLite refuses to drop a table while the connection has a statement open,
    // as the cataloguing run has when it asks for the index.
    return db.exec(
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (BLOCK INTEGER PRIMARY KEY, CDNAME TEXT,"
                       " FIRSTROW INTEGER, LASTROW INTEGER, ENTRIES INTEGER, ROWIDS BLOB,"
                       " TYPES BLOB, NAMES BLOB);"
                       "CREATE INDEX IF NOT EXISTS %1_CDNAME ON %1 (CDNAME, FIRSTROW, LASTROW);"
                       "CREATE TABLE IF NOT EXISTS %2 (GRAM INTEGER, SEG INTEGER, BLOCKS BLOB,"
                       " PRIMARY KEY (GRAM, SEG)) WITHOUT ROWID;"
                       "CREATE TABLE IF NOT EXISTS %3 (KEY TEXT PRIMARY KEY, VALUE INTEGER);"
                       "DELETE FROM %1; DELETE FROM %2; DELETE FROM %3;")
            .arg(kNameIndexTable, kNameGramsTable, kNameStateTable));
}

SqlError dropTitleFromNameIndex(const sql::Database& db, const QString& title)
{
    NameIndexState state;
    if (!keepsIndex(readNameIndexState(db, &state)))
        return {};
    SqlError error;
    auto drop = db.prepare(
        QStringLiteral("DELETE FROM %1 WHERE CDNAME = ?1 COLLATE JETNOCASE").arg(kNameIndexTable),
        &error);
    if (!drop)
        return error;
    drop->bindText(1, title);
    if (drop->step() == Statement::Step::Error)
        return db.lastError();
    // Segments left without blocks take their grams with them; a few stale entries in the
    // others are harmless, as readers skip blocks that are gone.
    if (SqlError failure =
            db.exec(QStringLiteral("DELETE FROM %1 WHERE SEG NOT IN (SELECT BLOCK / %3 FROM %2)")
                        .arg(kNameGramsTable, kNameIndexTable)
                        .arg(kBlocksPerSegment)))
        return failure;
    return writeNameIndexState(db, state);
}

SqlError restampNameIndex(const sql::Database& db)
{
    NameIndexState state;
    if (!keepsIndex(readNameIndexState(db, &state)))
        return {};
    return writeNameIndexState(db, state);
}

SqlError renameTitleInNameIndex(const sql::Database& db, const QString& from, const QString& to)
{
    NameIndexState state;
    if (!keepsIndex(readNameIndexState(db, &state)))
        return {};
    SqlError error;
    auto rename =
        db.prepare(QStringLiteral("UPDATE %1 SET CDNAME = ?2 WHERE CDNAME = ?1 COLLATE JETNOCASE")
                       .arg(kNameIndexTable),
                   &error);
    if (!rename)
        return error;
    rename->bindText(1, from);
    rename->bindText(2, to);
    if (rename->step() == Statement::Step::Error)
        return db.lastError();
    return writeNameIndexState(db, state);
}

} // namespace platterly::catalogue
