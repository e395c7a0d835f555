// Fuzz target: the skin file decompressor on arbitrary bytes, and the round trip of a style
// sheet through the compressor.
#include "brand/brand_skin.h"
#include "util/errors.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    if (const auto sheet = lintrel::decompressSkin(bytes)) {
        check(sheet->size() <= lintrel::kMaxSkinBytes);
        check(lintrel::decompressSkin(lintrel::compressSkin(*sheet)) == sheet);
    }
    // Any text of allowed size survives being packed and unpacked.
    const auto again = lintrel::decompressSkin(lintrel::compressSkin(bytes));
    check(again && *again == bytes);
    return 0;
}
