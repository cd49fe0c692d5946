#include "cataloguing/cataloguing_run.h"

#include "catalogue/disc_volumes.h"
#include "catalogue/file_type.h"
#include "catalogue/name_index.h"
#include "catalogue/name_index_blocks.h"
#include "cataloguing/disc_image.h"
#include "cataloguing/entry_writer.h"
#include "cataloguing/row_pipe.h"

#include <QFileInfo>
#include <chrono>
#include <climits>
#include <cstdint>
#include <thread>

namespace platterly::cataloguing {

namespace {

using sql::SqlError;
using namespace std::chrono_literals;

constexpr std::size_t kBatchRows = 2048;
constexpr std::size_t kBatchesInFlight = 32; // about 64k rows: a few MiB at most
constexpr auto kProgressInterval = 50ms;

// Rows on their way from the walk to the writing thread, already in the form SQLite takes:
// names and folders in UTF-8, names one after another in one buffer. With them go the
// blocks of the name index cut from the rows so far.
struct RowBatch
{
    struct Row
    {
        std::uint32_t nameOffset;
        std::uint32_t nameLength;
        std::uint32_t folder; // index into folders
        std::int32_t level;
        std::int16_t type;
    };
    std::string names;
    std::vector<Row> rows;
    std::vector<QByteArray> folders;
    QString lastFolder; // drive form, for the progress line
    std::vector<catalogue::NameBlock> blocks;

    QByteArrayView name(const Row& row) const
    {
        return QByteArrayView(names.data() + row.nameOffset, row.nameLength);
    }
};

std::uint8_t indexTypeCode(int type)
{
    return type >= 0 && type < catalogue::kTypeNull ? static_cast<std::uint8_t>(type)
                                                    : catalogue::kTypeOther;
}

// Runs on the walk's thread: turns rows into batches, cuts the name index blocks (the rows
// will get consecutive rowids from `firstRowid` on) and hands the batches to the writer.
class PipeSink : public WalkSink
{
public:
    PipeSink(RowPipe<RowBatch>& pipe, catalogue::NameBlockBuilder& blocks, qint64 firstRowid)
        : m_pipe(pipe), m_blocks(blocks), m_nextRowid(firstRowid)
    {
        m_batch.rows.reserve(kBatchRows);
    }

    void add(const WalkRow& row) override
    {
        if (row.path.constData() != m_path.constData() || m_batch.folders.empty()) {
            if (row.path != m_path || m_batch.folders.empty()) {
                m_path = row.path;
                m_batch.folders.push_back(m_path.toUtf8());
            }
        }
        QByteArrayView name = row.utf8Name;
        if (name.isEmpty()) {
            m_encoded = row.name.toUtf8();
            name = m_encoded;
        }
        m_batch.rows.push_back({static_cast<std::uint32_t>(m_batch.names.size()),
                                static_cast<std::uint32_t>(name.size()),
                                static_cast<std::uint32_t>(m_batch.folders.size() - 1), row.level,
                                row.type});
        m_batch.names.append(name.data(), static_cast<std::size_t>(name.size()));
        if (m_blocksValid)
            m_blocksValid = m_blocks.add(name.data(), name.size(), indexTypeCode(row.type),
                                         m_nextRowid, m_batch.blocks);
        ++m_nextRowid;
        if (m_batch.rows.size() == kBatchRows)
            flush();
    }

    // The walk is over: the last rows and the last block.
    void finish()
    {
        if (m_blocksValid)
            m_blocks.finish(m_batch.blocks);
        flush();
    }

    // False when a name could not go into a block; the index is then made from the rows.
    bool blocksValid() const { return m_blocksValid; }

private:
    void flush()
    {
        if (m_batch.rows.empty() && m_batch.blocks.empty())
            return;
        m_batch.lastFolder = m_path;
        m_pipe.push(std::move(m_batch));
        m_batch = {};
        m_batch.rows.reserve(kBatchRows);
    }

    RowPipe<RowBatch>& m_pipe;
    catalogue::NameBlockBuilder& m_blocks;
    qint64 m_nextRowid;
    bool m_blocksValid = true;
    RowBatch m_batch;
    QString m_path;
    QByteArray m_encoded;
};

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
    const QString quotedTitle = sql::quoteSqlText(title);

    SqlError error;
    sql::Database* db = data.database(&error);
    if (!db)
        return failure(RunOutcome::Failed, error.message);
    // The write lock comes first and the title check after it: checked before, another
    // program could add the same title between the check and the lock.
    sql::Transaction transaction(*db);
    if (transaction.beginError())
        return failure(RunOutcome::Failed, transaction.beginError().message);

