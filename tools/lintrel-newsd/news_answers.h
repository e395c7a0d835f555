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

// Escapes every byte except ASCII letters and digits as "$" and two upper-case hex digits.
std::string escapeNewsBody(std::string_view html);

// The answer to one request. Error codes are whole answers: "CONNECTIONFAIL" when the
// server has no usable publishers.ini, "INVALIDUSER" for a publisher id no level lists,
// "INVALIDPRODUCT" when no level listing that id has the product type and the brand code,
// "INVALIDNEWS" for a body request whose id names no item. A getlastnews.php request whose
// conttype is neither "all" nor "lastcode" is refused with status 400.
NewsAnswer answerNewsRequest(const NewsContent &content, NewsScript script, const NewsForm &form);

} // namespace lintrel::newsd
