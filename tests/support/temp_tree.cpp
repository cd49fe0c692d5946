#include "support/temp_tree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <stdexcept>
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

} // namespace platterly::test
