#pragma once

#include "platform/drives/drive_map.h"
#include "platform/drives/stored_path_lookup.h"

#include <QChar>
#include <QString>
#include <optional>
#include <vector>

namespace platterly::drives {

// What the catalogue records of a disc when it is catalogued, so that it can be found again
// after its drive letter or mount point has changed. An empty field is unknown.
struct VolumeRecord
{
    QString label;  // volume label of the volume that held the root
    QString uuid;   // its file system UUID, where the system knew it
    QString fsType; // its file system type: "ext4", "iso9660", ...
    QString root;   // the catalogued folder as a native path (text form of native names)
    // What every stored PATH of the disc begins with: the catalogued folder in drive form with
    // a final "\" ("C:\USR\SHARE\ZONEINFO\"). Required: without it nothing can be found.
    QString driveRoot;
};

// The record for a folder about to be catalogued: the volume is the drive holding it, as in
// its drive form.
VolumeRecord describeVolume(const DriveMap& drives, const QString& nativeRoot,
                            const QString& driveRoot);

// The record an older catalogue implies for a disc: only the drive root of its stored paths.
VolumeRecord recordFromStoredPath(const QString& storedPath);

// A place where a disc's stored paths may be read now: `folder` stands for the first
// `storedPrefix` characters of every stored path of the disc.
struct DiscPlace
{
    QString folder;
    qsizetype storedPrefix = 0;
};

// Where a disc may be now, in the order it is looked for:
// 1. on the drive with `driveBoxLetter`, the stored path re-rooted on it (letter replaced);
// 2. where it was catalogued: the recorded root, or for an older catalogue the drive that
//    has the stored path's own letter now;
// 3. on every mounted volume whose label equals the recorded one (a recorded UUID must then
//    match too, where the volume's is known), or whose UUID equals the recorded one.
// Places on drives without a medium are left out; the same place is given once.
std::vector<DiscPlace> discPlaces(const DriveMap& drives, const VolumeRecord& record,
                                  std::optional<QChar> driveBoxLetter);

// Where the disc is now: the native root of the first place that holds the catalogued folder
// (for way 2, the recorded root as it is, whatever it is, so that a disc recorded as an image
// file is that file). nullopt when no place holds it.
std::optional<QString> whereIsDiscNow(const DriveMap& drives, const VolumeRecord& record,
                                      std::optional<QChar> driveBoxLetter = {});

// The native path of one stored entry of the disc: its folder `storedPath` and its name
// `name` (one name; empty for the folder itself), found at the first place that holds it.
std::optional<QString> locateStoredEntry(StoredPathLookup& lookup,
                                         const std::vector<DiscPlace>& places,
                                         const QString& storedPath, const QString& name);

// The image file a disc catalogued from an image is in now (its drive root names the file,
// "C:\ISOS\PHOTOS.ISO\"): the first place where the names of the drive root lead to a file
// rather than a folder. nullopt when no place holds one.
std::optional<QString> locateImageFile(StoredPathLookup& lookup,
                                       const std::vector<DiscPlace>& places,
                                       const QString& driveRoot);

} // namespace platterly::drives
