// Finding runs of one line-break style, 64 bytes at a time.
#include "line_breaks.h"

#include <cstdint>
#include <emmintrin.h>

namespace lintrel {

namespace {

struct BreakMasks
{
    uint64_t cr = 0, lf = 0;
};

// Bit i: byte p[i] is CR / LF.
BreakMasks loadMasks(const char *p)
{
    BreakMasks m;
    for (int k = 0; k < 4; ++k) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 16 * k));
        m.cr |= uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8('\r')))))
                << (16 * k);
        m.lf |= uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8('\n')))))
                << (16 * k);
    }
    return m;
}

// True when the break character at text[i] belongs to a break of another style.
bool breakDiffers(std::string_view text, size_t i, std::string_view style)
{
    const bool crlf = (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ||
                      (text[i] == '\n' && i > 0 && text[i - 1] == '\r');
    if (style == "\r\n")
        return !crlf;
    return crlf || text[i] != style[0];
}

// The start of the line that the break character at text[bad] ends (not before `from`).
size_t lineStartBefore(std::string_view text, size_t from, size_t bad)
{
    size_t i = bad;
    if (text[i] == '\n' && i > from && text[i - 1] == '\r')
        --i; // the CR of this CR LF pair
    while (i > from && text[i - 1] != '\r' && text[i - 1] != '\n')
        --i;
    return i;
}

} // namespace

std::string_view breakStyleAt(std::string_view text, size_t at)
{
    if (text[at] == '\r')
        return at + 1 < text.size() && text[at + 1] == '\n' ? "\r\n" : "\r";
    return "\n";
}

size_t findLineBreak(std::string_view text, size_t from)
{
    size_t i = from;
    for (; i + 64 <= text.size(); i += 64) {
        const BreakMasks m = loadMasks(text.data() + i);
        if (const uint64_t any = m.cr | m.lf; any != 0)
            return i + size_t(__builtin_ctzll(any));
    }
    for (; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n')
            return i;
    }
    return std::string_view::npos;
}

size_t endOfBreakStyleRun(std::string_view text, size_t from, std::string_view style)
{
    const bool crlf = style == "\r\n", lfOnly = style == "\n";
    uint64_t prevCr = 0;
    size_t i = from;
    for (; i + 64 <= text.size(); i += 64) {
        const BreakMasks m = loadMasks(text.data() + i);
        uint64_t bad;
        if (crlf) {
            const uint64_t nextLf = i + 64 < text.size() && text[i + 64] == '\n' ? 1 : 0;
            bad = (m.cr & ~((m.lf >> 1) | (nextLf << 63))) | (m.lf & ~((m.cr << 1) | prevCr));
        } else {
            bad = lfOnly ? m.cr : m.lf;
        }
        prevCr = m.cr >> 63;
        if (bad != 0)
            return lineStartBefore(text, from, i + size_t(__builtin_ctzll(bad)));
    }
    for (; i < text.size(); ++i) {
        if ((text[i] == '\r' || text[i] == '\n') && breakDiffers(text, i, style))
            return lineStartBefore(text, from, i);
    }
    return std::string_view::npos;
}

} // namespace lintrel
