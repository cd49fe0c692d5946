#include "cataloguing/cataloguing_run.h"

#include "catalogue/file_type.h"
#include "catalogue/name_index.h"
#include "cataloguing/entry_writer.h"
#include "cataloguing/row_pipe.h"

#include <chrono>
#include <thread>

namespace platterly::cataloguing {

namespace {

using sql::SqlError;
using namespace std::chrono_literals;

constexpr std::size_t kBatchRows = 2048;
constexpr std::size_t kBatchesInFlight = 32; // about 64k rows: a few MiB at most
constexpr auto kProgressInterval = 50ms;

// Hands the walk's rows to the writing thread in batches.
class PipeSink : public WalkSink
{
public:
    explicit PipeSink(RowPipe<WalkRow>& pipe) : m_pipe(pipe) { m_batch.reserve(kBatchRows); }

    void add(const WalkRow& row) override
    {
        m_batch.push_back(row);
        if (m_batch.size() == kBatchRows)
            flush();
    }

    void flush()
    {
        if (!m_batch.empty() && m_pipe.push(std::move(m_batch)))
            m_batch = {};
        m_batch.clear();
        m_batch.reserve(kBatchRows);
    }

private:
    RowPipe<WalkRow>& m_pipe;
    std::vector<WalkRow> m_batch;
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

// Runs a statement through the data control; on failure returns the error.
SqlError query(sql::DataControl& data, const QString& statement)
{
    data.setRecordSource(statement);
    return data.refresh();
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

    SqlError error = query(data, QStringLiteral("SELECT * FROM TOTAL WHERE CDNAME = '") +
                                     quotedTitle + QStringLiteral("'"));
    if (error)
        return failure(RunOutcome::Failed, error.message);
    if (data.recordset()->absolutePosition() != -1)
        return failure(RunOutcome::TitleExists, kTitleExistsMessage);

    sql::Database* db = data.database(&error);
    if (!db)
        return failure(RunOutcome::Failed, error.message);
    sql::Transaction transaction(*db);
    if (transaction.beginError())
        return failure(RunOutcome::Failed, transaction.beginError().message);

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
    EntryWriter entryWriter(*db, cds.tableName(),
                            {cds.fieldNames().at(cdName), cds.fieldNames().at(fName),
                             cds.fieldNames().at(path), cds.fieldNames().at(level),
                             cds.fieldNames().at(type)},
                            title);
    if (entryWriter.error())
        return failure(RunOutcome::Failed, entryWriter.error().message);

    // The walk lists folders on its own thread while this one writes rows; the pipe between
    // them bounds the rows in memory.
    RowPipe<WalkRow> pipe(kBatchesInFlight);
    std::atomic<bool> stopWalk = false;
    WalkResult walk;
    QString currentFolder;
    std::thread walker([&] {
        PipeSink sink(pipe);
        WalkRequest walkRequest;
        walkRequest.nativeRoot = request.nativeRoot;
        walkRequest.driveRoot = withFinalBackslash(request.driveRoot);
        walkRequest.cancel = &stopWalk;
        walk = ScanFolder(walkRequest, lister, sink);
        sink.flush();
        pipe.close();
    });

    qint64 written = 0;
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
            for (const WalkRow& row : *batch) {
                error = entryWriter.append(row);
                if (error)
                    break;
            }
            written += static_cast<qint64>(batch->size());
            if (!batch->empty())
                currentFolder = batch->back().path;
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
    totals.setField(u"TCDs", totals.field(u"TCDS").toLongLong() + 1);
    totals.setField(u"TDIRS", totals.field(u"TDIRS").toLongLong() + dirs);
    totals.setField(u"TFILES", totals.field(u"TFILES").toLongLong() + files);
    error = totals.update();
    if (error)
        return failure(RunOutcome::Failed, error.message);

    // Indexes of the program's own that follow the disc's rows are brought up to date here,
    // inside the same transaction, so that they can never disagree with the tables.
    error = catalogue::indexTitle(*db, title);
    if (error)
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
