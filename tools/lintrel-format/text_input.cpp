// The tool's input: regular files read piece by piece, pipes read whole, handed over in pieces.
#include "text_input.h"

#include "formatter/text_file.h"
#include "util/errors.h"
#include "util/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lintrel {

namespace {

constexpr size_t kPieceSize = 1 << 20;

class InputFile
{
public:
    explicit InputFile(const std::string &file) : name_(file)
    {
        if (file != "-") {
            fd_ = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd_ < 0)
                fail(errno);
            owned_ = true;
        }
        struct stat st = {};
        regular_ = ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
        start_ = regular_ ? ::lseek(fd_, 0, SEEK_CUR) : -1;
        regular_ = regular_ && start_ >= 0;
    }
    ~InputFile()
    {
        if (owned_)
            ::close(fd_);
    }
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    bool regular() const { return regular_; }
    int descriptor() const { return fd_; }
    off_t start() const { return start_; }

    // Fills buf with up to `size` bytes from `offset` of a regular file; fewer only at its end.
    size_t readAt(char *buf, size_t size, off_t offset)
    {
        size_t used = 0;
        while (used < size) {
            const ssize_t n = ::pread(fd_, buf + used, size - used, offset + off_t(used));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                fail(errno);
            if (n == 0)
                break;
            used += size_t(n);
        }
        return used;
    }

    // Fills buf with up to `size` bytes; fewer only at the end of the input.
    size_t read(char *buf, size_t size)
    {
        size_t used = 0;
        while (used < size) {
            const ssize_t n = readRetrying(fd_, buf + used, size - used);
            if (n < 0)
                fail(errno);
            if (n == 0)
                break;
            used += size_t(n);
        }
        return used;
    }

private:
    [[noreturn]] void fail(int error) const
    {
        if (name_ == "-")
            throw Error(formatMessage("Cannot read standard input. %s", {systemErrorText(error)}));
        throw FileError(FileOp::Open, name_, error);
    }

    std::string name_;
    int fd_ = STDIN_FILENO;
    bool owned_ = false;
    bool regular_ = false;
    off_t start_ = -1;
};

} // namespace

void handOverImported(std::string_view all, const std::function<void(std::string_view)> &sink)
{
    if (all.starts_with(kByteOrderMark))
        all.remove_prefix(kByteOrderMark.size());
    if (isValidUtf8(all)) {
        for (size_t at = 0; at < all.size(); at += kPieceSize)
            sink(all.substr(at, kPieceSize));
        return;
    }
    std::string decoded;
    for (size_t at = 0; at < all.size();) {
        const std::string_view piece = all.substr(at, kPieceSize);
        decoded.clear();
        at += appendDecodedText(decoded, piece, at + piece.size() == all.size());
        sink(decoded);
    }
}

namespace {

// A regular file read in pieces at given offsets. Reading into one small buffer keeps each
// piece in the cache while it is checked and used, and costs less than mapping the file.
class FilePieces
{
public:
    explicit FilePieces(InputFile &input) : input_(input), buffer_(kReadSize, '\0') {}

    // The piece at `offset`; empty at the end of the file. `last` tells whether the file ends
    // with it.
    std::string_view at(off_t offset, bool &last)
    {
        const size_t n = input_.readAt(buffer_.data(), kReadSize, offset);
        last = n < kReadSize;
        return std::string_view(buffer_.data(), n);
    }

private:
    static constexpr size_t kReadSize = 256 << 10;
    InputFile &input_;
    std::string buffer_;
};

// The length of the piece without a UTF-8 sequence that may be cut short at its end.
size_t wholeSequences(std::string_view piece)
{
    size_t k = piece.size();
    while (k > 0 && piece.size() - k < 3 &&
           (static_cast<unsigned char>(piece[k - 1]) & 0xC0) == 0x80)
        --k;
    if (k > 0 && static_cast<unsigned char>(piece[k - 1]) >= 0xC0)
        return k - 1;
    return piece.size();
}

// A regular file piece by piece: a piece of well-formed UTF-8 goes as it is, any other is
// decoded, a sequence cut short at a piece's end being read again with the next piece.
void handOverFile(InputFile &input, const std::function<void(std::string_view)> &sink)
{
    FilePieces pieces(input);
    off_t at = input.start();
    bool last = false;
    std::string_view piece = pieces.at(at, last);
    if (piece.starts_with(kByteOrderMark)) {
        at += off_t(kByteOrderMark.size());
        piece = pieces.at(at, last);
    }
    std::string decoded;
    for (; !piece.empty(); piece = pieces.at(at, last)) {
        const std::string_view whole = last ? piece : piece.substr(0, wholeSequences(piece));
        if (!whole.empty() && isValidUtf8(whole)) {
            sink(whole);
            at += off_t(whole.size());
            continue;
        }
        decoded.clear();
        at += off_t(appendDecodedText(decoded, piece, last));
        sink(decoded);
    }
}

} // namespace

void readImportedText(const std::string &file, const std::function<void(std::string_view)> &sink)
{
    InputFile input(file);
    if (input.regular()) {
        handOverFile(input, sink);
        return;
    }
    // Pipes and terminals: read whole first.
    std::string buffer(kPieceSize, '\0');
    std::string all;
    for (size_t n; (n = input.read(buffer.data(), buffer.size())) > 0;)
        all.append(buffer, 0, n);
    handOverImported(all, sink);
}

} // namespace lintrel
