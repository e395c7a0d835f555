// The tool's input: regular files read piece by piece, pipes read whole, handed over in pieces.
#include "text_input.h"

#include "formatter/text_file.h"
#include "util/errors.h"
#include "util/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <emmintrin.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lintrel {

namespace {

constexpr size_t kPieceSize = 1 << 20;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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

// Hands the text to the sink in pieces, decoding each one when the input is not UTF-8.
void handOver(std::string_view bytes, bool utf8, bool first,
              const std::function<void(std::string_view)> &sink)
{
    if (utf8) {
        if (first && bytes.starts_with(kByteOrderMark))
            bytes.remove_prefix(kByteOrderMark.size());
        sink(bytes);
    } else {
        sink(decodeWindows1252(bytes));
    }
}

bool isAscii(std::string_view bytes)
{
    const char *p = bytes.data();
    size_t i = 0;
    __m128i any = _mm_setzero_si128();
    for (; i + 64 <= bytes.size(); i += 64) {
        for (int k = 0; k < 4; ++k)
            any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i) + k));
    }
    bool ascii = _mm_movemask_epi8(any) == 0;
    for (; i < bytes.size(); ++i)
        ascii = ascii && static_cast<unsigned char>(p[i]) < 0x80;
    return ascii;
}

// The length of the piece at `at`: about kPieceSize, ending before the start of a character
// so that no piece cuts a UTF-8 sequence.
size_t pieceLength(std::string_view all, size_t at)
{
    size_t end = std::min(all.size(), at + kPieceSize);
    for (int back = 0; back < 3 && end < all.size() && end > at + 1 &&
                       (static_cast<unsigned char>(all[end]) & 0xC0) == 0x80;
         ++back)
        --end;
    return end - at;
}

// Hands over a text that is all in memory, in pieces, each checked just before it is handed
// over while it is still in the cache. ASCII reads the same as UTF-8 and as Windows-1252, so
// ASCII pieces go at once; from the first other piece on, the rest of the text is checked
// first, unless the sink can start over (`restart`): then pieces go as UTF-8 until one is
// not, and the sink starts over with the whole text decoded.
void handOverAll(std::string_view all, const std::function<void(std::string_view)> &sink,
                 const std::function<void()> &restart)
{
    size_t at = 0;
    for (size_t n; at < all.size() && isAscii(all.substr(at, n = pieceLength(all, at))); at += n)
        sink(all.substr(at, n));
    if (at == all.size())
        return;
    bool utf8 = true;
    if (restart) {
        for (size_t n; at < all.size() && utf8; at += n) {
            const std::string_view piece = all.substr(at, n = pieceLength(all, at));
            utf8 = isValidUtf8(piece);
            if (utf8)
                handOver(piece, true, at == 0, sink);
        }
        if (utf8)
            return;
        restart();
        at = 0;
    } else {
        utf8 = isValidUtf8(all.substr(at)); // the ASCII before it is valid either way
    }
    for (size_t n; at < all.size(); at += n)
        handOver(all.substr(at, n = pieceLength(all, at)), utf8, at == 0, sink);
}

// A regular file read in pieces at given offsets, each cut before a character that may not be
// whole in it. Reading into one small buffer keeps each piece in the cache while it is
// checked and used, and costs less than mapping the file.
class FilePieces
{
public:
    explicit FilePieces(InputFile &input) : input_(input), buffer_(kReadSize, '\0') {}

    // The piece at `offset`; empty at the end of the file.
    std::string_view at(off_t offset)
    {
        const size_t n = input_.readAt(buffer_.data(), kReadSize, offset);
        size_t cut = n;
        if (n == kReadSize) {
            size_t k = n;
            while (k > n - 4 && (static_cast<unsigned char>(buffer_[k - 1]) & 0xC0) == 0x80)
                --k;
            if (static_cast<unsigned char>(buffer_[k - 1]) >= 0xC0)
                cut = k - 1;
        }
        return std::string_view(buffer_.data(), cut);
    }

private:
    static constexpr size_t kReadSize = 256 << 10;
    InputFile &input_;
    std::string buffer_;
};

// As handOverAll, for a regular file read piece by piece.
void handOverFile(InputFile &input, const std::function<void(std::string_view)> &sink,
                  const std::function<void()> &restart)
{
    FilePieces pieces(input);
    const off_t start = input.start();
    off_t at = start;
    std::string_view piece;
    for (; !(piece = pieces.at(at)).empty() && isAscii(piece); at += off_t(piece.size()))
        sink(piece);
    if (piece.empty())
        return;
    const off_t firstOther = at;
    bool utf8 = true;
    for (; utf8 && !(piece = pieces.at(at)).empty(); at += off_t(piece.size())) {
        utf8 = isValidUtf8(piece);
        if (utf8 && restart)
            handOver(piece, true, at == start, sink);
    }
    if (utf8 && restart)
        return;
    if (restart)
        restart();
    for (at = restart ? start : firstOther; !(piece = pieces.at(at)).empty();
         at += off_t(piece.size()))
        handOver(piece, utf8, at == start, sink);
}

} // namespace

void readImportedText(const std::string &file, const std::function<void(std::string_view)> &sink,
                      const std::function<void()> &restart)
{
    InputFile input(file);
    if (input.regular()) {
        handOverFile(input, sink, restart);
        return;
    }
    // Pipes and terminals: read whole first.
    std::string buffer(kPieceSize, '\0');
    std::string all;
    for (size_t n; (n = input.read(buffer.data(), buffer.size())) > 0;)
        all.append(buffer, 0, n);
    handOverAll(all, sink, restart);
}

} // namespace lintrel
