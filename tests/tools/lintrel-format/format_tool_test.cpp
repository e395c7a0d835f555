// Tests of the lintrel-format tool: the built binary on files, standard input and pipes.
#include "formatter/line_wrap.h"
#include "formatter/text_file.h"
#include "formatter/text_samples.h"
#include "formatter/text_stats.h"

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
        {"wrap --width=10", "a\r\nb\nThe quick brown fox", "a\r\nb\nThe quick \r\nbrown fox"},
        // Each break is kept as it was; a cut takes the break of its own line.
        {"wrap -w 5", "aaaa bbbb\ncccc dddd\r\neeee ffff\rgg",
         "aaaa \nbbbb\ncccc \r\ndddd\r\neeee \rffff\rgg"},
        {"wrap -w 4", "a\rb\nccc ddd", "a\rb\nccc \rddd"},
        {"wrap -w 4", "a\nb\rccc ddd", "a\nb\rccc \nddd"},
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

// Wrapping line by line, each line with its own break style (a last line without one with
// the text's first style).
std::string wrapLineByLine(std::string_view text, int64_t width)
{
    std::string out;
    std::string_view first;
    while (!text.empty()) {
        const size_t end = std::min(text.find_first_of("\r\n"), text.size());
        size_t breakLength = end == text.size() ? 0 : text.substr(end, 2) == "\r\n" ? 2 : 1;
        const std::string_view style = text.substr(end, breakLength);
        if (first.empty())
            first = style;
        out += wrapText(text.substr(0, end), width,
                        breakLength     ? style
                        : first.empty() ? "\n"
                                        : first);
        out += style;
        text.remove_prefix(end + breakLength);
    }
    return out;
}

// Multi-megabyte input crosses the tool's internal pieces with long lines, all three break
// styles mixed, CR LF pairs and characters split at every kind of boundary.
TEST_F(FormatTool, LargeInputMatchesWrappingLineByLine)
{
    std::mt19937_64 rng(3);
    std::string text;
    while (text.size() < (5u << 20))
        text += test::randomText(rng, 1000, 1 + int(rng() % 300)) + "\r\n";
    text += std::string(3 << 20, 'x'); // a last line longer than a piece
    const std::string expected = wrapLineByLine(text, 60);
    for (const Feed feed : kFeeds) {
        SCOPED_TRACE(int(feed));
        const Outcome o = run("wrap", text, feed);
        EXPECT_EQ(o.status, 0);
        EXPECT_TRUE(o.out == expected) << "output differs from wrapping line by line";
    }
}

// A byte that is not UTF-8 megabytes into the text, after ASCII or valid UTF-8, is read as
// Windows-1252 as Import reads it, and the text before it stays as it was.
TEST_F(FormatTool, ALateWindows1252ByteIsDecodedAsImportDecodesIt)
{
    std::string utf8Start, asciiStart;
    while (utf8Start.size() < (3u << 20))
        utf8Start += "caf\xC3\xA9 au lait, s'il vous pla\xC3\xAEt.\r\n";
    while (asciiStart.size() < (3u << 20))
        asciiStart += "plain words on a line of its own\n";
    for (const std::string &start : {utf8Start, asciiStart + utf8Start}) {
        const std::string text = start + "na\xEFve\r\n";
        const std::string decoded = decodeTextBytes(text);
        const TextStats s = computeTextStats(decoded);
        char expected[512];
        std::snprintf(expected, sizeof expected,
                      "Words: %lld\nSentences: %lld\nParagraphs: %lld\nLines: %lld\n"
                      "Characters: %lld\nLongest Line: %lld\n",
                      (long long)s.words, (long long)s.sentences, (long long)s.paragraphs,
                      (long long)s.lines, (long long)s.characters, (long long)s.longestLine);
        for (const Feed feed : {Feed::File, Feed::Pipe}) {
            SCOPED_TRACE(int(feed));
            EXPECT_EQ(run("stats", text, feed).out, expected);
            const Outcome o = run("wrap -w 20", text, feed);
            EXPECT_TRUE(o.out == wrapLineByLine(decoded, 20)) << "wrap differs";
        }
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

// Several operands as wc takes them: each file's counts under its name, then the total; a
// file that cannot be read is reported and the others are still processed.
TEST_F(FormatTool, SeveralFilesOneAfterAnother)
{
    const std::string a = put("a.txt", "one two.\r\nthree\r\n");
    const std::string b = put("b.txt", "four five six seven eight nine ten");
    const std::string missing = (dir_ / "missing.txt").string();
    const std::string tool = std::string("'") + LINTREL_FORMAT_TOOL + "'";
    const auto runTool = [&](const std::string &args) {
        const std::string command = tool + " " + args + " > '" + (dir_ / "out").string() +
                                    "' 2> '" + (dir_ / "err").string() + "'";
        const int raw = std::system(command.c_str());
        return Outcome{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(dir_ / "out"),
                       slurp(dir_ / "err")};
    };

    Outcome o = runTool("stats '" + a + "' '" + missing + "' '" + b + "'");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, a +
                         ":\nWords: 3\nSentences: 2\nParagraphs: 2\nLines: 2\nCharacters: 13\n"
                         "Longest Line: 8\n\n" +
                         b +
                         ":\nWords: 7\nSentences: 1\nParagraphs: 1\nLines: 1\nCharacters: 34\n"
                         "Longest Line: 34\n\n"
                         "total:\nWords: 10\nSentences: 3\nParagraphs: 3\nLines: 3\n"
                         "Characters: 47\nLongest Line: 34\n");
    EXPECT_EQ(o.err,
              "lintrel-format: Cannot open file \"" + missing + "\". No such file or directory\n");

    o = runTool("wrap -w 10 '" + b + "' '" + missing + "' '" + a + "'");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "four five \nsix seven \neight nine \nten" // b has no break: LF
                     "one two.\r\nthree\r\n");
    EXPECT_NE(o.err.find("missing.txt"), std::string::npos);

    o = runTool("stats '" + a + "' '" + b + "'");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "");
}

} // namespace
} // namespace lintrel
