// UTF-8 validation 16 bytes at a time (SSSE3): each byte is checked against the two before it
// through three nibble lookup tables, so no byte is looked at twice.
#include "formatter/text_file.h"

#include <cstdint>
#include <cstring>
#include <tmmintrin.h>

namespace lintrel::detail {

namespace {

// Error classes of a byte pair (previous byte, this byte); a pair is malformed when all three
// lookups share a bit. Continuations expected two and three bytes after a lead byte are
// checked apart (TWO_CONTS marks a continuation after a continuation).
constexpr uint8_t kTooShort = 1 << 0;  // lead or ASCII after a lead byte
constexpr uint8_t kTooLong = 1 << 1;   // continuation after ASCII
constexpr uint8_t kOverlong3 = 1 << 2; // E0 80..9F
constexpr uint8_t kTooLarge = 1 << 3;  // F4 90..BF, F5..FF
constexpr uint8_t kSurrogate = 1 << 4; // ED A0..BF
constexpr uint8_t kOverlong2 = 1 << 5; // C0, C1
constexpr uint8_t kTooLarge1000 = 1 << 6;
constexpr uint8_t kOverlong4 = 1 << 6; // F0 80..8F
constexpr uint8_t kTwoConts = 1 << 7;
constexpr uint8_t kCarry = kTooShort | kTooLong | kTwoConts;

#define LINTREL_SSSE3 __attribute__((target("ssse3")))

LINTREL_SSSE3 inline __m128i table(uint8_t a0, uint8_t a1, uint8_t a2, uint8_t a3, uint8_t a4,
                                   uint8_t a5, uint8_t a6, uint8_t a7, uint8_t a8, uint8_t a9,
                                   uint8_t a10, uint8_t a11, uint8_t a12, uint8_t a13, uint8_t a14,
                                   uint8_t a15)
{
    return _mm_setr_epi8(char(a0), char(a1), char(a2), char(a3), char(a4), char(a5), char(a6),
                         char(a7), char(a8), char(a9), char(a10), char(a11), char(a12), char(a13),
                         char(a14), char(a15));
}

struct Checker
{
    __m128i error = _mm_setzero_si128();
    __m128i previous = _mm_setzero_si128();
    __m128i previousIncomplete = _mm_setzero_si128();

    LINTREL_SSSE3 static __m128i high(__m128i v)
    {
        return _mm_and_si128(_mm_srli_epi16(v, 4), _mm_set1_epi8(0x0F));
    }

    LINTREL_SSSE3 void check(__m128i input)
    {
        if (_mm_movemask_epi8(input) == 0) { // ASCII: only a sequence cut off before it
            error = _mm_or_si128(error, previousIncomplete);
            previous = input;
            previousIncomplete = _mm_setzero_si128();
            return;
        }
        const __m128i prev1 = _mm_alignr_epi8(input, previous, 15);
        const __m128i byte1High = _mm_shuffle_epi8(
            table(kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong,
                  kTwoConts, kTwoConts, kTwoConts, kTwoConts, kTooShort | kOverlong2, kTooShort,
                  kTooShort | kOverlong3 | kSurrogate,
                  kTooShort | kTooLarge | kTooLarge1000 | kOverlong4),
            high(prev1));
        constexpr uint8_t large = kCarry | kTooLarge | kTooLarge1000;
        const __m128i byte1Low = _mm_shuffle_epi8(
            table(kCarry | kOverlong3 | kOverlong2 | kOverlong4, kCarry | kOverlong2, kCarry,
                  kCarry, kCarry | kTooLarge, large, large, large, large, large, large, large,
                  large, large | kSurrogate, large, large),
            _mm_and_si128(prev1, _mm_set1_epi8(0x0F)));
        constexpr uint8_t cont = kTooLong | kOverlong2 | kTwoConts;
        const __m128i byte2High = _mm_shuffle_epi8(
            table(kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort,
                  kTooShort, cont | kOverlong3 | kTooLarge1000 | kOverlong4,
                  cont | kOverlong3 | kTooLarge, cont | kSurrogate | kTooLarge,
                  cont | kSurrogate | kTooLarge, kTooShort, kTooShort, kTooShort, kTooShort),
            high(input));
        const __m128i special = _mm_and_si128(_mm_and_si128(byte1High, byte1Low), byte2High);
        // The second and third continuation of a 3- and 4-byte sequence.
        const __m128i prev2 = _mm_alignr_epi8(input, previous, 14);
        const __m128i prev3 = _mm_alignr_epi8(input, previous, 13);
        const __m128i third = _mm_subs_epu8(prev2, _mm_set1_epi8(char(0xE0 - 0x80)));
        const __m128i fourth = _mm_subs_epu8(prev3, _mm_set1_epi8(char(0xF0 - 0x80)));
        const __m128i must23 =
            _mm_and_si128(_mm_or_si128(third, fourth), _mm_set1_epi8(char(0x80)));
        error = _mm_or_si128(error, _mm_xor_si128(must23, special));
        // A lead byte too near the end of the block to be complete in it.
        previousIncomplete =
            _mm_subs_epu8(input, table(255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                       255, 0xF0 - 1, 0xE0 - 1, 0xC0 - 1));
        previous = input;
    }
};

} // namespace

LINTREL_SSSE3 bool isValidUtf8Ssse3(std::string_view bytes)
{
    Checker c;
    const char *p = bytes.data();
    size_t i = 0;
    for (; i + 64 <= bytes.size(); i += 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 16));
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 32));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 48));
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(x, d))) == 0) {
            c.error = _mm_or_si128(c.error, c.previousIncomplete);
            c.previous = d;
            c.previousIncomplete = _mm_setzero_si128();
            continue;
        }
        c.check(a);
        c.check(b);
        c.check(x);
        c.check(d);
    }
    for (; i < bytes.size(); i += 16) {
        char block[16] = {}; // padded with NUL, which is ASCII
        std::memcpy(block, p + i, std::min<size_t>(16, bytes.size() - i));
        c.check(_mm_loadu_si128(reinterpret_cast<const __m128i *>(block)));
    }
    c.check(_mm_setzero_si128()); // a sequence cut off at the end
    return _mm_movemask_epi8(_mm_cmpeq_epi8(c.error, _mm_setzero_si128())) == 0xFFFF;
}

bool cpuHasSsse3()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3") != 0;
}

} // namespace lintrel::detail
