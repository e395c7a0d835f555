// Field values for news records: the bytes that cannot travel, and the Windows-1252 fallback.
#include "news_content.h"

#include <array>
#include <cstdint>

namespace lintrel::newsd {

namespace {

// Code points of Windows-1252 bytes 0x80 to 0x9F (0 where the byte is unassigned).
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Decodes strict UTF-8 (no overlongs, no surrogates); nullopt when the bytes are not UTF-8.
std::optional<std::u32string> decodeUtf8(std::string_view s)
{
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int extra = b < 0x80             ? 0
                          : (b & 0xE0) == 0xC0 ? 1
                          : (b & 0xF0) == 0xE0 ? 2
                          : (b & 0xF8) == 0xF0 ? 3
                                               : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size())
            return std::nullopt;
        char32_t cp = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80)
                return std::nullopt;
            cp = (cp << 6) | (c & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return std::nullopt;
        out += cp;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::optional<char> cp1252Byte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i)
        if (kCp1252High[i] != 0 && kCp1252High[i] == cp)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}

bool travels(std::string_view value)
{
    for (const char c : value) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '^' || b == 0xAF || b < 0x20 || b == 0x7F)
            return false;
    }
    return true;
}

} // namespace

std::optional<std::string> recordFieldValue(std::string_view value)
{
    if (travels(value))
        return std::string(value);
    const auto codePoints = decodeUtf8(value);
    if (!codePoints)
        return std::nullopt;
    std::string out;
    for (const char32_t cp : *codePoints) {
        const auto byte = cp1252Byte(cp);
        if (!byte)
            return std::nullopt;
        out += *byte;
    }
    // The program would take a result that is itself valid UTF-8 for UTF-8.
    if (!travels(out) || decodeUtf8(out))
        return std::nullopt;
    return out;
}

} // namespace lintrel::newsd
