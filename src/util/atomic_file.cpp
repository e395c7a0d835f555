// AtomicFile: temporary file in the target's folder, fsync, rename, folder fsync; written in
// place when the folder takes no temporary file.
#include "util/atomic_file.h"

#include "util/file_io.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <fstream>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
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

std::string nameOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// path with every symbolic link along the final component followed; a dangling link gives
// the path it points to. Fails with ELOOP after the system's limit of links.
std::string followLinks(std::string path, int &error)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st = {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::vector<char> buffer(PATH_MAX);
        const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0 || static_cast<std::size_t>(n) == buffer.size()) {
            error = n < 0 ? errno : ENAMETOOLONG;
            return path;
        }
        std::string link(buffer.data(), static_cast<std::size_t>(n));
        path = link.starts_with('/') ? link : folderOf(path) + "/" + link;
    }
    error = ELOOP;
    return path;
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

AtomicFile::AtomicFile(std::string targetPath)
    : AtomicFile(std::move(targetPath), 0666 & ~currentUmask())
{}

AtomicFile::AtomicFile(std::string targetPath, mode_t newFileMode)
    : target_(std::move(targetPath)), mode_(newFileMode & 07777)
{
    int linkError = 0;
    final_ = followLinks(target_, linkError);
    if (linkError != 0)
        throw FileError(FileOp::Create, target_, linkError);
    struct stat st = {};
    const bool exists = ::stat(final_.c_str(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode))
            throw FileError(FileOp::Create, target_, EISDIR);
        // A file the user may not change is not swapped for a new one behind its back.
        if (::access(final_.c_str(), W_OK) != 0)
            throw FileError(FileOp::Create, target_, errno);
        mode_ = st.st_mode & 07777;
        owner_ = st.st_uid;
        group_ = st.st_gid;
    }
    std::string pattern = folderOf(final_) + "/." + nameOf(final_) + ".XXXXXX";
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ >= 0) {
        temp_ = pattern;
        return;
    }
    const int error = errno;
    if (!exists)
        throw FileError(FileOp::Create, target_, error);
    // The new version waits in memory, so the file changes only at commit().
    fd_ = ::memfd_create("lintrel-in-place", MFD_CLOEXEC);
    if (fd_ < 0)
        throw FileError(FileOp::Create, target_, error);
    inPlace_ = true;
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

void AtomicFile::fail(FileOp op, int errnum)
{
    discard();
    throw FileError(op, target_, errnum);
}

void AtomicFile::write(std::span<const std::uint8_t> data)
{
    if (fd_ < 0)
        fail(FileOp::Write, EBADF);
    if (!writeAll(fd_, data))
        fail(FileOp::Write, errno);
}

void AtomicFile::commit()
{
    if (fd_ < 0)
        fail(FileOp::Write, EBADF);
    if (inPlace_)
        writeInPlace();
    else
        replaceByRename();
    committed_ = true;
}

void AtomicFile::replaceByRename()
{
    if (owner_ != static_cast<uid_t>(-1) && ::fchown(fd_, owner_, group_) != 0)
        (void)::fchown(fd_, static_cast<uid_t>(-1), group_); // at least the group, if ours
    if (::fchmod(fd_, mode_) != 0 || ::fsync(fd_) != 0)
        fail(FileOp::Write, errno);
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0)
        fail(FileOp::Write, errno);
    if (::rename(temp_.c_str(), final_.c_str()) != 0)
        fail(FileOp::Create, errno);
    temp_.clear();
    syncFolder(folderOf(final_));
}

void AtomicFile::writeInPlace()
{
    const int out = ::open(final_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (out < 0)
        fail(FileOp::Create, errno);
    char buffer[1 << 16];
    int error = ::lseek(fd_, 0, SEEK_SET) < 0 ? errno : 0;
    while (error == 0) {
        const ssize_t n = readRetrying(fd_, buffer, sizeof buffer);
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        if (!writeAll(out, std::string_view(buffer, static_cast<std::size_t>(n))))
            error = errno;
    }
    if (error == 0 && ::fsync(out) != 0)
        error = errno;
    if (::close(out) != 0 && error == 0)
        error = errno;
    if (error != 0)
        fail(FileOp::Write, error);
    discard();
}

void replaceFile(const std::string &path, std::span<const std::uint8_t> bytes)
{
    AtomicFile file(path);
    file.write(bytes);
    file.commit();
}

void replaceFile(const std::string &path, std::string_view bytes)
{
    replaceFile(path,
                std::span(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()));
}

void replaceFile(const std::string &path, std::string_view bytes, mode_t newFileMode)
{
    AtomicFile file(path, newFileMode);
    file.write(std::span(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()));
    file.commit();
}

} // namespace lintrel
