#include "platform/sql/jet_like.h"

#include "platform/sql/casefold.h"
#include "platform/sql/utf8.h"

#include <cstring>

namespace platterly::sql {

namespace {

// Stands for a byte that does not begin a well-formed UTF-8 sequence. It lies outside
// Unicode, so only '?', '*' and "[!...]" can match it, and it is never folded.
constexpr char32_t kMalformedByte = 0x110000;

// Folding runs for nearly every character of every row, so ASCII is folded inline and only
// other characters go to the Unicode tables.
inline char32_t foldFast(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    if (c > 0x10FFFF)
        return c;
    return foldCase(c);
}

// Reads code points from UTF-16; an unpaired surrogate counts as one character of its own.
class Utf16Cursor
{
public:
    explicit Utf16Cursor(QStringView text) : m_pos(text.utf16()), m_end(m_pos + text.size()) {}

    bool atEnd() const { return m_pos == m_end; }

    void skipTo(char16_t a, char16_t b)
    {
        while (m_pos != m_end && *m_pos != a && *m_pos != b)
            ++m_pos;
    }

    char32_t next()
    {
        const char16_t unit = *m_pos++;
        if (QChar::isHighSurrogate(unit) && m_pos != m_end && QChar::isLowSurrogate(*m_pos))
            return QChar::surrogateToUcs4(unit, *m_pos++);
        return unit;
    }

private:
    const char16_t* m_pos;
    const char16_t* m_end;
};

// Reads code points from UTF-8 without copying. Overlong forms, encoded surrogates, values
// above U+10FFFF and truncated sequences are not decoded: their first byte becomes one
// kMalformedByte character and reading resumes at the next byte.
class Utf8Cursor
{
public:
    Utf8Cursor(const unsigned char* begin, const unsigned char* end) : m_pos(begin), m_end(end) {}

    bool atEnd() const { return m_pos == m_end; }

    // Stops at the next of two ASCII bytes. An ASCII byte is never part of another
    // character, not even in damaged text, so this always stops on a character boundary.
    void skipTo(char16_t a, char16_t b)
    {
        while (m_pos != m_end && *m_pos != a && *m_pos != b)
            ++m_pos;
    }

    char32_t next()
    {
        const unsigned char lead = *m_pos;
        if (lead < 0x80) {
            ++m_pos;
            return lead;
        }
        return nextMultiByte();
    }

private:
    char32_t nextMultiByte()
    {
        char32_t cp = 0;
        const int length = decodeUtf8Sequence(m_pos, m_end, &cp);
        if (length == 0) {
            ++m_pos;
            return kMalformedByte;
        }
        m_pos += length;
        return cp;
    }

    const unsigned char* m_pos;
    const unsigned char* m_end;
};

std::vector<char32_t> toCodePoints(QStringView text)
{
    std::vector<char32_t> codePoints;
    codePoints.reserve(static_cast<std::size_t>(text.size()));
    Utf16Cursor cursor(text);
    while (!cursor.atEnd())
        codePoints.push_back(cursor.next());
    return codePoints;
}

QString fromCodePoint(char32_t c)
{
    return QString::fromUcs4(&c, 1);
}

} // namespace

std::optional<JetLikePattern> JetLikePattern::compile(QStringView pattern, QString* error)
{
    const std::vector<char32_t> source = toCodePoints(pattern);
    const std::size_t n = source.size();
    JetLikePattern compiled;

    const auto fail = [error](const QString& why) -> std::optional<JetLikePattern> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const auto push = [&compiled](Token::Kind kind) -> Token& {
        compiled.m_tokens.push_back(Token{});
        compiled.m_tokens.back().kind = kind;
        return compiled.m_tokens.back();
    };

    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = source[i];
        if (c == U'*') {
            // Several stars in a row match what one star matches; one token keeps the
            // backtracking simple.
            if (compiled.m_tokens.empty() || compiled.m_tokens.back().kind != Token::Kind::Star)
                push(Token::Kind::Star);
        } else if (c == U'?') {
            push(Token::Kind::AnyChar);
        } else if (c == U'#') {
            push(Token::Kind::Digit);
        } else if (c == U'[') {
            std::size_t first = i + 1;
            const bool negated = first < n && source[first] == U'!';
            if (negated)
                ++first;
            std::size_t close = first;
            while (close < n && source[close] != U']')
                ++close;
            if (close == n)
                return fail(QStringLiteral("the '[' at position %1 has no closing ']'").arg(i + 1));
            // "[]" stands for the empty run, as in Visual Basic: it adds nothing to match.
            if (close == first && !negated) {
                i = close;
                continue;
            }
            Token& list = push(Token::Kind::List);
            list.negated = negated;
            list.firstRange = static_cast<std::uint32_t>(compiled.m_ranges.size());
            for (std::size_t k = first; k < close;) {
                // A '-' between two characters makes a range; first or last it is itself.
                if (k + 2 < close && source[k + 1] == U'-') {
                    const char32_t lo = foldFast(source[k]);
                    const char32_t hi = foldFast(source[k + 2]);
                    if (lo > hi)
                        return fail(
                            QStringLiteral("the range %1-%2 is in descending order")
                                .arg(fromCodePoint(source[k]), fromCodePoint(source[k + 2])));
                    compiled.m_ranges.push_back({lo, hi});
                    k += 3;
                } else {
                    const char32_t folded = foldFast(source[k]);
                    compiled.m_ranges.push_back({folded, folded});
                    ++k;
                }
            }
            list.rangeCount =
                static_cast<std::uint32_t>(compiled.m_ranges.size()) - list.firstRange;
            i = close;
        } else {
            Token& literal = push(Token::Kind::Literal);
            literal.folded = foldFast(c);
            // Of all other characters only KELVIN SIGN and LONG S fold into ASCII, to 'k'
            // and 's'; every other ASCII literal is matched by its two ASCII forms alone.
            if (literal.folded < 0x80 && literal.folded != U'k' && literal.folded != U's') {
                literal.scanLower = static_cast<char16_t>(literal.folded);
                literal.scanUpper = static_cast<char16_t>(QChar::toUpper(literal.folded));
            }
        }
    }

