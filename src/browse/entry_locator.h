#pragma once

#include "browse/image_entries.h"
#include "platform/drives/disc_places.h"
#include "platform/sql/sqlite_db.h"

#include <QChar>
#include <QHash>
#include <QString>
#include <map>
#include <optional>
#include <vector>

namespace platterly::browse {

// The letter that a drive box's text names: "G", "g:", "G:\" or an item "D:  /media/cdrom";
// nullopt for any other text.
std::optional<QChar> driveLetterOfBoxText(const QString& text);

// The drive a file is looked for on when the user has chosen none: the first optical drive,
// else the root file system; nullopt when the machine shows no drive at all.
std::optional<QChar> defaultDriveLetter(const drives::DriveMap& drives);

// What the drive box shows when the main window opens: the DriveLetter of the settings file
// as stored, or without one the default drive's letter (empty when there is none either).
// The command line locates files with the letter this names, as the window does.
QString initialDriveBoxText(const drives::DriveMap& drives);

// Whether a native path (text form) is a folder, links followed.
bool isFolder(const QString& nativePath);

// Where a catalogued entry is now: a file or folder, or an entry inside a disc image or
// archive that was catalogued as the disc.
struct EntryLocation
{
    QString path; // native path (text form); for an entry inside an image, the image file
    // Inside an image: the entry's path in it, as the image holds it (names joined with '/');
    // empty for the image's own root.
    QByteArray member;
    bool insideImage = false;
    bool memberIsFolder = false;

    bool isFolder() const;
    // The location as the command line shows it: the path; for an entry inside an image, the
    // image file, "//" and the entry's path in it ("/isos/photos.iso//Music/a.mp3"). A clean
    // native path never holds "//", so the first one tells where the image ends.
    QString text() const;
};

// Finds catalogued entries on this machine, the way Open File and the copy commands do: on
// the drive box's letter, then where the disc was catalogued, then on a volume with its label
// (drives::discPlaces). One locator serves a batch of rows (a search's results) and keeps
// what it has learnt meanwhile; the machine is as it was when the locator was made.
class EntryLocator
{
public:
    // `catalogue` gives the volumes recorded for the discs; without it (or for discs of an
    // older catalogue) a disc is looked for by its stored drive letter only.
    EntryLocator(drives::DriveMap drives, const sql::Database* catalogue,
                 std::optional<QChar> driveBoxLetter);

    // Where the entry `name` in the stored folder `path` of the disc `title` is now; for an
    // empty name the folder itself. A disc catalogued from an image is looked for as that
    // image file, in the same places, and its entries inside it. nullopt when no place holds
    // the entry.
    std::optional<EntryLocation> find(const QString& title, const QString& path,
                                      const QString& name);

    // The native path (text form of native names) of an entry find() finds as a file or
    // folder of its own; nullopt for the entries of a disc found as an image file.
    std::optional<QString> locate(const QString& title, const QString& path, const QString& name);

private:
    const std::vector<drives::DiscPlace>& placesFor(const QString& title, const QString& path);
    // Where a disc recorded as an image has its image file now, and how much of its stored
    // paths stands for the file.
    struct ImageFile
    {
        QString path;
        qsizetype storedRootLength = 0;
    };
    std::optional<ImageFile> imageFileOf(const QString& title, const QString& path);
    std::optional<EntryLocation> findInImage(const ImageFile& image, const QString& path,
                                             const QString& name);

    drives::DriveMap m_drives;
    std::optional<QChar> m_letter;
    QHash<QString, drives::VolumeRecord> m_records; // by folded title
    QHash<QString, std::vector<drives::DiscPlace>> m_places;
    drives::StoredPathLookup m_lookup;
    QHash<QString, std::optional<ImageFile>> m_imageFiles; // by folded title
    std::map<QString, ImageMembers> m_imageMembers;        // by image file
};

} // namespace platterly::browse
