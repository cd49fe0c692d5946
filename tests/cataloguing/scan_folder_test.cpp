#include "cataloguing/fake_lister.h"
#include "cataloguing/scan_folder.h"
#include "platform/sql/casefold.h"
#include "support/temp_tree.h"

#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>
#include <random>
#include <thread>

using namespace Qt::StringLiterals;
using namespace platterly::cataloguing;
using namespace platterly::test;

namespace {

const QString kDriveRoot = u"C:\\Photos\\"_s;

std::vector<std::string> lines(const std::vector<WalkRow>& rows)
{
    std::vector<std::string> out;
    for (const WalkRow& row : rows)
        out.push_back(
            u"%1|%2|%3|%4"_s.arg(row.name, row.path).arg(row.level).arg(row.type).toStdString());
    return out;
}

// The relative path of each row, rebuilt from the levels alone (names may hold a "\").
QStringList relativePaths(const std::vector<WalkRow>& rows)
{
    QStringList out;
    QStringList folders{QString()};
    for (const WalkRow& row : rows) {
        if (row.level < 2 || row.level - 1 > folders.size())
            return {u"<row %1 at an impossible level>"_s.arg(row.name)};
        folders.resize(row.level - 1);
        const QString relative =
            folders.back().isEmpty() ? row.name : folders.back() + u'/' + row.name;
        out.append(relative);
        folders.append(relative);
    }
    return out;
}

std::vector<std::string> sortedStd(QStringList paths)
{
    paths.sort();
    std::vector<std::string> out;
    for (const QString& path : paths)
        out.push_back(path.toStdString());
    return out;
}

struct Walk
{
    ScriptedLister lister;
    RecordingSink sink;
    WalkRequest request;
    WalkResult result;

