#pragma once

#include <string>

namespace platterly::sql {

// Decodes the multi-byte UTF-8 character whose lead byte (0x80 or above) stands at `p`.
// Returns its length in bytes and sets `codePoint`, or returns 0 for damaged text: a lone
// continuation byte, a cut-off sequence, an overlong form, an encoded surrogate or a value
// beyond U+10FFFF. Callers decide what a damaged byte stands for; refusing overlong forms and
// surrogates keeps one character from having two spellings.
inline int decodeUtf8Sequence(const unsigned char* p, const unsigned char* end, char32_t* codePoint)
{
    const unsigned char lead = *p;
    int extra = 0;
    char32_t cp = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0u) == 0xC0) {
        extra = 1;
        cp = lead & 0x1Fu;
        smallest = 0x80;
    } else if ((lead & 0xF0u) == 0xE0) {
        extra = 2;
        cp = lead & 0x0Fu;
        smallest = 0x800;
    } else if ((lead & 0xF8u) == 0xF0) {
        extra = 3;
        cp = lead & 0x07u;
        smallest = 0x10000;
    } else {
        return 0;
    }
    if (end - p <= extra)
        return 0;
    for (int i = 1; i <= extra; ++i) {
        if ((p[i] & 0xC0u) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3Fu);
    }
    if (cp < smallest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    *codePoint = cp;
    return extra + 1;
}

// Reads one code point of well-formed or damaged UTF-8 and steps past it. A damaged byte
// stands for itself as an unpaired low surrogate (0xDC00 + the byte), which well-formed UTF-8
// never yields, so that comparisons stay total and deterministic. That is why overlong forms
// and encoded surrogates count as damaged too: "\xC1\x81" must not equal "a".
inline char32_t nextCodePoint(const unsigned char*& p, const unsigned char* end)
{
    const unsigned char lead = *p;
    if (lead < 0x80) {
        ++p;
        return lead;
    }
    char32_t cp = 0;
    const int length = decodeUtf8Sequence(p, end, &cp);
    if (length == 0) {
        ++p;
        return 0xDC00 + lead;
    }
    p += length;
    return cp;
}

// Appends the UTF-8 form of a code point.
inline void appendUtf8(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace platterly::sql
