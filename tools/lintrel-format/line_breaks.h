// Runs of lines that end in the same line-break style, so that wrap can write breaks back as
// they were.
#pragma once

#include <cstddef>
#include <string_view>

namespace lintrel {

// The style of the line break that starts at text[at] ("\r\n", "\r" or "\n"); at must hold
// a CR or LF.
std::string_view breakStyleAt(std::string_view text, size_t at);

// Offset of the first CR or LF at or after `from`, or npos.
size_t findLineBreak(std::string_view text, size_t from);

// From `from` (the start of a line) on, the offset of the start of the first line whose break
// is not `style`; npos when every break from there on is `style`.
size_t endOfBreakStyleRun(std::string_view text, size_t from, std::string_view style);

} // namespace lintrel
