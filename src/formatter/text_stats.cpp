// Text statistics: the reference scan and the choice of the block-parallel kernel.
#include "formatter/text_stats.h"

#include <algorithm>
#include <cstring>

namespace lintrel {

namespace {

// The one-pass scan with three flags, cluster by cluster.
template <class Unit> TextStats scalarScan(std::basic_string_view<Unit> text, Measure measure)
{
    TextStats s;
    bool inWord = false, inSentence = false, inParagraph = false;
    int64_t lineLength = 0;
    unicode::ClusterState cluster;
    char32_t prev = 0;
    for (size_t i = 0; i < text.size();) {
        const unicode::Decoded d = unicode::decode(text.data() + i, text.size() - i);
        i += d.length;
        uint32_t gain = 0;
        const bool starts = unicode::advance(cluster, d.cp, gain);
        const bool lineEnd = d.cp == '\n' || d.cp == '\r';
        if (starts) {
            if (!(cluster.flags & unicode::kSeparator)) {
                if (!inWord)
                    inWord = inSentence = inParagraph = true;
            } else {
                s.words += inWord ? 1 : 0;
                inWord = false;
                if (cluster.flags & unicode::kSentenceEnd) {
                    s.sentences += inSentence ? 1 : 0;
                    inSentence = false;
                }
                if (lineEnd) {
                    s.paragraphs += inParagraph ? 1 : 0;
                    inParagraph = false;
                }
            }
        }
        if (lineEnd) {
            if (!(d.cp == '\n' && prev == '\r')) {
                ++s.lines;
                s.longestLine = std::max(s.longestLine, lineLength);
                lineLength = 0;
            }
        } else {
            s.characters += starts ? 1 : 0;
            lineLength += measure == Measure::Columns ? gain : (starts ? 1 : 0);
        }
        prev = d.cp;
    }
    s.words += inWord ? 1 : 0;
    s.sentences += inSentence ? 1 : 0;
    s.paragraphs += inParagraph ? 1 : 0;
    if (!text.empty() && prev != '\n' && prev != '\r')
        ++s.lines;
    s.longestLine = std::max(s.longestLine, lineLength);
    return s;
}

bool haveAvx2()
{
    static const bool have = detail::cpuHasAvx2();
    return have;
}

template <class Unit>
size_t scan(detail::StatsScan &state, const Unit *text, size_t size, Measure measure, bool final)
{
    if (haveAvx2())
        return detail::scanAvx2(state, text, size, measure, final);
    return detail::scanSse2(state, text, size, measure, final);
}

} // namespace

TextStats computeTextStats(std::string_view utf8, Measure measure)
{
    detail::StatsScan state;
    scan(state, utf8.data(), utf8.size(), measure, true);
    return detail::finishScan(state, measure);
}

TextStats computeTextStats(std::u16string_view utf16, Measure measure)
{
    detail::StatsScan state;
    scan(state, utf16.data(), utf16.size(), measure, true);
    return detail::finishScan(state, measure);
}

void TextStatsCounter::add(std::string_view utf8)
{
    if (utf8.empty())
        return;
    while (pendingSize_ > 0) {
        const size_t old = pendingSize_;
        const size_t take = std::min(utf8.size(), sizeof pending_ - old);
        std::memcpy(pending_ + old, utf8.data(), take);
        pendingSize_ += take;
        if (pendingSize_ < sizeof pending_)
            return;
        const size_t used = scan(scan_, pending_, pendingSize_, measure_, false);
        if (used >= old) {
            // The rest of the buffer came from this piece: read it from there again.
            utf8.remove_prefix(used - old);
            pendingSize_ = 0;
        } else {
            std::memmove(pending_, pending_ + used, pendingSize_ - used);
            pendingSize_ -= used;
            utf8.remove_prefix(take);
        }
    }
    const size_t used = scan(scan_, utf8.data(), utf8.size(), measure_, false);
    std::memcpy(pending_, utf8.data() + used, utf8.size() - used);
    pendingSize_ = utf8.size() - used;
}

TextStats TextStatsCounter::result() const
{
    detail::StatsScan state = scan_;
    scan(state, pending_, pendingSize_, measure_, true);
    return detail::finishScan(state, measure_);
}

bool TextStatsCounter::sawMalformed() const
{
    detail::StatsScan state = scan_;
    scan(state, pending_, pendingSize_, measure_, true);
    return state.carry.malformed;
}

namespace detail {

TextStats finishScan(const StatsScan &s, Measure measure)
{
    const int64_t end = measure == Measure::Columns ? s.columns : s.chars;
    TextStats stats;
    stats.words = s.words;
    stats.sentences = s.sentences + static_cast<int64_t>(s.sentenceCarry);
    stats.paragraphs = s.paragraphs + static_cast<int64_t>(s.paragraphCarry);
    stats.lines = s.breaks + (s.endsInsideLine ? 1 : 0);
    stats.characters = s.chars;
    stats.longestLine = std::max(s.longest, end - s.lineStart);
    return stats;
}

TextStats statsSse2(const char *text, size_t size, Measure measure)
{
    StatsScan state;
    scanSse2(state, text, size, measure, true);
    return finishScan(state, measure);
}

TextStats statsSse2(const char16_t *text, size_t size, Measure measure)
{
    StatsScan state;
    scanSse2(state, text, size, measure, true);
    return finishScan(state, measure);
}

TextStats statsAvx2(const char *text, size_t size, Measure measure)
{
    StatsScan state;
    scanAvx2(state, text, size, measure, true);
    return finishScan(state, measure);
}

TextStats statsAvx2(const char16_t *text, size_t size, Measure measure)
{
    StatsScan state;
    scanAvx2(state, text, size, measure, true);
    return finishScan(state, measure);
}

TextStats computeTextStatsScalar(std::string_view utf8, Measure measure)
{
    return scalarScan(utf8, measure);
}
TextStats computeTextStatsScalar(std::u16string_view utf16, Measure measure)
{
    return scalarScan(utf16, measure);
}

bool cpuHasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0 && __builtin_cpu_supports("popcnt") != 0 &&
           __builtin_cpu_supports("bmi") != 0 && __builtin_cpu_supports("bmi2") != 0;
}

} // namespace detail

} // namespace lintrel
