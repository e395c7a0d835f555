// Tests of lintrel-format's email commands: the built binary on files and standard input.
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace lintrel {
namespace {

struct Outcome
{
    int status;
    std::string out, err;
};

class EmailTool : public test::TempFolderTest
{
protected:
    std::string slurp(const std::string &name) const
    {
        std::ifstream in(dir_ / name, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // Runs the tool with `args` (file names in them are the test's own), `input` on stdin.
    Outcome run(const std::string &args, std::string_view input = {})
    {
        const std::string in = put("stdin.txt", input);
        const std::string command = "cd '" + dir_.string() + "' && '" + LINTREL_FORMAT_TOOL + "' " +
                                    args + " < '" + in + "' > out 2> err";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp("out"), slurp("err")};
    }
};

TEST_F(EmailTool, Commands)
{
    const struct
    {
        const char *args, *input, *output;
    } rows[] = {
        {"wrap --email -w 20", "> Thanks for the draft, I read it twice.\r\n",
         "> Thanks for the \r\n> draft, I read it \r\n> twice.\r\n"},
        {"wrap -w 24 --email", "Read https://example.com/a/b/c today.",
         "Read \nhttps://example.com/a/b/c \ntoday."},
        {"wrap --email", "-- \nA signature line that is much longer than sixty characters, kept",
         "-- \nA signature line that is much longer than sixty characters, kept"},
        {"reflow -w 20", "one two\nthree four five six\nseven\n",
         "one two three four \nfive six seven\n"},
        {"reflow --width=12 --flowed", "> one two\r\n> three four five\r\n",
         "> one two \r\n> three four \r\n> five\r\n"},
        {"wrap --email --flowed -w 10", "From here on\n", " From here \non\n"},
        {"unflow", "> one \r\n> two\r\nthree \r\nfour", "> one two\r\nthree four"},
        {"reflow -w 5", "caf\xE9 au lait", "caf\xC3\xA9 \nau \nlait"}, // Windows-1252 in
        {"reflow", "", ""},
        {"wrap --email --columns -w 12", "> 我们明天下午三点在会议室",
         "> 我们明天下\n> 午三点在会\n> 议室"},
        {"reflow -w 12", "> 我们明天下午三点在会议室", "> 我们明天下午三点在会\n> 议室"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.args);
        const Outcome o = run(row.args, row.input);
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(o.out, row.output);
        EXPECT_EQ(o.err, "");
    }
}

TEST_F(EmailTool, FlowedRoundTripAndFiles)
{
    const std::string email = "Hi Ann,\n\n> On Monday you wrote that the figures at\n"
                              "> https://example.com/q3/report.html were final.\n\n"
                              "They are, apart from\n- the totals, which are off by 3.5%\n"
                              "  in two places\n\n-- \nBob\n";
    put("a.txt", email);
    const Outcome flowed = run("reflow --flowed -w 30 a.txt");
    ASSERT_EQ(flowed.status, 0);
    put("b.txt", flowed.out);
    EXPECT_EQ(run("unflow b.txt").out,
              "Hi Ann,\n\n> On Monday you wrote that the figures at "
              "https://example.com/q3/report.html were final.\n\n"
              "They are, apart from\n- the totals, which are off by 3.5% in two places\n\n"
              "-- \nBob\n");
    // Every file is one email; a file that cannot be read is reported and the rest are done.
    const Outcome both = run("unflow b.txt missing.txt - b.txt", "x \ny");
    EXPECT_EQ(both.status, 1);
    EXPECT_EQ(both.out, run("unflow b.txt").out + "x y" + run("unflow b.txt").out);
    EXPECT_NE(both.err.find("Cannot open file \"" + (dir_ / "missing.txt").string() + "\""),
              std::string::npos)
        << both.err;
}

TEST_F(EmailTool, UsageErrors)
{
    const struct
    {
        const char *args, *inErr;
    } rows[] = {
        {"reflow -w 0", "invalid line width '0'"},
        {"wrap --email -w", "option '-w' needs a value"},
        {"reflow --email", "unknown option '--email'"},
        {"unflow -w 5", "unknown option '-w'"},
        {"unflow --flowed", "unknown option '--flowed'"},
        {"reflow --bogus", "unknown option '--bogus'"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.args);
        const Outcome o = run(row.args, "text");
        EXPECT_EQ(o.status, 2);
        EXPECT_NE(o.err.find(row.inErr), std::string::npos) << o.err;
        EXPECT_EQ(o.out, "");
    }
    EXPECT_NE(run("reflow --help").out.find("lintrel-format reflow [-w N]"), std::string::npos);
}

} // namespace
} // namespace lintrel
