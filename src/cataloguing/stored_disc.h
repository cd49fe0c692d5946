#pragma once

#include "platform/sql/sqlite_db.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>
#include <QVariantList>
#include <optional>
#include <string>
#include <vector>

namespace platterly::cataloguing {

// One CDS row of a disc as stored, its texts in UTF-8.
struct StoredRow
{
    qint64 rowid = 0;
    QByteArrayView name; // FNAME
    QByteArrayView path; // PATH
    std::optional<qint64> level;
    std::optional<qint64> type;
    std::optional<qint64> size;
    std::optional<qint64> modified;
    bool exactTitle = false; // CDNAME is the disc's title as spelt in TOTAL
};

// The CDS rows of one disc (CDNAME equal to its title, case-blind), in stored order, read a
// few thousand at a time so that no statement stays open on CDS while the caller changes it.
// Made inside the caller's write transaction before it changes CDS: the name index then still
// tells where the disc's rows lie, so that only their range of rowids is read.
class StoredDisc
{
public:
    StoredDisc(const sql::Database& db, const QString& title);

    const sql::SqlError& error() const { return m_error; }
    // The rows' condition and its values, for statements of the caller: "CDNAME ... AND ...".
    const QString& condition() const { return m_condition; }
    const QVariantList& conditionValues() const { return m_values; }

    // The next row, or nullptr after the last one (or on an error). Valid until the next call.
    const StoredRow* next();
    // The root the disc was catalogued from: the PATH of its entries in the root; empty when
    // it has none.
    QByteArray root();
    // The names of the first `most` entries in the root, in stored order.
    QStringList rootNames(int most);
    // The number of rows, and the rowid of the last one (0 when there is none).
    qint64 rowCount();
    qint64 lastRowid();

private:
    bool readChunk();
    std::optional<sql::Statement> prepare(const QString& select);

    const sql::Database& m_db;
    QByteArray m_title;
    QString m_condition;
    QVariantList m_values;
    sql::SqlError m_error;
    bool m_ranged = false; // the condition begins with "_rowid_ BETWEEN ?1 AND ?2"
    qint64 m_after = 0;
    bool m_started = false;
    bool m_exhausted = false;
    std::string m_bytes; // names and paths of the chunk
    struct Offsets
    {
        std::size_t name, nameLength, path, pathLength;
    };
    std::vector<StoredRow> m_rows;
    std::vector<Offsets> m_offsets;
    std::size_t m_next = 0;
};

} // namespace platterly::cataloguing
