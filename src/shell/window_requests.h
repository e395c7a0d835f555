// The main window's HTTP requests: one client, each request on a worker, all ended at close.
//
// A request runs on a worker thread while the GUI thread keeps serving the window, so other
// handlers may run in between; after each request its caller checks closing() before it
// shows anything.
#pragma once

#include "ui/blocking_call.h"

#include <atomic>
#include <memory>

namespace lintrel {

class HttpClient;
class HttpService;

class WindowRequests
{
public:
    // given: the client to use; null: the real client, made on first use.
    explicit WindowRequests(HttpService *given);
    ~WindowRequests();
    WindowRequests(const WindowRequests &) = delete;
    WindowRequests &operator=(const WindowRequests &) = delete;

    // IdHTTP1, the one client every news and update request goes through.
    HttpService &http();

    // True once the window has begun to close; no request starts after that.
    bool closing() const { return closing_; }

    // Runs f on a worker while the window stays alive and returns its result; the request
    // counts as in flight until the worker is done with it.
    template <class F> auto run(F &&f)
    {
        ++inFlight_;
        return runKeepingUiAlive([&] {
            const struct Done
            {
                std::atomic<int> &count;
                ~Done() { --count; }
            } done{inFlight_};
            return f();
        });
    }

    // Marks the window closing and ends every request still waiting: each fails, and no
    // worker outlives the call by more than a moment.
    void closeAll();

private:
    std::unique_ptr<HttpClient> own_;
    HttpService *http_ = nullptr;
    std::atomic<int> inFlight_{0};
    bool closing_ = false;
};

} // namespace lintrel
