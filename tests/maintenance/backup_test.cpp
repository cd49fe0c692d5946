#include "maintenance/backup_catalogue.h"
#include "maintenance_fixture.h"
#include "platform/system/system_test_support.h"
#include "support/damaged_catalogue.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using namespace platterly;
using maintenance::BackupOutcome;
using maintenance::test::MaintenanceTest;

namespace {

class BackupTest : public MaintenanceTest
{
protected:
    void SetUp() override
    {
        MaintenanceTest::SetUp();
        ASSERT_TRUE(addDisc(u"Photos"_s, 3, 20));
        ASSERT_TRUE(addDisc(u"Music"_s, 1, 2));
    }

    QString appFolder() const { return m_appFolder.root(); }
    QStringList appFolderEntries() const
    {
        return QDir(appFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    platterly::test::TempTree m_appFolder;
};

} // namespace

TEST(BackupTexts, NamesPathsAndReportAreWordedAsTheProgramWordsThem)
{
    EXPECT_EQ(maintenance::defaultBackupName(QDate(2027, 1, 19)), u"19-1-2027"_s);
    EXPECT_EQ(maintenance::backupFilePath(u"/opt/app"_s, u"mydb.db2"_s),
              u"/opt/app/mydb.db2.DB2"_s);
    EXPECT_EQ(maintenance::backupReport(u"/opt/app"_s, u"5-12-2026"_s),
              QStringLiteral("Back-up File Stored in the application folder\r\n\r\n(/opt/app/) "
                             "as\r\n\r\n\t5-12-2026.DB2"));
}

TEST_F(BackupTest, StoresAWholeCopyThatReadsBackTheSameInPlaceOfAnOlderBackup)
{
    m_appFolder.addFile(u"5-12-2026.DB2"_s, "an older backup");
    const QString name = maintenance::defaultBackupName(QDate(2026, 12, 5));
    const maintenance::BackupResult result =
        maintenance::backupCatalogue(file(), appFolder(), name);
    ASSERT_EQ(result.outcome, BackupOutcome::Stored) << result.message.toStdString();
    EXPECT_EQ(result.path, appFolder() + u"/5-12-2026.DB2"_s);
    EXPECT_EQ(result.message, maintenance::backupReport(appFolder(), name));
    EXPECT_TRUE(result.warning.isEmpty()) << result.warning.toStdString();
    EXPECT_EQ(appFolderEntries(), QStringList{u"5-12-2026.DB2"_s});
    EXPECT_EQ(snapshotOf(result.path), snapshot());

    // The stock SQLite shell finds the copy sound.
    const QString shell = QStandardPaths::findExecutable(u"sqlite3"_s);
    if (shell.isEmpty())
        GTEST_SKIP() << "the sqlite3 shell is not installed";
    QProcess process;
    process.start(shell, {result.path, u"PRAGMA integrity_check; SELECT count(*) FROM CDS; "
                                       u"SELECT * FROM TOTALS;"_s});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()), u"ok\n28\n2|4|22\n"_s);
}

TEST_F(BackupTest, RefusesANameWhoseFileIsTheOpenCatalogue)
{
    // The open catalogue lies in the application folder under a backup's name, and is
    // reached through a symbolic and a hard link too.
    const QString open = appFolder() + u"/DB.DB2"_s;
    ASSERT_TRUE(QFile::copy(file(), open));
    ASSERT_TRUE(QFile::link(open, appFolder() + u"/link.DB2"_s));
    ASSERT_EQ(::link(QFile::encodeName(open).constData(),
                     QFile::encodeName(appFolder() + u"/hard.DB2"_s).constData()),
              0);
    const QByteArray before = test::readBytes(open);
    const QStringList entries = appFolderEntries();

    for (const QString& name : {u"DB"_s, u"link"_s, u"hard"_s}) {
        SCOPED_TRACE(name.toStdString());
        const maintenance::BackupResult result =
            maintenance::backupCatalogue(open, appFolder(), name);
        EXPECT_EQ(result.outcome, BackupOutcome::InUse);
        EXPECT_EQ(result.message,
                  u"Database in use (unable toOver write) please chose another name"_s);
    }
    // The same path written another way is still the same file.
    const maintenance::BackupResult roundabout =
        maintenance::backupCatalogue(appFolder() + u"/./sub/../DB.DB2"_s, appFolder(), u"DB"_s);
    EXPECT_EQ(roundabout.outcome, BackupOutcome::InUse);
    EXPECT_EQ(test::readBytes(open), before);
    EXPECT_EQ(appFolderEntries(), entries);
}

