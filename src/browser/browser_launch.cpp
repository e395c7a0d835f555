// A browser and its arguments around the address; what the lookup reads from the environment.
#include "browser/browser_launch.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace lintrel {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string environmentValue(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::vector<std::string> splitCommandWords(std::string_view text, bool shellQuoting)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool hasNext = i + 1 < text.size();
        if (quote == '\'') { // only opened with shellQuoting
            if (c == '\'')
                quote = 0;
            else
                word += c;
        } else if (quote == '"') {
            if (c == '"')
                quote = 0;
            else if (c == '\\' && hasNext &&
                     std::string_view("\"\\$`").find(text[i + 1]) != std::string_view::npos)
                word += text[++i];
            else
                word += c;
        } else if (isBlank(c)) {
            if (inWord)
                words.push_back(std::exchange(word, {}));
            inWord = false;
        } else {
            inWord = true;
            if (c == '"' || (shellQuoting && c == '\''))
                quote = c;
            else if (shellQuoting && c == '\\' && hasNext)
                word += text[++i];
            else
                word += c;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

std::vector<std::string> BrowserLaunch::argumentsFor(std::string_view url) const
{
    std::vector<std::string> out = args;
    if (urlArg && *urlArg < out.size()) {
        std::string &arg = out[*urlArg];
        if (url.empty() && arg.empty())
            out.erase(out.begin() + static_cast<std::ptrdiff_t>(*urlArg));
        else
            arg.insert(std::min(urlOffset, arg.size()), url);
    } else if (!url.empty()) {
        out.emplace_back(url);
    }
    return out;
}

BrowserEnv BrowserEnv::fromProcess()
{
    BrowserEnv env;
    env.browser = environmentValue("BROWSER");
    env.home = environmentValue("HOME");
    env.xdgConfigHome = environmentValue("XDG_CONFIG_HOME");
    env.xdgConfigDirs = environmentValue("XDG_CONFIG_DIRS");
    env.xdgDataHome = environmentValue("XDG_DATA_HOME");
    env.xdgDataDirs = environmentValue("XDG_DATA_DIRS");
    env.currentDesktop = environmentValue("XDG_CURRENT_DESKTOP");
    env.path = environmentValue("PATH");
    return env;
}

} // namespace lintrel
