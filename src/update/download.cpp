// Downloading one address into a file, leaving no file behind when it fails.
#include "update/download.h"

#include "util/errors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lintrel {

namespace {

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(std::size_t(n));
    }
    return true;
}

} // namespace

bool downloadToFile(HttpService &http, const std::string &url, const std::string &path,
                    std::size_t maxBody)
{
    ::unlink(path.c_str()); // a file that is not there is fine; a stuck one fails creation
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw Error(formatMessage("Cannot create file \"%s\". %s", {path, systemErrorText(errno)}));

    const HttpResult result =
        http.get(url, maxBody, [fd](std::string_view piece) { return writeAll(fd, piece); });
    const bool closed = ::close(fd) == 0;
    http.closeIdleConnections();
    if (result.ok && closed)
        return true;
    ::unlink(path.c_str());
    return false;
}

} // namespace lintrel
