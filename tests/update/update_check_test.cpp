// Tests of the descriptor download and the update check against a loopback server.
#include "net/http_client.h"
#include "support/temp_folder.h"
#include "update/download.h"
#include "update/update_check.h"
#include "util/errors.h"

#include "support/loopback_http_server.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

using namespace lintrel;
using lintrel::test::LoopbackHttpServer;
namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class UpdateCheckTest : public testing::Test
{
protected:
    void SetUp() override
    {
        http_.server().Get("/liveupdate/lintrel/mainappupdate.inf",
                           [this](const httplib::Request &, httplib::Response &res) {
                               std::lock_guard guard(mutex_);
                               res.status = status_;
                               res.set_content(descriptor_, "text/plain");
                           });
        http_.start();
    }

    void serve(std::string descriptor, int status = 200)
    {
        std::lock_guard guard(mutex_);
        descriptor_ = std::move(descriptor);
        status_ = status;
    }
    std::string base() const { return http_.url("/liveupdate/lintrel/"); }
    fs::path local() const { return dir_ / "mainappupdate.inf"; }
    void putOldCopy() const { std::ofstream(local()) << "old copy"; }

    test::TempFolder temp_{"update"};
    fs::path dir_ = temp_.path();
    LoopbackHttpServer http_;
    HttpClient client_;
    std::mutex mutex_;
    std::string descriptor_;
    int status_ = 200;
};

} // namespace

TEST_F(UpdateCheckTest, DownloadReplacesTheFileOrLeavesNone)
{
    const std::string url = base() + "mainappupdate.inf";
    serve("[APPLICATION]\r\nVersion=2.1\r\n");
    putOldCopy();
    EXPECT_TRUE(downloadToFile(client_, url, local().string(), kDescriptorMaxSize));
    EXPECT_EQ(readFile(local()), "[APPLICATION]\r\nVersion=2.1\r\n");

    struct Row
    {
        const char *name;
        std::string body;
        int status;
        std::string url;
    };
    const Row rows[] = {
        {"404", "missing", 404, url},
        {"oversized", std::string(kDescriptorMaxSize + 1, 'x'), 200, url},
        {"refused", "", 200, "http://127.0.0.1:1/mainappupdate.inf"},
    };
    for (const Row &row : rows) {
        serve(row.body, row.status);
        putOldCopy();
        EXPECT_FALSE(downloadToFile(client_, row.url, local().string(), kDescriptorMaxSize))
            << row.name;
        EXPECT_FALSE(fs::exists(local())) << row.name;
    }
}

TEST_F(UpdateCheckTest, FileThatCannotBeCreatedThrowsWithTheProgramMessage)
{
    const std::string path = (dir_ / "no-such-dir" / "mainappupdate.inf").string();
    try {
        downloadToFile(client_, base() + "mainappupdate.inf", path, kDescriptorMaxSize);
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + path + "\". No such file or directory");
    }
}

TEST_F(UpdateCheckTest, ChecksTheServedVersionAgainstTheProgramVersion)
{
    struct Row
    {
        std::string descriptor;
        int status;
        bool downloaded, offered;
        std::string version;
    };
    const Row rows[] = {
        {"[APPLICATION]\nVersion=2.0\nName=Lintrel\n", 200, true, false, "2.0"},
        {"[application]\r\nversion = 2.10 \r\nName=Lintrel\r\n", 200, true, true, "2.10"},
        {"[APPLICATION]\nVersion=2.0000001\n", 200, true, false, "2.0000001"},
        {"[APPLICATION]\nVersion=2.0000002\n", 200, true, true, "2.0000002"},
        {"[APPLICATION]\nVersion=soon\n", 200, true, false, "soon"},
        {"[APPLICATION]\nName=Lintrel\n", 200, true, false, ""},
        {"[APPLICATION]\nVersion=9.0\n", 404, false, false, ""},
    };
    for (const Row &row : rows) {
        serve(row.descriptor, row.status);
        const UpdateCheck check = checkForUpdate(client_, dir_.string() + "/", base(), "2.0");
        EXPECT_EQ(check.downloaded, row.downloaded) << row.descriptor;
        EXPECT_EQ(check.offered, row.offered) << row.descriptor;
        EXPECT_EQ(check.version, row.version) << row.descriptor;
        EXPECT_EQ(fs::exists(local()), row.downloaded) << row.descriptor;
    }
    serve("[APPLICATION]\nVersion=2.1\nName=Lintrel Pro\n");
    EXPECT_EQ(checkForUpdate(client_, dir_.string(), base(), "2.0").name, "Lintrel Pro");
}
