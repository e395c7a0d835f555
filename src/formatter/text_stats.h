// Text statistics: words, sentences, paragraphs, lines, characters, longest line.
#pragma once

#include <cstdint>
#include <string_view>

namespace lintrel {

struct TextStats
{
    int64_t words = 0, sentences = 0, paragraphs = 0, lines = 0, characters = 0, longestLine = 0;
    bool operator==(const TextStats &) const = default;
};

TextStats computeTextStats(std::string_view utf8);
TextStats computeTextStats(std::u16string_view utf16);

} // namespace lintrel
