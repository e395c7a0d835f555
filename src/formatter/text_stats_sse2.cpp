// Statistics kernels for the x86-64 baseline (SSE2), 16 code units per vector.
#include "formatter/text_stats.h"
#include "formatter/unicode_text.h"

#include <emmintrin.h>

#include "formatter/stats_kernel.inc"

namespace {

inline uint64_t bits16(__m128i v, int shift)
{
    return uint64_t(unsigned(_mm_movemask_epi8(v))) << shift;
}

struct Sse2
{
    template <bool Columns> static Masks load(const char *p, uint64_t valid)
    {
        uint64_t sep = 0, sent = 0, cr = 0, lf = 0, high = 0, control = 0;
        for (int k = 0; k < 4; ++k) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 16 * k));
            const __m128i isLf = _mm_cmpeq_epi8(x, _mm_set1_epi8('\n'));
            const __m128i isCr = _mm_cmpeq_epi8(x, _mm_set1_epi8('\r'));
            __m128i s = _mm_or_si128(isLf, isCr);
            s = _mm_or_si128(s, _mm_cmpeq_epi8(x, _mm_set1_epi8('!')));
            s = _mm_or_si128(s, _mm_cmpeq_epi8(x, _mm_set1_epi8('.')));
            s = _mm_or_si128(s, _mm_cmpeq_epi8(x, _mm_set1_epi8('?')));
            __m128i o = _mm_cmpeq_epi8(x, _mm_set1_epi8(' '));
            o = _mm_or_si128(o, _mm_cmpeq_epi8(x, _mm_set1_epi8(',')));
            o = _mm_or_si128(o, _mm_cmpeq_epi8(x, _mm_set1_epi8(';')));
            sent |= bits16(s, 16 * k);
            sep |= bits16(_mm_or_si128(s, o), 16 * k);
            cr |= bits16(isCr, 16 * k);
            lf |= bits16(isLf, 16 * k);
            high |= bits16(x, 16 * k); // the top bit: not ASCII
            if constexpr (Columns)
                control |= bits16(_mm_or_si128(_mm_cmplt_epi8(x, _mm_set1_epi8(0x20)),
                                               _mm_cmpeq_epi8(x, _mm_set1_epi8(0x7F))),
                                  16 * k);
        }
        return Masks{~sep & valid,     sent, cr, lf, ~(high | cr | lf) & valid, high & valid,
                     ~control & valid, 0};
    }

    template <bool Columns> static Masks load(const char16_t *p, uint64_t valid)
    {
        // One pass computing all classes keeps each vector loaded once.
        uint64_t sep = 0, sent = 0, cr = 0, lf = 0, high = 0, control = 0;
        for (int k = 0; k < 8; ++k) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 8 * k));
            const __m128i isLf = _mm_cmpeq_epi16(x, _mm_set1_epi16('\n'));
            const __m128i isCr = _mm_cmpeq_epi16(x, _mm_set1_epi16('\r'));
            __m128i s = _mm_or_si128(isLf, isCr);
            s = _mm_or_si128(s, _mm_cmpeq_epi16(x, _mm_set1_epi16('!')));
            s = _mm_or_si128(s, _mm_cmpeq_epi16(x, _mm_set1_epi16('.')));
            s = _mm_or_si128(s, _mm_cmpeq_epi16(x, _mm_set1_epi16('?')));
            __m128i o = _mm_cmpeq_epi16(x, _mm_set1_epi16(' '));
            o = _mm_or_si128(o, _mm_cmpeq_epi16(x, _mm_set1_epi16(',')));
            o = _mm_or_si128(o, _mm_cmpeq_epi16(x, _mm_set1_epi16(';')));
            const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(x, _mm_set1_epi16(short(0xFF80))),
                                                  _mm_setzero_si128());
            __m128i ctl = _mm_setzero_si128();
            if constexpr (Columns)
                ctl = _mm_or_si128(_mm_cmplt_epi16(x, _mm_set1_epi16(0x20)),
                                   _mm_cmpeq_epi16(x, _mm_set1_epi16(0x7F)));
            // Pack the 16-bit lanes of two classes into bytes: 8 bits each.
            const int shift = 8 * k;
            const unsigned a = unsigned(_mm_movemask_epi8(_mm_packs_epi16(s, _mm_or_si128(s, o))));
            const unsigned b = unsigned(_mm_movemask_epi8(_mm_packs_epi16(isCr, isLf)));
            const unsigned c = unsigned(_mm_movemask_epi8(_mm_packs_epi16(ascii, ctl)));
            sent |= uint64_t(a & 0xFF) << shift;
            sep |= uint64_t(a >> 8) << shift;
            cr |= uint64_t(b & 0xFF) << shift;
            lf |= uint64_t(b >> 8) << shift;
            high |= uint64_t(~c & 0xFF) << shift;
            control |= uint64_t(c >> 8) << shift;
        }
        return Masks{~sep & valid,     sent, cr, lf, ~(high | cr | lf) & valid, high & valid,
                     ~control & valid, 0};
    }
};

} // namespace

namespace lintrel::detail {

size_t scanSse2(StatsScan &scan, const char *text, size_t size, Measure measure, bool final)
{
    return scanText<Sse2>(scan, text, size, measure, final);
}

size_t scanSse2(StatsScan &scan, const char16_t *text, size_t size, Measure measure, bool final)
{
    return scanText<Sse2>(scan, text, size, measure, final);
}

} // namespace lintrel::detail
