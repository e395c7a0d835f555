// Tests of the text statistics: worked examples, clusters and other scripts, Unicode's own
// boundary cases, SIMD against the reference.
#include "formatter/text_stats.h"
#include "grapheme_cases.h"
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
void expectStats(const std::string &utf8, const TextStats &expected, Measure m = Measure::Clusters)
{
    const std::u16string utf16 = test::toUtf16(utf8);
    EXPECT_EQ(computeTextStats(utf8, m), expected);
    EXPECT_EQ(computeTextStats(utf16, m), expected);
    EXPECT_EQ(detail::computeTextStatsScalar(utf8, m), expected);
    EXPECT_EQ(detail::computeTextStatsScalar(utf16, m), expected);
    EXPECT_EQ(detail::statsSse2(utf8.data(), utf8.size(), m), expected);
    EXPECT_EQ(detail::statsSse2(utf16.data(), utf16.size(), m), expected);
    if (detail::cpuHasAvx2()) {
        EXPECT_EQ(detail::statsAvx2(utf8.data(), utf8.size(), m), expected);
        EXPECT_EQ(detail::statsAvx2(utf16.data(), utf16.size(), m), expected);
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

// Characters are what a reader sees: accents, flags, joined emoji and syllables count once; other
// scripts' punctuation and spaces act as their ASCII counterparts. The last column is the
// longest line in screen columns (the other five counts are the same in both measures).
TEST(TextStats, CountsClustersAndOtherScriptsPunctuation)
{
    const struct
    {
        const char *text;
        TextStats expected;
        int64_t longestColumns;
    } rows[] = {
        {"cafe\xCC\x81", {1, 1, 1, 1, 4, 4}, 4},                             // e + combining acute
        {"\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7", // two flags
         {1, 1, 1, 1, 2, 2},
         4},
        {"\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7", // family
         {1, 1, 1, 1, 1, 1},
         2},
        {"\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB\xE1\x84\x80\xE1\x85\xAE\xE1\x86\xA8", // decomposed
                                                                                     // Hangul
         {1, 1, 1, 1, 2, 2},
         4},
        {"\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87", // Devanagari
         {1, 1, 1, 1, 4, 4},
         4},
        {"\xE4\xBD\xA0\xE5\xA5\xBD\xE3\x80\x82\xE4\xB8\x96\xE7\x95\x8C\xEF\xBC\x81", // CJK
                                                                                     // sentences
         {2, 2, 1, 1, 6, 6},
         12},
        {"a\xC2\xA0"
         "b",
         {2, 1, 1, 1, 3, 3},
         3}, // no-break space
        {"a\xE3\x80\x80"
         "b",
         {2, 1, 1, 1, 3, 3},
         4},                                       // ideographic space
        {"x\xE2\x80\xA8y", {2, 1, 1, 1, 3, 3}, 2}, // a line separator is a space, not a break
        {"Hi\xEF\xBC\x8Cthere\xEF\xBC\x9Byou\xEF\xBC\x9Ame", {3, 1, 1, 1, 15, 15}, 18},
        {"Wait\xE2\x80\xA6 what\xEF\xBC\x9F\xEF\xBC\x81", {2, 2, 1, 1, 12, 12}, 14},
        {"\xD8\x80"
         "12",
         {1, 1, 1, 1, 2, 2},
         2}, // a prepended sign joins the digit after it
        {"a \xCC\x81"
         "b",
         {2, 1, 1, 1, 3, 3},
         3}, // an accented space still separates
        {"a\xE2\x80\x8B"
         "b",
         {1, 1, 1, 1, 3, 3},
         2},                               // zero width space: no separator, no column
        {"tab\tx", {1, 1, 1, 1, 5, 5}, 4}, // a TAB takes no column
        {"\xE2\x9D\xA4\xEF\xB8\x8F", {1, 1, 1, 1, 1, 1}, 2}, // emoji presentation sequence
        {"\xE2\x9D\xA4", {1, 1, 1, 1, 1, 1}, 1},
        {"1\xEF\xB8\x8F\xE2\x83\xA3", {1, 1, 1, 1, 1, 1}, 2}, // keycap
        {"e\xCC\x81\r\n\xCC\x81", {2, 2, 2, 2, 2, 1}, 1},     // an accent alone after a break
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        expectStats(row.text, row.expected);
        TextStats columns = row.expected;
        columns.longestLine = row.longestColumns;
        expectStats(row.text, columns, Measure::Columns);
    }
}

// Every string of Unicode's boundary test counts as many characters as it has clusters, line
// breaks left out; leading line feeds move the string across the 64-unit blocks.
TEST(TextStats, CountsUnicodeClusterBoundaryCases)
{
    for (const test::GraphemeCase &c : test::graphemeCases()) {
        int64_t expected = 0;
        for (const auto &cps : c.codePoints)
            expected += cps[0] == '\r' || cps[0] == '\n' ? 0 : 1;
        for (const size_t shift : {0, 1, 61, 62, 63}) {
            const std::string text = std::string(shift, '\n') + c.text();
            const std::u16string utf16 = test::toUtf16(text);
            ASSERT_EQ(computeTextStats(text).characters, expected) << c.line;
            ASSERT_EQ(computeTextStats(utf16).characters, expected) << c.line;
            ASSERT_EQ(detail::computeTextStatsScalar(text).characters, expected) << c.line;
            ASSERT_EQ(detail::statsSse2(text.data(), text.size()).characters, expected) << c.line;
            ASSERT_EQ(detail::statsSse2(utf16.data(), utf16.size()).characters, expected);
        }
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
            expectStats(utf8, detail::computeTextStatsScalar(utf8, Measure::Columns),
                        Measure::Columns);
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
        const Measure measure = round % 3 == 0 ? Measure::Columns : Measure::Clusters;
        TextStatsCounter counter(measure);
        counter.add({});
        for (size_t at = 0; at < text.size();) {
            const size_t piece = std::min(text.size() - at, size_t(rng() % (round % 2 ? 8 : 200)));
            counter.add(std::string_view(text).substr(at, piece));
            at += piece;
        }
        ASSERT_EQ(counter.result(), computeTextStats(text, measure)) << text;
    }
}

// The counter tells whether its bytes were all UTF-8, split anywhere.
TEST(TextStats, CounterFindsBytesThatAreNotUtf8)
{
    const struct
    {
        std::string_view bytes;
        bool malformed;
    } rows[] = {
        {"caf\xC3\xA9 \xEF\xBF\xBD \xF0\x9F\x98\x80", false}, // U+FFFD itself is fine
        {"caf\xE9", true},
        {"ab\xE2\x82", true}, // cut short at the end
        {"\x80", true},
        {"\xED\xA0\x80", true},
    };
    for (const auto &row : rows) {
        for (size_t split = 0; split <= row.bytes.size(); ++split) {
            SCOPED_TRACE(testing::Message()
                         << testing::PrintToString(std::string(row.bytes)) << " " << split);
            TextStatsCounter counter;
            counter.add(row.bytes.substr(0, split));
            counter.add(row.bytes.substr(split));
            EXPECT_EQ(counter.sawMalformed(), row.malformed);
        }
    }
}

} // namespace
} // namespace lintrel
