#include "platform/sql/casefold.h"

#include "platform/sql/utf8.h"

#include <QChar>

namespace platterly::sql {

char32_t foldCase(char32_t codePoint)
{
    if (codePoint < 0x80)
        return (codePoint >= 'A' && codePoint <= 'Z') ? codePoint + ('a' - 'A') : codePoint;
    return QChar::toCaseFolded(codePoint);
}

QString foldCase(QStringView text)
{
    QString folded;
    folded.reserve(text.size());
    const QChar* p = text.data();
    const QChar* end = p + text.size();
    while (p < end) {
        char32_t cp = p->unicode();
        if (p->isHighSurrogate() && p + 1 < end && p[1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(p[0], p[1]);
            p += 2;
        } else {
            ++p;
        }
        const char32_t f = foldCase(cp);
        if (QChar::requiresSurrogates(f)) {
            folded.append(QChar(QChar::highSurrogate(f)));
            folded.append(QChar(QChar::lowSurrogate(f)));
        } else {
            folded.append(QChar(static_cast<char16_t>(f)));
        }
    }
    return folded;
}

int compareFolded(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        char32_t ca = a[i].unicode();
        if (a[i].isHighSurrogate() && i + 1 < a.size() && a[i + 1].isLowSurrogate()) {
            ca = QChar::surrogateToUcs4(a[i], a[i + 1]);
            ++i;
        }
        char32_t cb = b[j].unicode();
        if (b[j].isHighSurrogate() && j + 1 < b.size() && b[j + 1].isLowSurrogate()) {
            cb = QChar::surrogateToUcs4(b[j], b[j + 1]);
            ++j;
        }
        ++i;
        ++j;
        const char32_t fa = foldCase(ca);
        const char32_t fb = foldCase(cb);
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

int compareFoldedUtf8(const char* a, int aLength, const char* b, int bLength)
{
    auto pa = reinterpret_cast<const unsigned char*>(a);
    auto pb = reinterpret_cast<const unsigned char*>(b);
    const unsigned char* ea = pa + aLength;
    const unsigned char* eb = pb + bLength;
    while (pa < ea && pb < eb) {
        // Fast path for the common ASCII case.
        if (*pa < 0x80 && *pb < 0x80) {
            const char32_t fa = foldCase(*pa++);
            const char32_t fb = foldCase(*pb++);
            if (fa != fb)
                return fa < fb ? -1 : 1;
            continue;
        }
        const char32_t fa = foldCase(nextCodePoint(pa, ea));
        const char32_t fb = foldCase(nextCodePoint(pb, eb));
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    if (pa < ea)
        return 1;
    if (pb < eb)
        return -1;
    return 0;
}

} // namespace platterly::sql
