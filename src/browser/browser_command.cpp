// Finding the program that opens web addresses: registered command lines, $BROWSER, the
// desktop's default http handler and xdg-open.
#include "browser/browser_command.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

#include <unistd.h>

namespace lintrel {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string eraseQuotes(std::string s)
{
    std::erase(s, '"');
    return s;
}

std::vector<std::string> splitList(std::string_view text, char separator)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        if (end > start)
            items.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

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

// Undoes the escapes of a desktop entry string value: \s \n \t \r \\.
std::string unescapeDesktopString(std::string_view value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (const char c = value[++i]) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            out += '\\';
            out += c; // unknown escape: kept as written
        }
    }
    return out;
}

// Exec words: blanks separate; "…" quotes, inside which \ escapes " ` $ and \.
std::vector<std::string> splitExecWords(std::string_view exec)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '\\' && i + 1 < exec.size() &&
                std::string_view("\"`$\\").find(exec[i + 1]) != std::string_view::npos)
                word += exec[++i];
            else if (c == '"')
                quoted = false;
            else
                word += c;
        } else if (isBlank(c)) {
            if (inWord)
                words.push_back(std::exchange(word, {}));
            inWord = false;
        } else {
            inWord = true;
            if (c == '"')
                quoted = true;
            else
                word += c;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

// Removes the field codes of one Exec argument. Unless slotTaken, the first address code
// (%u %U %f %F) sets slot to its offset in the result.
std::string expandFieldCodes(std::string_view word, bool slotTaken,
                             std::optional<std::size_t> &slot)
{
    std::string out;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] != '%' || i + 1 == word.size()) {
            out += word[i];
            continue;
        }
        const char code = word[++i];
        if (code == '%') {
            out += '%';
        } else if (std::string_view("uUfF").find(code) != std::string_view::npos && !slotTaken &&
                   !slot) {
            slot = out.size();
        }
    }
    return out;
}

