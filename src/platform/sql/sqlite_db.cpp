#include "platform/sql/sqlite_db.h"

#include "platform/sql/casefold.h"
#include "platform/sql/jet_like.h"
#include "platform/sql/name_order.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platterly::sql {

namespace {

constexpr int kBusyTimeoutMs = 3000;

// Each connection of the program is used by one thread at a time, so SQLite's own locking of
// every call is not needed; neither is its memory accounting. Both cost a tenth of the time
// of writing rows. The settings can only be made before SQLite starts.
int connectionFlags()
{
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    Q_UNUSED(configured);
    return SQLITE_OPEN_NOMUTEX;
}

int foldedCollation(void*, int aLength, const void* a, int bLength, const void* b)
{
    return compareFoldedUtf8(static_cast<const char*>(a), aLength, static_cast<const char*>(b),
                             bLength);
}

int nameOrderCollation(void*, int aLength, const void* a, int bLength, const void* b)
{
    return compareNameOrderUtf8(static_cast<const char*>(a), aLength, static_cast<const char*>(b),
                                bLength);
}

void deletePattern(void* pattern)
{
    delete static_cast<JetLikePattern*>(pattern);
}

// jet_like(value, pattern): the Jet LIKE test. The compiled pattern is kept with the
// statement, so a pattern is compiled once per statement, not once per row.
void jetLikeFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    auto* pattern = static_cast<JetLikePattern*>(sqlite3_get_auxdata(context, 1));
    if (pattern == nullptr) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
        const int length = sqlite3_value_bytes(argv[1]);
        QString why;
        auto compiled = JetLikePattern::compile(QString::fromUtf8(text, length), &why);
        if (!compiled) {
            const QByteArray message = (QStringLiteral("Invalid pattern string: ") + why).toUtf8();
            sqlite3_result_error(context, message.constData(), static_cast<int>(message.size()));
            return;
        }
        pattern = new JetLikePattern(std::move(*compiled));
        sqlite3_set_auxdata(context, 1, pattern, deletePattern);
        pattern = static_cast<JetLikePattern*>(sqlite3_get_auxdata(context, 1));
        if (pattern == nullptr) {
            sqlite3_result_error_nomem(context);
            return;
        }
    }
    const auto* value = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int valueLength = sqlite3_value_bytes(argv[0]);
    sqlite3_result_int(context, pattern->matchesUtf8(value, valueLength) ? 1 : 0);
}

QString fileName(const QString& path)
{
    return QFileInfo(path).fileName();
}

// What kind of thing a name that is neither a file nor a folder stands for, in words.
QString specialFileKind(const QString& path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return QStringLiteral("not readable");
    if (S_ISFIFO(status.st_mode))
        return QStringLiteral("a named pipe (FIFO)");
    if (S_ISSOCK(status.st_mode))
        return QStringLiteral("a socket");
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return QStringLiteral("a device");
    return QStringLiteral("a special file");
}

// Whether new files can be made in the folder that holds `path` (SQLite makes its journal
// there while it writes).
bool folderIsWritable(const QString& path)
{
    return ::access(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), W_OK) == 0;
}

} // namespace

Database::Database(sqlite3* db, QString path) : m_db(db), m_path(std::move(path))
{
    configure();
}

Database::~Database()
{
    sqlite3_close_v2(m_db);
}

void Database::configure()
{
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    sqlite3_create_collation_v2(m_db, "JETNOCASE", SQLITE_UTF8, nullptr, foldedCollation, nullptr);
    sqlite3_create_collation_v2(m_db, "NAMEORDER", SQLITE_UTF8, nullptr, nameOrderCollation,
                                nullptr);
    sqlite3_create_function_v2(m_db, "jet_like", 2,
                               SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                               jetLikeFunction, nullptr, nullptr, nullptr);
}

std::unique_ptr<Database> Database::open(const QString& path, SqlError* error)
{
    return openFile(path, kBusyTimeoutMs, error);
}

std::unique_ptr<Database> Database::openWithoutWaiting(const QString& path, SqlError* error)
{
    return openFile(path, 0, error);
}

