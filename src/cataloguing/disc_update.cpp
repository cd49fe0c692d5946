#include "cataloguing/disc_update.h"

#include "catalogue/catalogue_file.h"
#include "catalogue/disc_volumes.h"
#include "catalogue/file_type.h"
#include "catalogue/name_index.h"
#include "cataloguing/disc_totals.h"
#include "cataloguing/row_replacer.h"
#include "cataloguing/walk_pump.h"

namespace platterly::cataloguing {

namespace {

using sql::SqlError;

// How many of a disc's names in the root are looked for to tell that a place holds the disc.
constexpr int kRootNamesLookedFor = 8;

UpdateResult failure(UpdateOutcome outcome, QString message)
{
    UpdateResult result;
    result.outcome = outcome;
    result.message = std::move(message);
    return result;
}

struct DiscRow
{
    QString title;
    DiscCounts counts;
};

// The disc's TOTAL row, looked up inside the transaction; a refusal when there is none, or
// more than one.
std::optional<UpdateResult> findDisc(sql::DataControl& data, const QString& title, DiscRow* disc)
{
    if (SqlError error = query(data, QStringLiteral("SELECT * FROM TOTAL WHERE CDNAME = '") +
                                         sql::quoteSqlText(title) + u'\''))
        return failure(UpdateOutcome::Failed, error.message);
    sql::Recordset& rows = *data.recordset();
    int found = 0;
    for (; !rows.eof(); rows.moveNext(), ++found) {
        disc->title = rows.field(u"CDNAME").toString();
        disc->counts = {rows.field(u"DIRS").toLongLong(), rows.field(u"FILES").toLongLong()};
    }
    if (found == 0)
        return failure(UpdateOutcome::NotFound, QStringLiteral("No disc is titled %1.").arg(title));
    if (found > 1)
        return failure(UpdateOutcome::Ambiguous,
                       QStringLiteral("%1 discs are titled %2; give one of them another title "
                                      "before updating it. Nothing was changed.")
                           .arg(found)
                           .arg(title));
    return std::nullopt;
}

} // namespace

UpdateResult runUpdate(sql::DataControl& data, const UpdateRequest& request, FolderLister& lister,
                       const RunProgress& progress, const std::atomic<bool>* cancel)
{
    SqlError error;
    sql::Database* db = data.database(&error);
    if (!db)
        return failure(UpdateOutcome::Failed, error.message);
    sql::Transaction transaction(*db);
    if (transaction.beginError())
        return failure(UpdateOutcome::Failed, transaction.beginError().message);
    DiscRow before;
    if (auto refused = findDisc(data, request.title.trimmed(), &before))
        return *refused;
    if (const QString damage =
            damageOf(*db, QStringLiteral("Updating a disc in it could overwrite what it still "
                                         "holds, so nothing was changed."));
        !damage.isEmpty())
        return failure(UpdateOutcome::Failed, damage);
    // A catalogue made before entries had sizes and times gains the two fields first.
    if ((error = catalogue::addEntryDetailFields(*db)))
        return failure(UpdateOutcome::Failed, error.message);
    StoredDisc stored(*db, before.title);
    const QByteArray storedRoot = stored.root();
    const qint64 storedRows = stored.rowCount();
    std::optional<EntryWriter> writer;
    if ((error = stored.error()) || (error = openEntryWriter(data, before.title, writer)))
        return failure(UpdateOutcome::Failed, error.message);
    QString refusal;
    bool absent = false;
    const std::optional<DiscSource> source = findDiscSource(
        *db, {before.title, QString::fromUtf8(storedRoot), stored.rootNames(kRootNamesLookedFor)},
        {request.nativeRoot, request.driveRoot, request.drives, request.driveBoxLetter}, &refusal,
        &absent);
    if (!source)
        return failure(absent ? UpdateOutcome::Absent : UpdateOutcome::Failed, refusal);

    RowReplacer replacer(*db, stored, *writer, storedRoot, source->driveRoot.toUtf8());
    const QByteArray titleUtf8 = before.title.toUtf8();
    if ((error = replacer.take({titleUtf8, &titleUtf8, 1, catalogue::TypeTitleRow, {}, {}})))
        return failure(UpdateOutcome::Failed, error.message);
    const auto writeBatch = [&](const RowBatch& batch) {
        for (const RowBatch::Row& row : batch.rows) {
            if (SqlError failed =
                    replacer.take({batch.name(row), &batch.folders[row.folder], row.level, row.type,
                                   row.sizeValue(), row.modifiedValue()}))
                return failed;
        }
        return SqlError{};
    };
    const PumpResult pumped =
        pumpWalk({source->nativeRoot, source->driveRoot, nullptr, 0, source->image}, lister,
                 writeBatch, progress, cancel);
    if (pumped.cancelled)
        return failure(UpdateOutcome::Cancelled,
                       QStringLiteral("Updating was cancelled; the catalogue is as it was."));
    if (pumped.error)
        return failure(UpdateOutcome::Failed, pumped.error.message);
    if (pumped.walk.outcome == WalkOutcome::Failed)
        return failure(UpdateOutcome::Absent,
                       pumped.walk.error +
                           QStringLiteral(". %1 was left as it was.").arg(before.title));
    // An empty folder where a disc's entries were is most often a drive without its medium.
    if (pumped.written == 0 && storedRows > 1)
        return failure(UpdateOutcome::Absent,
                       QStringLiteral("%1 holds nothing: is the disc in its drive? %2 was left "
                                      "as it was.")
                           .arg(source->nativeRoot, before.title));
    if ((error = replacer.finish()))
        return failure(UpdateOutcome::Failed, error.message);
    // The name index follows: written anew for the disc when rows came, went or moved (and
    // made when the file has none yet, as cataloguing does).
    const bool reindex = replacer.rowsMoved() ||
                         catalogue::nameIndexStatus(*db) != catalogue::NameIndexStatus::Current;
    error = reindex ? catalogue::dropTitleFromNameIndex(*db, before.title)
                    : catalogue::restampNameIndex(*db);
    if (!error && reindex)
        error = catalogue::indexTitle(*db, before.title);
    const DiscCounts counts{pumped.folders, pumped.written - pumped.folders};
    if (error ||
        (error = rewriteDiscTotals(data, before.title, request.date, before.counts, counts)) ||
        (error = catalogue::writeDiscVolume(*db, before.title, source->volume)) ||
        (error = transaction.commit()))
        return failure(UpdateOutcome::Failed, error.message);

    UpdateResult result;
    result.outcome = UpdateOutcome::Updated;
    result.title = before.title;
    result.added = replacer.added();
    result.removed = replacer.removed();
    result.changed = replacer.changed();
    result.dirs = counts.dirs;
    result.files = counts.files;
    result.unreadableFolderCount = pumped.walk.unreadableFolderCount;
    result.unreadableFolders = pumped.walk.unreadableFolders;
    return result;
}

UpdateResult runUpdate(sql::DataControl& data, const UpdateRequest& request,
                       const RunProgress& progress, const std::atomic<bool>* cancel)
{
    SystemFolderLister lister;
    return runUpdate(data, request, lister, progress, cancel);
}

} // namespace platterly::cataloguing
