// Decoding of the "$" hexadecimal escapes in news bodies.
#pragma once

#include <string>
#include <string_view>

namespace lintrel {

// Replaces every "$" followed by two hexadecimal digits (either case) with the byte of that
// value. A "$" not followed by two hexadecimal digits (at the end, before one digit and the
// end, before a non-digit) stays in the output as it is, and decoding goes on with the next
// character, so one bad escape never costs the rest of the text: "$4" at the very end
// stays "$4", "$$41" gives "$A".
std::string UnescapeNewsText(std::string_view text);

} // namespace lintrel