    error = query(data, QStringLiteral("SELECT * FROM TOTAL WHERE CDNAME = '") + quotedTitle +
                            QStringLiteral("'"));
    if (error)
        return failure(RunOutcome::Failed, error.message);
    if (data.recordset()->absolutePosition() != -1)
        return failure(RunOutcome::TitleExists, kTitleExistsMessage);
    // New rows go into pages SQLite believes free: in a damaged file those may still hold
    // other rows, which the disc would overwrite.
    if (const QString damage = db->integrityProblem(); !damage.isEmpty())
        return failure(RunOutcome::Failed,
                       QStringLiteral("The catalogue file %1 is damaged: it fails SQLite's "
                                      "integrity check (%2). A disc added to it could overwrite "
                                      "what it still holds, so nothing was added.")
                           .arg(QFileInfo(db->path()).fileName(), damage));

    // The title row comes first, then one row per entry in walk order.
    error = query(data, QStringLiteral("SELECT * FROM CDS"));
    if (error)
        return failure(RunOutcome::Failed, error.message);
    sql::Recordset& cds = *data.recordset();
    const int cdName = cds.fieldIndex(u"CDNAME");
    const int fName = cds.fieldIndex(u"FNAME");
    const int path = cds.fieldIndex(u"PATH");
    const int level = cds.fieldIndex(u"LEVEL");
    const int type = cds.fieldIndex(u"TYPE");
    if (cdName < 0 || fName < 0 || path < 0 || level < 0 || type < 0)
        return failure(RunOutcome::Failed,
                       QStringLiteral("The table CDS of this file lacks the catalogue's fields."));
    const QVariant titleValue(title);
    auto writeRow = [&](const QVariant& name, const QVariant& folder, int depth, int code) {
        cds.addNew();
        cds.setField(cdName, titleValue);
        cds.setField(fName, name);
        cds.setField(path, folder);
        cds.setField(level, depth);
        cds.setField(type, code);
        return cds.update();
    };
    error = writeRow(titleValue, titleValue, 1, catalogue::TypeTitleRow);
    if (error)
        return failure(RunOutcome::Failed, error.message);
    const qint64 titleRowid = db->lastInsertRowid();
    EntryWriter entryWriter(*db, cds.tableName(),
                            {cds.fieldNames().at(cdName), cds.fieldNames().at(fName),
                             cds.fieldNames().at(path), cds.fieldNames().at(level),
                             cds.fieldNames().at(type)},
                            title);
    if (entryWriter.error())
        return failure(RunOutcome::Failed, entryWriter.error().message);

    // The name index of the disc is cut into blocks on the walk's thread as the rows pass,
    // starting with the title row, and written by this one.
    catalogue::NewTitleIndex titleIndex(*db, title);
    const QByteArray titleUtf8 = title.toUtf8();
    catalogue::NameBlockBuilder blocks(titleIndex.blockBudget(), titleUtf8);
    std::vector<catalogue::NameBlock> none; // a first row never fills a block
    bool indexFollowsRows = blocks.add(titleUtf8.constData(), titleUtf8.size(),
                                       indexTypeCode(catalogue::TypeTitleRow), titleRowid, none);

    // The walk lists folders on its own thread while this one writes rows; the pipe between
    // them bounds the rows in memory.
    RowPipe<RowBatch> pipe(kBatchesInFlight);
    std::atomic<bool> stopWalk = false;
    WalkResult walk;
    bool blocksValid = true;
    std::thread walker([&] {
        PipeSink sink(pipe, blocks, titleRowid + 1);
        WalkRequest walkRequest;
        walkRequest.nativeRoot = request.nativeRoot;
        walkRequest.driveRoot = withFinalBackslash(request.driveRoot);
        walkRequest.cancel = &stopWalk;
        walk = request.image ? ScanImage(walkRequest, sink) : ScanFolder(walkRequest, lister, sink);
        sink.finish();
        blocksValid = sink.blocksValid();
        pipe.close();
    });

