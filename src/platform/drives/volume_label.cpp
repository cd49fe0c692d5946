#include "platform/drives/volume_label.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cstdint>

namespace platterly::drives {

namespace {

constexpr qint64 IsoSectorSize = 2048;
constexpr qint64 FirstDescriptorSector = 16; // the first 32 KiB are the system area
constexpr int MaxDescriptors = 64;           // a sane bound for damaged or hostile volumes

QByteArray readAt(QIODevice& volume, qint64 offset, qint64 size)
{
    // A device reports a size of 0: only an image file's size says where it ends.
    const qint64 knownSize = volume.size();
    if (knownSize > 0 && offset + size > knownSize)
        return {};
    if (!volume.seek(offset))
        return {};
    QByteArray bytes = volume.read(size);
    return bytes.size() == size ? bytes : QByteArray();
}

std::uint32_t littleEndian16(const QByteArray& bytes, qsizetype at)
{
    return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8;
}

std::uint32_t littleEndian32(const QByteArray& bytes, qsizetype at)
{
    return littleEndian16(bytes, at) | littleEndian16(bytes, at + 2) << 16;
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::optional<QString> nonBlank(QString label)
{
    while (!label.isEmpty() && (label.back() == QLatin1Char(' ') || label.back().isNull()))
        label.chop(1);
    if (label.trimmed().isEmpty())
        return std::nullopt;
    return label;
}

// ISO 9660 allows only upper-case ASCII in the identifier, yet mastering tools write whatever
// they are given: UTF-8 when it is valid UTF-8, otherwise one character per byte.
QString decodeIsoIdentifier(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// A UDF descriptor tag: identifier, checksum over the other 15 bytes, location of itself.
std::optional<std::uint32_t> udfTagId(const QByteArray& block, std::uint32_t expectedLocation)
{
    if (block.size() < 16)
        return std::nullopt;
    unsigned sum = 0;
    for (int i = 0; i < 16; ++i) {
        if (i != 4)
            sum += static_cast<std::uint8_t>(block[i]);
    }
    if ((sum & 0xffu) != static_cast<std::uint8_t>(block[4]))
        return std::nullopt;
    if (littleEndian32(block, 12) != expectedLocation)
        return std::nullopt;
    return littleEndian16(block, 0);
}

// An OSTA compressed Unicode "dstring": compression id, characters, and in its last byte the
// number of bytes used (the id included).
std::optional<QString> decodeDString(const QByteArray& field)
{
    const int used = static_cast<std::uint8_t>(field.back());
    if (used < 2 || used >= field.size())
        return std::nullopt;
    const QByteArray data = field.mid(1, used - 1);
    switch (static_cast<std::uint8_t>(field[0])) {
    case 8:
        return QString::fromLatin1(data);
    case 16: {
        QString text;
        for (qsizetype i = 0; i + 1 < data.size(); i += 2) // UTF-16, high byte first
            text.append(QChar(static_cast<char16_t>(static_cast<std::uint8_t>(data[i]) << 8 |
                                                    static_cast<std::uint8_t>(data[i + 1]))));
        return text;
    }
    default:
        return std::nullopt;
    }
}

// UDF announces itself in the volume recognition sequence after the system area: "BEA01",
// then "NSR02" or "NSR03", then "TEA01", among ISO 9660 descriptors ("CD001").
bool hasUdfRecognitionSequence(QIODevice& volume)
{
    for (int i = 0; i < MaxDescriptors; ++i) {
        const QByteArray head = readAt(volume, (FirstDescriptorSector + i) * IsoSectorSize, 6);
        if (head.isEmpty())
            return false;
        const QByteArray id = head.mid(1, 5);
        if (id == "NSR02" || id == "NSR03")
            return true;
        if (id != "BEA01" && id != "CD001" && id != "CDW02" && id != "BOOT2")
            return false;
    }
    return false;
}

std::optional<QString> udfLabelWithBlockSize(QIODevice& volume, qint64 blockSize)
{
    // The anchor volume descriptor pointer sits at block 256 and points at the main volume
    // descriptor sequence, which holds the logical volume descriptor (tag 6).
    constexpr std::uint32_t AnchorBlock = 256;
    const QByteArray anchor = readAt(volume, AnchorBlock * blockSize, 512);
    if (udfTagId(anchor, AnchorBlock) != 2u)
        return std::nullopt;
    const std::uint32_t length = littleEndian32(anchor, 16);
    const std::uint32_t first = littleEndian32(anchor, 20);
    const std::uint32_t count = std::min<std::uint32_t>(length / blockSize, MaxDescriptors);
    for (std::uint32_t i = 0; i < count; ++i) {
        const QByteArray block =
            readAt(volume, (static_cast<qint64>(first) + i) * blockSize, blockSize);
        const auto tag = udfTagId(block, first + i);
        if (!tag || *tag == 8) // unreadable, or the terminating descriptor
            return std::nullopt;
        if (*tag == 6) {
            constexpr qsizetype IdentifierOffset = 84;
            constexpr qsizetype IdentifierSize = 128;
            const auto label = decodeDString(block.mid(IdentifierOffset, IdentifierSize));
            return label ? nonBlank(*label) : std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> readIso9660Label(QIODevice& volume)
{
    for (int i = 0; i < MaxDescriptors; ++i) {
        const QByteArray descriptor =
            readAt(volume, (FirstDescriptorSector + i) * IsoSectorSize, IsoSectorSize);
        if (descriptor.isEmpty() || descriptor.mid(1, 5) != "CD001")
            return std::nullopt;
        const auto type = static_cast<std::uint8_t>(descriptor[0]);
        if (type == 255) // volume descriptor set terminator
            return std::nullopt;
        if (type == 1)
            return nonBlank(decodeIsoIdentifier(descriptor.mid(40, 32)));
    }
    return std::nullopt;
}

std::optional<QString> readUdfLabel(QIODevice& volume)
{
    if (!hasUdfRecognitionSequence(volume))
        return std::nullopt;
    for (const qint64 blockSize : std::array<qint64, 3>{2048, 512, 4096}) {
        if (auto label = udfLabelWithBlockSize(volume, blockSize))
            return label;
    }
    return std::nullopt;
}

std::optional<QString> readVolumeLabel(const QString& fileOrDevice)
{
    QFile volume(fileOrDevice);
    if (!volume.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (auto label = readUdfLabel(volume))
        return label;
    return readIso9660Label(volume);
}

QString decodeLabelLinkName(const QString& name)
{
    const QByteArray encoded = name.toUtf8();
    QByteArray bytes;
    bytes.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const bool escape = i + 3 < encoded.size() && encoded[i] == '\\' && encoded[i + 1] == 'x' &&
                            isHexDigit(encoded[i + 2]) && isHexDigit(encoded[i + 3]);
        if (escape) {
            bytes.append(static_cast<char>(encoded.mid(i + 2, 2).toInt(nullptr, 16)));
            i += 3;
        } else {
            bytes.append(encoded[i]);
        }
    }
    return QString::fromUtf8(bytes);
}

} // namespace platterly::drives
