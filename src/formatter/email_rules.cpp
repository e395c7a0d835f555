// The email rules for one line: quote prefix, list marker, line kinds and unbreakable tokens.
#include "formatter/email_rules.h"

namespace lintrel {

namespace {

// A measure on the formatter's cluster segmentation, restarted at each character's start
// (every character the rules look at begins at a cluster boundary).
class ClusterMeasure final : public CharMeasure
{
public:
    explicit ClusterMeasure(Measure measure) : columns_(measure == Measure::Columns) {}

    size_t next(std::string_view text, size_t pos, int &width) const override
    {
        unicode::ClusterState state;
        int columns = 0;
        size_t end = pos;
        do {
            const unicode::Decoded d = unicode::decode(text.data() + end, text.size() - end);
            uint32_t gain = 0;
            if (unicode::advance(state, d.cp, gain) && end > pos)
                break;
            columns += int(gain);
            end += d.length;
        } while (end < text.size());
        width = columns_ ? columns : 1;
        return end;
    }

private:
    bool columns_;
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

const CharMeasure &charMeasure(Measure measure)
{
    static const ClusterMeasure clusters(Measure::Clusters), columns(Measure::Columns);
    return measure == Measure::Columns ? columns : clusters;
}

CharClass classOfNonAscii(std::string_view text, size_t pos)
{
    const char32_t cp = unicode::decode(text.data() + pos, text.size() - pos).cp;
    const uint8_t flags = unicode::classOf(cp);
    if (!(flags & unicode::kBreak))
        return CharClass::Word;
    // A full stop or colon form, else a breakable space (or the full-width semicolon, which
    // a cut may follow as it may a space).
    const bool stop = flags == unicode::classOf('.') || flags == unicode::classOf(':');
    return stop ? CharClass::Stop : CharClass::Space;
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
