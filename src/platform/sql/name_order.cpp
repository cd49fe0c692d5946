#include "platform/sql/name_order.h"

#include "platform/sql/casefold.h"
#include "platform/sql/utf8.h"

#include <QChar>
#include <QString>
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

char32_t computeKey(char32_t cp)
{
    const char32_t folded = foldCase(cp);
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

// Steps through the keys of a text, passing over those that count for nothing.
template <typename Source>
struct KeyReader
{
    Source source;

    // The next key, or false at the end of the text.
    bool next(char32_t* key)
    {
        while (!source.atEnd())
            if ((*key = nameOrderKey(source.next())) != kNoKey)
                return true;
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
