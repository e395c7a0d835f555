// Memory and file-descriptor streams.
#include "brand/aes_lib/stream.h"

#include "util/errors.h"
#include "util/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace lintrel::aes_lib {

std::size_t MemoryStream::read(std::span<std::uint8_t> out)
{
    const std::size_t n = std::min(out.size(), data_.size() - position_);
    std::copy_n(data_.begin() + static_cast<std::ptrdiff_t>(position_), n, out.begin());
    position_ += n;
    return n;
}

void MemoryStream::write(std::span<const std::uint8_t> data)
{
    data_.insert(data_.end(), data.begin(), data.end());
}

std::size_t FileStream::read(std::span<std::uint8_t> out)
{
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = readRetrying(fd_, out.data() + done, out.size() - done);
        if (n < 0) {
            const int err = errno;
            throw StreamError(fileErrorMessage(FileOp::Read, name_, err), err);
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void FileStream::write(std::span<const std::uint8_t> data)
{
    if (!writeAll(fd_, data)) {
        const int err = errno;
        throw StreamError(fileErrorMessage(FileOp::Write, name_, err), err);
    }
}

std::int64_t FileStream::size() const
{
    struct stat st
    {
    };
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

} // namespace lintrel::aes_lib
