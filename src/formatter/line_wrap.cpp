// The line wrapper over 64-unit blocks: masks of break characters and code-point starts.
#include "formatter/line_wrap.h"

#include <emmintrin.h>
#include <stdexcept>

namespace lintrel {

namespace {

// Bit i describes unit i of a block of 64 code units.
struct WrapMasks
{
    uint64_t breaks;   // space, ".", ":", ";"
    uint64_t starts;   // units that begin a code point
    uint64_t lineEnds; // CR, LF
};

inline uint64_t moveMask(__m128i v, int shift)
{
    return uint64_t(unsigned(_mm_movemask_epi8(v))) << shift;
}

[[gnu::always_inline]] inline WrapMasks loadMasks(const char *p, uint64_t & /*prevHigh*/)
{
    uint64_t breaks = 0, cont = 0, ends = 0;
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 16 * k));
        ends |= moveMask(_mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('\n')),
                                      _mm_cmpeq_epi8(x, _mm_set1_epi8('\r'))),
                         16 * k);
        __m128i b = _mm_cmpeq_epi8(x, _mm_set1_epi8(' '));
        b = _mm_or_si128(b, _mm_cmpeq_epi8(x, _mm_set1_epi8('.')));
        // ":" and ";" are 58 and 59: clear the low bit and compare once.
        b = _mm_or_si128(b,
                         _mm_cmpeq_epi8(_mm_andnot_si128(_mm_set1_epi8(1), x), _mm_set1_epi8(':')));
        breaks |= moveMask(b, 16 * k);
        // Continuation bytes 0x80..0xBF are the signed values below -64.
        cont |= moveMask(_mm_cmplt_epi8(x, _mm_set1_epi8(-64)), 16 * k);
    }
    return {breaks, ~cont, ends};
}

[[gnu::always_inline]] inline WrapMasks loadMasks(const char16_t *p, uint64_t &prevHigh)
{
    uint64_t breaks = 0, low = 0, high = 0, ends = 0;
#pragma GCC unroll 8
    for (int k = 0; k < 8; ++k) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 8 * k));
        const __m128i e = _mm_or_si128(_mm_cmpeq_epi16(x, _mm_set1_epi16('\n')),
                                       _mm_cmpeq_epi16(x, _mm_set1_epi16('\r')));
        __m128i b = _mm_cmpeq_epi16(x, _mm_set1_epi16(' '));
        b = _mm_or_si128(b, _mm_cmpeq_epi16(x, _mm_set1_epi16('.')));
        b = _mm_or_si128(
            b, _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(1), x), _mm_set1_epi16(':')));
        const __m128i top = _mm_and_si128(x, _mm_set1_epi16(short(0xFC00)));
        const __m128i lh = _mm_packs_epi16(_mm_cmpeq_epi16(top, _mm_set1_epi16(short(0xDC00))),
                                           _mm_cmpeq_epi16(top, _mm_set1_epi16(short(0xD800))));
        const unsigned m = unsigned(_mm_movemask_epi8(lh));
        const unsigned be = unsigned(_mm_movemask_epi8(_mm_packs_epi16(b, e)));
        breaks |= uint64_t(be & 0xFF) << (8 * k);
        ends |= uint64_t(be >> 8) << (8 * k);
        low |= uint64_t(m & 0xFF) << (8 * k);
        high |= uint64_t(m >> 8) << (8 * k);
    }
    // A low surrogate right after a high one continues its code point.
    const uint64_t cont = low & ((high << 1) | prevHigh);
    prevHigh = high >> 63;
    return {breaks, ~cont, ends};
}

