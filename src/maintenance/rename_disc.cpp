#include "maintenance/rename_disc.h"

#include "catalogue/catalogue_file.h"
#include "catalogue/disc_volumes.h"
#include "catalogue/name_index.h"
#include "maintenance/selected_rows.h"

namespace platterly::maintenance {

using sql::SqlError;

namespace {

// Whether the statement selects at least one row, asked as every window asks it.
SqlError hasRows(sql::DataControl& data, const QString& statement, bool* found)
{
    if (SqlError error = query(data, statement))
        return error;
    *found = data.recordset()->absolutePosition() != -1;
    return {};
}

} // namespace

bool isAcceptableNewTitle(const QString& newTitle)
{
    return !newTitle.isEmpty() && newTitle.size() <= catalogue::kMaxRenamedTitleLength;
}

RenameResult renameDisc(sql::DataControl& data, const QString& oldTitle, const QString& newTitle)
{
    if (!isAcceptableNewTitle(newTitle))
        return {RenameOutcome::Refused, QStringLiteral("A new CD name holds 1 to %1 characters.")
                                            .arg(catalogue::kMaxRenamedTitleLength)};

    SqlError error;
    sql::Database* db = data.database(&error);
    if (!db)
        return {RenameOutcome::Failed, error.message};
    // Until commit() the transaction rolls back whatever was done when this function returns.
    sql::Transaction transaction(*db);
    if (transaction.beginError())
        return {RenameOutcome::Failed, transaction.beginError().message};

    const QString entryRows = rowsOfTitle("CDS", oldTitle);
    const QString discRows = rowsOfTitle("TOTAL", oldTitle);
    bool hasEntries = false;
    bool hasDisc = false;
    if ((error = hasRows(data, entryRows, &hasEntries)) ||
        (error = hasRows(data, discRows, &hasDisc)))
        return {RenameOutcome::Failed, error.message};
    if (!hasEntries && !hasDisc)
        return {RenameOutcome::NotFound, QStringLiteral("No disc is titled %1.").arg(oldTitle)};

    RenameResult result;
    result.outcome = RenameOutcome::Renamed;
    const QVariant title(newTitle);
    if ((error = setFieldOfSelectedRows(*db, entryRows, QStringLiteral("CDNAME"), title,
                                        &result.rows)) ||
        (error =
             setFieldOfSelectedRows(*db, discRows, QStringLiteral("CDNAME"), title, &result.discs)))
        return {RenameOutcome::Failed, error.message};

    // The search's name index follows the tables in the same transaction, so that a search
    // limited to the new title finds the disc's rows at once.
    if ((error = catalogue::renameTitleInNameIndex(*db, oldTitle, newTitle)) ||
        (error = catalogue::renameDiscVolume(*db, oldTitle, newTitle)))
        return {RenameOutcome::Failed, error.message};
    if ((error = transaction.commit()))
        return {RenameOutcome::Failed, error.message};
    return result;
}

} // namespace platterly::maintenance
