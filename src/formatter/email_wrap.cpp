// Email-aware Format and Reflow: lines and paragraphs, pieces, plain and flowed output.
#include "formatter/email_wrap.h"

#include "formatter/email_cut.h"
#include "formatter/flowed.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace lintrel {

namespace {

using detail::AsciiChars;
using detail::Cut;
using detail::CutContext;
using detail::MeasuredChars;

struct Line
{
    std::string_view text;
    bool ascii = true;
};

// The lines of a text, split at CR LF, lone CR and lone LF. A text that ends in a line break
// has a final empty line, so that writing the lines with a break between them keeps it.
class LineReader
{
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool next(Line &line)
    {
        if (done_)
            return false;
        const size_t start = pos_;
        const size_t end = start + scanLine(text_.data() + start, text_.size() - start, line.ascii);
        line.text = text_.substr(start, end - start);
        if (end == text_.size()) {
            done_ = true;
        } else {
            pos_ =
                end +
                ((text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n') ? 2 : 1);
        }
        return true;
    }

private:
    // The length of the line at p (up to CR, LF or the end) and whether it is all ASCII.
    static size_t scanLine(const char *p, size_t n, bool &ascii)
    {
        constexpr uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
        uint64_t seen = 0;
        size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            uint64_t w;
            std::memcpy(&w, p + i, 8);
            const uint64_t lf = w ^ (ones * '\n'), cr = w ^ (ones * '\r');
            if ((((lf - ones) & ~lf) | ((cr - ones) & ~cr)) & highs)
                break;
            seen |= w;
        }
        for (; i < n && p[i] != '\n' && p[i] != '\r'; ++i)
            seen |= uint64_t(static_cast<unsigned char>(p[i]));
        ascii = (seen & highs) == 0;
        return i;
    }

    std::string_view text_;
    size_t pos_ = 0;
    bool done_ = false;
};

std::string_view trimEnd(std::string_view text)
{
    const size_t end = text.find_last_not_of(" \t");
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string_view trimStart(std::string_view text)
{
    const size_t start = text.find_first_not_of(" \t");
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

std::string_view indentOf(int64_t width)
{
    static constexpr std::string_view spaces = "                ";
    return spaces.substr(0, size_t(std::clamp<int64_t>(width, 0, int64_t(spaces.size()))));
}

// The output text with a line break between lines.
struct LineOut
{
    std::string &out;
    std::string_view newline;
    bool first = true;

    void startLine()
    {
        if (!first)
            out += newline;
        first = false;
    }
};

// Plain text: prefix, lead and head as they are, a line break between lines.
struct PlainOut : LineOut
{
    static constexpr bool kPlain = true;
    void verbatim(std::string_view line, size_t /*prefixBytes*/, int /*depth*/)
    {
        startLine();
        out += line;
    }
    void piece(std::string_view prefix, int /*depth*/, std::string_view lead, std::string_view head,
               bool space, bool /*soft*/)
    {
        startLine();
        out += prefix;
        out += lead;
        out += head;
        if (space)
            out += ' ';
    }
};

// format=flowed: every piece cut by the wrapper ends in a soft break, every other break is hard.
struct FlowedOut : LineOut
{
    static constexpr bool kPlain = false;
    void verbatim(std::string_view line, size_t prefixBytes, int depth)
    {
        startLine();
        appendFlowedLine(out, depth, {}, line.substr(prefixBytes), false);
    }
    void piece(std::string_view /*prefix*/, int depth, std::string_view lead, std::string_view head,
               bool /*space*/, bool soft)
    {
        // A reader joins the pieces of a paragraph: a hanging indent would become part of it.
        if (lead.find_first_not_of(' ') == std::string_view::npos)
            lead = {};
        startLine();
        appendFlowedLine(out, depth, lead, head, soft);
    }
};

// One line (or joined paragraph) to cut: its quote prefix, list marker and text.
struct Body
{
    std::string_view prefix;
    int depth = 0;
    std::string_view marker;
    std::string_view text;
    bool ascii = true;
};

template <class Out> class EmailWrapper
{
public:
    EmailWrapper(const EmailWrapOptions &options, Out &out, bool reflow)
        : measure_(options.measure ? *options.measure : charMeasure(Measure::Clusters)),
          max_(std::min<int64_t>(options.maxLength, int64_t(1) << 48)), out_(out), reflow_(reflow)
    {
        if (options.maxLength < 1)
            throw std::invalid_argument("emailFormat: maxLength must be at least 1");
    }

    void formatLines(std::string_view text)
    {
        LineReader reader(text);
        Line line;
        while (reader.next(line)) {
            if (signature(line))
                continue;
            if (Out::kPlain && int64_t(line.text.size()) <= max_) {
                out_.verbatim(line.text, 0, 0); // fits in any measure: no width exceeds bytes
                continue;
            }
            const LineShape shape = shapeOfLine(line.text);
            if (shape.preformatted || shape.blank)
                out_.verbatim(line.text, shape.prefixBytes, shape.depth);
            else
                wrap(bodyOf(line, shape));
        }
    }

    void reflowParagraphs(std::string_view text)
    {
        LineReader reader(text);
        Line line;
        while (reader.next(line)) {
            if (signature(line))
                continue;
            const LineShape shape = shapeOfLine(line.text);
            if (shape.preformatted || shape.blank) {
                out_.verbatim(line.text, shape.prefixBytes, shape.depth);
                continue;
            }
            Body body = bodyOf(line, shape);
            joinParagraph(reader, shape.depth, body);
            body.text = trimEnd(body.text);
            wrap(body);
        }
    }

private:
    // Lines from the signature separator on are written as they are.
    bool signature(const Line &line)
    {
        inSignature_ = inSignature_ || isSignatureSeparator(line.text);
        if (inSignature_)
            out_.verbatim(line.text, 0, 0);
        return inSignature_;
    }

    static Body bodyOf(const Line &line, const LineShape &shape)
    {
        const size_t textStart = shape.prefixBytes + shape.markerBytes;
        return {line.text.substr(0, shape.prefixBytes), shape.depth,
                line.text.substr(shape.prefixBytes, shape.markerBytes), line.text.substr(textStart),
                line.ascii};
    }

    // Appends the paragraph's further lines to body, each after one space.
    void joinParagraph(LineReader &reader, int depth, Body &body)
    {
        bool joined = false;
        for (;;) {
            LineReader probe = reader;
            Line line;
            if (!probe.next(line) || isSignatureSeparator(line.text))
                break;
            const LineShape shape = shapeOfLine(line.text);
            if (shape.depth != depth || shape.preformatted || shape.blank || shape.markerBytes)
                break;
            if (!joined)
                paragraph_.assign(body.text);
            joined = true;
            paragraph_.resize(trimEnd(paragraph_).size());
            if (!paragraph_.empty())
                paragraph_ += ' ';
            paragraph_ += trimStart(line.text.substr(shape.prefixBytes));
            body.ascii = body.ascii && line.ascii;
            reader = probe;
        }
        if (joined)
            body.text = paragraph_;
    }

    void wrap(const Body &body)
    {
        const int64_t markerWidth = measureWidth(measure_, body.marker);
        const int64_t room = std::max<int64_t>(1, max_ - int64_t(body.prefix.size()) - markerWidth);
        if (body.ascii) {
            cutPieces(AsciiChars{body.text}, body, markerWidth, room);
        } else {
            measured_.measure(body.text, measure_);
            cutPieces(measured_, body, markerWidth, room);
        }
    }

    template <class Chars>
    void cutPieces(const Chars &chars, const Body &body, int64_t markerWidth, int64_t room)
    {
        const size_t n = chars.size();
        size_t visibleEnd = n;
        while (visibleEnd > 0 && isWhite(chars.classOf(visibleEnd - 1)))
            --visibleEnd;
        CutContext context{room, body.marker.empty()};
        auto slice = [&](size_t from, size_t to) {
            return body.text.substr(chars.offset(from), chars.offset(to) - chars.offset(from));
        };
        std::string_view lead = body.marker;
        for (size_t start = 0;;) {
            const Cut cut = chars.widthBefore(visibleEnd) - chars.widthBefore(start) <= room
                                ? Cut{visibleEnd, n}
                                : detail::findCut(chars, start, visibleEnd, context);
            if (cut.next >= visibleEnd) {
                out_.piece(body.prefix, body.depth, lead, slice(start, reflow_ ? visibleEnd : n),
                           false, false);
                return;
            }
            const size_t headEnd = reflow_ ? cut.headEnd : cut.next;
            out_.piece(body.prefix, body.depth, lead, slice(start, headEnd),
                       reflow_ && cut.headEnd != cut.next, true);
            start = cut.next;
            lead = indentOf(markerWidth);
        }
    }

    const CharMeasure &measure_;
    int64_t max_;
    Out &out_;
    bool reflow_;
    bool inSignature_ = false;
    std::string paragraph_;
    MeasuredChars measured_;
};

template <class Out>
std::string run(std::string_view text, const EmailWrapOptions &options, bool reflow)
{
    std::string result;
    result.reserve(text.size() + text.size() / 8 + 16);
    Out out{{result, options.newline}};
    EmailWrapper<Out> wrapper(options, out, reflow);
    if (reflow)
        wrapper.reflowParagraphs(text);
    else
        wrapper.formatLines(text);
    return result;
}

} // namespace

std::string emailFormat(std::string_view utf8, const EmailWrapOptions &options)
{
    return options.flowed ? run<FlowedOut>(utf8, options, false)
                          : run<PlainOut>(utf8, options, false);
}

std::string emailReflow(std::string_view utf8, const EmailWrapOptions &options)
{
    return options.flowed ? run<FlowedOut>(utf8, options, true)
                          : run<PlainOut>(utf8, options, true);
}

} // namespace lintrel
