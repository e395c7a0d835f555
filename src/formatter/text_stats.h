// Text statistics of the email text: words, sentences, paragraphs, lines, characters, longest line.
#pragma once

#include "formatter/unicode_text.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lintrel {

// All counts are over extended grapheme clusters (user-perceived characters); a cluster takes
// the class of its first code point. Separators are LF, CR, space, "!", ",", ".", ";", "?",
// the full-width and ideographic forms of this punctuation, the ellipsis and every Unicode
// white space; sentence ends are LF, CR, "!", ".", "?" and their counterparts; line ends are
// CR and LF; every other cluster is a word character. Line breaks are CR LF, lone CR or lone
// LF (one break each).
struct TextStats
{
    int64_t words = 0, sentences = 0, paragraphs = 0, lines = 0, characters = 0, longestLine = 0;
    bool operator==(const TextStats &) const = default;
};

// words: maximal runs of word characters. sentences: runs closed by a sentence end or by the
// end of the text. paragraphs: lines holding a word character. lines: line count with a final
// empty line left out. characters: clusters other than line breaks. longestLine: the longest
// line in clusters, or in screen columns. Units that are not well-formed UTF-8 (or UTF-16)
// count as one character each, as Import would decode them.
TextStats computeTextStats(std::string_view utf8, Measure measure = Measure::Clusters);
TextStats computeTextStats(std::u16string_view utf16, Measure measure = Measure::Clusters);

namespace detail {
// Running state of the block scan, carried from one piece of a text to the next.
struct StatsScan
{
    int64_t words = 0, sentences = 0, paragraphs = 0, breaks = 0, chars = 0, columns = 0;
    int64_t longest = 0, lineStart = 0; // in the measure's units
    uint64_t prevWord = 0, sentenceCarry = 0, paragraphCarry = 0, prevCr = 0;
    unicode::BlockCarry carry;
    bool endsInsideLine = false;
};
} // namespace detail

// Counts a text handed over in consecutive pieces (split anywhere, even inside a character);
// result() equals computeTextStats of the whole text.
class TextStatsCounter
{
public:
    explicit TextStatsCounter(Measure measure = Measure::Clusters) : measure_(measure) {}
    void add(std::string_view utf8);
    TextStats result() const;
    // True when the text so far holds bytes that are not well-formed UTF-8.
    bool sawMalformed() const;

private:
    Measure measure_;
    detail::StatsScan scan_;
    char pending_[136] = {}; // two blocks and what their last code point may need
    size_t pendingSize_ = 0;
};

namespace detail {
// Reference implementations that walk the text one code point at a time.
TextStats computeTextStatsScalar(std::string_view utf8, Measure measure = Measure::Clusters);
TextStats computeTextStatsScalar(std::u16string_view utf16, Measure measure = Measure::Clusters);

// The block-parallel kernels behind computeTextStats. scan*() go over whole 64-unit blocks;
// with `final` they finish the text, otherwise they stop where a block's last code point could
// reach past `size`, and return how many units they took. The AVX2 ones may only be called
// when cpuHasAvx2() is true (AVX2 with POPCNT, BMI1 and BMI2).
size_t scanSse2(StatsScan &scan, const char *text, size_t size, Measure measure, bool final);
size_t scanSse2(StatsScan &scan, const char16_t *text, size_t size, Measure measure, bool final);
size_t scanAvx2(StatsScan &scan, const char *text, size_t size, Measure measure, bool final);
size_t scanAvx2(StatsScan &scan, const char16_t *text, size_t size, Measure measure, bool final);
TextStats finishScan(const StatsScan &scan, Measure measure);
bool cpuHasAvx2();

// Whole texts through one kernel.
TextStats statsSse2(const char *text, size_t size, Measure measure = Measure::Clusters);
TextStats statsSse2(const char16_t *text, size_t size, Measure measure = Measure::Clusters);
TextStats statsAvx2(const char *text, size_t size, Measure measure = Measure::Clusters);
TextStats statsAvx2(const char16_t *text, size_t size, Measure measure = Measure::Clusters);
} // namespace detail

} // namespace lintrel
