#include "catalogue/disc_volumes.h"

#include "platform/sql/casefold.h"

#include <vector>

namespace platterly::catalogue {

using sql::SqlError;
using sql::Statement;

namespace {

const QString kColumns = QStringLiteral("CDNAME, LABEL, UUID, FSTYPE, ROOT, DRIVEROOT");

struct StoredVolume
{
    qint64 rowid = 0;
    QString title;
    drives::VolumeRecord record;
};

// Every row of the table as stored; none when the file has no table.
SqlError readRows(const sql::Database& db, std::vector<StoredVolume>* rows)
{
    QString table;
    if (!db.tableExists(kVolumesTable, &table))
        return {};
    SqlError error;
    auto select = db.prepare(
        QStringLiteral("SELECT rowid, %1 FROM \"%2\" ORDER BY rowid").arg(kColumns, table), &error);
    if (!select)
        return error;
    for (;;) {
        const Statement::Step step = select->step();
        if (step == Statement::Step::Done)
            return {};
        if (step == Statement::Step::Error)
            return db.lastError();
        StoredVolume row;
        row.rowid = select->integer(0);
        row.title = select->text(1);
        row.record = {select->text(2), select->text(3), select->text(4), select->text(5),
                      select->text(6)};
        rows->push_back(std::move(row));
    }
}

// Runs `change` for every row of the title: ?1 is the row's rowid, ?2 the value when given.
SqlError changeRowsOfTitle(const sql::Database& db, const QString& title, const QString& change,
                           const std::optional<QString>& value = {})
{
    std::vector<StoredVolume> rows;
    if (SqlError error = readRows(db, &rows))
        return error;
    SqlError error;
    std::optional<Statement> statement;
    for (const StoredVolume& row : rows) {
        if (!sql::equalsFolded(row.title, title))
            continue;
        if (!statement && !(statement = db.prepare(change, &error)))
            return error;
        statement->reset();
        statement->bindInt(1, row.rowid);
        if (value)
            statement->bindText(2, *value);
        if (statement->step() == Statement::Step::Error)
            return db.lastError();
    }
    return {};
}

} // namespace

SqlError writeDiscVolume(const sql::Database& db, const QString& title,
                         const drives::VolumeRecord& record)
{
    // Plain types only, like the catalogue's own tables.
    if (SqlError error = db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (CDNAME TEXT, "
                                                "LABEL TEXT, UUID TEXT, FSTYPE TEXT, ROOT TEXT, "
                                                "DRIVEROOT TEXT)")
                                     .arg(kVolumesTable)))
        return error;
    // A row left by a disc deleted with another tool must not stand for this one.
    if (SqlError error = deleteDiscVolume(db, title))
        return error;
    SqlError error;
    auto insert = db.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (?1, ?2, ?3, ?4, ?5, ?6)")
                                 .arg(kVolumesTable, kColumns),
                             &error);
    if (!insert)
        return error;
    const QString values[] = {title,         record.label, record.uuid,
                              record.fsType, record.root,  record.driveRoot};
    for (int i = 0; i < 6; ++i)
        insert->bindText(i + 1, values[i]);
    if (insert->step() == Statement::Step::Error)
        return db.lastError();
    return {};
}

std::optional<drives::VolumeRecord> readDiscVolume(const sql::Database& db, const QString& title,
                                                   SqlError* error)
{
    std::vector<StoredVolume> rows;
    if (SqlError failure = readRows(db, &rows)) {
        if (error)
            *error = failure;
        return std::nullopt;
    }
    for (const StoredVolume& row : rows) {
        if (sql::equalsFolded(row.title, title))
            return row.record;
    }
    return std::nullopt;
}

QHash<QString, drives::VolumeRecord> readDiscVolumes(const sql::Database& db, SqlError* error)
{
    QHash<QString, drives::VolumeRecord> records;
    std::vector<StoredVolume> rows;
    if (SqlError failure = readRows(db, &rows)) {
        if (error)
            *error = failure;
        return records;
    }
    for (StoredVolume& row : rows) {
        const QString key = sql::foldCase(row.title);
        if (!records.contains(key))
            records.insert(key, std::move(row.record));
    }
    return records;
}

SqlError deleteDiscVolume(const sql::Database& db, const QString& title)
{
    return changeRowsOfTitle(db, title,
                             QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(kVolumesTable));
}

SqlError renameDiscVolume(const sql::Database& db, const QString& oldTitle, const QString& newTitle)
{
    return changeRowsOfTitle(
        db, oldTitle,
        QStringLiteral("UPDATE %1 SET CDNAME = ?2 WHERE rowid = ?1").arg(kVolumesTable), newTitle);
}

} // namespace platterly::catalogue
