// Statistics kernels for CPUs with AVX2, 32 bytes per vector; chosen at run time.
#include "formatter/text_stats.h"
#include "formatter/unicode_text.h"

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
    template <bool Columns> static Masks load(const char *p, uint64_t valid)
    {
        uint64_t sep = 0, sent = 0, cr = 0, lf = 0, high = 0, control = 0;
        for (int k = 0; k < 2; ++k) {
            const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + 32 * k));
            const __m256i isLf = eq8(x, '\n');
            const __m256i isCr = eq8(x, '\r');
            const __m256i s = _mm256_or_si256(
                _mm256_or_si256(isLf, isCr),
                _mm256_or_si256(_mm256_or_si256(eq8(x, '!'), eq8(x, '.')), eq8(x, '?')));
            const __m256i o =
                _mm256_or_si256(_mm256_or_si256(eq8(x, ' '), eq8(x, ',')), eq8(x, ';'));
            sent |= bits32(s, 32 * k);
            sep |= bits32(_mm256_or_si256(s, o), 32 * k);
            cr |= bits32(isCr, 32 * k);
            lf |= bits32(isLf, 32 * k);
            high |= bits32(x, 32 * k); // the top bit: not ASCII
            if constexpr (Columns)
                control |= bits32(
                    _mm256_or_si256(_mm256_cmpgt_epi8(_mm256_set1_epi8(0x20), x), eq8(x, 0x7F)),
                    32 * k);
        }
        return Masks{~sep & valid,     sent, cr, lf, ~(high | cr | lf) & valid, high & valid,
                     ~control & valid, 0};
    }

    template <bool Columns> static Masks load(const char16_t *p, uint64_t valid)
    {
        uint64_t sep = 0, sent = 0, cr = 0, lf = 0, ascii = 0, control = 0;
        for (int k = 0; k < 4; ++k) {
            const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + 16 * k));
            const __m256i isLf = eq16(x, '\n');
            const __m256i isCr = eq16(x, '\r');
            const __m256i s = _mm256_or_si256(
                _mm256_or_si256(isLf, isCr),
                _mm256_or_si256(_mm256_or_si256(eq16(x, '!'), eq16(x, '.')), eq16(x, '?')));
            const __m256i o =
                _mm256_or_si256(_mm256_or_si256(eq16(x, ' '), eq16(x, ',')), eq16(x, ';'));
            const __m256i isAscii = _mm256_cmpeq_epi16(
                _mm256_and_si256(x, _mm256_set1_epi16(short(0xFF80))), _mm256_setzero_si256());
            __m256i ctl = _mm256_setzero_si256();
            if constexpr (Columns)
                ctl =
                    _mm256_or_si256(_mm256_cmpgt_epi16(_mm256_set1_epi16(0x20), x), eq16(x, 0x7F));
            const int shift = 16 * k;
            unpackPair(unsigned(_mm256_movemask_epi8(_mm256_packs_epi16(s, _mm256_or_si256(s, o)))),
                       shift, sent, sep);
            unpackPair(unsigned(_mm256_movemask_epi8(_mm256_packs_epi16(isCr, isLf))), shift, cr,
                       lf);
            unpackPair(unsigned(_mm256_movemask_epi8(_mm256_packs_epi16(isAscii, ctl))), shift,
                       ascii, control);
        }
        const uint64_t high = ~ascii;
        return Masks{~sep & valid,     sent, cr, lf, ~(high | cr | lf) & valid, high & valid,
                     ~control & valid, 0};
    }
};

} // namespace

namespace lintrel::detail {

size_t scanAvx2(StatsScan &scan, const char *text, size_t size, Measure measure, bool final)
{
    return scanText<Avx2>(scan, text, size, measure, final);
}

size_t scanAvx2(StatsScan &scan, const char16_t *text, size_t size, Measure measure, bool final)
{
    return scanText<Avx2>(scan, text, size, measure, final);
}

} // namespace lintrel::detail

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
