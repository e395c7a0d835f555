// Following the content folder with inotify and rebuilding the index from what changed.
#include "content_store.h"

#include "util/errors.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lintrel::newsd {

namespace {

constexpr std::uint32_t kFileEvents =
    IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_ATTRIB;
constexpr std::uint32_t kFolderEvents = kFileEvents | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::uint32_t kEntryEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;

// Keeps writing up to date for one file event: written to and not yet closed, or settled.
void noteWriting(std::set<std::string> &writing, const std::string &key, std::uint32_t mask)
{
    if (mask & IN_MODIFY)
        writing.insert(key);
    else if (mask & (IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE))
        writing.erase(key);
}

} // namespace

struct ContentStore::Touched
{
    bool everything = false; // the event queue overflowed
    bool newsFolder = false; // the news folder came, went or was replaced
    bool publishers = false;
    bool descriptor = false;
    std::set<std::string> news; // names in the news folder
};

ContentStore::ContentStore(std::string dir, std::function<void(const std::string &)> warn)
    : dir_(std::move(dir)), newsDir_((std::filesystem::path(dir_) / "news").string()),
      warn_(std::move(warn))
{
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ >= 0)
        rootWatch_ = inotify_add_watch(inotify_, dir_.c_str(), kFolderEvents);
    if (rootWatch_ < 0) {
        const std::string why = std::strerror(errno);
        if (inotify_ >= 0)
            ::close(inotify_);
        throw Error(formatMessage("cannot watch the content folder %s: %s", {dir_, why}));
    }
    std::lock_guard guard(mutex_);
    watchNewsFolder();
    readEverything();
    publish();
}

ContentStore::~ContentStore()
{
    ::close(inotify_);
}

std::shared_ptr<const NewsIndex> ContentStore::current()
{
    pollfd pending{inotify_, POLLIN, 0};
    if (::poll(&pending, 1, 0) > 0) {
        std::lock_guard guard(mutex_);
        applyEvents();
    }
    return index_.load();
}

void ContentStore::watchNewsFolder()
{
    if (newsWatch_ >= 0)
        inotify_rm_watch(inotify_, newsWatch_);
    newsWatch_ = inotify_add_watch(inotify_, newsDir_.c_str(), kFolderEvents);
}

void ContentStore::warnAll(const std::vector<std::string> &lines)
{
    for (const std::string &line : lines)
        warn_(line);
}

void ContentStore::readEverything()
{
    base_ = NewsContent();
    readPublishersFile(dir_, base_);
    readDescriptorFile(dir_, base_);
    warnAll(base_.warnings);
    base_.warnings.clear();
    readNewsFolder();
}

void ContentStore::readNewsFolder()
{
    std::vector<std::string> warnings;
    std::map<std::string, NewsItem> items;
    for (const std::string &name : listNewsFolder(newsDir_, warnings)) {
        if (writing_.count("news/" + name)) {
            if (const auto old = items_.find(name); old != items_.end())
                items.insert(*old);
        } else if (auto item = readNewsFile(newsDir_, name, warnings)) {
            items.emplace(name, std::move(*item));
        }
    }
    items_ = std::move(items);
    warnAll(warnings);
}

void ContentStore::readNews(const std::string &name)
{
    struct stat st
    {
    };
    if (::stat((newsDir_ + "/" + name).c_str(), &st) != 0) {
        items_.erase(name);
        return;
    }
    // An empty file has just been created and is about to be written.
    if (st.st_size == 0)
        return;
    std::vector<std::string> warnings;
    if (auto item = readNewsFile(newsDir_, name, warnings)) {
        items_.insert_or_assign(name, std::move(*item));
    } else if (items_.count(name) && !warnings.empty()) {
        warnings.back() += "; the last complete version is still served";
    }
    warnAll(warnings);
}

bool ContentStore::applyEvents()
{
    alignas(inotify_event) char buffer[16 * 1024];
    Touched touched;
    bool any = false;
    ssize_t n = 0;
    while ((n = ::read(inotify_, buffer, sizeof buffer)) > 0) {
        any = true;
        for (const char *p = buffer; p < buffer + n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(p);
            p += sizeof(inotify_event) + event->len;
            noteEvent(*event, touched);
        }
    }
    if (any)
        applyTouched(touched);
    return any;
}

void ContentStore::noteEvent(const inotify_event &event, Touched &touched)
{
    const std::string name = event.len > 0 ? event.name : "";
    if (event.mask & IN_Q_OVERFLOW) {
        touched.everything = true;
    } else if (event.wd == newsWatch_) {
        if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
            touched.newsFolder = true;
        } else if (!name.empty()) {
            noteWriting(writing_, "news/" + name, event.mask);
            touched.news.insert(name);
        }
    } else if (event.wd == rootWatch_) {
        if (name == "news" && (event.mask & kEntryEvents)) {
            touched.newsFolder = true;
        } else if (name == "publishers.ini" || name == "mainappupdate.inf") {
            noteWriting(writing_, name, event.mask);
            (name == "publishers.ini" ? touched.publishers : touched.descriptor) = true;
        }
    }
}

void ContentStore::applyTouched(const Touched &touched)
{
    if (touched.everything || touched.newsFolder)
        watchNewsFolder();
    if (touched.everything) {
        readEverything();
    } else if (touched.newsFolder) {
        readNewsFolder();
    } else {
        for (const std::string &name : touched.news)
            if (!writing_.count("news/" + name))
                readNews(name);
    }
    if (!touched.everything && touched.publishers && !writing_.count("publishers.ini"))
        readPublishersFile(dir_, base_);
    if (!touched.everything && touched.descriptor && !writing_.count("mainappupdate.inf"))
        readDescriptorFile(dir_, base_);
    warnAll(base_.warnings);
    base_.warnings.clear();
    publish();
}

void ContentStore::publish()
{
    NewsContent content;
    content.levels = base_.levels;
    content.publishersMissing = base_.publishersMissing;
    content.descriptor = base_.descriptor;
    content.items.reserve(items_.size());
    for (const auto &[name, item] : items_)
        content.items.push_back(item);
    auto index = std::make_shared<const NewsIndex>(std::move(content));
    warnAll(index->content().warnings);
    index_.store(std::move(index));
}

} // namespace lintrel::newsd
