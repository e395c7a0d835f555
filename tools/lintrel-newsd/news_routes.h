// What lintrel-newsd answers to one HTTP request, apart from how the bytes travel.
#pragma once

#include "news_answers.h"

#include <string>
#include <string_view>

namespace lintrel::newsd {

// Request bodies above this size are refused with 413, however they arrive.
inline constexpr std::size_t kMaxRequestBody = 64 * 1024;

struct HttpRequestView
{
    std::string_view method;      // "GET", "POST", ...
    std::string_view target;      // path and query as sent
    std::string_view contentType; // the Content-Type header, "" when absent
    std::string_view body;
};

struct HttpReply
{
    int status = 200;
    std::string contentType = "text/plain";
    std::string body;
    std::string allow; // the Allow header of a 405
};

// "/news/" from "news", "/news" or "/news/"; "/" from "" or "/".
std::string normalizeNewsPath(std::string_view path);

// POST <newsPath>getlastnews.php and <newsPath>getnewsdetails.php (newsPath normalised),
// GET or HEAD /liveupdate/lintrel/mainappupdate.inf. The path is matched after its
// percent-escapes are decoded; anything else is 404, another method 405, a broken form or
// path 400.
HttpReply answerHttpRequest(const NewsIndex &index, std::string_view newsPath,
                            const HttpRequestView &request);

} // namespace lintrel::newsd
