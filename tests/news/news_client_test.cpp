// Tests of the news requests against loopback servers: bytes on the wire and outcomes.
#include "news/news_client.h"

#include "net/http_client.h"

#include "support/loopback_http_server.h"
#include "support/raw_socket_server.h"

#include <gtest/gtest.h>

#include <mutex>
#include <regex>

using namespace lintrel;
using lintrel::test::LoopbackHttpServer;
using lintrel::test::RawSocketServer;

namespace {

const std::string AF(1, '\xAF');

NewsIdentity identityFor(const std::string &base, const std::string &prodType = "BP")
{
    NewsIdentity who;
    who.publisherId = "pub-7";
    who.brandCode = "ACME";
    who.prodType = prodType;
    who.masterBaseUrl = "http://127.0.0.1:1/master";
    who.platinumBaseUrl = base;
    who.goldBaseUrl = "http://127.0.0.1:1/gold";
    return who;
}

// A news service whose next answer the test sets.
class FakeNewsService
{
public:
    FakeNewsService()
    {
        http_.server().Post(".*", [this](const httplib::Request &req, httplib::Response &res) {
            std::lock_guard guard(mutex_);
            paths_.push_back(req.path);
            res.status = status_;
            res.set_content(answer_, "text/html");
        });
        http_.start();
    }
    void answer(std::string body, int status = 200)
    {
        std::lock_guard guard(mutex_);
        answer_ = std::move(body);
        status_ = status;
    }
    std::vector<std::string> paths()
    {
        std::lock_guard guard(mutex_);
        return paths_;
    }
    std::string base() const { return http_.url("/news"); }

private:
    LoopbackHttpServer http_;
    std::mutex mutex_;
    std::string answer_ = "OK";
    int status_ = 200;
    std::vector<std::string> paths_;
};

} // namespace

TEST(NewsClient, EachRequestSendsItsFormToItsScript)
{
    RawSocketServer raw(
        [](const std::string &) { return RawSocketServer::answer("200 OK", "OK"); });
    HttpClient http;
    std::vector<std::string> list;
    std::string id, title, body;
    struct Row
    {
        std::string base;
        NewsRequest request;
        std::string path;
    };
    const Row rows[] = {
        {raw.url("/n"), NewsRequest::List, "/n/getlastnews.php"},
        {raw.url("/n/"), NewsRequest::Newest, "/n/getlastnews.php"},
        {raw.url("/n/"), NewsRequest::Body, "/n/getnewsdetails.php"},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row &row = rows[i];
        const NewsIdentity who = identityFor(row.base);
        if (row.request == NewsRequest::List)
            EXPECT_TRUE(getNewsList(http, who, list).ok);
        else if (row.request == NewsRequest::Newest)
            EXPECT_TRUE(getLastNews(http, who, id, title, false).ok);
        else
            EXPECT_TRUE(getNewsDetails(http, who, "31", body).ok);

        const std::string request = raw.requests().at(i);
        const std::size_t headEnd = request.find("\r\n\r\n");
        const std::string head = request.substr(0, headEnd + 2);
        EXPECT_EQ(head.rfind("POST " + row.path + " HTTP/1.0\r\n", 0), 0u) << head;
        std::smatch m;
        ASSERT_TRUE(std::regex_search(
            head, m,
            std::regex("\r\nContent-Type: multipart/form-data; boundary=(-{8}[0-9]{15})\r\n")))
            << head;
        const std::string boundary = m[1];
        EXPECT_EQ(http.contentType(), "multipart/form-data; boundary=" + boundary);
        const auto fields = newsFormFields(row.request, "pub-7", "ACME", "BP", "UA", "31");
        EXPECT_EQ(request.substr(headEnd + 4), buildMultipartBody(fields, boundary));
    }
}

