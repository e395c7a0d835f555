// Runs the built lintrel-brand in a fresh temp folder and collects its exit code and output.
#pragma once

#include "support/temp_folder.h"
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace lintrel::test {

struct RunResult
{
    int exitCode;
    std::string out, err;
};

inline std::string readAll(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeAll(const std::filesystem::path &path, std::string_view text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(text.data(), std::streamsize(text.size()));
}

// Each test gets its own folder `dir`; the tool's TMPDIR is dir/tmp, so a test can check
// that the tool leaves nothing behind there.
class BrandToolTest : public testing::Test
{
protected:
    void SetUp() override { std::filesystem::create_directory(dir / "tmp"); }

    // Runs the built lintrel-brand with args; words "@name" become paths inside dir. Standard
    // output goes to stdoutPath when one is given (out is then empty).
    RunResult run(const std::vector<std::string> &words, const std::string &stdoutPath = {})
    {
        std::vector<std::string> args{LINTREL_BRAND_TOOL};
        for (const std::string &word : words)
            args.push_back(word.size() > 1 && word[0] == '@' ? (dir / word.substr(1)).string()
                                                             : word);
        std::vector<std::string> env{"TMPDIR=" + (dir / "tmp").string()};
        for (char **e = environ; *e != nullptr; ++e)
            if (std::string_view(*e).rfind("TMPDIR=", 0) != 0)
                env.emplace_back(*e);
        const std::string outPath = (dir / ".out").string(), errPath = (dir / ".err").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1,
                                         stdoutPath.empty() ? outPath.c_str() : stdoutPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t pid = 0;
        const int rc = posix_spawn(&pid, args[0].c_str(), &actions, nullptr, pointers(args).data(),
                                   pointers(env).data());
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(rc, 0);
        int status = 0;
        ::waitpid(pid, &status, 0);
        RunResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readAll(outPath),
                         readAll(errPath)};
        std::filesystem::remove(outPath);
        std::filesystem::remove(errPath);
        return result;
    }

    test::TempFolder temp{"brand-tool"};
    std::filesystem::path dir = temp.path();

private:
    static std::vector<char *> pointers(std::vector<std::string> &words)
    {
        std::vector<char *> list;
        for (std::string &word : words)
            list.push_back(word.data());
        list.push_back(nullptr);
        return list;
    }
};

} // namespace lintrel::test
