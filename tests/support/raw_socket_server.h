// A loopback TCP server that records exact request bytes and answers with canned bytes.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace lintrel::test {

class RawSocketServer
{
public:
    // Given the request's bytes (head and Content-Length body), returns the bytes to send
    // before closing; "" closes at once, std::nullopt holds the connection open silently
    // until the server is destroyed.
    using Responder = std::function<std::optional<std::string>(const std::string &request)>;

    explicit RawSocketServer(Responder responder);
    ~RawSocketServer();
    RawSocketServer(const RawSocketServer &) = delete;
    RawSocketServer &operator=(const RawSocketServer &) = delete;

    int port() const { return port_; }
    std::string url(std::string_view path = "/") const;

    // Every request received so far, in order.
    std::vector<std::string> requests() const;
    // Waits until count requests have arrived (false after the time-out).
    bool waitForRequests(std::size_t count, std::chrono::milliseconds timeout);

    // A complete answer with the given status line, extra header lines and body.
    static std::string answer(std::string_view status, std::string_view body,
                              std::string_view extraHeaders = {});

private:
    void run();
    std::string readRequest(int fd);

    Responder responder_;
    int listenFd_ = -1;
    int stopPipe_[2] = {-1, -1};
    int port_ = 0;
    std::vector<int> held_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

} // namespace lintrel::test
