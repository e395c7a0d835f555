// The main window's HTTP requests: one client, each request on a worker, all ended at close.
#include "shell/window_requests.h"

#include "net/http_client.h"

#include <chrono>
#include <thread>

namespace lintrel {

WindowRequests::WindowRequests(HttpService *given) : http_(given) {}

WindowRequests::~WindowRequests() = default;

HttpService &WindowRequests::http()
{
    if (!http_) {
        own_ = std::make_unique<HttpClient>();
        http_ = own_.get();
    }
    return *http_;
}

void WindowRequests::closeAll()
{
    closing_ = true;
    if (!http_)
        return; // no request was ever made
    http_->disconnect();
    http_->disconnect();
    // A request whose transfer had not quite begun misses a disconnect: keep disconnecting
    // until every worker is done, so none holds the process open.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (inFlight_ > 0 && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        http_->disconnect();
    }
}

} // namespace lintrel
