// Fuzz target: a file imported into the email text, its statistics and Format at a chosen
// maximum. Checks that decoding and wrapping lose and add no character, that every line fits
// where the wrapping rules allow, that a second Format changes nothing, that the UTF-16 and
// piecewise forms agree, and that the SIMD kernels agree with the scalar reference.
//
// Input: two bytes for the maximum line length and one for a split position, then the file.
#include "formatter/line_wrap.h"
#include "formatter/text_file.h"
#include "formatter/text_samples.h"
#include "formatter/text_stats.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using lintrel::TextStats;

void check(bool holds)
{
    if (!holds)
        std::abort();
}

std::string withoutLineBreaks(std::string_view text)
{
    std::string out;
    for (char c : text)
        if (c != '\r' && c != '\n')
            out += c;
    return out;
}

bool startsCodePoint(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

bool isBreakChar(std::string_view cp)
{
    return cp == " " || cp == "." || cp == ":" || cp == ";";
}

// The lines of a text (CR LF, lone CR or lone LF between them) and where each code point of
// each line starts, kept in one array to spare the allocator.
class Lines
{
public:
    explicit Lines(std::string_view text) : text_(text)
    {
        std::size_t begin = 0;
        for (std::size_t i = 0;; ++i) {
            if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
                lines_.push_back({starts_.size(), 0, i});
                for (std::size_t k = begin; k < i; ++k)
                    if (k == begin || startsCodePoint(text[k]))
                        starts_.push_back(k);
                lines_.back().count = starts_.size() - lines_.back().first;
                if (i == text.size())
                    return;
                if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                    ++i;
                begin = i + 1;
            }
        }
    }

    std::size_t count() const { return lines_.size(); }
    // The number of code points of line n.
    std::size_t size(std::size_t n) const { return lines_[n].count; }
    // Code points [from, to) of line n.
    std::string_view codePoints(std::size_t n, std::size_t from, std::size_t to) const
    {
        const LineInfo &line = lines_[n];
        const std::size_t begin = from < line.count ? starts_[line.first + from] : line.end;
        const std::size_t end = to < line.count ? starts_[line.first + to] : line.end;
        return text_.substr(begin, end - begin);
    }

private:
    struct LineInfo
    {
        std::size_t first, count, end; // first code point in starts_, their count, end offset
    };
    std::string_view text_;
    std::vector<std::size_t> starts_;
    std::vector<LineInfo> lines_;
};

// The wrapper one line and one code point at a time: cut after the last break character
// among the first max + 1 code points, else after max, never leaving an empty rest.
std::string referenceWrap(std::string_view text, std::size_t max)
{
    const Lines lines(text);
    std::string out;
    for (std::size_t n = 0; n < lines.count(); ++n) {
        const std::size_t size = lines.size(n);
        std::size_t start = 0;
        while (size - start > max) {
            std::size_t head = max;
            for (std::size_t p = max + 1; p > 0; --p) {
                if (isBreakChar(lines.codePoints(n, start + p - 1, start + p))) {
                    head = p;
                    break;
                }
            }
            if (start + head == size)
                break;
            out += lines.codePoints(n, start, start + head);
            out += "\r\n";
            start += head;
        }
        out += lines.codePoints(n, start, size);
        if (n + 1 < lines.count())
            out += "\r\n";
    }
    return out;
}

// Every line fits in max code points, except one that ends in a break character at max + 1
// (the cut after it is the one the rules choose, or would leave an empty rest).
void checkLineLengths(std::string_view wrapped, std::size_t max)
{
    const Lines lines(wrapped);
    for (std::size_t n = 0; n < lines.count(); ++n)
        check(lines.size(n) <= max ||
              (lines.size(n) == max + 1 && isBreakChar(lines.codePoints(n, max, max + 1))));
}

