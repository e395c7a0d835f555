// Fuzzes TEncryption::DecryptStream: any bytes give false or a document, never a crash.
//
// The first input byte chooses the password (all three modes), the chunk size, whether the
// rest is taken as a whole container or as the body behind a valid salt and verifier (so
// that the ciphertext and code paths are reached, which a random verifier almost never
// allows), and how far the stated total length is off the real one.
#include "brand/aes_lib/container.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using lintrel::aes_lib::MemoryStream;
using lintrel::aes_lib::TEncryption;

const std::array<std::string, 3> Passwords = {"pelmowtrax", std::string(40, 'm'),
                                              std::string(60, 'n')};

// Salt and verifier of each password under a fixed salt.
const std::vector<std::uint8_t> &validHeader(std::size_t which)
{
    static const auto headers = [] {
        std::array<std::vector<std::uint8_t>, 3> out;
        for (std::size_t i = 0; i < out.size(); ++i) {
            TEncryption engine(Passwords[i], 64, [](std::span<std::uint8_t> o) {
                const std::size_t n = std::min<std::size_t>(o.size(), 8);
                std::fill_n(o.begin(), n, 0x5a);
                return n;
            });
            MemoryStream in, container;
            engine.EncryptStream(in, container);
            const std::size_t header = container.data().size() - 10;
            out[i].assign(container.data().begin(),
                          container.data().begin() + static_cast<long>(header));
        }
        return out;
    }();
    return headers[which];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t control = data[0];
    const std::size_t which = (control & 3) % 3;
    const std::int32_t chunk = (control & 4) ? 262144 : 1 + (control >> 5);
    std::vector<std::uint8_t> container;
    if (control & 8) {
        container = validHeader(which);
    }
    container.insert(container.end(), data + 1, data + size);
    const std::int64_t delta = (control & 16) ? static_cast<std::int64_t>(control >> 5) - 4 : 0;

    MemoryStream source(container);
    MemoryStream plain;
    TEncryption engine(Passwords[which], chunk);
    const bool ok =
        engine.DecryptStream(source, &plain, static_cast<std::int64_t>(container.size()) + delta);
    const std::size_t overhead = engine.saltLength() + 12;
    // An intact container decrypts to exactly its length less salt, verifier and code.
    if (ok && delta == 0 && plain.data().size() + overhead != container.size())
        std::abort();
    return 0;
}
