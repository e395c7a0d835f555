// Routes and logging of lintrel-newsd on cpp-httplib.
#include "news_server.h"

#include "news_answers.h"
#include "util/errors.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>

namespace lintrel::newsd {

namespace {

using Clock = std::chrono::steady_clock;

// Each request is handled start to finish on one pool thread, so the time its routing began
// can live there until the logger runs.
thread_local std::optional<Clock::time_point> requestStart;

std::string formValue(const httplib::Request &req, const std::string &name)
{
    if (req.has_file(name))
        return req.get_file_value(name).content;
    return req.has_param(name) ? req.get_param_value(name) : std::string();
}

NewsForm readForm(const httplib::Request &req)
{
    return NewsForm{formValue(req, "memusername"), formValue(req, "prodcode"),
                    formValue(req, "prodtype"),    formValue(req, "conttype"),
                    formValue(req, "newsid"),      formValue(req, "newstarget")};
}

std::string logLine(const httplib::Request &req, const httplib::Response &res)
{
    char ms[32] = "-";
    if (requestStart) {
        const std::chrono::duration<double, std::milli> took = Clock::now() - *requestStart;
        std::snprintf(ms, sizeof ms, "%.1f", took.count());
        requestStart.reset();
    }
    return req.remote_addr + " " + req.method + " " + req.path + " " + std::to_string(res.status) +
           " " + std::to_string(res.body.size()) + " bytes " + ms + " ms";
}

} // namespace

std::string normalizeNewsPath(std::string_view path)
{
    std::string out(path);
    if (out.empty() || out.front() != '/')
        out.insert(out.begin(), '/');
    if (out.back() != '/')
        out += '/';
    return out;
}

NewsServer::NewsServer(ServerOptions options)
    : options_(std::move(options)), http_(std::make_unique<httplib::Server>()),
      store_(options_.contentDir, [this](const std::string &w) { log("content: " + w); })
{
    options_.newsPath = normalizeNewsPath(options_.newsPath);
    installRoutes();
}

NewsServer::~NewsServer()
{
    stop();
}

void NewsServer::log(const std::string &line) const
{
    if (options_.log)
        options_.log(line);
    else
        std::cerr << line << std::endl;
}

void NewsServer::installRoutes()
{
    http_->set_payload_max_length(kMaxRequestBody);
    // An idle kept-alive connection holds a worker until this runs out, and stopping waits
    // for the workers: keep it short so the server ends promptly.
    http_->set_keep_alive_timeout(1);
    http_->set_pre_routing_handler([](const httplib::Request &, httplib::Response &) {
        requestStart = Clock::now();
        return httplib::Server::HandlerResponse::Unhandled;
    });
    http_->set_logger([this](const httplib::Request &req, const httplib::Response &res) {
        log(logLine(req, res));
    });
    const auto script = [this](NewsScript which) {
        return [this, which](const httplib::Request &req, httplib::Response &res) {
            const NewsAnswer answer = answerNewsRequest(*store_.current(), which, readForm(req));
            res.status = answer.status;
            // The program takes the answer byte for byte; no charset is claimed.
            res.set_content(answer.body, "text/html");
        };
    };
    http_->Post(options_.newsPath + "getlastnews.php", script(NewsScript::LastNews));
    http_->Post(options_.newsPath + "getnewsdetails.php", script(NewsScript::NewsDetails));
    http_->Get("/liveupdate/lintrel/mainappupdate.inf", [this](const httplib::Request &,
                                                               httplib::Response &res) {
        const auto content = store_.current();
        if (!content->descriptor) {
            res.status = 404;
            res.set_content("no mainappupdate.inf in the content folder\n", "text/plain");
            return;
        }
        res.set_content(*content->descriptor, "text/plain");
    });
}

int NewsServer::bind()
{
    // Read the folder now, so its warnings show before the server is announced.
    store_.current();
    port_ = options_.port == 0
                ? http_->bind_to_any_port(options_.address)
                : (http_->bind_to_port(options_.address, options_.port) ? options_.port : -1);
    if (port_ <= 0)
        throw Error(formatMessage("cannot listen on %s port %s (address in use or not local?)",
                                  {options_.address, std::to_string(options_.port)}));
    return port_;
}

bool NewsServer::listen()
{
    return http_->listen_after_bind();
}

void NewsServer::stop()
{
    http_->stop();
}

bool NewsServer::isRunning() const
{
    return http_->is_running();
}

} // namespace lintrel::newsd
