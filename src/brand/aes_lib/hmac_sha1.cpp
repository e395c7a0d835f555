// HMAC-SHA1 over the streaming SHA-1 context.
#include "brand/aes_lib/hmac_sha1.h"

#include "brand/aes_lib/secure.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace lintrel::aes_lib {

namespace {

void completeKey(HmacSha1Ctx &ctx)
{
    if (ctx.keyLength > Sha1BlockSize) {
        ctx.keyBlock.fill(0);
        sha1Final(ctx.inner,
                  std::span<std::uint8_t, Sha1DigestSize>(ctx.keyBlock.data(), Sha1DigestSize));
    }
    std::array<std::uint8_t, Sha1BlockSize> pad;
    for (std::size_t i = 0; i < Sha1BlockSize; ++i)
        pad[i] = ctx.keyBlock[i] ^ 0x36;
    sha1Init(ctx.inner);
    sha1Update(ctx.inner, pad);
    for (std::size_t i = 0; i < Sha1BlockSize; ++i)
        pad[i] = ctx.keyBlock[i] ^ 0x5c;
    sha1Init(ctx.outer);
    sha1Update(ctx.outer, pad);
    secureWipeObject(pad);
    secureWipeObject(ctx.keyBlock);
    ctx.keyed = true;
}

} // namespace

HmacSha1Ctx::~HmacSha1Ctx()
{
    secureWipeObject(keyBlock);
    keyLength = 0;
}

void hmacSha1Init(HmacSha1Ctx &ctx)
{
    sha1Init(ctx.inner);
    sha1Init(ctx.outer);
    secureWipeObject(ctx.keyBlock);
    ctx.keyLength = 0;
    ctx.keyed = false;
}

void hmacSha1Key(HmacSha1Ctx &ctx, std::span<const std::uint8_t> key)
{
    if (ctx.keyed || key.empty())
        return;
    const std::size_t total = ctx.keyLength + key.size();
    if (total <= Sha1BlockSize) {
        std::memcpy(ctx.keyBlock.data() + ctx.keyLength, key.data(), key.size());
    } else {
        if (ctx.keyLength <= Sha1BlockSize) {
            // The key outgrows a block: from here on it is hashed instead of kept.
            sha1Init(ctx.inner);
            sha1Update(ctx.inner, std::span(ctx.keyBlock.data(), ctx.keyLength));
        }
        sha1Update(ctx.inner, key);
    }
    ctx.keyLength = total;
}

void hmacSha1Update(HmacSha1Ctx &ctx, std::span<const std::uint8_t> data)
{
    if (!ctx.keyed)
        completeKey(ctx);
    sha1Update(ctx.inner, data);
}

void hmacSha1Final(HmacSha1Ctx &ctx, std::span<std::uint8_t> out)
{
    if (out.empty() || out.size() > Sha1DigestSize)
        throw std::invalid_argument("HMAC-SHA1 output length must be 1 to 20 bytes");
    if (!ctx.keyed)
        completeKey(ctx);
    Sha1Digest innerDigest;
    sha1Final(ctx.inner, innerDigest);
    sha1Update(ctx.outer, innerDigest);
    Sha1Digest full;
    sha1Final(ctx.outer, full);
    std::copy_n(full.begin(), out.size(), out.begin());
    secureWipeObject(innerDigest);
    secureWipeObject(full);
    hmacSha1Init(ctx);
}

void hmacSha1(std::span<const std::uint8_t> key, std::span<const std::uint8_t> data,
              std::span<std::uint8_t> out)
{
    HmacSha1Ctx ctx;
    hmacSha1Init(ctx);
    hmacSha1Key(ctx, key);
    hmacSha1Update(ctx, data);
    hmacSha1Final(ctx, out);
}

} // namespace lintrel::aes_lib
