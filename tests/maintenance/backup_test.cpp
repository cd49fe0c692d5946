#include "maintenance/backup_catalogue.h"
#include "maintenance_fixture.h"
#include "support/damaged_catalogue.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <fcntl.h>
#include <unistd.h>

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
        ASSERT_TRUE(m_appFolder.isValid());
        ASSERT_TRUE(addDisc(QStringLiteral("Photos"), 3, 20));
        ASSERT_TRUE(addDisc(QStringLiteral("Music"), 1, 2));
    }

    QString appFolder() const { return m_appFolder.path(); }
    QStringList appFolderEntries() const
    {
        return QDir(appFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_appFolder;
};

} // namespace

TEST(BackupTexts, NamesPathsAndReportAreWordedAsTheProgramWordsThem)
{
    EXPECT_EQ(maintenance::defaultBackupName(QDate(2026, 12, 5)), QStringLiteral("5-12-2026"));
    EXPECT_EQ(maintenance::defaultBackupName(QDate(2027, 1, 19)), QStringLiteral("19-1-2027"));
    EXPECT_EQ(maintenance::backupFilePath(QStringLiteral("/opt/app"), QStringLiteral("mydb.db2")),
              QStringLiteral("/opt/app/mydb.db2.DB2"));
    EXPECT_EQ(maintenance::backupReport(QStringLiteral("/opt/app"), QStringLiteral("5-12-2026")),
              QStringLiteral("Back-up File Stored in the application folder\r\n\r\n(/opt/app/) "
                             "as\r\n\r\n\t5-12-2026.DB2"));
}

TEST_F(BackupTest, StoresAWholeCopyThatReadsBackTheSameInPlaceOfAnOlderBackup)
{
    QFile older(appFolder() + QStringLiteral("/5-12-2026.DB2"));
    ASSERT_TRUE(older.open(QIODevice::WriteOnly));
    older.write("an older backup");
    older.close();
    const QString name = maintenance::defaultBackupName(QDate(2026, 12, 5));
    const maintenance::BackupResult result =
        maintenance::backupCatalogue(file(), appFolder(), name);
    ASSERT_EQ(result.outcome, BackupOutcome::Stored) << result.message.toStdString();
    EXPECT_EQ(result.path, appFolder() + QStringLiteral("/5-12-2026.DB2"));
    EXPECT_EQ(result.message, maintenance::backupReport(appFolder(), name));
    EXPECT_TRUE(result.warning.isEmpty()) << result.warning.toStdString();
    EXPECT_EQ(appFolderEntries(), QStringList{QStringLiteral("5-12-2026.DB2")});
    EXPECT_EQ(snapshotOf(result.path), snapshot());
}

TEST_F(BackupTest, TheStockSqliteShellFindsTheBackupSound)
{
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty())
        GTEST_SKIP() << "the sqlite3 shell is not installed";
    const maintenance::BackupResult result =
        maintenance::backupCatalogue(file(), appFolder(), QStringLiteral("checked"));
    ASSERT_TRUE(result.ok()) << result.message.toStdString();

    QProcess process;
    process.start(shell, {result.path, QStringLiteral("PRAGMA integrity_check; SELECT count(*) "
                                                      "FROM CDS; SELECT * FROM TOTALS;")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()),
              QStringLiteral("ok\n28\n2|4|22\n"));
}

TEST_F(BackupTest, RefusesANameWhoseFileIsTheOpenCatalogue)
{
    // The open catalogue lies in the application folder under a backup's name, and is
    // reached through a symbolic and a hard link too.
    const QString open = appFolder() + QStringLiteral("/DB.DB2");
    ASSERT_TRUE(QFile::copy(file(), open));
    ASSERT_TRUE(QFile::link(open, appFolder() + QStringLiteral("/link.DB2")));
    ASSERT_EQ(::link(QFile::encodeName(open).constData(),
                     QFile::encodeName(appFolder() + QStringLiteral("/hard.DB2")).constData()),
              0);
    const QByteArray before = contents(open);
    const QStringList entries = appFolderEntries();

    for (const QString& name :
         {QStringLiteral("DB"), QStringLiteral("link"), QStringLiteral("hard")}) {
        SCOPED_TRACE(name.toStdString());
        const maintenance::BackupResult result =
            maintenance::backupCatalogue(open, appFolder(), name);
        EXPECT_EQ(result.outcome, BackupOutcome::InUse);
        EXPECT_EQ(
            result.message,
            QStringLiteral("Database in use (unable toOver write) please chose another name"));
    }
    // The same path written another way is still the same file.
    const maintenance::BackupResult roundabout = maintenance::backupCatalogue(
        appFolder() + QStringLiteral("/./sub/../DB.DB2"), appFolder(), QStringLiteral("DB"));
    EXPECT_EQ(roundabout.outcome, BackupOutcome::InUse);
    EXPECT_EQ(contents(open), before);
    EXPECT_EQ(appFolderEntries(), entries);

    // Whether "db" names the same file as "DB" is the file system's to say.
    const bool caseBlind = QFileInfo::exists(appFolder() + QStringLiteral("/db.DB2"));
    const maintenance::BackupResult otherCase =
        maintenance::backupCatalogue(open, appFolder(), QStringLiteral("db"));
    EXPECT_EQ(otherCase.outcome, caseBlind ? BackupOutcome::InUse : BackupOutcome::Stored);
    EXPECT_EQ(contents(open), before);
}

