#pragma once

#include "cataloguing/entry_diff.h"
#include "cataloguing/entry_writer.h"
#include "cataloguing/stored_disc.h"

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace platterly::cataloguing {

// A row as a fresh cataloguing of the disc writes it.
struct FreshRow
{
    QByteArrayView name;
    const QByteArray* path = nullptr; // stays unchanged while rows of this folder follow
    int level = 0;
    int type = 0;
    std::optional<qint64> size;
    std::optional<qint64> modified;
};

// Turns the stored rows of a disc into the rows a fresh cataloguing of its tree writes, given
// one by one in that order (the title row first), inside the caller's write transaction.
//
// While the fresh rows are the stored ones, row for row, nothing is written but the sizes and
// times that changed, in place: an unchanged disc costs one reading of its rows. From the first
// row that differs on, the fresh rows are appended to CDS and the stored ones from there are
// deleted at the end; should other discs' rows follow the disc, its rows before that point are
// first copied to the end of CDS too, so that a disc's rows stay together in stored order.
// Meanwhile the entries are compared by their place below the disc's root, to tell what came,
// went and changed.
class RowReplacer
{
public:
    // `storedRoot`: the PATH of the stored entries in the disc's root; `freshRoot`: the same
    // of the fresh rows (they differ when the disc is read from another drive or folder).
    RowReplacer(const sql::Database& db, StoredDisc& stored, EntryWriter& writer,
                QByteArray storedRoot, QByteArray freshRoot);

    sql::SqlError take(const FreshRow& row);
    // After the last fresh row: removes the stored rows no fresh row replaced.
    sql::SqlError finish();

    // Whether rows were added, removed or given another name, title or type: the name index
    // must then be written anew for the disc.
    bool rowsMoved() const { return m_rewriting || m_namesChanged; }
    qint64 added() const;
    qint64 removed() const;
    qint64 changed() const;

private:
    sql::SqlError keep(const StoredRow& stored, const FreshRow& row);
    sql::SqlError startRewriting(const StoredRow* stored);
    sql::SqlError append(const FreshRow& row);
    sql::SqlError run(const QString& statement, const QVariantList& values);

    const sql::Database& m_db;
    StoredDisc& m_stored;
    EntryWriter& m_writer;
    QByteArray m_storedRoot;
    QByteArray m_freshRoot;
    EntryDiff m_diff;
    std::optional<sql::Statement> m_setDetails;
    bool m_rewriting = false;
    bool m_namesChanged = false;
    const QByteArray* m_folder = nullptr;
    qint64 m_deleteFrom = 0; // the first stored rowid to delete at the end
    qint64 m_lastStored = 0;
    qint64 m_keptChanged = 0; // entries kept in place whose size or time changed
    qint64 m_keptRemoved = 0; // stored entries left over after the last fresh row
};

} // namespace platterly::cataloguing
