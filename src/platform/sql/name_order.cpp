#include "platform/sql/name_order.h"

#include "platform/sql/casefold.h"
#include "platform/sql/utf8.h"

#include <QChar>
#include <QString>
#include <utility>
#include <vector>

namespace platterly::sql {

namespace {

// The blocks of combining diacritics that accented letters of the Latin, Greek and Cyrillic
// scripts decompose into. Marks of other scripts (vowel signs, nukta, virama) carry meaning
// of their own and keep counting.
bool isCombiningDiacritic(char32_t cp)
{
    return (cp >= 0x0300 && cp <= 0x036F) || (cp >= 0x1AB0 && cp <= 0x1AFF) ||
           (cp >= 0x1DC0 && cp <= 0x1DFF) || (cp >= 0x20D0 && cp <= 0x20FF) ||
           (cp >= 0xFE20 && cp <= 0xFE2F);
}

// The full canonical decomposition of a code point.
void decompose(char32_t cp, std::u32string& out)
{
    if (QChar::decompositionTag(cp) != QChar::Canonical) {
        out.push_back(cp);
        return;
    }
    const QString parts = QChar::decomposition(cp);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        char32_t part = parts[i].unicode();
        if (parts[i].isHighSurrogate() && i + 1 < parts.size()) {
            part = QChar::surrogateToUcs4(parts[i], parts[i + 1]);
            ++i;
        }
        decompose(part, out);
    }
}

// Letters that readers file under a base letter although Unicode gives them no decomposition
// into it: a stroke or a bar is part of the letter's shape, not a combining accent.
char32_t strokedLetterBase(char32_t folded)
{
    switch (folded) {
    case 0x00F8: // ø
        return u'o';
    case 0x0111: // đ
    case 0x00F0: // ð
        return u'd';
    case 0x0127: // ħ
        return u'h';
    case 0x0131: // dotless ı
        return u'i';
    case 0x0142: // ł
        return u'l';
    case 0x0167: // ŧ
        return u't';
    case 0x0180: // ƀ
        return u'b';
    case 0x01B6: // ƶ
        return u'z';
    default:
        return 0;
    }
}

char32_t computeKey(char32_t cp)
{
    const char32_t folded = foldCase(cp);
    if (const char32_t base = strokedLetterBase(folded))
        return base;
    if (isCombiningDiacritic(folded))
        return kNoKey;
    std::u32string parts;
    decompose(folded, parts);
    for (std::size_t i = 1; i < parts.size(); ++i)
        if (!isCombiningDiacritic(parts[i]))
            return folded; // not an accented letter (a Hangul syllable, for one)
    return foldCase(parts.front());
}

// The keys of the Basic Multilingual Plane, worked out once: the collation asks for them
// millions of times while a large result is sorted.
const std::vector<char32_t>& bmpKeys()
{
    static const std::vector<char32_t> keys = [] {
        std::vector<char32_t> table(0x10000);
        for (char32_t cp = 0; cp < 0x10000; ++cp)
            table[cp] = cp < 0x80 ? foldCase(cp) : computeKey(cp);
        return table;
    }();
    return keys;
}

// Ligatures and the sharp s are filed as the two letters they are read as: the first key
// of such a letter comes from nameOrderKey(), the second from here (0 for other letters).
char32_t secondKeyOf(char32_t codePoint)
{
    switch (codePoint) {
    case 0x00DF: // ß
    case 0x1E9E: // ẞ
        return u's';
    case 0x00C6: // Æ
    case 0x00E6: // æ
    case 0x0152: // Œ
    case 0x0153: // œ
        return u'e';
    default:
        return 0;
    }
}

// Steps through the keys of a text, passing over those that count for nothing.
template <typename Source>
struct KeyReader
{
    Source source;
    char32_t pending = 0; // the second key of the last letter read, when it has one

    // The next key, or false at the end of the text.
    bool next(char32_t* key)
    {
        if (pending) {
            *key = std::exchange(pending, 0);
            return true;
        }
        while (!source.atEnd()) {
            const char32_t codePoint = source.next();
            if ((*key = nameOrderKey(codePoint)) != kNoKey) {
                pending = secondKeyOf(codePoint);
                return true;
            }
        }
        return false;
    }
};

struct Utf8Source
{
    const unsigned char* p;
    const unsigned char* end;
    bool atEnd() const { return p >= end; }
    char32_t next() { return nextCodePoint(p, end); }
};

struct Utf16Source
{
    QStringView text;
    qsizetype i = 0;
    bool atEnd() const { return i >= text.size(); }
    char32_t next()
    {
        const QChar c = text[i++];
        if (c.isHighSurrogate() && i < text.size() && text[i].isLowSurrogate())
            return QChar::surrogateToUcs4(c, text[i++]);
        return c.unicode();
    }
};

template <typename Source>
int compareKeys(KeyReader<Source> a, KeyReader<Source> b)
{
    for (;;) {
        char32_t ka = 0;
        char32_t kb = 0;
        const bool moreA = a.next(&ka);
        const bool moreB = b.next(&kb);
        if (!moreA || !moreB)
            return moreA ? 1 : (moreB ? -1 : 0);
        if (ka != kb)
            return ka < kb ? -1 : 1;
    }
}

} // namespace

char32_t nameOrderKey(char32_t codePoint)
{
    switch (codePoint) {
    case 0x00DF: // ß, read as "ss"
    case 0x1E9E:
        return u's';
    case 0x00C6: // æ, read as "ae"
    case 0x00E6:
        return u'a';
    case 0x0152: // œ, read as "oe"
    case 0x0153:
        return u'o';
    default:
        break;
    }
    if (codePoint < 0x10000)
        return bmpKeys()[codePoint];
    return foldCase(codePoint);
}

int compareNameOrder(QStringView a, QStringView b)
{
    return compareKeys(KeyReader<Utf16Source>{{a}}, KeyReader<Utf16Source>{{b}});
}

int compareNameOrderUtf8(const char* a, int aLength, const char* b, int bLength)
{
    auto pa = reinterpret_cast<const unsigned char*>(a);
    auto pb = reinterpret_cast<const unsigned char*>(b);
    const unsigned char* ea = pa + aLength;
    const unsigned char* eb = pb + bLength;
    // Plain ASCII, the common case, straight on the bytes.
    while (pa < ea && pb < eb && *pa < 0x80 && *pb < 0x80) {
        const char32_t fa = foldCase(*pa++);
        const char32_t fb = foldCase(*pb++);
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    return compareKeys(KeyReader<Utf8Source>{{pa, ea}}, KeyReader<Utf8Source>{{pb, eb}});
}

void appendNameOrderKeyUtf8(const char* text, qsizetype length, std::string& out)
{
    KeyReader<Utf8Source> keys{{reinterpret_cast<const unsigned char*>(text),
                                reinterpret_cast<const unsigned char*>(text) + length}};
    char32_t key = 0;
    while (keys.next(&key))
        appendUtf8(key, out);
}

} // namespace platterly::sql
