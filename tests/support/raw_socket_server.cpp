// A loopback TCP server that records exact request bytes and answers with canned bytes.
#include "support/raw_socket_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace lintrel::test {

namespace {

// Longest wait for the next bytes of a request; keeps a broken client from hanging a test.
constexpr int kReadWaitMs = 5000;

std::size_t contentLength(const std::string &head)
{
    std::string lower(head);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    const auto pos = lower.find("\r\ncontent-length:");
    if (pos == std::string::npos)
        return 0;
    return std::stoul(lower.substr(pos + 17));
}

void sendAll(int fd, const std::string &bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += std::size_t(n);
    }
}

} // namespace

RawSocketServer::RawSocketServer(Responder responder) : responder_(std::move(responder))
{
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr *>(&addr), len) != 0 ||
        ::listen(listenFd_, 16) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr *>(&addr), &len) != 0 ||
        ::pipe2(stopPipe_, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot open a loopback socket");
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { run(); });
}

RawSocketServer::~RawSocketServer()
{
    const char stop = 's';
    (void)!::write(stopPipe_[1], &stop, 1);
    thread_.join();
    for (int fd : held_)
        ::close(fd);
    ::close(listenFd_);
    ::close(stopPipe_[0]);
    ::close(stopPipe_[1]);
}

std::string RawSocketServer::url(std::string_view path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<std::string> RawSocketServer::requests() const
{
    std::lock_guard guard(mutex_);
    return requests_;
}

bool RawSocketServer::waitForRequests(std::size_t count, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

std::string RawSocketServer::answer(std::string_view status, std::string_view body,
                                    std::string_view extraHeaders)
{
    std::string out = "HTTP/1.1 " + std::string(status) + "\r\n";
    out += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    out += "Connection: close\r\n";
    out += extraHeaders;
    out += "\r\n";
    out += body;
    return out;
}

std::string RawSocketServer::readRequest(int fd)
{
    std::string data;
    std::size_t wanted = std::string::npos;
    char buffer[4096];
    while (wanted == std::string::npos || data.size() < wanted) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        if (::poll(fds, 2, kReadWaitMs) <= 0 || fds[1].revents != 0)
            break;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        data.append(buffer, std::size_t(n));
        const auto headEnd = data.find("\r\n\r\n");
        if (wanted == std::string::npos && headEnd != std::string::npos)
            wanted = headEnd + 4 + contentLength(data.substr(0, headEnd + 2));
    }
    return data;
}

void RawSocketServer::run()
{
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 || fds[1].revents != 0)
            return;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::string request = readRequest(fd);
        const std::optional<std::string> reply = responder_(request);
        {
            std::lock_guard guard(mutex_);
            requests_.push_back(std::move(request));
        }
        arrived_.notify_all();
        if (!reply) {
            held_.push_back(fd);
            continue;
        }
        sendAll(fd, *reply);
        ::shutdown(fd, SHUT_WR);
        ::close(fd);
    }
}

} // namespace lintrel::test
