// The news service's answers: checking who asks, and the list, newest-item and body texts.
#pragma once

#include "news_content.h"

#include <string>
#include <string_view>

namespace lintrel::newsd {

// The form fields of a news request (missing fields are empty).
struct NewsForm
{
    std::string memusername, prodcode, prodtype, conttype, newsid, newstarget;
};

enum class NewsScript { LastNews, NewsDetails };

struct NewsAnswer
{
    int status = 200;
    std::string body;
};

// The content with the parts of the answers that do not depend on who asks, built once for
// each version of the folder so that a request costs no more than a lookup.
class NewsIndex
{
public:
    explicit NewsIndex(NewsContent content);

    const NewsContent &content() const { return content_; }
    // The conttype "all" and "lastcode" answers.
    const std::string &listAnswer() const { return listAnswer_; }
    const std::string &newestAnswer() const { return newestAnswer_; }
    // The item with this id, or nullptr.
    const NewsItem *find(std::uint64_t id) const;

private:
    NewsContent content_;
    std::string listAnswer_;
    std::string newestAnswer_;
};

// Escapes every byte except ASCII letters and digits as "$" and two upper-case hex digits.
std::string escapeNewsBody(std::string_view html);

// The answer to one request. Error codes are whole answers: "CONNECTIONFAIL" when the
// server has no usable publishers.ini, "INVALIDUSER" for a publisher id no level lists,
// "INVALIDPRODUCT" when no level listing that id has the product type and the brand code,
// "INVALIDNEWS" for a body request whose id names no item. A getlastnews.php request whose
// conttype is neither "all" nor "lastcode" is refused with status 400.
NewsAnswer answerNewsRequest(const NewsIndex &index, NewsScript script, const NewsForm &form);

} // namespace lintrel::newsd
