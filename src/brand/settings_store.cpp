// The settings file cycle through dbsettings.sim, and the last-news marker store.
#include "brand/settings_store.h"

#include "brand/brand_document.h"
#include "brand/brand_last_news.h"
#include "util/atomic_file.h"
#include "util/errors.h"
#include "util/exe_dir.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace lintrel {

namespace {

bool fileExists(const std::string &path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0;
}

// Deletes the plain copy when the scope ends, whatever happened in it.
class PlainCopy
{
public:
    explicit PlainCopy(std::string path) : path_(std::move(path)) {}
    ~PlainCopy() { ::unlink(path_.c_str()); }
    PlainCopy(const PlainCopy &) = delete;
    PlainCopy &operator=(const PlainCopy &) = delete;
    const std::string &path() const { return path_; }

private:
    std::string path_;
};

std::string readWholeFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Error(formatMessage("Cannot open file \"%s\". %s", {path, systemErrorText(errno)}));
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writePrivateFile(const std::string &path, const std::string &bytes)
{
    ::unlink(path.c_str());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        throw Error(formatMessage("Cannot create file \"%s\". %s", {path, systemErrorText(errno)}));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = errno;
            ::close(fd);
            throw Error(
                formatMessage("Cannot write file \"%s\". %s", {path, systemErrorText(err)}));
        }
        done += static_cast<size_t>(n);
    }
    ::close(fd);
}

} // namespace

std::optional<SettingsDocument> readSettingsDocument(const std::string &dir)
{
    const std::string container = joinPath(dir, kSettingsFileName);
    if (!fileExists(container))
        return std::nullopt;
    PlainCopy plain(joinPath(dir, kPlainSettingsFileName));
    SettingsDocument doc;
    doc.result = DecryptSettingsFile(container, plain.path());
    doc.lines = readDocumentLines(readWholeFile(plain.path()));
    return doc;
}

std::string ReadLastNewsId(const std::string &dir)
{
    const auto doc = readSettingsDocument(dir);
    if (!doc)
        return {};
    return extractLastNewsId(joinDocumentLines(doc->lines));
}

MarkerWrite WriteLastNewsId(const std::string &dir, const std::string &id)
{
    auto doc = readSettingsDocument(dir);
    if (!doc)
        return MarkerWrite::NoSettingsFile;
    if (doc->result != DecryptResult::Ok)
        return MarkerWrite::NotStored;
    PlainCopy plain(joinPath(dir, kPlainSettingsFileName));
    writePrivateFile(plain.path(), joinDocumentLines(setLastNewsIdLine(std::move(doc->lines), id)));
    EncryptSettingsFile(plain.path(), joinPath(dir, kSettingsFileName));
    return MarkerWrite::Stored;
}

} // namespace lintrel
