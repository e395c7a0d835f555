// The three news requests made through the HTTP client, with the message each outcome shows.
#pragma once

#include "net/http_service.h"
#include "news/news_protocol.h"

#include <optional>
#include <string>
#include <vector>

namespace lintrel {

// Who asks: the brand's publisher id and code, the product type code of its level and the
// three base URLs (the one matching prodType is used).
struct NewsIdentity
{
    std::string publisherId, brandCode, prodType, newsTarget = "UA";
    std::string masterBaseUrl, platinumBaseUrl, goldBaseUrl;
};

// ok: the service answered with success. message: the warning to show, if any (already
// left out for a silent newest-item request).
struct NewsOutcome
{
    bool ok = false;
    std::optional<std::string> message;
};

// Appends the records of the list answer to list (never empties it).
NewsOutcome getNewsList(HttpService &http, const NewsIdentity &who, std::vector<std::string> &list);

// Empties newsId first; on success with an item sets newsId and title (title is left as it
// was when the service has no item). No message when silent.
NewsOutcome getLastNews(HttpService &http, const NewsIdentity &who, std::string &newsId,
                        std::string &title, bool silent);

// Empties body first; on success sets it to the decoded HTML of the item.
NewsOutcome getNewsDetails(HttpService &http, const NewsIdentity &who, const std::string &newsId,
                           std::string &body);

// One exchange: POSTs the request's form to its URL and returns the trimmed answer, or ""
// when the exchange fails (no base URL, no connection, a status other than 2xx, a broken
// or oversized answer). Exposed for the tools.
std::string exchangeNewsRequest(HttpService &http, const NewsIdentity &who, NewsRequest request,
                                const std::string &newsId = {});

} // namespace lintrel