TEST_F(BackupTest, ANameWithAFolderSeparatorIsRefused)
{
    QDir(appFolder()).mkdir(QStringLiteral("sub"));
    for (const QString& name :
         {QStringLiteral("sub/x"), QStringLiteral("..\\x"), QStringLiteral("../x")}) {
        SCOPED_TRACE(name.toStdString());
        const maintenance::BackupResult result =
            maintenance::backupCatalogue(file(), appFolder(), name);
        EXPECT_EQ(result.outcome, BackupOutcome::InvalidName);
        EXPECT_FALSE(result.message.isEmpty());
    }
    EXPECT_EQ(appFolderEntries(), QStringList{QStringLiteral("sub")});
    EXPECT_TRUE(QDir(appFolder() + QStringLiteral("/sub")).isEmpty());
}

TEST_F(BackupTest, AFailedBackupLeavesNoFileBehind)
{
    // A folder where the backup should go: the copy is made, but cannot be put in place.
    ASSERT_TRUE(QDir(appFolder()).mkpath(QStringLiteral("taken.DB2/inside")));
    const maintenance::BackupResult blocked =
        maintenance::backupCatalogue(file(), appFolder(), QStringLiteral("taken"));
    EXPECT_EQ(blocked.outcome, BackupOutcome::Failed);
    EXPECT_TRUE(blocked.message.contains(QLatin1String("taken.DB2")))
        << blocked.message.toStdString();

    // A name longer than the file system allows.
    const maintenance::BackupResult tooLong =
        maintenance::backupCatalogue(file(), appFolder(), QString(300, QLatin1Char('n')));
    EXPECT_EQ(tooLong.outcome, BackupOutcome::Failed);

    // A catalogue that is missing, or not a database at all.
    const maintenance::BackupResult missing = maintenance::backupCatalogue(
        folder() + QStringLiteral("/gone.db2"), appFolder(), QStringLiteral("gone"));
    EXPECT_EQ(missing.outcome, BackupOutcome::Failed);
    const QString garbage = folder() + QStringLiteral("/garbage.db2");
    QFile text(garbage);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray(8192, 'x'));
    text.close();
    const maintenance::BackupResult notADatabase =
        maintenance::backupCatalogue(garbage, appFolder(), QStringLiteral("garbage"));
    EXPECT_EQ(notADatabase.outcome, BackupOutcome::Failed);
    // An application folder that is missing.
    EXPECT_EQ(maintenance::backupCatalogue(file(), appFolder() + QStringLiteral("/missing"),
                                           QStringLiteral("x"))
                  .outcome,
              BackupOutcome::Failed);

    EXPECT_EQ(appFolderEntries(), QStringList{QStringLiteral("taken.DB2")});
    EXPECT_TRUE(QFileInfo(appFolder() + QStringLiteral("/taken.DB2/inside")).isDir());
}

TEST_F(BackupTest, ADamagedCatalogueIsCopiedWithAWarning)
{
    test::orphanFreePages(file());
    const maintenance::BackupResult result =
        maintenance::backupCatalogue(file(), appFolder(), QStringLiteral("rescue"));
    ASSERT_TRUE(result.ok()) << result.message.toStdString();
    EXPECT_EQ(result.message, maintenance::backupReport(appFolder(), QStringLiteral("rescue")));
    EXPECT_TRUE(result.warning.contains(QLatin1String("fails SQLite's integrity check (Page ")))
        << result.warning.toStdString();
    EXPECT_TRUE(result.warning.contains(QLatin1String("rescue.DB2")));
    sql::SqlError error;
    const auto copy = sql::Database::open(result.path, &error);
    ASSERT_TRUE(copy) << error.message.toStdString();
    EXPECT_FALSE(copy->integrityProblem().isEmpty());
}

TEST_F(BackupTest, LeftoversOfBackupsCutShortAreRemovedWhenStale)
{
    // A copy as the backup names its own, left by a backup killed long ago, with its journal.
    QTemporaryFile left(appFolder() + QStringLiteral("/.backup-XXXXXX.part"));
    ASSERT_TRUE(left.open());
    left.setAutoRemove(false);
    const QString stale = left.fileName();
    left.close();
    const QString staleJournal = stale + QStringLiteral("-journal");
    const QString fresh = appFolder() + QStringLiteral("/.backup-Fresh1.part");
    const QString held = appFolder() + QStringLiteral("/.backup-Held01.part");
    const QString others = appFolder() + QStringLiteral("/.backup-other.parts");
    const QString mine = appFolder() + QStringLiteral("/backup-Mine01.part");
    const QDateTime longAgo = QDateTime::currentDateTime().addSecs(-3600);
    for (const QString& path : {stale, staleJournal, fresh, held, others, mine}) {
        QFile made(path);
        ASSERT_TRUE(made.open(QIODevice::ReadWrite));
        ASSERT_EQ(made.write("pages"), 5);
        ASSERT_TRUE(made.flush());
        if (path != fresh) {
            ASSERT_TRUE(made.setFileTime(longAgo, QFileDevice::FileModificationTime));
        }
    }
    // An old copy some process still writes (SQLite holds a lock on it while it does).
    const int fd = ::open(QFile::encodeName(held).constData(), O_RDWR);
    ASSERT_GE(fd, 0);
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(fd, F_SETLK, &lock), 0);

    ASSERT_TRUE(maintenance::backupCatalogue(file(), appFolder(), QStringLiteral("next")).ok());
    ::close(fd);
    QStringList expected{QStringLiteral("next.DB2"), QFileInfo(fresh).fileName(),
                         QFileInfo(held).fileName(), QFileInfo(others).fileName(),
                         QFileInfo(mine).fileName()};
    expected.sort();
    EXPECT_EQ(appFolderEntries(), expected);
}
