#pragma once

#include "cataloguing/folder_lister.h"

#include <QList>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

namespace platterly::cataloguing {

// One catalogue row of the walk: an entry below the catalogued root.
struct WalkRow
{
    QString name;        // FNAME: the name as listed, in the text form of native names
    QString path;        // PATH: the folder holding the entry, drive form with a final "\"
    int level = 0;       // LEVEL: 2 directly in the root, one more per folder below
    std::int16_t type{}; // TYPE: catalogue::FileType(name)
    // The name's UTF-8 bytes when the listing gave them so (plain ASCII names), so that a
    // sink need not encode the name again; empty otherwise. Valid during WalkSink::add only.
    QByteArrayView utf8Name;
    std::optional<qint64> size;     // SIZE: bytes, as lstat gives them; nothing for a folder
    std::optional<qint64> modified; // MODIFIED: seconds since 1970 (UTC), as lstat gives them
    // For a walk told not to look at the entries (WalkRequest::lookAtEntries): the name's
    // bytes as listed and the native path of the folder it lies in (with its final '/'),
    // to look at the entry later. Valid during WalkSink::add only.
    QByteArrayView nativeName;
    QByteArrayView nativeFolder;
};

// Receives the rows in catalogue order. Rows of one folder share one `path` string, so a sink
// that keeps the path keeps a reference, not a copy.
class WalkSink
{
public:
    virtual ~WalkSink() = default;
    virtual void add(const WalkRow& row) = 0;
};

// Told how far the walk has come: entries recorded so far and the folder being walked
// (drive form). Called from the walking thread, at most about every 50 ms.
using WalkProgress = std::function<void(qint64 entries, const QString& currentFolder)>;

struct WalkRequest
{
    QString nativeRoot; // the folder to walk, as the system names it: /home/ann/Photos (text
                        // form of native names)
    QString driveRoot;  // the same folder in drive form: C:\home\ann\Photos\ (final "\" optional)
    WalkProgress progress;
    // Checked before every row; once true the walk stops and says it was cancelled.
    const std::atomic<bool>* cancel = nullptr;
    // Whether the lister looks at each entry for its size and time; when not, the rows come
    // without them and the sink may look at them (WalkRow::nativeFolder).
    bool lookAtEntries = true;
};

enum class WalkOutcome
{
    Completed,
    Failed,
    Cancelled
};

struct UnreadableFolder
{
    QString path;   // drive form with a final "\"
    QString reason; // the system's words: "Permission denied"
};

// How many unreadable folders a result names; all of them are counted.
inline constexpr qsizetype kUnreadableFoldersNamed = 100;

struct WalkResult
{
    WalkOutcome outcome = WalkOutcome::Completed;
    QString error;      // when Failed: why the root could not be walked
    qint64 entries = 0; // rows given to the sink
    qint64 unreadableFolderCount = 0;
    QList<UnreadableFolder> unreadableFolders; // the first kUnreadableFoldersNamed of them
    qint64 otherDeviceFolders = 0; // folders recorded but not entered: another file system
};

// Walks the tree below the root depth first and gives the sink one row per file and folder:
// each folder's names sorted case-blind, each folder followed directly by its contents.
// Names beginning with "." are left out with everything inside them; links are recorded but
// not followed; folders on another file system are recorded but not entered; a folder that
// cannot be listed is recorded, counted and skipped. The root itself gets no row; when it
// cannot be listed the walk fails before giving any row.
// Runs on any thread: it holds no Qt object and touches nothing but the lister and the sink.
[[nodiscard]] WalkResult ScanFolder(const WalkRequest& request, FolderLister& lister,
                                    WalkSink& sink);

// The same walk on the real file system.
[[nodiscard]] WalkResult ScanFolder(const WalkRequest& request, WalkSink& sink);

} // namespace platterly::cataloguing
