// The browser named by $BROWSER.
#pragma once

#include "browser/browser_launch.h"

namespace lintrel {

// $BROWSER-style command: words split at blanks with '…' and "…" quoting and backslash
// escapes; the first "%s" marks the address, which is appended when there is none.
std::optional<BrowserLaunch> launchFromBrowserVariable(std::string_view command);

} // namespace lintrel
