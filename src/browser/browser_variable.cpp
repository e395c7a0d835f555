// The browser named by $BROWSER.
#include "browser/browser_variable.h"

#include <utility>

namespace lintrel {

namespace {

// The first word is the program; the first "%s" in an argument marks the address.
BrowserLaunch launchWithMark(std::vector<std::string> words, std::string_view mark)
{
    BrowserLaunch launch;
    launch.program = std::move(words.front());
    launch.args.assign(words.begin() + 1, words.end());
    for (std::size_t i = 0; i < launch.args.size(); ++i) {
        const std::size_t at = launch.args[i].find(mark);
        if (at != std::string::npos) {
            launch.args[i].erase(at, mark.size());
            launch.urlArg = i;
            launch.urlOffset = at;
            break;
        }
    }
    return launch;
}

} // namespace

std::optional<BrowserLaunch> launchFromBrowserVariable(std::string_view command)
{
    std::vector<std::string> words = splitCommandWords(command, true);
    if (words.empty() || words.front().empty())
        return std::nullopt;
    return launchWithMark(std::move(words), "%s");
}

} // namespace lintrel
