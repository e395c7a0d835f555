// Finding the program that opens web addresses, as plain text and file processing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel {

// The program path of a command line registered for http addresses on Windows: ASCII
// lower-cased, cut right after the first ".exe" (its arguments dropped), double quotes
// removed. Without ".exe" the first word (quoted or not) is the program. nullopt when
// nothing remains.
std::optional<std::string> programFromRegisteredCommand(std::string_view command);

// A browser and the arguments around the address. The address always becomes exactly one
// argument: nothing here passes through a shell.
struct BrowserLaunch
{
    std::string program;
    std::vector<std::string> args;
    // The argument that receives the address, at urlOffset inside it; unset: appended.
    std::optional<std::size_t> urlArg;
    std::size_t urlOffset = 0;

    // The arguments for opening url. An empty url adds no argument of its own, so the
    // browser starts without an address.
    std::vector<std::string> argumentsFor(std::string_view url) const;
};

// What the lookup reads from the environment; fromProcess() takes the real values.
struct BrowserEnv
{
    std::string browser;        // $BROWSER
    std::string home;           // $HOME
    std::string xdgConfigHome;  // default $HOME/.config
    std::string xdgConfigDirs;  // default /etc/xdg
    std::string xdgDataHome;    // default $HOME/.local/share
    std::string xdgDataDirs;    // default /usr/local/share:/usr/share
    std::string currentDesktop; // $XDG_CURRENT_DESKTOP, colon-separated
    std::string path;           // $PATH, to find xdg-open

    static BrowserEnv fromProcess();
};

// The browser: the first entry of $BROWSER, else the desktop's default handler of http
// addresses (mimeapps.list and its .desktop entry), else xdg-open found on $PATH; nullopt
// when there is none.
std::optional<BrowserLaunch> findBrowser(const BrowserEnv &env);

// $BROWSER-style command: words split at blanks with '…' and "…" quoting and backslash
// escapes; the first "%s" marks the address, which is appended when there is none.
std::optional<BrowserLaunch> launchFromBrowserVariable(std::string_view command);

// The Exec value of a desktop entry, split by the desktop entry quoting rules. The first
// %u, %U, %f or %F marks the address; other field codes are removed, "%%" is '%'.
std::optional<BrowserLaunch> launchFromDesktopExec(std::string_view exec);

} // namespace lintrel
