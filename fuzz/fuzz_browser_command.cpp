// Fuzz target: the browser command parsers (a registered Windows command line, $BROWSER, a
// desktop entry's Exec value) and the arguments they give for an address.
#include "shell/browser_command.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check(bool holds)
{
    if (!holds)
        std::abort();
}

// The address is always exactly one argument of its own or inside the marked one, whatever
// the command held: nothing is split or dropped around it.
void checkLaunch(const lintrel::BrowserLaunch &launch)
{
    check(!launch.program.empty());
    const std::string url = "http://fuzz.example/?a=1&b='2'\"; $(x)";
    const std::vector<std::string> args = launch.argumentsFor(url);
    if (launch.urlArg) {
        check(*launch.urlArg < launch.args.size());
        check(args.size() == launch.args.size());
        const std::string &marked = launch.args[*launch.urlArg];
        check(launch.urlOffset <= marked.size());
        check(args[*launch.urlArg] ==
              marked.substr(0, launch.urlOffset) + url + marked.substr(launch.urlOffset));
    } else {
        check(args.size() == launch.args.size() + 1 && args.back() == url);
    }
    for (std::size_t i = 0; i < launch.args.size(); ++i) {
        if (!launch.urlArg || i != *launch.urlArg)
            check(args[i] == launch.args[i]);
    }
    // Without an address nothing is added; an argument that was only the mark goes.
    const bool onlyMark = launch.urlArg && launch.args[*launch.urlArg].empty();
    check(launch.argumentsFor("").size() == launch.args.size() - (onlyMark ? 1 : 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    if (const auto program = lintrel::programFromRegisteredCommand(text)) {
        check(!program->empty());
        check(program->find('"') == std::string::npos);
        check(std::none_of(program->begin(), program->end(),
                           [](char c) { return c >= 'A' && c <= 'Z'; }));
    }
    if (const auto launch = lintrel::launchFromBrowserVariable(text))
        checkLaunch(*launch);
    if (const auto launch = lintrel::launchFromDesktopExec(text))
        checkLaunch(*launch);
    return 0;
}
