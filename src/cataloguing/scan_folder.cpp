#include "cataloguing/scan_folder.h"

#include "catalogue/file_type.h"
#include "platform/sql/casefold.h"
#include "platform/system/native_name.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace platterly::cataloguing {

namespace {

constexpr int kRootLevel = 2;
// The clock is read only every so many rows, and progress told at most this often.
constexpr qint64 kProgressStride = 256;
constexpr auto kProgressInterval = std::chrono::milliseconds(50);

// A visible name of a listed folder, decoded once: the text goes into the row as it is.
struct NamedEntry
{
    QString name;
    qsizetype index; // position in the folder's listing, for the raw bytes and the kind
    bool ascii;
};

bool isAscii(QByteArrayView bytes)
{
    return std::none_of(bytes.begin(), bytes.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

unsigned char foldAscii(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

// compareFolded for two ASCII names, straight on the bytes: the common case, and cheap.
int compareAsciiFolded(QByteArrayView a, QByteArrayView b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const unsigned char fa = foldAscii(a[i]);
        const unsigned char fb = foldAscii(b[i]);
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int compareBytes(QByteArrayView a, QByteArrayView b)
{
    const int c =
        std::memcmp(a.data(), b.data(), static_cast<std::size_t>(std::min(a.size(), b.size())));
    if (c != 0)
        return c;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// Case-blind order; names equal but for case (README, Readme) by their bytes, which for UTF-8
// is code-point order. The order is total, so a tree always gives the same rows.
void sortForCatalogue(std::vector<NamedEntry>& entries, const FolderListing& listing)
{
    std::sort(entries.begin(), entries.end(), [&listing](const NamedEntry& a, const NamedEntry& b) {
        const QByteArrayView aBytes = listing.name(a.index);
        const QByteArrayView bBytes = listing.name(b.index);
        const int folded = (a.ascii && b.ascii) ? compareAsciiFolded(aBytes, bBytes)
                                                : sql::compareFolded(a.name, b.name);
        if (folded != 0)
            return folded < 0;
        return compareBytes(aBytes, bBytes) < 0;
    });
}

std::vector<NamedEntry> visibleEntriesInOrder(const FolderListing& listing)
{
    std::vector<NamedEntry> entries;
    entries.reserve(static_cast<std::size_t>(listing.size()));
    for (qsizetype i = 0; i < listing.size(); ++i) {
        const QByteArrayView bytes = listing.name(i);
        if (bytes.isEmpty() || bytes.front() == '.')
            continue; // hidden, and so is everything inside it
        // Plain ASCII, the common case, needs no decoder; other names keep every byte, UTF-8
        // or not, in the text form of native names.
        const bool ascii = isAscii(bytes);
        entries.push_back(
            {ascii ? QString::fromLatin1(bytes) : system::textFromNativeBytes(bytes), i, ascii});
    }
    sortForCatalogue(entries, listing);
    return entries;
}

// One listed folder on the walk's stack: its names in catalogue order and how far the walk
// has come through them. Paths are not stored per folder (a deep tree would hold its paths
// many times over): the walk keeps one native and one drive-form path and cuts them back to
// a folder's length when it returns to that folder.
struct Frame
{
    FolderListing listing;
    std::vector<NamedEntry> entries;
    std::size_t next = 0;
    qsizetype nativeLength = 0; // native path of the folder with its final '/'
    qsizetype driveLength = 0;  // drive-form path of the folder with its final '\'
    int level = kRootLevel;     // LEVEL of the names in this folder
};

QString rootError(const QString& root, const ListOutcome& outcome)
{
    switch (outcome.status) {
    case ListStatus::NotFound:
        return QStringLiteral("The folder %1 does not exist").arg(root);
    case ListStatus::NotAFolder:
        return QStringLiteral("%1 is not a folder").arg(root);
    default:
        return QStringLiteral("The folder %1 cannot be read: %2").arg(root, outcome.reason);
    }
}

class ProgressTimer
{
public:
    explicit ProgressTimer(const WalkProgress& progress) : m_progress(progress) {}

    void rowAdded(qint64 entries, const QString& folder)
    {
        if (!m_progress || entries % kProgressStride != 0)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (now - m_last < kProgressInterval)
            return;
        m_last = now;
        m_progress(entries, folder);
    }

private:
    const WalkProgress& m_progress;
    std::chrono::steady_clock::time_point m_last = std::chrono::steady_clock::now();
};

// The walk itself: a stack of listed folders instead of recursion, so depth has no limit
// but memory.
class TreeWalk
{
public:
    TreeWalk(const WalkRequest& request, FolderLister& lister, WalkSink& sink)
        : m_request(request), m_lister(lister), m_sink(sink), m_progress(request.progress)
    {
    }

    WalkResult run()
    {
        if (!listRoot())
            return m_result;
        while (!m_stack.empty()) {
            Frame& folder = m_stack.back();
            if (folder.next == folder.entries.size()) {
                m_stack.pop_back();
                continue;
            }
            if (m_request.cancel && m_request.cancel->load(std::memory_order_relaxed)) {
                m_result.outcome = WalkOutcome::Cancelled;
                break;
            }
            const NamedEntry& entry = folder.entries[folder.next++];
            record(folder, entry);
            if (folder.listing.kind(entry.index) == EntryKind::Folder)
                enter(folder, entry); // may push onto the stack: `folder` is not used after
        }
        return m_result;
    }

private:
    bool listRoot()
    {
        if (m_request.nativeRoot.isEmpty()) {
            m_result.outcome = WalkOutcome::Failed;
            m_result.error = QStringLiteral("No folder to catalogue was given");
            return false;
        }
        m_nativePath = system::nativeBytesFromText(m_request.nativeRoot);
        m_drivePath = m_request.driveRoot;
        if (!m_drivePath.endsWith(u'\\'))
            m_drivePath.append(u'\\');

        Frame root;
        const ListOutcome outcome =
            m_lister.list(m_nativePath, {true, {}, m_request.lookAtEntries}, root.listing);
        if (!outcome.listed()) {
            m_result.outcome = WalkOutcome::Failed;
            m_result.error = rootError(m_request.nativeRoot, outcome);
            return false;
        }
        m_insideTree = {false, root.listing.device(), m_request.lookAtEntries};
        if (!m_nativePath.endsWith('/'))
            m_nativePath.append('/');
        push(std::move(root), kRootLevel);
        return true;
    }

    void record(const Frame& folder, const NamedEntry& entry)
    {
        // The drive-form path may still name a subfolder walked before: back to this folder.
        m_drivePath.truncate(folder.driveLength);
        const EntryDetails details = folder.listing.details(entry.index);
        m_sink.add(WalkRow{entry.name, m_drivePath, folder.level, catalogue::FileType(entry.name),
                           entry.ascii ? folder.listing.name(entry.index) : QByteArrayView(),
                           details.size, details.modified, folder.listing.name(entry.index),
                           QByteArrayView(m_nativePath.constData(), folder.nativeLength)});
        ++m_result.entries;
        m_progress.rowAdded(m_result.entries, m_drivePath);
    }

    // Lists a subfolder just recorded and, when that works, makes it the folder being walked.
    void enter(const Frame& folder, const NamedEntry& entry)
    {
        m_nativePath.truncate(folder.nativeLength);
        m_nativePath.append(folder.listing.name(entry.index));
        m_drivePath.append(entry.name);
        m_drivePath.append(u'\\');
        Frame inner;
        const ListOutcome outcome = m_lister.list(m_nativePath, m_insideTree, inner.listing);
        if (outcome.status == ListStatus::OtherDevice) {
            ++m_result.otherDeviceFolders;
        } else if (!outcome.listed()) {
            if (m_result.unreadableFolders.size() < kUnreadableFoldersNamed)
                m_result.unreadableFolders.append({m_drivePath, outcome.reason});
            ++m_result.unreadableFolderCount;
        } else {
            m_nativePath.append('/');
            push(std::move(inner), folder.level + 1);
        }
    }

    void push(Frame&& frame, int level)
    {
        frame.entries = visibleEntriesInOrder(frame.listing);
        frame.nativeLength = m_nativePath.size();
        frame.driveLength = m_drivePath.size();
        frame.level = level;
        m_stack.push_back(std::move(frame));
    }

    const WalkRequest& m_request;
    FolderLister& m_lister;
    WalkSink& m_sink;
    ProgressTimer m_progress;
    WalkResult m_result;
    ListOptions m_insideTree;
    std::vector<Frame> m_stack;
    QByteArray m_nativePath; // of the folder last entered, cut back as the walk returns
    QString m_drivePath;     // likewise, in drive form; rows share it until it changes
};

} // namespace

WalkResult ScanFolder(const WalkRequest& request, FolderLister& lister, WalkSink& sink)
{
    return TreeWalk(request, lister, sink).run();
}

WalkResult ScanFolder(const WalkRequest& request, WalkSink& sink)
{
    SystemFolderLister lister;
    return ScanFolder(request, lister, sink);
}

} // namespace platterly::cataloguing
