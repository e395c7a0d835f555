// Counter-mode AES and SHA-1 fused over 64-byte groups (internal to the container engine):
// with AES-NI and SHA-NI the AES work runs while the SHA-1 rounds wait on their latency.
#pragma once

#include "brand/aes_lib/aes.h"
#include "brand/aes_lib/sha1.h"

#include <cstddef>
#include <cstdint>

namespace lintrel::aes_lib::detail {

// For each of ngroups 64-byte groups in turn: XOR it with the keystream of the next four
// counter blocks (counter+1, ...), then compress the result into h (encryption).
void ctrXorThenSha1Ni(const AesKey &key, std::uint64_t counter, Sha1ChainingValue &h,
                      std::uint8_t *data, std::size_t ngroups);
// For each group: compress it into h, then XOR it with the keystream (decryption).
void sha1ThenCtrXorNi(const AesKey &key, std::uint64_t counter, Sha1ChainingValue &h,
                      std::uint8_t *data, std::size_t ngroups);

} // namespace lintrel::aes_lib::detail
