// File-dialog filters and the save dialog's extension rule.
#include "util/file_filter.h"

#include "util/fields.h"

#include <algorithm>

namespace lintrel {

std::vector<FileFilter> parseFileFilter(std::string_view filter)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= filter.size()) {
        const size_t bar = filter.find('|', start);
        const size_t end = bar == std::string_view::npos ? filter.size() : bar;
        parts.emplace_back(filter.substr(start, end - start));
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    std::vector<FileFilter> out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2)
        out.push_back({parts[i], parts[i + 1]});
    return out;
}

std::string qtNameFilter(const FileFilter &filter)
{
    std::string name = filter.name;
    const std::string shown = "(" + filter.mask + ")";
    if (name.size() >= shown.size() &&
        name.compare(name.size() - shown.size(), shown.size(), shown) == 0)
        name.erase(name.size() - shown.size());
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    const std::string mask = filter.mask == "*.*" ? std::string("*") : filter.mask;
    return name + " (" + mask + ")";
}

std::string applySaveExtension(std::string_view path, std::string_view mask)
{
    std::string result(path);
    if (mask.find(".*") != std::string_view::npos)
        return result;
    const size_t maskDot = mask.rfind('.');
    if (maskDot == std::string_view::npos)
        return result;
    const std::string_view wanted = mask.substr(maskDot); // ".txt"
    const size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    const std::string_view own =
        dot == std::string_view::npos ? std::string_view() : name.substr(dot);
    if (!equalsIgnoringAsciiCase(own, wanted))
        result += wanted;
    return result;
}

} // namespace lintrel
