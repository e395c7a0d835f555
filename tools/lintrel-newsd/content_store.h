// The content folder held in memory as an index, brought up to date as its files change.
#pragma once

#include "news_answers.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

struct inotify_event;

namespace lintrel::newsd {

// Reads the folder once, then follows it with inotify: a request costs one check for
// pending change events, and only the files named in them are read again. A file with
// writes not yet closed is left alone, as is one that cannot be read or parsed: the last
// complete version of it is served until the writer is done.
class ContentStore
{
public:
    // warn receives each warning line, once for every read that gives it. Throws
    // lintrel::Error when the folder cannot be watched.
    ContentStore(std::string dir, std::function<void(const std::string &)> warn);
    ~ContentStore();
    ContentStore(const ContentStore &) = delete;
    ContentStore &operator=(const ContentStore &) = delete;

    // The current index; safe from several threads.
    std::shared_ptr<const NewsIndex> current();

    const std::string &dir() const { return dir_; }

private:
    struct Touched; // the names an event batch touched
    void watchNewsFolder();
    void readEverything();
    void readNewsFolder();
    void readNews(const std::string &name);
    bool applyEvents(); // false when nothing was pending
    void noteEvent(const inotify_event &event, Touched &touched);
    void applyTouched(const Touched &touched);
    void publish();
    void warnAll(const std::vector<std::string> &lines);

    std::string dir_, newsDir_;
    std::function<void(const std::string &)> warn_;
    int inotify_ = -1;
    int rootWatch_ = -1;
    int newsWatch_ = -1;
    std::mutex mutex_;
    NewsContent base_;                      // publishers and descriptor as last read
    std::map<std::string, NewsItem> items_; // by file name: the last complete version
    std::set<std::string> writing_; // "news/<name>" or a root name, written to and not closed
    std::atomic<std::shared_ptr<const NewsIndex>> index_;
};

} // namespace lintrel::newsd