    explicit Walk(const QString& nativeRoot) { request = {nativeRoot, kDriveRoot, {}, nullptr}; }
    Walk& run()
    {
        result = ScanFolder(request, lister, sink);
        return *this;
    }
};

// A root with a final separator, or a link to a folder, is walked as the folder itself.
TEST(ScanFolderOrder, RootWithAFinalSeparatorOrGivenAsALinkGivesTheFoldersRows)
{
    TempTree tree;
    tree.addFile(u"sub/file.txt"_s);
    tree.addSymlink(u"link"_s, u"sub"_s);
    Walk plain(tree.root());
    Walk slashed(tree.root() + u'/');
    slashed.request.driveRoot = u"C:\\Photos"_s;
    EXPECT_EQ(lines(slashed.run().sink.rows), lines(plain.run().sink.rows));
    ASSERT_EQ(plain.sink.rows.size(), 3u);
    EXPECT_EQ(plain.sink.rows[2].path, u"C:\\Photos\\sub\\"_s);
    EXPECT_EQ(relativePaths(Walk(tree.path(u"link"_s)).run().sink.rows),
              QStringList{u"file.txt"_s});
}

TEST(ScanFolderFailures, UnreadableFoldersAndOthersDevicesAreRecordedButNotEntered)
{
    TempTree tree;
    for (const QString& file : {u"a/one.txt"_s, u"b/locked.txt"_s, u"b/inner/deeper.txt"_s,
                                u"c/two.txt"_s, u"c/sealed/x.txt"_s, u"mnt/usb/file.txt"_s})
        tree.addFile(file);
    Walk walk(tree.root());
    walk.lister.fail(tree.path(u"b"_s), ListStatus::Unreadable);
    walk.lister.fail(tree.path(u"c/sealed"_s), ListStatus::NotFound, u"No such file"_s);
    walk.lister.fail(tree.path(u"mnt/usb"_s), ListStatus::OtherDevice, {});
    walk.run();

    EXPECT_EQ(relativePaths(walk.sink.rows),
              (QStringList{u"a"_s, u"a/one.txt"_s, u"b"_s, u"c"_s, u"c/sealed"_s, u"c/two.txt"_s,
                           u"mnt"_s, u"mnt/usb"_s}));
    EXPECT_EQ(walk.result.outcome, WalkOutcome::Completed);
    EXPECT_EQ(walk.result.otherDeviceFolders, 1);
    EXPECT_EQ(walk.result.unreadableFolderCount, 2);
    ASSERT_EQ(walk.result.unreadableFolders.size(), 2);
    EXPECT_EQ(walk.result.unreadableFolders[0].path, kDriveRoot + u"b\\"_s);
    EXPECT_EQ(walk.result.unreadableFolders[0].reason, u"Permission denied"_s);
    EXPECT_EQ(walk.result.unreadableFolders[1].path, kDriveRoot + u"c\\sealed\\"_s);

    // All are counted, only the first hundred named.
    Walk many(tree.path(u"many"_s));
    for (int i = 0; i < 105; ++i) {
        const QString name = u"many/f%1"_s.arg(i, 3, 10, QLatin1Char('0'));
        tree.addFolder(name);
        many.lister.fail(tree.path(name), ListStatus::Unreadable);
    }
    many.run();
    EXPECT_EQ(many.result.unreadableFolderCount, 105);
    ASSERT_EQ(many.result.unreadableFolders.size(), 100);
    EXPECT_EQ(many.result.unreadableFolders.front().path, kDriveRoot + u"f000\\"_s);
    EXPECT_EQ(many.result.unreadableFolders.back().path, kDriveRoot + u"f099\\"_s);
}

TEST(ScanFolderFailures, RootThatCannotBeListedFailsBeforeAnyRow)
{
    TempTree tree;
    tree.addFile(u"file.txt"_s);
    tree.addFile(u"locked/inside.txt"_s);
    const QString missing = tree.path(u"missing"_s);
    const QString file = tree.path(u"file.txt"_s);
    const QString locked = tree.path(u"locked"_s);

    Walk missingRoot(missing), fileRoot(file), lockedRoot(locked), emptyRoot{QString()};
    lockedRoot.lister.fail(locked, ListStatus::Unreadable);

    EXPECT_EQ(missingRoot.run().result.error, u"The folder %1 does not exist"_s.arg(missing));
    EXPECT_EQ(fileRoot.run().result.error, u"%1 is not a folder"_s.arg(file));
    EXPECT_EQ(lockedRoot.run().result.error,
              u"The folder %1 cannot be read: Permission denied"_s.arg(locked));
    EXPECT_FALSE(emptyRoot.run().result.error.isEmpty());
    for (const Walk* walk : {&missingRoot, &fileRoot, &lockedRoot, &emptyRoot}) {
        EXPECT_EQ(walk->result.outcome, WalkOutcome::Failed);
        EXPECT_TRUE(walk->sink.rows.empty());
        EXPECT_EQ(walk->result.entries, 0);
    }
}

TEST(ScanFolderControl, CancelStopsBeforeTheNextRow)
{
    TempTree tree;
    for (int i = 0; i < 20; ++i)
        tree.addFile(u"folder%1/file.txt"_s.arg(i));
    std::atomic<bool> cancel{false};
    Walk walk(tree.root());
    walk.request.cancel = &cancel;
    walk.sink.cancel = &cancel;
    walk.sink.cancelAfter = 7;
    walk.run();
    EXPECT_EQ(walk.result.outcome, WalkOutcome::Cancelled);
    EXPECT_EQ(walk.sink.rows.size(), 7u);
}

TEST(ScanFolderControl, ProgressTellsTheCountAndTheFolderOnceTimeHasPassed)
{
    TempTree tree;
    for (int i = 0; i < 300; ++i)
        tree.addFile(u"slow/file%1.txt"_s.arg(i));
    Walk walk(tree.root());
    // A slow folder makes sure the progress interval has passed before the 256th row.
    walk.lister.beforeListing = [&](const QByteArray& path) {
        if (path.endsWith("/slow"))
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
    };
    std::vector<std::pair<qint64, QString>> calls;
    walk.request.progress = [&](qint64 entries, const QString& folder) {
        calls.emplace_back(entries, folder);
    };
    walk.run();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].first, 256);
    EXPECT_EQ(calls[0].second, kDriveRoot + u"slow\\"_s);
}

