// AES-NI encryption: single blocks and eight counter blocks in flight at a time.
#include "brand/aes_lib/aes.h"

#include <immintrin.h>

#define LINTREL_AES_TARGET __attribute__((target("aes,sse4.1")))

namespace lintrel::aes_lib::detail {

namespace {

LINTREL_AES_TARGET inline __m128i roundKey(const AesKey &key, int r)
{
    return _mm_load_si128(reinterpret_cast<const __m128i *>(key.roundKeys.data() + 16 * r));
}

// Counter block with the 64-bit little-endian counter in bytes 0..7 and zeros above.
LINTREL_AES_TARGET inline __m128i counterBlock(std::uint64_t counter)
{
    return _mm_set_epi64x(0, static_cast<long long>(counter));
}

} // namespace

LINTREL_AES_TARGET void aesEncryptBlockNi(const AesKey &key, const std::uint8_t *in,
                                          std::uint8_t *out)
{
    __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in));
    s = _mm_xor_si128(s, roundKey(key, 0));
    for (int r = 1; r < key.rounds; ++r)
        s = _mm_aesenc_si128(s, roundKey(key, r));
    s = _mm_aesenclast_si128(s, roundKey(key, key.rounds));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(out), s);
}

LINTREL_AES_TARGET void aesCtr64XorNi(const AesKey &key, std::uint64_t counter, std::uint8_t *data,
                                      std::size_t nblocks)
{
    constexpr std::size_t Lanes = 8;
    const int nr = key.rounds;
    __m128i rk[15];
    for (int r = 0; r <= nr; ++r)
        rk[r] = roundKey(key, r);
    std::size_t b = 0;
    for (; b + Lanes <= nblocks; b += Lanes) {
        __m128i s[Lanes];
        for (std::size_t j = 0; j < Lanes; ++j)
            s[j] = _mm_xor_si128(counterBlock(counter + b + j + 1), rk[0]);
        for (int r = 1; r < nr; ++r)
            for (std::size_t j = 0; j < Lanes; ++j)
                s[j] = _mm_aesenc_si128(s[j], rk[r]);
        for (std::size_t j = 0; j < Lanes; ++j) {
            s[j] = _mm_aesenclast_si128(s[j], rk[nr]);
            auto *p = reinterpret_cast<__m128i *>(data + 16 * (b + j));
            _mm_storeu_si128(p, _mm_xor_si128(_mm_loadu_si128(p), s[j]));
        }
    }
    for (; b < nblocks; ++b) {
        __m128i s = _mm_xor_si128(counterBlock(counter + b + 1), rk[0]);
        for (int r = 1; r < nr; ++r)
            s = _mm_aesenc_si128(s, rk[r]);
        s = _mm_aesenclast_si128(s, rk[nr]);
        auto *p = reinterpret_cast<__m128i *>(data + 16 * b);
        _mm_storeu_si128(p, _mm_xor_si128(_mm_loadu_si128(p), s));
    }
    // The round keys on the stack are as secret as the schedule itself.
    for (auto &k : rk)
        k = _mm_setzero_si128();
    __asm__ __volatile__("" : : "r"(rk) : "memory");
}

} // namespace lintrel::aes_lib::detail
