// The update check up to its decision: fetch the descriptor, read it, compare versions.
#pragma once

#include "net/http_client.h"

#include <string>
#include <string_view>

namespace lintrel {

inline constexpr std::string_view kDescriptorFileName = "mainappupdate.inf";
inline constexpr std::string_view kUpdaterFileName = "Updater.exe";
// The descriptor is a few lines; a larger answer is a failed download.
inline constexpr std::size_t kDescriptorMaxSize = 64 * 1024;

struct UpdateCheck
{
    bool downloaded = false; // the descriptor arrived and is on disk
    bool offered = false;    // its version is above the program's
    std::string version;     // Version as read, for the offer text
    std::string name;        // Name as read (not acted on)
};

// Downloads baseUrl + "mainappupdate.inf" to exeDir + "mainappupdate.inf" (replacing any
// old copy; a failed download leaves none), reads Version and Name from its APPLICATION
// section and compares Version with appVersion. Checks running at the same time take turns,
// so they never write the local copy together. Throws lintrel::Error when the local copy
// cannot be created.
UpdateCheck checkForUpdate(HttpClient &http, const std::string &exeDir, const std::string &baseUrl,
                           const std::string &appVersion);

} // namespace lintrel
