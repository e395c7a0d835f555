// A cpp-httplib server on 127.0.0.1 with a free port, run on its own thread for one test.
#include "support/loopback_http_server.h"

#include <chrono>
#include <stdexcept>

namespace lintrel::test {

LoopbackHttpServer::~LoopbackHttpServer()
{
    stop();
}

void LoopbackHttpServer::start()
{
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0)
        throw std::runtime_error("cannot bind a loopback port");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // This cpp-httplib has no wait_until_ready(); the socket already accepts (it is bound
    // and listening), is_running() tells when the loop serves it.
    for (int i = 0; i < 2000 && !server_.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void LoopbackHttpServer::stop()
{
    if (thread_.joinable()) {
        server_.stop();
        thread_.join();
    }
}

std::string LoopbackHttpServer::url(std::string_view path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

} // namespace lintrel::test
