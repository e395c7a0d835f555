// The program's one HTTP client on libcurl's multi interface.
#include "net/http_client.h"

#include "net/curl_global.h"

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <mutex>
#include <vector>

namespace lintrel {

namespace {

// One request in flight; disconnect() flags it and wakes its poll.
struct Transfer
{
    CURLM *multi = nullptr;
    std::atomic<bool> aborted{false};
};

struct WriteState
{
    CURL *easy = nullptr;
    const HttpSink *sink = nullptr;
    std::size_t maxBody = 0;
    std::size_t received = 0;
    std::string failure;
};

bool isSuccessStatus(long status)
{
    return status >= 200 && status <= 299;
}

size_t onWrite(char *data, size_t size, size_t count, void *user)
{
    auto &w = *static_cast<WriteState *>(user);
    const size_t length = size * count;
    long status = 0;
    curl_easy_getinfo(w.easy, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 300 && status <= 399)
        return length; // body of a redirect (or of a final 3xx, which fails later)
    if (!isSuccessStatus(status)) {
        w.failure = "The server answered with status " + std::to_string(status) + ".";
        return 0;
    }
    if (length > w.maxBody - w.received) {
        w.failure = "The answer is larger than " + std::to_string(w.maxBody) + " bytes.";
        return 0;
    }
    w.received += length;
    if (!(*w.sink)(std::string_view(data, length))) {
        w.failure = "The answer could not be stored.";
        return 0;
    }
    return length;
}

bool hasHttpScheme(const std::string &url)
{
    auto startsWithNoCase = [&url](std::string_view prefix) {
        return url.size() >= prefix.size() &&
               std::equal(prefix.begin(), prefix.end(), url.begin(), [](char a, char b) {
                   return a == (b >= 'A' && b <= 'Z' ? char(b - 'A' + 'a') : b);
               });
    };
    return startsWithNoCase("http://") || startsWithNoCase("https://");
}

struct SlistDeleter
{
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

struct EasyDeleter
{
    void operator()(CURL *easy) const { curl_easy_cleanup(easy); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;

} // namespace

struct HttpClient::Impl
{
    CURLSH *share = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> shareLocks;

    mutable std::mutex mutex; // guards the members below
    std::string contentType{kHttpDefaultContentType};
    std::vector<Transfer *> active;
    std::vector<CURLM *> idle; // multi handles whose connection caches may be reused

    static void lock(CURL *, curl_lock_data data, curl_lock_access, void *user)
    {
        static_cast<Impl *>(user)->shareLocks[data].lock();
    }
    static void unlock(CURL *, curl_lock_data data, void *user)
    {
        static_cast<Impl *>(user)->shareLocks[data].unlock();
    }

    Easy newEasy(const std::string &url, curl_slist *headers, char *errorBuffer);
    HttpResult perform(CURL *easy, const char *errorBuffer, bool freshConnection,
                       std::size_t maxBody, const HttpSink &sink);
    CURLcode runUntilDone(Transfer &transfer, CURL *easy);
    CURLM *takeMulti(bool freshConnection);
    void releaseMulti(Transfer &transfer, bool reusable);
    void closeIdle();
};

Easy HttpClient::Impl::newEasy(const std::string &url, curl_slist *headers, char *errorBuffer)
{
    Easy easy(curl_easy_init());
    if (!easy)
        return easy;
    CURL *e = easy.get();
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_SHARE, share);
    curl_easy_setopt(e, CURLOPT_COOKIEFILE, ""); // without it the handle ignores cookies
    curl_easy_setopt(e, CURLOPT_USERAGENT, std::string(kHttpUserAgent).c_str());
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, kHttpMaxRedirects);
    curl_easy_setopt(e, CURLOPT_PROXY, "");
    // libcurl has no "never" for connecting (0 means its 300 s default): use the longest it
    // takes. The system gives up on an unanswered connect on its own; disconnect() aborts.
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, long(INT_MAX));
    return easy;
}

CURLM *HttpClient::Impl::takeMulti(bool freshConnection)
{
    {
        std::lock_guard guard(mutex);
        if (!freshConnection && !idle.empty()) {
            CURLM *multi = idle.back();
            idle.pop_back();
            return multi;
        }
    }
    return curl_multi_init();
}

void HttpClient::Impl::releaseMulti(Transfer &transfer, bool reusable)
{
    bool keep = false;
    {
        std::lock_guard guard(mutex);
        active.erase(std::find(active.begin(), active.end(), &transfer));
        keep = reusable && !transfer.aborted;
        if (keep)
            idle.push_back(transfer.multi);
    }
    if (!keep)
        curl_multi_cleanup(transfer.multi);
}

void HttpClient::Impl::closeIdle()
{
    std::vector<CURLM *> closing;
    {
        std::lock_guard guard(mutex);
        closing.swap(idle);
    }
    for (CURLM *multi : closing)
        curl_multi_cleanup(multi);
}

CURLcode HttpClient::Impl::runUntilDone(Transfer &transfer, CURL *easy)
{
    for (;;) {
        if (transfer.aborted)
            return CURLE_ABORTED_BY_CALLBACK;
        int running = 0;
        if (curl_multi_perform(transfer.multi, &running) != CURLM_OK)
            return CURLE_FAILED_INIT;
        if (running == 0)
            break;
        if (curl_multi_poll(transfer.multi, nullptr, 0, 1000, nullptr) != CURLM_OK)
            return CURLE_FAILED_INIT;
    }
    int queued = 0;
    while (CURLMsg *msg = curl_multi_info_read(transfer.multi, &queued)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy)
            return msg->data.result;
    }
    return CURLE_FAILED_INIT;
}

