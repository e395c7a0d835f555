// Wiping of secrets and constant-time comparison.
#include "brand/aes_lib/secure.h"

#include <string.h>

namespace lintrel::aes_lib {

void secureWipe(void *p, std::size_t size) noexcept
{
    // glibc's explicit_bzero is documented never to be optimised away.
    if (p != nullptr && size != 0)
        explicit_bzero(p, size);
}

bool constantTimeEqual(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) noexcept
{
    if (a.size() != b.size())
        return false;
    // Accumulate through a volatile so the loop cannot be cut short at the first difference.
    volatile std::uint8_t diff = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        diff = static_cast<std::uint8_t>(diff | (a[i] ^ b[i]));
    return diff == 0;
}

} // namespace lintrel::aes_lib
