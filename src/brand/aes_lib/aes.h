// AES block cipher (FIPS-197), forward direction only, with a counter-mode helper.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace lintrel::aes_lib {

using AesBlock = std::array<std::uint8_t, 16>;

// Encryption key schedule: the round keys as the bytes FIPS-197 calls w[0..4*(Nr+1)-1],
// stored in key order so that the AES-NI path can load them directly. Wiped on destruction.
struct AesKey
{
    alignas(16) std::array<std::uint8_t, 240> roundKeys{};
    int rounds = 0; // Nr: 10, 12 or 14; 0 while no key is set

    AesKey() = default;
    AesKey(const AesKey &) = default;
    AesKey &operator=(const AesKey &) = default;
    ~AesKey();
};

// Builds the schedule from a 16-, 24- or 32-byte key; any other length returns false and
// leaves the schedule empty.
bool aesSetKey(AesKey &key, std::span<const std::uint8_t> keyBytes);

// Encrypts one block (in and out may be the same block).
void aesEncryptBlock(const AesKey &key, std::span<const std::uint8_t, 16> in,
                     std::span<std::uint8_t, 16> out);

// Counter mode with a 64-bit little-endian block counter in bytes 0..7 of the counter block
// (bytes 8..15 zero): XORs data (nblocks whole blocks) with the encryptions of the counter
// blocks counter+1, counter+2, ... and returns the last counter used. The counter wraps
// modulo 2^64.
std::uint64_t aesCtr64Xor(const AesKey &key, std::uint64_t counter, std::uint8_t *data,
                          std::size_t nblocks);

namespace detail {
// The two implementations behind the calls above (exposed for tests and benchmarks).
void aesEncryptBlockPortable(const AesKey &key, const std::uint8_t *in, std::uint8_t *out);
void aesEncryptBlockNi(const AesKey &key, const std::uint8_t *in, std::uint8_t *out);
void aesCtr64XorNi(const AesKey &key, std::uint64_t counter, std::uint8_t *data,
                   std::size_t nblocks);
void aesCtr64XorVaes(const AesKey &key, std::uint64_t counter, std::uint8_t *data,
                     std::size_t nblocks);
} // namespace detail

} // namespace lintrel::aes_lib
