#pragma once

#include "cataloguing/cataloguing_run.h"
#include "cataloguing/scan_folder.h"
#include "platform/drives/disc_places.h"

#include <QString>

namespace platterly::cataloguing {

// A disc image or archive named for cataloguing (photos.iso, backup.zip, old.tar.gz): what the
// run and the catalogue record of it.
struct DiscImage
{
    QString nativePath; // the image file, in the text form of native names
    QString driveRoot;  // its drive form with a final "\": what every PATH of the disc begins with
    QString format;     // "iso9660", "zip", "7z", "tar", ...
    QString label;      // the volume label; empty when the image has none
    QString error;      // why it cannot be catalogued, naming the file; empty when it can

    bool ok() const { return error.isEmpty(); }
};

// Whether a native path (text form) names a file or a block device, links followed: the paths
// the program catalogues as images.
bool isImageFile(const QString& nativePath);

// Reads what cataloguing needs of an image, from its beginning: its format and volume label.
// A file that is no image or archive that can be read gets an error instead.
DiscImage identifyImage(const QString& nativePath, const QString& drivePath);

// The title proposed for an image: its volume label, or without one its file name without
// the extension ("photos.tar.gz" gives "photos").
QString proposedImageTitle(const DiscImage& image);

// The request that catalogues the image under `title`; the image is recorded as the disc's
// volume (its format as the file system type, the file as the root).
CataloguingRequest imageRequest(const QString& title, const DiscImage& image);

// Catalogues a disc image or an archive as the disc it holds, without mounting it. The image's
// directory is read first, whole (names, kinds, sizes and times, never the contents), into a
// tree in memory: archives list their entries in any order and may leave folders out. That
// tree is then walked by ScanFolder, so the rows come exactly as for the same tree in a
// folder: the same order, LEVEL and TYPE, hidden names left out with everything in them.
//
// `request.nativeRoot` is the image file; `request.driveRoot` its drive form, which every
// PATH begins with. An image that cannot be read fails the walk before any row is given,
// with a message naming the file and what is wrong. Runs on any thread.
[[nodiscard]] WalkResult ScanImage(const WalkRequest& request, WalkSink& sink);

} // namespace platterly::cataloguing
