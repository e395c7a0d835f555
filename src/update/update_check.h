// The update check up to its decision: fetch the descriptor, read it, compare versions.
#pragma once

#include "net/http_service.h"

#include <functional>
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

// Fetches url into the file at path; true when the whole body is in the file.
using DescriptorDownload = std::function<bool(const std::string &url, const std::string &path)>;

// Downloads baseUrl + "mainappupdate.inf" to exeDir + "mainappupdate.inf" through download
// (which replaces any old copy; a failed download leaves none), reads Version and Name from
// its APPLICATION section and compares Version with appVersion.
UpdateCheck checkForUpdate(const DescriptorDownload &download, const std::string &exeDir,
                           const std::string &baseUrl, const std::string &appVersion);

// The same check with downloadToFile on http. Checks running at the same time take turns,
// so they never write the local copy together. Throws lintrel::Error when the local copy
// cannot be created.
UpdateCheck checkForUpdate(HttpService &http, const std::string &exeDir, const std::string &baseUrl,
                           const std::string &appVersion);

} // namespace lintrel
