// AES counter mode with VAES: two blocks per instruction, sixteen blocks in flight.
#include "brand/aes_lib/aes.h"

#include <immintrin.h>

#define LINTREL_VAES_TARGET __attribute__((target("vaes,avx2,aes,sse4.1")))

namespace lintrel::aes_lib::detail {

namespace {

template <int Nr>
LINTREL_VAES_TARGET void ctrBlocksVaes(const AesKey &key, std::uint64_t counter, std::uint8_t *data,
                                       std::size_t nblocks)
{
    constexpr std::size_t Lanes = 8; // 256-bit registers, two blocks each
    __m256i rk[Nr + 1];
    for (int r = 0; r <= Nr; ++r)
        rk[r] = _mm256_broadcastsi128_si256(
            _mm_load_si128(reinterpret_cast<const __m128i *>(key.roundKeys.data() + 16 * r)));
    // Low 64-bit lane of each block: the little-endian counter; adding wraps modulo 2^64.
    const auto c = static_cast<long long>(counter);
    __m256i ctr = _mm256_set_epi64x(0, c + 2, 0, c + 1);
    const __m256i two = _mm256_set_epi64x(0, 2, 0, 2);
    __m256i s[Lanes]; // keystream: with the ciphertext it gives the plain text
    std::size_t b = 0;
    for (; b + 2 * Lanes <= nblocks; b += 2 * Lanes) {
        for (std::size_t j = 0; j < Lanes; ++j) {
            s[j] = _mm256_xor_si256(ctr, rk[0]);
            ctr = _mm256_add_epi64(ctr, two);
        }
        for (int r = 1; r < Nr; ++r)
            for (std::size_t j = 0; j < Lanes; ++j)
                s[j] = _mm256_aesenc_epi128(s[j], rk[r]);
        for (std::size_t j = 0; j < Lanes; ++j) {
            s[j] = _mm256_aesenclast_epi128(s[j], rk[Nr]);
            auto *p = reinterpret_cast<__m256i *>(data + 16 * (b + 2 * j));
            _mm256_storeu_si256(p, _mm256_xor_si256(_mm256_loadu_si256(p), s[j]));
        }
    }
    for (auto &k : rk)
        k = _mm256_setzero_si256();
    for (auto &k : s)
        k = _mm256_setzero_si256();
    __asm__ __volatile__("" : : "r"(rk), "r"(s) : "memory");
    _mm256_zeroupper();
    // The last few blocks go through the 128-bit path.
    if (b < nblocks)
        aesCtr64XorNi(key, counter + b, data + 16 * b, nblocks - b);
}

} // namespace

LINTREL_VAES_TARGET void aesCtr64XorVaes(const AesKey &key, std::uint64_t counter,
                                         std::uint8_t *data, std::size_t nblocks)
{
    switch (key.rounds) {
    case 10:
        ctrBlocksVaes<10>(key, counter, data, nblocks);
        break;
    case 12:
        ctrBlocksVaes<12>(key, counter, data, nblocks);
        break;
    default:
        ctrBlocksVaes<14>(key, counter, data, nblocks);
        break;
    }
}

} // namespace lintrel::aes_lib::detail
