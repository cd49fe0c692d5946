#include "cataloguing/walk_pump.h"

#include "catalogue/file_type.h"
#include "catalogue/name_index.h"
#include "cataloguing/disc_image.h"
#include "cataloguing/row_pipe.h"

#include <chrono>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>

namespace platterly::cataloguing {

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kBatchRows = 2048;
constexpr std::size_t kBatchesInFlight = 32; // about 64k rows: a few MiB at most
constexpr auto kProgressInterval = 50ms;

std::uint8_t indexTypeCode(int type)
{
    return type >= 0 && type < catalogue::kTypeNull ? static_cast<std::uint8_t>(type)
                                                    : catalogue::kTypeOther;
}

// Looks at each entry of the batch the walk did not look at: its size (none for a folder) and
// time, from the folder it lies in, links not followed. An entry that vanished meanwhile, or
// whose folder cannot be opened, keeps neither.
void lookAtEntries(RowBatch& batch, FolderOpener& folders)
{
    if (batch.looked)
        return;
    batch.looked = true;
    std::string name;
    std::uint32_t folderIndex = UINT32_MAX;
    int folder = -1;
    for (RowBatch::Row& row : batch.rows) {
        if (row.hasModified)
            continue;
        if (row.folder != folderIndex) {
            folderIndex = row.folder;
            const QByteArray& path = batch.nativeFolders[folderIndex];
            folder = path.isEmpty() ? -1 : folders.reach(path, O_PATH | O_DIRECTORY | O_CLOEXEC);
        }
        if (folder < 0)
            continue;
        if (row.nativeLength > 0)
            name.assign(batch.nativeNames, row.nativeOffset, row.nativeLength);
        else
            name.assign(batch.names, row.nameOffset, row.nameLength);
        struct stat info;
        if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        row.hasSize = !S_ISDIR(info.st_mode);
        row.size = row.hasSize ? static_cast<std::int64_t>(info.st_size) : 0;
        row.hasModified = true;
        row.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec);
    }
}

// Runs on the walk's thread: turns rows into batches, cuts the name index blocks (the rows
// will get consecutive rowids from `firstRowid` on) and hands the batches to the writer.
class PipeSink : public WalkSink
{
public:
    // `looked`: the rows come with their sizes and times, to be taken as they are.
    PipeSink(RowPipe<RowBatch>& pipe, catalogue::NameBlockBuilder* blocks, qint64 firstRowid,
             bool looked)
        : m_pipe(pipe), m_blocks(blocks), m_nextRowid(firstRowid), m_blocksValid(blocks),
          m_looked(looked)
    {
        startBatch();
    }

    void add(const WalkRow& row) override
    {
        if (row.path.constData() != m_path.constData() || m_batch.folders.empty()) {
            if (row.path != m_path || m_batch.folders.empty()) {
                m_path = row.path;
                m_batch.folders.push_back(m_path.toUtf8());
                QByteArrayView native = row.nativeFolder;
                if (native.size() > 1 && native.back() == '/')
                    native.chop(1);
                m_batch.nativeFolders.push_back(native.toByteArray());
            }
        }
        QByteArrayView name = row.utf8Name;
        if (name.isEmpty()) {
            m_encoded = row.name.toUtf8();
            name = m_encoded;
        }
        const bool nativeDiffers = row.nativeName != name;
        m_batch.rows.push_back(
            {static_cast<std::uint32_t>(m_batch.names.size()),
             static_cast<std::uint32_t>(name.size()),
             static_cast<std::uint32_t>(m_batch.folders.size() - 1), row.level, row.type,
             row.size.has_value(), row.modified.has_value(), row.size.value_or(0),
             row.modified.value_or(0), static_cast<std::uint32_t>(m_batch.nativeNames.size()),
             static_cast<std::uint32_t>(nativeDiffers ? row.nativeName.size() : 0)});
        if (nativeDiffers)
            m_batch.nativeNames.append(row.nativeName.data(),
                                       static_cast<std::size_t>(row.nativeName.size()));
        m_batch.names.append(name.data(), static_cast<std::size_t>(name.size()));
        if (m_blocksValid)
            m_blocksValid = m_blocks->add(name.data(), name.size(), indexTypeCode(row.type),
                                          m_nextRowid, m_batch.blocks);
        ++m_nextRowid;
        if (m_batch.rows.size() == kBatchRows)
            flush();
    }

