// The program's compiled-in version and live-update address, and the updater's arguments.
#include "update/app_info.h"

#include "util/app_version.h"

namespace lintrel {

std::string appVersion()
{
    return std::string(kAppVersion);
}

std::string updateServerBaseUrl()
{
    return LINTREL_UPDATE_SERVER_BASE_URL;
}

std::vector<std::string> updaterArguments(const std::string &baseUrl)
{
    return {baseUrl, appVersion(), "A"};
}

} // namespace lintrel
