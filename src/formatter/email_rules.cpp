// The email rules for one line: quote prefix, list marker, line kinds and unbreakable tokens.
#include "formatter/email_rules.h"

namespace lintrel {

namespace {

class CodePoints final : public CharMeasure
{
public:
    size_t next(std::string_view text, size_t pos, int &width) const override
    {
        width = 1;
        size_t end = pos + 1;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
        return end;
    }
};

bool startsWithNoCase(std::string_view text, std::string_view lowerPrefix)
{
    if (text.size() < lowerPrefix.size())
        return false;
    for (size_t i = 0; i < lowerPrefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != lowerPrefix[i])
            return false;
    }
    return true;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

const CharMeasure &codePointMeasure()
{
    static const CodePoints measure;
    return measure;
}

int64_t measureWidth(const CharMeasure &measure, std::string_view text)
{
    int64_t total = 0;
    for (size_t pos = 0; pos < text.size();) {
        int width = 0;
        pos = measure.next(text, pos, width);
        total += width;
    }
    return total;
}

LineShape shapeOfLine(std::string_view line)
{
    LineShape shape;
    size_t i = 0;
    while (i < line.size() && line[i] == '>') {
        ++shape.depth;
        ++i;
        if (i < line.size() && line[i] == ' ')
            ++i;
    }
    shape.prefixBytes = i;
    const std::string_view text = line.substr(i);
    shape.preformatted = text.starts_with('\t') || text.starts_with("    ");
    shape.blank = text.find_first_not_of(" \t") == std::string_view::npos;
    if (!shape.preformatted && !shape.blank)
        shape.markerBytes = listMarkerLength(text);
    return shape;
}

size_t listMarkerLength(std::string_view text)
{
    if (text.size() >= 2 && text[1] == ' ' && (text[0] == '-' || text[0] == '*' || text[0] == '+'))
        return 2;
    if (text.starts_with("\xE2\x80\xA2 ")) // "• "
        return 4;
    size_t digits = 0;
    while (digits < text.size() && digits < 4 && isDigit(text[digits]))
        ++digits;
    if (digits < 1 || digits > 3 || text.size() < digits + 2 || text[digits + 1] != ' ')
        return 0;
    return text[digits] == '.' || text[digits] == ')' ? digits + 2 : 0;
}

bool isUnbreakableToken(std::string_view token)
{
    if (token.find("://") != std::string_view::npos)
        return true;
    const size_t opened = token.find_first_not_of("<([{\"'");
    const std::string_view bare = opened == std::string_view::npos ? "" : token.substr(opened);
    if (startsWithNoCase(bare, "www.") || startsWithNoCase(bare, "mailto:"))
        return true;
    const size_t at = token.find('@');
    return at != std::string_view::npos && at > 0 &&
           token.find('.', at + 2) != std::string_view::npos;
}

bool startsLikeLineStructure(std::string_view rest)
{
    return rest.starts_with('>') || listMarkerLength(rest) != 0 || isSignatureSeparator(rest);
}

} // namespace lintrel
