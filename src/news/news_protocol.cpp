// The news service protocol: request forming, the multipart body, reading the answers.
#include "news/news_protocol.h"

#include "util/fields.h"
#include "util/news_text.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace lintrel {

namespace {

constexpr std::string_view kSuccess = "OK";
const std::string kMarkerAfter = std::string(1, kNewsRecordSeparator) + "OK";
const std::string kMarkerBefore = "OK" + std::string(1, kNewsRecordSeparator);

// Removes every 0xAF "OK" (left to right, not rescanning what a removal joins), then an
// "OK" 0xAF that leads the text: the success marker may stand after or before a record.
std::string removeSuccessMarkers(std::string_view answer)
{
    std::string out;
    out.reserve(answer.size());
    std::size_t from = 0;
    for (std::size_t at; (at = answer.find(kMarkerAfter, from)) != std::string_view::npos;) {
        out.append(answer.substr(from, at - from));
        from = at + kMarkerAfter.size();
    }
    out.append(answer.substr(from));
    if (out.starts_with(kMarkerBefore))
        out.erase(0, kMarkerBefore.size());
    return out;
}

} // namespace

std::optional<std::string> productTypeForLevel(std::string_view level)
{
    if (level == "Master")
        return "BM";
    if (level == "Platinum")
        return "BP";
    if (level == "Gold")
        return "BG";
    return std::nullopt;
}

std::string baseUrlForProductType(std::string_view prodType, const std::string &masterBaseUrl,
                                  const std::string &platinumBaseUrl,
                                  const std::string &goldBaseUrl)
{
    if (prodType == "BM")
        return masterBaseUrl;
    if (prodType == "BP")
        return platinumBaseUrl;
    if (prodType == "BG")
        return goldBaseUrl;
    return {};
}

std::string newsRequestUrl(std::string_view baseUrl, NewsRequest request)
{
    const std::string_view script =
        request == NewsRequest::Body ? "getnewsdetails.php" : "getlastnews.php";
    std::string url(baseUrl);
    if (!url.ends_with('/'))
        url += '/';
    return url + std::string(script);
}

BoundaryTime currentBoundaryTime()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    BoundaryTime t;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.year = local.tm_year + 1900;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = local.tm_sec;
    t.millisecond = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return t;
}

std::string makeBoundary(const BoundaryTime &t)
{
    char digits[32];
    std::snprintf(digits, sizeof digits, "%02d%02d%02d%02d%02d%02d%03d", t.month % 100, t.day % 100,
                  t.year % 100, t.hour % 100, t.minute % 100, t.second % 100, t.millisecond % 1000);
    return "--------" + std::string(digits);
}

std::string multipartContentType(std::string_view boundary)
{
    return "multipart/form-data; boundary=" + std::string(boundary);
}

std::vector<FormField> newsFormFields(NewsRequest request, std::string_view publisherId,
                                      std::string_view brandCode, std::string_view prodType,
                                      std::string_view newsTarget, std::string_view newsId)
{
    std::vector<FormField> fields = {
        {"memusername", std::string(publisherId)},
        {"prodcode", std::string(brandCode)},
        {"prodtype", std::string(prodType)},
    };
    if (request == NewsRequest::Body)
        fields.emplace_back("newsid", std::string(newsId));
    else
        fields.emplace_back("conttype", request == NewsRequest::List ? "all" : "lastcode");
    fields.emplace_back("newstarget", std::string(newsTarget));
    fields.emplace_back("something", "");
    return fields;
}

std::string buildMultipartBody(const std::vector<FormField> &fields, std::string_view boundary)
{
    std::string body;
    for (const auto &[name, value] : fields) {
        body += "--";
        body += boundary;
        body += "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n";
        body += value;
        body += "\r\n";
    }
    body += "\r\n--";
    body += boundary;
    body += "--\r\n";
    return body;
}

std::string trimNewsAnswer(std::string_view answer)
{
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    std::size_t begin = 0;
    std::size_t end = answer.size();
    while (begin < end && blank(answer[begin]))
        ++begin;
    while (end > begin && blank(answer[end - 1]))
        --end;
    return std::string(answer.substr(begin, end - begin));
}

bool isNewsSuccess(std::string_view answer)
{
    return answer.find(kSuccess) != std::string_view::npos;
}

std::vector<std::string> readNewsList(std::string_view answer)
{
    std::vector<std::string> records;
    std::vector<std::string> segments;
    SplitFields(kNewsRecordSeparator, answer, segments);
    for (std::string &segment : segments) {
        if (!segment.empty() && segment != kSuccess)
            records.push_back(std::move(segment));
    }
    return records;
}

NewestNews readNewestNews(std::string_view answer)
{
    const std::string record = removeSuccessMarkers(answer);
    NewestNews newest;
    // "OK" alone, or nothing left once the marker is gone: the service has no item.
    if (record == kSuccess || record.empty())
        return newest;
    NewsItem item = readNewsItem(record);
    newest.present = true;
    newest.newsId = std::move(item.id);
    newest.title = std::move(item.title);
    return newest;
}

NewsItem readNewsItem(std::string_view record)
{
    std::vector<std::string> fields;
    SplitFields('^', record, fields);
    fields.resize(std::max<std::size_t>(fields.size(), 3));
    return {std::move(fields[0]), std::move(fields[1]), std::move(fields[2])};
}

std::vector<NewsItem> readNewsItems(const std::vector<std::string> &records)
{
    std::vector<NewsItem> items;
    items.reserve(records.size());
    for (const std::string &record : records)
        items.push_back(readNewsItem(record));
    return items;
}

std::string readNewsBody(std::string_view answer)
{
    return UnescapeNewsText(removeSuccessMarkers(answer));
}

std::optional<std::string> newsErrorMessage(NewsRequest request, std::string_view answer)
{
    if (answer.empty())
        return std::string(kNewsTroubleAccessing);
    if (answer == "CONNECTIONFAIL")
        return std::string(kNewsTroubleSettings);
    if (answer == "INVALIDUSER")
        return std::string(kNewsTroublePublisher);
    if (answer == "INVALIDPRODUCT")
        return std::string(kNewsTroubleProduct);
    if (answer == "INVALIDNEWS" && request == NewsRequest::Body)
        return std::string(kNewsTroubleNews);
    return std::nullopt;
}

} // namespace lintrel
