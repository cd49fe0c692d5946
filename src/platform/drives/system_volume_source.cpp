#include "platform/drives/system_volume_source.h"

#include "platform/drives/volume_label.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace platterly::drives {

namespace {

QByteArray readWholeFile(const QString& path)
{
    // Files of /proc and /sys report a size of 0; readAll() reads them to their end all the same.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString canonicalOrAsGiven(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

} // namespace

QByteArray SystemVolumeSource::mountInfo() const
{
    return readWholeFile(m_paths.mountInfoFile);
}

std::vector<OpticalDevice> SystemVolumeSource::opticalDevices() const
{
    static const QRegularExpression opticalName(QStringLiteral("^sr(\\d+)$"));
    std::vector<std::pair<int, QString>> numbered;
    const QStringList names =
        QDir(m_paths.blockDevicesFolder)
            .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = opticalName.match(name);
        if (match.hasMatch())
            numbered.emplace_back(match.captured(1).toInt(), name);
    }
    std::sort(numbered.begin(), numbered.end());

    std::vector<OpticalDevice> devices;
    for (const auto& [number, name] : numbered) {
        const QString deviceNumber = QString::fromLatin1(
            readWholeFile(m_paths.blockDevicesFolder + u'/' + name + QStringLiteral("/dev"))
                .trimmed());
        devices.push_back({QStringLiteral("/dev/") + name, deviceNumber});
    }
    return devices;
}

std::optional<QString> SystemVolumeSource::labelOf(const QString& device) const
{
    const QString canonicalDevice = canonicalOrAsGiven(device);
    if (auto label = labelFromLinks(canonicalDevice))
        return label;
    const QString image = loopBackingFile(canonicalDevice);
    if (!image.isEmpty()) {
        if (auto label = readVolumeLabel(image))
            return label;
    }
    return readVolumeLabel(canonicalDevice);
}

std::optional<QString> SystemVolumeSource::linkNameFor(const QString& folder,
                                                       const QString& canonicalDevice) const
{
    const QFileInfoList links =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& link : links) {
        if (link.canonicalFilePath() != canonicalDevice)
            continue;
        const QString name = decodeLabelLinkName(link.fileName());
        if (!name.trimmed().isEmpty())
            return name;
    }
    return std::nullopt;
}

std::optional<QString> SystemVolumeSource::labelFromLinks(const QString& canonicalDevice) const
{
    return linkNameFor(m_paths.labelLinksFolder, canonicalDevice);
}

std::optional<QString> SystemVolumeSource::uuidOf(const QString& device) const
{
    return linkNameFor(m_paths.uuidLinksFolder, canonicalOrAsGiven(device));
}

QString SystemVolumeSource::loopBackingFile(const QString& canonicalDevice) const
{
    static const QRegularExpression loopName(QStringLiteral("^loop\\d+$"));
    const QString name = QFileInfo(canonicalDevice).fileName();
    if (!loopName.match(name).hasMatch())
        return {};
    const QByteArray text = readWholeFile(m_paths.blockDevicesFolder + u'/' + name +
                                          QStringLiteral("/loop/backing_file"));
    // The kernel ends the path with a newline; a path with a newline in it is cut there.
    const qsizetype end = text.indexOf('\n');
    return QString::fromUtf8(end < 0 ? text : text.left(end));
}

DriveMap systemDriveMap()
{
    return DriveMap(SystemVolumeSource());
}

} // namespace platterly::drives
