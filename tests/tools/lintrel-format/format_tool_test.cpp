// Tests of the lintrel-format tool: the built binary on files, standard input and pipes.
#include "formatter/line_wrap.h"
#include "formatter/text_file.h"
#include "formatter/text_samples.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace lintrel {
namespace {

namespace fs = std::filesystem;

struct Outcome
{
    int status;
    std::string out, err;
};

enum class Feed { File, Stdin, Pipe }; // FILE argument, "< FILE", "cat FILE |"

class FormatTool : public test::TempFolderTest
{
protected:
    std::string slurp(const fs::path &path) const
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // Runs the tool through the shell with `args`, feeding it `input` the chosen way.
    Outcome run(const std::string &args, std::string_view input = {}, Feed feed = Feed::Stdin)
    {
        const std::string in = put("input.txt", input);
        const std::string tool = std::string("'") + LINTREL_FORMAT_TOOL + "'";
        std::string command;
        switch (feed) {
        case Feed::File:
            command = tool + " " + args + " '" + in + "'";
            break;
        case Feed::Stdin:
            command = tool + " " + args + " < '" + in + "'";
            break;
        case Feed::Pipe:
            command = "cat '" + in + "' | " + tool + " " + args;
            break;
        }
        command += " > '" + (dir_ / "out").string() + "' 2> '" + (dir_ / "err").string() + "'";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(dir_ / "out"), slurp(dir_ / "err")};
    }
};

constexpr Feed kFeeds[] = {Feed::File, Feed::Stdin, Feed::Pipe};

TEST_F(FormatTool, StatsPrintsTheSixCounts)
{
    const std::string letter = "Dear John,\r\n\r\nThanks for the note. See you soon!\r\n\r\n"
                               "Best regards\r\nAnn\r\n";
    const std::string expected = "Words: 12\nSentences: 5\nParagraphs: 4\nLines: 6\n"
                                 "Characters: 59\nLongest Line: 34\n";
    for (const Feed feed : kFeeds) {
        SCOPED_TRACE(int(feed));
        EXPECT_EQ(run("stats", letter, feed).out, expected);
        // LF breaks, a byte-order mark and Windows-1252 text count the same way.
        std::string lf = letter;
        std::erase(lf, '\r');
        EXPECT_EQ(run("stats", "\xEF\xBB\xBF" + lf, feed).out, expected);
    }
    EXPECT_EQ(run("stats", "caf\xE9 \xE9t\xE9").out,
              "Words: 2\nSentences: 1\nParagraphs: 1\nLines: 1\nCharacters: 8\nLongest Line: 8\n");
    // Clusters, or screen columns with --columns; a stray byte does not turn the rest into
    // Windows-1252.
    EXPECT_EQ(run("stats", "cafe\xCC\x81 \xE6\x97\xA5\xE6\x9C\xAC\x80").out,
              "Words: 2\nSentences: 1\nParagraphs: 1\nLines: 1\nCharacters: 8\nLongest Line: 8\n");
    EXPECT_EQ(run("stats --columns", "cafe\xCC\x81 \xE6\x97\xA5\xE6\x9C\xAC\x80").out,
              "Words: 2\nSentences: 1\nParagraphs: 1\nLines: 1\nCharacters: 8\nLongest Line: 10\n");
    EXPECT_EQ(run("stats", "").out,
              "Words: 0\nSentences: 0\nParagraphs: 0\nLines: 0\nCharacters: 0\nLongest Line: 0\n");
}

