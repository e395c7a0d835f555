// The statistics of a text kept line by line, so that an edit recounts only the lines it touches.
#pragma once

#include "formatter/text_stats.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lintrel {

// The counts of one line (a text without a line break). A line break ends every word,
// sentence and paragraph, so the counts of a text are the sums of the counts of its lines,
// the longest line their maximum, and a paragraph is a line with at least one word.
struct LineCounts
{
    uint32_t words = 0, sentences = 0, characters = 0, longest = 0;
    bool operator==(const LineCounts &) const = default;
};

// The counts of one line, as computeTextStats counts it with the same measure. Throws
// std::length_error for a line whose counts do not fit 32 bits.
LineCounts countLine(std::u16string_view line, Measure measure = Measure::Clusters);

// Appends the counts of every line of `text`, whose lines are separated by `separator`: one
// entry more than there are separators.
void appendLineCounts(std::vector<LineCounts> &out, std::u16string_view text, char16_t separator,
                      Measure measure = Measure::Clusters);

// Lines [first, first + removed) to be replaced by lines with the counts `added`.
struct LineReplacement
{
    size_t first = 0, removed = 0;
    std::vector<LineCounts> added;
};

// The counts of a text as a sequence of lines (a text of n line breaks has n + 1 lines; the
// empty text is one empty line). Replacing a range of lines costs about the size of the range
// plus the square root of the line count: lines live in chunks that carry their own sums and
// longest line, and the totals are kept up to date across replacements.
class LineIndex
{
public:
    LineIndex(); // the empty text: one empty line

    size_t size() const { return size_; }
    LineCounts line(size_t index) const; // index < size()

    // Replaces the lines [first, first + removed) by `added`. The text must keep at least one
    // line; std::out_of_range when the range or the result is not valid.
    void replace(size_t first, size_t removed, std::span<const LineCounts> added);
    // Makes many replacements in one pass: their ranges are given in line numbers before any
    // of them, in order and not overlapping (std::invalid_argument otherwise).
    void replace(std::span<const LineReplacement> replacements);

    // The six counts of the whole text, without a pass over its lines. The line count leaves
    // out a final empty line.
    TextStats stats() const;

private:
    struct Sums
    {
        int64_t words = 0, sentences = 0, paragraphs = 0, characters = 0;
        void add(const Sums &other, int sign);
    };
    struct Chunk
    {
        std::vector<LineCounts> lines;
        Sums sums;
        uint32_t longest = 0;
    };
    static Chunk makeChunk(std::vector<LineCounts> lines);
    // The chunk holding line `index` and the offset in it; size() maps to the last chunk's end.
    std::pair<size_t, size_t> locate(size_t index) const;
    void splice(size_t firstChunk, size_t lastChunk, std::vector<LineCounts> region);

    std::vector<Chunk> chunks_;
    Sums totals_;
    size_t size_ = 0;
    uint32_t longest_ = 0;
};

} // namespace lintrel
