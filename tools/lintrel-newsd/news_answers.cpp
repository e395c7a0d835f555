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

const NewsItem *findItem(const NewsIndex &index, std::string_view idText)
{
    std::uint64_t id = 0;
    const char *end = idText.data() + idText.size();
    const auto [ptr, ec] = std::from_chars(idText.data(), end, id);
    if (idText.empty() || ec != std::errc() || ptr != end)
        return nullptr;
    return index.find(id);
}

} // namespace

NewsIndex::NewsIndex(NewsContent content) : content_(std::move(content))
{
    sortNewestFirst(content_);
    for (const NewsItem &item : content_.items)
        listAnswer_ += record(item) + '\xAF';
    listAnswer_ += "OK";
    newestAnswer_ =
        content_.items.empty() ? "OK" : record(content_.items.front()) + std::string(kSuccess);
}

const NewsItem *NewsIndex::find(std::uint64_t id) const
{
    // Items are kept newest (largest id) first.
    const auto &items = content_.items;
    const auto it =
        std::lower_bound(items.begin(), items.end(), id,
                         [](const NewsItem &item, std::uint64_t v) { return item.id > v; });
    return it != items.end() && it->id == id ? &*it : nullptr;
}

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

NewsAnswer answerNewsRequest(const NewsIndex &index, NewsScript script, const NewsForm &form)
{
    if (const std::string_view error = identityError(index.content(), form); !error.empty())
        return {200, std::string(error)};
    if (script == NewsScript::LastNews) {
        if (form.conttype == "all")
            return {200, index.listAnswer()};
        if (form.conttype == "lastcode")
            return {200, index.newestAnswer()};
        return {400, "conttype must be \"all\" or \"lastcode\"\n"};
    }
    const NewsItem *item = findItem(index, form.newsid);
    if (item == nullptr)
        return {200, "INVALIDNEWS"};
    return {200, escapeNewsBody(item->body) + std::string(kSuccess)};
}

} // namespace lintrel::newsd
