// The file layer's writer on real files: links, modes and owners, unwritable files and
// folders, and writes that fail part way.
#include "support/temp_folder.h"
#include "util/atomic_file.h"
#include "util/file_io.h"

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lintrel {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

std::set<std::string> namesIn(const fs::path &dir)
{
    std::set<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

struct stat statOf(const fs::path &path)
{
    struct stat st = {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

// How a call went in a child process: "ok" or the message it threw.
struct ChildRun
{
    bool asNobody = false;    // drop to the unprivileged user first (when running as root)
    rlim_t fileSizeLimit = 0; // writes past this many bytes fail with EFBIG (0: no limit)
};

std::string runInChild(const ChildRun &how, const std::function<void()> &call)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string outcome = "ok";
        if (how.asNobody && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            outcome = "cannot drop privileges";
        if (how.fileSizeLimit != 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{how.fileSizeLimit, how.fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        try {
            if (outcome == "ok")
                call();
        } catch (const std::exception &e) {
            outcome = e.what();
        }
        (void)!::write(pipeFds[1], outcome.data(), outcome.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string outcome;
    char buffer[512];
    for (ssize_t n; (n = readRetrying(pipeFds[0], buffer, sizeof buffer)) > 0;)
        outcome.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return outcome;
}

class AtomicFileTest : public test::TempFolderTest
{
protected:
    std::string path(const std::string &name) const { return (dir_ / name).string(); }
    std::string contentOf(const std::string &name) const { return readFile(path(name)); }
};

TEST_F(AtomicFileTest, NewFilesGetTheGivenModeAndReplacedFilesKeepTheirs)
{
    replaceFile(path("secret"), "key", 0600);
    EXPECT_EQ(statOf(path("secret")).st_mode & 07777, 0600u);

    put("shared", "old");
    ::chmod(path("shared").c_str(), 0640);
    replaceFile(path("shared"), "new");
    EXPECT_EQ(contentOf("shared"), "new");
    EXPECT_EQ(statOf(path("shared")).st_mode & 07777, 0640u);

    replaceFile(path("plain"), "text");
    EXPECT_EQ(statOf(path("plain")).st_mode & 07777, 0666u & ~currentUmask());
    EXPECT_EQ(namesIn(dir_), (std::set<std::string>{"plain", "secret", "shared"}));
}

TEST_F(AtomicFileTest, ALinkStaysALinkAndItsFinalTargetIsReplaced)
{
    fs::create_directory(dir_ / "real");
    put("real/target", "old");
    struct Row
    {
        const char *link;
        const char *pointsTo;
    } rows[] = {
        {"relative", "real/target"},
        {"absolute", nullptr}, // the target's absolute path
        {"chain", "relative"},
    };
    for (const Row &row : rows) {
        const fs::path to = row.pointsTo ? fs::path(row.pointsTo) : dir_ / "real/target";
        fs::create_symlink(to, dir_ / row.link);
        replaceFile(path(row.link), std::string("via ") + row.link);
        EXPECT_TRUE(fs::is_symlink(dir_ / row.link)) << row.link;
        EXPECT_EQ(contentOf("real/target"), std::string("via ") + row.link);
    }
    EXPECT_EQ(namesIn(dir_ / "real"), std::set<std::string>{"target"});

    fs::create_symlink("real/new", dir_ / "dangling");
    replaceFile(path("dangling"), "made");
    EXPECT_TRUE(fs::is_symlink(dir_ / "dangling"));
    EXPECT_EQ(contentOf("real/new"), "made");
}

TEST_F(AtomicFileTest, AReplacedFileKeepsItsOwnerAndGroup)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    put("theirs", "old");
    ASSERT_EQ(::chown(path("theirs").c_str(), kNobody, kNobody), 0);
    replaceFile(path("theirs"), "new");
    EXPECT_EQ(statOf(path("theirs")).st_uid, kNobody);
    EXPECT_EQ(statOf(path("theirs")).st_gid, kNobody);
}

TEST_F(AtomicFileTest, AFileThatMayNotBeWrittenIsNotReplaced)
{
    // Everyone may make files in the folder; only the file itself refuses.
    ::chmod(dir_.c_str(), 0777);
    put("readonly", "old");
    ::chmod(path("readonly").c_str(), 0444);
    const std::string outcome =
        runInChild({.asNobody = true}, [&] { replaceFile(path("readonly"), "new"); });
    EXPECT_EQ(outcome, "Cannot create file \"" + path("readonly") + "\". Permission denied");
    EXPECT_EQ(contentOf("readonly"), "old");
    EXPECT_EQ(namesIn(dir_), std::set<std::string>{"readonly"});
}

TEST_F(AtomicFileTest, AFolderWithoutRoomForATemporaryFileIsWrittenInPlace)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs a folder the test may change but the writer may not";
    // The folder belongs to root and is closed to others; the file is open to everyone.
    ::chmod(dir_.c_str(), 0755);
    put("open", "old text, longer than the new");
    ::chmod(path("open").c_str(), 0666);
    const ino_t inode = statOf(path("open")).st_ino;

    EXPECT_EQ(runInChild({.asNobody = true}, [&] { replaceFile(path("open"), "new"); }), "ok");
    EXPECT_EQ(contentOf("open"), "new");
    EXPECT_EQ(statOf(path("open")).st_ino, inode);

    const std::string outcome = runInChild({.asNobody = true, .fileSizeLimit = 4}, [&] {
        replaceFile(path("open"), "more than four bytes");
    });
    EXPECT_EQ(outcome.rfind("Cannot write file \"" + path("open") + "\". ", 0), 0u) << outcome;
    EXPECT_EQ(namesIn(dir_), std::set<std::string>{"open"});

    // A file that is not there yet cannot be made in such a folder.
    EXPECT_EQ(runInChild({.asNobody = true}, [&] { replaceFile(path("absent"), "x"); }),
              "Cannot create file \"" + path("absent") + "\". Permission denied");
}

TEST_F(AtomicFileTest, AFailedWriteLeavesTheOldFileByteForByte)
{
    const std::string old(10000, 'o');
    put("kept", old);
    const std::string outcome = runInChild(
        {.fileSizeLimit = 4096}, [&] { replaceFile(path("kept"), std::string(1 << 20, 'n')); });
    EXPECT_EQ(outcome.rfind("Cannot write file \"" + path("kept") + "\". File too large", 0), 0u)
        << outcome;
    EXPECT_EQ(contentOf("kept"), old);
    EXPECT_EQ(namesIn(dir_), std::set<std::string>{"kept"});

    // Uncommitted: nothing changes and nothing stays behind.
    {
        AtomicFile file(path("kept"));
        file.write(std::span(reinterpret_cast<const std::uint8_t *>("abc"), 3));
    }
    EXPECT_EQ(contentOf("kept"), old);
    EXPECT_EQ(namesIn(dir_), std::set<std::string>{"kept"});
}

TEST(FileErrorMessage, NamesThePathAbsoluteWithoutDotSteps)
{
    const std::string cwd = fs::current_path().string();
    EXPECT_EQ(FileError(FileOp::Open, "./d/../missing.txt", ENOENT).what(),
              "Cannot open file \"" + cwd + "/missing.txt\". No such file or directory");
    EXPECT_EQ(std::string(FileError(FileOp::Write, "/a/./b", ENOSPC).what()),
              "Cannot write file \"/a/b\". No space left on device");
    EXPECT_THROW(readFile("/no/such/file"), FileError);
}

} // namespace
} // namespace lintrel
