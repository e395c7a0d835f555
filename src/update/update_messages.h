// The texts the update check shows.
#pragma once

#include <string>
#include <string_view>

namespace lintrel {

inline constexpr std::string_view kUpdateOfferPrefix = "There is a new update: (version ";
inline constexpr std::string_view kUpdateOfferSuffix =
    ") available for your application!. Do you want download this update now?";
inline constexpr std::string_view kUpdaterMissing =
    "The updater module is missing. Please reinstall again the current version!";
// Line feed before carriage return, as the program has always shown it.
inline constexpr std::string_view kUpdateConfirm =
    "To update your software the application will close to\n\r"
    "replace some files. Do you want to update now?";
inline constexpr std::string_view kNoUpdate = "There's no new updates for this application!";

// The offer, with the descriptor's version text as read.
inline std::string updateOfferMessage(std::string_view version)
{
    return std::string(kUpdateOfferPrefix) + std::string(version) + std::string(kUpdateOfferSuffix);
}

} // namespace lintrel
