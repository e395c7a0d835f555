// Connections of lintrel-newsd on Boost.Beast: an event loop per thread, deadlines, limits, log.
#include "news_server.h"

#include "content_store.h"
#include "util/errors.h"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <optional>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace lintrel::newsd {

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;

namespace {

// After an answer that closes the connection, what the client still sends is read and
// dropped for this long, so that it sees the answer instead of a reset.
constexpr std::chrono::milliseconds kLinger{2000};

// Connections beyond what the descriptor limit leaves room for are closed at once.
int connectionLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return 4096;
    return std::max(16, static_cast<int>(limit.rlim_cur) - 64);
}

std::string_view view(beast::string_view s)
{
    return {s.data(), s.size()};
}

bool isHttpError(const beast::error_code &ec)
{
    return ec.category() == http::make_error_code(http::error::bad_target).category();
}

} // namespace

struct NewsServer::Impl
{
    explicit Impl(ServerOptions o)
        : options(std::move(o)),
          store(options.contentDir, [this](const std::string &w) { log("content: " + w); }),
          contexts(makeContexts(options.threads)), acceptor(*contexts.front()),
          acceptPause(*contexts.front())
    {}

    // One event loop for each thread: a connection lives on one of them and needs no locks.
    static std::vector<std::unique_ptr<net::io_context>> makeContexts(int wanted)
    {
        const unsigned count = std::max(1u, wanted > 0 ? static_cast<unsigned>(wanted)
                                                       : std::thread::hardware_concurrency());
        std::vector<std::unique_ptr<net::io_context>> out;
        for (unsigned i = 0; i < count; ++i)
            out.push_back(std::make_unique<net::io_context>(1));
        return out;
    }

    void log(const std::string &line)
    {
        if (options.log) {
            options.log(line);
            return;
        }
        const std::string text = line + "\n";
        std::lock_guard guard(logMutex);
        std::fwrite(text.data(), 1, text.size(), stderr);
    }
    void accept();

    // Declared before the event loops: connections still queued in them when they go use these.
    ServerOptions options;
    std::mutex logMutex;
    ContentStore store;
    std::atomic<int> connections = 0;
    const int maxConnections = connectionLimit();
    std::atomic<bool> running = false;
    std::vector<std::unique_ptr<net::io_context>> contexts;
    std::size_t nextContext = 0; // used by the accepting loop only
    tcp::acceptor acceptor;
    net::steady_timer acceptPause;
};

namespace {

class Connection : public std::enable_shared_from_this<Connection>
{
public:
    Connection(tcp::socket socket, NewsServer::Impl &server)
        : stream_(std::move(socket)), server_(server)
    {
        beast::error_code ec;
        const auto remote = stream_.socket().remote_endpoint(ec);
        remote_ = ec ? "-" : remote.address().to_string();
        ++server_.connections;
    }
    ~Connection() { --server_.connections; }

    void waitForRequest();

private:
    void readHeader();
    void onHeader(const beast::error_code &ec);
    void readBody();
    void onBody(const beast::error_code &ec);
    void onReadError(const beast::error_code &ec);
    void refuse(http::status status, std::string why);
    void send(http::response<http::string_body> response, std::string logLine);
    void linger();
    void drain();
    http::response<http::string_body> reply(HttpReply r) const;
    std::string logLine(int status, std::size_t bytes) const;