// The baseline x86-64 has no POPCNT instruction; this beats the library call.
inline int bitCount(uint64_t m)
{
    m = m - ((m >> 1) & 0x5555555555555555ull);
    m = (m & 0x3333333333333333ull) + ((m >> 2) & 0x3333333333333333ull);
    m = (m + (m >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return int((m * 0x0101010101010101ull) >> 56);
}

// Index of the k-th (from 0) set bit of m, which has more than k set bits.
inline int selectBit(uint64_t m, int64_t k)
{
    if (m == ~uint64_t(0))
        return int(k);
    constexpr uint64_t ones = 0x0101010101010101ull;
    // Byte i of `prefix` counts the set bits in bytes 0..i; find the first byte whose count
    // passes k, then the bit inside it.
    uint64_t x = m - ((m >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    const uint64_t prefix = x * ones;
    const uint64_t passed = ((prefix | (ones << 7)) - uint64_t(k + 1) * ones) & (ones << 7);
    const int byte = __builtin_ctzll(passed) / 8;
    const int64_t before = byte == 0 ? 0 : int64_t((prefix >> (8 * byte - 8)) & 0xFF);
    uint64_t bits = (m >> (8 * byte)) & 0xFF;
    for (int64_t r = k - before; r > 0; --r)
        bits &= bits - 1;
    return 8 * byte + __builtin_ctzll(bits);
}

inline int highestBit(uint64_t m)
{
    return 63 - __builtin_clzll(m);
}

// One step of the wrapper: the next `length` units form a line of output; `lineEnds` tells
// whether they reach the end of an input line (or of the text) rather than a cut.
struct Piece
{
    size_t length;
    bool lineEnds;
};

template <class Unit> class Wrapper
{
public:
    Wrapper(std::basic_string_view<Unit> text, int64_t maxLength,
            std::basic_string_view<Unit> newline)
        : end_(text.data() + text.size()), max_(maxLength), newline_(newline)
    {}

    void appendTo(std::basic_string<Unit> &out, const Unit *p) const
    {
        while (p < end_) {
            const Piece piece = nextPiece(p);
            out.append(p, piece.length);
            p += piece.length;
            if (p == end_)
                break;
            out.append(newline_);
            if (piece.lineEnds) {
                ++p;
                if (p[-1] == Unit('\r') && p < end_ && *p == Unit('\n'))
                    ++p;
            }
        }
    }

private:
    // The masks of the 64 units at p. Units past the text's end read as LF, so the text's
    // end looks like a line end.
    WrapMasks masksAt(const Unit *p, uint64_t &state) const
    {
        if (end_ - p >= 64)
            return loadMasks(p, state);
        Unit block[64];
        const auto avail = end_ - p;
        for (int i = 0; i < 64; ++i)
            block[i] = i < avail ? p[i] : Unit('\n');
        return loadMasks(block, state);
    }

    Piece nextPiece(const Unit *p) const;

    const Unit *end_;
    int64_t max_;
    std::basic_string_view<Unit> newline_;
};

// Scans from p, a code point start, to the end of the line or to the start of code point
// max_ + 1, whichever comes first. Up to there it notes the start of code point max_ (the
// hard cut) and the last break character.
template <class Unit> Piece Wrapper<Unit>::nextPiece(const Unit *p) const
{
    int64_t seen = 0; // code points starting in earlier blocks
    size_t hardCut = 0;
    bool haveHardCut = false;
    int64_t lastBreak = -1;
    uint64_t state = 0; // p starts a code point, so nothing pairs with the unit before it
    for (size_t offset = 0;; offset += 64) {
        const WrapMasks m = masksAt(p + offset, state);
        // Everything from the line end on is out of the line.
        const uint64_t inLine = m.lineEnds != 0 ? (m.lineEnds & -m.lineEnds) - 1 : ~uint64_t(0);
        uint64_t starts = m.starts & inLine;
        uint64_t window = inLine;
        bool windowEnds = false;
        if (!haveHardCut) {
            // Without continuation units every unit before the line end starts a code point.
            const int count = starts == inLine
                                  ? (m.lineEnds != 0 ? __builtin_ctzll(m.lineEnds) : 64)
                                  : bitCount(starts);
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
            window = (starts & -starts) - 1;
            windowEnds = true;
        }
        if (const uint64_t b = m.breaks & window; b != 0)
            lastBreak = int64_t(offset) + highestBit(b);
        if (windowEnds)
            break;
        if (m.lineEnds != 0) {
            const size_t lineLength = offset + size_t(__builtin_ctzll(m.lineEnds));
            // Short enough, or exactly one code point too long and ending in a break
            // character: a cut there would leave an empty rest.
            if (!haveHardCut || size_t(lastBreak + 1) == lineLength)
                return {lineLength, true};
            break;
        }
    }
    return {lastBreak >= 0 ? size_t(lastBreak) + 1 : hardCut, false};
}

template <class Unit>
std::basic_string<Unit> wrap(std::basic_string_view<Unit> text, int64_t maxLength,
                             std::basic_string_view<Unit> newline)
{
    if (maxLength < 1)
        throw std::invalid_argument("wrapText: maxLength must be at least 1");
    std::basic_string<Unit> out;
    out.reserve(text.size() + (text.size() / size_t(maxLength) + 8) * newline.size());
    Wrapper<Unit>(text, maxLength, newline).appendTo(out, text.data());
    return out;
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