bool isExecutableFile(const std::string &path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

namespace {

// $BROWSER words, shell-like but never run by a shell: blanks separate, '…' is literal,
// "…" allows \" \\ \$ \`, and a backslash outside quotes takes the next character as is.
std::vector<std::string> splitShellWords(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool hasNext = i + 1 < text.size();
        if (quote == '\'') {
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
            if (c == '\'' || c == '"')
                quote = c;
            else if (c == '\\' && hasNext)
                word += text[++i];
            else
                word += c;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

// The value of key in the named group of an INI-style file (desktop entry, mimeapps.list).
std::optional<std::string> iniValue(const std::string &path, std::string_view group,
                                    std::string_view key)
{
    std::ifstream in(path, std::ios::binary);
    std::string line;
    bool inGroup = false;
    while (in && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with('[')) {
            inGroup = line == "[" + std::string(group) + "]";
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!inGroup || eq == std::string::npos)
            continue;
        std::string name = line.substr(0, eq);
        while (!name.empty() && isBlank(name.back()))
            name.pop_back();
        if (name != key)
            continue;
        std::size_t start = eq + 1;
        while (start < line.size() && isBlank(line[start]))
            ++start;
        return line.substr(start);
    }
    return std::nullopt;
}

std::string orDefault(const std::string &value, const std::string &fallback)
{
    return value.empty() ? fallback : value;
}

std::string homeBased(const std::string &home, const char *rest)
{
    return home.empty() ? std::string() : home + rest;
}

// Folders holding mimeapps.list files, most important first, each with a trailing '/'.
std::vector<std::string> mimeappsFolders(const BrowserEnv &env)
{
    std::vector<std::string> folders;
    const std::string configHome = orDefault(env.xdgConfigHome, homeBased(env.home, "/.config"));
    if (!configHome.empty())
        folders.push_back(configHome + "/");
    for (const std::string &dir : splitList(orDefault(env.xdgConfigDirs, "/etc/xdg"), ':'))
        folders.push_back(dir + "/");
    const std::string dataHome = orDefault(env.xdgDataHome, homeBased(env.home, "/.local/share"));
    if (!dataHome.empty())
        folders.push_back(dataHome + "/applications/");
    for (const std::string &dir :
         splitList(orDefault(env.xdgDataDirs, "/usr/local/share:/usr/share"), ':'))
        folders.push_back(dir + "/applications/");
    return folders;
}

// The launch of the first installed desktop entry that a mimeapps.list names for http.
std::optional<BrowserLaunch> launchFromMimeapps(const std::string &file,
                                                const std::vector<std::string> &appFolders)
{
    const auto handlers = iniValue(file, "Default Applications", "x-scheme-handler/http");
    if (!handlers)
        return std::nullopt;
    for (const std::string &id : splitList(*handlers, ';')) {
        if (id.find('/') != std::string::npos || id.starts_with('.'))
            continue; // a desktop file id never leaves the applications folder
        for (const std::string &folder : appFolders) {
            if (auto exec = iniValue(folder + id, "Desktop Entry", "Exec")) {
                if (auto launch = launchFromDesktopExec(*exec))
                    return launch;
            }
        }
    }
    return std::nullopt;
}

std::optional<BrowserLaunch> defaultDesktopBrowser(const BrowserEnv &env)
{
    const std::vector<std::string> folders = mimeappsFolders(env);
    std::vector<std::string> appFolders;
    for (const std::string &folder : folders) {
        if (folder.ends_with("/applications/"))
            appFolders.push_back(folder);
    }
    std::vector<std::string> names;
    for (const std::string &desktop : splitList(env.currentDesktop, ':')) {
        std::string lower = desktop;
        for (char &c : lower)
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        names.push_back(lower + "-mimeapps.list");
    }
    names.emplace_back("mimeapps.list");
    for (const std::string &folder : folders) {
        for (const std::string &name : names) {
            if (auto launch = launchFromMimeapps(folder + name, appFolders))
                return launch;
        }
    }
    return std::nullopt;
}

std::string environmentValue(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::optional<std::string> programFromRegisteredCommand(std::string_view command)
{
    std::string text(command);
    for (char &c : text)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
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

std::optional<BrowserLaunch> launchFromBrowserVariable(std::string_view command)
{
    std::vector<std::string> words = splitShellWords(command);
    if (words.empty() || words.front().empty())
        return std::nullopt;
    return launchWithMark(std::move(words), "%s");
}

std::optional<BrowserLaunch> launchFromDesktopExec(std::string_view exec)
{
    std::vector<std::string> words = splitExecWords(unescapeDesktopString(exec));
    if (words.empty() || words.front().empty())
        return std::nullopt;
    BrowserLaunch launch;
    launch.program = std::move(words.front());
    for (std::size_t i = 1; i < words.size(); ++i) {
        std::optional<std::size_t> slot;
        std::string arg = expandFieldCodes(words[i], launch.urlArg.has_value(), slot);
        if (slot) {
            launch.urlArg = launch.args.size();
            launch.urlOffset = *slot;
        } else if (arg.empty() && !words[i].empty()) {
            continue; // the argument was only field codes, such as %i or %c
        }
        launch.args.push_back(std::move(arg));
    }
    return launch;
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

std::optional<BrowserLaunch> findBrowser(const BrowserEnv &env)
{
    if (!env.browser.empty()) {
        if (auto launch = launchFromBrowserVariable(env.browser.substr(0, env.browser.find(':'))))
            return launch;
    }
    if (auto launch = defaultDesktopBrowser(env))
        return launch;
    for (const std::string &dir : splitList(env.path, ':')) {
        const std::string candidate = dir + "/xdg-open";
        if (isExecutableFile(candidate))
            return BrowserLaunch{candidate, {}, std::nullopt, 0};
    }
    return std::nullopt;
}

} // namespace lintrel
