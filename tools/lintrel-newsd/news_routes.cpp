// Routing one request to the news answers or the update descriptor.
#include "news_routes.h"

#include "news_form.h"

namespace lintrel::newsd {

namespace {

constexpr std::string_view kDescriptorPath = "/liveupdate/lintrel/mainappupdate.inf";

HttpReply plain(int status, std::string body)
{
    HttpReply reply;
    reply.status = status;
    reply.body = std::move(body);
    return reply;
}

HttpReply newsReply(const NewsIndex &index, NewsScript script, std::string_view query,
                    const HttpRequestView &request)
{
    const FormResult form = readNewsForm(query, request.contentType, request.body);
    if (form.error == FormError::TooLarge)
        return plain(413, "the form is too large\n");
    if (form.error == FormError::Malformed)
        return plain(400, "the form cannot be read\n");
    NewsAnswer answer = answerNewsRequest(index, script, form.form);
    HttpReply reply;
    reply.status = answer.status;
    // The program takes the answer byte for byte; no charset is claimed.
    reply.contentType = "text/html";
    reply.body = std::move(answer.body);
    return reply;
}

HttpReply descriptorReply(const NewsIndex &index)
{
    const auto &descriptor = index.content().descriptor;
    if (!descriptor)
        return plain(404, "no mainappupdate.inf in the content folder\n");
    return plain(200, *descriptor);
}

HttpReply wrongMethod(std::string allow)
{
    HttpReply reply = plain(405, "method not allowed\n");
    reply.allow = std::move(allow);
    return reply;
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

HttpReply answerHttpRequest(const NewsIndex &index, std::string_view newsPath,
                            const HttpRequestView &request)
{
    const auto mark = request.target.find('?');
    const std::string_view query =
        mark == std::string_view::npos ? std::string_view() : request.target.substr(mark + 1);
    const auto path = percentDecode(request.target.substr(0, mark), false);
    if (!path || path->empty() || path->front() != '/' || path->find('\0') != std::string::npos)
        return plain(400, "bad request target\n");
    const std::string base = normalizeNewsPath(newsPath);
    const bool lastNews = *path == base + "getlastnews.php";
    if (lastNews || *path == base + "getnewsdetails.php") {
        if (request.method != "POST")
            return wrongMethod("POST");
        return newsReply(index, lastNews ? NewsScript::LastNews : NewsScript::NewsDetails, query,
                         request);
    }
    if (*path == kDescriptorPath) {
        if (request.method != "GET" && request.method != "HEAD")
            return wrongMethod("GET, HEAD");
        return descriptorReply(index);
    }
    return plain(404, "not found\n");
}

} // namespace lintrel::newsd
