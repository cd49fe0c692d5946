#include "platform/sql/casefold.h"
#include "platform/sql/jet_like.h"

#include <cstring>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

using platterly::sql::JetLikePattern;

// Matches UTF-8 held in a heap block of exactly its size, so that the address sanitizer
// reports any read past the end of the text.
bool matchesUtf8Exactly(const JetLikePattern& pattern, const QByteArray& bytes)
{
    const auto size = static_cast<std::size_t>(bytes.size());
    const std::unique_ptr<char[]> block(new char[size]);
    if (size > 0)
        std::memcpy(block.get(), bytes.constData(), size);
    return pattern.matchesUtf8(block.get(), static_cast<int>(size));
}

using Texts = std::initializer_list<const char16_t*>;

// Checks that a pattern matches each of `matching` and none of `notMatching`, both on UTF-16
// and on UTF-8 text.
void expectLike(const char16_t* patternText, Texts matching, Texts notMatching)
{
    const QString pattern = QString::fromUtf16(patternText);
    QString error;
    const auto compiled = JetLikePattern::compile(pattern, &error);
    ASSERT_TRUE(compiled.has_value()) << pattern.toStdString() << ": " << error.toStdString();
    for (const bool expected : {true, false}) {
        for (const char16_t* textData : expected ? matching : notMatching) {
            const QString text = QString::fromUtf16(textData);
            SCOPED_TRACE("'" + text.toStdString() + "' LIKE '" + pattern.toStdString() + "'");
            EXPECT_EQ(compiled->matches(text), expected);
            EXPECT_EQ(matchesUtf8Exactly(*compiled, text.toUtf8()), expected);
        }
    }
}

TEST(JetLikePattern, WildCharactersListsAndRanges)
{
    expectLike(u"a?c", {u"abc", u"a?c"}, {u"ac", u"abbc"});
    expectLike(u"#", {u"0", u"9"}, {u"a", u"", u"/", u":", u"\u0663", u"\uFF15", u"#"});
    expectLike(u"Disc ##", {u"disc 07", u"DISC 90"}, {u"disc 7", u"disc 007"});
    expectLike(u"[a-cx-z]", {u"b", u"Y"}, {u"m", u"-"});
    expectLike(u"[!a-c]", {u"d", u"-", u"é"}, {u"a", u"B", u""});
    expectLike(u"[a-Z]", {u"m", u"M"}, {u"_"});
    // Wild characters, '!' and '-' stand for themselves where they cannot mean more.
    expectLike(u"[*][?][#]", {u"*?#"}, {u"a?#", u"*x#", u"*?1"});
    expectLike(u"a[[]b", {u"a[b"}, {u"ab", u"a[[]b"});
    expectLike(u"[-a][a-][!-a][!!][a!]", {u"-abx!", u"A-b#a"},
               {u"b-bxa", u"-bbx!", u"-a-x!", u"-ab!!", u"-abxb"});
    // A ']' outside brackets is itself; "[]" matches the empty run.
    expectLike(u"a]", {u"a]", u"A]"}, {u"a"});
    expectLike(u"[]]", {u"]"}, {u"", u"[]]"});
    expectLike(u"a[]b", {u"ab"}, {u"a b", u"a[]b"});
    // Characters that mean something in SQL mean nothing here.
    expectLike(u"100%", {u"100%"}, {u"1000", u"100"});
    expectLike(u"a_b", {u"a_b"}, {u"axb"});
    expectLike(u"O'Brien*", {u"o'brien live"}, {u"OBrien"});
}

TEST(JetLikePattern, IgnoresLetterCaseBeyondAscii)
{
    expectLike(u"*é*", {u"CAFÉ", u"café"}, {u"cafe"});
    expectLike(u"σοφος", {u"ΣΟΦΟΣ", u"σοφοσ"}, {u"σοφο"});
    expectLike(u"[σ]", {u"ς", u"Σ", u"σ"}, {u"ο"});
    expectLike(u"[!α-ω]", {u"a"}, {u"Σ"});
    expectLike(u"straße", {u"STRAßE"}, {u"STRASSE"});
    expectLike(u"k", {u"\u212A", u"K"}, {});
    expectLike(u"[\U00010400-\U0001040F]", {u"\U00010428", u"\U00010401"}, {u"\U00010410"});
}

// Every character that folds into ASCII, found from the Unicode tables rather than listed,
// must still be found by a star looking for that ASCII letter.
TEST(JetLikePattern, StarFindsCharactersThatFoldIntoAscii)
{
    int found = 0;
    for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
        const char32_t folded = QChar::toCaseFolded(c);
        if (folded >= 0x80)
            continue;
        ++found;
        const QString text = u"x"_s + QString::fromUcs4(&c, 1);
        const auto pattern = JetLikePattern::compile(u"*%1*"_s.arg(QChar(folded)));
        EXPECT_TRUE(pattern->matches(text)) << static_cast<unsigned>(c);
        EXPECT_TRUE(matchesUtf8Exactly(*pattern, text.toUtf8())) << static_cast<unsigned>(c);
    }
    EXPECT_GT(found, 0);
}

