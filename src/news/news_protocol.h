// The news service protocol: request forming, the multipart body, reading the answers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lintrel {

// The three requests of the news service.
enum class NewsRequest { List, Newest, Body };

// Answers are capped at this size; a larger one is a failed exchange.
inline constexpr std::size_t kNewsMaxAnswer = 16 * 1024 * 1024;

// Byte 0xAF: separates records and, with "OK", marks success.
inline constexpr char kNewsRecordSeparator = '\xAF';

inline constexpr std::string_view kNewsTroubleAccessing =
    "There is a trouble accessing the news site. Contact your provider.";
inline constexpr std::string_view kNewsTroubleSettings =
    "There is a trouble in the settings file on the news site.";
inline constexpr std::string_view kNewsTroublePublisher =
    "There is a trouble with the Publisher Id. Contact your provider.";
inline constexpr std::string_view kNewsTroubleProduct =
    "There is a trouble with the product validation. Contact your provider.";
inline constexpr std::string_view kNewsTroubleNews =
    "There is a trouble with this news. Contact your provider.";

// "BM", "BP", "BG" for the levels "Master", "Platinum", "Gold" (exact case); none otherwise.
std::optional<std::string> productTypeForLevel(std::string_view level);

// The base URL that belongs to a product type code; empty for any other code.
std::string baseUrlForProductType(std::string_view prodType, const std::string &masterBaseUrl,
                                  const std::string &platinumBaseUrl,
                                  const std::string &goldBaseUrl);

// Base URL + script name, with a "/" between unless the base already ends in one. Nothing
// else is done to the base.
std::string newsRequestUrl(std::string_view baseUrl, NewsRequest request);

// Local date and time at which a request body is built.
struct BoundaryTime
{
    int month = 1, day = 1, year = 2000, hour = 0, minute = 0, second = 0, millisecond = 0;
};

BoundaryTime currentBoundaryTime();

// "--------" followed by mmddyyhhnnsszzz: 23 characters.
std::string makeBoundary(const BoundaryTime &time);

// "multipart/form-data; boundary=" + boundary.
std::string multipartContentType(std::string_view boundary);

using FormField = std::pair<std::string, std::string>;

// The six form fields of a request, in order. newsId is used by the body request only.
std::vector<FormField> newsFormFields(NewsRequest request, std::string_view publisherId,
                                      std::string_view brandCode, std::string_view prodType,
                                      std::string_view newsTarget, std::string_view newsId = {});

// The multipart/form-data body: each field as boundary line, header line, empty line and
// value, every line ended by CR LF, then CR LF and the closing boundary line.
std::string buildMultipartBody(const std::vector<FormField> &fields, std::string_view boundary);

// The answer without leading and trailing bytes 0 to 32.
std::string trimNewsAnswer(std::string_view answer);

// Success: the (trimmed) answer contains "OK" anywhere, case-sensitively.
bool isNewsSuccess(std::string_view answer);

// Records of a successful list answer, in order, without empty and "OK" segments.
std::vector<std::string> readNewsList(std::string_view answer);

// One news item: a record "id^title^published" read into its fields.
struct NewsItem
{
    std::string id; // a decimal integer as sent; compared through newsIdNumber
    std::string title;
    std::string published;

    friend bool operator==(const NewsItem &, const NewsItem &) = default;
};

// The fields of a record; a field the record lacks is empty, fields after the third are
// ignored. The one place a record is split.
NewsItem readNewsItem(std::string_view record);

// readNewsItem of every record, in order.
std::vector<NewsItem> readNewsItems(const std::vector<std::string> &records);

// A successful newest-item answer: present is false when the service has no item.
struct NewestNews
{
    bool present = false;
    std::string newsId;
    std::string title;
};

NewestNews readNewestNews(std::string_view answer);

// The decoded HTML body of a successful body answer.
std::string readNewsBody(std::string_view answer);

// The message for a failed answer (trimmed; empty after a failed exchange), or none.
std::optional<std::string> newsErrorMessage(NewsRequest request, std::string_view answer);

} // namespace lintrel
