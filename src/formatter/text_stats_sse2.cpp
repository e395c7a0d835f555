// Statistics kernels for the x86-64 baseline (SSE2), 16 code units per vector.
#include "formatter/text_stats.h"

#include <emmintrin.h>

#include "formatter/stats_kernel.inc"

namespace {

inline uint64_t bits16(__m128i v, int shift)
{
    return uint64_t(unsigned(_mm_movemask_epi8(v))) << shift;
}

struct Sse2
{
    static Masks load(const char *p, uint64_t valid, uint64_t & /*state*/)
    {
        uint64_t sep = 0, sent = 0, cr = 0, lf = 0, cont = 0;
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
            // Continuation bytes 0x80..0xBF are the signed values below -64.
            const __m128i c = _mm_cmplt_epi8(x, _mm_set1_epi8(-64));
            sent |= bits16(s, 16 * k);
            sep |= bits16(_mm_or_si128(s, o), 16 * k);
            cr |= bits16(isCr, 16 * k);
            lf |= bits16(isLf, 16 * k);
            cont |= bits16(c, 16 * k);
        }
        return Masks{~sep & valid, sent, cr, lf, ~(cont | cr | lf) & valid};
    }

    static Masks load(const char16_t *p, uint64_t valid, uint64_t &prevHigh)
    {
        // One pass computing all classes keeps each vector loaded once.
        uint64_t sep = 0, sent = 0, cr = 0, lf = 0, low = 0, high = 0;
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
            const __m128i top = _mm_and_si128(x, _mm_set1_epi16(short(0xFC00)));
            const __m128i isLow = _mm_cmpeq_epi16(top, _mm_set1_epi16(short(0xDC00)));
            const __m128i isHigh = _mm_cmpeq_epi16(top, _mm_set1_epi16(short(0xD800)));
            // Pack the 16-bit lanes of two classes into bytes: 8 bits each.
            const int shift = 8 * k;
            const __m128i sc = _mm_packs_epi16(s, _mm_or_si128(s, o));
            const __m128i rl = _mm_packs_epi16(isCr, isLf);
            const __m128i lh = _mm_packs_epi16(isLow, isHigh);
            const unsigned a = unsigned(_mm_movemask_epi8(sc));
            const unsigned b = unsigned(_mm_movemask_epi8(rl));
            const unsigned c = unsigned(_mm_movemask_epi8(lh));
            sent |= uint64_t(a & 0xFF) << shift;
            sep |= uint64_t(a >> 8) << shift;
            cr |= uint64_t(b & 0xFF) << shift;
            lf |= uint64_t(b >> 8) << shift;
            low |= uint64_t(c & 0xFF) << shift;
            high |= uint64_t(c >> 8) << shift;
        }
        // A low surrogate right after a high one continues its code point.
        const uint64_t cont = low & ((high << 1) | prevHigh);
        prevHigh = high >> 63;
        return Masks{~sep & valid, sent, cr, lf, ~(cont | cr | lf) & valid};
    }
};

} // namespace

namespace lintrel::detail {

void scanSse2(StatsScan &scan, const char *text, size_t size)
{
    scanUnits<Sse2>(scan, text, size);
}

void scanSse2(StatsScan &scan, const char16_t *text, size_t size)
{
    scanUnits<Sse2>(scan, text, size);
}

} // namespace lintrel::detail
