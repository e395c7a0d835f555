// Wiping of secrets and constant-time comparison, shared by the AesLib primitives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

namespace lintrel::aes_lib {

// Overwrites size bytes at p with zeros in a way the optimiser may not drop.
void secureWipe(void *p, std::size_t size) noexcept;

// Zeros a whole trivially copyable object (arrays, plain state structs).
template <typename T> void secureWipeObject(T &object) noexcept
{
    static_assert(std::is_trivially_copyable_v<T>);
    secureWipe(&object, sizeof object);
}

// True when a and b have equal length and equal bytes; the time taken depends on the length
// only, never on where the first difference lies.
bool constantTimeEqual(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) noexcept;

} // namespace lintrel::aes_lib