std::unique_ptr<Database> Database::openFile(const QString& path, int busyTimeoutMs,
                                             SqlError* error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = {ErrorCode::FileNotFound,
                  QStringLiteral("The catalogue file %1 does not exist.").arg(path)};
        return nullptr;
    }
    if (info.isDir()) {
        *error = {ErrorCode::NotADatabase,
                  QStringLiteral("%1 is a folder, not a catalogue file.").arg(path)};
        return nullptr;
    }
    if (!info.isFile()) {
        *error = {ErrorCode::NotADatabase,
                  QStringLiteral("%1 is not a catalogue file: it is %2, not a file.")
                      .arg(path, specialFileKind(path))};
        return nullptr;
    }
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw,
                                   SQLITE_OPEN_READWRITE | connectionFlags(), nullptr);
    std::unique_ptr<Database> db(new Database(raw, path));
    if (rc != SQLITE_OK) {
        *error = db->errorFromCode(rc, QStringLiteral("opening"));
        return nullptr;
    }
    sqlite3_busy_timeout(raw, busyTimeoutMs);
    // Opening is lazy in SQLite: reading the schema is what finds out whether the file is
    // a database at all, damaged or locked.
    const SqlError probe = db->exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    if (probe) {
        *error = probe;
        return nullptr;
    }
    return db;
}

std::unique_ptr<Database> Database::create(const QString& path, SqlError* error)
{
    if (QFileInfo::exists(path)) {
        *error = {ErrorCode::Other,
                  QStringLiteral("%1 already exists; it was left as it is.").arg(path)};
        return nullptr;
    }
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(path.toUtf8().constData(), &raw,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | connectionFlags(), nullptr);
    std::unique_ptr<Database> db(new Database(raw, path));
    if (rc != SQLITE_OK) {
        *error = db->errorFromCode(rc, QStringLiteral("creating"));
        return nullptr;
    }
    return db;
}

std::unique_ptr<Database> Database::openInMemory()
{
    sqlite3* raw = nullptr;
    sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    return std::unique_ptr<Database>(new Database(raw, QStringLiteral(":memory:")));
}

bool Database::isReadOnly() const
{
    return sqlite3_db_readonly(m_db, "main") == 1;
}

std::optional<Statement> Database::prepare(const QString& sql, SqlError* error) const
{
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc =
        sqlite3_prepare_v2(m_db, utf8.constData(), static_cast<int>(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) {
        *error = errorFromCode(rc);
        sqlite3_finalize(stmt);
        return std::nullopt;
    }
    return Statement(stmt);
}

SqlError Database::exec(const QString& sql) const
{
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK)
        return errorFromCode(rc);
    return {};
}

qint64 Database::lastInsertRowid() const
{
    return sqlite3_last_insert_rowid(m_db);
}

SqlError Database::lastError(const QString& context) const
{
    return errorFromCode(sqlite3_extended_errcode(m_db), context);
}

bool Database::cannotMakeJournal(int sqliteCode) const
{
    if (sqliteCode == SQLITE_READONLY_DIRECTORY)
        return true;
    // The file itself is open for writing, so it is the journal beside it that could not be
    // made. (A connection that failed to open answers -1.)
    return sqlite3_db_readonly(m_db, "main") == 0 && QFileInfo(m_path).isFile() &&
           !folderIsWritable(m_path);
}

SqlError Database::folderNotWritable() const
{
    const QFileInfo file(m_path);
    return {ErrorCode::ReadOnly,
            QStringLiteral("The catalogue file %1 can be read but not changed: its folder %2 is "
                           "not writable, and changing the file needs a journal file beside it. "
                           "Nothing was changed.")
                .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath()))};
}

SqlError Database::errorFromCode(int sqliteCode, const QString& context) const
{
    const QString name = fileName(m_path);
    // The connection's own message belongs to its most recent failure; a code that came from
    // elsewhere (a statement stepped earlier, a backup) is described by SQLite's text for it.
    const QString detail = (sqlite3_errcode(m_db) & 0xFF) == (sqliteCode & 0xFF)
                               ? QString::fromUtf8(sqlite3_errmsg(m_db))
                               : QString::fromUtf8(sqlite3_errstr(sqliteCode));
    Q_UNUSED(context);
    switch (sqliteCode & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return {};
    case SQLITE_NOTADB:
        return {ErrorCode::NotADatabase,
                QStringLiteral("%1 is not a catalogue file: it is not a database.").arg(name)};
    case SQLITE_CORRUPT:
        return {ErrorCode::Damaged,
                QStringLiteral("The catalogue file %1 is damaged (%2).").arg(name, detail)};
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {ErrorCode::Locked,
                QStringLiteral("The catalogue file %1 is in use by another program; try again "
                               "when that program has finished with it.")
                    .arg(name)};
    case SQLITE_READONLY:
        if (cannotMakeJournal(sqliteCode))
            return folderNotWritable();
        return {ErrorCode::ReadOnly,
                QStringLiteral("The catalogue file %1 cannot be changed: it or its folder is "
                               "read-only. Nothing was changed.")
                    .arg(name)};
    case SQLITE_FULL:
        return {ErrorCode::DiskFull,
                QStringLiteral("There is no room left on the disk that holds %1. Nothing was "
                               "changed.")
                    .arg(name)};
    case SQLITE_CANTOPEN:
        if (cannotMakeJournal(sqliteCode))
            return folderNotWritable();
        [[fallthrough]];
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return {ErrorCode::ReadOnly,
                QStringLiteral("The catalogue file %1 cannot be opened (%2).").arg(name, detail)};
    case SQLITE_IOERR:
        return {ErrorCode::Other,
                QStringLiteral("Reading or writing %1 failed (%2).").arg(name, detail)};
    case SQLITE_ERROR:
        if (detail.startsWith(QLatin1String("Invalid pattern string")))
            return {ErrorCode::InvalidPattern, detail};
        return {ErrorCode::Other, detail};
    default:
        return {ErrorCode::Other, QStringLiteral("%1: %2").arg(name, detail)};
    }
}

