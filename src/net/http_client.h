// The program's one HTTP client: fixed request settings, shared in-memory cookies, abortable.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
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

inline constexpr std::string_view kHttpUserAgent =
    "Mozilla/4.0 (compatible; MSIE 5.5; Windows NT 4.0)";
inline constexpr std::string_view kHttpAccept = "text/html, */*";
inline constexpr std::string_view kHttpDefaultContentType = "text/html";
inline constexpr long kHttpMaxRedirects = 15;

// Every request gets the same settings: the user agent and Accept above, redirects followed
// up to kHttpMaxRedirects, cookies kept in memory for the client's life and sent back, no
// proxy (environment settings are ignored), only http and https, and no time-out: a request
// waits until the server answers or the connection fails, and disconnect() is the way out.
// GETs use HTTP/1.1; every POST goes out as HTTP/1.0 on a fresh connection that is closed
// afterwards. Requests may run on several threads at once; each has its own transfer.
class HttpClient
{
public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient &) = delete;
    HttpClient &operator=(const HttpClient &) = delete;

    // POSTs body with the given content type, which stays the client's contentType() after.
    // A body over maxBody bytes fails the exchange; result.body holds the answer.
    HttpResult post(const std::string &url, const std::string &contentType, const std::string &body,
                    std::size_t maxBody);

    // GETs url and hands the body to sink; result.body stays empty. Nothing reaches the sink
    // from an answer whose status is not 2xx.
    HttpResult get(const std::string &url, std::size_t maxBody, const HttpSink &sink);

    // GETs url into result.body.
    HttpResult get(const std::string &url, std::size_t maxBody);

    // Aborts every transfer in flight now (each fails as an exchange) and closes idle
    // connections. Safe from any thread; requests started later work normally.
    void disconnect();

    // Closes connections kept open for reuse; transfers in flight go on.
    void closeIdleConnections();

    // The content type of the last POST, "text/html" before the first.
    std::string contentType() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace lintrel
