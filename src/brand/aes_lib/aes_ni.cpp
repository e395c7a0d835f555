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

namespace {

// Counter mode with the round count fixed at compile time so every loop unrolls; eight
// blocks are in flight to cover the latency of the round instruction.
template <int Nr>
LINTREL_AES_TARGET void ctrBlocks(const AesKey &key, std::uint64_t counter, std::uint8_t *data,
                                  std::size_t nblocks)
{
    constexpr std::size_t Lanes = 8;
    __m128i rk[Nr + 1];
    for (int r = 0; r <= Nr; ++r)
        rk[r] = roundKey(key, r);
    // Adding in the low 64-bit lane wraps modulo 2^64 without touching bytes 8..15.
    const __m128i one = _mm_set_epi64x(0, 1);
    __m128i ctr = counterBlock(counter);
    __m128i s[Lanes]; // keystream: with the ciphertext it gives the plain text
    std::size_t b = 0;
    for (; b + Lanes <= nblocks; b += Lanes) {
        for (std::size_t j = 0; j < Lanes; ++j) {
            ctr = _mm_add_epi64(ctr, one);
            s[j] = _mm_xor_si128(ctr, rk[0]);
        }
        for (int r = 1; r < Nr; ++r)
            for (std::size_t j = 0; j < Lanes; ++j)
                s[j] = _mm_aesenc_si128(s[j], rk[r]);
        for (std::size_t j = 0; j < Lanes; ++j) {
            s[j] = _mm_aesenclast_si128(s[j], rk[Nr]);
            auto *p = reinterpret_cast<__m128i *>(data + 16 * (b + j));
            _mm_storeu_si128(p, _mm_xor_si128(_mm_loadu_si128(p), s[j]));
        }
    }
    for (; b < nblocks; ++b) {
        ctr = _mm_add_epi64(ctr, one);
        s[0] = _mm_xor_si128(ctr, rk[0]);
        for (int r = 1; r < Nr; ++r)
            s[0] = _mm_aesenc_si128(s[0], rk[r]);
        s[0] = _mm_aesenclast_si128(s[0], rk[Nr]);
        auto *p = reinterpret_cast<__m128i *>(data + 16 * b);
        _mm_storeu_si128(p, _mm_xor_si128(_mm_loadu_si128(p), s[0]));
    }
    // The round keys on the stack are as secret as the schedule itself.
    for (auto &k : rk)
        k = _mm_setzero_si128();
    for (auto &k : s)
        k = _mm_setzero_si128();
    __asm__ __volatile__("" : : "r"(rk), "r"(s) : "memory");
}

} // namespace

LINTREL_AES_TARGET void aesCtr64XorNi(const AesKey &key, std::uint64_t counter, std::uint8_t *data,
                                      std::size_t nblocks)
{
    switch (key.rounds) {
    case 10:
        ctrBlocks<10>(key, counter, data, nblocks);
        break;
    case 12:
        ctrBlocks<12>(key, counter, data, nblocks);
        break;
    default:
        ctrBlocks<14>(key, counter, data, nblocks);
        break;
    }
}

} // namespace lintrel::aes_lib::detail
