// The line wrapper: cuts lines longer than a maximum, preferably after a space, ".", ":" or ";".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lintrel {

// Wraps every line of the text so that it fits maxLength code points where it can. Lines are
// separated by CR LF, lone CR or lone LF; every break in the output (kept and inserted) is
// `newline`. A line longer than maxLength is cut after the last space, ".", ":" or ";" among
// its first maxLength + 1 code points, or else hard after maxLength code points; the rest is
// examined next. A cut that would leave an empty rest is not made, so wrapping wrapped text
// changes nothing. Lines are never joined, text is never dropped and a code point is never
// split. maxLength must be >= 1 (std::invalid_argument otherwise).
std::string wrapText(std::string_view utf8, int64_t maxLength, std::string_view newline = "\r\n");
std::u16string wrapText(std::u16string_view utf16, int64_t maxLength,
                        std::u16string_view newline = u"\n");

// Appends the wrapped text to `out`, reusing its capacity: for callers that wrap a long text
// piece by piece (split right after line breaks).
void appendWrappedText(std::string &out, std::string_view utf8, int64_t maxLength,
                       std::string_view newline);

} // namespace lintrel
