// SHA-NI building blocks shared by the SHA-1 and the fused counter-mode code (internal).
#pragma once

#include "brand/aes_lib/sha1.h"

#include <immintrin.h>
#include <utility>

#define LINTREL_SHA_INLINE __attribute__((target("sha,sse4.1"), always_inline)) inline

namespace lintrel::aes_lib::detail {

namespace {

// One stream's registers: ABCD in the order the instructions expect, E in the top lane.
struct Lane
{
    __m128i abcd, e, prev;
    __m128i msg[4];
    __m128i saveAbcd, saveE;
};

LINTREL_SHA_INLINE void loadLane(Lane &l, const Sha1ChainingValue &h)
{
    l.abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(h.data())), 0x1B);
    l.e = _mm_set_epi32(static_cast<int>(h[4]), 0, 0, 0);
}

LINTREL_SHA_INLINE void storeLane(const Lane &l, Sha1ChainingValue &h)
{
    _mm_storeu_si128(reinterpret_cast<__m128i *>(h.data()), _mm_shuffle_epi32(l.abcd, 0x1B));
    h[4] = static_cast<std::uint32_t>(_mm_extract_epi32(l.e, 3));
}

// Round group I (four steps) of one lane; the message words of group I+4 are prepared
// along the way, rolling through msg[0..3].
template <int I> LINTREL_SHA_INLINE void roundGroup(Lane &l, const std::uint8_t *block)
{
    const __m128i bswap = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i &m = l.msg[I % 4];
    if constexpr (I < 4)
        m = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(block + 16 * I)),
                             bswap);
    else
        m = _mm_sha1msg2_epu32(
            _mm_xor_si128(_mm_sha1msg1_epu32(m, l.msg[(I + 1) % 4]), l.msg[(I + 2) % 4]),
            l.msg[(I + 3) % 4]);
    __m128i e;
    if constexpr (I == 0)
        e = _mm_add_epi32(l.e, m);
    else
        e = _mm_sha1nexte_epu32(l.prev, m);
    l.prev = l.abcd;
    l.abcd = _mm_sha1rnds4_epu32(l.abcd, e, I / 5);
}

// Group I across the lanes, so independent instructions sit side by side.
template <int I, std::size_t N>
LINTREL_SHA_INLINE void groupAcross(Lane (&lanes)[N], const std::uint8_t *const (&blocks)[N])
{
    for (std::size_t j = 0; j < N; ++j)
        roundGroup<I>(lanes[j], blocks[j]);
}

template <std::size_t N, int... I>
LINTREL_SHA_INLINE void allGroups(Lane (&lanes)[N], const std::uint8_t *const (&blocks)[N],
                                  std::integer_sequence<int, I...>)
{
    (groupAcross<I>(lanes, blocks), ...);
}

template <std::size_t N>
LINTREL_SHA_INLINE void compressLanes(Lane (&lanes)[N], const std::uint8_t *const (&blocks)[N])
{
    for (std::size_t j = 0; j < N; ++j) {
        lanes[j].saveAbcd = lanes[j].abcd;
        lanes[j].saveE = lanes[j].e;
    }
    allGroups(lanes, blocks, std::make_integer_sequence<int, 20>{});
    for (std::size_t j = 0; j < N; ++j) {
        lanes[j].e = _mm_sha1nexte_epu32(lanes[j].prev, lanes[j].saveE);
        lanes[j].abcd = _mm_add_epi32(lanes[j].abcd, lanes[j].saveAbcd);
    }
}

// Clears the lanes' copies of chaining values and message schedule: under an HMAC key they
// are as secret as the key.
template <std::size_t N> LINTREL_SHA_INLINE void wipeLanes(Lane (&lanes)[N])
{
    for (Lane &l : lanes) {
        l.abcd = l.e = l.prev = l.saveAbcd = l.saveE = _mm_setzero_si128();
        for (__m128i &m : l.msg)
            m = _mm_setzero_si128();
    }
    // Keeps the stores: the array is seen to be read after them.
    __asm__ __volatile__("" : : "r"(lanes) : "memory");
}

} // namespace

} // namespace lintrel::aes_lib::detail