    // The longest run of literal tokens; every match holds those characters side by side.
    std::u32string run;
    std::u32string longest;
    for (const Token& token : compiled.m_tokens) {
        if (token.kind == Token::Kind::Literal) {
            run.push_back(token.folded);
            if (run.size() > longest.size())
                longest = run;
        } else {
            run.clear();
        }
    }
    compiled.m_requiredLiteral = QString::fromUcs4(longest.data(), longest.size());
    compiled.m_matchesEverything =
        compiled.m_tokens.size() == 1 && compiled.m_tokens.front().kind == Token::Kind::Star;
    return compiled;
}

// Literals are by far the most common token, so they are tested inline and the rest in
// one out-of-line function.
inline bool JetLikePattern::accepts(const Token& token, char32_t codePoint) const
{
    if (token.kind == Token::Kind::Literal)
        return foldFast(codePoint) == token.folded;
    return acceptsOther(token, codePoint);
}

bool JetLikePattern::acceptsOther(const Token& token, char32_t codePoint) const
{
    switch (token.kind) {
    case Token::Kind::AnyChar:
        return true;
    case Token::Kind::Digit:
        return codePoint >= U'0' && codePoint <= U'9';
    case Token::Kind::Literal:
        return foldFast(codePoint) == token.folded;
    case Token::Kind::List: {
        const char32_t folded = foldFast(codePoint);
        const FoldedRange* range = m_ranges.data() + token.firstRange;
        const FoldedRange* end = range + token.rangeCount;
        bool inList = false;
        for (; range != end && !inList; ++range)
            inList = range->lo <= folded && folded <= range->hi;
        return inList != token.negated;
    }
    case Token::Kind::Star:
        break;
    }
    return false;
}

// The classic wildcard algorithm: match tokens one character each; on a mismatch let the
// most recent star swallow one more character and retry what follows it. Since every token
// but a star takes exactly one character, returning to the last star alone finds a match
// whenever there is one, and the work stays near linear for the usual "*abc*" patterns.
template <typename Cursor>
bool JetLikePattern::matchWith(Cursor text) const
{
    const Token* token = m_tokens.data();
    const Token* const tokensEnd = token + m_tokens.size();
    const Token* afterStar = nullptr;
    Cursor starText = text;

    for (;;) {
        if (token != tokensEnd && token->kind == Token::Kind::Star) {
            ++token;
            if (token == tokensEnd)
                return true; // a final star takes whatever text is left
            afterStar = token;
            if (afterStar->scanLower != 0)
                text.skipTo(afterStar->scanLower, afterStar->scanUpper);
            starText = text;
            continue;
        }
        if (text.atEnd())
            return token == tokensEnd;
        if (token != tokensEnd && accepts(*token, text.next())) {
            ++token;
            continue;
        }
        if (!afterStar)
            return false;
        if (token != afterStar) {
            // starText cannot be at its end here: at least one character followed it.
            starText.next();
            text = starText;
            token = afterStar;
        }
        // Otherwise the character that failed was the first after the star and is already
        // read past: the star takes it without decoding it a second time.
        if (afterStar->scanLower != 0)
            text.skipTo(afterStar->scanLower, afterStar->scanUpper);
        starText = text;
    }
}

bool JetLikePattern::matches(QStringView text) const
{
    return matchWith(Utf16Cursor(text));
}

bool JetLikePattern::matchesUtf8(const char* text, int length) const
{
    // A negative length means a NUL-terminated text, as in SQLite's own interfaces.
    const std::size_t size = text == nullptr ? 0
                             : length < 0    ? std::strlen(text)
                                             : static_cast<std::size_t>(length);
    const auto* begin = reinterpret_cast<const unsigned char*>(text);
    return matchWith(Utf8Cursor(begin, begin + size));
}

} // namespace platterly::sql
