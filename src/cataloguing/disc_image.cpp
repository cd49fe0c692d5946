#include "cataloguing/disc_image.h"

#include "platform/archive/image_reader.h"
#include "platform/drives/volume_label.h"
#include "platform/system/native_name.h"

#include <QDir>
#include <sys/stat.h>

namespace platterly::cataloguing {

bool isImageFile(const QString& nativePath)
{
    struct stat info;
    return ::stat(system::nativeBytesFromText(nativePath).constData(), &info) == 0 &&
           !S_ISDIR(info.st_mode);
}

DiscImage identifyImage(const QString& nativePath, const QString& drivePath)
{
    DiscImage image;
    image.nativePath = QDir::cleanPath(nativePath);
    image.driveRoot = drivePath.endsWith(u'\\') ? drivePath : drivePath + u'\\';
    QString error;
    const std::optional<QString> format = archive::probeImage(image.nativePath, &error);
    if (!format) {
        image.error = error;
        return image;
    }
    image.format = *format;
    // Only disc images carry a volume label; the descriptors are read again here because
    // libarchive does not give the label, and UDF's may be longer than ISO 9660's.
    if (image.format == u"iso9660" && !system::holdsEscapedBytes(image.nativePath))
        image.label = drives::readVolumeLabel(image.nativePath).value_or(QString());
    return image;
}

QString proposedImageTitle(const DiscImage& image)
{
    if (!image.label.trimmed().isEmpty())
        return image.label;
    QString name = image.nativePath.mid(image.nativePath.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    if (name.endsWith(QLatin1String(".tar"), Qt::CaseInsensitive) && name.size() > 4)
        name.chop(4);
    return name;
}

CataloguingRequest imageRequest(const QString& title, const DiscImage& image)
{
    drives::VolumeRecord volume;
    volume.label = image.label;
    volume.fsType = image.format;
    volume.root = image.nativePath;
    volume.driveRoot = image.driveRoot;
    CataloguingRequest request{title, image.nativePath, image.driveRoot, {}, volume};
    request.image = true;
    return request;
}

} // namespace platterly::cataloguing
