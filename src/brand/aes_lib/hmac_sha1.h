// HMAC-SHA1 (RFC 2104) with key bytes given in pieces and a truncated output.
#pragma once

#include "brand/aes_lib/sha1.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace lintrel::aes_lib {

// The state goes from collecting key bytes to hashing data at the first data call. Once
// keyed, inner and outer hold the hash states after the padded key blocks, so a copy of a
// keyed context is a ready start for another message under the same key (PBKDF2 relies on
// that). Wiped on destruction.
struct HmacSha1Ctx
{
    Sha1Ctx inner; // while collecting a key longer than a block: the hash of the key
    Sha1Ctx outer;
    std::array<std::uint8_t, Sha1BlockSize> keyBlock{};
    std::size_t keyLength = 0;
    bool keyed = false;

    HmacSha1Ctx() = default;
    HmacSha1Ctx(const HmacSha1Ctx &) = default;
    HmacSha1Ctx &operator=(const HmacSha1Ctx &) = default;
    ~HmacSha1Ctx();
};

// Clears the state; key bytes follow.
void hmacSha1Init(HmacSha1Ctx &ctx);
// Adds key bytes; only before the first data call (later key bytes are ignored). A key
// longer than 64 bytes is replaced by its SHA-1 digest.
void hmacSha1Key(HmacSha1Ctx &ctx, std::span<const std::uint8_t> key);
// Adds message bytes; the first call (even with no bytes) completes the key.
void hmacSha1Update(HmacSha1Ctx &ctx, std::span<const std::uint8_t> data);
// Writes the first out.size() bytes (1 to 20) of the HMAC value and wipes the context.
// Throws std::invalid_argument for any other length.
void hmacSha1Final(HmacSha1Ctx &ctx, std::span<std::uint8_t> out);

// One-shot HMAC-SHA1, output truncated to out.size() (1 to 20) bytes.
void hmacSha1(std::span<const std::uint8_t> key, std::span<const std::uint8_t> data,
              std::span<std::uint8_t> out);

} // namespace lintrel::aes_lib
