// Finding the program that opens web addresses; the jobs it is built from.
#pragma once

#include "browser/browser_launch.h"
#include "browser/browser_variable.h"
#include "browser/desktop_default.h"
#include "browser/registered_command.h"

namespace lintrel {

// The browser: the first entry of $BROWSER, else the desktop's default handler of http
// addresses (mimeapps.list and its .desktop entry), else xdg-open found on $PATH; nullopt
// when there is none.
std::optional<BrowserLaunch> findBrowser(const BrowserEnv &env);

} // namespace lintrel
