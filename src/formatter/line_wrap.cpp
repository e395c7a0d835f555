// The line wrapper: the SSE2 scan, the choice of kernel and the assembly of the output.
#include "formatter/line_wrap.h"

#include "formatter/text_stats.h"
#include "formatter/wrap_kernel.h"

#include <cstring>
#include <emmintrin.h>
#include <stdexcept>

#include "formatter/wrap_kernel.inc"

namespace lintrel {

namespace {

inline uint64_t moveMask(__m128i v, int shift)
{
    return uint64_t(unsigned(_mm_movemask_epi8(v))) << shift;
}

struct Sse2
{
    template <bool Columns> static WrapMasks load(const char *p)
    {
        uint64_t breaks = 0, high = 0, ends = 0, control = 0;
#pragma GCC unroll 4
        for (int k = 0; k < 4; ++k) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 16 * k));
            ends |= moveMask(_mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('\n')),
                                          _mm_cmpeq_epi8(x, _mm_set1_epi8('\r'))),
                             16 * k);
            __m128i b = _mm_cmpeq_epi8(x, _mm_set1_epi8(' '));
            b = _mm_or_si128(b, _mm_cmpeq_epi8(x, _mm_set1_epi8('.')));
            // ":" and ";" are 58 and 59: clear the low bit and compare once.
            b = _mm_or_si128(
                b, _mm_cmpeq_epi8(_mm_andnot_si128(_mm_set1_epi8(1), x), _mm_set1_epi8(':')));
            breaks |= moveMask(b, 16 * k);
            high |= moveMask(x, 16 * k); // the top bit: not ASCII
            if constexpr (Columns)
                control |= moveMask(_mm_or_si128(_mm_cmplt_epi8(x, _mm_set1_epi8(0x20)),
                                                 _mm_cmpeq_epi8(x, _mm_set1_epi8(0x7F))),
                                    16 * k);
        }
        return {breaks, ~high, ends, high, Columns ? ~(control | high) : 0, 0};
    }

    template <bool Columns> static WrapMasks load(const char16_t *p)
    {
        uint64_t breaks = 0, ascii = 0, ends = 0, control = 0;
#pragma GCC unroll 8
        for (int k = 0; k < 8; ++k) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 8 * k));
            const __m128i e = _mm_or_si128(_mm_cmpeq_epi16(x, _mm_set1_epi16('\n')),
                                           _mm_cmpeq_epi16(x, _mm_set1_epi16('\r')));
            __m128i b = _mm_cmpeq_epi16(x, _mm_set1_epi16(' '));
            b = _mm_or_si128(b, _mm_cmpeq_epi16(x, _mm_set1_epi16('.')));
            b = _mm_or_si128(
                b, _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(1), x), _mm_set1_epi16(':')));
            const __m128i isAscii = _mm_cmpeq_epi16(_mm_and_si128(x, _mm_set1_epi16(short(0xFF80))),
                                                    _mm_setzero_si128());
            __m128i ctl = _mm_setzero_si128();
            if constexpr (Columns)
                ctl = _mm_or_si128(_mm_cmplt_epi16(x, _mm_set1_epi16(0x20)),
                                   _mm_cmpeq_epi16(x, _mm_set1_epi16(0x7F)));
            const unsigned m = unsigned(_mm_movemask_epi8(_mm_packs_epi16(isAscii, ctl)));
            const unsigned be = unsigned(_mm_movemask_epi8(_mm_packs_epi16(b, e)));
            breaks |= uint64_t(be & 0xFF) << (8 * k);
            ends |= uint64_t(be >> 8) << (8 * k);
            ascii |= uint64_t(m & 0xFF) << (8 * k);
            control |= uint64_t(m >> 8) << (8 * k);
        }
        const uint64_t high = ~ascii;
        return {breaks, ascii, ends, high, Columns ? ~(control | high) : 0, 0};
    }
};

