// Reading values from INI text with the Windows profile rules.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lintrel {

// The longest value returned; longer values are cut (the Windows buffer holds 2048 bytes).
inline constexpr std::size_t kProfileValueMax = 2047;

// The value of key in section, or "" when either is missing. Rules: lines end at CR LF, CR
// or LF; blanks around lines, section names, keys and values are ignored; section and key
// names compare without regard to ASCII case; the value is the text after the first "=";
// one pair of matching quotes (" or ') around the value is removed; lines starting with ";"
// are comments; the first matching key of the first matching section wins (sections of the
// same name are searched in order).
std::string readProfileString(std::string_view iniText, std::string_view section,
                              std::string_view key);

// The same, reading the file at path; a missing or unreadable file gives "".
std::string readProfileStringFromFile(const std::string &path, std::string_view section,
                                      std::string_view key);

} // namespace lintrel
