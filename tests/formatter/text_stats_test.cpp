// Tests of the text statistics: worked examples, Unicode counting, SIMD against the reference.
#include "formatter/text_stats.h"
#include "text_samples.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lintrel {
namespace {

struct StatsRow
{
    const char *text; // "~" stands for a CR LF pair
    TextStats expected;
};

std::string expandBreaks(std::string_view text)
{
    std::string out;
    for (char c : text)
        out += c == '~' ? std::string("\r\n") : std::string(1, c);
    return out;
}

// Checks one text through every entry point: UTF-8 and UTF-16, dispatched, SSE2, AVX2, scalar.
void expectStats(const std::string &utf8, const TextStats &expected)
{
    const std::u16string utf16 = test::toUtf16(utf8);
    EXPECT_EQ(computeTextStats(utf8), expected);
    EXPECT_EQ(computeTextStats(utf16), expected);
    EXPECT_EQ(detail::computeTextStatsScalar(utf8), expected);
    EXPECT_EQ(detail::computeTextStatsScalar(utf16), expected);
    EXPECT_EQ(detail::statsSse2(utf8.data(), utf8.size()), expected);
    EXPECT_EQ(detail::statsSse2(utf16.data(), utf16.size()), expected);
    if (detail::cpuHasAvx2()) {
        EXPECT_EQ(detail::statsAvx2(utf8.data(), utf8.size()), expected);
        EXPECT_EQ(detail::statsAvx2(utf16.data(), utf16.size()), expected);
    }
}

TEST(TextStats, WorkedExamples)
{
    // words, sentences, paragraphs, lines, characters, longest line
    const StatsRow rows[] = {
        {"", {0, 0, 0, 0, 0, 0}},
        {"Hello world.", {2, 1, 1, 1, 12, 12}},
        {"Hello world.  ", {2, 1, 1, 1, 14, 14}},
        {"Hello world", {2, 1, 1, 1, 11, 11}},
        {"a.b", {2, 2, 1, 1, 3, 3}},
        {"3.14", {2, 2, 1, 1, 4, 4}},
        {"Wait... what?!", {2, 2, 1, 1, 14, 14}},
        {"e.g. this", {3, 3, 1, 1, 9, 9}},
        {"Hi,there;you:me", {3, 1, 1, 1, 15, 15}},
        {"tab\tseparated words", {2, 1, 1, 1, 19, 19}},
        {"First line~second line.", {4, 2, 2, 2, 22, 12}},
        {"First paragraph.~~Second one.", {4, 2, 2, 3, 27, 16}},
        {"Line one~line two~line three~~Next block~ends here", {10, 5, 5, 6, 45, 10}},
        {"one two~", {2, 1, 1, 1, 7, 7}},
        {"one two~~", {2, 1, 1, 2, 7, 7}},
        {"  ~...~", {0, 0, 0, 2, 5, 3}},
        {"Dear John,~~Thanks for the note. See you soon!~~Best regards~Ann~",
         {12, 5, 4, 6, 59, 34}},
        // Only separators: no words, sentences or paragraphs; lines and characters count.
        {" ,;. ~!?", {0, 0, 0, 2, 7, 5}},
    };
    for (const StatsRow &row : rows) {
        SCOPED_TRACE(row.text);
        expectStats(expandBreaks(row.text), row.expected);
    }
}

TEST(TextStats, LineBreakStylesAndUnicode)
{
    const StatsRow rows[] = {
        {"one\ntwo\rthree\r\n", {3, 3, 3, 3, 11, 5}},
        {"a\n\r", {1, 1, 1, 2, 1, 1}},     // LF then CR: two breaks
        {"a\r\n\r\n", {1, 1, 1, 2, 1, 1}}, // a second final break adds one empty line
        {"caf\xC3\xA9", {1, 1, 1, 1, 4, 4}},
        {"\xE2\x82\xAC"
         "5 \xF0\x9F\x98\x80.",
         {2, 1, 1, 1, 5, 5}},
        {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80\n\xC3\xA9", {2, 2, 2, 2, 3, 2}},
    };
    for (const StatsRow &row : rows) {
        SCOPED_TRACE(row.text);
        expectStats(row.text, row.expected);
    }
}

TEST(TextStats, LongLinesAreMeasuredWhole)
{
    const std::string line(10000, 'x');
    expectStats(line + "\r\nshort", {2, 2, 2, 2, 10005, 10000});
    std::string wide;
    for (int i = 0; i < 5000; ++i)
        wide += "\xC3\xA9";
    expectStats("ab\n" + wide, {2, 2, 2, 2, 5002, 5000});
}

TEST(TextStats, LoneSurrogatesCountAsOneCharacterEach)
{
    const std::u16string text = {
        u'a', char16_t(0xDC00), u'b', char16_t(0xD800), u' ', char16_t(0xD83D), char16_t(0xDE00)};
    const TextStats expected{2, 1, 1, 1, 6, 6};
    EXPECT_EQ(computeTextStats(text), expected);
    EXPECT_EQ(detail::computeTextStatsScalar(text), expected);
}

// The block kernels must agree with the reference on every length around block boundaries
// and on random mixes of every character class.
TEST(TextStats, KernelsMatchReferenceOnRandomText)
{
    std::mt19937_64 rng(42);
    std::vector<size_t> sizes;
    for (size_t n = 0; n <= 200; ++n)
        sizes.push_back(n);
    for (size_t n : {255, 256, 257, 1000, 4096, 20000})
        sizes.push_back(n);
    for (size_t n : sizes) {
        for (int breakWeight : {2, 12, 400}) {
            const std::string utf8 = test::randomText(rng, n, breakWeight);
            SCOPED_TRACE(testing::Message() << "code points " << n << " text " << utf8);
            expectStats(utf8, detail::computeTextStatsScalar(utf8));
        }
    }
}

// Feeding a text in pieces of any size, split anywhere (inside CR LF pairs and characters
// too), gives the counts of the whole.
TEST(TextStats, CounterFedInPiecesMatchesWholeText)
{
    std::mt19937_64 rng(5);
    for (int round = 0; round < 300; ++round) {
        const std::string text = test::randomText(rng, rng() % 700, 2 + int(rng() % 40));
        TextStatsCounter counter;
        counter.add({});
        for (size_t at = 0; at < text.size();) {
            const size_t piece = std::min(text.size() - at, size_t(rng() % (round % 2 ? 8 : 200)));
            counter.add(std::string_view(text).substr(at, piece));
            at += piece;
        }
        ASSERT_EQ(counter.result(), computeTextStats(text)) << text;
    }
}

} // namespace
} // namespace lintrel
