// Fuzz target: lintrel-newsd's reading of a request (target, Content-Type, form) and its answer.
#include "news/news_protocol.h"
#include "news_form.h"
#include "news_routes.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace lintrel::newsd;

const NewsIndex &index()
{
    static const NewsIndex built([] {
        NewsContent content;
        content.levels = {{"Gold", "BG", {"gold-1"}, {"DEMO"}}};
        content.items = {{12, "Twelfth", "2026-12-01", "<p>12 $ \xAFOK</p>"}, {3, "Third", "", ""}};
        content.descriptor = "[APPLICATION]\nVersion=2.1\n";
        return content;
    }());
    return built;
}

// A form the program builds from any six values comes back value for value.
void checkRoundTrip(std::string_view bytes)
{
    std::string values[5];
    for (std::size_t i = 0, field = 0; i < bytes.size() && field < 5; ++i) {
        if (bytes[i] == '\xFF')
            ++field;
        else
            values[field] += bytes[i];
    }
    const std::string boundary = "--------121026104500123";
    for (const std::string &v : values)
        if (v.find("\r\n--" + boundary) != std::string::npos)
            return; // a value may not hold the delimiter
    const auto fields = lintrel::newsFormFields(lintrel::NewsRequest::Body, values[0], values[1],
                                                values[2], values[3], values[4]);
    const std::string body = lintrel::buildMultipartBody(fields, boundary);
    const FormResult read = readNewsForm("", lintrel::multipartContentType(boundary), body);
    if (read.error != FormError::None || read.form.memusername != values[0] ||
        read.form.prodcode != values[1] || read.form.prodtype != values[2] ||
        read.form.newstarget != values[3] || read.form.newsid != values[4])
        std::abort();
}

} // namespace

// Input: a target line, a Content-Type line, then the body.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const auto firstEnd = bytes.find('\n');
    const std::string_view target = bytes.substr(0, firstEnd);
    const std::string_view rest =
        firstEnd == std::string_view::npos ? std::string_view() : bytes.substr(firstEnd + 1);
    const auto secondEnd = rest.find('\n');
    const std::string_view contentType = rest.substr(0, secondEnd);
    const std::string_view body =
        secondEnd == std::string_view::npos ? std::string_view() : rest.substr(secondEnd + 1);
    for (const char *method : {"POST", "GET"}) {
        const HttpReply reply =
            answerHttpRequest(index(), "/news/", {method, target, contentType, body});
        const int s = reply.status;
        if (s != 200 && s != 400 && s != 404 && s != 405 && s != 413)
            std::abort();
        if ((s == 405) == reply.allow.empty())
            std::abort();
    }
    checkRoundTrip(bytes);
    return 0;
}
