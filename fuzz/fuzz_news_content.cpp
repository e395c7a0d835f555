// Fuzz target: lintrel-newsd's reading of news files and publishers.ini, and the answers built
// from them.
#include "news_answers.h"
#include "news_content.h"
#include "util/news_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace lintrel::newsd;

// What may travel in a record field.
bool fieldIsSafe(std::string_view v)
{
    for (const char c : v) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '^' || b == 0xAF || b < 0x20 || b == 0x7F)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    NewsContent content;
    content.levels = parsePublishers(bytes);
    for (const PublisherLevel &level : content.levels)
        if (level.publisherIds.empty())
            std::abort();
    if (const auto field = recordFieldValue(bytes); field && !fieldIsSafe(*field))
        std::abort();

    std::string why;
    const auto item = parseNewsItem("17.html", bytes, why);
    if (!item) {
        if (why.empty())
            std::abort();
        return 0;
    }
    if (item->title.empty() || !fieldIsSafe(item->title) || !fieldIsSafe(item->published) ||
        !bytes.ends_with(item->body))
        std::abort();
    content.levels = {{"Gold", "BG", {"g"}, {"C"}}};
    content.items = {*item};
    const NewsIndex index(content);
    const NewsAnswer body =
        answerNewsRequest(index, NewsScript::NewsDetails, {"g", "C", "BG", "", "17", "UA"});
    // The escaped body, once the success marker is cut off, decodes to the file's body.
    if (!body.body.ends_with("\xAFOK") ||
        lintrel::UnescapeNewsText(std::string_view(body.body).substr(0, body.body.size() - 3)) !=
            item->body)
        std::abort();
    const NewsAnswer newest =
        answerNewsRequest(index, NewsScript::LastNews, {"g", "C", "BG", "lastcode", "", "UA"});
    if (newest.body != "17^" + item->title + "^" + item->published + "\xAFOK")
        std::abort();
    return 0;
}