TEST_F(FormatTool, WrapKeepsTheInputsLineBreakStyle)
{
    const struct
    {
        const char *args, *input, *output;
    } rows[] = {
        {"wrap -w 10", "The quick brown fox jumps", "The quick \nbrown fox \njumps"},
        {"wrap -w10", "The quick brown fox jumps\r\n", "The quick \r\nbrown fox \r\njumps\r\n"},
        {"wrap --width 10", "a\rThe quick brown fox", "a\rThe quick \rbrown fox"},
        {"wrap --width=10", "a\r\nb\nThe quick brown fox", "a\r\nb\r\nThe quick \r\nbrown fox"},
        {"wrap -w 5", "abcde \n\nhello world\n", "abcde \n\nhello \nworld\n"},
        {"wrap -w 3", "caf\xE9!", "caf\n\xC3\xA9!"}, // Windows-1252 in, UTF-8 out
        {"wrap -w 2", "\xEF\xBB\xBF\xC3\xA9\xC3\xA9\xC3\xA9", "\xC3\xA9\xC3\xA9\n\xC3\xA9"},
        {"wrap", "", ""},
        {"wrap -w 4", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE6\x96\x87",
         "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE6\x96\x87"},
        {"wrap --columns -w 4", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE6\x96\x87",
         "\xE6\x97\xA5\xE6\x9C\xAC\n\xE8\xAA\x9E\xE6\x96\x87"},
        {"wrap -w 1",
         "e\xCC\x81"
         "e\xCC\x81\xE9",
         "e\xCC\x81\ne\xCC\x81\n\xC3\xA9"},
    };
    for (const auto &row : rows) {
        for (const Feed feed : kFeeds) {
            SCOPED_TRACE(testing::Message()
                         << row.args << " / " << row.input << " / " << int(feed));
            const Outcome o = run(row.args, row.input, feed);
            EXPECT_EQ(o.status, 0);
            EXPECT_EQ(o.out, row.output);
            EXPECT_EQ(o.err, "");
        }
    }
}

// Multi-megabyte input crosses the tool's internal pieces with long lines, CR LF pairs and
// characters split at every kind of boundary; the output must equal wrapping in one go.
TEST_F(FormatTool, LargeInputMatchesWrapText)
{
    std::mt19937_64 rng(3);
    std::string text;
    while (text.size() < (5u << 20))
        text += test::randomText(rng, 1000, 1 + int(rng() % 300)) + "\r\n";
    text += std::string(3 << 20, 'x'); // a last line longer than a piece
    // The tool writes every break in the style of the text's first one.
    const std::string expected = wrapText(text, 60, detectLineBreak(text));
    for (const Feed feed : kFeeds) {
        SCOPED_TRACE(int(feed));
        const Outcome o = run("wrap", text, feed);
        EXPECT_EQ(o.status, 0);
        EXPECT_TRUE(o.out == expected) << "output differs from wrapText";
    }
}

TEST_F(FormatTool, ExitCodesAndMessages)
{
    const struct
    {
        const char *args;
        int status;
        const char *inErr; // expected part of standard error
        const char *inOut; // expected part of standard output
    } rows[] = {
        {"--version", 0, "", "lintrel-format 2.0\n"},
        {"--help", 0, "", "Usage: lintrel-format stats [--columns] [FILE]"},
        {"wrap --help", 0, "", "Usage:"},
        {"stats -- -", 0, "", "Words: 1\n"}, // "--" ends the options
        {"", 2, "missing command", ""},
        {"format", 2, "unknown command 'format'", ""},
        {"wrap -w 0", 2, "invalid line width '0'", ""},
        {"wrap -w -3", 2, "invalid line width '-3'", ""},
        {"wrap --width=12x", 2, "invalid line width '12x'", ""},
        {"wrap -w 99999999999999999999", 2, "invalid line width", ""},
        {"wrap -w", 2, "option '-w' needs a value", ""},
        {"wrap --bogus", 2, "unknown option '--bogus'", ""},
        {"stats -w 5", 2, "unknown option '-w'", ""},
        {"stats --columns -", 0, "", "Longest Line: 4\n"},
        {"stats a b", 2, "unexpected argument 'b'", ""},
        {"stats /no/such/file.txt", 1,
         "lintrel-format: Cannot open file \"/no/such/file.txt\". No such file or directory", ""},
        {"wrap /", 1, "Cannot open file \"/\". Is a directory", ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.args);
        const Outcome o = run(row.args, "text");
        EXPECT_EQ(o.status, row.status);
        EXPECT_NE(o.err.find(row.inErr), std::string::npos) << o.err;
        EXPECT_NE(o.out.find(row.inOut), std::string::npos) << o.out;
        if (row.status != 0) {
            EXPECT_EQ(o.out, "");
        }
    }
}

} // namespace
} // namespace lintrel
