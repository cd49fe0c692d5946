#include "browse/entry_locator.h"
#include "catalogue/catalogue_file.h"
#include "catalogue/disc_volumes.h"
#include "cataloguing/cataloguing_run.h"
#include "cataloguing/disc_image.h"
#include "platform/drives/typed_path.h"
#include "platform/system/system_test_support.h"
#include "support/disc_images.h"
#include "support/temp_tree.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace platterly;
using namespace Qt::StringLiterals;

namespace {

// A volume table with the root file system, an empty optical drive and the given volumes
// ("/dev/sdb1 /some/folder LABEL UUID" each), in mount point order.
drives::DriveMap machine(const QList<QStringList>& volumes)
{
    QByteArray table = "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n";
    drives::FixedVolumeSource source;
    source.addOpticalDevice(u"/dev/sr0"_s, u"11:0"_s);
    int id = 2;
    for (const QStringList& volume : volumes) {
        table += u"%1 1 8:%1 / %2 rw - vfat %3 rw\n"_s.arg(id++).arg(volume[1], volume[0]).toUtf8();
        source.setLabel(volume[0], volume[2]);
        source.setUuid(volume[0], volume[3]);
    }
    source.setMountInfo(table);
    return drives::DriveMap(source);
}

class EntryLocatorTest : public ::testing::Test
{
protected:
    EntryLocatorTest()
    {
        EXPECT_FALSE(catalogue::createEmptyCatalogue(m_dir.filePath(u"db.db2"_s)));
        m_data.setDatabaseName(m_dir.filePath(u"db.db2"_s));
    }

    // Catalogues a folder as the windows do, recording its volume; `typed` is the path as the
    // user gave it, a drive path or a native one.
    void catalogue(const QString& title, const drives::DriveMap& drives, const QString& typed)
    {
        const drives::TypedPath where = drives::resolveTypedPath(drives, typed, QDir::rootPath());
        ASSERT_TRUE(where.ok()) << where.error.toStdString();
        const cataloguing::CataloguingRequest request{
            title,
            where.nativePath,
            where.drivePath,
            {},
            drives::describeVolume(drives, where.nativePath, where.drivePath)};
        ASSERT_EQ(cataloguing::runCataloguing(m_data, request).outcome,
                  cataloguing::RunOutcome::Finished);
    }

    // Where the catalogued E:\Photos\beach.jpg of the disc "Stick" is found ("" nowhere).
    QString beach(const drives::DriveMap& drives, std::optional<QChar> letter)
    {
        browse::EntryLocator locator(drives, m_data.database(), letter);
        return locator.locate(u"Stick"_s, u"E:\\Photos\\"_s, u"beach.jpg"_s).value_or(QString());
    }

    QTemporaryDir m_dir;
    sql::DataControl m_data;
};

} // namespace

TEST_F(EntryLocatorTest, AVolumeIsFoundByItsLabelUnderAnotherMountPoint)
{
    test::TempTree first;
    test::TempTree mounts; // a/ and b/, mounted in that order
    first.addFile(u"Photos/beach.jpg"_s, "beach");
    mounts.addFolder(u"a/Photos"_s);
    mounts.addFile(u"b/Photos/beach.jpg"_s, "beach, moved");
    const QString stick = u"/dev/sdb1"_s;
    const QString label = u"STICK"_s;
    const QString uuid = u"1B2C-3D4E"_s;
    catalogue(u"Stick"_s, machine({{stick, first.root(), label, uuid}}), u"E:\\Photos"_s);
    const auto record = catalogue::readDiscVolume(*m_data.database(), u"stick"_s);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->driveRoot, u"E:\\Photos\\");

    // The first mount point is gone; another volume has E: now, and the stick is F:.
    QDir(first.root()).removeRecursively();
    const QString elsewhere = mounts.path(u"b/Photos/beach.jpg"_s);
    const QString other = u"/dev/sdc1"_s;
    const QString a = mounts.path(u"a"_s), b = mounts.path(u"b"_s);
    const drives::DriveMap moved =
        machine({{other, a, u"OTHER"_s, u"9999"_s}, {stick, b, label, uuid}});
    EXPECT_EQ(beach(moved, u'E'), elsewhere);
    EXPECT_EQ(drives::whereIsDiscNow(moved, *record), mounts.path(u"b/Photos"_s));

    // A volume of the same label with another UUID is another volume.
    const drives::DriveMap impostor =
        machine({{other, a, u"OTHER"_s, uuid}, {stick, b, label, u"FFFF"_s}});
    EXPECT_EQ(beach(impostor, u'E'), QString());

    // A catalogue without the record finds its discs by their stored letter, as before.
    m_data.close(); // lets go of the last statement's rows
    ASSERT_FALSE(m_data.database()->exec(u"DROP TABLE VOLUMES"_s));
    EXPECT_EQ(beach(moved, std::nullopt), QString());
    EXPECT_EQ(beach(machine({{stick, b, label, uuid}}), std::nullopt), elsewhere);
}

