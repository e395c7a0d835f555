// The line wrapper over 64-unit blocks: masks of break characters and code-point starts.
#include "formatter/line_wrap.h"

#include <emmintrin.h>
#include <stdexcept>

namespace lintrel {

namespace {

// Bit i describes unit i of a block of 64 code units.
struct WrapMasks
{
    uint64_t breaks; // space, ".", ":", ";"
    uint64_t starts; // units that begin a code point
};

inline uint64_t moveMask(__m128i v, int shift)
{
    return uint64_t(unsigned(_mm_movemask_epi8(v))) << shift;
}

WrapMasks loadMasks(const char *p, uint64_t & /*prevHigh*/)
{
    uint64_t breaks = 0, cont = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 16 * k));
        __m128i b = _mm_cmpeq_epi8(x, _mm_set1_epi8(' '));
        b = _mm_or_si128(b, _mm_cmpeq_epi8(x, _mm_set1_epi8('.')));
        // ":" and ";" are 58 and 59: clear the low bit and compare once.
        b = _mm_or_si128(b,
                         _mm_cmpeq_epi8(_mm_andnot_si128(_mm_set1_epi8(1), x), _mm_set1_epi8(':')));
        breaks |= moveMask(b, 16 * k);
        // Continuation bytes 0x80..0xBF are the signed values below -64.
        cont |= moveMask(_mm_cmplt_epi8(x, _mm_set1_epi8(-64)), 16 * k);
    }
    return {breaks, ~cont};
}

WrapMasks loadMasks(const char16_t *p, uint64_t &prevHigh)
{
    uint64_t breaks = 0, low = 0, high = 0;
    for (int k = 0; k < 8; ++k) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 8 * k));
        __m128i b = _mm_cmpeq_epi16(x, _mm_set1_epi16(' '));
        b = _mm_or_si128(b, _mm_cmpeq_epi16(x, _mm_set1_epi16('.')));
        b = _mm_or_si128(
            b, _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(1), x), _mm_set1_epi16(':')));
        const __m128i top = _mm_and_si128(x, _mm_set1_epi16(short(0xFC00)));
        const __m128i lh = _mm_packs_epi16(_mm_cmpeq_epi16(top, _mm_set1_epi16(short(0xDC00))),
                                           _mm_cmpeq_epi16(top, _mm_set1_epi16(short(0xD800))));
        const unsigned m = unsigned(_mm_movemask_epi8(lh));
        breaks |= uint64_t(unsigned(_mm_movemask_epi8(_mm_packs_epi16(b, b))) & 0xFF) << (8 * k);
        low |= uint64_t(m & 0xFF) << (8 * k);
        high |= uint64_t(m >> 8) << (8 * k);
    }
    // A low surrogate right after a high one continues its code point.
    const uint64_t cont = low & ((high << 1) | prevHigh);
    prevHigh = high >> 63;
    return {breaks, ~cont};
}

// Index of the k-th (from 0) set bit of m, which has more than k set bits.
inline int selectBit(uint64_t m, int64_t k)
{
    if (m == ~uint64_t(0))
        return int(k);
    for (; k > 0; --k)
        m &= m - 1;
    return __builtin_ctzll(m);
}

inline int highestBit(uint64_t m)
{
    return 63 - __builtin_clzll(m);
}

