#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace platterly::drives {

// An optical drive of the machine, whether or not it holds a disc.
struct OpticalDevice
{
    QString device;     // "/dev/sr0"
    QString majorMinor; // "11:0", matched against the device numbers of the mount table
};

// Everything the drive map needs to know about the machine. The real implementation reads the
// kernel's tables and the volumes themselves; tests give fixed answers instead.
class VolumeSource
{
public:
    virtual ~VolumeSource() = default;

    // The text of the mount table, in the layout of /proc/self/mountinfo.
    virtual QByteArray mountInfo() const = 0;
    // The optical drives in device order (sr0, sr1, ..., sr10).
    virtual std::vector<OpticalDevice> opticalDevices() const = 0;
    // The volume label of the file system on a device ("/dev/sr1", "/dev/loop0"); nullopt when
    // the volume has no label or it cannot be read.
    virtual std::optional<QString> labelOf(const QString& device) const = 0;
    // The UUID of the file system on a device, as the system names it ("2024-05-01-12-00-00-00"
    // for ISO 9660, "1b2c-3d4e" for FAT); nullopt when it is not known.
    virtual std::optional<QString> uuidOf(const QString& /*device*/) const { return std::nullopt; }
};

// A volume source whose answers are given up front: a mountinfo text, a list of optical
// drives and tables of labels and UUIDs by device.
class FixedVolumeSource : public VolumeSource
{
public:
    FixedVolumeSource() = default;
    explicit FixedVolumeSource(QByteArray mountInfoText) : m_mountInfo(std::move(mountInfoText)) {}

    void setMountInfo(const QByteArray& text) { m_mountInfo = text; }
    void addOpticalDevice(const QString& device, const QString& majorMinor)
    {
        m_optical.push_back({device, majorMinor});
    }
    void setLabel(const QString& device, const QString& label) { m_labels.insert(device, label); }
    void setUuid(const QString& device, const QString& uuid) { m_uuids.insert(device, uuid); }

    QByteArray mountInfo() const override { return m_mountInfo; }
    std::vector<OpticalDevice> opticalDevices() const override { return m_optical; }
    std::optional<QString> labelOf(const QString& device) const override
    {
        const auto found = m_labels.constFind(device);
        return found == m_labels.constEnd() ? std::nullopt : std::optional<QString>(*found);
    }
    std::optional<QString> uuidOf(const QString& device) const override
    {
        const auto found = m_uuids.constFind(device);
        return found == m_uuids.constEnd() ? std::nullopt : std::optional<QString>(*found);
    }

private:
    QByteArray m_mountInfo;
    std::vector<OpticalDevice> m_optical;
    QHash<QString, QString> m_labels;
    QHash<QString, QString> m_uuids;
};

} // namespace platterly::drives
