// AtomicFile: replaces a file all at once or not at all (temporary file, fsync, rename).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <sys/types.h>

namespace lintrel {

// Writes a new version of a file into a temporary file in the same folder; commit() flushes
// it to disk and renames it over the target, then flushes the folder. Until commit()
// succeeds the target is untouched; on any failure, and when the object dies uncommitted,
// the temporary file is removed. The new file keeps the permission bits of the file it
// replaces (a new file gets 0666 less the umask, or the mode given).
class AtomicFile
{
public:
    // Throws lintrel::Error "Cannot create file ..." when the temporary file cannot be made.
    explicit AtomicFile(std::string targetPath);
    AtomicFile(std::string targetPath, mode_t newFileMode);
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // The temporary file's descriptor, for writers that take one (valid until commit).
    int fd() const noexcept { return fd_; }
    const std::string &targetPath() const noexcept { return target_; }
    const std::string &temporaryPath() const noexcept { return temp_; }

    // Throws lintrel::Error "Cannot write file ..." (naming the target) on failure.
    void write(std::span<const std::uint8_t> data);
    // Throws lintrel::Error "Cannot write file ..." on failure; the target is then unchanged.
    void commit();
    // Drops the new version (also done by the destructor when not committed).
    void discard() noexcept;

private:
    [[noreturn]] void fail(int errnum);

    std::string target_;
    std::string temp_;
    int fd_ = -1;
    mode_t mode_ = 0;
    bool committed_ = false;
};

// The process's umask, read without changing it (0022 when it cannot be read).
mode_t currentUmask();

// path made absolute against the working directory, for messages.
std::string absolutePathForMessage(const std::string &path);

} // namespace lintrel
