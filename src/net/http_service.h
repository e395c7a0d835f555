// The HTTP requests the program makes, as an interface: the real client or a test's fake.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace lintrel {

// Outcome of one exchange. ok is true only for a 2xx status after redirects with the whole
// body received; error then stays empty. status is the last status seen (0 without one).
struct HttpResult
{
    bool ok = false;
    long status = 0;
    std::string body;
    std::string error;
};

// Receives the body piece by piece; returning false fails the exchange.
using HttpSink = std::function<bool(std::string_view)>;

class HttpService
{
public:
    virtual ~HttpService() = default;

    // POSTs body with the given content type. A body over maxBody bytes fails the exchange;
    // result.body holds the answer.
    virtual HttpResult post(const std::string &url, const std::string &contentType,
                            const std::string &body, std::size_t maxBody) = 0;

    // GETs url and hands the body to sink; result.body stays empty. Nothing reaches the sink
    // from an answer whose status is not 2xx.
    virtual HttpResult get(const std::string &url, std::size_t maxBody, const HttpSink &sink) = 0;

    // Aborts every transfer in flight now (each fails as an exchange) and closes idle
    // connections. Safe from any thread; requests started later work normally.
    virtual void disconnect() = 0;

    // Closes connections kept open for reuse; transfers in flight go on.
    virtual void closeIdleConnections() = 0;
};

} // namespace lintrel
