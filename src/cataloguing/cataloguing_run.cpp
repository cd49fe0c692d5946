#include "cataloguing/cataloguing_run.h"

#include "catalogue/catalogue_file.h"
#include "catalogue/disc_volumes.h"
#include "catalogue/file_type.h"
#include "catalogue/name_index.h"
#include "catalogue/name_index_blocks.h"
#include "cataloguing/entry_writer.h"
#include "cataloguing/walk_pump.h"

#include <QFileInfo>
#include <climits>
#include <cstdint>

namespace platterly::cataloguing {

namespace {

using sql::SqlError;

std::uint8_t indexTypeCode(int type)
{
    return type >= 0 && type < catalogue::kTypeNull ? static_cast<std::uint8_t>(type)
                                                    : catalogue::kTypeOther;
}

RunResult failure(RunOutcome outcome, QString message)
{
    RunResult result;
    result.outcome = outcome;
    result.message = std::move(message);
    return result;
}

QString withFinalBackslash(QString path)
{
    if (!path.endsWith(QLatin1Char('\\')))
        path.append(QLatin1Char('\\'));
    return path;
}

// Appends the disc's title row to CDS and makes the writer of its entry rows.
SqlError writeTitleRow(sql::DataControl& data, const QString& title, qint64* titleRowid,
                       std::optional<EntryWriter>& entryWriter)
{
    if (SqlError error = query(data, QStringLiteral("SELECT * FROM CDS")))
        return error;
    sql::Recordset& cds = *data.recordset();
    const QStringList fields = entryWriterFields(cds);
    if (fields.isEmpty())
        return {sql::ErrorCode::FieldNotFound,
                QStringLiteral("The table CDS of this file lacks the catalogue's fields.")};
    const QVariant titleValue(title);
    cds.addNew();
    cds.setField(fields.at(0), titleValue);
    cds.setField(fields.at(1), titleValue);
    cds.setField(fields.at(2), titleValue);
    cds.setField(fields.at(3), 1);
    cds.setField(fields.at(4), catalogue::TypeTitleRow);
    if (SqlError error = cds.update())
        return error;
    sql::Database* db = data.database();
    *titleRowid = db->lastInsertRowid();
    entryWriter.emplace(*db, cds.tableName(), fields, title);
    return entryWriter->error();
}

// The disc's counts, read back from what was written: its folders (TYPE 100) and its other
// entries, the title row left out.
SqlError countDiscRows(sql::DataControl& data, const QString& title, qint64* dirs, qint64* files)
{
    const QString quotedTitle = sql::quoteSqlText(title);
    if (SqlError error = query(data, QStringLiteral("SELECT * FROM CDS WHERE CDNAME= '") +
                                         quotedTitle + QStringLiteral("'")))
        return error;
    data.recordset()->moveLast();
    const qint64 entries = data.recordset()->absolutePosition();
    if (SqlError error =
            query(data, QStringLiteral("SELECT * FROM CDS WHERE TYPE=100 AND CDNAME= '") +
                            quotedTitle + QStringLiteral("'")))
        return error;
    *dirs = 0;
    if (data.recordset()->absolutePosition() != -1) {
        data.recordset()->moveLast();
        *dirs = data.recordset()->absolutePosition() + 1;
    }
    *files = entries - *dirs;
    return {};
}

// Appends the disc's TOTAL row and adds its counts to TOTALS.
SqlError addDisc(sql::DataControl& data, const QString& title, const QDate& day, qint64 dirs,
                 qint64 files)
{
    if (SqlError error = query(data, QStringLiteral("SELECT * FROM TOTAL")))
        return error;
    sql::Recordset& total = *data.recordset();
    const QDate date = day.isValid() ? day : QDate::currentDate();
    total.addNew();
    total.setField(u"CDNAME", title);
    total.setField(u"DATE", date.toString(Qt::ISODate));
    total.setField(u"DIRS", dirs);
    total.setField(u"FILES", files);
    if (SqlError error = total.update())
        return error;

    if (SqlError error = query(data, QStringLiteral("SELECT * FROM TOTALS")))
        return error;
    sql::Recordset& totals = *data.recordset();
    if (totals.absolutePosition() == -1)
        return {sql::ErrorCode::NoCurrentRecord,
                QStringLiteral("The catalogue file has lost its totals row; nothing was "
                               "added to it.")};
    totals.edit();
    totals.setField(u"TCDS", totals.field(u"TCDS").toLongLong() + 1);
    totals.setField(u"TDIRS", totals.field(u"TDIRS").toLongLong() + dirs);
    totals.setField(u"TFILES", totals.field(u"TFILES").toLongLong() + files);
    return totals.update();
}

// What the run checks once it holds the write lock: the title is free, and the file sound.
std::optional<RunResult> refusalInsideTransaction(sql::DataControl& data, const sql::Database& db,
                                                  const QString& title)
{
    if (SqlError error = query(data, QStringLiteral("SELECT * FROM TOTAL WHERE CDNAME = '") +
                                         sql::quoteSqlText(title) + QStringLiteral("'")))
        return failure(RunOutcome::Failed, error.message);
    if (data.recordset()->absolutePosition() != -1)
        return failure(RunOutcome::TitleExists, kTitleExistsMessage);
    // New rows go into pages SQLite believes free: in a damaged file those may still hold
    // other rows, which the disc would overwrite.
    if (const QString damage = db.integrityProblem(); !damage.isEmpty())
        return failure(RunOutcome::Failed,
                       QStringLiteral("The catalogue file %1 is damaged: it fails SQLite's "
                                      "integrity check (%2). A disc added to it could overwrite "
                                      "what it still holds, so nothing was added.")
                           .arg(QFileInfo(db.path()).fileName(), damage));
    return std::nullopt;
}

} // namespace

RunResult runCataloguing(sql::DataControl& data, const CataloguingRequest& request,
                         FolderLister& lister, const RunProgress& progress,
                         const std::atomic<bool>* cancel)
{
    // A title of blanks only would be stored as the empty title, which no window can choose
    // afterwards: it is refused like an empty one.
    const QString title = request.title.trimmed();
    if (title.isEmpty())
        return failure(RunOutcome::EmptyTitle, kEnterTitleMessage);
    SqlError error;
    sql::Database* db = data.database(&error);
    if (!db)
        return failure(RunOutcome::Failed, error.message);
    // The write lock comes first and the title check after it: checked before, another
    // program could add the same title between the check and the lock.
    sql::Transaction transaction(*db);
    if (transaction.beginError())
        return failure(RunOutcome::Failed, transaction.beginError().message);

    if (std::optional<RunResult> refused = refusalInsideTransaction(data, *db, title))
        return *refused;

    // A catalogue made before entries had sizes and times gains the two fields first.
    if ((error = catalogue::addEntryDetailFields(*db)))
        return failure(RunOutcome::Failed, error.message);
    // The title row comes first, then one row per entry in walk order.
    std::optional<EntryWriter> entryWriter;
    qint64 titleRowid = 0;
    if ((error = writeTitleRow(data, title, &titleRowid, entryWriter)))
        return failure(RunOutcome::Failed, error.message);

    // The name index of the disc is cut into blocks on the walk's thread as the rows pass,
    // starting with the title row, and written by this one.
    catalogue::NewTitleIndex titleIndex(*db, title);
    const QByteArray titleUtf8 = title.toUtf8();
    catalogue::NameBlockBuilder blocks(titleIndex.blockBudget(), titleUtf8);
    std::vector<catalogue::NameBlock> none; // a first row never fills a block
    bool indexFollowsRows = blocks.add(titleUtf8.constData(), titleUtf8.size(),
                                       indexTypeCode(catalogue::TypeTitleRow), titleRowid, none);

    qint64 expectedRowid = titleRowid + 1;
    const auto writeBatch = [&](const RowBatch& batch) {
        std::uint32_t folder = UINT32_MAX;
        for (const RowBatch::Row& row : batch.rows) {
            if (row.folder != folder) {
                folder = row.folder;
                entryWriter->setFolder(batch.folders[folder]);
            }
            if (SqlError failed = entryWriter->append(batch.name(row), row.level, row.type,
                                                      row.sizeValue(), row.modifiedValue()))
                return failed;
            // The blocks were cut for consecutive rowids; SQLite gives them unless the
            // table's largest rowid is taken.
            if (indexFollowsRows && entryWriter->lastRowid() != expectedRowid)
                indexFollowsRows = false;
            ++expectedRowid;
        }
        for (const catalogue::NameBlock& block : batch.blocks)
            if (SqlError failed = titleIndex.add(block))
                return failed;
        return SqlError{};
    };
    const PumpResult pumped = pumpWalk({request.nativeRoot, withFinalBackslash(request.driveRoot),
                                        &blocks, titleRowid + 1, request.image},
                                       lister, writeBatch, progress, cancel);
    if (pumped.cancelled)
        return failure(RunOutcome::Cancelled,
                       QStringLiteral("Cataloguing was cancelled; the catalogue is as it was."));
    if (pumped.error)
        return failure(RunOutcome::Failed, pumped.error.message);
    if (pumped.walk.outcome == WalkOutcome::Failed)
        return failure(RunOutcome::Failed, pumped.walk.error);

    // The disc's name index is complete before its rows are counted: the index tells the
    // statements below where the disc's rows lie.
    error = titleIndex.finish(indexFollowsRows && pumped.blocksValid);
    if (error)
        return failure(RunOutcome::Failed, error.message);

    qint64 dirs = 0;
    qint64 files = 0;
    if ((error = countDiscRows(data, title, &dirs, &files)) ||
        (error = addDisc(data, title, request.date, dirs, files)))
        return failure(RunOutcome::Failed, error.message);
    if (request.volume && (error = catalogue::writeDiscVolume(*db, title, *request.volume)))
        return failure(RunOutcome::Failed, error.message);
    error = transaction.commit();
    if (error)
        return failure(RunOutcome::Failed, error.message);

    RunResult result;
    result.outcome = RunOutcome::Finished;
    result.dirs = dirs;
    result.files = files;
    result.unreadableFolderCount = pumped.walk.unreadableFolderCount;
    result.unreadableFolders = pumped.walk.unreadableFolders;
    return result;
}

RunResult runCataloguing(sql::DataControl& data, const CataloguingRequest& request,
                         const RunProgress& progress, const std::atomic<bool>* cancel)
{
    SystemFolderLister lister;
    return runCataloguing(data, request, lister, progress, cancel);
}

} // namespace platterly::cataloguing
