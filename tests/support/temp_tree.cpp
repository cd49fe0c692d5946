#include "support/temp_tree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace platterly::test {

TempTree::TempTree()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TempTree::path(const QString& relative) const
{
    return m_dir.path() + QLatin1Char('/') + relative;
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

void TempTree::setAllModified(qint64 seconds)
{
    QDirIterator entries(root(),
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext())
        setModified(QDir(root()).relativeFilePath(entries.next()), seconds);
    setModified(QString(), seconds);
}

} // namespace platterly::test
