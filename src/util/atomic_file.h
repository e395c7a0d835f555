// AtomicFile: replaces a file all at once or not at all (temporary file, fsync, rename).
#pragma once

#include "util/errors.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace lintrel {

// Writes a new version of a file. commit() makes it the file's content; until then the file
// is untouched, and on any failure, or when the object dies uncommitted, nothing is left.
//
// - The new version goes into a temporary file in the target's folder; commit() flushes it,
//   renames it over the target and flushes the folder.
// - A symbolic link is followed to its final target, which is replaced; the link stays.
// - A replaced file keeps its permission bits, and its owner and group where the process may
//   set them; a new file gets newFileMode (by default 0666 less the umask).
// - An existing file the process may not write is not replaced: the constructor throws.
// - When no temporary file can be made in the folder (a folder the process may not write)
//   but the file itself is writable, commit() writes it in place: truncate, write, fsync.
//
// Errors are FileError: FileOp::Create when the file cannot be created or replaced,
// FileOp::Write when writing or flushing fails; messages name the path as given.
class AtomicFile
{
public:
    explicit AtomicFile(std::string targetPath);
    AtomicFile(std::string targetPath, mode_t newFileMode);
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // The descriptor the new version is written to, for writers that take one (valid until
    // commit). Writes go to a private buffer file when the target is written in place.
    int fd() const noexcept { return fd_; }
    const std::string &targetPath() const noexcept { return target_; }
    // The temporary file beside the target; empty when the target is written in place.
    const std::string &temporaryPath() const noexcept { return temp_; }

    void write(std::span<const std::uint8_t> data);
    void commit();
    // Drops the new version (also done by the destructor when not committed).
    void discard() noexcept;

private:
    [[noreturn]] void fail(FileOp op, int errnum);
    void replaceByRename();
    void writeInPlace();

    std::string target_; // as given, for messages
    std::string final_;  // target_ with symbolic links followed
    std::string temp_;
    int fd_ = -1;
    mode_t mode_ = 0;
    uid_t owner_ = static_cast<uid_t>(-1); // of the file being replaced; -1 for a new file
    gid_t group_ = static_cast<gid_t>(-1);
    bool inPlace_ = false;
    bool committed_ = false;
};

// Replaces the file at path with bytes through an AtomicFile.
void replaceFile(const std::string &path, std::span<const std::uint8_t> bytes);
void replaceFile(const std::string &path, std::string_view bytes);
void replaceFile(const std::string &path, std::string_view bytes, mode_t newFileMode);

// The process's umask, read without changing it (0022 when it cannot be read).
mode_t currentUmask();

} // namespace lintrel
