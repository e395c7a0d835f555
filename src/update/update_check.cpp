// The update check up to its decision: fetch the descriptor, read it, compare versions.
#include "update/update_check.h"

#include "update/download.h"
#include "update/profile_reader.h"
#include "update/version_check.h"
#include "util/exe_dir.h"

#include <filesystem>
#include <mutex>

namespace lintrel {

UpdateCheck checkForUpdate(const DescriptorDownload &download, const std::string &exeDir,
                           const std::string &baseUrl, const std::string &appVersion)
{
    const std::string localPath = joinPath(exeDir, std::string(kDescriptorFileName));
    UpdateCheck check;
    if (!download(baseUrl + std::string(kDescriptorFileName), localPath))
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

UpdateCheck checkForUpdate(HttpService &http, const std::string &exeDir, const std::string &baseUrl,
                           const std::string &appVersion)
{
    static std::mutex oneAtATime;
    std::lock_guard guard(oneAtATime);
    const auto download = [&http](const std::string &url, const std::string &path) {
        return downloadToFile(http, url, path, kDescriptorMaxSize);
    };
    return checkForUpdate(download, exeDir, baseUrl, appVersion);
}

} // namespace lintrel
