// The HTTP side of lintrel-newsd: connections, limits, deadlines and the request log.
#pragma once

#include "news_routes.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace lintrel::newsd {

// The request line and headers together may not exceed this (431 otherwise).
inline constexpr std::size_t kMaxHeaderBytes = 16 * 1024;

struct ServerOptions
{
    std::string address = "127.0.0.1";
    int port = 8642; // 0: any free port
    std::string contentDir = ".";
    std::string newsPath = "/news/"; // the scripts live right under it
    // One line per request and each content warning; stderr when empty.
    std::function<void(const std::string &)> log;
    // How long a kept-alive connection may wait for its next request.
    std::chrono::milliseconds idleTimeout{5000};
    // How long a whole request (headers and body) may take to arrive once it has begun,
    // and an answer to be taken by the client.
    std::chrono::milliseconds requestTimeout{10000};
    // Threads serving connections; 0: one per processor.
    int threads = 0;
};

class NewsServer
{
public:
    // Reads the content folder; throws lintrel::Error when it cannot be watched.
    explicit NewsServer(ServerOptions options);
    ~NewsServer();
    NewsServer(const NewsServer &) = delete;
    NewsServer &operator=(const NewsServer &) = delete;

    // Binds the address and port; returns the port bound, or throws lintrel::Error.
    int bind();
    // Serves until stop(); call after bind(), on any thread.
    bool listen();
    // Makes listen() return at once, closing every connection. Safe from any thread, also
    // before listen() runs.
    void stop();
    bool isRunning() const;

    int port() const { return port_; }

    struct Impl; // the connections' side, kept out of this header

private:
    std::unique_ptr<Impl> impl_;
    int port_ = 0;
};

} // namespace lintrel::newsd
