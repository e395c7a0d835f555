// A cpp-httplib server on 127.0.0.1 with a free port, run on its own thread for one test.
#pragma once

#include <httplib.h>

#include <string>
#include <string_view>
#include <thread>

namespace lintrel::test {

// Register handlers on server() first, then start(); the destructor stops and joins.
class LoopbackHttpServer
{
public:
    LoopbackHttpServer() = default;
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer &) = delete;
    LoopbackHttpServer &operator=(const LoopbackHttpServer &) = delete;

    httplib::Server &server() { return server_; }

    // Binds to a free port and returns once the server takes connections.
    void start();
    void stop();

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by path (which should start with "/").
    std::string url(std::string_view path = "/") const;

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};

} // namespace lintrel::test
