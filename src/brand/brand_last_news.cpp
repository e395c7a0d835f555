// The last-news marker: read from the joined document, written as one line of it.
#include "brand/brand_last_news.h"

#include "brand/brand_document.h"
#include "util/fields.h"

namespace lintrel {

std::string extractLastNewsId(std::string_view joinedText)
{
    std::string work(joinedText);
    return ExtractTagValue(openingTag(kLastNewsIdTag), closingTag(kLastNewsIdTag), work);
}

std::vector<std::string> setLastNewsIdLine(std::vector<std::string> lines, std::string_view id)
{
    std::string cleanId;
    for (char c : id) {
        if (c != '\r' && c != '\n' && c != '\0')
            cleanId.push_back(c);
    }
    const std::string open = openingTag(kLastNewsIdTag);
    std::string marker = open + cleanId + closingTag(kLastNewsIdTag);
    for (std::string &line : lines) {
        if (line.find(open) != std::string::npos) {
            line = std::move(marker);
            return lines;
        }
    }
    lines.push_back(std::move(marker));
    return lines;
}

} // namespace lintrel
