// The settings file cycle in memory, the writers' lock, and the last-news marker store.
#include "brand/settings_store.h"

#include "brand/brand_document.h"
#include "brand/brand_last_news.h"
#include "util/atomic_file.h"
#include "util/errors.h"
#include "util/exe_dir.h"
#include "util/file_io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lintrel {

namespace {

// An open descriptor, closed (and any flock on it released) when it goes out of scope.
class OpenFile
{
public:
    explicit OpenFile(int fd) : fd_(fd) {}
    ~OpenFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    OpenFile(OpenFile &&other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;
    OpenFile &operator=(OpenFile &&) = delete;
    int fd() const noexcept { return fd_; }

private:
    int fd_;
};

// The container file for reading, or nothing when there is no such file.
std::optional<OpenFile> openContainer(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return std::nullopt;
        throw FileError(FileOp::Open, path, errno);
    }
    OpenFile file(fd);
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0)
        throw FileError(FileOp::Open, path, errno);
    if (S_ISDIR(st.st_mode))
        throw FileError(FileOp::Open, path, EISDIR);
    return file;
}

std::vector<std::uint8_t> readAll(const OpenFile &file, const std::string &path)
{
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = readRetrying(file.fd(), buffer, sizeof buffer);
        if (n < 0)
            throw FileError(FileOp::Read, path, errno);
        if (n == 0)
            return bytes;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The container file opened and locked for a read-modify-write, or nothing when there is no
// such file. A writer that held the lock before us has replaced the file by renaming a new
// one over it, so the lock we got may be on a version that is gone: then the new one is
// opened and locked in turn. On a file system without locks the write goes ahead unlocked
// rather than not at all.
std::optional<OpenFile> lockCurrentVersion(const std::string &path)
{
    for (;;) {
        std::optional<OpenFile> file = openContainer(path);
        if (!file)
            return std::nullopt;
        int rc;
        while ((rc = ::flock(file->fd(), LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (rc != 0)
            return file;
        struct stat held
        {
        }, current{};
        if (::fstat(file->fd(), &held) != 0)
            throw FileError(FileOp::Open, path, errno);
        if (::stat(path.c_str(), &current) == 0) {
            if (sameFile(held, current))
                return file;
        } else if (errno != ENOENT) {
            throw FileError(FileOp::Open, path, errno);
        }
    }
}

SettingsDocument decryptDocument(const OpenFile &file, const std::string &path)
{
    const std::vector<std::uint8_t> container = readAll(file, path);
    const DecryptedSettings plain = decryptSettings(container);
    return {plain.result, readDocumentLines(plain.document)};
}

std::optional<SettingsDocument> readContainer(const std::string &path)
{
    const std::optional<OpenFile> file = openContainer(path);
    if (!file)
        return std::nullopt;
    return decryptDocument(*file, path);
}

} // namespace

std::optional<SettingsDocument> readSettingsDocument(const std::string &dir)
{
    return readContainer(joinPath(dir, kSettingsFileName));
}

std::string ReadLastNewsId(const std::string &dir)
{
    return readLastNewsIdIn(joinPath(dir, kSettingsFileName));
}

MarkerWrite WriteLastNewsId(const std::string &dir, const std::string &id)
{
    return writeLastNewsIdIn(joinPath(dir, kSettingsFileName), id);
}

std::string readLastNewsIdIn(const std::string &containerPath)
{
    const auto doc = readContainer(containerPath);
    if (!doc)
        return {};
    return extractLastNewsId(joinDocumentLines(doc->lines));
}

MarkerWrite writeLastNewsIdIn(const std::string &path, const std::string &id)
{
    const std::optional<OpenFile> locked = lockCurrentVersion(path);
    if (!locked)
        return MarkerWrite::NoSettingsFile;
    SettingsDocument doc = decryptDocument(*locked, path);
    if (doc.result != DecryptResult::Ok)
        return MarkerWrite::NotStored;
    const std::vector<std::uint8_t> container =
        encryptSettings(joinDocumentLines(setLastNewsIdLine(std::move(doc.lines), id)));
    AtomicFile target(path);
    target.write(container);
    target.commit();
    // The lock goes with the descriptor, after the new version is in place.
    return MarkerWrite::Stored;
}

} // namespace lintrel
