// Tests of the lintrel-newsd program: start-up line, options, request and clean stop.
#include "content_folder.h"

#include "net/http_client.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

// The program as a child with its standard output on a pipe (standard error is kept).
class Child
{
public:
    explicit Child(std::vector<std::string> args)
    {
        args.insert(args.begin(), LINTREL_NEWSD_TOOL);
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        int fds[2];
        if (pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        out_ = fdopen(fds[0], "r");
    }
    ~Child()
    {
        if (pid_ > 0 && status_ < 0) {
            kill(pid_, SIGKILL);
            wait();
        }
        if (out_ != nullptr)
            fclose(out_);
    }
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;

    // The next line of standard output ("" at the end).
    std::string line()
    {
        char buf[4096];
        return out_ != nullptr && fgets(buf, sizeof buf, out_) != nullptr ? buf : "";
    }
    std::string rest()
    {
        std::string all, l;
        while (!(l = line()).empty())
            all += l;
        return all;
    }
    void signal(int sig) { kill(pid_, sig); }
    int wait()
    {
        int status = 0;
        waitpid(pid_, &status, 0);
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return status_;
    }

private:
    pid_t pid_ = -1;
    FILE *out_ = nullptr;
    int status_ = -1;
};

} // namespace

TEST(NewsdProgram, AnnouncesItsPortServesAndStopsOnEachSignal)
{
    lintrel::test::ContentFolder folder;
    folder.write("mainappupdate.inf", "[APPLICATION]\nVersion=2.1\n");
    for (const int sig : {SIGTERM, SIGINT}) {
        Child child({"--content", folder.path(), "--port=0"});
        const std::string first = child.line();
        const std::string prefix = "listening on http://127.0.0.1:";
        ASSERT_EQ(first.rfind(prefix, 0), 0u) << first;
        const std::string port = first.substr(prefix.size(), first.size() - prefix.size() - 1);
        ASSERT_GT(std::stoi(port), 0);

        lintrel::HttpClient http;
        const auto r =
            http.get("http://127.0.0.1:" + port + "/liveupdate/lintrel/mainappupdate.inf", 1024);
        EXPECT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.body, "[APPLICATION]\nVersion=2.1\n");

        child.signal(sig);
        EXPECT_EQ(child.wait(), 0);
    }
}

TEST(NewsdProgram, HelpAndBadUsage)
{
    struct Row
    {
        std::vector<std::string> args;
        int status;
        bool usageOnStdout;
    };
    const Row rows[] = {
        {{"--help"}, 0, true},
        {{"--port", "70000"}, 64, false},
        {{"--port"}, 64, false},
        {{"--colour"}, 64, false},
        {{"--address", "192.0.2.1", "--port", "0"}, 1, false},
    };
    for (const Row &row : rows) {
        Child child(row.args);
        const std::string out = child.rest();
        EXPECT_EQ(child.wait(), row.status) << row.args[0];
        EXPECT_EQ(out.find("Usage: lintrel-newsd") != std::string::npos, row.usageOnStdout) << out;
    }
}
