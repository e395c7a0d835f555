// Settings-file wrappers around TEncryption: file opening, atomic replacement, results.
#include "brand/settings_file.h"

#include "brand/aes_lib/container.h"
#include "brand/aes_lib/secure.h"
#include "util/atomic_file.h"
#include "util/errors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lintrel {

namespace {

using aes_lib::ContainerCheck;
using aes_lib::FileStream;
using aes_lib::TEncryption;

// An open descriptor closed when it goes out of scope.
class UniqueFd
{
public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;
    int get() const noexcept { return fd_; }
    // Closes now, reporting the error close() gives (0 when fine).
    int close() noexcept
    {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0 ? 0 : errno;
    }

private:
    int fd_;
};

[[noreturn]] void throwFileError(const char *pattern, const std::string &path, int errnum)
{
    throw Error(formatMessage(pattern, {absolutePathForMessage(path), systemErrorText(errnum)}));
}

UniqueFd openForReading(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throwFileError("Cannot open file \"%s\". %s", path, errno);
    struct stat st
    {
    };
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throwFileError("Cannot open file \"%s\". %s", path, EISDIR);
    }
    return UniqueFd(fd);
}

// Replaces any file of that name by a new one that only its owner may read and write.
UniqueFd createPrivateFile(const std::string &path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throwFileError("Cannot create file \"%s\". %s", path, errno);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        throwFileError("Cannot create file \"%s\". %s", path, errno);
    // The umask can only take bits away; set the mode explicitly all the same.
    ::fchmod(fd, 0600);
    return UniqueFd(fd);
}

DecryptResult toResult(const TEncryption &engine)
{
    switch (engine.lastCheck()) {
    case ContainerCheck::Ok:
        return DecryptResult::Ok;
    case ContainerCheck::WrongPassword:
        return DecryptResult::WrongPassword;
    case ContainerCheck::Damaged:
        return DecryptResult::Damaged;
    case ContainerCheck::StreamFailed:
        break;
    }
    // A failed read or write is a file-layer error, not a verdict on the container.
    throw Error(engine.lastError());
}

void checkPassword(std::string_view password)
{
    if (password.size() > aes_lib::MaxPasswordLength)
        throw Error("The password is longer than 128 bytes.");
}

DecryptResult decryptInto(int sourceFd, const std::string &sourcePath, aes_lib::Stream *destination,
                          std::string_view password)
{
    FileStream source(sourceFd, absolutePathForMessage(sourcePath));
    TEncryption engine(password, SettingsChunkSize);
    engine.DecryptStream(source, destination, source.size());
    return toResult(engine);
}

} // namespace

DecryptResult DecryptSettingsFile(const std::string &sourcePath, const std::string &destinationPath)
{
    UniqueFd source = openForReading(sourcePath);
    UniqueFd destination = createPrivateFile(destinationPath);
    FileStream out(destination.get(), absolutePathForMessage(destinationPath));
    try {
        const DecryptResult result = decryptInto(source.get(), sourcePath, &out, SettingsPassword);
        if (const int err = destination.close(); err != 0)
            throwFileError("Cannot write file \"%s\". %s", destinationPath, err);
        return result;
    } catch (const Error &) {
        // A plain copy cut short by a read or write failure is neither kept nor trusted.
        ::unlink(destinationPath.c_str());
        throw;
    }
}

void EncryptSettingsFile(const std::string &sourcePath, const std::string &destinationPath)
{
    encryptFile(sourcePath, destinationPath, SettingsPassword);
}

void encryptFile(const std::string &sourcePath, const std::string &destinationPath,
                 std::string_view password)
{
    checkPassword(password);
    UniqueFd source = openForReading(sourcePath);
    AtomicFile target(destinationPath);
    FileStream in(source.get(), absolutePathForMessage(sourcePath));
    FileStream out(target.fd(), absolutePathForMessage(destinationPath));
    TEncryption engine(password, SettingsChunkSize);
    if (!engine.EncryptStream(in, out))
        throw Error(engine.lastError());
    target.commit();
}

DecryptResult decryptFile(const std::string &sourcePath, const std::string &destinationPath,
                          std::string_view password, DamagedOutput damaged)
{
    UniqueFd source = openForReading(sourcePath);
    // A new plain document is for its owner's eyes only, whatever the umask.
    AtomicFile target(destinationPath, 0600);
    FileStream out(target.fd(), absolutePathForMessage(destinationPath));
    const DecryptResult result = decryptInto(source.get(), sourcePath, &out, password);
    if (result == DecryptResult::Ok ||
        (result == DecryptResult::Damaged && damaged == DamagedOutput::Keep))
        target.commit();
    return result;
}

DecryptResult verifyFile(const std::string &sourcePath, std::string_view password)
{
    UniqueFd source = openForReading(sourcePath);
    return decryptInto(source.get(), sourcePath, nullptr, password);
}

DecryptedSettings decryptSettings(std::span<const std::uint8_t> container,
                                  std::string_view password)
{
    aes_lib::MemoryStream source(container);
    aes_lib::MemoryStream destination;
    TEncryption engine(password, SettingsChunkSize);
    engine.DecryptStream(source, &destination, source.size());
    DecryptedSettings out;
    out.result = toResult(engine);
    out.document.assign(destination.data().begin(), destination.data().end());
    aes_lib::secureWipe(destination.data().data(), destination.data().size());
    return out;
}

std::vector<std::uint8_t> encryptSettings(std::string_view document, std::string_view password)
{
    checkPassword(password);
    aes_lib::MemoryStream source(
        std::span(reinterpret_cast<const std::uint8_t *>(document.data()), document.size()));
    aes_lib::MemoryStream destination;
    TEncryption engine(password, SettingsChunkSize);
    const bool written = engine.EncryptStream(source, destination);
    aes_lib::secureWipe(source.data().data(), source.data().size());
    if (!written)
        throw Error(engine.lastError());
    return std::move(destination.data());
}

} // namespace lintrel
