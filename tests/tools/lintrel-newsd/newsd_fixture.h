// The news server in process on a free loopback port, serving a temporary folder.
#pragma once

#include "content_folder.h"
#include "news_server.h"

#include "net/http_client.h"
#include "news/news_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace lintrel::test {

// The server on a free loopback port, serving a folder, with its log kept for the test.
class NewsdTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder_.write("publishers.ini", "[Gold]\nPublisherIds=gold-1\nBrandCodes=DEMO\n"
                                        "[Master]\nPublisherIds=master-1\nBrandCodes=MCODE\n");
        folder_.item(3, "Third", "2026-03-01", "<h1>Three</h1>");
        folder_.item(12, "Twelfth", "2026-12-01", "<p>Twelve &amp; more</p>");
        folder_.item(7, "Seventh", "2026-07-01", "<p>Seven</p>");
        folder_.write("mainappupdate.inf", "[APPLICATION]\r\nVersion=2.1\r\nName=Lintrel\r\n");
    }
    void TearDown() override
    {
        if (server_) {
            server_->stop();
            thread_.join();
        }
    }
    void start(std::string newsPath = "/news/",
               const std::function<void(newsd::ServerOptions &)> &tweak = {})
    {
        newsd::ServerOptions options;
        options.port = 0;
        options.contentDir = folder_.path();
        options.newsPath = std::move(newsPath);
        options.log = [this](const std::string &line) {
            std::lock_guard guard(logMutex_);
            log_ += line + "\n";
        };
        if (tweak)
            tweak(options);
        server_ = std::make_unique<newsd::NewsServer>(options);
        server_->bind();
        thread_ = std::thread([this] { server_->listen(); });
        for (int i = 0; i < 2000 && !server_->isRunning(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::string base(const std::string &path = "/news/") const
    {
        return "http://127.0.0.1:" + std::to_string(server_->port()) + path;
    }
    NewsIdentity gold(std::string publisher = "gold-1", std::string code = "DEMO") const
    {
        NewsIdentity who;
        who.publisherId = std::move(publisher);
        who.brandCode = std::move(code);
        who.prodType = "BG";
        who.goldBaseUrl = base("/news");
        return who;
    }
    // The server logs a request after its answer has gone out, so give it a moment.
    bool logShows(const std::string &text)
    {
        for (int i = 0; i < 2000; ++i) {
            if (log().find(text) != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    std::string log()
    {
        std::lock_guard guard(logMutex_);
        return log_;
    }

    ContentFolder folder_;
    HttpClient http_;
    std::unique_ptr<newsd::NewsServer> server_;
    std::thread thread_;
    std::mutex logMutex_;
    std::string log_;
};

} // namespace lintrel::test
