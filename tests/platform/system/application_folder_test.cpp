#include "platform/system/application_folder.h"
#include "platform/system/system_test_support.h"
#include "support/temp_tree.h"

#include <QFileInfo>
#include <gtest/gtest.h>

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
        tree.addFolder(QStringLiteral("prefix/bin"));
        for (const QString& name : shippedFileNames())
            tree.addFile(QStringLiteral("prefix/share/platterly/") + name,
                         "shipped " + name.toUtf8());
    }

    ApplicationFolder resolve() const
    {
        return resolveApplicationFolder(programFolder, dataFolder, shippedFolder);
    }

    TempTree tree;
    QString programFolder = tree.path(QStringLiteral("prefix/bin"));
    QString shippedFolder = tree.path(QStringLiteral("prefix/share/platterly"));
    QString dataFolder = tree.path(QStringLiteral("home/.local/share/platterly"));
};

TEST_F(InstalledProgram, ShippedFilesAreFoundBesideTheProgramFolder)
{
    EXPECT_EQ(shippedFolderFor(programFolder), shippedFolder);
    // A build folder or a portable copy ships its files beside the program.
    tree.addFolder(QStringLiteral("portable"));
    EXPECT_EQ(shippedFolderFor(tree.path(QStringLiteral("portable/"))),
              tree.path(QStringLiteral("portable")));
}

TEST_F(InstalledProgram, FirstUseSeedsTheDataFolderWithWritableCopiesOfEveryShippedFile)
{
    ASSERT_TRUE(
        QFile::setPermissions(shippedFolder + QStringLiteral("/db.db2"), QFileDevice::ReadOwner));
    const ApplicationFolder result = resolve();
    EXPECT_EQ(result.folder, dataFolder);
    EXPECT_EQ(result.error, QString());
    for (const QString& name : shippedFileNames())
        EXPECT_EQ(readBytes(dataFolder + QLatin1Char('/') + name), "shipped " + name.toUtf8())
            << name.toStdString();
    EXPECT_TRUE(QFile::permissions(dataFolder + QStringLiteral("/db.db2")) &
                QFileDevice::WriteOwner);
}

TEST_F(InstalledProgram, SeedingKeepsTheUsersFilesAndAddsOnlyWhatIsMissing)
{
    tree.addFile(QStringLiteral("home/.local/share/platterly/settings.ini"), "[Settings]\n");
    tree.addFile(QStringLiteral("home/.local/share/platterly/db.db2"), "my discs");
    ASSERT_TRUE(QFile::remove(shippedFolder + QStringLiteral("/help.pdf")));

    const ApplicationFolder result = resolve();
    EXPECT_EQ(result.folder, dataFolder);
    // A shipped file that is not there is no seeding error.
    EXPECT_EQ(result.error, QString());
    EXPECT_EQ(readBytes(dataFolder + QStringLiteral("/settings.ini")), "[Settings]\n");
    EXPECT_EQ(readBytes(dataFolder + QStringLiteral("/db.db2")), "my discs");
    EXPECT_EQ(readBytes(dataFolder + QStringLiteral("/qn.qns")), "shipped qn.qns");
    EXPECT_FALSE(QFileInfo::exists(dataFolder + QStringLiteral("/help.pdf")));
}

TEST_F(InstalledProgram, ACopyCutShortIsReportedAndLeavesNoHalfFile)
{
    tree.addFile(QStringLiteral("prefix/share/platterly/db.db2"), QByteArray(4096, 'c'));
    ApplicationFolder result;
    {
        test::FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.isActive());
        result = resolve();
    }
    EXPECT_TRUE(result.error.contains(QStringLiteral("db.db2"))) << result.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dataFolder + QStringLiteral("/db.db2")));
    // The small files fit under the limit and are there.
    EXPECT_EQ(readBytes(dataFolder + QStringLiteral("/qn.qns")), "shipped qn.qns");
    // The next start copies what is still missing.
    result = resolve();
    EXPECT_EQ(result.error, QString());
    EXPECT_EQ(readBytes(dataFolder + QStringLiteral("/db.db2")), QByteArray(4096, 'c'));
}

TEST_F(InstalledProgram, ADataFolderThatCannotBeMadeIsReported)
{
    tree.addFile(QStringLiteral("home/.local/share"), "a file where a folder should be");
    const ApplicationFolder result = resolve();
    EXPECT_EQ(result.folder, dataFolder);
    EXPECT_TRUE(result.error.contains(dataFolder)) << result.error.toStdString();
}

TEST_F(InstalledProgram, AWritableProgramFolderIsUsedOnlyWhenItHoldsTheProgramsFiles)
{
    // Writable, as for a user who may write there, but holding neither file.
    EXPECT_EQ(resolve().folder, dataFolder);

    // Its own catalogue makes it a portable copy, used as it is.
    tree.addFile(QStringLiteral("prefix/bin/db.db2"), "catalogue");
    const ApplicationFolder withCatalogue = resolve();
    EXPECT_EQ(withCatalogue.folder, programFolder);
    EXPECT_EQ(withCatalogue.error, QString());
    EXPECT_EQ(readBytes(programFolder + QStringLiteral("/db.db2")), "catalogue");

    // So do its own settings; the missing catalogue is named.
    ASSERT_TRUE(QFile::remove(programFolder + QStringLiteral("/db.db2")));
    tree.addFile(QStringLiteral("prefix/bin/settings.ini"), "[Settings]\n");
    const ApplicationFolder portable = resolve();
    EXPECT_EQ(portable.folder, programFolder);
    EXPECT_TRUE(portable.error.contains(programFolder + QStringLiteral("/db.db2")))
        << portable.error.toStdString();
}

TEST_F(InstalledProgram, AReadOnlyProgramFolderIsNotUsedEvenWithACatalogue)
{
    tree.addFile(QStringLiteral("prefix/bin/db.db2"), "catalogue");
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

TEST(RunningProgram, OverrideReplacesTheFolderUntilCleared)
{
    TempTree tree;
    test::EnvironmentGuard dataHome("XDG_DATA_HOME", tree.path(QStringLiteral("data")));
    setApplicationFolderOverride(tree.path(QStringLiteral("catalogues/")));
    EXPECT_EQ(applicationFolder(), tree.path(QStringLiteral("catalogues")));
    EXPECT_EQ(appFile(QStringLiteral("settings.ini")),
              tree.path(QStringLiteral("catalogues/settings.ini")));
    EXPECT_EQ(applicationFolderError(), QString());
    // The override is taken as it is: nothing is seeded there.
    EXPECT_FALSE(QFileInfo::exists(tree.path(QStringLiteral("catalogues"))));

    setApplicationFolderOverride(QString());
    EXPECT_NE(applicationFolder(), tree.path(QStringLiteral("catalogues")));
}

} // namespace
} // namespace platterly::system
