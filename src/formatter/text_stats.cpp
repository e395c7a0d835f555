// Text statistics: the reference scan and the choice of the block-parallel kernel.
#include "formatter/text_stats.h"

#include <algorithm>
#include <cstring>

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

template <class Unit> void scan(detail::StatsScan &state, const Unit *text, size_t size)
{
    if (haveAvx2())
        detail::scanAvx2(state, text, size);
    else
        detail::scanSse2(state, text, size);
}

} // namespace

TextStats computeTextStats(std::string_view utf8)
{
    detail::StatsScan state;
    scan(state, utf8.data(), utf8.size());
    return detail::finishScan(state);
}

TextStats computeTextStats(std::u16string_view utf16)
{
    detail::StatsScan state;
    scan(state, utf16.data(), utf16.size());
    return detail::finishScan(state);
}

void TextStatsCounter::add(std::string_view utf8)
{
    if (utf8.empty())
        return;
    if (pendingSize_ > 0) {
        const size_t take = std::min(utf8.size(), sizeof pending_ - pendingSize_);
        std::memcpy(pending_ + pendingSize_, utf8.data(), take);
        pendingSize_ += take;
        utf8.remove_prefix(take);
        if (pendingSize_ < sizeof pending_)
            return;
        scan(scan_, pending_, sizeof pending_);
        pendingSize_ = 0;
    }
    const size_t whole = utf8.size() / 64 * 64;
    scan(scan_, utf8.data(), whole);
    std::memcpy(pending_, utf8.data() + whole, utf8.size() - whole);
    pendingSize_ = utf8.size() - whole;
}

TextStats TextStatsCounter::result() const
{
    detail::StatsScan state = scan_;
    scan(state, pending_, pendingSize_);
    return detail::finishScan(state);
}

namespace detail {

TextStats finishScan(const StatsScan &s)
{
    const int64_t lastLine = s.chars - s.lineStart;
    TextStats stats;
    stats.words = s.words;
    stats.sentences = s.sentences + static_cast<int64_t>(s.sentenceCarry);
    stats.paragraphs = s.paragraphs + static_cast<int64_t>(s.paragraphCarry);
    stats.lines = s.breaks + (s.endsInsideLine ? 1 : 0);
    stats.characters = s.chars;
    stats.longestLine = std::max(s.longest, lastLine);
    return stats;
}

TextStats statsSse2(const char *text, size_t size)
{
    StatsScan state;
    scanSse2(state, text, size);
    return finishScan(state);
}

TextStats statsSse2(const char16_t *text, size_t size)
{
    StatsScan state;
    scanSse2(state, text, size);
    return finishScan(state);
}

TextStats statsAvx2(const char *text, size_t size)
{
    StatsScan state;
    scanAvx2(state, text, size);
    return finishScan(state);
}

TextStats statsAvx2(const char16_t *text, size_t size)
{
    StatsScan state;
    scanAvx2(state, text, size);
    return finishScan(state);
}

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
           __builtin_cpu_supports("bmi") != 0 && __builtin_cpu_supports("bmi2") != 0;
}

} // namespace detail

} // namespace lintrel