TEST_F(BackupTest, ANameWithAFolderSeparatorIsRefused)
{
    QDir(appFolder()).mkdir(u"sub"_s);
    for (const QString& name : {u"sub/x"_s, u"..\\x"_s, u"../x"_s}) {
        SCOPED_TRACE(name.toStdString());
        const maintenance::BackupResult result =
            maintenance::backupCatalogue(file(), appFolder(), name);
        EXPECT_EQ(result.outcome, BackupOutcome::InvalidName);
        EXPECT_FALSE(result.message.isEmpty());
    }
    EXPECT_EQ(appFolderEntries(), QStringList{u"sub"_s});
    EXPECT_TRUE(QDir(appFolder() + u"/sub"_s).isEmpty());
}

TEST_F(BackupTest, AFailedBackupLeavesNoFileBehind)
{
    // A folder where the backup should go: the copy is made, but cannot be put in place.
    ASSERT_TRUE(QDir(appFolder()).mkpath(u"taken.DB2/inside"_s));
    const maintenance::BackupResult blocked =
        maintenance::backupCatalogue(file(), appFolder(), u"taken"_s);
    EXPECT_EQ(blocked.outcome, BackupOutcome::Failed);
    EXPECT_TRUE(blocked.message.contains(u"taken.DB2"_s)) << blocked.message.toStdString();

    // A catalogue that is not a database at all.
    platterly::test::TempTree other;
    other.addFile(u"garbage.db2"_s, QByteArray(8192, 'x'));
    const QString garbage = other.path(u"garbage.db2"_s);
    EXPECT_EQ(maintenance::backupCatalogue(garbage, appFolder(), u"garbage"_s).outcome,
              BackupOutcome::Failed);
    EXPECT_EQ(appFolderEntries(), QStringList{u"taken.DB2"_s});
    EXPECT_TRUE(QFileInfo(appFolder() + u"/taken.DB2/inside"_s).isDir());
}

TEST_F(BackupTest, ADamagedCatalogueIsCopiedWithAWarning)
{
    test::orphanFreePages(file());
    const maintenance::BackupResult result =
        maintenance::backupCatalogue(file(), appFolder(), u"rescue"_s);
    ASSERT_TRUE(result.ok()) << result.message.toStdString();
    EXPECT_EQ(result.message, maintenance::backupReport(appFolder(), u"rescue"_s));
    EXPECT_TRUE(result.warning.contains(u"fails SQLite's integrity check (Page "_s))
        << result.warning.toStdString();
    EXPECT_TRUE(result.warning.contains(u"rescue.DB2"_s));
    sql::SqlError error;
    const auto copy = sql::Database::open(result.path, &error);
    ASSERT_TRUE(copy) << error.message.toStdString();
    EXPECT_FALSE(copy->integrityProblem().isEmpty());
}

TEST_F(BackupTest, LeftoversOfBackupsCutShortAreRemovedWhenStale)
{
    // Copies as the backup names its own: one left by a backup killed long ago, with its
    // journal; a fresh one; an old one some process still writes (SQLite holds a lock on it
    // while it does). And files named otherwise.
    QStringList kept = {u".backup-Fresh1.part"_s, u".backup-Held01.part"_s,
                        u".backup-other.parts"_s, u"backup-Mine01.part"_s};
    for (const QString& name :
         kept + QStringList{u".backup-Stale1.part"_s, u".backup-Stale1.part-journal"_s}) {
        QFile made(m_appFolder.path(name));
        ASSERT_TRUE(made.open(QIODevice::WriteOnly) && made.write("pages") == 5 && made.flush());
        if (name != kept[0]) {
            ASSERT_TRUE(made.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                         QFileDevice::FileModificationTime));
        }
    }
    const int fd = ::open(QFile::encodeName(m_appFolder.path(kept[1])).constData(), O_RDWR);
    ASSERT_GE(fd, 0);
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(fd, F_SETLK, &lock), 0);

    ASSERT_TRUE(maintenance::backupCatalogue(file(), appFolder(), u"next"_s).ok());
    ::close(fd);
    kept.append(u"next.DB2"_s);
    kept.sort();
    EXPECT_EQ(appFolderEntries(), kept);
}