bool Database::tableExists(const QString& table, QString* storedName) const
{
    SqlError ignored;
    auto stmt =
        prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"), &ignored);
    if (!stmt)
        return false;
    while (stmt->step() == Statement::Step::Row) {
        const QString name = stmt->text(0);
        if (equalsFolded(name, table)) {
            if (storedName)
                *storedName = name;
            return true;
        }
    }
    return false;
}

QString Database::integrityProblem() const
{
    SqlError error;
    auto check = prepare(QStringLiteral("PRAGMA quick_check(1)"), &error);
    if (!check)
        return error.message;
    if (check->step() != Statement::Step::Row)
        return QString::fromUtf8(sqlite3_errmsg(m_db));
    const QString verdict = check->text(0);
    if (verdict == QLatin1String("ok"))
        return {};
    // The verdict opens with a line naming the schema ("*** in database main ***").
    QStringList lines = verdict.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.removeIf([](const QString& line) { return line.startsWith(QLatin1String("***")); });
    return lines.isEmpty() ? verdict : lines.join(QLatin1String("; "));
}

void Database::restoreAfterFailedWrite() const
{
    // SQLite plays the journal back once no statement of the connection is running and the
    // file is read again. The statements' rows belong to a transaction that is gone anyway.
    for (sqlite3_stmt* stmt = sqlite3_next_stmt(m_db, nullptr); stmt != nullptr;
         stmt = sqlite3_next_stmt(m_db, stmt))
        if (sqlite3_stmt_busy(stmt))
            sqlite3_reset(stmt);
    if (inTransaction())
        exec(QStringLiteral("ROLLBACK"));
    const SqlError ignored = exec(QStringLiteral("SELECT count(*) FROM sqlite_schema"));
    Q_UNUSED(ignored);
}

bool Database::inTransaction() const
{
    return sqlite3_get_autocommit(m_db) == 0;
}

qint64 Database::contentVersion() const
{
    qint64 dataVersion = 0;
    sqlite3_file_control(m_db, "main", SQLITE_FCNTL_DATA_VERSION, &dataVersion);
    return (dataVersion << 40) ^ sqlite3_total_changes64(m_db);
}

ReadScope::ReadScope(const Database& db)
{
    if (db.inTransaction())
        return;
    SqlError ignored;
    // Every SQLite file has a schema row for each of its tables; an empty file has nothing
    // to lock.
    auto holder = db.prepare(QStringLiteral("SELECT 1 FROM sqlite_schema"), &ignored);
    if (holder && holder->step() == Statement::Step::Row)
        m_holder = std::make_unique<Statement>(std::move(*holder));
}

ReadScope::~ReadScope() = default;

Transaction::Transaction(const Database& db) : m_db(db)
{
    m_beginError = m_db.exec(QStringLiteral("BEGIN IMMEDIATE"));
    m_open = !m_beginError;
}

Transaction::~Transaction()
{
    rollback();
}

SqlError Transaction::commit()
{
    if (!m_open)
        return m_beginError ? m_beginError
                            : SqlError{ErrorCode::Other, QStringLiteral("No transaction is open.")};
    const SqlError error = m_db.exec(QStringLiteral("COMMIT"));
    if (!error)
        m_open = false;
    return error;
}

void Transaction::rollback()
{
    if (!m_open)
        return;
    m_open = false;
    // After a failed write (a full disk, an I/O error) SQLite may refuse the rollback and
    // keep the file grown, with its journal beside it, until the connection next reads it.
    if (m_db.exec(QStringLiteral("ROLLBACK")))
        m_db.restoreAfterFailedWrite();
}

QString quoteSqlText(const QString& value)
{
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return quoted;
}

QString quoteName(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace platterly::sql
