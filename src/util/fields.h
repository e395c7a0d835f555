// Small text helpers shared by the brand, news and update code: tagged values, field splitting,
// trimming, case-insensitive comparison and whole-number parsing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel {

// Position of the first occurrence of needle in haystack at or after from, comparing ASCII
// letters without regard to case (other bytes exactly); npos when there is none.
std::size_t findIgnoringAsciiCase(std::string_view haystack, std::string_view needle,
                                  std::size_t from = 0);

// The text as a signed 32-bit decimal integer ("-" allowed, nothing else); nothing when it is
// empty, holds other characters or is out of range.
std::optional<int32_t> parseInt32(std::string_view text);

// Whether typing typed into a whole-number field keeps it one: text with [from, to) replaced
// by typed (from == to: typed at the caret) may hold only digits, and a minus sign only as
// its first character.
bool wholeNumberKeyAccepted(std::string_view text, std::size_t from, std::size_t to,
                            char32_t typed);

// The text without the spaces and TABs at its ends.
std::string_view trimBlanks(std::string_view text);

// The text with its ASCII letters in lower (upper) case, other bytes as they are.
std::string toLowerAscii(std::string_view text);
std::string toUpperAscii(std::string_view text);

// The fields of text split at separator, empty ones left out: "a::b:" gives a, b.
std::vector<std::string> splitNonEmpty(char separator, std::string_view text);

// True when a and b are equal with ASCII letters compared without regard to case.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Cuts the value between openTag and closeTag out of work (tags matched ignoring ASCII case).
// No opening tag: returns "" and leaves work alone. Otherwise work loses everything up to and
// including the opening tag; when the closing tag follows, the value is what lies before it
// and work keeps the closing tag at its head, else the value is "".
std::string ExtractTagValue(std::string_view openTag, std::string_view closeTag, std::string &work);

// Clears list and fills it with the fields of text split at separator. Empty fields are kept,
// except a trailing one: "a^^b" gives a, "", b; "a^" gives a; "" gives nothing.
void SplitFields(char separator, std::string_view text, std::vector<std::string> &list);

} // namespace lintrel
