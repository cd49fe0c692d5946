#include "cataloguing/folder_lister.h"
#include "cataloguing/scan_folder.h"
#include "support/temp_tree.h"

#include <QFile>
#include <QMap>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace platterly::cataloguing;
using platterly::test::TempTree;

namespace {

QMap<QString, EntryKind> kindsByName(const FolderListing& listing)
{
    QMap<QString, EntryKind> kinds;
    for (qsizetype i = 0; i < listing.size(); ++i)
        kinds.insert(QFile::decodeName(listing.name(i).toByteArray()), listing.kind(i));
    return kinds;
}

std::uint64_t deviceOf(const QString& path)
{
    struct stat info
    {
    };
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    return static_cast<std::uint64_t>(info.st_dev);
}

TEST(SystemFolderLister, ListsEveryNameWithItsKindOnTheRequiredDeviceOnly)
{
    TempTree tree;
    tree.addFolder(u"sub"_s);
    tree.addFile(u"f.txt"_s);
    tree.addFile(u".hidden"_s);
    tree.addSymlink(u"lnk"_s, u"sub"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(tree.path(u"pipe"_s)).constData(), 0600), 0);

    SystemFolderLister lister;
    FolderListing listing;
    ListOptions sameDevice;
    sameDevice.requiredDevice = deviceOf(tree.root());
    EXPECT_EQ(lister.list(QFile::encodeName(tree.root()), sameDevice, listing).status,
              ListStatus::Listed);
    const QMap<QString, EntryKind> expected{{u"sub"_s, EntryKind::Folder},
                                            {u"f.txt"_s, EntryKind::File},
                                            {u".hidden"_s, EntryKind::File},
                                            {u"lnk"_s, EntryKind::Symlink},
                                            {u"pipe"_s, EntryKind::Other}};
    EXPECT_EQ(kindsByName(listing), expected);
    EXPECT_EQ(listing.device(), deviceOf(tree.root()));

    // A folder on another device than the one required is left unread.
    ListOptions otherDevice;
    otherDevice.requiredDevice = listing.device() + 1;
    EXPECT_EQ(lister.list(QFile::encodeName(tree.root()), otherDevice, listing).status,
              ListStatus::OtherDevice);
    EXPECT_EQ(listing.size(), 0);
}

TEST(SystemFolderLister, OneListerListsFoldersInAnyOrderAndSpelling)
{
    TempTree tree;
    tree.addFile(u"a/b/in-b.txt"_s);
    tree.addFile(u"a/in-a.txt"_s);
    tree.addFile(u"c/in-c.txt"_s);
    SystemFolderLister lister;
    FolderListing listing;
    const auto namesOf = [&](const QString& path) {
        if (!lister.list(QFile::encodeName(path), {}, listing).listed())
            return QStringList{u"<not listed>"_s};
        return kindsByName(listing).keys();
    };
    // Going down, back up, sideways and down again, with the same folder named several ways.
    const std::pair<const char16_t*, QStringList> steps[] = {{u"a", {u"b"_s, u"in-a.txt"_s}},
                                                             {u"a/b", {u"in-b.txt"_s}},
                                                             {u"a/b/", {u"in-b.txt"_s}},
                                                             {u"a//b", {u"in-b.txt"_s}},
                                                             {u"a/", {u"b"_s, u"in-a.txt"_s}},
                                                             {u"c", {u"in-c.txt"_s}},
                                                             {u"a/b/../../c", {u"in-c.txt"_s}},
                                                             {u"", {u"a"_s, u"c"_s}},
                                                             {u"a/missing", {u"<not listed>"_s}},
                                                             {u"a/in-a.txt", {u"<not listed>"_s}},
                                                             {u"a/b", {u"in-b.txt"_s}}};
    for (const auto& [path, names] : steps)
        EXPECT_EQ(namesOf(tree.path(QString::fromUtf16(path))), names)
            << QString::fromUtf16(path).toStdString();
}

TEST(SystemFolderLister, SaysWhyAFolderCannotBeRead)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions hide nothing from root";
    TempTree tree;
    tree.addFolder(u"locked"_s);
    ASSERT_EQ(::chmod(QFile::encodeName(tree.path(u"locked"_s)).constData(), 0), 0);
    SystemFolderLister lister;
    FolderListing listing;
    const auto outcome = lister.list(QFile::encodeName(tree.path(u"locked"_s)), {}, listing);
    ::chmod(QFile::encodeName(tree.path(u"locked"_s)).constData(), 0700);
    EXPECT_EQ(outcome.status, ListStatus::Unreadable);
    EXPECT_EQ(outcome.reason, u"Permission denied"_s);
}

// Every level of a test chain is a folder of this name; with its separator it adds 7 bytes
// to a path, or characters to a drive-form path.
constexpr char kLevel[] = "folder";
constexpr int kLevelSize = sizeof(kLevel);

