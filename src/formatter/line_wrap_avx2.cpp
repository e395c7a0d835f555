// The line wrapper's scan for CPUs with AVX2, 32 bytes per vector; chosen at run time.
#include "formatter/wrap_kernel.h"

#include <immintrin.h>

// Everything below is compiled for AVX2, POPCNT, BMI1 and BMI2 and has internal linkage (see
// text_stats_avx2.cpp).
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,popcnt,bmi,bmi2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,popcnt,bmi,bmi2")
#endif

#define LINTREL_WRAP_KERNEL_BMI2 1
#include "formatter/wrap_kernel.inc"

namespace {

inline __m256i eq8(__m256i x, char c)
{
    return _mm256_cmpeq_epi8(x, _mm256_set1_epi8(c));
}
inline __m256i eq16(__m256i x, int c)
{
    return _mm256_cmpeq_epi16(x, _mm256_set1_epi16(short(c)));
}

inline uint64_t bits32(__m256i v, int shift)
{
    return uint64_t(unsigned(_mm256_movemask_epi8(v))) << shift;
}

// Units below 32 and DEL: no column. Bytes of other characters come out set too; the cluster
// pass decides those.
inline __m256i controls(__m256i x)
{
    return _mm256_or_si256(_mm256_cmpgt_epi8(_mm256_set1_epi8(0x20), x), eq8(x, 0x7F));
}

inline __m256i lineEnds(__m256i x)
{
    return _mm256_or_si256(eq8(x, '\n'), eq8(x, '\r'));
}

// Space, ".", ":" and ";"; ":" and ";" are 58 and 59: clear the low bit and compare once.
inline __m256i breakChars(__m256i x)
{
    return _mm256_or_si256(_mm256_or_si256(eq8(x, ' '), eq8(x, '.')),
                           eq8(_mm256_andnot_si256(_mm256_set1_epi8(1), x), ':'));
}

// Splits the movemask of packs(a, b) (lanes interleave 8 units of a, 8 of b) into 16 bits each.
inline void unpackPair(unsigned m, int shift, uint64_t &a, uint64_t &b)
{
    a |= uint64_t((m & 0xFF) | ((m >> 8) & 0xFF00)) << shift;
    b |= uint64_t(((m >> 8) & 0xFF) | ((m >> 16) & 0xFF00)) << shift;
}

struct Avx2
{
    template <bool Columns> [[gnu::always_inline]] static WrapMasks load(const char *p)
    {
        const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
        const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + 32));
        const uint64_t breaks = bits32(breakChars(lo), 0) | bits32(breakChars(hi), 32);
        const uint64_t ends = bits32(lineEnds(lo), 0) | bits32(lineEnds(hi), 32);
        const uint64_t high = bits32(lo, 0) | bits32(hi, 32); // the top bit: not ASCII
        uint64_t control = 0;
        if constexpr (Columns)
            control = bits32(controls(lo), 0) | bits32(controls(hi), 32);
        return {breaks, ~high, ends, high, Columns ? ~(control | high) : 0, 0};
    }

    template <bool Columns> [[gnu::always_inline]] static WrapMasks load(const char16_t *p)
    {
        uint64_t breaks = 0, ends = 0, ascii = 0, control = 0;
        for (int k = 0; k < 4; ++k) {
            const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + 16 * k));
            const __m256i e = _mm256_or_si256(eq16(x, '\n'), eq16(x, '\r'));
            const __m256i b =
                _mm256_or_si256(_mm256_or_si256(eq16(x, ' '), eq16(x, '.')),
                                eq16(_mm256_andnot_si256(_mm256_set1_epi16(1), x), ':'));
            const __m256i isAscii = _mm256_cmpeq_epi16(
                _mm256_and_si256(x, _mm256_set1_epi16(short(0xFF80))), _mm256_setzero_si256());
            __m256i ctl = _mm256_setzero_si256();
            if constexpr (Columns)
                ctl =
                    _mm256_or_si256(_mm256_cmpgt_epi16(_mm256_set1_epi16(0x20), x), eq16(x, 0x7F));
            unpackPair(unsigned(_mm256_movemask_epi8(_mm256_packs_epi16(b, e))), 16 * k, breaks,
                       ends);
            unpackPair(unsigned(_mm256_movemask_epi8(_mm256_packs_epi16(isAscii, ctl))), 16 * k,
                       ascii, control);
        }
        const uint64_t high = ~ascii;
        return {breaks, ascii, ends, high, Columns ? ~(control | high) : 0, 0};
    }
};

} // namespace

namespace lintrel::detail {

size_t scanWrapPiecesAvx2(Measure measure, const char *p, const char *end, int64_t maxLength,
                          WrapPiece *pieces, size_t capacity)
{
    return scanPiecesFor<Avx2>(measure, p, end, maxLength, pieces, capacity);
}

size_t scanWrapPiecesAvx2(Measure measure, const char16_t *p, const char16_t *end,
                          int64_t maxLength, WrapPiece *pieces, size_t capacity)
{
    return scanPiecesFor<Avx2>(measure, p, end, maxLength, pieces, capacity);
}

} // namespace lintrel::detail

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
