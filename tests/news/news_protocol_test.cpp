// Tests of the news protocol core: identities, URLs, the request body, reading answers.
#include "news/news_protocol.h"

#include <gtest/gtest.h>

using namespace lintrel;

namespace {

const std::string AF(1, '\xAF');

} // namespace

TEST(NewsProtocol, ProductTypeAndBaseUrlFollowTheBrandLevel)
{
    EXPECT_EQ(productTypeForLevel("Master"), "BM");
    EXPECT_EQ(productTypeForLevel("Platinum"), "BP");
    EXPECT_EQ(productTypeForLevel("Gold"), "BG");
    for (const char *level : {"Free", "master", "GOLD", "", "Gold "})
        EXPECT_EQ(productTypeForLevel(level), std::nullopt) << level;

    const std::string m = "http://m/", p = "http://p", g = "http://g";
    EXPECT_EQ(baseUrlForProductType("BM", m, p, g), m);
    EXPECT_EQ(baseUrlForProductType("BP", m, p, g), p);
    EXPECT_EQ(baseUrlForProductType("BG", m, p, g), g);
    for (const char *code : {"", "bm", "BF", "BMX"})
        EXPECT_EQ(baseUrlForProductType(code, m, p, g), "") << code;
}

TEST(NewsProtocol, RequestUrlAddsASlashOnlyWhenMissing)
{
    struct Row
    {
        std::string base;
        NewsRequest request;
        std::string url;
    };
    const Row rows[] = {
        {"http://h/news/", NewsRequest::Newest, "http://h/news/getlastnews.php"},
        {"http://h/news", NewsRequest::List, "http://h/news/getlastnews.php"},
        {"http://h/news", NewsRequest::Body, "http://h/news/getnewsdetails.php"},
        {" http://h/a b", NewsRequest::Body, " http://h/a b/getnewsdetails.php"},
        {"", NewsRequest::List, "/getlastnews.php"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(newsRequestUrl(row.base, row.request), row.url) << row.base;
}

TEST(NewsProtocol, BoundaryIsEightHyphensAndTheLocalTimeIn23Characters)
{
    const std::string late = makeBoundary({12, 31, 2026, 23, 59, 58, 7});
    EXPECT_EQ(late, "--------123126235958007");
    EXPECT_EQ(late.size(), 23u);
    EXPECT_EQ(makeBoundary({1, 2, 2003, 4, 5, 6, 890}), "--------010203040506890");
    EXPECT_EQ(makeBoundary({7, 4, 2100, 0, 0, 0, 0}), "--------070400000000000");
    EXPECT_EQ(makeBoundary(currentBoundaryTime()).size(), 23u);
    EXPECT_EQ(multipartContentType("--------070400000000000"),
              "multipart/form-data; boundary=--------070400000000000");
}

TEST(NewsProtocol, BodyOfEachRequestByteForByte)
{
    const std::string b = "--------123126235958007";
    auto part = [&b](const std::string &name, const std::string &value) {
        return "--" + b + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" +
               value + "\r\n";
    };
    struct Row
    {
        NewsRequest request;
        std::string fourth;
    };
    const Row rows[] = {
        {NewsRequest::List, part("conttype", "all")},
        {NewsRequest::Newest, part("conttype", "lastcode")},
        {NewsRequest::Body, part("newsid", "42")},
    };
    for (const Row &row : rows) {
        const std::string expected =
            part("memusername", "pub 1") + part("prodcode", "BR\xE9") + part("prodtype", "BP") +
            row.fourth + part("newstarget", "UA") + part("something", "") + "\r\n--" + b + "--\r\n";
        const auto fields = newsFormFields(row.request, "pub 1", "BR\xE9", "BP", "UA", "42");
        EXPECT_EQ(buildMultipartBody(fields, b), expected) << row.fourth;
    }
    // The closing part: header line, then three empty lines, then the closing boundary.
    const auto fields = newsFormFields(NewsRequest::Newest, "p", "c", "BM", "UA");
    EXPECT_TRUE(buildMultipartBody(fields, b).ends_with("name=\"something\"\r\n\r\n\r\n\r\n--" + b +
                                                        "--\r\n"));
}

TEST(NewsProtocol, TrimmingAndTheSuccessTest)
{
    EXPECT_EQ(trimNewsAnswer(std::string("\0\t\r\n OK \x01\x20", 9)), "OK");
    EXPECT_EQ(trimNewsAnswer("\xA0OK\xAF"), "\xA0OK\xAF"); // bytes above 127 are kept
    EXPECT_EQ(trimNewsAnswer("  \r\n"), "");

    for (const char *yes : {"OK", "1^a^b\xAFOK", "INVALIDUSER OK", "xOKx"})
        EXPECT_TRUE(isNewsSuccess(yes)) << yes;
    for (const char *no : {"ok", "Ok", "O K", "", "INVALIDUSER"})
        EXPECT_FALSE(isNewsSuccess(no)) << no;
}

TEST(NewsProtocol, ListKeepsRecordsInOrderAndSkipsOkAndEmptySegments)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(readNewsList("OK"), V{});
    EXPECT_EQ(readNewsList("3^c^d3" + AF + "OK"), V{"3^c^d3"});
    EXPECT_EQ(readNewsList("OK" + AF + "2^b^d2" + AF + AF + "1^a^d1^x"), (V{"2^b^d2", "1^a^d1^x"}));
    EXPECT_EQ(readNewsList("2^b^d2" + AF + "OK" + AF + "1^a^d1" + AF), (V{"2^b^d2", "1^a^d1"}));
    EXPECT_EQ(readNewsList("OK " + AF + "1^a"), (V{"OK ", "1^a"}));
}

TEST(NewsProtocol, ARecordReadsIntoItsThreeFields)
{
    struct Row
    {
        std::string record;
        NewsItem item;
    };
    const Row rows[] = {
        {"7^Seventh item^2024-07-01", {"7", "Seventh item", "2024-07-01"}},
        {"3^Third^2024-03-01^extra", {"3", "Third", "2024-03-01"}}, // later fields ignored
        {"1^First item", {"1", "First item", ""}},                  // cut short: empty
        {"5", {"5", "", ""}},
        {"^T^", {"", "T", ""}},
        {"9^^d", {"9", "", "d"}},
        {"", {"", "", ""}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(readNewsItem(row.record), row.item) << row.record;
    EXPECT_EQ(readNewsItems({"2^b^d2", "1^a"}),
              (std::vector<NewsItem>{{"2", "b", "d2"}, {"1", "a", ""}}));
}

TEST(NewsProtocol, NewestItemWithTheMarkerAfterOrBeforeTheRecord)
{
    struct Row
    {
        std::string answer;
        bool present;
        std::string id, title;
    };
    const Row rows[] = {
        {"OK", false, "", ""},
        {"17^Spring sale^2026-03-01" + AF + "OK", true, "17", "Spring sale"},
        {"OK" + AF + "17^Spring sale", true, "17", "Spring sale"}, // marker first
        {AF + "OK" + "9^T", true, "9", "T"},
        {"5" + AF + "OK", true, "5", ""}, // missing title reads as empty
        {"^T" + AF + "OK", true, "", "T"},
        {AF + "OK", false, "", ""},
        {"OK" + AF, false, "", ""},
        {"1^TOOK" + AF + "OK", true, "1", "TOOK"}, // "OK" inside the record stays
    };
    for (const Row &row : rows) {
        const NewestNews n = readNewestNews(row.answer);
        EXPECT_EQ(n.present, row.present) << row.answer;
        EXPECT_EQ(n.newsId, row.id) << row.answer;
        EXPECT_EQ(n.title, row.title) << row.answer;
    }
}

TEST(NewsProtocol, BodyLosesTheMarkerAndIsDecoded)
{
    EXPECT_EQ(readNewsBody("$3Cp$3EHi" + AF + "OK"), "<p>Hi");
    EXPECT_EQ(readNewsBody("OK" + AF + "$3Cp$3EHi"), "<p>Hi");
    EXPECT_EQ(readNewsBody("a" + AF + "OKb" + AF + "OK"), "ab");
    EXPECT_EQ(readNewsBody("$AFOK" + AF + "OK"), "\xAFOK"); // an escaped AF survives
    EXPECT_EQ(readNewsBody("Bad $4G escape, good $41" + AF + "OK"), "Bad $4G escape, good A");
}

TEST(NewsProtocol, ErrorMessagesPerRequest)
{
    using R = NewsRequest;
    const std::string none = "(none)";
    struct Row
    {
        std::string answer;
        std::string list, newest, body;
    };
    const Row rows[] = {
        {"", std::string(kNewsTroubleAccessing), std::string(kNewsTroubleAccessing),
         std::string(kNewsTroubleAccessing)},
        {"CONNECTIONFAIL", std::string(kNewsTroubleSettings), std::string(kNewsTroubleSettings),
         std::string(kNewsTroubleSettings)},
        {"INVALIDUSER", std::string(kNewsTroublePublisher), std::string(kNewsTroublePublisher),
         std::string(kNewsTroublePublisher)},
        {"INVALIDPRODUCT", std::string(kNewsTroubleProduct), std::string(kNewsTroubleProduct),
         std::string(kNewsTroubleProduct)},
        {"INVALIDNEWS", none, none, std::string(kNewsTroubleNews)},
        {"invaliduser", none, none, none},
        {"Internal error", none, none, none},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(newsErrorMessage(R::List, row.answer).value_or(none), row.list) << row.answer;
        EXPECT_EQ(newsErrorMessage(R::Newest, row.answer).value_or(none), row.newest);
        EXPECT_EQ(newsErrorMessage(R::Body, row.answer).value_or(none), row.body);
    }
    EXPECT_EQ(kNewsTroubleAccessing,
              "There is a trouble accessing the news site. Contact your provider.");
    EXPECT_EQ(kNewsTroubleSettings, "There is a trouble in the settings file on the news site.");
    EXPECT_EQ(kNewsTroublePublisher,
              "There is a trouble with the Publisher Id. Contact your provider.");
    EXPECT_EQ(kNewsTroubleProduct,
              "There is a trouble with the product validation. Contact your provider.");
    EXPECT_EQ(kNewsTroubleNews, "There is a trouble with this news. Contact your provider.");
}
