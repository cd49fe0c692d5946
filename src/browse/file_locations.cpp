#include "browse/file_locations.h"

namespace platterly::browse {

QString rerootOnDrive(const QString& driveBoxText, const QString& storedPath)
{
    return driveBoxText + storedPath.mid(1);
}

NativeLocation nativeLocation(const drives::DriveMap& drives, const QString& drivePath)
{
    const std::optional<QChar> letter = drives::driveLetterOf(drivePath);
    if (!letter)
        return {{}, QStringLiteral("Path not found")};
    const drives::Drive* drive = drives.find(*letter);
    if (!drive || !drive->hasMedium())
        return {{}, QStringLiteral("Disk not ready")};
    std::optional<QString> native = drives.toNativePath(drivePath);
    if (!native)
        return {{}, QStringLiteral("Path not found")};
    return {*native, {}};
}

} // namespace platterly::browse
