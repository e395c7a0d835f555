// PBKDF2 with HMAC-SHA1 (RFC 2898, PKCS #5 v2.0).
#pragma once

#include <cstdint>
#include <span>

namespace lintrel::aes_lib {

// Fills out (any length) with the derived key. Throws std::invalid_argument for zero
// iterations or an output longer than the function defines (2^32 - 1 blocks).
void pbkdf2HmacSha1(std::span<const std::uint8_t> password, std::span<const std::uint8_t> salt,
                    std::uint32_t iterations, std::span<std::uint8_t> out);

} // namespace lintrel::aes_lib
