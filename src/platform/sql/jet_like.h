#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <vector>

namespace platterly::sql {

// A compiled pattern of the Jet LIKE operator, matched without regard to letter case
// (Unicode simple case folding, see casefold.h):
//   *        any run of characters, the empty run included
//   ?        exactly one character (one Unicode code point)
//   #        exactly one decimal digit 0-9
//   [list]   one character of the list; a list may hold ranges such as a-c
//   [!list]  one character not in the list
// Every other character, '%' and '_' included, stands for itself. Inside brackets '*', '?',
// '#' and '[' are literal; a '-' first or last in a list is literal; a ']' outside brackets
// is literal. The whole text must match, not just a part of it.
class JetLikePattern
{
public:
    // Returns nothing for a pattern Jet refuses ("Invalid pattern string"): a '[' without
    // its ']', or a range whose ends are in descending order. `error` then says why.
    static std::optional<JetLikePattern> compile(QStringView pattern, QString* error = nullptr);

    bool matches(QStringView text) const;
    // Same test on UTF-8 text, as SQLite hands values to functions.
    bool matchesUtf8(const char* text, int length) const;

    // The longest run of literal characters that every matching text contains, case-folded
    // ("*ab?cde*" gives "cde"); empty when the pattern has none. Used to find candidates fast.
    const QString& requiredLiteral() const { return m_requiredLiteral; }
    // True when the pattern is one or more '*' only, and so matches every text.
    bool matchesEverything() const { return m_matchesEverything; }

private:
    // Inclusive range of case-folded code points; a single list character has lo == hi.
    struct FoldedRange
    {
        char32_t lo;
        char32_t hi;
    };

    // One step of the compiled pattern. Every kind but Star consumes exactly one character,
    // which is what lets the matcher backtrack to the last star only.
    struct Token
    {
        enum class Kind : std::uint8_t
        {
            Star,
            AnyChar,
            Digit,
            Literal,
            List
        };
        Kind kind = Kind::Literal;
        bool negated = false; // List: "[!...]"
        char32_t folded = 0;  // Literal: the folded character
        // Literal: when only these two ASCII units can match it (its folded and upper-case
        // forms), a star before it may skip straight to the next of them; 0 when not.
        char16_t scanLower = 0;
        char16_t scanUpper = 0;
        std::uint32_t firstRange = 0; // List: its ranges in m_ranges
        std::uint32_t rangeCount = 0;
    };

    JetLikePattern() = default;

    template <typename Cursor>
    bool matchWith(Cursor text) const;
    bool accepts(const Token& token, char32_t codePoint) const;
    bool acceptsOther(const Token& token, char32_t codePoint) const;

    std::vector<Token> m_tokens;
    std::vector<FoldedRange> m_ranges;
    QString m_requiredLiteral;
    bool m_matchesEverything = false;
};

} // namespace platterly::sql
