#pragma once

#include <QString>
#include <QStringView>
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

    struct Token;

private:
    JetLikePattern() = default;

    std::vector<Token> m_tokens;
    QString m_requiredLiteral;
    bool m_matchesEverything = false;
};

} // namespace platterly::sql
