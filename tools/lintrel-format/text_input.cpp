// The tool's input: regular files mapped into memory, pipes read whole, handed over in pieces.
#include "text_input.h"

#include "formatter/text_file.h"
#include "util/errors.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <emmintrin.h>
#include <fcntl.h>
#include <sys/mman.h>
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

    // Fills buf with up to `size` bytes; fewer only at the end of the input.
    size_t read(char *buf, size_t size)
    {
        size_t used = 0;
        while (used < size) {
            const ssize_t n = ::read(fd_, buf + used, size - used);
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

private:
    [[noreturn]] void fail(int error) const
    {
        if (name_ == "-")
            throw Error(formatMessage("Cannot read standard input. %s", {systemErrorText(error)}));
        throw Error(formatMessage("Cannot open file \"%s\". %s",
                                  {fullPath(name_), systemErrorText(error)}));
    }

    std::string name_;
    int fd_ = STDIN_FILENO;
    bool owned_ = false;
    bool regular_ = false;
    off_t start_ = -1;
};

// Reading a mapped page of a file that was cut short meanwhile raises SIGBUS: end with a
// clear message and the file-error status instead of a crash.
void onTruncatedInput(int)
{
    static constexpr char message[] = "lintrel-format: the input file changed while it was read\n";
    (void)!::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(1);
}

// A regular file mapped into memory, read-only: the text is checked and handed over without
// copying it.
class MappedFile
{
public:
    explicit MappedFile(const InputFile &input)
    {
        struct stat st = {};
        if (::fstat(input.descriptor(), &st) != 0 || st.st_size <= input.start())
            return;
        size_ = size_t(st.st_size);
        void *map =
            ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, input.descriptor(), 0);
        if (map == MAP_FAILED)
            return;
        data_ = static_cast<const char *>(map);
        text_ = std::string_view(data_, size_).substr(size_t(input.start()));
        struct sigaction action = {};
        action.sa_handler = onTruncatedInput;
        ::sigaction(SIGBUS, &action, nullptr);
    }
    ~MappedFile()
    {
        if (data_ != nullptr)
            ::munmap(const_cast<char *>(data_), size_);
    }
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    bool mapped() const { return data_ != nullptr; }
    std::string_view text() const { return text_; }

private:
    const char *data_ = nullptr;
    size_t size_ = 0;
    std::string_view text_;
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

} // namespace

void readImportedText(const std::string &file, const std::function<void(std::string_view)> &sink,
                      const std::function<void()> &restart)
{
    InputFile input(file);
    if (input.regular()) {
        if (const MappedFile map(input); map.mapped()) {
            handOverAll(map.text(), sink, restart);
            return;
        }
    }
    // Pipes, terminals, and files that cannot be mapped: read whole first.
    std::string buffer(kPieceSize, '\0');
    std::string all;
    for (size_t n; (n = input.read(buffer.data(), buffer.size())) > 0;)
        all.append(buffer, 0, n);
    handOverAll(all, sink, restart);
}

} // namespace lintrel