TEST(JetLikePattern, RefusesBrokenPatterns)
{
    for (const char16_t* broken :
         {u"[", u"a[bc", u"[!", u"[a-c", u"*[*", u"[c-a]", u"[Z-a]", u"[é-A]", u"x[]["}) {
        SCOPED_TRACE(QString::fromUtf16(broken).toStdString());
        QString error;
        EXPECT_FALSE(JetLikePattern::compile(QString::fromUtf16(broken), &error).has_value());
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_FALSE(JetLikePattern::compile(u"[a").has_value()); // no error text asked for
}

TEST(JetLikePattern, DamagedUtf8CountsEachBadByteAsOneCharacter)
{
    const auto like = [](const char16_t* pattern, const char* bytes, int length) {
        return matchesUtf8Exactly(*JetLikePattern::compile(QString::fromUtf16(pattern)),
                                  QByteArray(bytes, length));
    };
    EXPECT_TRUE(like(u"??", "\xE2\x82", 2)); // sequence cut short by the end
    EXPECT_TRUE(like(u"a?!", "a\xFF!", 3));
    EXPECT_FALSE(like(u"*/*", "\xC0\xAF", 2));         // overlong '/' stays two bad bytes
    EXPECT_TRUE(like(u"???", "\xED\xA0\x80", 3));      // an encoded surrogate
    EXPECT_TRUE(like(u"????", "\xF4\x90\x80\x80", 4)); // above U+10FFFF
    EXPECT_FALSE(like(u"[a-z]", "\xFF", 1));
    EXPECT_FALSE(like(u"é", "\xC3\xA9", 1)); // é cut by the length given
    EXPECT_TRUE(like(u"?", "\xC3\xA9", 2));
}

// Well-formed multi-byte sequences hold no ASCII byte, so in any byte string, damaged or
// not, "*a*" must find exactly the texts that hold the byte 'a' or 'A'.
TEST(JetLikePattern, AsciiKeepsItsMeaningInRandomBytes)
{
    const auto pattern = JetLikePattern::compile(u"*a*");
    ASSERT_TRUE(pattern.has_value());
    std::mt19937 random(7);
    const char interesting[] = {'a', 'A', 'x', '\x80', '\xBF', '\xC3', '\xE2', '\xF0', '\xFF'};
    for (int round = 0; round < 5000; ++round) {
        QByteArray bytes;
        const int length = static_cast<int>(random() % 10);
        for (int i = 0; i < length; ++i)
            bytes.append(random() % 2 ? interesting[random() % sizeof interesting]
                                      : static_cast<char>(random() % 256));
        const bool holdsA = bytes.contains('a') || bytes.contains('A');
        ASSERT_EQ(matchesUtf8Exactly(*pattern, bytes), holdsA) << bytes.toHex().toStdString();
    }
}

// A deliberately plain matcher to check the compiled one against: it walks the pattern text
// itself and tries every split for a star. Exponential, but the inputs here are short. Stars,
// characters outside the BMP and the literal every match must hold are checked against it
// on random input below rather than case by case.
class ReferenceLike
{
public:
    // Empty when the pattern has a '[' without ']' or a descending range.
    static std::optional<bool> like(const std::u32string& pattern, const std::u32string& text)
    {
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            if (pattern[i] != U'[')
                continue;
            const std::size_t close = pattern.find(U']', i + 1);
            if (close == std::u32string::npos)
                return std::nullopt;
            for (const auto& [first, last] : ranges(pattern.substr(i + 1, close - i - 1)))
                if (fold(first) > fold(last))
                    return std::nullopt;
            i = close;
        }
        return match(pattern, 0, text, 0);
    }

private:
    using Range = std::pair<char32_t, char32_t>; // first and last character
    static char32_t fold(char32_t c) { return QChar::toCaseFolded(c); }

    // The ranges of a list body; a leading '!' is dropped, and a '-' with a character on
    // each side joins them.
    static std::vector<Range> ranges(std::u32string body)
    {
        if (!body.empty() && body.front() == U'!')
            body.erase(0, 1);
        std::vector<Range> result;
        for (std::size_t k = 0; k < body.size(); ++k) {
            if (k + 2 < body.size() && body[k + 1] == U'-') {
                result.push_back({body[k], body[k + 2]});
                k += 2;
            } else {
                result.push_back({body[k], body[k]});
            }
        }
        return result;
    }

    static bool match(const std::u32string& p, std::size_t pi, const std::u32string& t,
                      std::size_t ti)
    {
        if (pi == p.size())
            return ti == t.size();
        if (p[pi] == U'*') {
            for (std::size_t skip = ti; skip <= t.size(); ++skip)
                if (match(p, pi + 1, t, skip))
                    return true;
            return false;
        }
        if (p[pi] == U'[') {
            const std::size_t close = p.find(U']', pi + 1);
            const std::u32string body = p.substr(pi + 1, close - pi - 1);
            if (body.empty())
                return match(p, close + 1, t, ti);
            if (ti == t.size())
                return false;
            bool inList = false;
            for (const auto& [first, last] : ranges(body))
                inList = inList || (fold(first) <= fold(t[ti]) && fold(t[ti]) <= fold(last));
            const bool negated = body.front() == U'!';
            return inList != negated && match(p, close + 1, t, ti + 1);
        }
        if (ti == t.size())
            return false;
        const bool accepted = p[pi] == U'?'   ? true
                              : p[pi] == U'#' ? (t[ti] >= U'0' && t[ti] <= U'9')
                                              : fold(p[pi]) == fold(t[ti]);
        return accepted && match(p, pi + 1, t, ti + 1);
    }
};

