// Process-wide libcurl initialisation.
#include "net/curl_global.h"

#include <curl/curl.h>
#include <mutex>

namespace lintrel {

void ensureCurlInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace lintrel
