// Portable SHA-1 and the streaming context; dispatches whole blocks to SHA-NI when present.
#include "brand/aes_lib/sha1.h"

#include "brand/aes_lib/cpu_features.h"
#include "brand/aes_lib/secure.h"

#include <cstring>

namespace lintrel::aes_lib {

namespace {

constexpr Sha1ChainingValue InitialH = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};

inline std::uint32_t rotl(std::uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

inline std::uint32_t load32be(const std::uint8_t *p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

// The standard's functions f_t of the four round groups.
inline std::uint32_t Ch(std::uint32_t x, std::uint32_t y, std::uint32_t z)
{
    return z ^ (x & (y ^ z));
}
inline std::uint32_t Parity(std::uint32_t x, std::uint32_t y, std::uint32_t z)
{
    return x ^ y ^ z;
}
inline std::uint32_t Maj(std::uint32_t x, std::uint32_t y, std::uint32_t z)
{
    return (x & y) | (z & (x | y));
}

} // namespace

Sha1Ctx::~Sha1Ctx()
{
    secureWipeObject(h);
    secureWipeObject(buffer);
    count = 0;
}

namespace detail {

// One step with the working variables renamed instead of moved: after five steps the
// names are back in place. W holds the message schedule as a ring of 16 words.
#define LINTREL_SHA1_W(t)                                                                          \
    ((t) < 16 ? (W[(t)&15] = load32be(blocks + 4 * ((t)&15)))                                      \
              : (W[(t)&15] = rotl(                                                                 \
                     W[((t) + 13) & 15] ^ W[((t) + 8) & 15] ^ W[((t) + 2) & 15] ^ W[(t)&15], 1)))
#define LINTREL_SHA1_STEP(F, K, a, b, c, d, e, t)                                                  \
    e += rotl(a, 5) + F(b, c, d) + (K) + LINTREL_SHA1_W(t);                                        \
    b = rotl(b, 30)
#define LINTREL_SHA1_FIVE(F, K, t)                                                                 \
    LINTREL_SHA1_STEP(F, K, a, b, c, d, e, (t));                                                   \
    LINTREL_SHA1_STEP(F, K, e, a, b, c, d, (t) + 1);                                               \
    LINTREL_SHA1_STEP(F, K, d, e, a, b, c, (t) + 2);                                               \
    LINTREL_SHA1_STEP(F, K, c, d, e, a, b, (t) + 3);                                               \
    LINTREL_SHA1_STEP(F, K, b, c, d, e, a, (t) + 4)
#define LINTREL_SHA1_TWENTY(F, K, t)                                                               \
    LINTREL_SHA1_FIVE(F, K, (t));                                                                  \
    LINTREL_SHA1_FIVE(F, K, (t) + 5);                                                              \
    LINTREL_SHA1_FIVE(F, K, (t) + 10);                                                             \
    LINTREL_SHA1_FIVE(F, K, (t) + 15)

void sha1CompressPortable(Sha1ChainingValue &h, const std::uint8_t *blocks, std::size_t nblocks)
{
    std::uint32_t W[16];
    for (std::size_t blk = 0; blk < nblocks; ++blk, blocks += Sha1BlockSize) {
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        LINTREL_SHA1_TWENTY(Ch, 0x5A827999u, 0);
        LINTREL_SHA1_TWENTY(Parity, 0x6ED9EBA1u, 20);
        LINTREL_SHA1_TWENTY(Maj, 0x8F1BBCDCu, 40);
        LINTREL_SHA1_TWENTY(Parity, 0xCA62C1D6u, 60);
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
        h[4] += e;
    }
    secureWipe(W, sizeof W);
}

#undef LINTREL_SHA1_TWENTY
#undef LINTREL_SHA1_FIVE
#undef LINTREL_SHA1_STEP
#undef LINTREL_SHA1_W

} // namespace detail

void sha1CompressBlocks(Sha1ChainingValue &h, const std::uint8_t *blocks, std::size_t nblocks)
{
    if (useShaNi())
        detail::sha1CompressNi(h, blocks, nblocks);
    else
        detail::sha1CompressPortable(h, blocks, nblocks);
}

void sha1Compress(Sha1ChainingValue &h, std::span<const std::uint8_t, Sha1BlockSize> block)
{
    sha1CompressBlocks(h, block.data(), 1);
}

void sha1CompressPair(Sha1ChainingValue &h1, const std::uint8_t *block1, Sha1ChainingValue &h2,
                      const std::uint8_t *block2)
{
    if (useShaNi()) {
        detail::sha1CompressPairNi(h1, block1, h2, block2);
    } else {
        detail::sha1CompressPortable(h1, block1, 1);
        detail::sha1CompressPortable(h2, block2, 1);
    }
}

void sha1Init(Sha1Ctx &ctx)
{
    ctx.h = InitialH;
    ctx.count = 0;
    ctx.buffer.fill(0);
}

void sha1Update(Sha1Ctx &ctx, std::span<const std::uint8_t> data)
{
    std::size_t used = static_cast<std::size_t>(ctx.count % Sha1BlockSize);
    ctx.count += data.size();
    const std::uint8_t *p = data.data();
    std::size_t n = data.size();
    if (used != 0) {
        const std::size_t take = std::min(n, Sha1BlockSize - used);
        std::memcpy(ctx.buffer.data() + used, p, take);
        p += take;
        n -= take;
        if (used + take < Sha1BlockSize)
            return;
        sha1CompressBlocks(ctx.h, ctx.buffer.data(), 1);
    }
    const std::size_t whole = n / Sha1BlockSize;
    if (whole != 0) {
        sha1CompressBlocks(ctx.h, p, whole);
        p += whole * Sha1BlockSize;
        n -= whole * Sha1BlockSize;
    }
    if (n != 0)
        std::memcpy(ctx.buffer.data(), p, n);
}

void sha1Final(Sha1Ctx &ctx, std::span<std::uint8_t, Sha1DigestSize> digest)
{
    const std::uint64_t bits = ctx.count * 8;
    std::size_t used = static_cast<std::size_t>(ctx.count % Sha1BlockSize);
    ctx.buffer[used++] = 0x80;
    if (used > Sha1BlockSize - 8) {
        std::memset(ctx.buffer.data() + used, 0, Sha1BlockSize - used);
        sha1CompressBlocks(ctx.h, ctx.buffer.data(), 1);
        used = 0;
    }
    std::memset(ctx.buffer.data() + used, 0, Sha1BlockSize - 8 - used);
    for (int i = 0; i < 8; ++i)
        ctx.buffer[Sha1BlockSize - 1 - i] = static_cast<std::uint8_t>(bits >> (8 * i));
    sha1CompressBlocks(ctx.h, ctx.buffer.data(), 1);
    for (std::size_t i = 0; i < 5; ++i) {
        digest[4 * i] = static_cast<std::uint8_t>(ctx.h[i] >> 24);
        digest[4 * i + 1] = static_cast<std::uint8_t>(ctx.h[i] >> 16);
        digest[4 * i + 2] = static_cast<std::uint8_t>(ctx.h[i] >> 8);
        digest[4 * i + 3] = static_cast<std::uint8_t>(ctx.h[i]);
    }
    secureWipeObject(ctx.h);
    secureWipeObject(ctx.buffer);
    ctx.count = 0;
}

Sha1Digest sha1(std::span<const std::uint8_t> data)
{
    Sha1Ctx ctx;
    sha1Init(ctx);
    sha1Update(ctx, data);
    Sha1Digest digest;
    sha1Final(ctx, digest);
    return digest;
}

} // namespace lintrel::aes_lib
