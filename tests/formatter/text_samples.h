// Helpers for formatter tests: UTF-8 to UTF-16 conversion, clusters, random email-like texts.
#pragma once

#include "formatter/unicode_text.h"

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel::test {

// Converts valid UTF-8 to UTF-16 (surrogate pairs above U+FFFF).
inline std::u16string toUtf16(std::string_view utf8)
{
    std::u16string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        if (cp >= 0x10000) {
            out.push_back(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
        i += size_t(len);
    }
    return out;
}

// Random valid UTF-8 made of the pieces that matter to counting and wrapping: letters,
// every separator and break character, TAB, multi-byte characters and all three line breaks.
// `breakWeight` makes line breaks rarer (higher) or more frequent (lower).
inline std::string randomText(std::mt19937_64 &rng, size_t codePoints, int breakWeight = 12)
{
    static constexpr std::string_view pieces[] = {
        "a", "b", "x", "Z", "7", " ", " ", ".", ",", ";", ":", "!", "?", "\t", "-",
        "\xC3\xA9",         // é
        "\xE2\x82\xAC",     // €
        "\xF0\x9F\x98\x80", // 😀
        // Pieces that join or shape clusters, and other scripts' spaces and punctuation.
        "\xCC\x81",         // combining acute accent
        "\xE2\x80\x8D",     // zero width joiner
        "\xEF\xB8\x8F",     // emoji presentation selector
        "\xF0\x9F\x87\xA9", // regional indicator D
        "\xD8\x80",         // Arabic number sign, prepended to what follows
        "\xE1\x84\x80",     // Hangul leading consonant
        "\xE1\x85\xA1",     // Hangul vowel
        "\xE6\x97\xA5",     // 日
        "\xE3\x80\x80",     // ideographic space
        "\xE3\x80\x82",     // ideographic full stop
        "\xC2\xA0",         // no-break space
        "\xEF\xBC\x9F",     // full-width question mark
    };
    static constexpr std::string_view breaks[] = {"\r\n", "\n", "\r"};
    std::string out;
    std::uniform_int_distribution<int> pick(0, int(std::size(pieces)) + breakWeight - 1);
    for (size_t i = 0; i < codePoints; ++i) {
        const int p = pick(rng);
        if (p < int(std::size(pieces)))
            out += pieces[p];
        else if (p == int(std::size(pieces)))
            out += breaks[rng() % 3];
        else
            out += char('a' + rng() % 26);
    }
    return out;
}

// One extended grapheme cluster of a text, as the reference walkers see it.
struct Cluster
{
    std::string text;
    uint8_t flags;  // unicode::ClassFlags of its first code point
    uint32_t width; // screen columns
    bool lineEnd;   // CR, LF or CR LF
};

// Splits valid UTF-8 into clusters, code point by code point.
inline std::vector<Cluster> splitClusters(std::string_view utf8)
{
    std::vector<Cluster> out;
    unicode::ClusterState state;
    for (size_t i = 0; i < utf8.size();) {
        const unicode::Decoded d = unicode::decode(utf8.data() + i, utf8.size() - i);
        uint32_t gain = 0;
        if (unicode::advance(state, d.cp, gain))
            out.push_back({"", state.flags, 0, d.cp == '\r' || d.cp == '\n'});
        out.back().text.append(utf8.substr(i, d.length));
        out.back().width += gain;
        i += d.length;
    }
    return out;
}

} // namespace lintrel::test
