// Tag scanning and tag-name lookup for the brand document checks.
#include "brand/brand_lint_tags.h"

#include "brand/brand_document.h"
#include "util/fields.h"

#include <algorithm>
#include <map>

namespace lintrel {

namespace {

constexpr std::string_view kOpen = "<%%";
constexpr std::string_view kClose = "%%>";
constexpr std::size_t kMaxTagLength = 64; // longer text between the marks is not a tag

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

const std::vector<std::string> &knownNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const BrandField &f : kBrandFields)
            list.emplace_back(f.tag);
        for (std::string_view family : kEntryFamilies) {
            for (int n = 1; n <= kMaxEntries; ++n)
                list.push_back(std::string(family) + std::to_string(n));
        }
        list.emplace_back(kLastNewsIdTag);
        return list;
    }();
    return names;
}

std::size_t editDistance(std::string_view a, std::string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Length of the tag starting at pos (0 when there is none) and its parts.
std::size_t parseTag(std::string_view text, std::size_t pos, DocumentTag &tag)
{
    std::size_t i = pos + kOpen.size();
    tag.closing = i < text.size() && text[i] == '/';
    if (tag.closing)
        ++i;
    const std::size_t nameStart = i;
    while (i < text.size() && isNameChar(text[i]))
        ++i;
    if (i == nameStart || text.substr(i, kClose.size()) != kClose)
        return 0;
    tag.pos = pos;
    tag.name = std::string(text.substr(nameStart, i - nameStart));
    return i + kClose.size() - pos;
}

} // namespace

std::vector<DocumentTag> scanTags(std::string_view text)
{
    std::vector<DocumentTag> tags;
    for (std::size_t pos = text.find(kOpen); pos != std::string_view::npos;
         pos = text.find(kOpen, pos + 1)) {
        DocumentTag tag;
        if (parseTag(text, pos, tag) != 0)
            tags.push_back(std::move(tag));
    }
    return tags;
}

std::vector<std::string> malformedTags(std::string_view text)
{
    std::vector<std::string> found;
    for (std::size_t pos = text.find(kOpen); pos != std::string_view::npos;
         pos = text.find(kOpen, pos + 1)) {
        DocumentTag tag;
        if (parseTag(text, pos, tag) != 0)
            continue;
        const std::string_view window = text.substr(pos, kMaxTagLength + kClose.size());
        const std::size_t end = window.find(kClose, kOpen.size());
        if (end == std::string_view::npos)
            continue;
        const std::string_view candidate = window.substr(0, end + kClose.size());
        if (candidate.find_first_of("\r\n") == std::string_view::npos &&
            candidate.find(kOpen, 1) == std::string_view::npos)
            found.emplace_back(candidate);
    }
    return found;
}

std::string knownTagName(std::string_view name)
{
    static const std::map<std::string, std::string> byKey = [] {
        std::map<std::string, std::string> map;
        for (const std::string &known : knownNames())
            map.emplace(toUpperAscii(known), known);
        return map;
    }();
    if (name.size() > kMaxTagLength)
        return {};
    const auto it = byKey.find(toUpperAscii(name));
    return it == byKey.end() ? std::string() : it->second;
}

std::string nearestKnownTagName(std::string_view name)
{
    const std::string key = toUpperAscii(name);
    std::string best;
    if (key.size() > kMaxTagLength)
        return best;
    std::size_t bestDistance = std::max<std::size_t>(2, key.size() / 4) + 1;
    for (const std::string &known : knownNames()) {
        const std::size_t d = editDistance(key, toUpperAscii(known));
        if (d < bestDistance) {
            bestDistance = d;
            best = known;
        }
    }
    return best;
}

} // namespace lintrel
