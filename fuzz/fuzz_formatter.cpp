// Fuzz target: a file imported into the email text, its statistics and Format at a chosen
// maximum, in clusters and in screen columns. Checks that decoding and wrapping lose and add no
// character, that wrapping equals the cluster-by-cluster reference, that every line fits where
// the wrapping rules allow, that a second Format changes nothing, that the UTF-16 and
// piecewise forms agree, and that the SIMD kernels agree with the scalar reference.
//
// Input: two bytes for the maximum line length and one for a split position, then the file.
#include "formatter/line_wrap.h"
#include "formatter/text_file.h"
#include "formatter/text_samples.h"
#include "formatter/text_stats.h"
#include "formatter/wrap_reference.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using lintrel::Measure;
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

// The clusters of each line of a text (CR LF, lone CR or lone LF between lines).
std::vector<std::vector<lintrel::test::Cluster>> clusterLines(std::string_view text)
{
    std::vector<std::vector<lintrel::test::Cluster>> lines(1);
    for (lintrel::test::Cluster &c : lintrel::test::splitClusters(text)) {
        if (c.lineEnd)
            lines.emplace_back();
        else
            lines.back().push_back(std::move(c));
    }
    return lines;
}

// Every line fits in max clusters, except one whose cluster max + 1 is a break character
// (the cut after it is the one the rules choose, or would leave an empty rest). In columns,
// a line may pass max only by a last break cluster, or when it is a single cluster.
void checkLineLengths(std::string_view wrapped, std::size_t max, Measure measure)
{
    for (const auto &line : clusterLines(wrapped)) {
        std::size_t used = 0;
        for (const lintrel::test::Cluster &c : line)
            used += measure == Measure::Columns ? c.width : 1;
        if (used <= max || line.size() == 1)
            continue;
        const lintrel::test::Cluster &last = line.back();
        check((last.flags & lintrel::unicode::kBreak) != 0);
        check(used - (measure == Measure::Columns ? last.width : 1) <= max);
    }
}

void checkStats(std::string_view text, Measure measure)
{
    using namespace lintrel::detail;
    const TextStats reference = computeTextStatsScalar(text, measure);
    check(lintrel::computeTextStats(text, measure) == reference);
    check(statsSse2(text.data(), text.size(), measure) == reference);
    if (cpuHasAvx2())
        check(statsAvx2(text.data(), text.size(), measure) == reference);
}

void checkStatsUtf16(std::u16string_view text, const TextStats &utf8, Measure measure)
{
    using namespace lintrel::detail;
    const TextStats reference = computeTextStatsScalar(text, measure);
    check(reference == utf8);
    check(lintrel::computeTextStats(text, measure) == reference);
    check(statsSse2(text.data(), text.size(), measure) == reference);
    if (cpuHasAvx2())
        check(statsAvx2(text.data(), text.size(), measure) == reference);
}

// The counter fed in three pieces, cut anywhere (inside a character too).
void checkStatsInPieces(std::string_view text, std::size_t cut, Measure measure)
{
    const std::size_t a = std::min(cut, text.size());
    const std::size_t b = a + (text.size() - a) / 2;
    lintrel::TextStatsCounter counter(measure);
    counter.add(text.substr(0, a));
    counter.add(text.substr(a, b - a));
    counter.add(text.substr(b));
    check(counter.result() == lintrel::computeTextStats(text, measure));
}

// The decoder fed in two pieces cut anywhere, the leftover of the first carried over.
void checkDecodeInPieces(std::string_view file, std::size_t cut)
{
    if (file.starts_with(lintrel::kByteOrderMark))
        return;
    const std::size_t a = std::min(cut, file.size());
    std::string out;
    const std::size_t taken = lintrel::appendDecodedText(out, file.substr(0, a), false);
    check(taken <= a && a - taken <= 3);
    check(lintrel::appendDecodedText(out, file.substr(taken), true) == file.size() - taken);
    check(out == lintrel::decodeTextBytes(file));
}

void checkWrap(const std::string &text, std::size_t max, std::size_t cut, Measure measure)
{
    const auto wrap = [&](std::string_view in, std::string_view newline) {
        return lintrel::wrapText(in, std::int64_t(max), newline, measure);
    };
    const std::string wrapped = wrap(text, "\r\n");
    check(withoutLineBreaks(wrapped) == withoutLineBreaks(text));
    check(wrapped == lintrel::test::referenceWrap(text, max, "\r\n", measure));
    checkLineLengths(wrapped, max, measure);
    check(wrap(wrapped, "\r\n") == wrapped);

    std::string lf = wrapped;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;)
        lf.erase(at, 1);
    check(wrap(text, "\n") == lf);
    check(lintrel::wrapText(lintrel::test::toUtf16(text), std::int64_t(max), u"\r\n", measure) ==
          lintrel::test::toUtf16(wrapped));

    // Piece by piece, split right after a line break.
    const std::size_t split = text.find("\r\n", std::min(cut, text.size()));
    if (split != std::string::npos) {
        std::string pieces;
        const std::string_view all(text);
        lintrel::appendWrappedText(pieces, all.substr(0, split + 2), std::int64_t(max), "\r\n",
                                   measure);
        lintrel::appendWrappedText(pieces, all.substr(split + 2), std::int64_t(max), "\r\n",
                                   measure);
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

    // Import: valid UTF-8 is kept (less a byte-order mark), decoded text decodes to itself,
    // and decoding in pieces gives what decoding at once does.
    const std::string decoded = lintrel::decodeTextBytes(file);
    check(lintrel::isValidUtf8(decoded));
    check(lintrel::decodeTextBytes(decoded) == decoded ||
          decoded.starts_with(lintrel::kByteOrderMark));
    if (lintrel::isValidUtf8(file))
        check(decoded == (file.starts_with(lintrel::kByteOrderMark) ? file.substr(3) : file));
    checkDecodeInPieces(file, cut);
    const std::string text = lintrel::normalizeLineBreaks(decoded);
    check(withoutLineBreaks(text) == withoutLineBreaks(decoded));

    const std::u16string utf16 = lintrel::test::toUtf16(text);
    for (const Measure measure : {Measure::Clusters, Measure::Columns}) {
        checkStats(file, measure);
        checkStats(text, measure);
        checkStatsUtf16(utf16, lintrel::computeTextStats(text, measure), measure);
        checkStatsInPieces(file, cut, measure);
        checkWrap(text, max, cut, measure);
        // The raw bytes, valid or not: wrapping keeps every byte.
        check(withoutLineBreaks(lintrel::wrapText(file, std::int64_t(max), "\r\n", measure)) ==
              withoutLineBreaks(file));
    }
    return 0;
}
