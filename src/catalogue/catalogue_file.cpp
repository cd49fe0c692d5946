#include "catalogue/catalogue_file.h"

#include "catalogue/name_index.h"
#include "platform/sql/sqlite_db.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace platterly::catalogue {

namespace {

// Moves the file `from` to the name `to` only if no file bears that name, in one step:
// QFile::rename looks first and moves afterwards, and when the move fails it copies over the
// target, so two runs making one catalogue at once could both succeed.
bool moveToFreeName(const QString& from, const QString& to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system that cannot move without replacing: a link fails as well on a taken name.
    if (::link(source.constData(), target.constData()) != 0)
        return false;
    ::unlink(source.constData());
    return true;
}

} // namespace

QString catalogueSchemaSql()
{
    // Plain types and the default byte-order collation only, so that any SQLite tool can read
    // and even change the file. Case-blind comparison is the program's business at query time.
    // CDS has no index of SQLite's: an index on CDNAME would double the cost of writing a
    // disc's rows. A disc's rows are written one after another, and the name index (kept in
    // the same file) records where each title's rows lie, so "one disc" statements read just
    // that range of rowids.
    // DATE holds the day of cataloguing as YYYY-MM-DD text. SIZE and MODIFIED follow the
    // schema's five fields, so every reader by position or by name finds those where they were.
    return QStringLiteral(
        "CREATE TABLE CDS (CDNAME TEXT, FNAME TEXT, PATH TEXT, LEVEL INTEGER, TYPE INTEGER,"
        " SIZE INTEGER, MODIFIED INTEGER);\n"
        "CREATE TABLE TOTAL (CDNAME TEXT, DATE TEXT, DIRS INTEGER, FILES INTEGER);\n"
        "CREATE TABLE TOTALS (TCDS INTEGER, TDIRS INTEGER, TFILES INTEGER);\n"
        "INSERT INTO TOTALS (TCDS, TDIRS, TFILES) VALUES (0, 0, 0);\n");
}

sql::SqlError addEntryDetailFields(const sql::Database& db)
{
    sql::SqlError error;
    auto columns = db.prepare(QStringLiteral("PRAGMA table_info(CDS)"), &error);
    if (!columns)
        return error;
    bool hasSize = false;
    bool hasModified = false;
    while (columns->step() == sql::Statement::Step::Row) {
        const QString name = columns->text(1);
        hasSize = hasSize || name.compare(kSizeField, Qt::CaseInsensitive) == 0;
        hasModified = hasModified || name.compare(kModifiedField, Qt::CaseInsensitive) == 0;
    }
    columns.reset();
    // Adding a column rewrites no row: SQLite reads the missing value as NULL.
    if (!hasSize && (error = db.exec(QStringLiteral("ALTER TABLE CDS ADD COLUMN SIZE INTEGER"))))
        return error;
    if (!hasModified &&
        (error = db.exec(QStringLiteral("ALTER TABLE CDS ADD COLUMN MODIFIED INTEGER"))))
        return error;
    return {};
}

sql::SqlError createEmptyCatalogue(const QString& path)
{
    using sql::ErrorCode;
    if (QFileInfo::exists(path))
        return {ErrorCode::Other,
                QStringLiteral("%1 already exists; it was left as it is.").arg(path)};
    const QFileInfo target(path);
    if (!target.dir().exists())
        return {ErrorCode::Other,
                QStringLiteral("The folder %1 does not exist.").arg(target.absolutePath())};

    // A temporary name of this run's own: two runs making the same catalogue at once must
    // not write into one file.
    const QString temporary =
        path + QStringLiteral(".%1.part")
                   .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
    {
        sql::SqlError error;
        auto db = sql::Database::create(temporary, &error);
        if (!db)
            return error;
        // The empty name index goes in with the tables, so that the first disc catalogued
        // only adds its own blocks.
        error = db->exec(QStringLiteral("BEGIN;\n") + catalogueSchemaSql() +
                         QStringLiteral("PRAGMA user_version = %1;").arg(kCatalogueFileVersion));
        if (!error)
            error = createNameIndexTables(*db);
        if (!error)
            error = writeNameIndexState(*db, NameIndexState{});
        if (!error)
            error = db->exec(QStringLiteral("COMMIT;"));
        if (error) {
            db.reset();
            QFile::remove(temporary);
            return error;
        }
    }
    // The move fails when the name was taken meanwhile: nothing is ever overwritten.
    if (!moveToFreeName(temporary, path)) {
        QFile::remove(temporary);
        if (QFileInfo::exists(path))
            return {ErrorCode::Other,
                    QStringLiteral("%1 already exists; it was left as it is.").arg(path)};
        return {ErrorCode::Other, QStringLiteral("Could not create %1.").arg(path)};
    }
    return {};
}

} // namespace platterly::catalogue