    qint64 written = 0;
    qint64 expectedRowid = titleRowid + 1;
    QString currentFolder;
    auto lastReport = std::chrono::steady_clock::now();
    bool cancelled = false;
    for (;;) {
        if (cancel && cancel->load()) {
            cancelled = true;
            break;
        }
        bool finished = false;
        auto batch = pipe.pop(kProgressInterval, &finished);
        if (finished)
            break;
        if (batch) {
            std::uint32_t folder = UINT32_MAX;
            for (const RowBatch::Row& row : batch->rows) {
                if (row.folder != folder) {
                    folder = row.folder;
                    entryWriter.setFolder(batch->folders[folder]);
                }
                error = entryWriter.append(batch->name(row), row.level, row.type);
                if (error)
                    break;
                // The blocks were cut for consecutive rowids; SQLite gives them unless the
                // table's largest rowid is taken.
                if (indexFollowsRows && entryWriter.lastRowid() != expectedRowid)
                    indexFollowsRows = false;
                ++expectedRowid;
            }
            if (error)
                break;
            written += static_cast<qint64>(batch->rows.size());
            if (!batch->lastFolder.isEmpty())
                currentFolder = batch->lastFolder;
            for (const catalogue::NameBlock& block : batch->blocks) {
                error = titleIndex.add(block);
                if (error)
                    break;
            }
            if (error)
                break;
        }
        const auto now = std::chrono::steady_clock::now();
        if (progress && now - lastReport >= kProgressInterval) {
            lastReport = now;
            progress(written, currentFolder);
        }
    }
    stopWalk = true;
    pipe.abandon();
    walker.join();

    if (cancelled)
        return failure(RunOutcome::Cancelled,
                       QStringLiteral("Cataloguing was cancelled; the catalogue is as it was."));
    if (error)
        return failure(RunOutcome::Failed, error.message);
    if (walk.outcome == WalkOutcome::Failed)
        return failure(RunOutcome::Failed, walk.error);
    if (walk.outcome == WalkOutcome::Cancelled)
        return failure(RunOutcome::Cancelled,
                       QStringLiteral("Cataloguing was cancelled; the catalogue is as it was."));
    if (progress)
        progress(written, currentFolder);

    // The disc's name index is complete before its rows are counted: the index tells the
    // statements below where the disc's rows lie.
    error = titleIndex.finish(indexFollowsRows && blocksValid);
    if (error)
        return failure(RunOutcome::Failed, error.message);

    // The disc's counts, read back from what was written.
    error = query(data, QStringLiteral("SELECT * FROM CDS WHERE CDNAME= '") + quotedTitle +
                            QStringLiteral("'"));
    if (error)
        return failure(RunOutcome::Failed, error.message);
    data.recordset()->moveLast();
    const qint64 entries = data.recordset()->absolutePosition();
    error = query(data, QStringLiteral("SELECT * FROM CDS WHERE TYPE=100 AND CDNAME= '") +
                            quotedTitle + QStringLiteral("'"));
    if (error)
        return failure(RunOutcome::Failed, error.message);
    qint64 dirs = 0;
    if (data.recordset()->absolutePosition() != -1) {
        data.recordset()->moveLast();
        dirs = data.recordset()->absolutePosition() + 1;
    }
    const qint64 files = entries - dirs;

    error = query(data, QStringLiteral("SELECT * FROM TOTAL"));
    if (error)
        return failure(RunOutcome::Failed, error.message);
    sql::Recordset& total = *data.recordset();
    const QDate date = request.date.isValid() ? request.date : QDate::currentDate();
    total.addNew();
    total.setField(u"CDNAME", titleValue);
    total.setField(u"DATE", date.toString(Qt::ISODate));
    total.setField(u"DIRS", dirs);
    total.setField(u"FILES", files);
    error = total.update();
    if (error)
        return failure(RunOutcome::Failed, error.message);

    error = query(data, QStringLiteral("SELECT * FROM TOTALS"));
    if (error)
        return failure(RunOutcome::Failed, error.message);
    sql::Recordset& totals = *data.recordset();
    if (totals.absolutePosition() == -1)
        return failure(RunOutcome::Failed,
                       QStringLiteral("The catalogue file has lost its totals row; nothing was "
                                      "added to it."));
    totals.edit();
    totals.setField(u"TCDS", totals.field(u"TCDS").toLongLong() + 1);
    totals.setField(u"TDIRS", totals.field(u"TDIRS").toLongLong() + dirs);
    totals.setField(u"TFILES", totals.field(u"TFILES").toLongLong() + files);
    error = totals.update();
    if (error)
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
    result.unreadableFolderCount = walk.unreadableFolderCount;
    result.unreadableFolders = walk.unreadableFolders;
    return result;
}

RunResult runCataloguing(sql::DataControl& data, const CataloguingRequest& request,
                         const RunProgress& progress, const std::atomic<bool>* cancel)
{
    SystemFolderLister lister;
    return runCataloguing(data, request, lister, progress, cancel);
}

} // namespace platterly::cataloguing
