// Downloading one address into a file, leaving no file behind when it fails.
#include "update/download.h"

#include "util/atomic_file.h"
#include "util/file_io.h"

#include <unistd.h>

namespace lintrel {

bool downloadToFile(HttpService &http, const std::string &url, const std::string &path,
                    std::size_t maxBody)
{
    ::unlink(path.c_str()); // a file that is not there is fine; a stuck one fails creation
    AtomicFile file(path, 0644 & ~currentUmask());
    const HttpResult result = http.get(
        url, maxBody, [&file](std::string_view piece) { return writeAll(file.fd(), piece); });
    http.closeIdleConnections();
    if (!result.ok)
        return false; // the unfinished file goes with `file`
    try {
        file.commit();
    } catch (const FileError &) {
        return false;
    }
    return true;
}

} // namespace lintrel
