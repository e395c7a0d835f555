// Tests of the lintrel-newsd program: start-up line, options, request and clean stop.
#include "content_folder.h"

#include "net/http_client.h"
#include "raw_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
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
    // Waits at most limit for the end; -1 when the child is still running.
    int waitFor(std::chrono::milliseconds limit)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                return status_;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return -1;
    }
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

TEST(NewsdProgram, StopsAtOnceWhateverTheClientsDo)
{
    using lintrel::test::RawClient;
    lintrel::test::ContentFolder folder;
    Child child({"--content", folder.path(), "--port=0"});
    const std::string first = child.line();
    ASSERT_EQ(first.rfind("listening on http://127.0.0.1:", 0), 0u) << first;
    const int port = std::stoi(first.substr(first.rfind(':') + 1));

    std::vector<std::unique_ptr<RawClient>> clients;
    for (int i = 0; i < 32; ++i) {
        clients.push_back(std::make_unique<RawClient>(port));
        // Half drip their headers, half stop in the middle of a body.
        clients.back()->send(i % 2 ? "POST /news/getlastnews.php HTTP/1.1\r\nHost: x\r\n"
                                   : "POST /news/getlastnews.php HTTP/1.1\r\nHost: x\r\n"
                                     "Content-Length: 1000\r\n\r\npartial");
    }
    clients.push_back(std::make_unique<RawClient>(port)); // and one says nothing
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    const auto before = std::chrono::steady_clock::now();
    child.signal(SIGTERM);
    EXPECT_EQ(child.waitFor(std::chrono::seconds(5)), 0);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - before);
    std::cout << "stopped " << took.count() << " ms after SIGTERM\n";
    for (auto &c : clients)
        EXPECT_TRUE(c->closedWithin(std::chrono::milliseconds(1000)));
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
