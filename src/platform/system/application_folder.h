#pragma once

#include <QString>
#include <QStringList>

namespace platterly::system {

// The folder that holds the program's own files: settings.ini, the catalogue db.db2, the .qns
// sounds, help.pdf and the backups.
//
// A copy of the program that keeps its files beside itself (a portable copy, or a build
// folder) uses its own folder. An installed program keeps the files in the user's data folder
// and fills that folder on first use from the files it ships.

// The files a fresh application folder is seeded with.
QStringList shippedFileNames();

struct ApplicationFolder
{
    // The folder to use, without a trailing separator.
    QString folder;
    // Empty when all is well; otherwise says what could not be created or copied. The
    // folder is still the one to use: the program can report the problem and go on.
    QString error;
};

// The rule, free of the running program so that it can be tried on any folders:
// `programFolder` when it is writable and holds db.db2 or settings.ini (a missing db.db2 is
// then the error); otherwise `dataFolder`,
// created when missing and given a copy of every shipped file it lacks, taken from
// `shippedFolder`. A file the user already has is never overwritten; a shipped file that is
// not in `shippedFolder` is skipped (the part of the program that needs it reports it).
[[nodiscard]] ApplicationFolder resolveApplicationFolder(const QString& programFolder,
                                                         const QString& dataFolder,
                                                         const QString& shippedFolder);

// Where an installed program finds its shipped files: <programFolder>/../share/platterly when
// that folder exists, else the program folder itself.
QString shippedFolderFor(const QString& programFolder);

// The user's data folder for the program: $XDG_DATA_HOME/platterly, by default
// ~/.local/share/platterly.
QString userDataFolder();

// The application folder of the running program, resolved once (from
// QCoreApplication::applicationDirPath()) and then remembered. No trailing separator.
QString applicationFolder();

// The error text of that resolution, empty when seeding went well or was not needed.
QString applicationFolderError();

// Makes applicationFolder() give `folder` from now on, as it is, without seeding it; an empty
// text goes back to the rule. Used by the command line's --catalogue option and by tests.
void setApplicationFolderOverride(const QString& folder);

// A file of the application folder: the folder, "/", and the name.
QString appFile(const QString& fileName);

// The default catalogue: db.db2 in the application folder.
QString defaultCatalogue();

} // namespace platterly::system