    // The walk is over: the last rows and the last block.
    void finish()
    {
        if (m_blocksValid)
            m_blocks->finish(m_batch.blocks);
        flush();
    }

    // False when a name could not go into a block; the index is then made from the rows.
    bool blocksValid() const { return m_blocksValid; }

private:
    void flush()
    {
        if (m_batch.rows.empty() && m_batch.blocks.empty())
            return;
        // The entries are looked at on the writing thread while it keeps up; when batches
        // pile up waiting for it, this thread looks at them, so that both stay busy.
        if (m_pipe.queued() >= kBatchesInFlight / 2)
            lookAtEntries(m_batch, m_folders);
        m_batch.lastFolder = m_path;
        m_pipe.push(std::move(m_batch));
        startBatch();
    }

    void startBatch()
    {
        m_batch = {};
        m_batch.rows.reserve(kBatchRows);
        m_batch.looked = m_looked;
    }

    RowPipe<RowBatch>& m_pipe;
    catalogue::NameBlockBuilder* m_blocks;
    qint64 m_nextRowid;
    bool m_blocksValid;
    bool m_looked;
    RowBatch m_batch;
    QString m_path;
    QByteArray m_encoded;
    FolderOpener m_folders; // this thread's own, for looking at the entries
};

} // namespace

PumpResult pumpWalk(const PumpRequest& request, FolderLister& lister, const BatchWriter& write,
                    const WalkProgress& progress, const std::atomic<bool>* cancel)
{
    PumpResult result;
    FolderOpener folders; // this thread's own, for looking at the entries
    RowPipe<RowBatch> pipe(kBatchesInFlight);
    std::atomic<bool> stopWalk = false;
    bool blocksValid = request.blocks != nullptr;
    std::thread walker([&] {
        PipeSink sink(pipe, request.blocks, request.firstRowid, request.image);
        WalkRequest walkRequest;
        walkRequest.nativeRoot = request.nativeRoot;
        walkRequest.driveRoot = request.driveRoot;
        walkRequest.cancel = &stopWalk;
        // The entries of a folder are looked at later, by whichever thread has the time
        // (PipeSink::flush); an image's directory gives them with the names.
        walkRequest.lookAtEntries = false;
        result.walk =
            request.image ? ScanImage(walkRequest, sink) : ScanFolder(walkRequest, lister, sink);
        sink.finish();
        blocksValid = sink.blocksValid();
        pipe.close();
    });

    QString currentFolder;
    auto lastReport = std::chrono::steady_clock::now();
    for (;;) {
        if (cancel && cancel->load()) {
            result.cancelled = true;
            break;
        }
        bool finished = false;
        auto batch = pipe.pop(kProgressInterval, &finished);
        if (finished)
            break;
        if (batch) {
            lookAtEntries(*batch, folders);
            if ((result.error = write(*batch)))
                break;
            result.written += static_cast<qint64>(batch->rows.size());
            for (const RowBatch::Row& row : batch->rows)
                result.folders += row.type == catalogue::TypeNoDot ? 1 : 0;
            if (!batch->lastFolder.isEmpty())
                currentFolder = batch->lastFolder;
        }
        const auto now = std::chrono::steady_clock::now();
        if (progress && now - lastReport >= kProgressInterval) {
            lastReport = now;
            progress(result.written, currentFolder);
        }
    }
    stopWalk = true;
    pipe.abandon();
    walker.join();
    result.blocksValid = blocksValid;
    // The walk stops part-way when this thread gave up: on a cancel or on a writer's error.
    if (result.walk.outcome == WalkOutcome::Cancelled && !result.error)
        result.cancelled = true;
    if (progress && !result.cancelled && !result.error)
        progress(result.written, currentFolder);
    return result;
}

} // namespace platterly::cataloguing