template <class Unit> class Wrapper
{
public:
    Wrapper(std::basic_string_view<Unit> text, int64_t maxLength,
            std::basic_string_view<Unit> newline, Measure measure)
        : text_(text), max_(maxLength), newline_(newline), measure_(measure)
    {}

    void appendTo(std::basic_string<Unit> &out) const
    {
        static const bool avx2 = detail::cpuHasAvx2();
        if (avx2)
            run<true>(out);
        else
            run<false>(out);
    }

private:
    // Scans a batch of pieces, then copies them with their line breaks.
    template <bool Avx2> void run(std::basic_string<Unit> &out) const
    {
        constexpr size_t kBatch = 256;
        detail::WrapPiece pieces[kBatch];
        const Unit *p = text_.data();
        const Unit *const end = p + text_.size();
        while (p < end) {
            const size_t count =
                Avx2 ? detail::scanWrapPiecesAvx2(measure_, p, end, max_, pieces, kBatch)
                     : scanPiecesFor<Sse2>(measure_, p, end, max_, pieces, kBatch);
            // Growing a u16string fills its new room unit by unit; bytes fill with memset.
            if constexpr (sizeof(Unit) == 1)
                p = copyBatch(out, p, end, pieces, count);
            else
                p = appendBatch(out, p, end, pieces, count);
        }
    }

    const Unit *appendBatch(std::basic_string<Unit> &out, const Unit *p, const Unit *end,
                            const detail::WrapPiece *pieces, size_t count) const
    {
        for (size_t i = 0; i < count; ++i) {
            out.append(p, pieces[i].length);
            p += pieces[i].length;
            if (p == end)
                break;
            out.append(newline_);
            p += pieces[i].skip;
        }
        return p;
    }

    // Makes room for the whole batch, then copies into it.
    const Unit *copyBatch(std::basic_string<Unit> &out, const Unit *p, const Unit *end,
                          const detail::WrapPiece *pieces, size_t count) const
    {
        size_t total = kCopySlack;
        for (size_t i = 0; i < count; ++i)
            total += pieces[i].length + newline_.size();
        size_t used = out.size();
        out.resize(used + total);
        Unit *const dst = out.data();
        for (size_t i = 0; i < count; ++i) {
            copyPiece(dst + used, p, pieces[i].length, end);
            used += pieces[i].length;
            p += pieces[i].length;
            if (p == end)
                break;
            for (const Unit u : newline_)
                dst[used++] = u;
            p += pieces[i].skip;
        }
        out.resize(used);
        return p;
    }

    // Short pieces are copied 64 bytes at a time, past their end where there is room: the
    // surplus is overwritten by what follows or cut off at the end.
    static constexpr size_t kCopySlack = 64 / sizeof(Unit);
    static void copyPiece(Unit *dst, const Unit *src, size_t length, const Unit *end)
    {
        if (length <= kCopySlack && end - src >= std::ptrdiff_t(kCopySlack)) {
            for (int k = 0; k < 4; ++k) {
                const auto *from = reinterpret_cast<const __m128i *>(src) + k;
                _mm_storeu_si128(reinterpret_cast<__m128i *>(dst) + k, _mm_loadu_si128(from));
            }
        } else {
            std::memcpy(dst, src, length * sizeof(Unit));
        }
    }

    std::basic_string_view<Unit> text_;
    int64_t max_;
    std::basic_string_view<Unit> newline_;
    Measure measure_;
};

template <class Unit>
void appendWrapped(std::basic_string<Unit> &out, std::basic_string_view<Unit> text,
                   int64_t maxLength, std::basic_string_view<Unit> newline, Measure measure)
{
    if (maxLength < 1)
        throw std::invalid_argument("wrapText: maxLength must be at least 1");
    out.reserve(out.size() + text.size() + (text.size() / size_t(maxLength) + 8) * newline.size());
    Wrapper<Unit>(text, maxLength, newline, measure).appendTo(out);
}

} // namespace

std::string wrapText(std::string_view utf8, int64_t maxLength, std::string_view newline,
                     Measure measure)
{
    std::string out;
    appendWrapped(out, utf8, maxLength, newline, measure);
    return out;
}

std::u16string wrapText(std::u16string_view utf16, int64_t maxLength, std::u16string_view newline,
                        Measure measure)
{
    std::u16string out;
    appendWrapped(out, utf16, maxLength, newline, measure);
    return out;
}

void appendWrappedText(std::string &out, std::string_view utf8, int64_t maxLength,
                       std::string_view newline, Measure measure)
{
    appendWrapped(out, utf8, maxLength, newline, measure);
}

} // namespace lintrel
