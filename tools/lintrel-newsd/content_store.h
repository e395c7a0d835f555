// The content folder as last read, read again whenever one of its files changes.
#pragma once

#include "news_content.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

namespace lintrel::newsd {

class ContentStore
{
public:
    // warn receives each warning line of every (re)load.
    ContentStore(std::string dir, std::function<void(const std::string &)> warn);

    // The current content. Before answering, the folder's files are looked at (names, sizes
    // and modification times of publishers.ini, mainappupdate.inf and news/*); when anything
    // differs from the last read, the folder is read again. Safe from several threads.
    std::shared_ptr<const NewsContent> current();

    const std::string &dir() const { return dir_; }

private:
    using Stamp = std::vector<std::tuple<std::string, long long, long long>>;
    Stamp stamp() const;

    std::string dir_;
    std::function<void(const std::string &)> warn_;
    std::mutex mutex_;
    Stamp stamp_;
    std::shared_ptr<const NewsContent> content_;
};

} // namespace lintrel::newsd
