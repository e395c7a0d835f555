// Tests of the HTTP client against loopback servers: settings on the wire, redirects,
// cookies, failures, size caps, disconnect and concurrent use.
#include "net/http_client.h"

#include "support/loopback_http_server.h"
#include "support/raw_socket_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

using lintrel::HttpClient;
using lintrel::HttpResult;
using lintrel::test::LoopbackHttpServer;
using lintrel::test::RawSocketServer;

namespace {

constexpr std::size_t kCap = 1024;

std::string headOf(const std::string &request)
{
    return request.substr(0, request.find("\r\n\r\n") + 2);
}

RawSocketServer::Responder answerWith(std::string body)
{
    return [body](const std::string &) { return RawSocketServer::answer("200 OK", body); };
}

} // namespace

TEST(HttpClient, PostGoesOutAsHttp10WithTheClientHeadersAndTheBodyUnchanged)
{
    RawSocketServer raw(answerWith("fine"));
    HttpClient client;
    EXPECT_EQ(client.contentType(), "text/html");

    const std::string body("a\r\nb\0c\xAF--x", 10);
    const HttpResult result = client.post(raw.url("/news/getlastnews.php"),
                                          "multipart/form-data; boundary=B", body, kCap);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(result.body, "fine");
    EXPECT_EQ(client.contentType(), "multipart/form-data; boundary=B");

    const std::string request = raw.requests().at(0);
    const std::string head = headOf(request);
    EXPECT_EQ(head.rfind("POST /news/getlastnews.php HTTP/1.0\r\n", 0), 0u) << head;
    for (const char *line :
         {"\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 5.5; Windows NT 4.0)\r\n",
          "\r\nAccept: text/html, */*\r\n", "\r\nContent-Type: multipart/form-data; boundary=B\r\n",
          "\r\nContent-Length: 10\r\n"})
        EXPECT_NE(head.find(line), std::string::npos) << line << " missing in\n" << head;
    EXPECT_EQ(head.find("Expect:"), std::string::npos);
    EXPECT_EQ(head.find("Transfer-Encoding"), std::string::npos);
    EXPECT_EQ(request.substr(head.size() + 2), body);
}

TEST(HttpClient, GetUsesHttp11AndSendsNoContentTypeEvenAfterAPost)
{
    RawSocketServer raw(answerWith("OK"));
    HttpClient client;
    ASSERT_TRUE(client.post(raw.url("/p"), "multipart/form-data; boundary=B", "x", kCap).ok);
    const HttpResult result = client.get(raw.url("/file.inf"), kCap);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.body, "OK");

    const std::string head = headOf(raw.requests().at(1));
    EXPECT_EQ(head.rfind("GET /file.inf HTTP/1.1\r\n", 0), 0u) << head;
    EXPECT_NE(head.find("\r\nAccept: text/html, */*\r\n"), std::string::npos);
    EXPECT_NE(head.find("\r\nUser-Agent: Mozilla/4.0"), std::string::npos);
    EXPECT_EQ(head.find("Content-Type"), std::string::npos) << head;
    EXPECT_EQ(client.contentType(), "multipart/form-data; boundary=B");
}

TEST(HttpClient, GetsReuseTheirConnectionButEachPostOpensAFreshOne)
{
    std::mutex mutex;
    std::vector<int> ports;
    LoopbackHttpServer http;
    auto record = [&](const httplib::Request &req, httplib::Response &res) {
        std::lock_guard guard(mutex);
        ports.push_back(req.remote_port);
        res.set_content("OK", "text/plain");
    };
    http.server().Get("/", record);
    http.server().Post("/", record);
    http.start();

    HttpClient client;
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(client.get(http.url(), kCap).ok);
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(client.post(http.url(), "text/plain", "x", kCap).ok);
    ASSERT_TRUE(client.get(http.url(), kCap).ok);
    ASSERT_EQ(ports.size(), 5u);
    EXPECT_EQ(ports[1], ports[0]);
    EXPECT_NE(ports[2], ports[1]);
    EXPECT_NE(ports[3], ports[2]);
    EXPECT_NE(ports[4], ports[1]); // the POST closed the kept connection
}

