#include "name_generator.h"

#include <array>
#include <cctype>
#include <string_view>

namespace platterly::bench {

namespace {

constexpr std::array<std::string_view, 48> kSyllables = {
    "re", "a",   "new", "sh",   "ing", "lo",  "ta",   "mar", "pho", "to",   "song", "back",
    "up", "doc", "ver", "sion", "al",  "ex",  "port", "in",  "de",  "sun",  "set",  "mo",
    "ri", "ka",  "ne",  "the",  "pa",  "li",  "ko",   "dra", "vel", "ston", "ber",  "cla",
    "mi", "nu",  "o",   "u",    "e",   "est", "ter",  "fi",  "le",  "tra",  "ck",   "mix"};

// UTF-8 words with a letter outside ASCII.
constexpr std::array<std::string_view, 6> kAccentedWords = {"caf\xc3\xa9",
                                                            "m\xc3\xbcller",
                                                            "sm\xc3\xb8rrebr\xc3\xb8"
                                                            "d",
                                                            "ni\xc3\xb1o",
                                                            "gar\xc3\xa7on",
                                                            "\xc3\x89t\xc3\xa9"};

struct WeightedExtension
{
    std::string_view text;
    int percent;
};

// 25 extensions whose shares add up to 100.
constexpr std::array<WeightedExtension, 25> kExtensions = {{
    {"jpg", 18}, {"mp3", 12}, {"png", 8},  {"txt", 8}, {"html", 6}, {"pdf", 6}, {"doc", 4},
    {"zip", 3},  {"gif", 3},  {"docx", 3}, {"wav", 3}, {"mp4", 3},  {"dll", 3}, {"log", 3},
    {"avi", 2},  {"xls", 2},  {"flac", 2}, {"ogg", 2}, {"exe", 2},  {"ini", 2}, {"htm", 1},
    {"mkv", 1},  {"iso", 1},  {"rar", 1},  {"7z", 1},
}};

// Stems overshoot their target by half a word on average; with the extension, names come to
// about 16 bytes.
constexpr std::uint32_t kShortestStemTarget = 4;
constexpr std::uint32_t kStemTargetSpread = 13; // targets 4..16 characters

std::string upperCased(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

std::string NameGenerator::word()
{
    if (m_random.percent(10))
        return std::to_string(m_random.below(m_random.percent(50) ? 100 : 10000));
    if (m_random.below(1000) < 12)
        return std::string(kAccentedWords[m_random.below(kAccentedWords.size())]);
    std::string text;
    const std::uint32_t syllables = 1 + m_random.below(3);
    for (std::uint32_t i = 0; i < syllables; ++i)
        text += kSyllables[m_random.below(kSyllables.size())];
    return text;
}

std::string NameGenerator::stem()
{
    const std::size_t target = kShortestStemTarget + m_random.below(kStemTargetSpread);
    std::string text;
    while (text.size() < target) {
        std::string next = word();
        const std::uint32_t style = m_random.below(100);
        if (style < 3)
            next = upperCased(next);
        else if (style < 35 || (!text.empty() && style < 60))
            next[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(next[0])));
        if (!text.empty()) {
            // Between words: a blank, an underscore, a hyphen, or nothing (camel case).
            const std::uint32_t separator = m_random.below(10);
            if (separator < 3)
                text += ' ';
            else if (separator < 5)
                text += '_';
            else if (separator < 6)
                text += '-';
        }
        text += next;
    }
    return text;
}

std::string NameGenerator::extension()
{
    std::uint32_t pick = m_random.below(100);
    for (const WeightedExtension& candidate : kExtensions) {
        if (pick < static_cast<std::uint32_t>(candidate.percent)) {
            const std::string text(candidate.text);
            return m_random.percent(5) ? upperCased(text) : text;
        }
        pick -= static_cast<std::uint32_t>(candidate.percent);
    }
    return std::string(kExtensions.front().text);
}

std::string NameGenerator::fileName()
{
    std::string name = stem();
    if (m_random.percent(8))
        return name; // no dot: the catalogue counts such names with the folders
    return name + '.' + extension();
}

std::string NameGenerator::folderName()
{
    return stem();
}

} // namespace platterly::bench
