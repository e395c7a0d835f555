// PBKDF2-HMAC-SHA1: the keyed HMAC state is built once and copied; the iterations run on
// bare compressions, two output blocks side by side.
#include "brand/aes_lib/pbkdf2.h"

#include "brand/aes_lib/hmac_sha1.h"
#include "brand/aes_lib/secure.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace lintrel::aes_lib {

namespace {

// One output block in progress: T (the XOR of the Us) and the two padded one-block messages
// of an iteration, whose first 20 bytes take the digest of the step before.
struct BlockLane
{
    Sha1ChainingValue t{};
    std::array<std::uint8_t, Sha1BlockSize> innerMsg{};
    std::array<std::uint8_t, Sha1BlockSize> outerMsg{};
    Sha1ChainingValue h{};

    ~BlockLane()
    {
        secureWipeObject(t);
        secureWipeObject(innerMsg);
        secureWipeObject(outerMsg);
        secureWipeObject(h);
    }
};

void putWords(std::uint8_t *p, const Sha1ChainingValue &h)
{
    for (std::size_t i = 0; i < 5; ++i) {
        p[4 * i] = static_cast<std::uint8_t>(h[i] >> 24);
        p[4 * i + 1] = static_cast<std::uint8_t>(h[i] >> 16);
        p[4 * i + 2] = static_cast<std::uint8_t>(h[i] >> 8);
        p[4 * i + 3] = static_cast<std::uint8_t>(h[i]);
    }
}

// Padding of a 20-byte message that follows one key block: 84 bytes = 672 bits in all.
void padDigestMessage(std::array<std::uint8_t, Sha1BlockSize> &msg)
{
    msg.fill(0);
    msg[20] = 0x80;
    msg[62] = 0x02;
    msg[63] = 0xA0;
}

// U1 = HMAC(password, salt || INT(index)) into lane.innerMsg and lane.t.
void firstU(const HmacSha1Ctx &keyed, std::span<const std::uint8_t> salt, std::uint32_t index,
            BlockLane &lane)
{
    HmacSha1Ctx ctx = keyed;
    const std::uint8_t be[4] = {
        static_cast<std::uint8_t>(index >> 24), static_cast<std::uint8_t>(index >> 16),
        static_cast<std::uint8_t>(index >> 8), static_cast<std::uint8_t>(index)};
    hmacSha1Update(ctx, salt);
    hmacSha1Update(ctx, be);
    padDigestMessage(lane.innerMsg);
    padDigestMessage(lane.outerMsg);
    hmacSha1Final(ctx, std::span(lane.innerMsg.data(), Sha1DigestSize));
    for (std::size_t i = 0; i < 5; ++i) {
        const std::uint8_t *p = lane.innerMsg.data() + 4 * i;
        lane.t[i] = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                    (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
    }
}

// Runs iterations 2..c for n (1 or 2) lanes.
void iterate(BlockLane *lanes, std::size_t n, const Sha1ChainingValue &ipad,
             const Sha1ChainingValue &opad, std::uint32_t iterations)
{
    for (std::uint32_t it = 1; it < iterations; ++it) {
        for (std::size_t j = 0; j < n; ++j)
            lanes[j].h = ipad;
        if (n == 2)
            sha1CompressPair(lanes[0].h, lanes[0].innerMsg.data(), lanes[1].h,
                             lanes[1].innerMsg.data());
        else
            sha1Compress(lanes[0].h, lanes[0].innerMsg);
        for (std::size_t j = 0; j < n; ++j) {
            putWords(lanes[j].outerMsg.data(), lanes[j].h);
            lanes[j].h = opad;
        }
        if (n == 2)
            sha1CompressPair(lanes[0].h, lanes[0].outerMsg.data(), lanes[1].h,
                             lanes[1].outerMsg.data());
        else
            sha1Compress(lanes[0].h, lanes[0].outerMsg);
        for (std::size_t j = 0; j < n; ++j) {
            putWords(lanes[j].innerMsg.data(), lanes[j].h);
            for (std::size_t i = 0; i < 5; ++i)
                lanes[j].t[i] ^= lanes[j].h[i];
        }
    }
}

} // namespace

void pbkdf2HmacSha1(std::span<const std::uint8_t> password, std::span<const std::uint8_t> salt,
                    std::uint32_t iterations, std::span<std::uint8_t> out)
{
    if (iterations == 0)
        throw std::invalid_argument("PBKDF2 needs at least one iteration");
    const std::uint64_t blocks = (out.size() + Sha1DigestSize - 1) / Sha1DigestSize;
    if (blocks > 0xFFFFFFFFull)
        throw std::invalid_argument("PBKDF2 output too long");
    HmacSha1Ctx keyed;
    hmacSha1Init(keyed);
    hmacSha1Key(keyed, password);
    hmacSha1Update(keyed, {});
    Sha1ChainingValue ipad = keyed.inner.h;
    Sha1ChainingValue opad = keyed.outer.h;

    std::uint8_t block[Sha1DigestSize];
    for (std::uint64_t first = 1; first <= blocks; first += 2) {
        const std::size_t n = (first + 1 <= blocks) ? 2 : 1;
        BlockLane lanes[2];
        for (std::size_t j = 0; j < n; ++j)
            firstU(keyed, salt, static_cast<std::uint32_t>(first + j), lanes[j]);
        iterate(lanes, n, ipad, opad, iterations);
        for (std::size_t j = 0; j < n; ++j) {
            const std::size_t offset = (first - 1 + j) * Sha1DigestSize;
            putWords(block, lanes[j].t);
            std::copy_n(block, std::min(Sha1DigestSize, out.size() - offset),
                        out.begin() + static_cast<std::ptrdiff_t>(offset));
        }
    }
    secureWipe(block, sizeof block);
    secureWipeObject(ipad);
    secureWipeObject(opad);
}

} // namespace lintrel::aes_lib
