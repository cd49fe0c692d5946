#pragma once

#include "platform/drives/drive_map.h"
#include "platform/drives/volume_source.h"

namespace platterly::drives {

// Where the system publishes what the volume source reads. Tests point these at folders
// made to look like the kernel's.
struct SystemPaths
{
    QString mountInfoFile = QStringLiteral("/proc/self/mountinfo");
    QString blockDevicesFolder = QStringLiteral("/sys/block");
    QString labelLinksFolder = QStringLiteral("/dev/disk/by-label");
    QString uuidLinksFolder = QStringLiteral("/dev/disk/by-uuid");
};

// The volume source of the running machine.
class SystemVolumeSource : public VolumeSource
{
public:
    explicit SystemVolumeSource(SystemPaths paths = {}) : m_paths(std::move(paths)) {}

    // The mount table of this process's mount namespace; empty when it cannot be read.
    QByteArray mountInfo() const override;
    // Every block device named srN, in number order, with its device number.
    std::vector<OpticalDevice> opticalDevices() const override;
    // The label the system gives the device in /dev/disk/by-label; failing that, the ISO 9660
    // or UDF label read from the image file behind a loop device, or from the device itself.
    std::optional<QString> labelOf(const QString& device) const override;
    // The name of the device's link in /dev/disk/by-uuid.
    std::optional<QString> uuidOf(const QString& device) const override;

private:
    std::optional<QString> labelFromLinks(const QString& canonicalDevice) const;
    std::optional<QString> linkNameFor(const QString& folder, const QString& canonicalDevice) const;
    QString loopBackingFile(const QString& canonicalDevice) const;

    SystemPaths m_paths;
};

// The drives of the running machine as they are now.
DriveMap systemDriveMap();

} // namespace platterly::drives
