#pragma once

#include <QString>
#include <QStringView>

namespace platterly::sql {

// Unicode simple case folding, one code point to one code point, so that a folded text has
// as many characters as the original. Two texts are equal "without regard to letter case"
// when their folded forms are equal: Ärzte equals ÄRZTE, CAFÉ equals café.
char32_t foldCase(char32_t codePoint);
QString foldCase(QStringView text);

// Case-blind comparison by folded code points; returns <0, 0 or >0.
int compareFolded(QStringView a, QStringView b);
inline bool equalsFolded(QStringView a, QStringView b)
{
    return compareFolded(a, b) == 0;
}

// Same comparison on UTF-8 texts (as SQLite hands them to collations and functions).
int compareFoldedUtf8(const char* a, int aLength, const char* b, int bLength);

} // namespace platterly::sql
