// Tests of the line wrapper: worked examples, long lines, code points at the cut, idempotence
// and agreement with a plain line-by-line reference.
#include "formatter/line_wrap.h"
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

bool isBreakChar(std::string_view cp)
{
    return cp == " " || cp == "." || cp == ":" || cp == ";";
}

// The wrapper as a user would describe it: one line at a time, one code point at a time.
std::string referenceWrap(std::string_view text, size_t max, std::string_view newline)
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
        std::vector<std::string> cps; // the line split into code points
        for (char c : lines[n]) {
            if ((static_cast<unsigned char>(c) & 0xC0) == 0x80)
                cps.back() += c;
            else
                cps.emplace_back(1, c);
        }
        size_t start = 0;
        while (cps.size() - start > max) {
            size_t lastBreak = 0;
            for (size_t p = 1; p <= max + 1; ++p)
                lastBreak = isBreakChar(cps[start + p - 1]) ? p : lastBreak;
            const size_t head = lastBreak > 0 ? lastBreak : max;
            if (start + head == cps.size())
                break; // no cut that leaves an empty rest
            for (size_t k = start; k < start + head; ++k)
                out += cps[k];
            out += newline;
            start += head;
        }
        for (size_t k = start; k < cps.size(); ++k)
            out += cps[k];
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
        const std::string expected = referenceWrap(text, size_t(max), "\r\n");
        const std::string wrapped = wrapText(text, max);
        ASSERT_EQ(wrapped, expected);
        ASSERT_EQ(wrapText(test::toUtf16(text), max, u"\r\n"), test::toUtf16(expected));
        ASSERT_EQ(wrapText(wrapped, max), wrapped);
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
