// Tests of lintrel-newsd against careless and hostile clients and a folder changing under it.
#include "newsd_fixture.h"
#include "raw_client.h"

#include "news/news_protocol.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <vector>

using namespace lintrel;
using lintrel::test::RawClient;
using lintrel::test::statusOf;
using Ms = std::chrono::milliseconds;

namespace {

constexpr std::string_view kBoundary = "XyZ";

// Short deadlines, so that the tests see them pass.
class NewsdTraffic : public lintrel::test::NewsdTest
{
protected:
    void startShort()
    {
        start("/news/", [](newsd::ServerOptions &o) {
            o.idleTimeout = Ms(300);
            o.requestTimeout = Ms(1500);
        });
    }
    static std::string newestBody()
    {
        return buildMultipartBody(newsFormFields(NewsRequest::Newest, "gold-1", "DEMO", "BG", "UA"),
                                  kBoundary);
    }
    // The request line and headers of a one-off request for the newest item.
    static std::string head(const std::string &headers,
                            const std::string &type = "multipart/form-data; boundary=XyZ")
    {
        return "POST /news/getlastnews.php HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
               "Content-Type: " +
               type + "\r\n" + headers + "\r\n";
    }
    static std::string chunked(const std::string &body)
    {
        char size[16];
        std::snprintf(size, sizeof size, "%zx", body.size());
        return std::string(size) + "\r\n" + body + "\r\n0\r\n\r\n";
    }
    std::string ask(const std::string &bytes)
    {
        RawClient client(server_->port());
        client.send(bytes);
        return client.read(Ms(5000));
    }
    static std::string bodyOf(const std::string &response)
    {
        const auto end = response.find("\r\n\r\n");
        return end == std::string::npos ? "" : response.substr(end + 4);
    }
};

} // namespace

TEST_F(NewsdTraffic, BodyLimitsHoldHoweverTheBodyArrives)
{
    startShort();
    const std::string body = newestBody();
    const std::string length = "Content-Length: " + std::to_string(body.size()) + "\r\n";
    struct Row
    {
        const char *name;
        std::string request;
        int status;
    };
    const Row rows[] = {
        {"with a length", head(length) + body, 200},
        {"chunked", head("Transfer-Encoding: chunked\r\n") + chunked(body), 200},
        {"length over the limit", head("Content-Length: 65537\r\n"), 413},
        {"chunk over the limit",
         head("Transfer-Encoding: chunked\r\n") + chunked(std::string(70000, 'a')), 413},
        {"length and chunked", head(length + "Transfer-Encoding: chunked\r\n") + chunked(body),
         400},
        {"another coding", head("Transfer-Encoding: gzip\r\n") + body, 400},
        {"another coding before chunked",
         head("Transfer-Encoding: gzip, chunked\r\n") + chunked(body), 400},
        {"headers over the limit", head("X-Pad: " + std::string(20000, 'a') + "\r\n"), 431},
        {"a form that does not parse", head("Content-Length: 7\r\n") + "garbage", 400},
        {"URL-encoded form over 8 KiB",
         head("Content-Length: 9000\r\n", "application/x-www-form-urlencoded") +
             std::string(9000, 'a'),
         413},
    };
    for (const Row &row : rows) {
        const std::string response = ask(row.request);
        EXPECT_EQ(statusOf(response), row.status) << row.name << "\n" << response;
        if (row.status == 200) {
            EXPECT_EQ(bodyOf(response), "12^Twelfth^2026-12-01\xAFOK") << row.name;
        }
    }
}

TEST_F(NewsdTraffic, HugeChunkedUploadIsCutOffAndTheServerGoesOn)
{
    startShort();
    RawClient client(server_->port());
    ASSERT_TRUE(client.send(head("Transfer-Encoding: chunked\r\n")));
    const std::string chunk = "10000\r\n" + std::string(0x10000, 'x') + "\r\n";
    std::size_t sent = 0;
    const std::size_t total = 150u << 20;
    while (sent < total && !client.readable(Ms(0)) && client.send(chunk))
        sent += 0x10000;
    const std::string response = client.read(Ms(5000));
    EXPECT_EQ(statusOf(response), 413) << response;
    EXPECT_LT(sent, total);

    std::string id, title;
    EXPECT_TRUE(getLastNews(http_, gold(), id, title, false).ok);
    EXPECT_EQ(id, "12");
    EXPECT_TRUE(logShows("POST /news/getlastnews.php 413 ")) << log();
}

TEST_F(NewsdTraffic, SlowClientsHoldUpNoOneAndMeetTheirDeadline)
{
    startShort();
    std::vector<std::unique_ptr<RawClient>> slow;
    for (int i = 0; i < 64; ++i) {
        slow.push_back(std::make_unique<RawClient>(server_->port()));
        ASSERT_TRUE(slow.back()->send("POST /news/getlastnews.php HTTP/1.1\r\nHost: x\r\n"));
    }
    const auto drip = [&slow](int round) {
        for (auto &c : slow)
            if (!c->closed())
                c->send("X-Drip-" + std::to_string(round) + ": x\r\n", Ms(100));
    };
    drip(0);
    const auto before = std::chrono::steady_clock::now();
    const std::string body = newestBody();
    const std::string response =
        ask(head("Content-Length: " + std::to_string(body.size()) + "\r\n") + body);
    const Ms took = std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - before);
    EXPECT_EQ(statusOf(response), 200) << response;
    EXPECT_EQ(bodyOf(response), "12^Twelfth^2026-12-01\xAFOK");
    // Answered while every slow client is still being waited for.
    for (auto &c : slow)
        EXPECT_FALSE(c->readable(Ms(0)));
    std::cout << "answered beside 64 slow clients in " << took.count() << " ms\n";

    // Dripping one header line every 200 ms does not stretch the whole-request deadline.
    const auto allClosed = [&slow] {
        return std::all_of(slow.begin(), slow.end(), [](auto &c) { return c->closed(); });
    };
    for (int round = 1; round < 25 && !allClosed(); ++round) {
        drip(round);
        for (auto &c : slow)
            if (c->readable(Ms(0)))
                c->read(Ms(0));
        std::this_thread::sleep_for(Ms(200));
    }
    for (auto &c : slow)
        EXPECT_TRUE(c->closedWithin(Ms(100)));
}

