// Looking up one value in INI-style text.
#include "util/ini_text.h"

#include "util/fields.h"

#include <algorithm>

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

bool sameName(std::string_view a, std::string_view b, const IniRules &rules)
{
    return rules.ignoreCase ? equalsIgnoringAsciiCase(a, b) : a == b;
}

std::string valueOf(std::string_view raw, const IniRules &rules)
{
    std::string_view value = trimBlanks(raw);
    if (rules.unquote && value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

} // namespace

std::optional<std::string> findIniValue(std::string_view text, std::string_view section,
                                        std::string_view key, const IniRules &rules)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    section = trimBlanks(section);
    key = trimBlanks(key);
    bool inSection = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::string_view line = trimBlanks(nextLine(text, pos));
        if (line.starts_with('[')) {
            const std::size_t close = line.find(']');
            const std::string_view name =
                line.substr(1, close == std::string_view::npos ? line.npos : close - 1);
            inSection = sameName(trimBlanks(name), section, rules);
            continue;
        }
        if (!inSection || line.empty() || line.front() == rules.comment)
            continue;
        const std::size_t eq = std::min(line.find('='), line.size());
        if (sameName(trimBlanks(line.substr(0, eq)), key, rules))
            return eq < line.size() ? valueOf(line.substr(eq + 1), rules) : std::string();
    }
    return std::nullopt;
}

} // namespace lintrel