TEST(HttpClient, ProxySettingsOfTheEnvironmentAreIgnored)
{
    RawSocketServer raw(answerWith("direct"));
    const char *names[] = {"http_proxy", "HTTP_PROXY", "ALL_PROXY", "all_proxy"};
    for (const char *name : names)
        setenv(name, "http://127.0.0.1:1", 1);
    HttpClient client;
    const HttpResult result = client.get(raw.url(), kCap);
    for (const char *name : names)
        unsetenv(name);
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.body, "direct");
}

TEST(HttpClient, FollowsFifteenRedirectsButNotSixteen)
{
    LoopbackHttpServer http;
    http.server().Get(R"(/hop/(\d+))", [](const httplib::Request &req, httplib::Response &res) {
        const int left = std::stoi(req.matches[1]);
        if (left == 0) {
            res.set_content("arrived", "text/plain");
        } else {
            res.set_content("moving on", "text/plain");
            res.set_redirect("/hop/" + std::to_string(left - 1));
        }
    });
    http.start();
    HttpClient client;

    const HttpResult fifteen = client.get(http.url("/hop/15"), kCap);
    EXPECT_TRUE(fifteen.ok) << fifteen.error;
    EXPECT_EQ(fifteen.body, "arrived"); // the redirect answers' own bodies are not kept

    const HttpResult sixteen = client.get(http.url("/hop/16"), kCap);
    EXPECT_FALSE(sixteen.ok);
    EXPECT_TRUE(sixteen.body.empty());
}

TEST(HttpClient, CookieSetByOneAnswerIsSentOnTheNextRequest)
{
    LoopbackHttpServer http;
    http.server().Get("/set", [](const httplib::Request &, httplib::Response &res) {
        res.set_header("Set-Cookie", "session=abc123; Path=/");
        res.set_content("set", "text/plain");
    });
    http.server().Post("/echo", [](const httplib::Request &req, httplib::Response &res) {
        res.set_content(req.get_header_value("Cookie"), "text/plain");
    });
    http.start();

    HttpClient client;
    EXPECT_EQ(client.post(http.url("/echo"), "text/plain", "", kCap).body, "");
    ASSERT_TRUE(client.get(http.url("/set"), kCap).ok);
    EXPECT_EQ(client.post(http.url("/echo"), "text/plain", "", kCap).body, "session=abc123");

    HttpClient other; // cookies belong to one client
    EXPECT_EQ(other.post(http.url("/echo"), "text/plain", "", kCap).body, "");
}

TEST(HttpClient, FailedExchangesReportFailureAndFeedTheSinkNothing)
{
    LoopbackHttpServer http;
    auto &s = http.server();
    s.Get("/404", [](const httplib::Request &, httplib::Response &res) {
        res.status = 404;
        res.set_content("not here", "text/plain");
    });
    s.Get("/500", [](const httplib::Request &, httplib::Response &res) {
        res.status = 500;
        res.set_content("broken", "text/plain");
    });
    s.Get("/302-nowhere", [](const httplib::Request &, httplib::Response &res) {
        res.status = 302;
        res.set_content("moved?", "text/plain");
    });
    s.Get("/big", [](const httplib::Request &, httplib::Response &res) {
        res.set_content(std::string(kCap + 1, 'x'), "text/plain");
    });
    s.Get("/big-chunked", [](const httplib::Request &, httplib::Response &res) {
        res.set_chunked_content_provider("text/plain", [](size_t, httplib::DataSink &sink) {
            const std::string piece(100, 'y');
            for (std::size_t sent = 0; sent <= kCap; sent += piece.size())
                sink.write(piece.data(), piece.size());
            sink.done();
            return true;
        });
    });
    http.start();
    RawSocketServer dropping([](const std::string &) { return std::string(); });
    RawSocketServer breaking([](const std::string &) {
        return std::string("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly part");
    });

    struct Case
    {
        const char *name;
        std::string url;
    };
    const Case cases[] = {
        {"404", http.url("/404")},
        {"500", http.url("/500")},
        {"final 3xx", http.url("/302-nowhere")},
        {"over the cap", http.url("/big")},
        {"chunked over the cap", http.url("/big-chunked")},
        {"dropped connection", dropping.url("/x")},
        {"connection broken in the body", breaking.url("/x")},
        {"refused connection", "http://127.0.0.1:1/"},
        {"not http", "ftp://127.0.0.1/x"},
        {"empty address", ""},
        {"no scheme", "getlastnews.php"},
    };
    HttpClient client;
    for (const Case &c : cases) {
        std::string received;
        const HttpResult result = client.get(c.url, kCap, [&](std::string_view piece) {
            received.append(piece);
            return true;
        });
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_FALSE(result.error.empty()) << c.name;
        const std::string_view name(c.name);
        if (name.find("cap") == name.npos && name.find("body") == name.npos) {
            EXPECT_EQ(received, "") << c.name;
        }
    }
}

