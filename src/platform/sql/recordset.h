#pragma once

#include "platform/sql/query_plan.h"
#include "platform/sql/sqlite_db.h"

#include <QVariant>
#include <optional>
#include <string>
#include <vector>

namespace platterly::sql {

// The result of one statement, worked on one row at a time as the windows do: move first,
// last and next, test for the end, read fields by name or position, add, edit and delete
// rows. It is a cursor, not a copy: opening "SELECT * FROM CDS" on a table of millions of
// rows reads one row, and the number of rows is counted only when asked for.
class Recordset
{
public:
    Recordset(const Database& db, QueryPlan plan);

    const QStringList& fieldNames() const { return m_plan.table.columns; }
    const QString& tableName() const { return m_plan.table.name; }
    // The statement as SQLite runs it: for diagnostics and tests.
    const QueryPlan& plan() const { return m_plan; }
    int fieldCount() const { return static_cast<int>(m_plan.table.columns.size()); }
    int fieldIndex(QStringView name) const { return m_plan.table.columnIndex(name); }

    // Zero-based position of the current row; -1 when there is none (empty result, or
    // moved past the last row).
    qint64 absolutePosition() const { return m_eof ? -1 : m_position; }
    bool eof() const { return m_eof; }
    // Number of rows the statement matches.
    qint64 recordCount();

    SqlError moveFirst();
    SqlError moveNext();
    SqlError moveLast();

    // Field values of the current row; an invalid QVariant for a null or when there is no
    // current row (see lastError()).
    QVariant field(int index);
    QVariant field(QStringView name);
    // A text field of the current row (a null string for NULL), read straight from the row
    // without boxing every field of it: the way to read the text of many rows quickly. A
    // value with the same bytes as this field's value in an earlier row is handed out again
    // without decoding it (a disc's title, a folder's path).
    QString text(int index);
    // An integer field of the current row, read straight from the row like text(); nothing
    // for NULL, for a field that does not exist (-1) and for a value that is no integer.
    std::optional<qint64> integer(int index);

    // Changes: addNew() or edit(), then setField() for each field to write, then update().
    SqlError addNew();
    SqlError edit();
    SqlError setField(int index, const QVariant& value);
    SqlError setField(QStringView name, const QVariant& value);
    SqlError update();
    void cancelUpdate();
    // Deletes the current row; the recordset then stands on no row until it is moved.
    SqlError deleteCurrent();

    const SqlError& lastError() const { return m_lastError; }

private:
    enum class Editing
    {
        None,
        Adding,
        Changing
    };

    SqlError openAt(qint64 offset);
    bool loadCurrent();
    SqlError fail(SqlError error);

    const Database& m_db;
    QueryPlan m_plan;
    std::optional<Statement> m_cursor;
    bool m_cursorOnRow = false; // the cursor stands on the current row
    qint64 m_position = 0;
    bool m_eof = true;
    std::optional<qint64> m_count;
    std::vector<QVariant> m_row; // current row: rowid, then fields
    struct LastText
    {
        std::string bytes;
        QString text;
        bool valid = false;
    };
    std::vector<LastText> m_lastText; // of text(), per field
    bool m_rowLoaded = false;

    Editing m_editing = Editing::None;
    std::vector<QVariant> m_buffer;
    std::vector<bool> m_written;
    std::optional<Statement> m_insert;
    SqlError m_lastError;
};

} // namespace platterly::sql
