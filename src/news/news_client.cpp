// The three news requests made through the HTTP client, with the message each outcome shows.
#include "news/news_client.h"

namespace lintrel {

namespace {

NewsOutcome failure(NewsRequest request, const std::string &answer, bool silent = false)
{
    NewsOutcome outcome;
    if (!silent)
        outcome.message = newsErrorMessage(request, answer);
    return outcome;
}

} // namespace

std::string exchangeNewsRequest(HttpService &http, const NewsIdentity &who, NewsRequest request,
                                const std::string &newsId)
{
    const std::string base = baseUrlForProductType(who.prodType, who.masterBaseUrl,
                                                   who.platinumBaseUrl, who.goldBaseUrl);
    if (base.empty())
        return {}; // only a script name would be left: nothing to ask
    const std::string boundary = makeBoundary(currentBoundaryTime());
    const auto fields = newsFormFields(request, who.publisherId, who.brandCode, who.prodType,
                                       who.newsTarget, newsId);
    const HttpResult result =
        http.post(newsRequestUrl(base, request), multipartContentType(boundary),
                  buildMultipartBody(fields, boundary), kNewsMaxAnswer);
    return result.ok ? trimNewsAnswer(result.body) : std::string();
}

NewsOutcome getNewsList(HttpService &http, const NewsIdentity &who, std::vector<std::string> &list)
{
    const std::string answer = exchangeNewsRequest(http, who, NewsRequest::List);
    if (!isNewsSuccess(answer))
        return failure(NewsRequest::List, answer);
    for (std::string &record : readNewsList(answer))
        list.push_back(std::move(record));
    return {true, std::nullopt};
}

NewsOutcome getLastNews(HttpService &http, const NewsIdentity &who, std::string &newsId,
                        std::string &title, bool silent)
{
    newsId.clear();
    const std::string answer = exchangeNewsRequest(http, who, NewsRequest::Newest);
    if (!isNewsSuccess(answer))
        return failure(NewsRequest::Newest, answer, silent);
    NewestNews newest = readNewestNews(answer);
    if (newest.present) {
        newsId = std::move(newest.newsId);
        title = std::move(newest.title);
    }
    return {true, std::nullopt};
}

NewsOutcome getNewsDetails(HttpService &http, const NewsIdentity &who, const std::string &newsId,
                           std::string &body)
{
    body.clear();
    const std::string answer = exchangeNewsRequest(http, who, NewsRequest::Body, newsId);
    if (!isNewsSuccess(answer))
        return failure(NewsRequest::Body, answer);
    body = readNewsBody(answer);
    return {true, std::nullopt};
}

} // namespace lintrel
