// Tagged-value extraction and one-character field splitting.
#include "util/fields.h"

#include <algorithm>
#include <charconv>

namespace lintrel {

namespace {

char foldAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::size_t findIgnoringAsciiCase(std::string_view haystack, std::string_view needle,
                                  std::size_t from)
{
    if (needle.empty())
        return from <= haystack.size() ? from : std::string_view::npos;
    if (needle.size() > haystack.size() || from > haystack.size() - needle.size())
        return std::string_view::npos;
    const std::size_t last = haystack.size() - needle.size();
    const char first = needle.front();
    // Tags start with '<', which has no other case: jump straight to its occurrences.
    const bool exactFirst = foldAscii(first) == first && (first < 'A' || first > 'Z');
    for (std::size_t i = from; i <= last; ++i) {
        if (exactFirst && (i = haystack.find(first, i)) > last)
            return std::string_view::npos;
        std::size_t k = 0;
        while (k < needle.size() && foldAscii(haystack[i + k]) == foldAscii(needle[k]))
            ++k;
        if (k == needle.size())
            return i;
    }
    return std::string_view::npos;
}

std::string ExtractTagValue(std::string_view openTag, std::string_view closeTag, std::string &work)
{
    const std::size_t open = findIgnoringAsciiCase(work, openTag);
    if (open == std::string::npos)
        return {};
    work.erase(0, open + openTag.size());
    const std::size_t close = findIgnoringAsciiCase(work, closeTag);
    if (close == std::string::npos)
        return {};
    std::string value = work.substr(0, close);
    work.erase(0, close);
    return value;
}

void SplitFields(char separator, std::string_view text, std::vector<std::string> &list)
{
    list.clear();
    std::string current;
    for (char c : text) {
        if (c == separator) {
            list.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty())
        list.push_back(std::move(current));
}

std::optional<int32_t> parseInt32(std::string_view text)
{
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

bool wholeNumberKeyAccepted(std::string_view text, std::size_t from, std::size_t to, char32_t typed)
{
    if (typed != U'-' && (typed < U'0' || typed > U'9'))
        return false;
    from = std::min(from, text.size());
    to = std::clamp(to, from, text.size());
    std::string after(text.substr(0, from));
    after += static_cast<char>(typed);
    after += text.substr(to);
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const std::size_t start = after.front() == '-' ? 1 : 0;
    return std::all_of(after.begin() + std::ptrdiff_t(start), after.end(), digit);
}

std::string_view trimBlanks(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string toLowerAscii(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = lowerAscii(c);
    return out;
}

std::string toUpperAscii(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = foldAscii(c);
    return out;
}

std::vector<std::string> splitNonEmpty(char separator, std::string_view text)
{
    std::vector<std::string> fields;
    SplitFields(separator, text, fields);
    std::erase_if(fields, [](const std::string &field) { return field.empty(); });
    return fields;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    const auto lower = lowerAscii;
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

} // namespace lintrel
