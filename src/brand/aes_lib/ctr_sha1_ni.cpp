// Fused AES-NI counter mode and SHA-NI compression over 64-byte groups.
#include "brand/aes_lib/ctr_sha1.h"

#include "brand/aes_lib/sha1_ni_lanes.h"

#define LINTREL_FUSED_TARGET __attribute__((target("sha,aes,sse4.1")))
#define LINTREL_FUSED_INLINE __attribute__((target("sha,aes,sse4.1"), always_inline)) inline

namespace lintrel::aes_lib::detail {

namespace {

template <int Nr> struct RoundKeys
{
    __m128i k[Nr + 1];
};

// XORs the 64 bytes at p with the encryptions of the four counter blocks after ctr.
template <int Nr>
LINTREL_FUSED_INLINE void xorGroup(const RoundKeys<Nr> &rk, __m128i &ctr, std::uint8_t *p,
                                   __m128i (&s)[4])
{
    const __m128i one = _mm_set_epi64x(0, 1);
    for (int j = 0; j < 4; ++j) {
        ctr = _mm_add_epi64(ctr, one);
        s[j] = _mm_xor_si128(ctr, rk.k[0]);
    }
    for (int r = 1; r < Nr; ++r)
        for (int j = 0; j < 4; ++j)
            s[j] = _mm_aesenc_si128(s[j], rk.k[r]);
    for (int j = 0; j < 4; ++j) {
        s[j] = _mm_aesenclast_si128(s[j], rk.k[Nr]);
        auto *q = reinterpret_cast<__m128i *>(p + 16 * j);
        _mm_storeu_si128(q, _mm_xor_si128(_mm_loadu_si128(q), s[j]));
    }
}

template <int Nr, bool HashFirst>
LINTREL_FUSED_TARGET void fused(const AesKey &key, std::uint64_t counter, Sha1ChainingValue &h,
                                std::uint8_t *data, std::size_t ngroups)
{
    RoundKeys<Nr> rk;
    for (int r = 0; r <= Nr; ++r)
        rk.k[r] = _mm_load_si128(reinterpret_cast<const __m128i *>(key.roundKeys.data() + 16 * r));
    __m128i ctr = _mm_set_epi64x(0, static_cast<long long>(counter));
    Lane lanes[1];
    __m128i stream[4]; // keystream: with the ciphertext it gives the plain text
    loadLane(lanes[0], h);
    // The XOR of one group and the compression of another are independent, so the
    // processor overlaps the AES rounds with the latency-bound SHA-1 rounds. Encrypting,
    // the XOR runs one group ahead of the hash that needs its result.
    if constexpr (!HashFirst)
        xorGroup<Nr>(rk, ctr, data, stream);
    for (std::size_t g = 0; g < ngroups; ++g) {
        std::uint8_t *p = data + 64 * g;
        const std::uint8_t *const blk[1] = {p};
        if constexpr (HashFirst) {
            compressLanes(lanes, blk);
            xorGroup<Nr>(rk, ctr, p, stream);
        } else {
            if (g + 1 < ngroups)
                xorGroup<Nr>(rk, ctr, p + 64, stream);
            compressLanes(lanes, blk);
        }
    }
    storeLane(lanes[0], h);
    wipeLanes(lanes);
    for (auto &k : rk.k)
        k = _mm_setzero_si128();
    for (auto &k : stream)
        k = _mm_setzero_si128();
    __asm__ __volatile__("" : : "r"(rk.k), "r"(stream) : "memory");
}

template <bool HashFirst>
void dispatch(const AesKey &key, std::uint64_t counter, Sha1ChainingValue &h, std::uint8_t *data,
              std::size_t ngroups)
{
    switch (key.rounds) {
    case 10:
        fused<10, HashFirst>(key, counter, h, data, ngroups);
        break;
    case 12:
        fused<12, HashFirst>(key, counter, h, data, ngroups);
        break;
    default:
        fused<14, HashFirst>(key, counter, h, data, ngroups);
        break;
    }
}

} // namespace

void ctrXorThenSha1Ni(const AesKey &key, std::uint64_t counter, Sha1ChainingValue &h,
                      std::uint8_t *data, std::size_t ngroups)
{
    dispatch<false>(key, counter, h, data, ngroups);
}

void sha1ThenCtrXorNi(const AesKey &key, std::uint64_t counter, Sha1ChainingValue &h,
                      std::uint8_t *data, std::size_t ngroups)
{
    dispatch<true>(key, counter, h, data, ngroups);
}

} // namespace lintrel::aes_lib::detail