TEST(NewsClient, ListAppendsRecordsAndReportsErrors)
{
    FakeNewsService service;
    HttpClient http;
    const NewsIdentity who = identityFor(service.base());
    std::vector<std::string> list{"kept"};

    service.answer("\r\n2^b^d2" + AF + "OK" + AF + "1^a^d1 \r\n");
    NewsOutcome out = getNewsList(http, who, list);
    EXPECT_TRUE(out.ok);
    EXPECT_FALSE(out.message);
    EXPECT_EQ(list, (std::vector<std::string>{"kept", "2^b^d2", "1^a^d1"}));

    service.answer("OK");
    EXPECT_TRUE(getNewsList(http, who, list).ok);
    EXPECT_EQ(list.size(), 3u);

    service.answer(" INVALIDUSER\r\n");
    out = getNewsList(http, who, list);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, std::string(kNewsTroublePublisher));

    service.answer("INVALIDNEWS");
    out = getNewsList(http, who, list);
    EXPECT_FALSE(out.ok);
    EXPECT_FALSE(out.message);
    EXPECT_EQ(list.size(), 3u);
    EXPECT_EQ(service.paths().back(), "/news/getlastnews.php");
}

TEST(NewsClient, NewestItemOutcomesAndTheSilentRule)
{
    FakeNewsService service;
    HttpClient http;
    const NewsIdentity who = identityFor(service.base());
    std::string id = "stale", title = "old title";

    service.answer("OK" + AF + "12^Fresh^2026");
    EXPECT_TRUE(getLastNews(http, who, id, title, true).ok);
    EXPECT_EQ(id, "12");
    EXPECT_EQ(title, "Fresh");

    service.answer("OK"); // no item: id emptied, title left alone
    EXPECT_TRUE(getLastNews(http, who, id, title, false).ok);
    EXPECT_EQ(id, "");
    EXPECT_EQ(title, "Fresh");

    struct Row
    {
        std::string answer;
        int status;
        std::optional<std::string> loud;
    };
    const Row rows[] = {
        {"CONNECTIONFAIL", 200, std::string(kNewsTroubleSettings)},
        {"INVALIDPRODUCT", 200, std::string(kNewsTroubleProduct)},
        {"INVALIDNEWS", 200, std::nullopt},
        {"ok", 200, std::nullopt},
        {"", 200, std::string(kNewsTroubleAccessing)},
        {"OK", 404, std::string(kNewsTroubleAccessing)},
        {"OK", 500, std::string(kNewsTroubleAccessing)},
    };
    for (const Row &row : rows) {
        service.answer(row.answer, row.status);
        for (bool silent : {false, true}) {
            id = "stale";
            const NewsOutcome out = getLastNews(http, who, id, title, silent);
            EXPECT_FALSE(out.ok) << row.answer << row.status;
            EXPECT_EQ(out.message, silent ? std::nullopt : row.loud) << row.answer << row.status;
            EXPECT_EQ(id, "");
        }
    }
}

TEST(NewsClient, BodyIsDecodedAndItsErrorsShown)
{
    FakeNewsService service;
    HttpClient http;
    const NewsIdentity who = identityFor(service.base());
    std::string body = "previous";

    service.answer("$3Ch1$3EHi$21$3C/h1$3E" + AF + "OK");
    EXPECT_TRUE(getNewsDetails(http, who, "5", body).ok);
    EXPECT_EQ(body, "<h1>Hi!</h1>");
    EXPECT_EQ(service.paths().back(), "/news/getnewsdetails.php");

    service.answer("INVALIDNEWS");
    const NewsOutcome out = getNewsDetails(http, who, "5", body);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, std::string(kNewsTroubleNews));
    EXPECT_EQ(body, "");
}

TEST(NewsClient, FailedExchangesShowTheAccessMessage)
{
    FakeNewsService service;
    RawSocketServer dropping([](const std::string &) { return std::string(); });
    HttpClient http;
    service.answer(std::string(kNewsMaxAnswer + 1, 'K') + "OK");
    struct Row
    {
        const char *name;
        NewsIdentity who;
    };
    const Row rows[] = {
        {"oversized answer", identityFor(service.base())},
        {"dropped connection", identityFor(dropping.url("/news"))},
        {"empty base URL", identityFor("")},
        {"level without news", identityFor(service.base(), "")},
        {"refused connection", identityFor("http://127.0.0.1:1/news")},
    };
    for (const Row &row : rows) {
        std::vector<std::string> list;
        const NewsOutcome out = getNewsList(http, row.who, list);
        EXPECT_FALSE(out.ok) << row.name;
        EXPECT_EQ(out.message, std::string(kNewsTroubleAccessing)) << row.name;
        EXPECT_TRUE(list.empty()) << row.name;
    }
    EXPECT_EQ(service.paths().size(), 1u); // neither empty base URL reached the server
}
