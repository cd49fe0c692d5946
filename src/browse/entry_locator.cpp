#include "browse/entry_locator.h"

#include "catalogue/disc_volumes.h"
#include "catalogue/settings.h"
#include "platform/sql/casefold.h"
#include "platform/system/application_folder.h"
#include "platform/system/native_name.h"
#include "platform/system/profile_file.h"

#include <sys/stat.h>

namespace platterly::browse {

std::optional<QChar> driveLetterOfBoxText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    const QChar letter = trimmed.at(0).toUpper();
    if (letter < u'A' || letter > u'Z')
        return std::nullopt;
    if (trimmed.size() > 1 && trimmed.at(1) != u':')
        return std::nullopt;
    return letter;
}

std::optional<QChar> defaultDriveLetter(const drives::DriveMap& drives)
{
    for (const drives::Drive& drive : drives.drives()) {
        if (drive.kind == drives::DriveKind::Optical)
            return drive.letter;
    }
    if (!drives.drives().empty())
        return drives.drives().front().letter;
    return std::nullopt;
}

QString initialDriveBoxText(const drives::DriveMap& drives)
{
    // The application folder as the default tells a missing key from any stored value.
    const QString missing = system::applicationFolder();
    const QString stored =
        system::ReadINI(catalogue::settingsFile(), catalogue::settings::kSectionSettings,
                        catalogue::settings::kKeyDriveLetter, missing);
    if (stored != missing)
        return stored;
    const std::optional<QChar> fallback = defaultDriveLetter(drives);
    return fallback ? QString(*fallback) : QString();
}

bool isFolder(const QString& nativePath)
{
    struct stat info;
    return ::stat(system::nativeBytesFromText(nativePath).constData(), &info) == 0 &&
           S_ISDIR(info.st_mode);
}

bool EntryLocation::isFolder() const
{
    return insideImage ? memberIsFolder : browse::isFolder(path);
}

QString EntryLocation::text() const
{
    if (!insideImage)
        return path;
    return path + QStringLiteral("//") + system::textFromNativeBytes(member);
}

EntryLocator::EntryLocator(drives::DriveMap drives, const sql::Database* catalogue,
                           std::optional<QChar> driveBoxLetter)
    : m_drives(std::move(drives)), m_letter(driveBoxLetter)
{
    // A catalogue whose volumes cannot be read is searched as an older one: by letters only.
    if (catalogue)
        m_records = catalogue::readDiscVolumes(*catalogue);
}

const std::vector<drives::DiscPlace>& EntryLocator::placesFor(const QString& title,
                                                              const QString& path)
{
    const QString folded = sql::foldCase(title);
    const auto recorded = m_records.constFind(folded);
    const bool useRecord = recorded != m_records.constEnd() &&
                           path.startsWith(recorded->driveRoot, Qt::CaseInsensitive);
    // Without a record a disc is known by the drive root of its paths only.
    const QString key = folded + QChar(u'\0') + (useRecord ? QString() : path.left(3));
    if (const auto known = m_places.constFind(key); known != m_places.constEnd())
        return *known;
    const drives::VolumeRecord record = useRecord ? *recorded : drives::recordFromStoredPath(path);
    return *m_places.insert(key, drives::discPlaces(m_drives, record, m_letter));
}

std::optional<EntryLocator::ImageFile> EntryLocator::imageFileOf(const QString& title,
                                                                 const QString& path)
{
    const QString folded = sql::foldCase(title);
    const auto recorded = m_records.constFind(folded);
    if (recorded == m_records.constEnd() ||
        !path.startsWith(recorded->driveRoot, Qt::CaseInsensitive))
        return std::nullopt;
    auto known = m_imageFiles.constFind(folded);
    if (known == m_imageFiles.constEnd()) {
        std::optional<ImageFile> image;
        if (const auto file =
                drives::locateImageFile(m_lookup, placesFor(title, path), recorded->driveRoot))
            image = ImageFile{*file, recorded->driveRoot.size()};
        known = m_imageFiles.insert(folded, image);
    }
    return *known;
}

std::optional<EntryLocation> EntryLocator::findInImage(const ImageFile& image, const QString& path,
                                                       const QString& name)
{
    // The stored path below the image's root, and the name: the entry's path in the image.
    QString stored = path.mid(image.storedRootLength);
    if (name.isEmpty())
        stored.chop(stored.endsWith(u'\\') ? 1 : 0);
    else
        stored += name;
    auto members = m_imageMembers.find(image.path);
    if (members == m_imageMembers.end())
        members = m_imageMembers.emplace(image.path, ImageMembers(image.path)).first;
    const std::optional<ImageMembers::Entry> entry = members->second.find(stored);
    if (!entry)
        return std::nullopt;
    return EntryLocation{image.path, entry->path, true, entry->folder};
}

std::optional<EntryLocation> EntryLocator::find(const QString& title, const QString& path,
                                                const QString& name)
{
    // A disc recorded as an image is looked for as an image first; where the image's folder
    // stands as a folder instead (the image mounted, or unpacked), as any disc.
    if (const std::optional<ImageFile> image = imageFileOf(title, path)) {
        if (std::optional<EntryLocation> inImage = findInImage(*image, path, name))
            return inImage;
    }
    const std::optional<QString> found =
        drives::locateStoredEntry(m_lookup, placesFor(title, path), path, name);
    if (!found)
        return std::nullopt;
    return EntryLocation{*found, {}, false, false};
}

std::optional<QString> EntryLocator::locate(const QString& title, const QString& path,
                                            const QString& name)
{
    // An entry inside an image has no path of its own; the image's directory is not read.
    if (imageFileOf(title, path))
        return std::nullopt;
    return drives::locateStoredEntry(m_lookup, placesFor(title, path), path, name);
}

} // namespace platterly::browse
