// Reading the brand document as lines and joining them again.
#include "brand/brand_document.h"

namespace lintrel {

std::vector<std::string> readDocumentLines(std::string_view bytes)
{
    const std::size_t zero = bytes.find('\0');
    if (zero != std::string_view::npos)
        bytes = bytes.substr(0, zero);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.emplace_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.emplace_back(bytes.substr(start));
    return lines;
}

std::string joinDocumentLines(const std::vector<std::string> &lines)
{
    std::string out;
    for (const std::string &line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

} // namespace lintrel