TEST_F(EntryLocatorTest, EntriesOfACataloguedImageAreFoundCopiedAndExtractedFromIt)
{
    test::TempTree stick;
    test::addDiscContents(stick, u"disc"_s);
    stick.addFolder(u"isos"_s);
    const QString iso = stick.path(u"isos/disc.iso"_s);
    if (const QString error = test::makeIso(stick.path(u"disc"_s), iso, u"DISC"_s);
        !error.isEmpty())
        GTEST_SKIP() << error.toStdString();
    const drives::DriveMap drives = machine({{u"/dev/sdb1"_s, stick.root(), u"STICK"_s, u"1"_s}});
    const cataloguing::DiscImage image = cataloguing::identifyImage(iso, u"E:\\isos\\disc.iso"_s);
    ASSERT_EQ(
        cataloguing::runCataloguing(m_data, cataloguing::imageRequest(u"Disc"_s, image)).outcome,
        cataloguing::RunOutcome::Finished);

    browse::EntryLocator locator(drives, m_data.database(), std::nullopt);
    const auto song = locator.find(u"disc"_s, u"E:\\isos\\disc.iso\\Music\\Old Songs\\"_s,
                                   u"01 First Song.mp3"_s);
    ASSERT_TRUE(song);
    EXPECT_EQ(song->text(), iso + u"//Music/Old Songs/01 First Song.mp3"_s);
    EXPECT_FALSE(song->isFolder());
    EXPECT_EQ(locator.find(u"Disc"_s, u"E:\\isos\\disc.iso\\Music\\"_s, u"gone.mp3"_s),
              std::nullopt);

    // Copied atomically into a folder, replacing a file of the name; extracted for opening.
    test::TempTree target;
    target.addFile(u"01 First Song.mp3"_s, "older");
    EXPECT_FALSE(browse::copyImageEntryInto(song->path, song->member, target.root(),
                                            u"01 First Song.mp3"_s));
    EXPECT_EQ(test::readBytes(target.path(u"01 First Song.mp3"_s)), "ID3");
    EXPECT_EQ(QDir(target.root()).count(), 3u); // ".", ".." and the copy alone
    EXPECT_EQ(browse::copyImageEntryInto(iso, "Music/none.mp3", target.root(), u"x"_s).code,
              browse::CopyFailure::FileNotFound);
    // An encrypted entry is not taken out: the message says why.
    const QString locked = stick.path(u"locked.zip"_s);
    ASSERT_EQ(test::makeZip(stick.path(u"disc"_s), locked, {u"-P"_s, u"secret"_s}), QString());
    const auto refused = browse::copyImageEntryInto(locked, "Music/a.mp3", target.root(), u"a"_s);
    EXPECT_EQ(refused.code, browse::CopyFailure::Other);
    EXPECT_TRUE(refused.description.startsWith(u"The file cannot be taken out of \""_s + locked))
        << refused.description.toStdString();
    QString error;
    const auto opened =
        browse::extractForOpening(iso, song->member, u"01 First Song.mp3"_s, &error);
    ASSERT_TRUE(opened) << error.toStdString();
    EXPECT_TRUE(opened->endsWith(u"/01 First Song.mp3"_s));
    EXPECT_EQ(QFileInfo(*opened).size(), 3);

    // The stick mounted elsewhere: the image is found on the drive box's letter.
    test::TempTree moved;
    ASSERT_TRUE(QDir().rename(stick.path(u"isos"_s), moved.path(u"isos"_s)));
    const drives::DriveMap now = machine({{u"/dev/sdb1"_s, moved.root(), u"STICK"_s, u"1"_s}});
    browse::EntryLocator later(now, m_data.database(), u'E');
    const auto found =
        later.find(u"Disc"_s, u"E:\\isos\\disc.iso\\"_s, u"a file with  two blanks.txt"_s);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, moved.path(u"isos/disc.iso"_s));
}
