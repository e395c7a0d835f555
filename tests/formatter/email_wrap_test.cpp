// Tests of email-aware Format and Reflow and of format=flowed: tables of real-looking emails.
#include "formatter/email_wrap.h"
#include "formatter/flowed.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace lintrel {
namespace {

struct Row
{
    const char *name;
    int64_t max;
    const char *before;
    const char *after;
};

std::string format(std::string_view text, int64_t max, bool flowed = false)
{
    return emailFormat(text, {max, nullptr, flowed, "\n"});
}

std::string reflow(std::string_view text, int64_t max, bool flowed = false)
{
    return emailReflow(text, {max, nullptr, flowed, "\n"});
}

TEST(EmailFormat, Rules)
{
    const Row rows[] = {
        {"short lines stay", 20, "Hi Ann,\n\nthanks.\n", "Hi Ann,\n\nthanks.\n"},
        {"cut after a space", 20, "Thanks for the draft, I read it twice.",
         "Thanks for the \ndraft, I read it \ntwice."},
        {"quote prefix repeated", 20, "> Thanks for the draft, I read it twice.",
         "> Thanks for the \n> draft, I read it \n> twice."},
        {"nested quote, spaced prefix", 16, "> > one two three four five",
         "> > one two \n> > three four \n> > five"},
        {"prefix without spaces", 12, ">>one two three four", ">>one two \n>>three four"},
        {"stops inside words are not cuts", 12, "See e.g. 3.14 at 20:10:55 now",
         "See e.g. \n3.14 at \n20:10:55 now"},
        {"host name moves whole", 20, "Status at status.example.org today",
         "Status at \nstatus.example.org \ntoday"},
        {"link moves to the next line", 24, "Read it at https://example.com/a/b/c today.",
         "Read it at \nhttps://example.com/a/b/c \ntoday."},
        {"link longer than the room stands alone", 16,
         "> see <https://example.com/very/long/path> ok",
         "> see \n> <https://example.com/very/long/path> \n> ok"},
        {"address and www", 14, "mail ann.lee@example.org or www.example.org/x",
         "mail \nann.lee@example.org \nor \nwww.example.org/x"},
        {"bulleted item hangs", 16, "- first item of the list\n- second",
         "- first item of \n  the list\n- second"},
        {"numbered item hangs", 16, "12) the twelfth item here", "12) the twelfth \n    item here"},
        {"quoted bullet", 14, "> • one two three four", "> • one two \n>   three four"},
        {"preformatted lines stay", 10, "    int main() { return 0; }\n\tx = 1; y = 2; z = 3;",
         "    int main() { return 0; }\n\tx = 1; y = 2; z = 3;"},
        {"quoted preformatted line", 10, ">     long code line here", ">     long code line here"},
        {"signature stays", 10, "Bye now and thanks\n-- \nAnn Lee, Example Corp. Inc.",
         "Bye now \nand thanks\n-- \nAnn Lee, Example Corp. Inc."},
        {"word longer than the room", 10, "Supercalifragilistic", "Supercalif\nragilistic"},
        {"long word cut after its stop", 10, "abc.defghijklmno pq", "abc.\ndefghijklm\nno pq"},
        {"prefix wider than M", 3, ">>>> ab", ">>>> a\n>>>> b"},
        {"white space stays on the head", 10, "aaaa   bbbbbbb", "aaaa   \nbbbbbbb"},
        {"cut after a stop and a TAB", 8, "one two.\tthree", "one two.\t\nthree"},
        {"no piece that reads as a list item", 8, "I think - as", "I \nthink - \nas"},
        {"no piece that reads as a quote", 8, "a bb > cc dd", "a bb > \ncc dd"},
        {"unless no other cut fits", 10, "aaaaaaaaa - b", "aaaaaaaaa \n- b"},
        {"trailing white space does not count", 5, "hello   ", "hello   "},
        {"line breaks become the newline", 10, "one two three\r\nfour\rfive",
         "one two \nthree\nfour\nfive"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(format(row.before, row.max), row.after) << row.name;
}

TEST(EmailFormat, WholeEmail)
{
    const std::string before = "Hi Bob,\n"
                               "\n"
                               "On Monday Ann wrote:\n"
                               "> Could you check the figures at https://example.com/q3 again?\n"
                               ">> Bob wrote: the numbers look fine to me, see attachment.\n"
                               "\n"
                               "Sure. Two things:\n"
                               "1. the totals are off by 3.5%, and that matters a lot\n"
                               "2. see below\n"
                               "\n"
                               "    total = sum(rows) * 1.035  # keep as is please\n"
                               "\n"
                               "-- \n"
                               "Bob Smith | bob@example.com | +1 555 0100 | Example Corp\n";
    const std::string after = "Hi Bob,\n"
                              "\n"
                              "On Monday Ann wrote:\n"
                              "> Could you check the figures at \n"
                              "> https://example.com/q3 again?\n"
                              ">> Bob wrote: the numbers look fine to \n"
                              ">> me, see attachment.\n"
                              "\n"
                              "Sure. Two things:\n"
                              "1. the totals are off by 3.5%, and that \n"
                              "   matters a lot\n"
                              "2. see below\n"
                              "\n"
                              "    total = sum(rows) * 1.035  # keep as is please\n"
                              "\n"
                              "-- \n"
                              "Bob Smith | bob@example.com | +1 555 0100 | Example Corp\n";
    EXPECT_EQ(format(before, 40), after);
    EXPECT_EQ(format(after, 40), after);
}

TEST(EmailReflow, Paragraphs)
{
    const Row rows[] = {
        {"joins and re-wraps", 20, "one two\nthree four five six\nseven",
         "one two three four \nfive six seven"},
        {"white space at joins collapses", 30, "one   \n   two", "one two"},
        {"marker alone on its line", 30, "- \n  item text", "- item text"},
        {"quote depth ends a paragraph", 30, "> a b\n> c d\n>> e f\ng", "> a b c d\n>> e f\ng"},
        {"prefix spellings of one depth join", 30, ">a\n> b\n>c", ">a b c"},
        {"blank line ends a paragraph", 30, "a\nb\n\nc\nd\n", "a b\n\nc d\n"},
        {"list item opens a paragraph", 14, "- one\n  two three\n- four\nfive",
         "- one two \n  three\n- four five"},
        {"preformatted and signature lines stay", 30, "a\n    code  \nb\nc\n-- \nAnn\nLee  ",
         "a\n    code  \nb c\n-- \nAnn\nLee  "},
        {"white space at a cut is one space", 6, "aaaa    bbbb", "aaaa \nbbbb"},
        {"trailing white space dropped", 30, "a b   \n", "a b\n"},
        {"long word is cut, then read as two", 10, "Supercalifragilistic x",
         "Supercalif\nragilistic \nx"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(reflow(row.before, row.max), row.after) << row.name;
        if (std::string_view(row.name) != "long word is cut, then read as two") {
            EXPECT_EQ(reflow(row.after, row.max), row.after) << row.name << " (twice)";
        }
    }
    // A second Reflow takes the two pieces of the cut word as two words: only the space at
    // the end of the cut line is new.
    EXPECT_EQ(reflow("Supercalif\nragilistic \nx", 10), "Supercalif \nragilistic \nx");
}

TEST(EmailFlowed, Output)
{
    const Row rows[] = {
        {"soft breaks end in a space", 10, "one two three", "one two \nthree"},
        {"hard breaks lose trailing white space", 30, "one  \ntwo\t\n", "one\ntwo\n"},
        {"quotes as > x depth and one space", 30, "> > a\n>b\n>\n> \n", ">> a\n> b\n>\n>\n"},
        {"space-stuffing", 30, " lead\nFrom here\n", "  lead\n From here\n"},
        {"signature separator keeps its space", 30, "x\n-- \nAnn  \n>quote",
         "x\n-- \nAnn\n >quote"},
        {"cut inside a word is soft", 10, "Supercalifragilistic", "Supercalif \nragilistic"},
        {"list continuation not indented", 14, "- one two three four", "- one two \nthree four"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(format(row.before, row.max, true), row.after) << row.name;
    EXPECT_EQ(reflow("> one two\n> three four five\n", 12, true),
              "> one two \n> three four \n> five\n");
}

TEST(EmailFlowed, FromTheDescribedWrap)
{
    const struct
    {
        const char *name, *original, *wrapped, *flowed;
    } rows[] = {
        {"inserted breaks are soft", "The quick brown fox\n", "The quick \nbrown fox\n",
         "The quick \nbrown fox\n"},
        {"hard cut gets its space", "abcdefghijk", "abcdefghij\nk", "abcdefghij \nk"},
        {"original breaks stay hard", "one  \n> two\n-- \n>sig", "one  \n> two\n-- \n>sig",
         "one\n> two\n-- \n >sig"},
        {"not a pure split: all hard", "one two", "one \ntwo x", "one\ntwo x"},
        {"empty text", "", "", ""},
    };
    for (const auto &row : rows)
        EXPECT_EQ(flowedFromWrap(row.original, row.wrapped, "\n"), row.flowed) << row.name;
}

TEST(EmailFlowed, Unflow)
{
    const Row rows[] = {
        {"joins soft lines", 0, "one two \nthree\n", "one two three\n"},
        {"quoted paragraph", 0, "> one \n> two\n>> three \n>> four", "> one two\n>> three four"},
        {"depth change ends a paragraph", 0, "> one \n>> two", "> one \n>> two"},
        {"stuffing removed", 0, " From here \n >x", "From here >x"},
        {"signature separator is hard", 0, "-- \nAnn", "-- \nAnn"},
        {"empty quoted line", 0, ">\n> a\r\n", ">\n> a\n"},
        {"empty text", 0, "", ""},
    };
    for (const Row &row : rows)
        EXPECT_EQ(unflowText(row.before, "\n"), row.after) << row.name;
}

TEST(EmailFormat, CountsInTheGivenMeasure)
{
    const CharMeasure &columns = charMeasure(Measure::Columns);
    const std::string cjk = "> 我们明天下午三点在会议室见面。谢谢";
    const EmailWrapOptions options{12, &columns, false, "\n"};
    EXPECT_EQ(emailFormat(cjk, options), "> 我们明天下\n> 午三点在会\n> 议室见面。\n> 谢谢");
    // Counted in characters, twice as many fit.
    EXPECT_EQ(format(cjk, 12), "> 我们明天下午三点在会\n> 议室见面。谢谢");
    EXPECT_EQ(emailReflow("café au lait\ncrème brûlée", {10, &columns, false, "\n"}),
              "café au \nlait crème \nbrûlée");
}

TEST(EmailFormat, RefusesWidthBelowOne)
{
    EXPECT_THROW(format("x", 0), std::invalid_argument);
    EXPECT_THROW(reflow("x", -5), std::invalid_argument);
}

} // namespace
} // namespace lintrel