    beast::tcp_stream stream_;
    beast::flat_buffer buffer_{kMaxHeaderBytes + 16 * 1024};
    std::optional<http::request_parser<http::string_body>> parser_;
    http::response<http::string_body> response_;
    NewsServer::Impl &server_;
    std::string remote_;
    Clock::time_point started_;
};

void Connection::waitForRequest()
{
    parser_.emplace();
    parser_->header_limit(kMaxHeaderBytes);
    parser_->body_limit(kMaxRequestBody);
    if (buffer_.size() > 0) {
        readHeader();
        return;
    }
    stream_.expires_after(server_.options.idleTimeout);
    stream_.async_read_some(buffer_.prepare(4096), [self = shared_from_this()](
                                                       const beast::error_code &ec, std::size_t n) {
        if (ec)
            return; // idle too long, or the client left: the connection closes
        self->buffer_.commit(n);
        self->readHeader();
    });
}

void Connection::readHeader()
{
    // One deadline for the whole request, headers and body, however slowly they drip.
    started_ = Clock::now();
    stream_.expires_after(server_.options.requestTimeout);
    http::async_read_header(stream_, buffer_, *parser_,
                            [self = shared_from_this()](const beast::error_code &ec, std::size_t) {
                                self->onHeader(ec);
                            });
}

void Connection::onHeader(const beast::error_code &ec)
{
    if (ec)
        return onReadError(ec);
    const auto &request = parser_->get();
    const bool chunked = parser_->chunked();
    const bool hasLength = request.find(http::field::content_length) != request.end();
    const auto coding = request.find(http::field::transfer_encoding);
    const bool plainChunked =
        coding == request.end() || (chunked && beast::iequals(coding->value(), "chunked"));
    // A body comes with a length or chunked, never both, and in no other coding.
    if (!plainChunked || (chunked && hasLength))
        return refuse(http::status::bad_request, "a body must come with a length or chunked\n");
    if (!parser_->is_done() && beast::iequals(request[http::field::expect], "100-continue")) {
        static constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
        net::async_write(stream_, net::buffer(kContinue.data(), kContinue.size()),
                         [self = shared_from_this()](const beast::error_code &wec, std::size_t) {
                             if (!wec)
                                 self->readBody();
                         });
        return;
    }
    readBody();
}

void Connection::readBody()
{
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared_from_this()](const beast::error_code &ec, std::size_t) {
                         self->onBody(ec);
                     });
}

void Connection::onReadError(const beast::error_code &ec)
{
    if (ec == http::error::body_limit)
        return refuse(http::status::payload_too_large, "request bodies are limited to 64 KiB\n");
    if (ec == http::error::header_limit || ec == http::error::buffer_overflow)
        return refuse(http::status::request_header_fields_too_large, "the headers are too large\n");
    if (ec == beast::error::timeout && parser_->got_some())
        server_.log(remote_ + " - - closed: the request did not arrive in time");
    else if (isHttpError(ec) && ec != http::error::end_of_stream &&
             ec != http::error::partial_message)
        return refuse(http::status::bad_request, "malformed request\n");
    // Otherwise the client left, or stayed silent too long: the connection just closes.
}

void Connection::onBody(const beast::error_code &ec)
{
    if (ec)
        return onReadError(ec);
    const auto &request = parser_->get();
    const auto index = server_.store.current();
    const std::string_view contentType = view(request[http::field::content_type]);
    const std::string_view method = view(request.method_string());
    const std::string_view target = view(request.target());
    HttpReply r = answerHttpRequest(*index, server_.options.newsPath,
                                    {method, target, contentType, request.body()});
    std::string line = logLine(r.status, r.body.size());
    const std::size_t size = r.body.size();
    auto response = reply(std::move(r));
    response.keep_alive(request.keep_alive());
    if (request.method() == http::verb::head) {
        response.body().clear();
        response.content_length(size);
    }
    send(std::move(response), std::move(line));
}

http::response<http::string_body> Connection::reply(HttpReply r) const
{
    http::response<http::string_body> response{static_cast<http::status>(r.status),
                                               parser_->get().version()};
    response.set(http::field::content_type, r.contentType);
    if (!r.allow.empty())
        response.set(http::field::allow, r.allow);
    response.body() = std::move(r.body);
    response.prepare_payload();
    return response;
}

std::string Connection::logLine(int status, std::size_t bytes) const
{
    const auto &request = parser_->get();
    const std::string_view target = view(request.target());
    const std::string method(request.method_string());
    const std::string path(target.substr(0, target.find('?')));
    return remote_ + " " + (method.empty() ? "-" : method) + " " + (path.empty() ? "-" : path) +
           " " + std::to_string(status) + " " + std::to_string(bytes) + " bytes";
}