template <class Unit> class Wrapper
{
public:
    Wrapper(std::basic_string_view<Unit> text, int64_t maxLength,
            std::basic_string_view<Unit> newline)
        : begin_(text.data()), end_(text.data() + text.size()), max_(maxLength), newline_(newline)
    {}

    std::basic_string<Unit> run()
    {
        std::basic_string<Unit> out;
        const size_t size = size_t(end_ - begin_);
        out.reserve(size + (size / size_t(max_) + 8) * newline_.size());
        for (const Unit *line = begin_; line < end_;) {
            const Unit *lineEnd = findLineEnd(line);
            wrapLine(out, line, lineEnd);
            if (lineEnd == end_)
                break;
            out.append(newline_);
            line = lineEnd + 1;
            if (*lineEnd == Unit('\r') && line < end_ && *line == Unit('\n'))
                ++line;
        }
        return out;
    }

private:
    // The masks of the 64 units at p; units at or past the text's end read as spaces that
    // start nothing, which callers mask off anyway.
    WrapMasks masksAt(const Unit *p, uint64_t &state) const
    {
        if (end_ - p >= 64)
            return loadMasks(p, state);
        Unit block[64];
        const auto avail = end_ - p;
        for (int i = 0; i < 64; ++i)
            block[i] = i < avail ? p[i] : Unit(' ');
        return loadMasks(block, state);
    }

    const Unit *findLineEnd(const Unit *p) const
    {
        for (; p < end_; ++p) {
            if (*p == Unit('\n') || *p == Unit('\r'))
                return p;
        }
        return end_;
    }

    void wrapLine(std::basic_string<Unit> &out, const Unit *p, const Unit *lineEnd) const
    {
        // A line of at most max_ units has at most max_ code points.
        while (lineEnd - p > max_) {
            const size_t cut = findCut(p, size_t(lineEnd - p));
            if (cut == 0)
                break;
            out.append(p, cut);
            out.append(newline_);
            p += cut;
        }
        out.append(p, size_t(lineEnd - p));
    }

    // Where to cut the `length` units at p, or 0 to leave them as one line.
    size_t findCut(const Unit *p, size_t length) const;

    const Unit *begin_;
    const Unit *end_;
    int64_t max_;
    std::basic_string_view<Unit> newline_;
};

template <class Unit> size_t Wrapper<Unit>::findCut(const Unit *p, size_t length) const
{
    // Find the start of code point max_ (the hard cut), the start of code point max_ + 1 (the
    // end of the searched window) and the last break character before that end.
    int64_t seen = 0; // code points starting before the current block
    size_t hardCut = 0, windowEnd = length;
    bool haveHardCut = false;
    int64_t lastBreak = -1;
    uint64_t state = 0; // p starts a code point, so nothing pairs with the unit before it
    for (size_t offset = 0; offset < length; offset += 64) {
        const WrapMasks m = masksAt(p + offset, state);
        const size_t avail = length - offset;
        const uint64_t valid = avail >= 64 ? ~uint64_t(0) : (uint64_t(1) << avail) - 1;
        uint64_t starts = m.starts & valid;
        uint64_t window = valid;
        if (!haveHardCut) {
            const int count = __builtin_popcountll(starts);
            if (seen + count > max_) {
                const int bit = selectBit(starts, max_ - seen);
                hardCut = offset + size_t(bit);
                haveHardCut = true;
                starts &= ~((uint64_t(2) << bit) - 1);
            } else {
                seen += count;
            }
        }
        if (haveHardCut && starts != 0) {
            const int bit = __builtin_ctzll(starts);
            windowEnd = offset + size_t(bit);
            window = (uint64_t(1) << bit) - 1;
        }
        if (const uint64_t b = m.breaks & window; b != 0)
            lastBreak = int64_t(offset) + highestBit(b);
        if (windowEnd != length)
            break;
    }
    if (!haveHardCut)
        return 0;
    if (lastBreak >= 0) {
        // Cutting after a break that ends the line would leave an empty rest: keep the line.
        return size_t(lastBreak) + 1 == length ? 0 : size_t(lastBreak) + 1;
    }
    return hardCut;
}

template <class Unit>
std::basic_string<Unit> wrap(std::basic_string_view<Unit> text, int64_t maxLength,
                             std::basic_string_view<Unit> newline)
{
    if (maxLength < 1)
        throw std::invalid_argument("wrapText: maxLength must be at least 1");
    return Wrapper<Unit>(text, maxLength, newline).run();
}

} // namespace

std::string wrapText(std::string_view utf8, int64_t maxLength, std::string_view newline)
{
    return wrap(utf8, maxLength, newline);
}

std::u16string wrapText(std::u16string_view utf16, int64_t maxLength, std::u16string_view newline)
{
    return wrap(utf16, maxLength, newline);
}

} // namespace lintrel
