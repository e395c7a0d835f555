// SHA-1 (FIPS 180): streaming context, one-shot hash and the bare compression function.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace lintrel::aes_lib {

inline constexpr std::size_t Sha1DigestSize = 20;
inline constexpr std::size_t Sha1BlockSize = 64;

using Sha1Digest = std::array<std::uint8_t, Sha1DigestSize>;
using Sha1ChainingValue = std::array<std::uint32_t, 5>; // H0..H4

// Hash state: bytes hashed so far, chaining value and the partial block. Wiped on
// destruction; a plain value otherwise (copy it to fork a computation).
struct Sha1Ctx
{
    Sha1ChainingValue h{};
    std::uint64_t count = 0;
    std::array<std::uint8_t, Sha1BlockSize> buffer{};

    Sha1Ctx() = default;
    Sha1Ctx(const Sha1Ctx &) = default;
    Sha1Ctx &operator=(const Sha1Ctx &) = default;
    ~Sha1Ctx();
};

void sha1Init(Sha1Ctx &ctx);
void sha1Update(Sha1Ctx &ctx, std::span<const std::uint8_t> data);
// Writes the digest (big-endian words) and wipes the context.
void sha1Final(Sha1Ctx &ctx, std::span<std::uint8_t, Sha1DigestSize> digest);
Sha1Digest sha1(std::span<const std::uint8_t> data);

// The compression function alone: the sixteen message words are read big-endian from
// block and h is replaced by its successor (h plus the working variables after 80 steps).
void sha1Compress(Sha1ChainingValue &h, std::span<const std::uint8_t, Sha1BlockSize> block);

// Compresses nblocks consecutive 64-byte blocks into h.
void sha1CompressBlocks(Sha1ChainingValue &h, const std::uint8_t *blocks, std::size_t nblocks);

// Two independent single-block compressions; with SHA-NI their instructions interleave,
// which hides the latency of the round instructions (used by PBKDF2).
void sha1CompressPair(Sha1ChainingValue &h1, const std::uint8_t *block1, Sha1ChainingValue &h2,
                      const std::uint8_t *block2);

namespace detail {
void sha1CompressPortable(Sha1ChainingValue &h, const std::uint8_t *blocks, std::size_t nblocks);
void sha1CompressNi(Sha1ChainingValue &h, const std::uint8_t *blocks, std::size_t nblocks);
void sha1CompressPairNi(Sha1ChainingValue &h1, const std::uint8_t *block1, Sha1ChainingValue &h2,
                        const std::uint8_t *block2);
} // namespace detail

} // namespace lintrel::aes_lib
