// The desktop's default handler of http addresses: mimeapps.list and desktop entry Exec lines.
#include "browser/desktop_default.h"

#include "util/fields.h"
#include "util/file_io.h"
#include "util/ini_text.h"

#include <utility>

namespace lintrel {

namespace {

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

// The value of key in the named group of a desktop entry or mimeapps.list file (names
// compared exactly, '#' starts a comment); nothing when the file cannot be read.
std::optional<std::string> iniValueOfFile(const std::string &path, std::string_view group,
                                          std::string_view key)
{
    const std::optional<std::string> text = readFileIfReadable(path);
    return text ? findIniValue(*text, group, key) : std::nullopt;
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
    for (const std::string &dir : splitNonEmpty(':', orDefault(env.xdgConfigDirs, "/etc/xdg")))
        folders.push_back(dir + "/");
    const std::string dataHome = orDefault(env.xdgDataHome, homeBased(env.home, "/.local/share"));
    if (!dataHome.empty())
        folders.push_back(dataHome + "/applications/");
    for (const std::string &dir :
         splitNonEmpty(':', orDefault(env.xdgDataDirs, "/usr/local/share:/usr/share")))
        folders.push_back(dir + "/applications/");
    return folders;
}

// The launch of the first installed desktop entry that a mimeapps.list names for http.
std::optional<BrowserLaunch> launchFromMimeapps(const std::string &file,
                                                const std::vector<std::string> &appFolders)
{
    const auto handlers = iniValueOfFile(file, "Default Applications", "x-scheme-handler/http");
    if (!handlers)
        return std::nullopt;
    for (const std::string &id : splitNonEmpty(';', *handlers)) {
        if (id.find('/') != std::string::npos || id.starts_with('.'))
            continue; // a desktop file id never leaves the applications folder
        for (const std::string &folder : appFolders) {
            if (auto exec = iniValueOfFile(folder + id, "Desktop Entry", "Exec")) {
                if (auto launch = launchFromDesktopExec(*exec))
                    return launch;
            }
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<BrowserLaunch> launchFromDesktopExec(std::string_view exec)
{
    std::vector<std::string> words = splitCommandWords(unescapeDesktopString(exec), false);
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

std::optional<BrowserLaunch> defaultDesktopBrowser(const BrowserEnv &env)
{
    const std::vector<std::string> folders = mimeappsFolders(env);
    std::vector<std::string> appFolders;
    for (const std::string &folder : folders) {
        if (folder.ends_with("/applications/"))
            appFolders.push_back(folder);
    }
    std::vector<std::string> names;
    for (const std::string &desktop : splitNonEmpty(':', env.currentDesktop))
        names.push_back(toLowerAscii(desktop) + "-mimeapps.list");
    names.emplace_back("mimeapps.list");
    for (const std::string &folder : folders) {
        for (const std::string &name : names) {
            if (auto launch = launchFromMimeapps(folder + name, appFolders))
                return launch;
        }
    }
    return std::nullopt;
}

} // namespace lintrel