TEST_F(NewsdTraffic, IdleConnectionsAreClosed)
{
    startShort();
    RawClient silent(server_->port());
    EXPECT_TRUE(silent.closedWithin(Ms(5000)));

    RawClient kept(server_->port());
    ASSERT_TRUE(kept.send("GET /liveupdate/lintrel/mainappupdate.inf HTTP/1.1\r\nHost: x\r\n\r\n"));
    const std::string response = kept.read(Ms(5000));
    EXPECT_EQ(statusOf(response), 200) << response;
    EXPECT_TRUE(kept.closed()) << "the kept-alive connection stayed open";
    EXPECT_NE(response.find("Version=2.1"), std::string::npos);
}

TEST_F(NewsdTraffic, RewriteWithTheSameSizeAndTimeIsSeen)
{
    folder_.item(13, "AAAA", "2026-12-24", "<p>x</p>");
    start();
    std::string id, title;
    ASSERT_TRUE(getLastNews(http_, gold(), id, title, true).ok);
    EXPECT_EQ(title, "AAAA");

    const std::string path = folder_.path() + "/news/13.html";
    struct stat before
    {
    };
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    folder_.item(13, "BBBB", "2026-12-24", "<p>x</p>");
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    struct stat after
    {
    };
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    ASSERT_EQ(after.st_size, before.st_size);
    ASSERT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    ASSERT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);

    ASSERT_TRUE(getLastNews(http_, gold(), id, title, true).ok);
    EXPECT_EQ(title, "BBBB");
}

TEST_F(NewsdTraffic, FilesBeingWrittenKeepTheirLastCompleteVersion)
{
    start();
    std::ofstream rewrite(folder_.path() + "/news/12.html", std::ios::binary | std::ios::trunc);
    rewrite << "Title: Twelfth, new\nPublished: 2026-12-02\n\n<p>Twe" << std::flush;
    std::ofstream fresh(folder_.path() + "/news/20.html", std::ios::binary);
    fresh << "Title: Twen" << std::flush;

    std::string id, title, body;
    ASSERT_TRUE(getLastNews(http_, gold(), id, title, true).ok);
    EXPECT_EQ(id, "12");
    EXPECT_EQ(title, "Twelfth");
    ASSERT_TRUE(getNewsDetails(http_, gold(), "12", body).ok);
    EXPECT_EQ(body, "<p>Twelve &amp; more</p>");

    rewrite << "lve, new</p>";
    rewrite.close();
    fresh << "tieth\n\n<p>20</p>";
    fresh.close();
    ASSERT_TRUE(getNewsDetails(http_, gold(), "12", body).ok);
    EXPECT_EQ(body, "<p>Twelve, new</p>");
    ASSERT_TRUE(getLastNews(http_, gold(), id, title, true).ok);
    EXPECT_EQ(id, "20");
    EXPECT_EQ(title, "Twentieth");

    // A finished file that cannot be used leaves the last good version in place.
    folder_.write("news/7.html", "no header at all");
    ASSERT_TRUE(getNewsDetails(http_, gold(), "7", body).ok);
    EXPECT_EQ(body, "<p>Seven</p>");
    EXPECT_TRUE(logShows("news/7.html: skipped")) << log();
}

TEST_F(NewsdTraffic, TwentyThousandItems)
{
    constexpr int kItems = 20000;
    for (int id = 1; id <= kItems; ++id)
        folder_.item(id, "Item " + std::to_string(id), "2026-01-01", "<p>" + std::to_string(id));
    start();
    std::string id, title, body;
    ASSERT_TRUE(getLastNews(http_, gold(), id, title, true).ok);
    EXPECT_EQ(id, std::to_string(kItems));
    std::vector<std::string> list;
    ASSERT_TRUE(getNewsList(http_, gold(), list).ok);
    ASSERT_EQ(list.size(), static_cast<std::size_t>(kItems));
    EXPECT_EQ(list.back(), "1^Item 1^2026-01-01");
    ASSERT_TRUE(getNewsDetails(http_, gold(), "12345", body).ok);
    EXPECT_EQ(body, "<p>12345");

    folder_.item(kItems + 1, "One more", "2026-01-02", "<p>more");
    ASSERT_TRUE(getLastNews(http_, gold(), id, title, true).ok);
    EXPECT_EQ(title, "One more");
    folder_.remove("news/" + std::to_string(kItems + 1) + ".html");
    folder_.remove("news/12345.html");
    ASSERT_TRUE(getLastNews(http_, gold(), id, title, true).ok);
    EXPECT_EQ(id, std::to_string(kItems));
    EXPECT_FALSE(getNewsDetails(http_, gold(), "12345", body).ok);
}
