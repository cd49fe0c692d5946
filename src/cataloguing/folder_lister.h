#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace platterly::cataloguing {

// What a listed name is, as far as the walk cares: only folders are entered; a symbolic link
// is recorded like any other entry but never followed.
enum class EntryKind : std::uint8_t
{
    Folder,
    File,
    Symlink,
    Other
};

// What the file system says of one name itself (links not followed): its size in bytes and
// the time of its last change, in whole seconds since 1970 (UTC).
struct EntryDetails
{
    std::optional<qint64> size;     // nothing for a folder, or when the name could not be looked at
    std::optional<qint64> modified; // nothing when the name could not be looked at
};

// The names of one folder in the order the file system lists them, without "." and "..".
// All names share one buffer, so a folder costs a few allocations however many names it holds.
class FolderListing
{
public:
    void clear();
    void add(QByteArrayView name, EntryKind kind, const EntryDetails& details = {});

    qsizetype size() const { return static_cast<qsizetype>(m_entries.size()); }
    // The name as raw bytes, exactly as listed; valid until the listing changes.
    QByteArrayView name(qsizetype index) const;
    EntryKind kind(qsizetype index) const
    {
        return m_entries[static_cast<std::size_t>(index)].kind;
    }
    EntryDetails details(qsizetype index) const;

    // Device of the listed folder, so that a walk can stay on one file system.
    std::uint64_t device() const { return m_device; }
    void setDevice(std::uint64_t device) { m_device = device; }

private:
    struct Entry
    {
        qsizetype offset;
        qsizetype length;
        EntryKind kind;
        bool hasSize;
        bool hasModified;
        qint64 size;
        qint64 modified;
    };
    QByteArray m_names;
    std::vector<Entry> m_entries;
    std::uint64_t m_device = 0;
};

enum class ListStatus
{
    Listed,
    NotFound,    // the folder does not exist (or vanished)
    NotAFolder,  // a file, or a link where links are not followed
    Unreadable,  // permission denied, I/O error, ...
    OtherDevice, // on another device than the one required: not read
};

struct ListOutcome
{
    ListStatus status = ListStatus::Listed;
    // The system's words for a failure ("Permission denied"); empty when listed.
    QString reason;

    bool listed() const { return status == ListStatus::Listed; }
};

struct ListOptions
{
    // A walk's root may well be a link to a folder (/media/cdrom often is); folders found
    // inside the tree are never entered through a link.
    bool followLink = false;
    // When set, a folder on any other device is left unread and reported as OtherDevice.
    std::optional<std::uint64_t> requiredDevice;
    // Whether each name is looked at for its size and time now; a caller may look at them
    // later instead, and the entries' details are then left empty.
    bool lookAtNames = true;
};

// Lists one folder. The walk talks to the file system only through this interface, so that
// tests can make chosen folders fail to list, which no file permission does for root.
class FolderLister
{
public:
    virtual ~FolderLister() = default;

    // Replaces the contents of `listing` with the names of `nativePath`. On failure the
    // listing is left empty.
    [[nodiscard]] virtual ListOutcome list(const QByteArray& nativePath, const ListOptions& options,
                                           FolderListing& listing) = 0;
};

// Opens folders in the order a depth-first walk reaches them without resolving each path from
// the root again: the folders last opened stay open, each inside the one before, and the next
// one is opened by its name from the nearest open one that holds it, however deep the tree.
class FolderOpener
{
public:
    FolderOpener() = default;
    ~FolderOpener();
    FolderOpener(const FolderOpener&) = delete;
    FolderOpener& operator=(const FolderOpener&) = delete;

    // Opens `path` (open() flags); -1 with errno set on failure. The caller owns the result
    // until it hands it to keep().
    int open(const QByteArray& path, int flags);
    // Keeps a folder just opened, as the one the next paths are opened from; the opener
    // closes it when a path outside it comes.
    void keep(const QByteArray& path, int fd);
    // The folder `path` open and kept, for looking at the names in it: one of the folders
    // kept when it is one of them (a walk comes back to a folder after each folder in it),
    // else opened with `flags` and kept. -1 when it cannot be opened.
    int reach(const QByteArray& path, int flags);

private:
    struct OpenFolder
    {
        qsizetype pathLength; // of m_lastPath, without final '/'
        int fd;
    };
    // Closes the kept folders that do not hold `path`; returns where the part of `path` below
    // the nearest one left begins (0 when none is left).
    qsizetype keepOnlyFoldersHolding(const QByteArray& path);

    QByteArray m_lastPath;
    std::vector<OpenFolder> m_open; // outermost first
};

// The file system's own listing: one open and one fstat per folder, one fstatat per name for
// its size and time unless told not to (links looked at, not followed; names beginning with
// "." are never recorded, so they are not looked at), and no limit on the length of the path.
// The kind of each name comes from the directory entry, or from a stat where it does not say.
// One lister serves one walk at a time.
class SystemFolderLister final : public FolderLister
{
public:
    SystemFolderLister();
    SystemFolderLister(const SystemFolderLister&) = delete;
    SystemFolderLister& operator=(const SystemFolderLister&) = delete;

    [[nodiscard]] ListOutcome list(const QByteArray& nativePath, const ListOptions& options,
                                   FolderListing& listing) override;

private:
    bool readNames(int fd, bool lookAtNames, FolderListing& listing, int& error);

    FolderOpener m_folders;
    std::vector<std::uint64_t> m_buffer; // directory entries, aligned as the system wants
};

} // namespace platterly::cataloguing
