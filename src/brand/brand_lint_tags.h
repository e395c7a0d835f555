// Tag scanning for the brand document checks: where the tags are and which names are known.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel {

struct DocumentTag
{
    std::size_t pos = 0; // offset of "<%%" in the joined text
    std::string name;    // as written, without the '/' of a closing tag
    bool closing = false;
};

// Every well-formed tag "<%%Name%%>" or "<%%/Name%%>" (Name of letters, digits, '_') in text,
// in order of position.
std::vector<DocumentTag> scanTags(std::string_view text);

// Text between "<%%" and "%%>" on one line that is not a well-formed tag, e.g. "<%% Name%%>".
std::vector<std::string> malformedTags(std::string_view text);

// The known name matching name regardless of ASCII case ("" when none): the fields, the
// entries 1 to 16 of each family and LastNewsId.
std::string knownTagName(std::string_view name);

// The known name closest to an unknown one, or "" when none is close enough to be a typo.
std::string nearestKnownTagName(std::string_view name);

} // namespace lintrel
