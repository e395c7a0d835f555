// The program path of a web-address command line registered on Windows.
#include "browser/registered_command.h"

#include "util/fields.h"

#include <algorithm>

namespace lintrel {

namespace {

std::string eraseQuotes(std::string s)
{
    std::erase(s, '"');
    return s;
}

} // namespace

std::optional<std::string> programFromRegisteredCommand(std::string_view command)
{
    std::string text = toLowerAscii(command);
    const std::size_t exe = text.find(".exe");
    if (exe != std::string::npos) {
        text.erase(exe + 4);
    } else {
        // No ".exe": the first word, in quotes or up to the first blank.
        const std::size_t start = std::min(text.find_first_not_of(" \t"), text.size());
        const bool quoted = start < text.size() && text[start] == '"';
        const std::size_t end = text.find(quoted ? '"' : ' ', start + (quoted ? 1 : 0));
        text = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    }
    text = eraseQuotes(std::move(text));
    if (text.empty())
        return std::nullopt;
    return text;
}

} // namespace lintrel
