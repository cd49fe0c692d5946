#include "cataloguing/cataloguing_run.h"

#include "catalogue/catalogue_file.h"
#include "catalogue/disc_volumes.h"
#include "catalogue/file_type.h"
#include "catalogue/name_index.h"
#include "catalogue/name_index_blocks.h"
#include "cataloguing/disc_totals.h"
#include "cataloguing/entry_writer.h"
#include "cataloguing/walk_pump.h"

#include <climits>
#include <cstdint>

namespace platterly::cataloguing {

namespace {

using sql::SqlError;

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

// What the run checks once it holds the write lock: the title is free, and the file sound.
std::optional<RunResult> checkTitle(sql::DataControl& data, const sql::Database& db,
                                    const QString& title)
{
    if (SqlError error = query(data, QStringLiteral("SELECT * FROM TOTAL WHERE CDNAME = '") +
                                         sql::quoteSqlText(title) + QStringLiteral("'")))
        return failure(RunOutcome::Failed, error.message);
    if (data.recordset()->absolutePosition() != -1)
        return failure(RunOutcome::TitleExists, kTitleExistsMessage);
    if (const QString damage = damageOf(db, QStringLiteral("A disc added to it could overwrite "
                                                           "what it still holds, so nothing was "
                                                           "added."));
        !damage.isEmpty())
        return failure(RunOutcome::Failed, damage);
    return std::nullopt;
}

// The disc's first row: the title as its name and its folder, at level 1.
SqlError writeTitleRow(EntryWriter& writer, const QByteArray& titleUtf8, qint64* rowid)
{
    writer.setFolder(titleUtf8);
    if (SqlError error = writer.append(titleUtf8, 1, catalogue::TypeTitleRow))
        return error;
    *rowid = writer.lastRowid();
    return {};
}

// Writes the disc's entry rows as the walk hands them over, and its name index from the
// blocks the walk's thread cut for the rowids the rows were to get. Should SQLite give other
// rowids (when the table's largest rowid is taken), the index is made by reading the rows
// back instead.
class NewDiscRows
{
public:
    NewDiscRows(const sql::Database& db, EntryWriter& writer, const QString& title,
                const QByteArray& titleUtf8, qint64 titleRowid)
        : m_writer(writer), m_index(db, title), m_blocks(m_index.blockBudget(), titleUtf8),
          m_nextRowid(titleRowid + 1)
    {
        std::vector<catalogue::NameBlock> none; // a first row never fills a block
        m_blocksFollow =
            m_blocks.add(titleUtf8.constData(), titleUtf8.size(),
                         static_cast<std::uint8_t>(catalogue::TypeTitleRow), titleRowid, none);
    }

    catalogue::NameBlockBuilder* blocks() { return &m_blocks; }

    SqlError write(const RowBatch& batch)
    {
        std::uint32_t folder = UINT32_MAX;
        for (const RowBatch::Row& row : batch.rows) {
            if (row.folder != folder) {
                folder = row.folder;
                m_writer.setFolder(batch.folders[folder]);
            }
            if (SqlError error = m_writer.append(batch.name(row), row.level, row.type,
                                                 row.sizeValue(), row.modifiedValue()))
                return error;
            m_blocksFollow = m_blocksFollow && m_writer.lastRowid() == m_nextRowid;
            ++m_nextRowid;
        }
        for (const catalogue::NameBlock& block : batch.blocks)
            if (SqlError error = m_index.add(block))
                return error;
        return {};
    }

    // After the last row; `blocksValid`: every row went into a block.
    SqlError finish(bool blocksValid) { return m_index.finish(m_blocksFollow && blocksValid); }

private:
    EntryWriter& m_writer;
    catalogue::NewTitleIndex m_index;
    catalogue::NameBlockBuilder m_blocks;
    qint64 m_nextRowid;
    bool m_blocksFollow = false;
};

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
    if (std::optional<RunResult> refused = checkTitle(data, *db, title))
        return *refused;

    // A catalogue made before entries had sizes and times gains the two fields first. The
    // title row comes first, then one row per entry in walk order.
    const QByteArray titleUtf8 = title.toUtf8();
    std::optional<EntryWriter> writer;
    qint64 titleRowid = 0;
    if ((error = catalogue::addEntryDetailFields(*db)) ||
        (error = openEntryWriter(data, title, writer)) ||
        (error = writeTitleRow(*writer, titleUtf8, &titleRowid)))
        return failure(RunOutcome::Failed, error.message);
    NewDiscRows rows(*db, *writer, title, titleUtf8, titleRowid);
    const PumpResult pumped = pumpWalk(
        {request.nativeRoot, withFinalBackslash(request.driveRoot), rows.blocks(), titleRowid + 1,
         request.image},
        lister, [&rows](const RowBatch& batch) { return rows.write(batch); }, progress, cancel);
    if (pumped.cancelled)
        return failure(RunOutcome::Cancelled,
                       QStringLiteral("Cataloguing was cancelled; the catalogue is as it was."));
    if (pumped.error)
        return failure(RunOutcome::Failed, pumped.error.message);
    if (pumped.walk.outcome == WalkOutcome::Failed)
        return failure(RunOutcome::Failed, pumped.walk.error);

    // The counts are those of the rows as they passed: its folders and its other entries.
    const DiscCounts counts{pumped.folders, pumped.written - pumped.folders};
    if ((error = rows.finish(pumped.blocksValid)) ||
        (error = appendDiscTotals(data, title, request.date, counts)) ||
        (request.volume && (error = catalogue::writeDiscVolume(*db, title, *request.volume))) ||
        (error = transaction.commit()))
        return failure(RunOutcome::Failed, error.message);

    RunResult result;
    result.outcome = RunOutcome::Finished;
    result.dirs = counts.dirs;
    result.files = counts.files;
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
