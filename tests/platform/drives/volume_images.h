#pragma once

#include <QByteArray>
#include <QString>

namespace platterly::drives::fixtures {

// Volume images built byte by byte, with just the structures the label readers look at.

// An ISO 9660 volume: primary volume descriptor with `identifier` padded with blanks to 32
// bytes, then the set terminator.
QByteArray isoImage(const QByteArray& identifier);

// How a UDF image is written.
enum class UdfCharacters
{
    EightBit,
    Sixteen
};

// A UDF volume with 2048-byte blocks whose logical volume identifier is `label`.
QByteArray udfImage(const QString& label, UdfCharacters characters = UdfCharacters::EightBit);

// A UDF bridge volume: an ISO 9660 volume named `isoLabel` that also carries UDF `udfLabel`.
QByteArray bridgeImage(const QByteArray& isoLabel, const QString& udfLabel);

} // namespace platterly::drives::fixtures
