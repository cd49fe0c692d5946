#include "support/temp_tree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <dirent.h>
#include <fcntl.h>
#include <stdexcept>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platterly::test {

TempTree::TempTree()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

TempTree::~TempTree()
{
    for (const QByteArray& path : m_raw)
        ::unlink(path.constData());
}

QString TempTree::path(const QString& relative) const
{
    return m_dir.path() + u'/' + relative;
}

void TempTree::addFolder(const QString& relative)
{
    if (!QDir().mkpath(path(relative)))
        throw std::runtime_error("cannot create folder " + relative.toStdString());
}

void TempTree::addFile(const QString& relative, const QByteArray& contents)
{
    const QString full = path(relative);
    QDir().mkpath(QFileInfo(full).path());
    QFile file(full);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
        throw std::runtime_error("cannot write file " + relative.toStdString());
}

void TempTree::addSymlink(const QString& relative, const QString& target)
{
    const QString full = path(relative);
    QDir().mkpath(QFileInfo(full).path());
    if (!QFile::link(target, full))
        throw std::runtime_error("cannot create link " + relative.toStdString());
}

QByteArray TempTree::addRawFile(const QString& folder, const QByteArray& name,
                                const QByteArray& contents)
{
    const QByteArray full = QFile::encodeName(path(folder)) + '/' + name;
    const int fd = ::open(full.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool written =
        fd >= 0 && ::write(fd, contents.constData(), static_cast<std::size_t>(contents.size())) ==
                       contents.size();
    if (fd >= 0)
        ::close(fd);
    if (!written)
        throw std::runtime_error("cannot write a file with a raw name");
    m_raw.append(full);
    return full;
}

void TempTree::setSize(const QString& relative, qint64 bytes)
{
    if (::truncate(QFile::encodeName(path(relative)).constData(), bytes) != 0)
        throw std::runtime_error("cannot set the size of " + relative.toStdString());
}

void TempTree::setModified(const QString& relative, qint64 seconds)
{
    const QString full = relative.isEmpty() ? root() : path(relative);
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    if (::utimensat(AT_FDCWD, QFile::encodeName(full).constData(), times, AT_SYMLINK_NOFOLLOW) != 0)
        throw std::runtime_error("cannot set the time of " + relative.toStdString());
}

namespace {

// Sets the times of everything inside the open folder `folder`, names taken as bytes so that
// names that are not UTF-8 are reached too.
bool touchInside(int folder, const timespec times[2])
{
    DIR* listing = ::fdopendir(::dup(folder));
    if (!listing)
        return false;
    bool ok = true;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        ok = ::utimensat(folder, entry->d_name, times, AT_SYMLINK_NOFOLLOW) == 0 && ok;
        if (entry->d_type == DT_DIR) {
            const int inner = ::openat(folder, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
            ok = inner >= 0 && touchInside(inner, times) && ok;
            if (inner >= 0)
                ::close(inner);
        }
    }
    ::closedir(listing);
    return ok;
}

} // namespace

void TempTree::setAllModified(qint64 seconds)
{
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    const int folder = ::open(QFile::encodeName(root()).constData(), O_RDONLY | O_DIRECTORY);
    const bool inside = folder >= 0 && touchInside(folder, times);
    if (folder >= 0)
        ::close(folder);
    if (!inside || ::utimensat(AT_FDCWD, QFile::encodeName(root()).constData(), times, 0) != 0)
        throw std::runtime_error("cannot set the times of the tree");
}

} // namespace platterly::test
