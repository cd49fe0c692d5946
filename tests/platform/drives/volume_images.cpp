#include "volume_images.h"

#include <QtEndian>
#include <cstdint>

namespace platterly::drives::fixtures {

namespace {

constexpr int SectorSize = 2048;

void putBytes(QByteArray& image, qsizetype at, const QByteArray& bytes)
{
    if (image.size() < at + bytes.size())
        image.resize(at + bytes.size(), '\0');
    image.replace(at, bytes.size(), bytes);
}

void put16(QByteArray& image, qsizetype at, std::uint16_t value)
{
    qToLittleEndian(value, image.data() + at);
}

void put32(QByteArray& image, qsizetype at, std::uint32_t value)
{
    qToLittleEndian(value, image.data() + at);
}

QByteArray sector(std::uint8_t type, const char* identifier)
{
    QByteArray bytes(SectorSize, '\0');
    bytes[0] = static_cast<char>(type);
    bytes.replace(1, 5, identifier);
    bytes[6] = 1;
    return bytes;
}

void putIsoDescriptors(QByteArray& image, const QByteArray& identifier)
{
    QByteArray primary = sector(1, "CD001");
    primary.replace(40, 32, identifier.leftJustified(32, ' ', true));
    putBytes(image, 16 * SectorSize, primary);
    putBytes(image, 17 * SectorSize, sector(255, "CD001"));
}

// A descriptor tag: identifier, version 2, checksum over the other bytes, own location.
QByteArray udfDescriptor(std::uint16_t tagId, std::uint32_t location)
{
    QByteArray block(SectorSize, '\0');
    put16(block, 0, tagId);
    put16(block, 2, 2);
    put32(block, 12, location);
    unsigned sum = 0;
    for (int i = 0; i < 16; ++i)
        sum += static_cast<std::uint8_t>(block[i]);
    block[4] = static_cast<char>(sum & 0xff);
    return block;
}

QByteArray dstring(const QString& text, UdfCharacters characters, int fieldSize)
{
    QByteArray field(fieldSize, '\0');
    QByteArray data(1, characters == UdfCharacters::EightBit ? '\x08' : '\x10');
    for (const QChar c : text) {
        if (characters == UdfCharacters::Sixteen)
            data.append(static_cast<char>(c.unicode() >> 8));
        data.append(static_cast<char>(c.unicode() & 0xff));
    }
    field.replace(0, data.size(), data);
    field[fieldSize - 1] = static_cast<char>(data.size());
    return field;
}

void putUdfStructures(QByteArray& image, int firstRecognitionSector, const QString& label,
                      UdfCharacters characters)
{
    putBytes(image, firstRecognitionSector * SectorSize, sector(0, "BEA01"));
    putBytes(image, (firstRecognitionSector + 1) * SectorSize, sector(0, "NSR02"));
    putBytes(image, (firstRecognitionSector + 2) * SectorSize, sector(0, "TEA01"));

    constexpr std::uint32_t SequenceStart = 32;
    QByteArray anchor = udfDescriptor(2, 256);
    put32(anchor, 16, 4 * SectorSize); // main volume descriptor sequence: length, location
    put32(anchor, 20, SequenceStart);
    putBytes(image, 256 * SectorSize, anchor);

    putBytes(image, SequenceStart * SectorSize, udfDescriptor(1, SequenceStart));
    QByteArray logical = udfDescriptor(6, SequenceStart + 1);
    logical.replace(84, 128, dstring(label, characters, 128));
    putBytes(image, (SequenceStart + 1) * SectorSize, logical);
    putBytes(image, (SequenceStart + 2) * SectorSize, udfDescriptor(8, SequenceStart + 2));
}

} // namespace

QByteArray isoImage(const QByteArray& identifier)
{
    QByteArray image;
    putIsoDescriptors(image, identifier);
    return image;
}

QByteArray udfImage(const QString& label, UdfCharacters characters)
{
    QByteArray image;
    putUdfStructures(image, 16, label, characters);
    return image;
}

QByteArray bridgeImage(const QByteArray& isoLabel, const QString& udfLabel)
{
    QByteArray image;
    putIsoDescriptors(image, isoLabel);
    putUdfStructures(image, 18, udfLabel, UdfCharacters::EightBit);
    return image;
}

} // namespace platterly::drives::fixtures
