// The HTTP side of lintrel-newsd: routes, form reading, limits and the request log.
#pragma once

#include "content_store.h"

#include <functional>
#include <memory>
#include <string>

namespace httplib {
class Server;
}

namespace lintrel::newsd {

// Request bodies above this size are refused with 413.
inline constexpr std::size_t kMaxRequestBody = 64 * 1024;

struct ServerOptions
{
    std::string address = "127.0.0.1";
    int port = 8642; // 0: any free port
    std::string contentDir = ".";
    std::string newsPath = "/news/"; // the scripts live right under it
    // One line per request and each content warning; stderr when empty.
    std::function<void(const std::string &)> log;
};

// "/news/" from "news", "/news" or "/news/"; "/" from "" or "/".
std::string normalizeNewsPath(std::string_view path);

// POST <newsPath>getlastnews.php and <newsPath>getnewsdetails.php (multipart/form-data or
// URL-encoded fields), GET /liveupdate/lintrel/mainappupdate.inf.
class NewsServer
{
public:
    explicit NewsServer(ServerOptions options);
    ~NewsServer();
    NewsServer(const NewsServer &) = delete;
    NewsServer &operator=(const NewsServer &) = delete;

    // Binds the address and port; returns the port bound, or throws lintrel::Error.
    int bind();
    // Serves until stop(); call after bind(), on any thread.
    bool listen();
    // Makes listen() return. Safe from any thread.
    void stop();
    bool isRunning() const;

    int port() const { return port_; }

private:
    void installRoutes();
    void log(const std::string &line) const;

    ServerOptions options_;
    std::unique_ptr<httplib::Server> http_;
    ContentStore store_;
    int port_ = 0;
};

} // namespace lintrel::newsd
