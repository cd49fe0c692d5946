// The table function platterly_rowids(answer): the rowids of an answer bound as a pointer,
// one row each, in the answer's order. It lives in the connection only, never in the file, so other
// SQLite tools never meet it.
#include "platform/sql/rowid_answer.h"

#include <new>
#include <sqlite3.h>

namespace platterly::sql {

namespace {

enum Column
{
    RowidColumn = 0,
    OrderColumn = 1,
    AnswerColumn = 2
};

struct RowidTableCursor
{
    sqlite3_vtab_cursor base{}; // first, so that SQLite's pointer is this cursor's pointer
    std::unique_ptr<RowidCursor> rows;
    qint64 rowid = 0;
    qint64 order = 0;
    bool atEnd = true;
};

RowidTableCursor* cursorOf(sqlite3_vtab_cursor* base)
{
    return reinterpret_cast<RowidTableCursor*>(base);
}

int connectTable(sqlite3* db, void*, int, const char* const*, sqlite3_vtab** table, char**)
{
    // Declared without a rowid, so that "_rowid_" in a statement that joins it with a table
    // can only mean that table's rowid.
    const int rc = sqlite3_declare_vtab(db, "CREATE TABLE x(hit_rowid INTEGER, hit_order INTEGER,"
                                            " hit_answer HIDDEN, PRIMARY KEY (hit_order))"
                                            " WITHOUT ROWID");
    if (rc != SQLITE_OK)
        return rc;
    auto* created = new (std::nothrow) sqlite3_vtab{};
    if (created == nullptr)
        return SQLITE_NOMEM;
    *table = created;
    return SQLITE_OK;
}

int disconnect(sqlite3_vtab* table)
{
    delete table;
    return SQLITE_OK;
}

int bestIndex(sqlite3_vtab*, sqlite3_index_info* info)
{
    int answer = -1;
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto& constraint = info->aConstraint[i];
        if (constraint.iColumn == AnswerColumn && constraint.op == SQLITE_INDEX_CONSTRAINT_EQ) {
            if (!constraint.usable)
                return SQLITE_CONSTRAINT;
            answer = i;
        }
    }
    if (answer < 0)
        return SQLITE_CONSTRAINT; // without its answer the function has nothing to read
    info->aConstraintUsage[answer].argvIndex = 1;
    info->aConstraintUsage[answer].omit = 1;
    // Cheap and short next to any table scan: SQLite reads the rowids first and looks every
    // row up, instead of scanning the table.
    info->estimatedCost = 10;
    info->estimatedRows = 100;
    if (info->nOrderBy == 1 && info->aOrderBy[0].iColumn == OrderColumn && !info->aOrderBy[0].desc)
        info->orderByConsumed = 1;
    return SQLITE_OK;
}

int openCursor(sqlite3_vtab*, sqlite3_vtab_cursor** out)
{
    auto* cursor = new (std::nothrow) RowidTableCursor;
    if (cursor == nullptr)
        return SQLITE_NOMEM;
    *out = &cursor->base;
    return SQLITE_OK;
}

int closeCursor(sqlite3_vtab_cursor* base)
{
    delete cursorOf(base);
    return SQLITE_OK;
}

int advance(RowidTableCursor* cursor)
{
    try {
        cursor->atEnd = !cursor->rows || !cursor->rows->next(&cursor->rowid);
    } catch (const std::bad_alloc&) {
        cursor->atEnd = true;
        return SQLITE_NOMEM;
    }
    ++cursor->order;
    return SQLITE_OK;
}

int filter(sqlite3_vtab_cursor* base, int, const char*, int argc, sqlite3_value** argv)
{
    RowidTableCursor* cursor = cursorOf(base);
    cursor->rows.reset();
    cursor->order = 0;
    // Anything but an answer bound by the program (a number, text) gives no rows. The
    // statement's owner keeps the answer alive for as long as the statement.
    const auto* answer = argc > 0 ? static_cast<const RowidAnswer*>(
                                        sqlite3_value_pointer(argv[0], kRowidAnswerPointerType))
                                  : nullptr;
    try {
        if (answer)
            cursor->rows = answer->open();
    } catch (const std::bad_alloc&) {
        cursor->atEnd = true;
        return SQLITE_NOMEM;
    }
    return advance(cursor);
}

int nextRow(sqlite3_vtab_cursor* base)
{
    return advance(cursorOf(base));
}

int atEnd(sqlite3_vtab_cursor* base)
{
    return cursorOf(base)->atEnd ? 1 : 0;
}

int column(sqlite3_vtab_cursor* base, sqlite3_context* context, int index)
{
    const RowidTableCursor* cursor = cursorOf(base);
    switch (index) {
    case RowidColumn:
        sqlite3_result_int64(context, cursor->rowid);
        break;
    case OrderColumn:
        sqlite3_result_int64(context, cursor->order);
        break;
    default:
        sqlite3_result_null(context); // the answer itself is no value to read back
        break;
    }
    return SQLITE_OK;
}

int rowidOf(sqlite3_vtab_cursor* base, sqlite3_int64* value)
{
    *value = cursorOf(base)->order;
    return SQLITE_OK;
}

sqlite3_module makeModule()
{
    sqlite3_module module{};
    module.iVersion = 0;
    module.xCreate = nullptr; // eponymous only: it exists without CREATE VIRTUAL TABLE
    module.xConnect = connectTable;
    module.xBestIndex = bestIndex;
    module.xDisconnect = disconnect;
    module.xDestroy = disconnect;
    module.xOpen = openCursor;
    module.xClose = closeCursor;
    module.xFilter = filter;
    module.xNext = nextRow;
    module.xEof = atEnd;
    module.xColumn = column;
    module.xRowid = rowidOf;
    return module;
}

const sqlite3_module kRowidModule = makeModule();

} // namespace

SqlError registerRowidTable(const Database& db)
{
    // SQLite can tell whether a module is known only by trying to use it; registering it a
    // second time would replace it under statements that are still open.
    sqlite3_stmt* probe = nullptr;
    const int found = sqlite3_prepare_v2(db.handle(), "SELECT hit_rowid FROM platterly_rowids(0)",
                                         -1, &probe, nullptr);
    sqlite3_finalize(probe);
    if (found == SQLITE_OK)
        return {};
    const int rc =
        sqlite3_create_module_v2(db.handle(), "platterly_rowids", &kRowidModule, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return db.errorFromCode(rc);
    return {};
}

} // namespace platterly::sql
