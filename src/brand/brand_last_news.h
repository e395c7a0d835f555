// The last-news marker inside the brand document: reading it and setting its line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lintrel {

// The value of the first LastNewsId field of the joined document text (tag case ignored), or
// "" when there is none or it has no closing tag.
std::string extractLastNewsId(std::string_view joinedText);

// Replaces the whole first line that contains the opening marker tag written exactly
// "<%%LastNewsId%%>" by the marker line for id, or appends the marker line when no line
// does. CR, LF and zero bytes are dropped from id: they would split the line or cut the
// document short when it is read again. Write the result with joinDocumentLines().
std::vector<std::string> setLastNewsIdLine(std::vector<std::string> lines, std::string_view id);

} // namespace lintrel
