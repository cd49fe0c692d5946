#include "catalogue/file_type.h"

#include <array>
#include <string_view>

namespace platterly::catalogue {

namespace {

struct Group
{
    std::int16_t code;
    std::initializer_list<std::string_view> extensions;
};

// Groups are tried in this order, so an extension listed twice would belong to the first
// group; ".MPEG" and ".ASF" are music for that reason.
const std::array<Group, 7> kGroups{{
    {TypeImage,
     {".BMP", ".JPG", ".JPEG", ".GIF", ".CDR", ".WMF", ".PNG", ".TIF", ".CUR", ".EPS", ".ICO",
      ".JP2", ".JPC", ".PCX", ".PSD", ".PSP", ".UFO"}},
    {TypeDocument, {".DOC", ".XLS", ".PPT", ".PPS", ".TXT", ".WRI", ".RTF", ".PDF", ".MDB"}},
    {TypeWebPage, {".HTM", ".HTML", ".ASP", ".XML", ".SHTML", ".PHP", ".JSP"}},
    {TypeMusic, {".WAV", ".VOC", ".WMA", ".MP2", ".MP3", ".MPEG", ".ASF"}},
    {TypeProgram, {".EXE", ".COM"}},
    {TypeVideo, {".AVI", ".WMV", ".MPG", ".MOV", ".QT", ".QTS"}},
    {TypeArchive,
     {".ZIP", ".ACE", ".RAR", ".TAR", ".TGZ", ".LHA", ".CAB", ".ARJ", ".LZH", ".GZIP", ".UUE",
      ".BZ2", ".JAR"}},
}};

constexpr qsizetype kLongestExtension = 6; // ".SHTML"

} // namespace

std::int16_t FileType(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return TypeNoDot;
    const qsizetype length = name.size() - dot;
    if (length > kLongestExtension)
        return TypeOther;
    // Every table entry is ASCII, so a character outside ASCII can never be part of a match,
    // and upper-casing ASCII letters is all the folding the comparison needs.
    char extension[kLongestExtension];
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = name.at(dot + i).unicode();
        if (c >= 0x80)
            return TypeOther;
        extension[i] = static_cast<char>(c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c);
    }
    const std::string_view ext(extension, static_cast<std::size_t>(length));
    for (const Group& group : kGroups)
        for (std::string_view candidate : group.extensions)
            if (candidate == ext)
                return group.code;
    return TypeOther;
}

} // namespace platterly::catalogue