// Random names and patterns over a small alphabet that mixes case, accents, Greek sigmas,
// a character outside the BMP and the characters that mean something in a pattern.
class PatternGenerator
{
public:
    std::u32string name()
    {
        std::u32string result;
        for (int length = below(9); length > 0; --length)
            result.push_back(letter());
        return result;
    }

    // A pattern of random pieces: often broken, rarely matching. A lone '[', ']' or '-'
    // comes up now and then.
    std::u32string randomPattern()
    {
        std::u32string result;
        for (int pieces = below(7); pieces > 0; --pieces) {
            const int kind = below(10);
            if (kind < 4)
                result += U"*?#[]-"[below(6)];
            else if (kind < 6)
                result += list();
            else
                result += letter();
        }
        return result;
    }

    // A pattern built from a name so that it matches more often than not.
    std::u32string patternFor(const std::u32string& name)
    {
        std::u32string result;
        for (std::size_t i = 0; i < name.size(); ++i) {
            const char32_t c = name[i];
            const int kind = below(10);
            if (kind == 0) {
                result += U'?';
            } else if (kind == 1 && c >= U'0' && c <= U'9') {
                result += U'#';
            } else if (kind == 2) {
                result += {U'[', c, letter(), U']'};
            } else if (kind == 3) {
                result += {U'[', U'!', letter(), U']'};
            } else if (kind == 4) {
                result += U'*'; // standing for this character and up to two more
                i += static_cast<std::size_t>(below(3));
            } else {
                result += kind % 2 ? QChar::toUpper(c) : QChar::toLower(c);
            }
        }
        if (below(3) == 0)
            result += U'*';
        return result;
    }

private:
    static constexpr std::u32string_view kLetters = U"aAbéÉ.%07σΣς😀";

    int below(int n) { return static_cast<int>(m_random() % static_cast<unsigned>(n)); }
    char32_t letter() { return kLetters[static_cast<std::size_t>(below(kLetters.size()))]; }

    std::u32string list()
    {
        std::u32string result = below(3) == 0 ? U"[!" : U"[";
        for (int items = below(4); items > 0; --items) {
            const int kind = below(6);
            if (kind == 0)
                result += {letter(), U'-', letter()};
            else if (kind == 1)
                result += U"-*?#[!"[below(6)];
            else
                result += letter();
        }
        return result + U']';
    }

    std::mt19937 m_random{20240611};
};

QString toQString(const std::u32string& text)
{
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

TEST(JetLikePattern, AgreesWithReferenceOnRandomInput)
{
    PatternGenerator generator;
    int valid = 0;
    int matched = 0;
    for (int round = 0; round < 20000; ++round) {
        const std::u32string name = generator.name();
        const std::u32string patternText =
            round % 2 ? generator.randomPattern() : generator.patternFor(name);
        const QString text = toQString(name);
        const QString pattern = toQString(patternText);
        SCOPED_TRACE("'" + text.toStdString() + "' LIKE '" + pattern.toStdString() + "'");

        const std::optional<bool> expected = ReferenceLike::like(patternText, name);
        const auto compiled = JetLikePattern::compile(pattern);
        ASSERT_EQ(compiled.has_value(), expected.has_value());
        if (!compiled)
            continue;
        ++valid;
        const bool result = compiled->matches(text);
        ASSERT_EQ(result, *expected);
        ASSERT_EQ(matchesUtf8Exactly(*compiled, text.toUtf8()), result);
        if (result) {
            ++matched;
            ASSERT_TRUE(platterly::sql::foldCase(text).contains(compiled->requiredLiteral()))
                << "required literal '" << compiled->requiredLiteral().toStdString() << "'";
        }
    }
    // The generator must exercise all three outcomes, or the checks above prove little.
    EXPECT_GT(valid, 20000 / 2);
    EXPECT_LT(valid, 20000);
    EXPECT_GT(matched, 20000 / 5);
    EXPECT_LT(matched, valid);
}

} // namespace
