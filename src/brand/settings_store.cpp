// The settings file cycle through dbsettings.sim, and the last-news marker store.
#include "brand/settings_store.h"

#include "brand/brand_document.h"
#include "brand/brand_last_news.h"
#include "util/atomic_file.h"
#include "util/errors.h"
#include "util/exe_dir.h"
#include "util/file_io.h"

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

// The plain copy is made afresh for its owner alone, never through an existing file or link.
void writePrivateFile(const std::string &path, const std::string &bytes)
{
    ::unlink(path.c_str());
    replaceFile(path, bytes, 0600);
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
    doc.lines = readDocumentLines(readFile(plain.path()));
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
