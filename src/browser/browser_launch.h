// A browser and the arguments around the address; what the browser lookup reads from the
// environment.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel {

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

// The words of a command line, split at blanks; nothing here runs a shell. "…" quotes, and
// inside it a backslash escapes " ` $ and \ (desktop entry Exec rules). With shellQuoting
// ($BROWSER), '…' quotes literally too and a backslash outside quotes takes the next
// character as it is.
std::vector<std::string> splitCommandWords(std::string_view text, bool shellQuoting);

} // namespace lintrel