void checkStats(std::string_view text)
{
    using namespace lintrel::detail;
    const TextStats reference = computeTextStatsScalar(text);
    check(lintrel::computeTextStats(text) == reference);
    check(statsSse2(text.data(), text.size()) == reference);
    if (cpuHasAvx2())
        check(statsAvx2(text.data(), text.size()) == reference);
}

void checkStatsUtf16(std::u16string_view text, const TextStats &utf8)
{
    using namespace lintrel::detail;
    const TextStats reference = computeTextStatsScalar(text);
    check(reference == utf8);
    check(lintrel::computeTextStats(text) == reference);
    check(statsSse2(text.data(), text.size()) == reference);
    if (cpuHasAvx2())
        check(statsAvx2(text.data(), text.size()) == reference);
}

// The counter fed in three pieces, cut anywhere (inside a character too).
void checkStatsInPieces(std::string_view text, std::size_t cut)
{
    const std::size_t a = std::min(cut, text.size());
    const std::size_t b = a + (text.size() - a) / 2;
    lintrel::TextStatsCounter counter;
    counter.add(text.substr(0, a));
    counter.add(text.substr(a, b - a));
    counter.add(text.substr(b));
    check(counter.result() == lintrel::computeTextStats(text));
}

void checkWrap(const std::string &text, std::size_t max, std::size_t cut)
{
    const std::string wrapped = lintrel::wrapText(text, std::int64_t(max));
    check(withoutLineBreaks(wrapped) == withoutLineBreaks(text));
    check(wrapped == referenceWrap(text, max));
    checkLineLengths(wrapped, max);
    check(lintrel::wrapText(wrapped, std::int64_t(max)) == wrapped);

    std::string lf = wrapped;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;)
        lf.erase(at, 1);
    check(lintrel::wrapText(text, std::int64_t(max), "\n") == lf);
    check(lintrel::wrapText(lintrel::test::toUtf16(text), std::int64_t(max), u"\r\n") ==
          lintrel::test::toUtf16(wrapped));

    // Piece by piece, split right after a line break.
    const std::size_t split = text.find("\r\n", std::min(cut, text.size()));
    if (split != std::string::npos) {
        std::string pieces;
        lintrel::appendWrappedText(pieces, std::string_view(text).substr(0, split + 2),
                                   std::int64_t(max), "\r\n");
        lintrel::appendWrappedText(pieces, std::string_view(text).substr(split + 2),
                                   std::int64_t(max), "\r\n");
        check(pieces == wrapped);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 3)
        return 0;
    const std::size_t max = 1 + ((std::size_t(data[0]) << 8 | data[1]) % 160);
    const std::size_t cut = data[2];
    const std::string_view file(reinterpret_cast<const char *>(data + 3), size - 3);

    // Import: valid UTF-8 is kept (less a byte-order mark); any other file is Windows-1252,
    // one character per byte.
    const std::string decoded = lintrel::decodeTextBytes(file);
    check(lintrel::isValidUtf8(decoded));
    if (lintrel::isValidUtf8(file))
        check(decoded == (file.starts_with("\xEF\xBB\xBF") ? file.substr(3) : file));
    else
        check(lintrel::computeTextStats(lintrel::decodeWindows1252(file)).characters +
                  std::int64_t(std::count(file.begin(), file.end(), '\r') +
                               std::count(file.begin(), file.end(), '\n')) ==
              std::int64_t(file.size()));
    const std::string text = lintrel::normalizeLineBreaks(decoded);
    check(withoutLineBreaks(text) == withoutLineBreaks(decoded));

    checkStats(file);
    checkStats(text);
    checkStatsUtf16(lintrel::test::toUtf16(text), lintrel::computeTextStats(text));
    checkStatsInPieces(file, cut);
    checkWrap(text, max, cut);
    // The raw bytes, valid or not: wrapping keeps every byte.
    check(withoutLineBreaks(lintrel::wrapText(file, std::int64_t(max))) == withoutLineBreaks(file));
    return 0;
}
