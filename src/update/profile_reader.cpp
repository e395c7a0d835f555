// Reading values from INI text with the Windows profile rules.
#include "update/profile_reader.h"

#include "util/fields.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace lintrel {

namespace {

// Next line of text from pos (which moves past its line break).
std::string_view nextLine(std::string_view text, std::size_t &pos)
{
    const std::size_t start = pos;
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
        pos = text.size();
        return text.substr(start);
    }
    pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    return text.substr(start, end - start);
}

std::string valueOf(std::string_view raw)
{
    std::string_view value = trimBlanks(raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, kProfileValueMax));
}

} // namespace

std::string readProfileString(std::string_view iniText, std::string_view section,
                              std::string_view key)
{
    if (iniText.starts_with("\xEF\xBB\xBF"))
        iniText.remove_prefix(3);
    bool inSection = false;
    std::size_t pos = 0;
    while (pos < iniText.size()) {
        const std::string_view line = trimBlanks(nextLine(iniText, pos));
        if (line.starts_with('[')) {
            const std::size_t close = line.find(']');
            const std::string_view name =
                line.substr(1, close == std::string_view::npos ? line.npos : close - 1);
            inSection = equalsIgnoringAsciiCase(trimBlanks(name), trimBlanks(section));
            continue;
        }
        if (!inSection || line.empty() || line.starts_with(';'))
            continue;
        // A line without "=" is a key without a value.
        const std::size_t eq = std::min(line.find('='), line.size());
        if (equalsIgnoringAsciiCase(trimBlanks(line.substr(0, eq)), trimBlanks(key)))
            return eq < line.size() ? valueOf(line.substr(eq + 1)) : std::string();
    }
    return {};
}

std::string readProfileStringFromFile(const std::string &path, std::string_view section,
                                      std::string_view key)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream text;
    text << in.rdbuf();
    return readProfileString(text.view(), section, key);
}

} // namespace lintrel
