// The update check up to its decision: fetch the descriptor, read it, compare versions.
#include "update/update_check.h"

#include "update/download.h"
#include "update/profile_reader.h"
#include "update/version_check.h"
#include "util/exe_dir.h"

#include <filesystem>
#include <mutex>

namespace lintrel {

UpdateCheck checkForUpdate(HttpClient &http, const std::string &exeDir, const std::string &baseUrl,
                           const std::string &appVersion)
{
    static std::mutex oneAtATime;
    std::lock_guard guard(oneAtATime);

    const std::string localPath = joinPath(exeDir, std::string(kDescriptorFileName));
    UpdateCheck check;
    if (!downloadToFile(http, baseUrl + std::string(kDescriptorFileName), localPath,
                        kDescriptorMaxSize))
        return check;
    std::error_code ec;
    if (!std::filesystem::exists(localPath, ec))
        return check;
    check.downloaded = true;
    check.version = readProfileStringFromFile(localPath, "APPLICATION", "Version");
    check.name = readProfileStringFromFile(localPath, "APPLICATION", "Name");
    check.offered = isUpdateOffered(appVersion, check.version);
    return check;
}

} // namespace lintrel