// Fills a tree with a few hundred entries drawn at random (but the same every run) from names
// that tend to trouble walks, with links and hidden entries among them.
void buildAwkwardTree(TempTree& tree)
{
    const QStringList names =
        u"Ärzte|éte|Éclair.png|it's.doc|two  blanks|UPPER|upper|Zeta.mp3|"
        u"a.b.c|ß|\U0001F3B5 song.mp3|odd\r|back\\slash|trailing dot.|Disk.1"_s.split(u'|');
    std::mt19937 random(20240611);
    QStringList folders{QString()};
    for (int i = 0; i < 600; ++i) {
        const QString parent =
            folders[static_cast<qsizetype>(random() % static_cast<unsigned>(folders.size()))];
        if (parent.count(u'/') >= 6)
            continue;
        QString name =
            names[static_cast<qsizetype>(random() % static_cast<unsigned>(names.size()))];
        if (random() % 2)
            name += QString::number(i);
        const QString relative = parent.isEmpty() ? name : parent + u'/' + name;
        if (QFileInfo::exists(tree.path(relative)) || QFileInfo(tree.path(relative)).isSymLink())
            continue;
        switch (random() % 10) {
        case 0:
            tree.addSymlink(relative, i % 2 ? u".."_s : u"nowhere"_s);
            break;
        case 1:
            tree.addFile(relative + u"/.hidden/inside.txt"_s);
            folders.append(relative);
            break;
        case 2:
        case 3:
        case 4:
            tree.addFolder(relative);
            folders.append(relative);
            break;
        default:
            tree.addFile(relative);
        }
    }
}

// What `find` lists below the root, hidden names left out: the reference for the walk.
QStringList findBelow(const QString& root)
{
    QProcess find;
    find.start(u"find"_s,
               {root, u"-mindepth"_s, u"1"_s, u"-not"_s, u"-path"_s, u"*/.*"_s, u"-print0"_s});
    if (!find.waitForFinished(60000) || find.exitCode() != 0)
        return {u"<find failed>"_s};
    QStringList out;
    for (const QByteArray& path : find.readAllStandardOutput().split('\0'))
        if (!path.isEmpty())
            out.append(QFile::decodeName(path).mid(root.size() + 1));
    return out;
}

// Checks that the rows are a depth-first listing: each row lies in the folder row last seen
// one level up (its PATH is that row's PATH, FNAME and "\"), and the names of one folder come
// in case-blind order. Returns the first fault found, or nothing.
std::string firstOrderFault(const std::vector<WalkRow>& rows)
{
    struct Open
    {
        QString path;
        QString lastName;
    };
    std::vector<Open> open{{kDriveRoot, {}}};
    for (const WalkRow& row : rows) {
        const QString where = row.path + row.name;
        if (row.level < 2 || static_cast<std::size_t>(row.level - 1) > open.size())
            return "level out of reach at " + where.toStdString();
        open.resize(static_cast<std::size_t>(row.level - 1));
        Open& parent = open.back();
        if (row.path != parent.path)
            return "PATH is not its folder's PATH+FNAME at " + where.toStdString();
        if (!parent.lastName.isNull()) {
            const int folded = platterly::sql::compareFolded(parent.lastName, row.name);
            if (folded > 0 || (folded == 0 && parent.lastName.toUtf8() >= row.name.toUtf8()))
                return "out of order at " + where.toStdString();
        }
        parent.lastName = row.name;
        open.push_back({row.path + row.name + u'\\', {}});
    }
    return {};
}

TEST(ScanFolderTree, RowsAreWhatFindListsInDepthFirstCaseBlindOrder)
{
    TempTree tree;
    buildAwkwardTree(tree);
    Walk walk(tree.root());
    walk.run();

    ASSERT_GT(walk.sink.rows.size(), 100u);
    const QStringList walked = relativePaths(walk.sink.rows);
    EXPECT_EQ(walked.size(), QSet<QString>(walked.begin(), walked.end()).size()); // no repeats
    EXPECT_EQ(sortedStd(walked), sortedStd(findBelow(tree.root())));
    EXPECT_EQ(firstOrderFault(walk.sink.rows), "");
    for (const QByteArray& listed : walk.lister.listed)
        EXPECT_FALSE(listed.contains("/.")) << listed.toStdString();
}

} // namespace
