// The skin file mainskin.dat: a zlib-compressed Qt style sheet in UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lintrel {

// Largest style sheet a skin file may unpack to; a larger one is treated as damaged so that
// a crafted file cannot exhaust memory.
inline constexpr std::size_t kMaxSkinBytes = 4u << 20;

// The skin file bytes for a style sheet. Throws lintrel::Error when the style sheet exceeds
// kMaxSkinBytes, since such a file would not load.
std::string compressSkin(std::string_view qss);

// The style sheet of a skin file, or nullopt when the bytes are not one complete zlib stream
// (damaged, truncated, trailing bytes) or unpack to more than kMaxSkinBytes.
std::optional<std::string> decompressSkin(std::string_view bytes);

} // namespace lintrel
