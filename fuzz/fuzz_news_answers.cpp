// Fuzz target: the news service's answers (list, newest item, body) and the "$" escapes.
#include "news/news_protocol.h"
#include "util/fields.h"
#include "util/news_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check(bool holds)
{
    if (!holds)
        std::abort();
}

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Every "$" with two hexadecimal digits after it becomes one byte; nothing else changes.
void checkUnescape(std::string_view text)
{
    const std::string out = lintrel::UnescapeNewsText(text);
    std::size_t escapes = 0;
    for (std::size_t i = 0; i + 2 < text.size(); ++i) {
        if (text[i] == '$' && isHex(text[i + 1]) && isHex(text[i + 2])) {
            ++escapes;
            i += 2;
        }
    }
    check(out.size() + 2 * escapes == text.size());
    if (text.find('$') == std::string_view::npos)
        check(out == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view raw(reinterpret_cast<const char *>(data), size);
    const std::string answer = lintrel::trimNewsAnswer(raw);
    check(answer.size() <= raw.size());
    check(answer.empty() || (static_cast<unsigned char>(answer.front()) > 32 &&
                             static_cast<unsigned char>(answer.back()) > 32));
    for (const lintrel::NewsRequest request :
         {lintrel::NewsRequest::List, lintrel::NewsRequest::Newest, lintrel::NewsRequest::Body}) {
        const auto error = lintrel::newsErrorMessage(request, answer);
        // Only whole error codes (or an empty answer) give a message.
        check(!error || answer.size() <= 14);
    }
    if (lintrel::isNewsSuccess(answer)) {
        for (const std::string &record : lintrel::readNewsList(answer)) {
            check(!record.empty() && record != "OK");
            check(record.find(lintrel::kNewsRecordSeparator) == std::string::npos);
            std::vector<std::string> fields;
            lintrel::SplitFields('^', record, fields);
            check(!fields.empty());
        }
        const lintrel::NewestNews newest = lintrel::readNewestNews(answer);
        check(newest.present || (newest.newsId.empty() && newest.title.empty()));
        check(newest.newsId.find('^') == std::string::npos);
        check(newest.title.find('^') == std::string::npos);
        const std::string body = lintrel::readNewsBody(answer);
        check(body.size() <= answer.size());
    }
    checkUnescape(raw);
    return 0;
}
