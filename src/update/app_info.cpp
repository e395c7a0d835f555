// The program's compiled-in version and live-update address, and the updater's arguments.
#include "update/app_info.h"

namespace lintrel {

std::string appVersion()
{
    return LINTREL_APP_VERSION;
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
