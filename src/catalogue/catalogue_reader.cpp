#include "catalogue/catalogue_reader.h"

namespace platterly::catalogue {

using sql::SqlError;

namespace {

QString textOf(const QVariant& value)
{
    return value.isNull() ? QString() : value.toString();
}

} // namespace

SqlError readTotals(sql::DataControl& data, Totals* totals)
{
    *totals = {};
    if (SqlError error = query(data, QStringLiteral("SELECT * FROM TOTALS")))
        return error;
    sql::Recordset& rows = *data.recordset();
    if (rows.absolutePosition() == -1)
        return {};
    totals->discs = rows.field(u"TCDS").toLongLong();
    totals->dirs = rows.field(u"TDIRS").toLongLong();
    totals->files = rows.field(u"TFILES").toLongLong();
    return rows.lastError();
}

SqlError readDiscs(sql::DataControl& data, const std::function<bool(const DiscRow&)>& visit)
{
    if (SqlError error = query(data, QStringLiteral("SELECT * FROM TOTAL")))
        return error;
    sql::Recordset& rows = *data.recordset();
    const int title = rows.fieldIndex(u"CDNAME");
    const int dirs = rows.fieldIndex(u"DIRS");
    const int files = rows.fieldIndex(u"FILES");
    const int date = rows.fieldIndex(u"DATE");
    while (!rows.eof()) {
        DiscRow disc{textOf(rows.field(title)), rows.field(dirs), rows.field(files),
                     rows.field(date)};
        if (!visit(disc))
            break;
        if (SqlError error = rows.moveNext())
            return error;
    }
    return {};
}

QString discEntriesStatement(const QString& title)
{
    return QStringLiteral("SELECT * FROM CDS WHERE CDNAME = '") + sql::quoteSqlText(title) +
           QStringLiteral("'");
}

SqlError readDiscEntries(sql::DataControl& data, const QString& title,
                         const std::function<bool(const EntryRow&)>& visit)
{
    if (SqlError error = query(data, discEntriesStatement(title)))
        return error;
    sql::Recordset& rows = *data.recordset();
    const int cdName = rows.fieldIndex(u"CDNAME");
    const int fName = rows.fieldIndex(u"FNAME");
    const int path = rows.fieldIndex(u"PATH");
    const int level = rows.fieldIndex(u"LEVEL");
    const int type = rows.fieldIndex(u"TYPE");
    // -1 in catalogues made before sizes and times were recorded: read as unknown.
    const int size = rows.fieldIndex(u"SIZE");
    const int modified = rows.fieldIndex(u"MODIFIED");
    while (!rows.eof()) {
        EntryRow entry{textOf(rows.field(cdName)),    textOf(rows.field(fName)),
                       textOf(rows.field(path)),      rows.field(level).toLongLong(),
                       rows.field(type).toLongLong(), rows.integer(size),
                       rows.integer(modified)};
        if (!visit(entry))
            break;
        if (SqlError error = rows.moveNext())
            return error;
    }
    return {};
}

} // namespace platterly::catalogue
