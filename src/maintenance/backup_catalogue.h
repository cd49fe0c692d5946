#pragma once

#include <QDate>
#include <QString>

namespace platterly::maintenance {

// Texts of the backup command, exactly as the program words them.
inline const QString kBackupQuestion =
    QStringLiteral("DO YOU WANT TO TAKE A BACK UP OF YOUR DATABASE?");
inline const QString kBackupQuestionCaption = QStringLiteral("Want to Take Back-Up?");
inline const QString kBackupNamePrompt = QStringLiteral("Enter Backup File Name");
inline const QString kBackupNameCaption = QStringLiteral("Backup File Name");
inline const QString kBackupReportCaption = QStringLiteral("Backup");
inline const QString kDatabaseInUseMessage =
    QStringLiteral("Database in use (unable toOver write) please chose another name");
// Appended to every backup name, also to one that already ends with an extension.
inline const QString kBackupExtension = QStringLiteral(".DB2");

enum class BackupOutcome
{
    Stored,
    InUse,       // the name would overwrite the open catalogue: ask for another name
    InvalidName, // the name holds a folder separator: ask for another name
    Failed,      // nothing was written; an older backup of the same name is as it was
};

struct BackupResult
{
    BackupOutcome outcome = BackupOutcome::Failed;
    QString path;    // the backup file, application folder + "/" + name + ".DB2"
    QString message; // Stored: the report (backupReport); otherwise what to tell the user
    // Stored: what the user must know besides, such as that the catalogue copied is damaged.
    QString warning;

    bool ok() const { return outcome == BackupOutcome::Stored; }
};

// The name offered for a backup taken on `date`: day-month-year without leading zeros
// (5 December 2026 gives "5-12-2026").
QString defaultBackupName(const QDate& date);

// Where the backup named `name` is stored: the application folder, "/", the name and ".DB2".
QString backupFilePath(const QString& applicationFolder, const QString& name);

// The report shown once the backup is stored. The folder is shown as the system names it,
// followed by the system's separator and the closing parenthesis.
QString backupReport(const QString& applicationFolder, const QString& name);

// Copies the open catalogue to the backup file named `name` in the application folder.
//
// A name whose file would be the open catalogue itself (as the file system sees it: the
// same path, a link to it, or on a case-blind file system the same name in other letters)
// is refused with kDatabaseInUseMessage. The copy is a consistent snapshot taken through
// SQLite's online backup, so the catalogue may stay open meanwhile; it is written under a
// temporary name in the application folder and renamed to the backup name only once
// complete, so an existing backup of that name is replaced by a whole one or not at all,
// and a failure (a full disk, a folder that cannot be written) leaves no file behind.
// A catalogue that fails SQLite's integrity check is still copied (the copy loses nothing
// and may be all that is left of it), with a warning that says so.
// Temporary files that a backup cut short left in the folder are removed first.
BackupResult backupCatalogue(const QString& openCatalogue, const QString& applicationFolder,
                             const QString& name);

} // namespace platterly::maintenance
