// The program's one HTTP client: fixed request settings, shared in-memory cookies, abortable.
#pragma once

#include "net/http_service.h"

#include <memory>
#include <string>
#include <string_view>

namespace lintrel {

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
class HttpClient : public HttpService
{
public:
    HttpClient();
    ~HttpClient() override;
    HttpClient(const HttpClient &) = delete;
    HttpClient &operator=(const HttpClient &) = delete;

    // The content type given stays the client's contentType() after.
    HttpResult post(const std::string &url, const std::string &contentType, const std::string &body,
                    std::size_t maxBody) override;

    HttpResult get(const std::string &url, std::size_t maxBody, const HttpSink &sink) override;

    // GETs url into result.body.
    HttpResult get(const std::string &url, std::size_t maxBody);

    void disconnect() override;
    void closeIdleConnections() override;

    // The content type of the last POST, "text/html" before the first.
    std::string contentType() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace lintrel
