// The tool's input: regular files mapped into memory, pipes read whole, handed over in pieces.
#include "text_input.h"

#include "formatter/text_file.h"
#include "util/errors.h"
#include "util/file_io.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
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

void withInputBytes(const std::string &file, const std::function<void(std::string_view)> &use)
{
    InputFile input(file);
    if (input.regular()) {
        if (const MappedFile map(input); map.mapped()) {
            use(map.text());
            return;
        }
    }
    // Pipes, terminals, and files that cannot be mapped: read whole first.
    std::string buffer(kPieceSize, '\0');
    std::string all;
    for (size_t n; (n = input.read(buffer.data(), buffer.size())) > 0;)
        all.append(buffer, 0, n);
    use(all);
}

void readImportedText(const std::string &file, const std::function<void(std::string_view)> &sink)
{
    withInputBytes(file, [&](std::string_view all) { handOverImported(all, sink); });
}

} // namespace lintrel
