// The line-by-line statistics: per-line counts in chunks with their sums and longest line.
#include "formatter/line_index.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace lintrel {

namespace {

// Chunk sizes in lines: a replacement copies at most a few chunks, and the totals and the
// longest line are taken over the chunks, not the lines.
constexpr size_t kChunkLines = 1024;
constexpr size_t kMaxChunkLines = 2 * kChunkLines;
constexpr size_t kMinChunkLines = kChunkLines / 4;

uint32_t narrow(int64_t value)
{
    if (value < 0 || value > int64_t(std::numeric_limits<uint32_t>::max()))
        throw std::length_error("line too long for its counts");
    return uint32_t(value);
}

} // namespace

LineCounts countLine(std::u16string_view line, Measure measure)
{
    const TextStats s = computeTextStats(line, measure);
    return {narrow(s.words), narrow(s.sentences), narrow(s.characters), narrow(s.longestLine)};
}

void appendLineCounts(std::vector<LineCounts> &out, std::u16string_view text, char16_t separator,
                      Measure measure)
{
    for (;;) {
        const size_t end = text.find(separator);
        out.push_back(countLine(text.substr(0, end), measure));
        if (end == std::u16string_view::npos)
            return;
        text.remove_prefix(end + 1);
    }
}

void LineIndex::Sums::add(const Sums &other, int sign)
{
    words += sign * other.words;
    sentences += sign * other.sentences;
    paragraphs += sign * other.paragraphs;
    characters += sign * other.characters;
}

LineIndex::LineIndex()
{
    chunks_.push_back(makeChunk({LineCounts{}}));
    size_ = 1;
}

LineIndex::Chunk LineIndex::makeChunk(std::vector<LineCounts> lines)
{
    Chunk chunk;
    for (const LineCounts &l : lines) {
        chunk.sums.words += l.words;
        chunk.sums.sentences += l.sentences;
        chunk.sums.paragraphs += l.words > 0 ? 1 : 0;
        chunk.sums.characters += l.characters;
        chunk.longest = std::max(chunk.longest, l.longest);
    }
    chunk.lines = std::move(lines);
    return chunk;
}

std::pair<size_t, size_t> LineIndex::locate(size_t index) const
{
    for (size_t c = 0; c < chunks_.size(); ++c) {
        const size_t n = chunks_[c].lines.size();
        if (index < n || c + 1 == chunks_.size())
            return {c, index};
        index -= n;
    }
    return {0, 0}; // not reached: there is always a chunk
}

LineCounts LineIndex::line(size_t index) const
{
    if (index >= size_)
        throw std::out_of_range("LineIndex::line");
    const auto [c, offset] = locate(index);
    return chunks_[c].lines[offset];
}

void LineIndex::replace(size_t first, size_t removed, std::span<const LineCounts> added)
{
    if (first > size_ || removed > size_ - first || size_ - removed + added.size() == 0)
        throw std::out_of_range("LineIndex::replace");
    const auto [c0, off0] = locate(first);
    const auto [c1, off1] = locate(first + removed);
    const auto &head = chunks_[c0].lines;
    const auto &tail = chunks_[c1].lines;
    std::vector<LineCounts> region;
    region.reserve(off0 + added.size() + (tail.size() - off1));
    region.insert(region.end(), head.begin(), head.begin() + std::ptrdiff_t(off0));
    region.insert(region.end(), added.begin(), added.end());
    region.insert(region.end(), tail.begin() + std::ptrdiff_t(off1), tail.end());
    size_ = size_ - removed + added.size();
    splice(c0, c1, std::move(region));
}

void LineIndex::replace(std::span<const LineReplacement> replacements)
{
    if (replacements.empty())
        return;
    size_t end = 0, newSize = size_;
    for (const LineReplacement &r : replacements) {
        if (r.first < end || r.first > size_ || r.removed > size_ - r.first)
            throw std::invalid_argument("LineIndex::replace: ranges out of order or outside");
        end = r.first + r.removed;
        newSize = newSize - r.removed + r.added.size();
    }
    if (newSize == 0)
        throw std::invalid_argument("LineIndex::replace: no line left");
    const auto [c0, off0] = locate(replacements.front().first);
    const auto [c1, off1] = locate(end);
    std::vector<LineCounts> old;
    for (size_t c = c0; c <= c1; ++c)
        old.insert(old.end(), chunks_[c].lines.begin(), chunks_[c].lines.end());
    const size_t base = replacements.front().first - off0; // line number of old[0]
    std::vector<LineCounts> region;
    region.reserve(old.size() + newSize - size_);
    size_t at = 0;
    for (const LineReplacement &r : replacements) {
        region.insert(region.end(), old.begin() + std::ptrdiff_t(at),
                      old.begin() + std::ptrdiff_t(r.first - base));
        region.insert(region.end(), r.added.begin(), r.added.end());
        at = r.first - base + r.removed;
    }
    region.insert(region.end(), old.begin() + std::ptrdiff_t(at), old.end());
    size_ = newSize;
    splice(c0, c1, std::move(region));
}

// Puts `region` in place of the chunks [firstChunk, lastChunk], cut into chunks of about
// kChunkLines; a small region takes in a neighbour so that chunks do not dwindle.
void LineIndex::splice(size_t firstChunk, size_t lastChunk, std::vector<LineCounts> region)
{
    if (region.size() < kMinChunkLines && lastChunk + 1 < chunks_.size()) {
        ++lastChunk;
        const auto &next = chunks_[lastChunk].lines;
        region.insert(region.end(), next.begin(), next.end());
    } else if (region.size() < kMinChunkLines && firstChunk > 0) {
        --firstChunk;
        const auto &previous = chunks_[firstChunk].lines;
        region.insert(region.begin(), previous.begin(), previous.end());
    }
    for (size_t c = firstChunk; c <= lastChunk; ++c)
        totals_.add(chunks_[c].sums, -1);
    std::vector<Chunk> fresh;
    const size_t pieces =
        region.size() <= kMaxChunkLines ? 1 : (region.size() + kChunkLines - 1) / kChunkLines;
    for (size_t p = 0; p < pieces; ++p) {
        const auto from = region.begin() + std::ptrdiff_t(region.size() * p / pieces);
        const auto to = region.begin() + std::ptrdiff_t(region.size() * (p + 1) / pieces);
        fresh.push_back(makeChunk(std::vector<LineCounts>(from, to)));
        totals_.add(fresh.back().sums, +1);
    }
    const auto at = chunks_.begin() + std::ptrdiff_t(firstChunk);
    chunks_.erase(at, at + std::ptrdiff_t(lastChunk - firstChunk + 1));
    chunks_.insert(chunks_.begin() + std::ptrdiff_t(firstChunk),
                   std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
    longest_ = 0;
    for (const Chunk &c : chunks_)
        longest_ = std::max(longest_, c.longest);
}

TextStats LineIndex::stats() const
{
    TextStats s;
    s.words = totals_.words;
    s.sentences = totals_.sentences;
    s.paragraphs = totals_.paragraphs;
    s.characters = totals_.characters;
    s.longestLine = longest_;
    const bool lastEmpty = chunks_.back().lines.back().characters == 0;
    s.lines = int64_t(size_) - (lastEmpty ? 1 : 0);
    return s;
}

} // namespace lintrel
