// Looking up one value in INI-style text: "[section]" headers and "key=value" lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lintrel {

// What differs between the INI dialects the program reads.
struct IniRules
{
    bool ignoreCase = false; // section and key names compare without regard to ASCII case
    bool unquote = false;    // one pair of matching quotes (" or ') around a value is removed
    char comment = '#';      // a line starting with it is a comment
};

// The value of key in section, or nothing when either is missing. Lines end at CR LF, CR or
// LF; a leading UTF-8 byte-order mark is skipped; blanks (space, TAB) around lines, section
// names, keys and values are ignored; the value is the text after the first "=", and a line
// without "=" is a key with an empty value; the first matching key of the first matching
// section wins (sections of the same name are searched in order).
std::optional<std::string> findIniValue(std::string_view text, std::string_view section,
                                        std::string_view key, const IniRules &rules = {});

} // namespace lintrel
