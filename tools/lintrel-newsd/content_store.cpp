// Rereading the content folder when its files change.
#include "content_store.h"

#include <algorithm>
#include <filesystem>

namespace lintrel::newsd {

namespace fs = std::filesystem;

ContentStore::ContentStore(std::string dir, std::function<void(const std::string &)> warn)
    : dir_(std::move(dir)), warn_(std::move(warn))
{}

ContentStore::Stamp ContentStore::stamp() const
{
    Stamp s;
    const auto add = [&s](const fs::path &path, const std::string &name) {
        std::error_code ec;
        const auto status = fs::status(path, ec);
        if (ec || !fs::exists(status)) {
            s.emplace_back(name, -1, -1);
            return;
        }
        const auto time = fs::last_write_time(path, ec).time_since_epoch().count();
        const bool regular = fs::is_regular_file(status);
        const auto size = regular ? static_cast<long long>(fs::file_size(path, ec)) : 0;
        s.emplace_back(name, static_cast<long long>(time), size);
    };
    const fs::path root(dir_);
    add(root / "publishers.ini", "publishers.ini");
    add(root / "mainappupdate.inf", "mainappupdate.inf");
    add(root / "news", "news/");
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(root / "news", ec))
        add(entry.path(), "news/" + entry.path().filename().string());
    std::sort(s.begin(), s.end());
    return s;
}

std::shared_ptr<const NewsContent> ContentStore::current()
{
    std::lock_guard guard(mutex_);
    // Taken before reading, so a change made during the read is seen next time.
    Stamp now = stamp();
    if (content_ && now == stamp_)
        return content_;
    auto content = std::make_shared<NewsContent>(loadNewsContent(dir_));
    for (const std::string &line : content->warnings)
        warn_(line);
    stamp_ = std::move(now);
    content_ = std::move(content);
    return content_;
}

} // namespace lintrel::newsd
