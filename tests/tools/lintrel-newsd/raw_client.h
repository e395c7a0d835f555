// A raw loopback HTTP client for tests that send what a careless or hostile client would.
#pragma once

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>

namespace lintrel::test {

class RawClient
{
public:
    using Ms = std::chrono::milliseconds;

    explicit RawClient(int port)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<std::uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd_, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~RawClient()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    RawClient(const RawClient &) = delete;
    RawClient &operator=(const RawClient &) = delete;

    bool connected() const { return fd_ >= 0; }

    // Sends all bytes, waiting at most limit for room; false when the server closed or reset.
    bool send(std::string_view bytes, Ms limit = Ms(5000))
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!bytes.empty() && std::chrono::steady_clock::now() < end) {
            pollfd p{fd_, POLLOUT, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return bytes.empty();
    }

    // Whether something (or the end) can be read within limit.
    bool readable(Ms limit) const
    {
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, static_cast<int>(limit.count())) > 0;
    }

    // Reads what arrives within limit, up to the server closing; closed() tells which.
    std::string read(Ms limit)
    {
        std::string out;
        const auto end = std::chrono::steady_clock::now() + limit;
        char buf[16384];
        while (!closed_) {
            const auto left =
                std::chrono::duration_cast<Ms>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !readable(left))
                break;
            const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n <= 0)
                closed_ = true;
            else
                out.append(buf, static_cast<std::size_t>(n));
        }
        return out;
    }
    // Reads until the server closes the connection or limit passes; true when it closed.
    bool closedWithin(Ms limit)
    {
        read(limit);
        return closed_;
    }
    bool closed() const { return closed_; }

private:
    int fd_ = -1;
    bool closed_ = false;
};

// The status code of the first response in text, or 0.
inline int statusOf(const std::string &text)
{
    return text.rfind("HTTP/1.", 0) == 0 && text.size() >= 12 ? std::stoi(text.substr(9, 3)) : 0;
}

} // namespace lintrel::test
