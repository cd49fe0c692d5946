#include "support/temp_tree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

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

} // namespace platterly::test
