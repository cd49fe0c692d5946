#pragma once

#include <QStringView>
#include <string>

namespace platterly::sql {

// The order in which names are listed: as a person reading the list expects, without regard
// to letter case or accents, so that "Äpfel" and "éclair" stand among the a's and e's rather
// than after "zebra". Each character counts by its key: a letter with accents (a canonical
// decomposition into a base letter and combining diacritics) by its base letter, case-folded;
// a combining diacritic on its own counts for nothing; a letter with a stroke (ø, ł, đ) by
// its base letter; the sharp s and the ligatures æ and œ as the two letters they are read as;
// any other character by its case-folded code point. Names with equal keys compare equal
// (callers keep their stored order).

// The key of one code point; kNoKey for a combining diacritic, which counts for nothing.
inline constexpr char32_t kNoKey = 0xFFFFFFFF;
char32_t nameOrderKey(char32_t codePoint);

// Compares two names by their keys; <0, 0 or >0. The UTF-8 form takes damaged bytes as
// characters of their own, as the case-blind comparison does.
int compareNameOrder(QStringView a, QStringView b);
int compareNameOrderUtf8(const char* a, int aLength, const char* b, int bLength);

// Appends the keys of a UTF-8 name as UTF-8: comparing such key texts byte by byte gives the
// order of compareNameOrderUtf8, so a list sorts on keys made once per name.
void appendNameOrderKeyUtf8(const char* text, qsizetype length, std::string& out);

} // namespace platterly::sql
