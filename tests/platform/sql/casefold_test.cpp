#include "platform/sql/casefold.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <utility>

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
    return {QString(),
            QStringLiteral("a"),
            QStringLiteral("abc"),
            QStringLiteral("ABD"),
            QStringLiteral("ab"),
            QStringLiteral("Ärzte"),
            QStringLiteral("ÄRZTE"),
            QStringLiteral("arzte"),
            QStringLiteral("CAFÉ"),
            QStringLiteral("café"),
            QStringLiteral("ΣΟΦΟΣ"),
            QStringLiteral("σοφος"),
            QStringLiteral("σοφοσ"),
            QStringLiteral("Straße"),
            QStringLiteral("STRASSE"),
            QStringLiteral("\U00010400x"),
            QStringLiteral("\U00010428X"),
            QStringLiteral("\uFFFD"),
            QStringLiteral("\uE000"),
            QStringLiteral("\u212Aelvin"),
            QStringLiteral("kelvin"),
            QStringLiteral("İstanbul"),
            QStringLiteral("O'Brien 100%_"),
            QStringLiteral("o'brien 100%_")};
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

TEST(CaseFold, AsciiShortcutAgreesWithUnicodeTables)
{
    for (char32_t c = 0; c < 0x80; ++c)
        EXPECT_EQ(static_cast<unsigned>(foldCase(c)), static_cast<unsigned>(QChar::toCaseFolded(c)))
            << static_cast<unsigned>(c);
}

TEST(CaseFold, FoldedTextEqualsQtFoldingAndKeepsItsLength)
{
    for (const QString& text : sampleTexts()) {
        const QString folded = foldCase(text);
        EXPECT_EQ(folded, text.toCaseFolded()) << text.toStdString();
        EXPECT_EQ(folded.size(), text.size()) << text.toStdString();
    }
    // An unpaired surrogate is kept as it is rather than dropped or replaced.
    const QString lone(QChar(0xD801));
    EXPECT_EQ(foldCase(lone + u'A'), lone + u'a');
}

TEST(CaseFold, ComparisonsAgreeWithEachOtherAndWithQt)
{
    const QList<QString> samples = sampleTexts();
    for (const QString& a : samples) {
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
