#pragma once

#include <QString>
#include <cstdint>

namespace platterly::catalogue {

// Category codes stored in CDS.TYPE.
enum TypeCode : std::int16_t
{
    TypeOther = 0,
    TypeImage = 1,
    TypeDocument = 2,
    TypeWebPage = 3,
    TypeMusic = 4,
    TypeProgram = 5,
    TypeVideo = 6,
    TypeArchive = 7,
    TypeTitleRow = 99,
    TypeNoDot = 100, // a name without any dot: counted and searched as a folder
};

// The category of a file or folder from its name alone: the text from the last dot on,
// compared case-blind with the fixed extension table; 100 when the name holds no dot,
// 0 when the extension is in no group. Blanks are part of the extension.
std::int16_t FileType(const QString& name);

} // namespace platterly::catalogue
