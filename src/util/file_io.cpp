// Whole-file reads and the EINTR retries of the file layer.
#include "util/file_io.h"

#include "util/errors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lintrel {

ssize_t readRetrying(int fd, void *buffer, std::size_t size)
{
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

bool writeAll(int fd, std::string_view bytes)
{
    return writeAll(fd,
                    std::span(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()));
}

std::string readFile(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw FileError(FileOp::Open, path, errno);
    std::string data;
    struct stat st = {};
    if (::fstat(fd, &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            ::close(fd);
            throw FileError(FileOp::Open, path, EISDIR);
        }
        if (S_ISREG(st.st_mode))
            data.reserve(static_cast<std::size_t>(st.st_size));
    }
    std::size_t used = 0;
    for (;;) {
        if (data.size() - used < (1 << 16))
            data.resize(std::max(data.capacity(), used + (1 << 20)));
        const ssize_t n = readRetrying(fd, data.data() + used, data.size() - used);
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            throw FileError(FileOp::Read, path, error);
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    data.resize(used);
    return data;
}

std::optional<std::string> readFileIfReadable(const std::string &path)
{
    try {
        return readFile(path);
    } catch (const FileError &) {
        return std::nullopt;
    }
}

} // namespace lintrel
