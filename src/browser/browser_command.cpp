// Finding the program that opens web addresses: $BROWSER, the desktop default, xdg-open.
#include "browser/browser_command.h"

#include "util/fields.h"

#include <filesystem>

#include <unistd.h>

namespace lintrel {

namespace {

bool isExecutableFile(const std::string &path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

std::optional<BrowserLaunch> findBrowser(const BrowserEnv &env)
{
    if (!env.browser.empty()) {
        if (auto launch = launchFromBrowserVariable(env.browser.substr(0, env.browser.find(':'))))
            return launch;
    }
    if (auto launch = defaultDesktopBrowser(env))
        return launch;
    for (const std::string &dir : splitNonEmpty(':', env.path)) {
        const std::string candidate = dir + "/xdg-open";
        if (isExecutableFile(candidate))
            return BrowserLaunch{candidate, {}, std::nullopt, 0};
    }
    return std::nullopt;
}

} // namespace lintrel