// A chain of folders "folder/folder/..." longer than any path the system accepts at once.
// It is made and removed one level at a time relative to an open folder, never by its path.
class FolderChain
{
public:
    FolderChain(const QString& root, int depth) : m_root(QFile::encodeName(root))
    {
        int folder = ::open(m_root.constData(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < depth && folder >= 0; ++i) {
            const int made = ::mkdirat(folder, kLevel, 0755);
            const int next = made == 0 ? ::openat(folder, kLevel, O_RDONLY | O_DIRECTORY) : -1;
            ::close(folder);
            folder = next;
        }
        if (folder >= 0) {
            const int file = ::openat(folder, "bottom.txt", O_CREAT | O_WRONLY, 0644);
            m_complete = file >= 0;
            ::close(file);
            ::close(folder);
        }
    }
    // Moves the second folder up into the first one's place until one level is left, which
    // the temporary tree then removes by itself.
    ~FolderChain()
    {
        const std::string twoLevels = std::string(kLevel) + '/' + kLevel;
        const int root = ::open(m_root.constData(), O_RDONLY | O_DIRECTORY);
        while (::renameat(root, twoLevels.c_str(), root, "up") == 0) {
            ::unlinkat(root, kLevel, AT_REMOVEDIR);
            ::renameat(root, "up", root, kLevel);
        }
        ::close(root);
    }
    bool complete() const { return m_complete; }

private:
    QByteArray m_root;
    bool m_complete = false;
};

// Checks each row against the one before, without keeping them: every row lies inside the
// folder recorded just before it.
class ChainSink final : public WalkSink
{
public:
    qint64 rows = 0;
    qint64 faults = 0;
    WalkRow last;

    void add(const WalkRow& row) override
    {
        if (rows > 0) {
            const bool inside = row.level == last.level + 1 &&
                                row.path.size() == last.path.size() + last.name.size() + 1 &&
                                row.path.startsWith(last.path) &&
                                row.path.endsWith(last.name + u'\\');
            faults += inside ? 0 : 1;
        }
        last = row;
        ++rows;
    }
};

// Lists a chain of folders down to a given depth from memory: deeper than a test could
// afford to make on disk.
class MemoryChainLister final : public FolderLister
{
public:
    MemoryChainLister(const QByteArray& root, int depth) : m_root(root), m_depth(depth) {}

    ListOutcome list(const QByteArray& nativePath, const ListOptions&,
                     FolderListing& listing) override
    {
        listing.clear();
        const qsizetype level = (nativePath.size() - m_root.size()) / kLevelSize;
        if (level < m_depth)
            listing.add(kLevel, EntryKind::Folder);
        else
            listing.add("bottom.txt", EntryKind::File);
        return {};
    }

private:
    QByteArray m_root;
    int m_depth;
};

void expectUnbrokenChain(const ChainSink& sink, const WalkResult& result, int depth)
{
    EXPECT_EQ(result.outcome, WalkOutcome::Completed);
    EXPECT_EQ(result.unreadableFolderCount, 0);
    EXPECT_EQ(sink.rows, depth + 1);
    EXPECT_EQ(sink.faults, 0);
    EXPECT_EQ(sink.last.name, u"bottom.txt"_s);
    EXPECT_EQ(sink.last.level, depth + 2);
    EXPECT_EQ(sink.last.path.size(), 3 + kLevelSize * depth); // "C:\" and "folder\" per level
}

TEST(ScanFolderDepth, FoldersFarBeyondTheLongestPathAreWalked)
{
    constexpr int kDepth = 1000; // a path of 7000 bytes and more
    TempTree tree;
    FolderChain chain(tree.root(), kDepth);
    ASSERT_TRUE(chain.complete());

    ChainSink sink;
    const WalkResult result = ScanFolder({tree.root(), u"C:\\"_s, {}, nullptr}, sink);
    expectUnbrokenChain(sink, result, kDepth);

    // A fresh lister has no folder open on the way and must take the long path in pieces.
    QByteArray bottom = QFile::encodeName(tree.root());
    for (int i = 0; i < kDepth; ++i)
        bottom += QByteArray("/") + kLevel;
    SystemFolderLister lister;
    FolderListing listing;
    EXPECT_TRUE(lister.list(bottom, {}, listing).listed());
    EXPECT_EQ(kindsByName(listing).keys(), QStringList{u"bottom.txt"_s});
}

TEST(ScanFolderDepth, NoLimitOnDepthInTheWalkItself)
{
    constexpr int kDepth = 10000;
    MemoryChainLister lister("/chain", kDepth);
    ChainSink sink;
    const WalkResult result = ScanFolder({u"/chain"_s, u"C:\\"_s, {}, nullptr}, lister, sink);
    expectUnbrokenChain(sink, result, kDepth);
}

} // namespace
