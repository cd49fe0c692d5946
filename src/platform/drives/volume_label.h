#pragma once

#include <QIODevice>
#include <QString>
#include <optional>

namespace platterly::drives {

// Volume labels read from the file system structures themselves, for media and disc images
// that the system has not labelled for us. Every reader returns nullopt when the structures are
// missing or damaged, or the label is blank; trailing padding blanks are removed.

// The volume identifier of the ISO 9660 primary volume descriptor.
std::optional<QString> readIso9660Label(QIODevice& volume);

// The logical volume identifier of a UDF volume (blocks of 2048, 512 or 4096 bytes).
std::optional<QString> readUdfLabel(QIODevice& volume);

// The label of the volume in an image file or a device: the UDF identifier when the volume
// carries UDF (it is not limited to 32 upper-case characters), otherwise the ISO 9660 one.
std::optional<QString> readVolumeLabel(const QString& fileOrDevice);

// Decodes a name in /dev/disk/by-label, where the system writes characters that may not appear
// in a device name as "\xNN" escapes of their UTF-8 bytes ("MY\x20STICK" -> "MY STICK").
QString decodeLabelLinkName(const QString& name);

} // namespace platterly::drives
