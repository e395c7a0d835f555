// Statistics kernels for CPUs with AVX2, 32 bytes per vector; chosen at run time.
#include "formatter/text_stats.h"

#include <immintrin.h>

// Everything below is compiled for AVX2 and POPCNT and has internal linkage, so no function
// built for these features can stand in for a baseline one at link time.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,popcnt,bmi"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,popcnt,bmi")
#endif

#include "formatter/stats_kernel.inc"

namespace {

inline uint64_t bits32(__m256i v, int shift)
{
    return uint64_t(unsigned(_mm256_movemask_epi8(v))) << shift;
}

inline __m256i eq8(__m256i x, char c)
{
    return _mm256_cmpeq_epi8(x, _mm256_set1_epi8(c));
}
inline __m256i eq16(__m256i x, int c)
{
    return _mm256_cmpeq_epi16(x, _mm256_set1_epi16(short(c)));
}

// Splits the movemask of packs(a, b) (lanes interleave 8 units of a, 8 of b) into 16 bits each.
inline void unpackPair(unsigned m, int shift, uint64_t &a, uint64_t &b)
{
    a |= uint64_t((m & 0xFF) | ((m >> 8) & 0xFF00)) << shift;
    b |= uint64_t(((m >> 8) & 0xFF) | ((m >> 16) & 0xFF00)) << shift;
}

struct Avx2
{
    static Masks load(const char *p, uint64_t valid, uint64_t & /*state*/)
    {
        uint64_t sep = 0, sent = 0, cr = 0, lf = 0, cont = 0;
        for (int k = 0; k < 2; ++k) {
            const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + 32 * k));
            const __m256i isLf = eq8(x, '\n');
            const __m256i isCr = eq8(x, '\r');
            const __m256i s = _mm256_or_si256(
                _mm256_or_si256(isLf, isCr),
                _mm256_or_si256(_mm256_or_si256(eq8(x, '!'), eq8(x, '.')), eq8(x, '?')));
            const __m256i o =
                _mm256_or_si256(_mm256_or_si256(eq8(x, ' '), eq8(x, ',')), eq8(x, ';'));
            // Continuation bytes 0x80..0xBF are the signed values below -64.
            const __m256i c = _mm256_cmpgt_epi8(_mm256_set1_epi8(-64), x);
            sent |= bits32(s, 32 * k);
            sep |= bits32(_mm256_or_si256(s, o), 32 * k);
            cr |= bits32(isCr, 32 * k);
            lf |= bits32(isLf, 32 * k);
            cont |= bits32(c, 32 * k);
        }
        return Masks{~sep & valid, sent, cr, lf, ~(cont | cr | lf) & valid};
    }

    static Masks load(const char16_t *p, uint64_t valid, uint64_t &prevHigh)
    {
        uint64_t sep = 0, sent = 0, cr = 0, lf = 0, low = 0, high = 0;
        for (int k = 0; k < 4; ++k) {
            const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + 16 * k));
            const __m256i isLf = eq16(x, '\n');
            const __m256i isCr = eq16(x, '\r');
            const __m256i s = _mm256_or_si256(
                _mm256_or_si256(isLf, isCr),
                _mm256_or_si256(_mm256_or_si256(eq16(x, '!'), eq16(x, '.')), eq16(x, '?')));
            const __m256i o =
                _mm256_or_si256(_mm256_or_si256(eq16(x, ' '), eq16(x, ',')), eq16(x, ';'));
            const __m256i top = _mm256_and_si256(x, _mm256_set1_epi16(short(0xFC00)));
            const int shift = 16 * k;
            unpackPair(unsigned(_mm256_movemask_epi8(_mm256_packs_epi16(s, _mm256_or_si256(s, o)))),
                       shift, sent, sep);
            unpackPair(unsigned(_mm256_movemask_epi8(_mm256_packs_epi16(isCr, isLf))), shift, cr,
                       lf);
            unpackPair(unsigned(_mm256_movemask_epi8(
                           _mm256_packs_epi16(eq16(top, 0xDC00), eq16(top, 0xD800)))),
                       shift, low, high);
        }
        // A low surrogate right after a high one continues its code point.
        const uint64_t cont = low & ((high << 1) | prevHigh);
        prevHigh = high >> 63;
        return Masks{~sep & valid, sent, cr, lf, ~(cont | cr | lf) & valid};
    }
};

} // namespace

namespace lintrel::detail {

void scanAvx2(StatsScan &scan, const char *text, size_t size)
{
    scanUnits<Avx2>(scan, text, size);
}

void scanAvx2(StatsScan &scan, const char16_t *text, size_t size)
{
    scanUnits<Avx2>(scan, text, size);
}

} // namespace lintrel::detail

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
