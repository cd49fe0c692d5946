#include "platform/drives/stored_path_lookup.h"

#include "platform/sql/casefold.h"
#include "platform/system/native_name.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace platterly::drives {

namespace {

// Listings kept for case-blind matches; a batch of rows from one disc walks few folders.
constexpr qsizetype kListingsKept = 256;
// Names that may be read as one name or several make the search branch; a tree built to make
// it branch at every level is given up on after this many looks instead of taking forever.
constexpr int kMostLooksPerPath = 4096;

bool usableName(const QString& name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/');
}

// Equal without regard to case, both by folding (Ärzte, ÄRZTE) and by the capitals the
// folder picker stores (straße, STRASSE).
bool equalsCaseBlind(const QString& a, const QString& b)
{
    return sql::equalsFolded(a, b) || a.toUpper() == b.toUpper();
}

QByteArray childPath(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

} // namespace

QStringList storedFolderNames(const QString& storedRest)
{
    return storedRest.split(u'\\', Qt::SkipEmptyParts);
}

std::optional<QString> StoredPathLookup::findFolder(const QString& base,
                                                    const QStringList& folderNames)
{
    const QString key = base + QChar(u'\0') + folderNames.join(QChar(u'\0'));
    if (const auto known = m_folders.constFind(key); known != m_folders.constEnd())
        return *known;

    std::optional<QString> result;
    const QByteArray baseBytes = system::nativeBytesFromText(base);
    struct stat info;
    if (!baseBytes.isEmpty() && ::stat(baseBytes.constData(), &info) == 0 &&
        S_ISDIR(info.st_mode)) {
        m_looks = 0;
        if (const std::optional<QByteArray> found = descend(baseBytes, folderNames, 0))
            result = system::textFromNativeBytes(*found);
    }
    m_folders.insert(key, result);
    return result;
}

std::optional<QString> StoredPathLookup::findEntry(const QString& folder, const QString& name)
{
    const QByteArray folderBytes = system::nativeBytesFromText(folder);
    m_looks = 0;
    std::optional<QByteArray> found = child(folderBytes, name, true, false);
    if (!found)
        found = child(folderBytes, name, false, false);
    if (!found)
        return std::nullopt;
    return system::textFromNativeBytes(*found);
}

std::optional<QByteArray> StoredPathLookup::descend(const QByteArray& folder,
                                                    const QStringList& names, qsizetype from)
{
    if (from == names.size())
        return folder;
    // Every exact reading before any case-blind one; shorter names before joined ones.
    for (const bool exactly : {true, false}) {
        for (qsizetype end = from + 1; end <= names.size(); ++end) {
            const QString name = names.mid(from, end - from).join(u'\\');
            const std::optional<QByteArray> next = child(folder, name, exactly, true);
            if (!next)
                continue;
            if (std::optional<QByteArray> found = descend(*next, names, end))
                return found;
        }
    }
    return std::nullopt;
}

std::optional<QByteArray> StoredPathLookup::child(const QByteArray& folder, const QString& name,
                                                  bool exactly, bool folderWanted)
{
    if (!usableName(name) || ++m_looks > kMostLooksPerPath)
        return std::nullopt;
    if (exactly) {
        const QByteArray path = childPath(folder, system::nativeBytesFromText(name));
        struct stat info;
        if (::lstat(path.constData(), &info) != 0 || (folderWanted && !S_ISDIR(info.st_mode)))
            return std::nullopt;
        return path;
    }
    const Listed* match = nullptr;
    for (const Listed& entry : listing(folder)) {
        if ((folderWanted && !entry.folder) || entry.name == name ||
            !equalsCaseBlind(entry.name, name))
            continue;
        if (match)
            return std::nullopt; // two candidates: which one was meant cannot be told
        match = &entry;
    }
    if (!match)
        return std::nullopt;
    return childPath(folder, system::nativeBytesFromText(match->name));
}

const std::vector<StoredPathLookup::Listed>& StoredPathLookup::listing(const QByteArray& folder)
{
    if (const auto known = m_listings.constFind(folder); known != m_listings.constEnd())
        return *known;
    if (m_listings.size() >= kListingsKept)
        m_listings.clear();
    std::vector<Listed> entries;
    if (DIR* dir = ::opendir(folder.constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArrayView bytes(entry->d_name);
            if (bytes == "." || bytes == "..")
                continue;
            bool isFolder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_UNKNOWN) {
                struct stat info;
                isFolder =
                    ::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                    S_ISDIR(info.st_mode);
            }
            entries.push_back({system::textFromNativeBytes(bytes), isFolder});
        }
        ::closedir(dir);
    }
    return *m_listings.insert(folder, std::move(entries));
}

} // namespace platterly::drives
