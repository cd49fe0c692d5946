#pragma once

#include "platform/sql/sql_error.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace platterly::sql {

class Statement;

// One open SQLite connection with the program's collations (case-blind equality, the order
// names are listed in) and LIKE function
// registered. The connection never creates a file except through create().
class Database
{
public:
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing file for reading and writing (read-only when the file cannot be
    // written). A missing file, a file that is not a database, a damaged or locked one give
    // an error with a message that names the file.
    static std::unique_ptr<Database> open(const QString& path, SqlError* error);
    // The same for a helper that must not wait for a lock: where another program holds one,
    // it fails at once (SQLITE_BUSY) instead of waiting, as other connections do, for it to
    // be let go.
    static std::unique_ptr<Database> openWithoutWaiting(const QString& path, SqlError* error);
    // Creates a new, empty database file; refuses when the file exists.
    static std::unique_ptr<Database> create(const QString& path, SqlError* error);
    // An in-memory database, for tests and tools.
    static std::unique_ptr<Database> openInMemory();

    const QString& path() const { return m_path; }
    sqlite3* handle() const { return m_db; }
    // The rowid of the row this connection inserted last.
    qint64 lastInsertRowid() const;
    bool isReadOnly() const;

    // Prepares one statement; on failure returns nothing and fills `error`.
    std::optional<Statement> prepare(const QString& sql, SqlError* error) const;
    // Runs statements that return no rows.
    SqlError exec(const QString& sql) const;

    // Turns the connection's most recent failure into an error of the program.
    SqlError lastError(const QString& context = {}) const;
    SqlError errorFromCode(int sqliteCode, const QString& context = {}) const;

    bool tableExists(const QString& table, QString* storedName = nullptr) const;
    bool inTransaction() const;
    // The first problem SQLite's quick integrity check finds in the file, or nothing when it
    // finds none. It reads every page: its cost grows with the file.
    QString integrityProblem() const;
    // After a write transaction failed and could not be rolled back: stops the connection's
    // running statements and reads the file, so that SQLite puts it back as it was before the
    // transaction (from its journal) now, not when some program next opens it.
    void restoreAfterFailedWrite() const;

    // A number that changes whenever this connection or another one changes the file; used
    // to know when cached facts about the contents must be read again.
    qint64 contentVersion() const;

private:
    explicit Database(sqlite3* db, QString path);
    static std::unique_ptr<Database> openFile(const QString& path, int busyTimeoutMs,
                                              SqlError* error);
    void configure();
    // Whether a failure to write comes from the folder, where the journal could not be made.
    bool cannotMakeJournal(int sqliteCode) const;
    SqlError folderNotWritable() const;

    sqlite3* m_db = nullptr;
    QString m_path;
};

// A transaction that rolls back unless committed.
class Transaction
{
public:
    explicit Transaction(const Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    const SqlError& beginError() const { return m_beginError; }
    [[nodiscard]] SqlError commit();
    void rollback();

private:
    const Database& m_db;
    SqlError m_beginError;
    bool m_open = false;
};

class Statement;

// Outside a transaction SQLite takes the file's read lock for each statement and lets it go
// afterwards, looking for a hot journal every time: a few microseconds each, which add up
// when one answer runs hundreds of small statements. While a ReadScope lives, one statement
// stands open on a row, so the lock is held once for all of them. Writing is not hindered
// (a write statement upgrades the lock as usual), and inside a transaction it changes nothing.
class ReadScope
{
public:
    explicit ReadScope(const Database& db);
    ~ReadScope();
    ReadScope(const ReadScope&) = delete;
    ReadScope& operator=(const ReadScope&) = delete;

private:
    std::unique_ptr<Statement> m_holder;
};

// A prepared statement; values are always bound, never pasted into the text.
class Statement
{
public:
    enum class Step
    {
        Row,
        Done,
        Error
    };

    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    ~Statement();

    void bind(int index, const QVariant& value);
    void bindText(int index, const QString& text);
    void bindInt(int index, qint64 value);
    // Binds UTF-8 bytes without copying them: `utf8` must stay alive and unchanged until the
    // statement is stepped for the last time with this value. Bindings persist across
    // steps, so a value that repeats row after row is bound once.
    void bindUtf8(int index, const QByteArray& utf8);
    void bindNull(int index);
    // An object handed to a table function of this program's (sqlite3_bind_pointer): `type`
    // names what it points to, and must outlive the statement.
    void bindPointer(int index, void* pointer, const char* type);

    Step step();
    void reset();
    void clearBindings();

    int columnCount() const;
    QString columnName(int column) const;
    bool isNull(int column) const;
    QVariant value(int column) const;
    QString text(int column) const;
    qint64 integer(int column) const;
    // The raw UTF-8 bytes of a text column, valid until the next step.
    const char* utf8(int column, int* length) const;

    sqlite3_stmt* handle() const { return m_stmt; }

private:
    friend class Database;
    explicit Statement(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    sqlite3_stmt* m_stmt = nullptr;
};

// Doubles every apostrophe, so that a value can stand between single quotes in a statement.
QString quoteSqlText(const QString& value);

// A table or column name as an SQL identifier: between double quotes, each one inside doubled.
QString quoteName(const QString& name);

} // namespace platterly::sql