void Connection::refuse(http::status status, std::string why)
{
    HttpReply r;
    r.status = static_cast<int>(status);
    r.body = std::move(why);
    std::string line = logLine(r.status, r.body.size());
    auto response = reply(std::move(r));
    response.keep_alive(false);
    send(std::move(response), std::move(line));
}

void Connection::send(http::response<http::string_body> response, std::string line)
{
    response_ = std::move(response);
    stream_.expires_after(server_.options.requestTimeout);
    http::async_write(stream_, response_,
                      [self = shared_from_this(),
                       line = std::move(line)](const beast::error_code &ec, std::size_t) {
                          char ms[32];
                          const std::chrono::duration<double, std::milli> took =
                              Clock::now() - self->started_;
                          std::snprintf(ms, sizeof ms, " %.1f ms", took.count());
                          self->server_.log(line + ms);
                          if (ec)
                              return;
                          if (self->response_.keep_alive())
                              self->waitForRequest();
                          else
                              self->linger();
                      });
}

void Connection::linger()
{
    beast::error_code ignored;
    stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
    stream_.expires_after(kLinger);
    drain();
}

void Connection::drain()
{
    buffer_.clear();
    stream_.async_read_some(buffer_.prepare(4096),
                            [self = shared_from_this()](const beast::error_code &ec, std::size_t) {
                                if (!ec)
                                    self->drain();
                            });
}

} // namespace

void NewsServer::Impl::accept()
{
    net::io_context &loop = *contexts[nextContext++ % contexts.size()];
    acceptor.async_accept(loop, [this, &loop](const beast::error_code &ec, tcp::socket socket) {
        if (ec == net::error::operation_aborted)
            return;
        if (ec) {
            // Out of descriptors or similar: try again shortly instead of spinning.
            acceptPause.expires_after(std::chrono::milliseconds(50));
            acceptPause.async_wait([this](const beast::error_code &) { accept(); });
            return;
        }
        beast::error_code ignored;
        socket.set_option(tcp::no_delay(true), ignored);
        if (connections < maxConnections) {
            auto connection = std::make_shared<Connection>(std::move(socket), *this);
            net::post(loop, [connection] { connection->waitForRequest(); });
        }
        accept();
    });
}

NewsServer::NewsServer(ServerOptions options)
{
    options.newsPath = normalizeNewsPath(options.newsPath);
    impl_ = std::make_unique<Impl>(std::move(options));
}

NewsServer::~NewsServer()
{
    stop();
}

int NewsServer::bind()
{
    const ServerOptions &o = impl_->options;
    beast::error_code ec;
    const auto address = net::ip::make_address(o.address, ec);
    const tcp::endpoint endpoint(address, static_cast<unsigned short>(o.port));
    auto &acceptor = impl_->acceptor;
    if (!ec)
        acceptor.open(endpoint.protocol(), ec);
    if (!ec)
        acceptor.set_option(net::socket_base::reuse_address(true), ec);
    if (!ec)
        acceptor.bind(endpoint, ec);
    if (!ec)
        acceptor.listen(net::socket_base::max_listen_connections, ec);
    if (ec)
        throw Error(formatMessage("cannot listen on %s port %s (address in use or not local?)",
                                  {o.address, std::to_string(o.port)}));
    port_ = acceptor.local_endpoint().port();
    return port_;
}

bool NewsServer::listen()
{
    auto &contexts = impl_->contexts;
    std::vector<net::executor_work_guard<net::io_context::executor_type>> busy;
    for (auto &loop : contexts)
        busy.push_back(net::make_work_guard(*loop));
    impl_->accept();
    impl_->running = true;
    std::vector<std::thread> pool;
    for (std::size_t i = 1; i < contexts.size(); ++i)
        pool.emplace_back([&loop = *contexts[i]] { loop.run(); });
    contexts.front()->run();
    for (auto &t : pool)
        t.join();
    impl_->running = false;
    return true;
}

void NewsServer::stop()
{
    for (auto &loop : impl_->contexts)
        loop->stop();
}

bool NewsServer::isRunning() const
{
    return impl_->running;
}

} // namespace lintrel::newsd
