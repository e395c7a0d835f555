// The program's compiled-in version and live-update address, and the updater's arguments.
#pragma once

#include <string>
#include <vector>

namespace lintrel {

// "2.0"
std::string appVersion();

// The live-update server's base URL; it ends in "/liveupdate/lintrel/".
std::string updateServerBaseUrl();

// The updater's arguments: the live-update server's base URL, the version and "A".
std::vector<std::string> updaterArguments(const std::string &baseUrl = updateServerBaseUrl());

} // namespace lintrel
