#include "maintenance/backup_catalogue.h"

#include "platform/sql/sqlite_db.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <fcntl.h>
#include <filesystem>
#include <sqlite3.h>
#include <unistd.h>

namespace platterly::maintenance {

namespace {

BackupResult failure(BackupOutcome outcome, const QString& path, QString message)
{
    return {outcome, path, std::move(message), {}};
}

std::filesystem::path nativePath(const QString& path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// Whether two names lead to one file, as the file system decides it: the same device and
// file number when both exist (which sees through links and case-blind names), else the
// same absolute path.
bool sameFile(const QString& a, const QString& b)
{
    std::error_code error;
    if (std::filesystem::equivalent(nativePath(a), nativePath(b), error) && !error)
        return true;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) ==
           QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

bool holdsFolderSeparator(const QString& name)
{
    return name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
           name.contains(QChar(0));
}

// Why the backup could not be written, in words that name the backup, not the temporary file.
QString writeFailure(const QString& path, const sql::SqlError& error, const QString& detail)
{
    QString why;
    switch (error.code) {
    case sql::ErrorCode::DiskFull:
        why = QStringLiteral("there is no room left on the disk");
        break;
    case sql::ErrorCode::ReadOnly:
        why = QStringLiteral("the folder cannot be written");
        break;
    case sql::ErrorCode::Locked:
        return error.message;
    default:
        why = detail;
        break;
    }
    return QStringLiteral("The backup %1 could not be written: %2. No backup file was left "
                          "behind.")
        .arg(QDir::toNativeSeparators(path), why);
}

// The name a backup's temporary copy is made under (QTemporaryFile fills in the X's), and
// what such a name and that of its journal look like once made.
const QString kPartTemplate = QStringLiteral(".backup-XXXXXX.part");
const QLatin1String kPartPattern("^\\.backup-[A-Za-z0-9]{6}\\.part(-journal)?$");
// A backup writes its copy without pause and holds SQLite's lock on it while it does, so a
// copy untouched for this long and locked by no process is left from a backup cut short.
constexpr qint64 kStalePartSeconds = 10 * 60;

// Whether some process (this one included) holds a lock on the file, as SQLite does on a
// database it is writing.
bool isLocked(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET; // start 0, length 0: the whole file, however large it grows
#ifdef F_OFD_GETLK
    // Open file description locks see the locks of this process too.
    const int asked = ::fcntl(fd, F_OFD_GETLK, &probe);
#else
    const int asked = ::fcntl(fd, F_GETLK, &probe);
#endif
    ::close(fd);
    return asked == 0 && probe.l_type != F_UNLCK;
}

// Removes the temporary copies (and their journals) that killed or crashed backups left in
// the folder: names of the backup's own pattern only, untouched for a while and not locked.
void removeStaleBackupParts(const QString& folder)
{
    static const QRegularExpression partName(kPartPattern);
    const QDateTime staleBefore = QDateTime::currentDateTimeUtc().addSecs(-kStalePartSeconds);
    const QFileInfoList candidates = QDir(folder).entryInfoList(
        {QStringLiteral(".backup-*.part*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& candidate : candidates) {
        if (candidate.isSymLink() || !partName.match(candidate.fileName()).hasMatch() ||
            candidate.lastModified().toUTC() > staleBefore)
            continue;
        QString copy = candidate.absoluteFilePath();
        if (copy.endsWith(QLatin1String("-journal")))
            copy.chop(8);
        if (!isLocked(copy))
            QFile::remove(candidate.absoluteFilePath());
    }
}

struct Copied
{
    QString error;  // empty when the copy is complete
    QString damage; // what the integrity check of the copy found wrong; empty when nothing
};

// Copies every page of `source` into the empty database file `target` while holding a read
// lock on the source, so the copy is one consistent state of the catalogue. The target
// connection commits with the file synced, so a backup that is renamed into place is on disk.
// The copy is then checked, which tells about the catalogue without holding it up meanwhile.
Copied copyDatabase(const sql::Database& source, const QString& target, const QString& shownPath)
{
    sql::SqlError error;
    std::unique_ptr<sql::Database> copy = sql::Database::open(target, &error);
    if (!copy)
        return {writeFailure(shownPath, error, error.message), {}};
    sqlite3_backup* backup = sqlite3_backup_init(copy->handle(), "main", source.handle(), "main");
    if (backup == nullptr) {
        const sql::SqlError failed = copy->lastError();
        return {writeFailure(shownPath, failed, QString::fromUtf8(sqlite3_errmsg(copy->handle()))),
                {}};
    }
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped == SQLITE_DONE && finished == SQLITE_OK)
        return {{}, copy->integrityProblem()};
    const int code = stepped != SQLITE_DONE ? stepped : finished;
    // A failure on the catalogue's side (locked, damaged) is told in the catalogue's words.
    const sql::SqlError sourceError = source.errorFromCode(code);
    if (sourceError.code == sql::ErrorCode::Locked || sourceError.code == sql::ErrorCode::Damaged)
        return {sourceError.message, {}};
    return {
        writeFailure(shownPath, copy->errorFromCode(code), QString::fromUtf8(sqlite3_errstr(code))),
        {}};
}

} // namespace

QString defaultBackupName(const QDate& date)
{
    return QStringLiteral("%1-%2-%3").arg(date.day()).arg(date.month()).arg(date.year());
}

QString backupFilePath(const QString& applicationFolder, const QString& name)
{
    return applicationFolder + QLatin1Char('/') + name + kBackupExtension;
}

QString backupReport(const QString& applicationFolder, const QString& name)
{
    return QStringLiteral("Back-up File Stored in the application folder\r\n\r\n(") +
           QDir::toNativeSeparators(applicationFolder) + QDir::separator() +
           QStringLiteral(") as\r\n\r\n\t") + name + kBackupExtension;
}

BackupResult backupCatalogue(const QString& openCatalogue, const QString& applicationFolder,
                             const QString& name)
{
    const QString target = backupFilePath(applicationFolder, name);
    if (holdsFolderSeparator(name))
        return failure(BackupOutcome::InvalidName, target,
                       QStringLiteral("A backup file name cannot hold \"/\" or \"\\\": backups "
                                      "are stored in the application folder itself. Please "
                                      "choose another name."));
    if (sameFile(openCatalogue, target))
        return failure(BackupOutcome::InUse, target, kDatabaseInUseMessage);

    sql::SqlError error;
    std::unique_ptr<sql::Database> source = sql::Database::open(openCatalogue, &error);
    if (!source)
        return failure(BackupOutcome::Failed, target, error.message);

    removeStaleBackupParts(applicationFolder);
    // The copy is made under a name of its own beside the target, so that the rename that
    // puts it in place stays on one file system and replaces the target in one step.
    QTemporaryFile part(QDir(applicationFolder).filePath(kPartTemplate));
    if (!part.open())
        return failure(BackupOutcome::Failed, target,
                       QStringLiteral("The backup could not be written in %1: %2.")
                           .arg(QDir::toNativeSeparators(applicationFolder), part.errorString()));
    part.close();
    const QString partPath = part.fileName();
    const QString journal = partPath + QStringLiteral("-journal");

    const Copied copied = copyDatabase(*source, partPath, target);
    source.reset();
    if (!copied.error.isEmpty()) {
        // A copy that failed half-way may leave its journal; the part file goes with `part`.
        QFile::remove(journal);
        return failure(BackupOutcome::Failed, target, copied.error);
    }

    // The backup is the user's file like the catalogue it copies, not private as temporary
    // files are made.
    QFile::setPermissions(partPath, QFileInfo(openCatalogue).permissions() |
                                        QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    std::error_code renameError;
    std::filesystem::rename(nativePath(partPath), nativePath(target), renameError);
    if (renameError)
        return failure(BackupOutcome::Failed, target,
                       QStringLiteral("The backup %1 could not be stored: %2. No backup file was "
                                      "left behind.")
                           .arg(QDir::toNativeSeparators(target),
                                QString::fromLocal8Bit(renameError.message())));
    part.setAutoRemove(false);
    BackupResult stored{BackupOutcome::Stored, target, backupReport(applicationFolder, name), {}};
    if (!copied.damage.isEmpty())
        stored.warning = QStringLiteral("The catalogue file %1 is damaged: it fails SQLite's "
                                        "integrity check (%2). The backup %3 is a copy of it as "
                                        "it is, damage included.")
                             .arg(QDir::toNativeSeparators(openCatalogue), copied.damage,
                                  QDir::toNativeSeparators(target));
    return stored;
}

} // namespace platterly::maintenance
