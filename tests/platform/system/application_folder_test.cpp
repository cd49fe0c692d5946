#include "platform/system/application_folder.h"
#include "platform/system/system_test_support.h"
#include "support/temp_tree.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::system {
namespace {

using test::readBytes;
using test::TempTree;

// An installed program: prefix/bin holds the program, prefix/share/platterly the shipped files.
class InstalledProgram : public ::testing::Test
{
protected:
    InstalledProgram()
    {
        tree.addFolder(u"prefix/bin"_s);
        for (const QString& name : shippedFileNames())
            tree.addFile(u"prefix/share/platterly/"_s + name, "shipped " + name.toUtf8());
    }

    ApplicationFolder resolve() const
    {
        return resolveApplicationFolder(programFolder, dataFolder, shippedFolder);
    }

    TempTree tree;
    QString programFolder = tree.path(u"prefix/bin"_s);
    QString shippedFolder = tree.path(u"prefix/share/platterly"_s);
    QString dataFolder = tree.path(u"home/.local/share/platterly"_s);
};

TEST_F(InstalledProgram, ShippedFilesAreFoundBesideTheProgramFolder)
{
    EXPECT_EQ(shippedFolderFor(programFolder), shippedFolder);
    // A build folder or a portable copy ships its files beside the program.
    tree.addFolder(u"portable"_s);
    EXPECT_EQ(shippedFolderFor(tree.path(u"portable/"_s)), tree.path(u"portable"_s));
}

TEST_F(InstalledProgram, FirstUseSeedsTheDataFolderWithWritableCopiesOfEveryShippedFile)
{
    ASSERT_TRUE(QFile::setPermissions(shippedFolder + u"/db.db2"_s, QFileDevice::ReadOwner));
    const ApplicationFolder result = resolve();
    EXPECT_EQ(result.folder, dataFolder);
    EXPECT_EQ(result.error, QString());
    for (const QString& name : shippedFileNames())
        EXPECT_EQ(readBytes(dataFolder + u'/' + name), "shipped " + name.toUtf8())
            << name.toStdString();
    EXPECT_TRUE(QFile::permissions(dataFolder + u"/db.db2"_s) & QFileDevice::WriteOwner);
}

TEST_F(InstalledProgram, SeedingKeepsTheUsersFilesAndAddsOnlyWhatIsMissing)
{
    tree.addFile(u"home/.local/share/platterly/settings.ini"_s, "[Settings]\n");
    tree.addFile(u"home/.local/share/platterly/db.db2"_s, "my discs");
    ASSERT_TRUE(QFile::remove(shippedFolder + u"/help.pdf"_s));

    // A shipped file that is not there is no seeding error.
    EXPECT_EQ(resolve().error, QString());
    EXPECT_EQ(readBytes(dataFolder + u"/settings.ini"_s), "[Settings]\n");
    EXPECT_EQ(readBytes(dataFolder + u"/db.db2"_s), "my discs");
    EXPECT_EQ(readBytes(dataFolder + u"/qn.qns"_s), "shipped qn.qns");
    EXPECT_FALSE(QFileInfo::exists(dataFolder + u"/help.pdf"_s));
}

TEST_F(InstalledProgram, ACopyCutShortIsReportedAndLeavesNoHalfFile)
{
    tree.addFile(u"prefix/share/platterly/db.db2"_s, QByteArray(4096, 'c'));
    ApplicationFolder result;
    {
        test::FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.isActive());
        result = resolve();
    }
    EXPECT_TRUE(result.error.contains(u"db.db2"_s)) << result.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dataFolder + u"/db.db2"_s));
    // The small files fit under the limit and are there.
    EXPECT_EQ(readBytes(dataFolder + u"/qn.qns"_s), "shipped qn.qns");
    // The next start copies what is still missing.
    result = resolve();
    EXPECT_EQ(result.error, QString());
    EXPECT_EQ(readBytes(dataFolder + u"/db.db2"_s), QByteArray(4096, 'c'));
}

TEST_F(InstalledProgram, ADataFolderThatCannotBeMadeIsReported)
{
    tree.addFile(u"home/.local/share"_s, "a file where a folder should be");
    const ApplicationFolder result = resolve();
    EXPECT_EQ(result.folder, dataFolder);
    EXPECT_TRUE(result.error.contains(dataFolder)) << result.error.toStdString();
}

TEST_F(InstalledProgram, AWritableProgramFolderIsUsedOnlyWhenItHoldsTheProgramsFiles)
{
    // Writable, as for a user who may write there, but holding neither file.
    EXPECT_EQ(resolve().folder, dataFolder);

    // Its own catalogue makes it a portable copy, used as it is.
    tree.addFile(u"prefix/bin/db.db2"_s, "catalogue");
    EXPECT_EQ(resolve().folder, programFolder);
    EXPECT_EQ(readBytes(programFolder + u"/db.db2"_s), "catalogue");

    // So do its own settings; the missing catalogue is named.
    ASSERT_TRUE(QFile::remove(programFolder + u"/db.db2"_s));
    tree.addFile(u"prefix/bin/settings.ini"_s, "[Settings]\n");
    const ApplicationFolder portable = resolve();
    EXPECT_EQ(portable.folder, programFolder);
    EXPECT_TRUE(portable.error.contains(programFolder + u"/db.db2"_s))
        << portable.error.toStdString();
}

TEST_F(InstalledProgram, AReadOnlyProgramFolderIsNotUsedEvenWithACatalogue)
{
    tree.addFile(u"prefix/bin/db.db2"_s, "catalogue");
    ASSERT_TRUE(
        QFile::setPermissions(programFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const bool lockHolds = !test::canCreateFileIn(programFolder);
    const ApplicationFolder result = resolve();
    QFile::setPermissions(programFolder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!lockHolds)
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    EXPECT_EQ(result.folder, dataFolder);
}

} // namespace
} // namespace platterly::system