TEST(HttpClient, BodyOfExactlyTheCapIsAccepted)
{
    RawSocketServer raw(answerWith(std::string(kCap, 'z')));
    HttpClient client;
    const HttpResult result = client.get(raw.url(), kCap);
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.body.size(), kCap);
}

TEST(HttpClient, SinkRefusingDataFailsTheExchange)
{
    RawSocketServer raw(answerWith("data"));
    HttpClient client;
    const HttpResult result = client.get(raw.url(), kCap, [](std::string_view) { return false; });
    EXPECT_FALSE(result.ok);
}

TEST(HttpClient, DisconnectAbortsEveryTransferInFlightAndLaterRequestsWork)
{
    RawSocketServer silent([](const std::string &) { return std::nullopt; });
    HttpClient client;
    HttpResult held[2];
    std::thread getter([&] { held[0] = client.get(silent.url("/wait"), kCap); });
    std::thread poster(
        [&] { held[1] = client.post(silent.url("/wait"), "text/plain", "x", kCap); });
    ASSERT_TRUE(silent.waitForRequests(2, std::chrono::seconds(10)));

    client.disconnect();
    getter.join();
    poster.join();
    for (const HttpResult &r : held) {
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("disconnect"), std::string::npos) << r.error;
    }

    RawSocketServer answering(answerWith("again"));
    const HttpResult later = client.get(answering.url(), kCap);
    EXPECT_TRUE(later.ok) << later.error;
    EXPECT_EQ(later.body, "again");
}

TEST(HttpClient, ConcurrentRequestsFromTwoThreadsShareCookies)
{
    std::mutex mutex;
    std::condition_variable cv;
    int inside = 0;
    std::atomic<bool> overlapped{false};
    LoopbackHttpServer http;
    http.server().Get("/set", [](const httplib::Request &, httplib::Response &res) {
        res.set_header("Set-Cookie", "who=both; Path=/");
    });
    // Each request waits (briefly) for the other, so the two are seen in flight together.
    http.server().Get("/meet", [&](const httplib::Request &req, httplib::Response &res) {
        std::unique_lock lock(mutex);
        ++inside;
        cv.notify_all();
        if (cv.wait_for(lock, std::chrono::seconds(5), [&] { return inside >= 2; }))
            overlapped = true;
        res.set_content(req.get_header_value("Cookie"), "text/plain");
    });
    http.start();

    HttpClient client;
    ASSERT_TRUE(client.get(http.url("/set"), kCap).ok);
    HttpResult results[2];
    std::thread a([&] { results[0] = client.get(http.url("/meet"), kCap); });
    std::thread b([&] { results[1] = client.get(http.url("/meet"), kCap); });
    a.join();
    b.join();
    EXPECT_TRUE(overlapped);
    for (const HttpResult &r : results) {
        EXPECT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.body, "who=both");
    }
}
