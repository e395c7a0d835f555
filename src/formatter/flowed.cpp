// RFC 3676 format=flowed with DelSp=No: the line writer and the reader.
#include "formatter/flowed.h"

#include "formatter/email_rules.h"

#include <vector>

namespace lintrel {

namespace {

std::string_view trimTrailingWhite(std::string_view text)
{
    const size_t end = text.find_last_not_of(" \t");
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

// The next line of text from `pos` on (without its break); moves pos past the break.
std::string_view nextLine(std::string_view text, size_t &pos)
{
    const size_t start = pos;
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n')
        ++end;
    pos = end;
    if (pos < text.size())
        pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
    return text.substr(start, end - start);
}

bool endsWithBreak(std::string_view text)
{
    return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

} // namespace

void appendFlowedLine(std::string &out, int depth, std::string_view lead, std::string_view body,
                      bool soft)
{
    if (!soft && !(depth == 0 && lead.empty() && body == "-- ")) {
        body = trimTrailingWhite(body);
        if (body.empty())
            lead = trimTrailingWhite(lead);
    }
    const std::string_view start = lead.empty() ? body : lead;
    if (depth > 0) {
        out.append(size_t(depth), '>');
        if (!lead.empty() || !body.empty())
            out += ' ';
    } else if (start.starts_with(' ') || start.starts_with('>') || start.starts_with("From ")) {
        out += ' ';
    }
    out += lead;
    out += body;
    if (soft && (body.empty() ? lead : body).back() != ' ')
        out += ' ';
}

std::string flowedFromWrap(std::string_view original, std::string_view wrapped,
                           std::string_view newline)
{
    // Which lines of `wrapped` end in an inserted break.
    std::vector<bool> soft;
    size_t originalPos = 0, wrappedPos = 0;
    std::string_view rest = nextLine(original, originalPos);
    bool matches = true;
    while (matches && wrappedPos < wrapped.size()) {
        const std::string_view line = nextLine(wrapped, wrappedPos);
        matches = rest.starts_with(line) && (!line.empty() || rest.empty());
        soft.push_back(matches && rest.size() > line.size());
        rest.remove_prefix(matches ? line.size() : 0);
        if (matches && !soft.back())
            rest = nextLine(original, originalPos);
    }
    std::string out;
    out.reserve(wrapped.size() + wrapped.size() / 16);
    bool inSignature = false;
    size_t index = 0;
    for (size_t pos = 0; pos < wrapped.size() || index == 0; ++index) {
        const std::string_view line = nextLine(wrapped, pos);
        if (index > 0)
            out += newline;
        inSignature = inSignature || isSignatureSeparator(line);
        const LineShape shape = inSignature ? LineShape{} : shapeOfLine(line);
        appendFlowedLine(out, shape.depth, {}, line.substr(shape.prefixBytes),
                         matches && index < soft.size() && soft[index]);
        if (pos == wrapped.size() && endsWithBreak(wrapped))
            out += newline;
    }
    return out;
}

std::string unflowText(std::string_view flowed, std::string_view newline)
{
    std::string out;
    out.reserve(flowed.size());
    std::string paragraph;
    int paragraphDepth = -1; // -1: no paragraph open
    bool firstLine = true;
    auto flush = [&] {
        if (paragraphDepth < 0)
            return;
        if (!firstLine)
            out += newline;
        firstLine = false;
        out.append(size_t(paragraphDepth), '>');
        if (paragraphDepth > 0 && !paragraph.empty())
            out += ' ';
        out += paragraph;
        paragraph.clear();
        paragraphDepth = -1;
    };
    const bool finalBreak = endsWithBreak(flowed);
    for (size_t pos = 0; pos < flowed.size();) {
        std::string_view line = nextLine(flowed, pos);
        int depth = 0;
        while (size_t(depth) < line.size() && line[size_t(depth)] == '>')
            ++depth;
        line.remove_prefix(size_t(depth));
        if (line.starts_with(' '))
            line.remove_prefix(1); // the space after the quote marks, or space-stuffing
        if (depth != paragraphDepth)
            flush();
        paragraphDepth = depth;
        paragraph += line;
        const bool soft = line.ends_with(' ') && line != "-- ";
        if (!soft)
            flush();
    }
    flush();
    if (finalBreak)
        out += newline;
    return out;
}

} // namespace lintrel
