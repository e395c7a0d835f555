// The news server's content folder: news items, accepted publishers and the update descriptor.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel::newsd {

// One news item, read from news/<id>.html.
struct NewsItem
{
    std::uint64_t id = 0;
    std::string title;     // bytes as sent in records: no "^", no byte 0xAF, no control bytes
    std::string published; // same rules as the title; may be empty
    std::string body;      // the HTML, bytes as in the file
};

// The publisher ids and brand codes accepted for one brand level.
struct PublisherLevel
{
    std::string level;    // "Master", "Platinum" or "Gold"
    std::string prodType; // "BM", "BP" or "BG"
    std::vector<std::string> publisherIds;
    std::vector<std::string> brandCodes;
};

struct NewsContent
{
    std::vector<NewsItem> items; // newest (largest id) first
    std::vector<PublisherLevel> levels;
    bool publishersMissing = false;        // no readable publishers.ini
    std::optional<std::string> descriptor; // mainappupdate.inf, when present
    std::vector<std::string> warnings;     // what was skipped or doubtful, one line each
};

// Largest news file read; a bigger one is skipped with a warning.
inline constexpr std::size_t kMaxNewsFileBytes = 4u << 20;

// Reads the folder: publishers.ini, mainappupdate.inf and news/*.html. Never throws for bad
// content: what cannot be used is left out and named in warnings.
NewsContent loadNewsContent(const std::string &dir);

// The parts of loadNewsContent, for reading again only what changed.
void readPublishersFile(const std::string &dir, NewsContent &content);
void readDescriptorFile(const std::string &dir, NewsContent &content);
// The names in the news folder (a warning when there is no such folder).
std::vector<std::string> listNewsFolder(const std::string &newsDir,
                                        std::vector<std::string> &warnings);
// Names starting with "." or ending in "~" (temporary and editor files) are passed over
// without a warning.
bool isQuietlyIgnored(std::string_view name);
// One news file: its item, or nullopt with the reason added to warnings (none for a name
// passed over quietly).
std::optional<NewsItem> readNewsFile(const std::string &newsDir, const std::string &name,
                                     std::vector<std::string> &warnings);
// Sorts the items newest first; of two files with the same id (7.html, 007.html) one is kept.
void sortNewestFirst(NewsContent &content);

// Parses the text of one news file named fileName ("<id>.html"). On failure returns nullopt
// and sets why.
std::optional<NewsItem> parseNewsItem(std::string_view fileName, std::string_view bytes,
                                      std::string &why);

// Reads publishers.ini text: sections Master, Platinum and Gold with comma-separated
// PublisherIds and BrandCodes.
std::vector<PublisherLevel> parsePublishers(std::string_view iniText);

// A field value for a record, or nullopt when it cannot travel in one: "^" and byte 0xAF
// separate fields and records, and control bytes would break the answer. A UTF-8 value
// holding byte 0xAF (as in "ï") is rewritten in Windows-1252 when that has every character;
// the program reads record text as UTF-8 when valid and as Windows-1252 otherwise.
std::optional<std::string> recordFieldValue(std::string_view value);

} // namespace lintrel::newsd
