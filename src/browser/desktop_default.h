// The desktop's default handler of http addresses.
#pragma once

#include "browser/browser_launch.h"

namespace lintrel {

// The Exec value of a desktop entry, split by the desktop entry quoting rules. The first
// %u, %U, %f or %F marks the address; other field codes are removed, "%%" is '%'.
std::optional<BrowserLaunch> launchFromDesktopExec(std::string_view exec);

// The launch of the first installed desktop entry that a mimeapps.list names as the handler
// of http addresses: the XDG folders by importance, in each the current desktops' lists before
// the plain one. Nothing when there is none.
std::optional<BrowserLaunch> defaultDesktopBrowser(const BrowserEnv &env);

} // namespace lintrel
