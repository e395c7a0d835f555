// The file layer's reading side: whole-file reads, and read/write calls retried on EINTR.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace lintrel {

// read() retried while it is interrupted: the count read (0 at the end) or -1 with errno set.
ssize_t readRetrying(int fd, void *buffer, std::size_t size);

// Writes every byte, retrying interrupted writes. False with errno set when a write fails;
// a write that takes nothing (a full disk on some file systems) sets ENOSPC.
bool writeAll(int fd, std::span<const std::uint8_t> bytes);
bool writeAll(int fd, std::string_view bytes);

// The whole content of the file at path, byte for byte. Throws FileError (FileOp::Open when
// it cannot be opened or is a folder, FileOp::Read when reading fails part way).
std::string readFile(const std::string &path);

// The same, or nothing when the file is missing or cannot be read.
std::optional<std::string> readFileIfReadable(const std::string &path);

} // namespace lintrel
