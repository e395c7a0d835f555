// Reading values from INI text with the Windows profile rules.
#include "update/profile_reader.h"

#include "util/file_io.h"
#include "util/ini_text.h"

#include <algorithm>

namespace lintrel {

std::string readProfileString(std::string_view iniText, std::string_view section,
                              std::string_view key)
{
    const IniRules profileRules{.ignoreCase = true, .unquote = true, .comment = ';'};
    std::string value = findIniValue(iniText, section, key, profileRules).value_or("");
    value.resize(std::min(value.size(), kProfileValueMax));
    return value;
}

std::string readProfileStringFromFile(const std::string &path, std::string_view section,
                                      std::string_view key)
{
    return readProfileString(readFileIfReadable(path).value_or(""), section, key);
}

} // namespace lintrel
