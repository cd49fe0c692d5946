#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace platterly::drives {

// The folder names of a stored path below its root, split at its backslashes:
// "PHOTOS\2004\" -> {"PHOTOS", "2004"}. Empty names (doubled or final backslashes) are dropped.
QStringList storedFolderNames(const QString& storedRest);

// Finds on disk the folders and entries that stored paths name, below a native folder.
//
// A stored path may differ from the disk in letter case (the folder picker stores capitals,
// and a catalogue may come from a system that ignores case), so each name is matched exactly
// first and, failing that, without regard to case; two candidates that differ from it only in
// case, and none that matches exactly, are no match at all. A folder whose own name holds a
// backslash was split by the stored form, so runs of consecutive names joined with "\" are
// tried as one name as well. Names are looked up among the folder's real entries only: "."
// and ".." never match, a name never holds '/', and folders are entered only when they are
// folders themselves (not links), so no stored text leads outside the folder it starts from.
//
// Native paths are in the program's text form (platform/system/native_name.h). Answers are
// remembered: a lookup object serves one batch of questions and then goes away.
class StoredPathLookup
{
public:
    // The folder that `folderNames` lead to below `base` (an existing folder; links in it
    // are followed). nullopt when some name is not found or is ambiguous.
    std::optional<QString> findFolder(const QString& base, const QStringList& folderNames);

    // The entry (file, folder, link, anything) named `name` in `folder`, `name` being one
    // name whatever it holds. nullopt when there is none or the name is ambiguous.
    std::optional<QString> findEntry(const QString& folder, const QString& name);

private:
    struct Listed
    {
        QString name; // text form
        bool folder;
    };
    std::optional<QByteArray> descend(const QByteArray& folder, const QStringList& names,
                                      qsizetype from);
    std::optional<QByteArray> child(const QByteArray& folder, const QString& name, bool exactly,
                                    bool folderWanted);
    const std::vector<Listed>& listing(const QByteArray& folder);

    QHash<QByteArray, std::vector<Listed>> m_listings;
    QHash<QString, std::optional<QString>> m_folders;
    int m_looks = 0; // names looked up for the path being found
};

} // namespace platterly::drives
