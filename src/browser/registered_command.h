// The program path of a web-address command line registered on Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lintrel {

// The program path of a command line registered for http addresses on Windows: ASCII
// lower-cased, cut right after the first ".exe" (its arguments dropped), double quotes
// removed. Without ".exe" the first word (quoted or not) is the program. nullopt when
// nothing remains.
std::optional<std::string> programFromRegisteredCommand(std::string_view command);

} // namespace lintrel
