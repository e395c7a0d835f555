// Tests of the line wrapper: worked examples, long lines, clusters at the cut, screen columns,
// Unicode's own boundary cases, idempotence and agreement with a plain line-by-line reference.
#include "formatter/line_wrap.h"
#include "grapheme_cases.h"
#include "text_samples.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace lintrel {
namespace {

std::string crlf(std::string_view text) // "~" stands for a CR LF pair
{
    std::string out;
    for (char c : text)
        out += c == '~' ? std::string("\r\n") : std::string(1, c);
    return out;
}

// The wrapper as a user would describe it: one line at a time, one cluster at a time.
std::string referenceWrap(std::string_view text, size_t max, std::string_view newline,
                          Measure measure = Measure::Clusters)
{
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    std::string out;
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::vector<test::Cluster> cs = test::splitClusters(lines[n]);
        size_t start = 0;
        for (;;) {
            // The first cluster that takes the line past max; it is searched for a break too.
            size_t used = 0, over = start;
            for (; over < cs.size(); ++over) {
                used += measure == Measure::Columns ? cs[over].width : 1;
                if (used > max)
                    break;
            }
            if (over == cs.size())
                break;
            size_t head = over == start ? over + 1 : over;
            for (size_t p = start; p <= over; ++p)
                head = (cs[p].flags & unicode::kBreak) ? p + 1 : head;
            if (head == cs.size())
                break; // no cut that leaves an empty rest
            for (size_t k = start; k < head; ++k)
                out += cs[k].text;
            out += newline;
            start = head;
        }
        for (size_t k = start; k < cs.size(); ++k)
            out += cs[k].text;
        if (n + 1 < lines.size())
            out += newline;
    }
    return out;
}

struct WrapRow
{
    int64_t max;
    const char *before;
    const char *after;
};

TEST(LineWrap, WorkedExamples)
{
    const WrapRow rows[] = {
        {10, "The quick brown fox jumps", "The quick ~brown fox ~jumps"},
        {10, "abcdefghij", "abcdefghij"},
        {10, "abcdefghijk", "abcdefghij~k"},
        {10, "abcdefghijk lmn", "abcdefghij~k lmn"},
        {10, "Supercalifragilistic", "Supercalif~ragilistic"},
        {5, "hello world", "hello ~world"},
        {5, "hello  world", "hello ~ ~world"},
        {5, "Hello, world", "Hello~, ~world"},
        {5, "abcde ", "abcde "}, // a cut would leave an empty rest
        {5, "hello ~world", "hello ~world"},
        {8, "Note: see item 3.2; done", "Note: ~see item ~3.2; ~done"},
        {3, "a;b;c;d;e;f", "a;b;~c;d;~e;f"},
        {60, "one two three four five six seven eight nine ten eleven twelve thirteen",
         "one two three four five six seven eight nine ten eleven ~twelve thirteen"},
        {5, "", ""},
        {5, "~~abcdefg~~", "~~abcde~fg~~"},
        {1, "ab. c", "a~b.~ ~c"},
    };
    for (const WrapRow &row : rows) {
        SCOPED_TRACE(row.before);
        const std::string before = crlf(row.before), after = crlf(row.after);
        EXPECT_EQ(wrapText(before, row.max), after);
        EXPECT_EQ(wrapText(test::toUtf16(before), row.max, u"\r\n"), test::toUtf16(after));
        EXPECT_EQ(referenceWrap(before, size_t(row.max), "\r\n"), after);
    }
}

TEST(LineWrap, EveryBreakBecomesTheChosenNewline)
{
    EXPECT_EQ(wrapText("a\nb\rc\r\nabcdefg\n", 3, "\r\n"), "a\r\nb\r\nc\r\nabc\r\ndef\r\ng\r\n");
    EXPECT_EQ(wrapText("a\r\n\r\nb", 3, "\n"), "a\n\nb");
    EXPECT_EQ(wrapText(u"a\r\nbcd e\r", 3), u"a\nbcd \ne\n");
}

TEST(LineWrap, VeryLongLineIsWrappedWithoutLoss)
{
    std::string line;
    for (int i = 0; i < 1000; ++i)
        line += "word56789 ";
    line.pop_back(); // 9,999 characters ending in a word
    const std::string wrapped = wrapText(line + "x", 60, "\n");
    ASSERT_EQ(wrapped.size(), line.size() + 1 + 166);
    // Six words with their spaces fill 60 characters; the last line is what is left.
    EXPECT_EQ(wrapped.substr(0, 61), line.substr(0, 60) + "\n");
    EXPECT_EQ(wrapped.substr(wrapped.size() - 40), line.substr(line.size() - 39) + "x");
    EXPECT_EQ(wrapText(std::string(10000, 'y'), 4096, "\n"), std::string(4096, 'y') + "\n" +
                                                                 std::string(4096, 'y') + "\n" +
                                                                 std::string(1808, 'y'));
}

