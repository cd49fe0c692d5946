#include "cataloguing/folder_lister.h"

#include <QtGlobal>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platterly::cataloguing {

void FolderListing::clear()
{
    m_names.clear();
    m_entries.clear();
    m_device = 0;
}

void FolderListing::add(QByteArrayView name, EntryKind kind, const EntryDetails& details)
{
    m_entries.push_back({m_names.size(), name.size(), kind, details.size.has_value(),
                         details.modified.has_value(), details.size.value_or(0),
                         details.modified.value_or(0)});
    m_names.append(name);
}

EntryDetails FolderListing::details(qsizetype index) const
{
    const Entry& entry = m_entries[static_cast<std::size_t>(index)];
    EntryDetails details;
    if (entry.hasSize)
        details.size = entry.size;
    if (entry.hasModified)
        details.modified = entry.modified;
    return details;
}

QByteArrayView FolderListing::name(qsizetype index) const
{
    const Entry& entry = m_entries[static_cast<std::size_t>(index)];
    return QByteArrayView(m_names.constData() + entry.offset, entry.length);
}

namespace {

ListOutcome failure(int error, bool followLink)
{
    switch (error) {
    case ENOENT:
        return {ListStatus::NotFound, qt_error_string(error)};
    case ENOTDIR:
        return {ListStatus::NotAFolder, qt_error_string(error)};
    case ELOOP:
        // With O_NOFOLLOW this means the name is a link; otherwise too many links in a row.
        return {followLink ? ListStatus::Unreadable : ListStatus::NotAFolder,
                qt_error_string(error)};
    default:
        return {ListStatus::Unreadable, qt_error_string(error)};
    }
}

constexpr std::size_t kMostFoldersKeptOpen = 64;
constexpr std::size_t kEntryBufferBytes = 64 * 1024;

void closeKeepingErrno(int fd)
{
    const int saved = errno;
    ::close(fd);
    errno = saved;
}

// Opens `path` relative to `base`. The system refuses paths of PATH_MAX bytes or more, but a
// tree may be deeper than that: a long path is opened piece by piece, each piece relative to
// the folder before it.
int openBelow(int base, const char* path, qsizetype length, int flags)
{
    int owned = -1; // a folder opened here on the way, closed here
    while (length >= PATH_MAX) {
        const char* cut = static_cast<const char*>(::memrchr(path, '/', PATH_MAX - 1));
        if (!cut || cut == path) {
            if (owned >= 0)
                ::close(owned);
            errno = ENAMETOOLONG;
            return -1;
        }
        const std::string piece(path, static_cast<std::size_t>(cut - path));
        // O_PATH: passing through a folder needs only search permission, as it does for open().
        const int next = ::openat(base, piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (owned >= 0)
            closeKeepingErrno(owned);
        if (next < 0)
            return -1;
        owned = base = next;
        length -= cut + 1 - path;
        path = cut + 1;
    }
    const int fd = ::openat(base, path, flags);
    if (owned >= 0)
        closeKeepingErrno(owned);
    return fd;
}

EntryKind kindFromMode(mode_t mode)
{
    if (S_ISDIR(mode))
        return EntryKind::Folder;
    if (S_ISREG(mode))
        return EntryKind::File;
    if (S_ISLNK(mode))
        return EntryKind::Symlink;
    return EntryKind::Other;
}

EntryKind kindOfType(unsigned char type)
{
    switch (type) {
    case DT_DIR:
        return EntryKind::Folder;
    case DT_REG:
        return EntryKind::File;
    case DT_LNK:
        return EntryKind::Symlink;
    default:
        return EntryKind::Other;
    }
}

// Looks at one listed name without following it: its size (none for a folder) and time. A
// name that vanished meanwhile keeps the kind its directory entry gave and no details.
EntryKind lookAt(int folderFd, const char* name, unsigned char type, EntryDetails& details)
{
    struct stat info;
    if (::fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return kindOfType(type);
    const EntryKind kind = kindFromMode(info.st_mode);
    if (kind != EntryKind::Folder)
        details.size = static_cast<qint64>(info.st_size);
    details.modified = static_cast<qint64>(info.st_mtim.tv_sec);
    return kind;
}

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

SystemFolderLister::SystemFolderLister() : m_buffer(kEntryBufferBytes / sizeof(std::uint64_t)) {}

FolderOpener::~FolderOpener()
{
    for (const OpenFolder& folder : m_open)
        ::close(folder.fd);
}

qsizetype FolderOpener::keepOnlyFoldersHolding(const QByteArray& path)
{
    while (!m_open.empty()) {
        const qsizetype length = m_open.back().pathLength;
        qsizetype below = length;
        while (below < path.size() && path[below] == '/')
            ++below;
        // Held when the path goes on past this folder's own path, with a separator between.
        if (below > length && below < path.size() &&
            std::memcmp(path.constData(), m_lastPath.constData(),
                        static_cast<std::size_t>(length)) == 0)
            return below;
        ::close(m_open.back().fd);
        m_open.pop_back();
    }
    return 0;
}

int FolderOpener::open(const QByteArray& path, int flags)
{
    const qsizetype below = keepOnlyFoldersHolding(path);
    const int base = m_open.empty() ? AT_FDCWD : m_open.back().fd;
    return openBelow(base, path.constData() + below, path.size() - below, flags);
}

int FolderOpener::reach(const QByteArray& path, int flags)
{
    for (const OpenFolder& folder : m_open)
        if (folder.pathLength == path.size() &&
            std::memcmp(path.constData(), m_lastPath.constData(),
                        static_cast<std::size_t>(path.size())) == 0) {
            // The folders kept after it lie inside it: the walk has left them.
            while (m_open.back().fd != folder.fd) {
                ::close(m_open.back().fd);
                m_open.pop_back();
            }
            m_lastPath.truncate(path.size());
            return folder.fd;
        }
    const int fd = open(path, flags);
    if (fd >= 0)
        keep(path, fd);
    return fd;
}

void FolderOpener::keep(const QByteArray& path, int fd)
{
    qsizetype length = path.size();
    while (length > 0 && path[length - 1] == '/')
        --length;
    if (m_open.size() == kMostFoldersKeptOpen) {
        ::close(m_open.front().fd);
        m_open.erase(m_open.begin());
    }
    m_open.push_back({length, fd});
    m_lastPath.truncate(0);
    m_lastPath.append(path.constData(), path.size()); // a copy: the caller's buffer changes
}

bool SystemFolderLister::readNames(int fd, bool lookAtNames, FolderListing& listing, int& error)
{
    char* const buffer = reinterpret_cast<char*>(m_buffer.data());
    for (;;) {
        const ssize_t filled = ::getdents64(fd, buffer, kEntryBufferBytes);
        if (filled == 0)
            return true;
        if (filled < 0) {
            error = errno;
            return false;
        }
        for (ssize_t offset = 0; offset < filled;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + offset);
            offset += entry->d_reclen;
            if (isDotOrDotDot(entry->d_name))
                continue;
            // Hidden names are never recorded; a name whose entry gives no kind is looked at
            // for its kind all the same.
            EntryDetails details;
            EntryKind kind = kindOfType(entry->d_type);
            if ((lookAtNames && entry->d_name[0] != '.') || entry->d_type == DT_UNKNOWN)
                kind = lookAt(fd, entry->d_name, entry->d_type, details);
            listing.add(
                QByteArrayView(entry->d_name, static_cast<qsizetype>(std::strlen(entry->d_name))),
                kind, details);
        }
    }
}

ListOutcome SystemFolderLister::list(const QByteArray& nativePath, const ListOptions& options,
                                     FolderListing& listing)
{
    listing.clear();
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (options.followLink ? 0 : O_NOFOLLOW);
    const int fd = m_folders.open(nativePath, flags);
    if (fd < 0)
        return failure(errno, options.followLink);

    struct stat folderInfo;
    if (::fstat(fd, &folderInfo) != 0) {
        const int error = errno;
        ::close(fd);
        return failure(error, options.followLink);
    }
    const auto device = static_cast<std::uint64_t>(folderInfo.st_dev);
    if (options.requiredDevice && *options.requiredDevice != device) {
        ::close(fd);
        return {ListStatus::OtherDevice, {}};
    }
    int error = 0;
    if (!readNames(fd, options.lookAtNames, listing, error)) {
        // A folder that cannot be read to its end gives nothing rather than a random part.
        ::close(fd);
        listing.clear();
        return failure(error, options.followLink);
    }
    listing.setDevice(device);
    m_folders.keep(nativePath, fd);
    return {};
}

} // namespace platterly::cataloguing