HttpResult HttpClient::Impl::perform(CURL *easy, const char *errorBuffer, bool freshConnection,
                                     std::size_t maxBody, const HttpSink &sink)
{
    WriteState state{easy, &sink, maxBody, 0, {}};
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onWrite);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &state);

    HttpResult result;
    Transfer transfer;
    transfer.multi = takeMulti(freshConnection);
    if (!transfer.multi) {
        result.error = "The HTTP client could not start a transfer.";
        return result;
    }
    {
        std::lock_guard guard(mutex);
        active.push_back(&transfer);
    }
    curl_multi_add_handle(transfer.multi, easy);
    const CURLcode code = runUntilDone(transfer, easy);
    curl_multi_remove_handle(transfer.multi, easy);
    releaseMulti(transfer, !freshConnection);

    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &result.status);
    if (transfer.aborted)
        result.error = "The connection was closed by a disconnect.";
    else if (!state.failure.empty())
        result.error = state.failure;
    else if (code != CURLE_OK)
        result.error = *errorBuffer ? errorBuffer : curl_easy_strerror(code);
    else if (!isSuccessStatus(result.status))
        result.error = "The server answered with status " + std::to_string(result.status) + ".";
    result.ok = result.error.empty();
    return result;
}

HttpClient::HttpClient() : d(std::make_unique<Impl>())
{
    ensureCurlInitialised();
    d->share = curl_share_init();
    curl_share_setopt(d->share, CURLSHOPT_LOCKFUNC, &Impl::lock);
    curl_share_setopt(d->share, CURLSHOPT_UNLOCKFUNC, &Impl::unlock);
    curl_share_setopt(d->share, CURLSHOPT_USERDATA, d.get());
    curl_share_setopt(d->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
}

HttpClient::~HttpClient()
{
    disconnect();
    curl_share_cleanup(d->share);
}

HttpResult HttpClient::post(const std::string &url, const std::string &contentType,
                            const std::string &body, std::size_t maxBody)
{
    {
        std::lock_guard guard(d->mutex);
        d->contentType = contentType;
    }
    HttpResult result;
    if (!hasHttpScheme(url)) {
        result.error = "The address \"" + url + "\" is not an http or https address.";
        return result;
    }
    std::string contentTypeHeader = "Content-Type: " + contentType;
    std::string acceptHeader = "Accept: " + std::string(kHttpAccept);
    curl_slist *list = curl_slist_append(nullptr, acceptHeader.c_str());
    list = curl_slist_append(list, contentTypeHeader.c_str());
    Slist headers(curl_slist_append(list, "Expect:"));
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Easy easy = d->newEasy(url, headers.get(), errorBuffer);
    if (!easy) {
        result.error = "The HTTP client could not start a transfer.";
        return result;
    }
    curl_easy_setopt(easy.get(), CURLOPT_POST, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(easy.get(), CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
    curl_easy_setopt(easy.get(), CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(easy.get(), CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_FORBID_REUSE, 1L);
    d->closeIdle(); // a connection left open by earlier requests is closed before a POST
    std::string answer;
    const HttpSink collect = [&answer](std::string_view piece) {
        answer.append(piece);
        return true;
    };
    result = d->perform(easy.get(), errorBuffer, true, maxBody, collect);
    result.body = std::move(answer);
    return result;
}

HttpResult HttpClient::get(const std::string &url, std::size_t maxBody, const HttpSink &sink)
{
    HttpResult result;
    if (!hasHttpScheme(url)) {
        result.error = "The address \"" + url + "\" is not an http or https address.";
        return result;
    }
    std::string acceptHeader = "Accept: " + std::string(kHttpAccept);
    Slist headers(curl_slist_append(nullptr, acceptHeader.c_str()));
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Easy easy = d->newEasy(url, headers.get(), errorBuffer);
    if (!easy) {
        result.error = "The HTTP client could not start a transfer.";
        return result;
    }
    curl_easy_setopt(easy.get(), CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    return d->perform(easy.get(), errorBuffer, false, maxBody, sink);
}

HttpResult HttpClient::get(const std::string &url, std::size_t maxBody)
{
    std::string body;
    HttpResult result = get(url, maxBody, [&body](std::string_view piece) {
        body.append(piece);
        return true;
    });
    result.body = std::move(body);
    return result;
}

void HttpClient::disconnect()
{
    {
        std::lock_guard guard(d->mutex);
        for (Transfer *transfer : d->active) {
            transfer->aborted = true;
            curl_multi_wakeup(transfer->multi);
        }
    }
    d->closeIdle();
}

void HttpClient::closeIdleConnections()
{
    d->closeIdle();
}

std::string HttpClient::contentType() const
{
    std::lock_guard guard(d->mutex);
    return d->contentType;
}

} // namespace lintrel
