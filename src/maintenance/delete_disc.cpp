#include "maintenance/delete_disc.h"

#include "catalogue/disc_volumes.h"
#include "catalogue/name_index.h"
#include "maintenance/selected_rows.h"

namespace platterly::maintenance {

using sql::SqlError;

namespace {

struct DiscCounts
{
    qint64 discs = 0;
    qint64 dirs = 0;
    qint64 files = 0;
};

// Sums the counts of every TOTAL row that bears the title.
SqlError readDiscRows(sql::DataControl& data, const QString& statement, DiscCounts* counts)
{
    if (SqlError error = query(data, statement))
        return error;
    sql::Recordset& rows = *data.recordset();
    while (!rows.eof()) {
        ++counts->discs;
        counts->dirs += rows.field(u"DIRS").toLongLong();
        counts->files += rows.field(u"FILES").toLongLong();
        if (SqlError error = rows.moveNext())
            return error;
    }
    return {};
}

SqlError subtractFromTotals(sql::DataControl& data, const DiscCounts& counts)
{
    if (SqlError error = query(data, QStringLiteral("SELECT * FROM TOTALS")))
        return error;
    sql::Recordset& totals = *data.recordset();
    if (totals.absolutePosition() == -1)
        return {sql::ErrorCode::NoCurrentRecord,
                QStringLiteral("The catalogue file has lost its totals row; nothing was deleted.")};
    if (SqlError error = totals.edit())
        return error;
    const SqlError errors[] = {
        totals.setField(u"TCDS", totals.field(u"TCDS").toLongLong() - counts.discs),
        totals.setField(u"TDIRS", totals.field(u"TDIRS").toLongLong() - counts.dirs),
        totals.setField(u"TFILES", totals.field(u"TFILES").toLongLong() - counts.files),
    };
    for (const SqlError& error : errors) {
        if (error) {
            totals.cancelUpdate();
            return error;
        }
    }
    return totals.update();
}

} // namespace

DeleteResult deleteDisc(sql::DataControl& data, const QString& title)
{
    if (title.isEmpty())
        return {DeleteOutcome::NoDiscChosen, kSelectDiscToDeleteMessage};

    SqlError error;
    sql::Database* db = data.database(&error);
    if (!db)
        return {DeleteOutcome::Failed, error.message};
    // Until commit() the transaction rolls back whatever was done when this function returns.
    sql::Transaction transaction(*db);
    if (transaction.beginError())
        return {DeleteOutcome::Failed, transaction.beginError().message};

    // The disc is looked up in full before the first change, so that a refusal changes nothing.
    const QString discRows = rowsOfTitle("TOTAL", title);
    const QString entryRows = rowsOfTitle("CDS", title);
    DiscCounts counts;
    if ((error = readDiscRows(data, discRows, &counts)))
        return {DeleteOutcome::Failed, error.message};
    if ((error = query(data, entryRows)))
        return {DeleteOutcome::Failed, error.message};
    const bool hasEntries = data.recordset()->absolutePosition() != -1;
    if (counts.discs == 0 && !hasEntries)
        return {DeleteOutcome::NotFound, QStringLiteral("No disc is titled %1.").arg(title)};
    if (counts.discs == 0)
        return {DeleteOutcome::NoDiscRow,
                QStringLiteral("%1 has file rows but no disc row (TOTAL), so its counts cannot "
                               "be taken off the totals; nothing was deleted.")
                    .arg(title)};

    DeleteResult result;
    result.outcome = DeleteOutcome::Deleted;
    result.discs = counts.discs;
    result.dirs = counts.dirs;
    result.files = counts.files;
    if ((error = deleteSelectedRows(*db, entryRows, &result.rows)) ||
        (error = deleteSelectedRows(*db, discRows)) || (error = subtractFromTotals(data, counts)))
        return {DeleteOutcome::Failed, error.message};

    // The search's name index follows the tables in the same transaction, so that it never
    // offers rows that are gone.
    if ((error = catalogue::dropTitleFromNameIndex(*db, title)) ||
        (error = catalogue::deleteDiscVolume(*db, title)))
        return {DeleteOutcome::Failed, error.message};
    if ((error = transaction.commit()))
        return {DeleteOutcome::Failed, error.message};
    return result;
}

} // namespace platterly::maintenance
