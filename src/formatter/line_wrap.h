// The line wrapper: cuts lines longer than a maximum, preferably after a space, ".", ":" or ";".
#pragma once

#include "formatter/unicode_text.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lintrel {

// Wraps every line of the text so that it fits maxLength characters (extended grapheme
// clusters) where it can. Lines are separated by CR LF, lone CR or lone LF; every break in the
// output (kept and inserted) is `newline`. A line longer than maxLength is cut after the last
// break character (space, ".", ":", ";", their full-width and ideographic forms, the ellipsis
// and the breakable Unicode spaces; never a no-break space) among its first maxLength + 1
// characters, or else hard after maxLength characters; the rest is examined next. A cut that
// would leave an empty rest is not made, so wrapping wrapped text changes nothing. Lines are
// never joined, text is never dropped and a cluster is never split. In screen columns, the
// characters searched are those up to and including the first that ends past column
// maxLength, and a hard cut comes before it (after it when it is the line's first).
// maxLength must be >= 1 (std::invalid_argument otherwise).
std::string wrapText(std::string_view utf8, int64_t maxLength, std::string_view newline = "\r\n",
                     Measure measure = Measure::Clusters);
std::u16string wrapText(std::u16string_view utf16, int64_t maxLength,
                        std::u16string_view newline = u"\n", Measure measure = Measure::Clusters);

// Appends the wrapped text to `out`, reusing its capacity: for callers that wrap a long text
// piece by piece (split right after line breaks).
void appendWrappedText(std::string &out, std::string_view utf8, int64_t maxLength,
                       std::string_view newline, Measure measure = Measure::Clusters);

} // namespace lintrel
