#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

namespace platterly::test {

// A folder tree made on disk for one test and removed with it.
// Paths given to the helpers are relative to the root and use '/'.
class TempTree
{
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // Absolute path of the root folder, without a trailing '/'.
    QString root() const { return m_dir.path(); }
    // Absolute path of an entry below the root.
    QString path(const QString& relative) const;

    // Creates a folder (and its parents).
    void addFolder(const QString& relative);
    // Creates a file (and its parent folders) holding the given bytes.
    void addFile(const QString& relative, const QByteArray& contents = {});
    // Creates a symbolic link at `relative` pointing to `target` (used as given).
    void addSymlink(const QString& relative, const QString& target);
    // Creates a file whose name is raw bytes (not UTF-8, say) in an existing folder. Qt cannot
    // name such a file, so the tree removes it itself. Returns its native path.
    QByteArray addRawFile(const QString& folder, const QByteArray& name,
                          const QByteArray& contents = {});

    // Gives a file this size (as truncate does: a hole, no disc space taken).
    void setSize(const QString& relative, qint64 bytes);
    // Sets the time of change of an entry (of a link itself, not what it points to), in
    // seconds since 1970; an empty `relative` is the root.
    void setModified(const QString& relative, qint64 seconds);
    // The same for every entry below the root, the root included.
    void setAllModified(qint64 seconds);

private:
    QTemporaryDir m_dir;
    QList<QByteArray> m_raw;
};

} // namespace platterly::test