TEST(LineWrap, NeverSplitsACodePoint)
{
    const struct
    {
        const char *before;
        int64_t max;
        const char *after;
    } rows[] = {
        {"\xC3\xA9\xC3\xA9\xC3\xA9", 2, "\xC3\xA9\xC3\xA9~\xC3\xA9"},
        {"ab\xE2\x82\xAC"
         "cd",
         3, "ab\xE2\x82\xAC~cd"},
        {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80", 1,
         "\xF0\x9F\x98\x80~\xF0\x9F\x98\x80~\xF0\x9F\x98\x80"},
        {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80 z", 2, "\xF0\x9F\x98\x80\xF0\x9F\x98\x80 ~z"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.before);
        const std::string before = crlf(row.before), after = crlf(row.after);
        EXPECT_EQ(wrapText(before, row.max), after);
        EXPECT_EQ(wrapText(test::toUtf16(before), row.max, u"\r\n"), test::toUtf16(after));
    }
    // Surrogate pairs straddling the 64-unit blocks of a long line: after one "x", every
    // pair starts at an odd unit, so units 63 and 64 form one code point.
    std::u16string emoji = u"x";
    for (int i = 0; i < 100; ++i)
        emoji += u"\U0001F600";
    EXPECT_EQ(wrapText(emoji, 80).find(u'\n'), 1u + 2 * 79u);
}

struct MeasuredRow
{
    Measure measure;
    int64_t max;
    const char *before;
    const char *after;
};

// A cut never falls inside a cluster; other scripts' spaces and punctuation break like their
// ASCII counterparts, no-break spaces never; in screen columns wide characters count twice.
TEST(LineWrap, CutsBetweenClustersAndMeasuresColumns)
{
    constexpr Measure C = Measure::Clusters, W = Measure::Columns;
    const MeasuredRow rows[] = {
        {C, 4, "cafe\xCC\x81s", "cafe\xCC\x81~s"}, // the accent stays with its letter
        {C, 3,
         "a\xCC\x81\xCC\x81"
         "bcd",
         "a\xCC\x81\xCC\x81"
         "bc~d"},
        {C, 1, "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7",
         "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA~\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7"},
        {C, 1, "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7x",
         "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7~x"},
        {C, 1, "\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB\xE1\x84\x80\xE1\x85\xAE\xE1\x86\xA8",
         "\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB~\xE1\x84\x80\xE1\x85\xAE\xE1\x86\xA8"},
        {C, 2, "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87",
         "\xE0\xA4\xA8\xE0\xA4\xAE~\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87"},
        {C, 3, "\xE4\xBD\xA0\xE5\xA5\xBD\xE3\x80\x82\xE4\xB8\x96\xE7\x95\x8C\xEF\xBC\x81",
         "\xE4\xBD\xA0\xE5\xA5\xBD\xE3\x80\x82~\xE4\xB8\x96\xE7\x95\x8C\xEF\xBC\x81"},
        {C, 4,
         "ab\xC2\xA0"
         "cdef",
         "ab\xC2\xA0"
         "c~def"}, // never after a no-break space
        {C, 4,
         "ab\xE2\x80\xAF"
         "cdef",
         "ab\xE2\x80\xAF"
         "c~def"}, // narrow no-break space
        {C, 4,
         "ab\xE3\x80\x80"
         "cdef",
         "ab\xE3\x80\x80~cdef"}, // ideographic space
        {C, 4,
         "ab\xE2\x80\x83"
         "cdef",
         "ab\xE2\x80\x83~cdef"}, // em space
        {C, 4,
         "ab\xEF\xBC\x9A"
         "cdef",
         "ab\xEF\xBC\x9A~cdef"}, // full-width colon
        {C, 4,
         "ab\xEF\xBC\x8C"
         "cdef",
         "ab\xEF\xBC\x8C"
         "c~def"}, // a comma is no break
        {C, 2,
         "ab \xCC\x81"
         "cd",
         "ab \xCC\x81~cd"}, // an accented space is a break
        {W, 4, "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "\xE6\x97\xA5\xE6\x9C\xAC~\xE8\xAA\x9E"},
        {W, 3, "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "\xE6\x97\xA5~\xE6\x9C\xAC~\xE8\xAA\x9E"},
        {W, 1, "\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5~\xE6\x9C\xAC"}, // too wide alone
        {W, 1, "\xE6\x97\xA5", "\xE6\x97\xA5"},
        {W, 5,
         "ab\xF0\x9F\x98\x80"
         "cd",
         "ab\xF0\x9F\x98\x80"
         "c~d"},
        {W, 2,
         "\xE2\x9D\xA4\xEF\xB8\x8F"
         "ab",
         "\xE2\x9D\xA4\xEF\xB8\x8F~ab"},
        {W, 1, "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAAx", "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA~x"},
        {W, 4, "\xE4\xBD\xA0\xE5\xA5\xBD\xE3\x80\x82\xE4\xB8\x96\xE7\x95\x8C",
         "\xE4\xBD\xA0\xE5\xA5\xBD\xE3\x80\x82~\xE4\xB8\x96\xE7\x95\x8C"},
        {W, 3, "a\tb\tc\td", "a\tb\tc\t~d"}, // a TAB takes no column
        {W, 10, "The quick brown fox jumps", "The quick ~brown fox ~jumps"},
    };
    for (const MeasuredRow &row : rows) {
        SCOPED_TRACE(testing::Message() << row.max << " " << row.before);
        const std::string before = crlf(row.before), after = crlf(row.after);
        EXPECT_EQ(wrapText(before, row.max, "\r\n", row.measure), after);
        EXPECT_EQ(wrapText(test::toUtf16(before), row.max, u"\r\n", row.measure),
                  test::toUtf16(after));
        EXPECT_EQ(referenceWrap(before, size_t(row.max), "\r\n", row.measure), after);
    }
}

// Wrapping each string of Unicode's boundary test at 1 cuts at exactly its boundaries (strings
// with break characters or line breaks left out); leading line feeds, kept as they are, move
// the string across the 64-unit blocks.
TEST(LineWrap, CutsAtUnicodeClusterBoundaries)
{
    size_t tested = 0;
    for (const test::GraphemeCase &c : test::graphemeCases()) {
        bool skip = false;
        for (const auto &cps : c.codePoints)
            skip = skip || (unicode::classOf(cps[0]) & unicode::kBreak) != 0 || cps[0] == '\r' ||
                   cps[0] == '\n';
        if (skip)
            continue;
        ++tested;
        std::string expected;
        for (const std::string &cluster : c.clusters)
            expected += (expected.empty() ? "" : "\n") + cluster;
        for (const size_t shift : {0, 1, 62, 63}) {
            const std::string lead(shift, '\n');
            ASSERT_EQ(wrapText(lead + c.text(), 1, "\n"), lead + expected) << c.line;
            ASSERT_EQ(wrapText(test::toUtf16(lead + c.text()), 1, u"\n"),
                      test::toUtf16(lead + expected))
                << c.line;
        }
    }
    EXPECT_GT(tested, 200u);
}

TEST(LineWrap, RejectsMaximumBelowOne)
{
    EXPECT_THROW(wrapText("abc", 0), std::invalid_argument);
    EXPECT_THROW(wrapText(u"abc", -5), std::invalid_argument);
}

// Random texts: the fast wrapper equals the reference in UTF-8 and UTF-16, and wrapping the
// result again changes nothing.
TEST(LineWrap, MatchesReferenceAndIsIdempotentOnRandomText)
{
    std::mt19937_64 rng(7);
    for (int round = 0; round < 600; ++round) {
        const size_t length = rng() % 400;
        const int64_t max = 1 + int64_t(rng() % (round % 3 == 0 ? 8 : 130));
        const std::string text = test::randomText(rng, length, 1 + int(rng() % 200));
        SCOPED_TRACE(testing::Message() << "max " << max << " text " << text);
        const Measure measure = round % 4 == 1 ? Measure::Columns : Measure::Clusters;
        const std::string expected = referenceWrap(text, size_t(max), "\r\n", measure);
        const std::string wrapped = wrapText(text, max, "\r\n", measure);
        ASSERT_EQ(wrapped, expected);
        ASSERT_EQ(wrapText(test::toUtf16(text), max, u"\r\n", measure), test::toUtf16(expected));
        ASSERT_EQ(wrapText(wrapped, max, "\r\n", measure), wrapped);
    }
}

// Arbitrary bytes (not UTF-8) still come out whole: only line breaks are added.
TEST(LineWrap, KeepsEveryByteOfInvalidText)
{
    std::mt19937_64 rng(11);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(rng() % 300, '\0');
        for (char &c : bytes)
            c = char(rng() % 3 == 0 ? 0x80 + rng() % 64 : rng() % 256);
        std::erase_if(bytes, [](char c) { return c == '\r' || c == '\n'; });
        std::string wrapped = wrapText(bytes, 1 + int64_t(rng() % 20), "\n");
        std::erase(wrapped, '\n');
        ASSERT_EQ(wrapped, bytes);
    }
}

} // namespace
} // namespace lintrel
