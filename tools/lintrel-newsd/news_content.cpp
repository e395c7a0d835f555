// Reading the news server's content folder.
#include "news_content.h"

#include "update/profile_reader.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace lintrel::newsd {

namespace fs = std::filesystem;

namespace {

// The program reads news ids as signed 32-bit numbers.
constexpr std::uint64_t kMaxProgramNewsId = 2147483647;

std::string_view trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
               return lower(x) == lower(y);
           });
}

std::vector<std::string> commaList(std::string_view s)
{
    std::vector<std::string> out;
    while (!s.empty()) {
        const auto comma = s.find(',');
        const std::string_view part = trimmed(s.substr(0, comma));
        if (!part.empty())
            out.emplace_back(part);
        s = comma == std::string_view::npos ? std::string_view() : s.substr(comma + 1);
    }
    return out;
}

// The news id of a file name "<digits>.html", or nullopt.
std::optional<std::uint64_t> idFromFileName(std::string_view name)
{
    constexpr std::string_view ext = ".html";
    if (name.size() <= ext.size() || name.substr(name.size() - ext.size()) != ext)
        return std::nullopt;
    const std::string_view digits = name.substr(0, name.size() - ext.size());
    if (digits.size() > 18 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::uint64_t id = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), id);
    return id;
}

std::optional<std::string> readFile(const fs::path &path, std::size_t limit, std::string &why)
{
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) {
        why = ec.message();
        return std::nullopt;
    }
    if (size > limit) {
        why = "larger than " + std::to_string(limit) + " bytes";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = "cannot be opened";
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Sets the header field named by key; false for a key that is not known.
bool setHeaderField(NewsItem &item, std::string_view key, std::string_view value, std::string &why)
{
    std::string *target = equalsIgnoringCase(key, "Title")       ? &item.title
                          : equalsIgnoringCase(key, "Published") ? &item.published
                                                                 : nullptr;
    if (target == nullptr) {
        why = "unknown header line \"" + std::string(key) + ":\" (use Title and Published)";
        return false;
    }
    const auto field = recordFieldValue(value);
    if (!field) {
        why = "the " + std::string(key) +
              " holds \"^\", a control character or a character that cannot be sent";
        return false;
    }
    *target = *field;
    return true;
}

} // namespace

void sortNewestFirst(NewsContent &content)
{
    auto &items = content.items;
    const auto sameId = [](const NewsItem &a, const NewsItem &b) { return a.id == b.id; };
    std::sort(items.begin(), items.end(),
              [](const NewsItem &a, const NewsItem &b) { return a.id > b.id; });
    const auto dup = std::adjacent_find(items.begin(), items.end(), sameId);
    if (dup != items.end())
        content.warnings.push_back("news/: two files carry the id " + std::to_string(dup->id) +
                                   "; only one is served");
    items.erase(std::unique(items.begin(), items.end(), sameId), items.end());
}

bool isQuietlyIgnored(std::string_view name)
{
    return name.empty() || name.front() == '.' || name.back() == '~';
}

std::optional<NewsItem> readNewsFile(const std::string &newsDir, const std::string &name,
                                     std::vector<std::string> &warnings)
{
    if (isQuietlyIgnored(name))
        return std::nullopt;
    const auto id = idFromFileName(name);
    if (!id) {
        warnings.push_back("news/" + name + ": skipped (name items <id>.html)");
        return std::nullopt;
    }
    std::string why;
    const auto bytes = readFile(fs::path(newsDir) / name, kMaxNewsFileBytes, why);
    std::optional<NewsItem> item;
    if (bytes)
        item = parseNewsItem(name, *bytes, why);
    if (!item) {
        warnings.push_back("news/" + name + ": skipped: " + why);
        return std::nullopt;
    }
    if (item->id > kMaxProgramNewsId)
        warnings.push_back("news/" + name +
                           ": the program compares ids as numbers up to 2147483647; "
                           "a larger id does not count as newer there");
    return item;
}

std::optional<NewsItem> parseNewsItem(std::string_view fileName, std::string_view bytes,
                                      std::string &why)
{
    NewsItem item;
    item.id = idFromFileName(fileName).value_or(0);
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    while (true) {
        const auto eol = bytes.find('\n');
        if (eol == std::string_view::npos) {
            why = "no empty line between the header and the HTML body";
            return std::nullopt;
        }
        const std::string_view line = trimmed(bytes.substr(0, eol));
        bytes.remove_prefix(eol + 1);
        if (line.empty())
            break;
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) {
            why = "header line without \":\": \"" + std::string(line) + "\"";
            return std::nullopt;
        }
        if (!setHeaderField(item, trimmed(line.substr(0, colon)), trimmed(line.substr(colon + 1)),
                            why))
            return std::nullopt;
    }
    if (item.title.empty()) {
        why = "no Title line";
        return std::nullopt;
    }
    item.body = std::string(bytes);
    return item;
}

std::vector<PublisherLevel> parsePublishers(std::string_view iniText)
{
    static constexpr std::pair<std::string_view, std::string_view> kLevels[] = {
        {"Master", "BM"}, {"Platinum", "BP"}, {"Gold", "BG"}};
    std::vector<PublisherLevel> levels;
    for (const auto &[level, prodType] : kLevels) {
        PublisherLevel l{std::string(level), std::string(prodType),
                         commaList(readProfileString(iniText, level, "PublisherIds")),
                         commaList(readProfileString(iniText, level, "BrandCodes"))};
        if (!l.publisherIds.empty())
            levels.push_back(std::move(l));
    }
    return levels;
}

void readPublishersFile(const std::string &dir, NewsContent &content)
{
    std::string why;
    content.levels.clear();
    content.publishersMissing = false;
    if (const auto ini = readFile(fs::path(dir) / "publishers.ini", 1u << 20, why)) {
        content.levels = parsePublishers(*ini);
        if (content.levels.empty())
            content.warnings.push_back("publishers.ini: no level lists any PublisherIds");
    } else {
        content.publishersMissing = true;
        content.warnings.push_back("publishers.ini: " + why +
                                   "; every news request is answered CONNECTIONFAIL");
    }
}

void readDescriptorFile(const std::string &dir, NewsContent &content)
{
    const fs::path path = fs::path(dir) / "mainappupdate.inf";
    std::string why;
    content.descriptor.reset();
    std::error_code ec;
    if (fs::exists(path, ec)) {
        content.descriptor = readFile(path, 64u << 10, why);
        if (!content.descriptor)
            content.warnings.push_back("mainappupdate.inf: " + why);
    }
}

std::vector<std::string> listNewsFolder(const std::string &newsDir,
                                        std::vector<std::string> &warnings)
{
    std::vector<std::string> names;
    std::error_code ec;
    if (!fs::is_directory(newsDir, ec)) {
        warnings.push_back("news/: no such folder, so there are no news items");
        return names;
    }
    for (const auto &entry : fs::directory_iterator(newsDir, ec))
        names.push_back(entry.path().filename().string());
    return names;
}

NewsContent loadNewsContent(const std::string &dir)
{
    NewsContent content;
    readPublishersFile(dir, content);
    readDescriptorFile(dir, content);
    const std::string newsDir = (fs::path(dir) / "news").string();
    for (const std::string &name : listNewsFolder(newsDir, content.warnings)) {
        if (auto item = readNewsFile(newsDir, name, content.warnings))
            content.items.push_back(std::move(*item));
    }
    sortNewestFirst(content);
    return content;
}

} // namespace lintrel::newsd
