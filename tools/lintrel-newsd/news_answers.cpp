// Forming the news service's answers.
#include "news_answers.h"

#include <algorithm>
#include <charconv>

namespace lintrel::newsd {

namespace {

constexpr std::string_view kSuccess = "\xAFOK";

bool contains(const std::vector<std::string> &list, std::string_view value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

// The error code for who asks, or "" when the request may be answered.
std::string_view identityError(const NewsContent &content, const NewsForm &form)
{
    if (content.publishersMissing)
        return "CONNECTIONFAIL";
    bool knownUser = false;
    for (const PublisherLevel &level : content.levels) {
        if (!contains(level.publisherIds, form.memusername))
            continue;
        knownUser = true;
        if (level.prodType == form.prodtype && contains(level.brandCodes, form.prodcode))
            return {};
    }
    return knownUser ? "INVALIDPRODUCT" : "INVALIDUSER";
}

std::string record(const NewsItem &item)
{
    return std::to_string(item.id) + '^' + item.title + '^' + item.published;
}

const NewsItem *findItem(const NewsContent &content, std::string_view idText)
{
    std::uint64_t id = 0;
    const char *end = idText.data() + idText.size();
    const auto [ptr, ec] = std::from_chars(idText.data(), end, id);
    if (idText.empty() || ec != std::errc() || ptr != end)
        return nullptr;
    const auto it = std::find_if(content.items.begin(), content.items.end(),
                                 [id](const NewsItem &item) { return item.id == id; });
    return it == content.items.end() ? nullptr : &*it;
}

NewsAnswer lastNewsAnswer(const NewsContent &content, const NewsForm &form)
{
    if (form.conttype == "all") {
        std::string body;
        for (const NewsItem &item : content.items)
            body += record(item) + '\xAF';
        body += "OK";
        return {200, body};
    }
    if (form.conttype == "lastcode") {
        if (content.items.empty())
            return {200, "OK"};
        return {200, record(content.items.front()) + std::string(kSuccess)};
    }
    return {400, "conttype must be \"all\" or \"lastcode\"\n"};
}

} // namespace

std::string escapeNewsBody(std::string_view html)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(html.size() * 3);
    for (const char c : html) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) {
            out += c;
        } else {
            out += '$';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

NewsAnswer answerNewsRequest(const NewsContent &content, NewsScript script, const NewsForm &form)
{
    if (const std::string_view error = identityError(content, form); !error.empty())
        return {200, std::string(error)};
    if (script == NewsScript::LastNews)
        return lastNewsAnswer(content, form);
    const NewsItem *item = findItem(content, form.newsid);
    if (item == nullptr)
        return {200, "INVALIDNEWS"};
    return {200, escapeNewsBody(item->body) + std::string(kSuccess)};
}

} // namespace lintrel::newsd
