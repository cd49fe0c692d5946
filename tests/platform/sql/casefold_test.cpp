#include "platform/sql/casefold.h"

#include <QList>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {

using platterly::sql::compareFolded;
using platterly::sql::compareFoldedUtf8;
using platterly::sql::equalsFolded;
using platterly::sql::foldCase;

int sign(int value)
{
    return (value > 0) - (value < 0);
}

// Compares UTF-8 texts held in heap blocks of exactly their size, so that the address
// sanitizer reports any read past the end of either text.
int compareUtf8Exactly(const QByteArray& a, const QByteArray& b)
{
    const auto copy = [](const QByteArray& bytes) {
        std::unique_ptr<char[]> block(new char[static_cast<std::size_t>(bytes.size())]);
        if (!bytes.isEmpty())
            std::memcpy(block.get(), bytes.constData(), static_cast<std::size_t>(bytes.size()));
        return block;
    };
    const auto blockA = copy(a);
    const auto blockB = copy(b);
    return compareFoldedUtf8(blockA.get(), static_cast<int>(a.size()), blockB.get(),
                             static_cast<int>(b.size()));
}

// Texts whose simple and full case foldings agree, so that Qt's folding of whole strings
// serves as an independent reference. U+FFFD against U+10400 checks that order follows code
// points, not UTF-16 units.
QList<QString> sampleTexts()
{
    const QList<QString> texts =
        QStringLiteral("|a|abc|ABD|ab|Ärzte|ÄRZTE|arzte|CAFÉ|café|ΣΟΦΟΣ|σοφος|σοφοσ|Straße|STRASSE|"
                       "\U00010400x|\U00010428X|\uFFFD|\uE000|\u212Aelvin|kelvin|İstanbul|"
                       "O'Brien 100%_|o'brien 100%_")
            .split(u'|');
    return texts;
}

// Code points of the expected results come from the Unicode case folding table (status C
// and S), not from the code under test.
TEST(CaseFold, FoldsSingleCodePointsBySimpleFolding)
{
    const std::pair<char32_t, char32_t> cases[] = {
        {U'A', U'a'},       {U'Z', U'z'},     {U'a', U'a'},        {U'@', U'@'},
        {U'[', U'['},       {U'0', U'0'},     {0xC9, 0xE9},        {0xC4, 0xE4},
        {0x3A3, 0x3C3},     {0x3C2, 0x3C3},   {0x212A, U'k'},      {0x17F, U's'},
        {0x1E9E, 0xDF},     {0xDF, 0xDF},     {0x130, 0x130},      {0x10400, 0x10428},
        {0x10428, 0x10428}, {0xD800, 0xD800}, {0x10FFFF, 0x10FFFF}};
    for (const auto& [codePoint, folded] : cases)
        EXPECT_EQ(static_cast<unsigned>(foldCase(codePoint)), static_cast<unsigned>(folded))
            << "U+" << std::hex << static_cast<unsigned>(codePoint);
}

TEST(CaseFold, FoldingAndComparisonsAgreeWithEachOtherAndWithQt)
{
    const QList<QString> samples = sampleTexts();
    for (const QString& a : samples) {
        EXPECT_EQ(foldCase(a), a.toCaseFolded()) << a.toStdString();
        for (const QString& b : samples) {
            SCOPED_TRACE(a.toStdString() + " / " + b.toStdString());
            const QList<uint> foldedA = a.toCaseFolded().toUcs4();
            const QList<uint> foldedB = b.toCaseFolded().toUcs4();
            const int expected = foldedA < foldedB ? -1 : (foldedB < foldedA ? 1 : 0);
            EXPECT_EQ(sign(compareFolded(a, b)), expected);
            EXPECT_EQ(sign(compareUtf8Exactly(a.toUtf8(), b.toUtf8())), expected);
            EXPECT_EQ(equalsFolded(a, b), expected == 0);
        }
    }
}

TEST(CaseFold, DamagedUtf8ComparesByteForByte)
{
    // An unpaired surrogate is kept as it is rather than dropped or replaced.
    const QString lone(QChar(0xD801));
    EXPECT_EQ(foldCase(lone + u'A'), lone + u'a');
    const auto compare = [](const char* a, int aLength, const char* b, int bLength) {
        return compareUtf8Exactly(QByteArray(a, aLength), QByteArray(b, bLength));
    };
    // Damage leaves the folding of the sound characters around it alone.
    EXPECT_EQ(compare("a\xFF", 2, "A\xFF", 2), 0);
    EXPECT_EQ(compare("\xE2\x82", 2, "\xE2\x82", 2), 0);
    EXPECT_NE(compare("\xC3", 1, "\xC3\xA9", 2), 0);
    // Overlong forms and encoded surrogates are damage, not other spellings of a character.
    EXPECT_NE(compare("\xC1\x81", 2, "a", 1), 0);
    EXPECT_NE(compare("\xED\xB3\x83", 3, "\xC3", 1), 0);
    // Lead bytes beyond Unicode are compared, not folded through the tables.
    EXPECT_EQ(compare("\xF7\xBF\xBF\xBF", 4, "\xF7\xBF\xBF\xBF", 4), 0);
    EXPECT_NE(compare("\xF7\xBF\xBF\xBF", 4, "\xF4\x8F\xBF\xBF", 4), 0);
    EXPECT_EQ(sign(compare("x\x80", 2, "x\xC3", 2)), -sign(compare("x\xC3", 2, "x\x80", 2)));
}

} // namespace
