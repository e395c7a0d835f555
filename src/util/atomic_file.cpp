// AtomicFile: temporary file in the target's folder, fsync, rename, folder fsync.
#include "util/atomic_file.h"

#include "util/errors.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace lintrel {

namespace {

std::string folderOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string createMessage(const std::string &path, int errnum)
{
    return formatMessage("Cannot create file \"%s\". %s",
                         {absolutePathForMessage(path), systemErrorText(errnum)});
}

void syncFolder(const std::string &folder)
{
    // Makes the rename itself durable; some file systems refuse this, which is harmless.
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

} // namespace

mode_t currentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            try {
                return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
            } catch (const std::exception &) {
                break;
            }
        }
    }
    return 022;
}

std::string absolutePathForMessage(const std::string &path)
{
    std::error_code ec;
    auto abs = std::filesystem::absolute(path, ec);
    return ec ? path : abs.lexically_normal().string();
}

AtomicFile::AtomicFile(std::string targetPath)
    : AtomicFile(std::move(targetPath), 0666 & ~currentUmask())
{}

AtomicFile::AtomicFile(std::string targetPath, mode_t newFileMode)
    : target_(std::move(targetPath)), mode_(newFileMode & 07777)
{
    struct stat st
    {
    };
    if (::stat(target_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            throw Error(createMessage(target_, EISDIR));
        mode_ = st.st_mode & 07777;
    }
    const std::string folder = folderOf(target_);
    std::string pattern = folder + "/.";
    pattern += target_.substr(target_.rfind('/') == std::string::npos ? 0 : target_.rfind('/') + 1);
    pattern += ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0)
        throw Error(createMessage(target_, errno));
    temp_ = name.data();
}

AtomicFile::~AtomicFile()
{
    if (!committed_)
        discard();
}

void AtomicFile::discard() noexcept
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty() && !committed_) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

void AtomicFile::fail(int errnum)
{
    discard();
    throw Error(formatMessage("Cannot write file \"%s\". %s",
                              {absolutePathForMessage(target_), systemErrorText(errnum)}));
}

void AtomicFile::write(std::span<const std::uint8_t> data)
{
    if (fd_ < 0)
        fail(EBADF);
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(n < 0 ? errno : EIO);
        done += static_cast<std::size_t>(n);
    }
}

void AtomicFile::commit()
{
    if (fd_ < 0)
        fail(EBADF);
    if (::fchmod(fd_, mode_) != 0 || ::fsync(fd_) != 0)
        fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        fail(errno);
    if (::rename(temp_.c_str(), target_.c_str()) != 0)
        fail(errno);
    committed_ = true;
    temp_.clear();
    syncFolder(folderOf(target_));
}

} // namespace lintrel
