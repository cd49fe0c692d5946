#include "cataloguing/disc_source.h"

#include "catalogue/disc_volumes.h"
#include "cataloguing/disc_image.h"
#include "platform/drives/stored_path_lookup.h"

namespace platterly::cataloguing {

namespace {

QString withFinalBackslash(QString path)
{
    if (!path.endsWith(u'\\'))
        path.append(u'\\');
    return path;
}

// The image file `nativePath` as the disc's source; nullopt, having said why, when it is no
// image or archive that can be read.
std::optional<DiscSource> imageSource(const QString& nativePath, const QString& driveRoot,
                                      QString* refusal)
{
    const DiscImage image = identifyImage(nativePath, driveRoot);
    if (!image.ok()) {
        *refusal = image.error;
        return std::nullopt;
    }
    return DiscSource{image.nativePath, image.driveRoot, true,
                      *imageRequest(QString(), image).volume};
}

// The record that leads to the disc: its row of VOLUMES, or for a disc of an older catalogue
// its stored root on the drive its letter names.
std::optional<drives::VolumeRecord> recordOf(const sql::Database& db, const QString& title,
                                             const QString& storedRoot, QString* refusal)
{
    sql::SqlError error;
    if (std::optional<drives::VolumeRecord> recorded = catalogue::readDiscVolume(db, title, &error))
        return recorded;
    if (error) {
        *refusal = error.message;
        return std::nullopt;
    }
    if (storedRoot.isEmpty()) {
        *refusal = QStringLiteral("%1 holds no entries that tell where it was catalogued from; "
                                  "name the folder to read it from. Nothing was changed.")
                       .arg(title);
        return std::nullopt;
    }
    drives::VolumeRecord record = drives::recordFromStoredPath(storedRoot);
    if (record.driveRoot.isEmpty()) {
        *refusal = QStringLiteral("%1 was catalogued from %2, which names no drive; name the "
                                  "folder to read it from. Nothing was changed.")
                       .arg(title, storedRoot);
        return std::nullopt;
    }
    record.driveRoot = withFinalBackslash(storedRoot);
    return record;
}

// The disc's root folder at the first of `places` that holds one of its names in the root.
std::optional<QString> rootHoldingNames(const std::vector<drives::DiscPlace>& places,
                                        const QString& driveRoot, const QStringList& names)
{
    drives::StoredPathLookup lookup;
    for (const drives::DiscPlace& place : places)
        for (const QString& name : names)
            if (const auto entry = drives::locateStoredEntry(lookup, {place}, driveRoot, name))
                return entry->left(entry->lastIndexOf(u'/'));
    return std::nullopt;
}

} // namespace

std::optional<DiscSource> findDiscSource(const sql::Database& db, const StoredDiscRoot& disc,
                                         const DiscSourceRequest& request, QString* refusal,
                                         bool* absent)
{
    *absent = false;
    if (!request.nativeRoot.isEmpty()) {
        const QString driveRoot = withFinalBackslash(request.driveRoot);
        if (isImageFile(request.nativeRoot))
            return imageSource(request.nativeRoot, driveRoot, refusal);
        return DiscSource{request.nativeRoot, driveRoot, false,
                          drives::describeVolume(request.drives, request.nativeRoot, driveRoot)};
    }
    const std::optional<drives::VolumeRecord> record = recordOf(db, disc.title, disc.path, refusal);
    if (!record)
        return std::nullopt;
    // A disc catalogued from an image is that image file, wherever it is found now.
    drives::StoredPathLookup lookup;
    const std::vector<drives::DiscPlace> places =
        drives::discPlaces(request.drives, *record, request.driveBoxLetter);
    if (const auto image = drives::locateImageFile(lookup, places, record->driveRoot))
        return imageSource(*image, record->driveRoot, refusal);
    const std::optional<QString> folder =
        disc.names.isEmpty()
            ? drives::whereIsDiscNow(request.drives, *record, request.driveBoxLetter)
            : rootHoldingNames(places, record->driveRoot, disc.names);
    if (folder)
        return DiscSource{*folder, record->driveRoot, false,
                          drives::describeVolume(request.drives, *folder, record->driveRoot)};
    *absent = true;
    *refusal = QStringLiteral("%1 was not found: it is not on the chosen drive, nor where it "
                              "was catalogued (%2), nor on a volume with its label. Insert the "
                              "disc, or name the folder to read it from. Nothing was changed.")
                   .arg(disc.title, record->root.isEmpty() ? record->driveRoot : record->root);
    return std::nullopt;
}

} // namespace platterly::cataloguing
