// Text statistics: the reference scan and the choice of the block-parallel kernel.
#include "formatter/text_stats.h"

#include <algorithm>

namespace lintrel {

namespace {

enum class CharClass { Word, Separator, SentenceEnd, LineEnd };

CharClass classify(char32_t u)
{
    switch (u) {
    case '\n':
    case '\r':
        return CharClass::LineEnd;
    case '!':
    case '.':
    case '?':
        return CharClass::SentenceEnd;
    case ' ':
    case ',':
    case ';':
        return CharClass::Separator;
    default:
        return CharClass::Word;
    }
}

bool continuesCodePoint(char u, char /*prev*/)
{
    return (static_cast<unsigned char>(u) & 0xC0) == 0x80;
}

bool continuesCodePoint(char16_t u, char16_t prev)
{
    return (u & 0xFC00) == 0xDC00 && (prev & 0xFC00) == 0xD800;
}

// The one-pass scan with three flags, unit by unit: the units of a multi-unit code point are
// all word characters, so walking units gives the same counts as walking code points.
template <class Unit> TextStats scalarScan(std::basic_string_view<Unit> text)
{
    TextStats s;
    bool inWord = false, inSentence = false, inParagraph = false;
    int64_t lineLength = 0;
    Unit prev = 0;
    for (const Unit u : text) {
        const auto cls =
            classify(static_cast<char32_t>(static_cast<std::make_unsigned_t<Unit>>(u)));
        if (cls == CharClass::Word) {
            if (!inWord)
                inWord = inSentence = inParagraph = true;
        } else {
            s.words += inWord ? 1 : 0;
            inWord = false;
            if (cls != CharClass::Separator) {
                s.sentences += inSentence ? 1 : 0;
                inSentence = false;
            }
            if (cls == CharClass::LineEnd) {
                s.paragraphs += inParagraph ? 1 : 0;
                inParagraph = false;
            }
        }
        if (cls == CharClass::LineEnd) {
            if (!(u == Unit('\n') && prev == Unit('\r'))) {
                ++s.lines;
                s.longestLine = std::max(s.longestLine, lineLength);
                lineLength = 0;
            }
        } else if (!continuesCodePoint(u, prev)) {
            ++s.characters;
            ++lineLength;
        }
        prev = u;
    }
    s.words += inWord ? 1 : 0;
    s.sentences += inSentence ? 1 : 0;
    s.paragraphs += inParagraph ? 1 : 0;
    if (!text.empty() && prev != Unit('\n') && prev != Unit('\r'))
        ++s.lines;
    s.longestLine = std::max(s.longestLine, lineLength);
    return s;
}

bool haveAvx2()
{
    static const bool have = detail::cpuHasAvx2();
    return have;
}

} // namespace

TextStats computeTextStats(std::string_view utf8)
{
    return haveAvx2() ? detail::statsAvx2(utf8.data(), utf8.size())
                      : detail::statsSse2(utf8.data(), utf8.size());
}

TextStats computeTextStats(std::u16string_view utf16)
{
    return haveAvx2() ? detail::statsAvx2(utf16.data(), utf16.size())
                      : detail::statsSse2(utf16.data(), utf16.size());
}

namespace detail {

TextStats computeTextStatsScalar(std::string_view utf8)
{
    return scalarScan(utf8);
}
TextStats computeTextStatsScalar(std::u16string_view utf16)
{
    return scalarScan(utf16);
}

bool cpuHasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0 && __builtin_cpu_supports("popcnt") != 0 &&
           __builtin_cpu_supports("bmi") != 0;
}

} // namespace detail

} // namespace lintrel
