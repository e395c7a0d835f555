// Text statistics of the email text: words, sentences, paragraphs, lines, characters, longest line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lintrel {

// All counts are over Unicode code points. Separators are LF, CR, space, "!", ",", ".", ";",
// "?"; sentence ends are LF, CR, "!", ".", "?"; line ends are CR and LF; every other code point
// is a word character. Line breaks are CR LF, lone CR or lone LF (one break each).
struct TextStats
{
    int64_t words = 0, sentences = 0, paragraphs = 0, lines = 0, characters = 0, longestLine = 0;
    bool operator==(const TextStats &) const = default;
};

// words: maximal runs of word characters. sentences: runs closed by a sentence end or by the
// end of the text. paragraphs: lines holding a word character. lines: line count with a final
// empty line left out. characters: code points other than CR and LF. longestLine: the longest
// line in code points. The UTF-8 text should be valid; a stray continuation byte counts as
// part of the character before it.
TextStats computeTextStats(std::string_view utf8);
// Same counts for UTF-16 text; a surrogate pair is one code point, a lone surrogate one too.
TextStats computeTextStats(std::u16string_view utf16);

namespace detail {
// Running state of the block scan, carried from one piece of a text to the next.
struct StatsScan
{
    int64_t words = 0, sentences = 0, paragraphs = 0, breaks = 0, chars = 0;
    int64_t longest = 0, lineStart = 0;
    uint64_t prevWord = 0, sentenceCarry = 0, paragraphCarry = 0, prevCr = 0, unitState = 0;
    bool endsInsideLine = false;
};
} // namespace detail

// Counts a text handed over in consecutive pieces (split anywhere, even inside a character);
// result() equals computeTextStats of the whole text.
class TextStatsCounter
{
public:
    void add(std::string_view utf8);
    TextStats result() const;

private:
    detail::StatsScan scan_;
    char pending_[64] = {};
    size_t pendingSize_ = 0;
};

namespace detail {
// Reference implementations that walk the text one unit at a time.
TextStats computeTextStatsScalar(std::string_view utf8);
TextStats computeTextStatsScalar(std::u16string_view utf16);

// The block-parallel kernels behind computeTextStats. scan*() take a piece of text whose
// size is a multiple of 64 units, except for the last piece. The AVX2 ones may only be
// called when cpuHasAvx2() is true (AVX2 with POPCNT, BMI1 and BMI2).
void scanSse2(StatsScan &scan, const char *text, size_t size);
void scanSse2(StatsScan &scan, const char16_t *text, size_t size);
void scanAvx2(StatsScan &scan, const char *text, size_t size);
void scanAvx2(StatsScan &scan, const char16_t *text, size_t size);
TextStats finishScan(const StatsScan &scan);
bool cpuHasAvx2();

// Whole texts through one kernel.
TextStats statsSse2(const char *text, size_t size);
TextStats statsSse2(const char16_t *text, size_t size);
TextStats statsAvx2(const char *text, size_t size);
TextStats statsAvx2(const char16_t *text, size_t size);
} // namespace detail

} // namespace lintrel
