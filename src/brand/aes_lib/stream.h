// The small byte-stream interface the container engine reads and writes, with memory and
// file-descriptor implementations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace lintrel::aes_lib {

// A read or write that failed; what() names the file and the reason.
class StreamError : public std::runtime_error
{
public:
    StreamError(const std::string &message, int errnum)
        : std::runtime_error(message), errnum_(errnum)
    {}
    int errnum() const noexcept { return errnum_; }

private:
    int errnum_;
};

class Stream
{
public:
    virtual ~Stream() = default;
    // Reads up to out.size() bytes and returns how many; fewer only at the end of the data.
    virtual std::size_t read(std::span<std::uint8_t> out) = 0;
    // Writes all of data.
    virtual void write(std::span<const std::uint8_t> data) = 0;
    // Total size in bytes, or -1 when unknown.
    virtual std::int64_t size() const = 0;
};

// Reads from and appends to a byte vector; the read position starts at 0.
class MemoryStream : public Stream
{
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<std::uint8_t> data) : data_(std::move(data)) {}
    explicit MemoryStream(std::span<const std::uint8_t> data) : data_(data.begin(), data.end()) {}

    std::size_t read(std::span<std::uint8_t> out) override;
    void write(std::span<const std::uint8_t> data) override;
    std::int64_t size() const override { return static_cast<std::int64_t>(data_.size()); }

    const std::vector<std::uint8_t> &data() const noexcept { return data_; }
    std::vector<std::uint8_t> &data() noexcept { return data_; }

private:
    std::vector<std::uint8_t> data_;
    std::size_t position_ = 0;
};

// Reads and writes an open file descriptor at its current offset; the descriptor stays
// owned by the caller. name is used in error messages.
class FileStream : public Stream
{
public:
    FileStream(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}

    std::size_t read(std::span<std::uint8_t> out) override;
    void write(std::span<const std::uint8_t> data) override;
    std::int64_t size() const override;

private:
    int fd_;
    std::string name_;
};

} // namespace lintrel::aes_lib
