// Text files: decoding, line breaks, reading.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lintrel {

inline constexpr size_t kMemoCapacity = 16 * 1024 * 1024;
std::string decodeTextBytes(std::string_view bytes);
std::string normalizeLineBreaks(std::string_view text, std::string_view newline = "\r\n");
std::string readTextFile(const std::string &path);

} // namespace lintrel
