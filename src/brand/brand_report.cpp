// The plain-text listing of a loaded brand document.
#include "brand/brand_report.h"

namespace lintrel {

namespace {

void addLine(std::string &out, std::string_view name, std::string_view value)
{
    out += name;
    out += '=';
    out += escapeLineBreaks(value);
    out += '\n';
}

void addEntries(std::string &out, std::string_view family, const std::vector<std::string> &list)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        addLine(out, std::string(family) + std::to_string(i + 1), list[i]);
}

} // namespace

std::string escapeLineBreaks(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::string brandReport(const BrandLoadResult &result)
{
    std::string out;
    for (const BrandField &field : kBrandFields)
        addLine(out, field.tag, result.settings.*field.member);
    addEntries(out, kEntryFamilies[0], result.welcomeEntries);
    addEntries(out, kEntryFamilies[1], result.bannerEntries);
    addEntries(out, kEntryFamilies[2], result.linkEntries);
    addLine(out, "NewsButton", result.newsButtonVisible ? "shown" : "hidden");
    return out;
}

} // namespace lintrel
