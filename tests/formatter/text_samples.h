// Helpers for formatter tests: UTF-8 to UTF-16 conversion and random email-like texts.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

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
        "a",
        "b",
        "x",
        "Z",
        "7",
        " ",
        " ",
        ".",
        ",",
        ";",
        ":",
        "!",
        "?",
        "\t",
        "-",
        "\xC3\xA9",         // é
        "\xE2\x82\xAC",     // €
        "\xF0\x9F\x98\x80", // 😀
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

} // namespace lintrel::test
