// The last-news marker store on real settings files: read, write, files it must not touch,
// and writers in several processes at once.
#include "brand/brand_document.h"
#include "brand/brand_last_news.h"
#include "brand/settings_file.h"
#include "brand/settings_store.h"
#include "support/temp_folder.h"
#include "util/errors.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lintrel {
namespace {

namespace fs = std::filesystem;

const std::string kBrand = "<%%ApplicationName%%>Store Test<%%/ApplicationName%%>\r\n"
                           "<%%BranderCode%%>ST<%%/BranderCode%%>\r\n"
                           "<%%BranderType%%>Gold<%%/BranderType%%>\r\n";

std::string readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const fs::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class SettingsStore : public testing::Test
{
protected:
    void TearDown() override
    {
        // The document is never written out in the plain, whatever a call did.
        EXPECT_FALSE(fs::exists(fs::symlink_status(dir_ / "dbsettings.sim")));
    }

    std::string dir() const { return dir_.string() + "/"; }
    fs::path container() const { return dir_ / kSettingsFileName; }

    void writeDocument(const std::string &document, std::string_view password = SettingsPassword)
    {
        const auto bytes = encryptSettings(document, password);
        writeAll(container(), std::string(bytes.begin(), bytes.end()));
    }

    // The document as stored now; fails the test unless the container checks out.
    std::string storedDocument() const
    {
        const std::string bytes = readAll(container());
        const auto plain = decryptSettings(
            std::span(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()));
        EXPECT_EQ(plain.result, DecryptResult::Ok);
        return plain.document;
    }

    test::TempFolder temp_{"store"};
    fs::path dir_ = temp_.path();
};

TEST_F(SettingsStore, WriteReplacesTheMarkerAndReadReturnsIt)
{
    writeDocument(kBrand);
    EXPECT_EQ(ReadLastNewsId(dir()), "");
    EXPECT_EQ(WriteLastNewsId(dir(), "120"), MarkerWrite::Stored);
    EXPECT_EQ(ReadLastNewsId(dir()), "120");
    EXPECT_EQ(WriteLastNewsId(dir(), "121"), MarkerWrite::Stored);
    EXPECT_EQ(ReadLastNewsId(dir()), "121");
    // The brand lines are kept as they were; one marker line, at the end.
    EXPECT_EQ(storedDocument(), kBrand + "<%%LastNewsId%%>121<%%/LastNewsId%%>\r\n");
}

TEST_F(SettingsStore, MarkerLinesAlreadyInTheDocument)
{
    struct Row
    {
        const char *name;
        std::string before;
        std::string id;
        std::string after;    // the stored document after the write
        std::string readBack; // what a read returns afterwards
    };
    const Row rows[] = {
        {"lower-case marker: read finds it, write appends a second",
         kBrand + "<%%lastnewsid%%>7<%%/lastnewsid%%>\r\n", "8",
         kBrand + "<%%lastnewsid%%>7<%%/lastnewsid%%>\r\n<%%LastNewsId%%>8<%%/LastNewsId%%>\r\n",
         "7"},
        {"marker sharing a line with another field: the line is replaced whole",
         "<%%AboutText%%>x<%%/AboutText%%> <%%LastNewsId%%>5<%%/LastNewsId%%>\nlast\n", "6",
         "<%%LastNewsId%%>6<%%/LastNewsId%%>\r\nlast\r\n", "6"},
        {"empty id", kBrand + "<%%LastNewsId%%>3<%%/LastNewsId%%>\r\n", "",
         kBrand + "<%%LastNewsId%%><%%/LastNewsId%%>\r\n", ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        writeDocument(row.before);
        EXPECT_EQ(WriteLastNewsId(dir(), row.id), MarkerWrite::Stored);
        EXPECT_EQ(storedDocument(), row.after);
        EXPECT_EQ(ReadLastNewsId(dir()), row.readBack);
    }
}

TEST_F(SettingsStore, EachWriteUsesAFreshSalt)
{
    writeDocument(kBrand);
    ASSERT_EQ(WriteLastNewsId(dir(), "42"), MarkerWrite::Stored);
    const std::string first = readAll(container());
    const std::string firstDocument = storedDocument();
    ASSERT_EQ(WriteLastNewsId(dir(), "42"), MarkerWrite::Stored);
    EXPECT_NE(readAll(container()), first);
    EXPECT_EQ(storedDocument(), firstDocument);
}

TEST_F(SettingsStore, FilesThatDoNotCheckOutAreLeftAlone)
{
    struct Row
    {
        const char *name;
        std::string bytes;
        std::string readBack;
    };
    auto sealed = encryptSettings(kBrand + "<%%LastNewsId%%>9<%%/LastNewsId%%>\r\n");
    std::string damaged(sealed.begin(), sealed.end());
    damaged[damaged.size() / 2] ^= 0x01;
    const auto foreign = encryptSettings(kBrand, "another password");
    const Row rows[] = {
        // A wrong password decrypts to nothing, so there is no marker to read.
        {"wrong password", std::string(foreign.begin(), foreign.end()), ""},
        // A damaged file still decrypts to its text; only a write would harm it.
        {"damaged", damaged, "9"},
        {"not a container at all", "plain text, not encrypted\r\n", ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        writeAll(container(), row.bytes);
        EXPECT_EQ(ReadLastNewsId(dir()), row.readBack);
        EXPECT_EQ(WriteLastNewsId(dir(), "10"), MarkerWrite::NotStored);
        EXPECT_EQ(readAll(container()), row.bytes);
    }
}

TEST_F(SettingsStore, NoSettingsFileMeansNoMarkerAndNoWrite)
{
    EXPECT_EQ(ReadLastNewsId(dir()), "");
    EXPECT_EQ(WriteLastNewsId(dir(), "5"), MarkerWrite::NoSettingsFile);
    EXPECT_FALSE(fs::exists(container()));
}

TEST_F(SettingsStore, AStalePlainCopyIsLeftAlone)
{
    // An older version decrypted into dbsettings.sim; whatever lies there now is not read,
    // not followed, not replaced and not removed.
    const fs::path outside = dir_ / "outside";
    fs::create_directory(outside);
    writeAll(outside / "target", "the link's target");
    struct Row
    {
        const char *name;
        std::function<void(const fs::path &)> plant;
        std::function<void(const fs::path &)> check;
    };
    const std::string staleMarker = "<%%LastNewsId%%>999<%%/LastNewsId%%>\r\n";
    const Row rows[] = {
        {"a plain file with another marker", [&](const fs::path &p) { writeAll(p, staleMarker); },
         [&](const fs::path &p) { EXPECT_EQ(readAll(p), staleMarker); }},
        {"a symbolic link to another file",
         [&](const fs::path &p) { fs::create_symlink(outside / "target", p); },
         [&](const fs::path &p) {
             EXPECT_TRUE(fs::is_symlink(p));
             EXPECT_EQ(fs::read_symlink(p), outside / "target");
             EXPECT_EQ(readAll(outside / "target"), "the link's target");
         }},
        {"a dangling symbolic link",
         [&](const fs::path &p) { fs::create_symlink(outside / "nothing", p); },
         [&](const fs::path &p) {
             EXPECT_TRUE(fs::is_symlink(p));
             EXPECT_FALSE(fs::exists(outside / "nothing"));
         }},
        {"a folder",
         [&](const fs::path &p) {
             fs::create_directory(p);
             writeAll(p / "inside", "x");
         },
         [&](const fs::path &p) { EXPECT_EQ(readAll(p / "inside"), "x"); }},
    };
    const fs::path stale = dir_ / "dbsettings.sim";
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        row.plant(stale);
        writeDocument(kBrand + "<%%LastNewsId%%>4<%%/LastNewsId%%>\r\n");
        EXPECT_EQ(ReadLastNewsId(dir()), "4");
        ASSERT_TRUE(readSettingsDocument(dir()).has_value());
        EXPECT_EQ(WriteLastNewsId(dir(), "5"), MarkerWrite::Stored);
        EXPECT_EQ(storedDocument(), kBrand + "<%%LastNewsId%%>5<%%/LastNewsId%%>\r\n");
        row.check(stale);
        fs::remove_all(stale);
    }
}

TEST_F(SettingsStore, ASettingsFileThatCannotBeOpenedFailsLoudly)
{
    // A folder in the way of the settings file: no one, root included, can open it as a file.
    fs::create_directory(container());
    writeAll(container() / "inside", "x");
    for (const auto &call : std::initializer_list<std::function<void()>>{
             [&] { readSettingsDocument(dir()); },
             [&] { ReadLastNewsId(dir()); },
             [&] { WriteLastNewsId(dir(), "5"); },
         }) {
        try {
            call();
            ADD_FAILURE() << "no error";
        } catch (const Error &e) {
            EXPECT_NE(std::string(e.what()).find("dbsettings.dat"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(readAll(container() / "inside"), "x");
}

// Runs body in a child process and returns its process id; the child's exit status is what
// body returns (2 when it throws).
pid_t runInChild(const std::function<int()> &body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        int status = 2;
        try {
            status = body();
        } catch (...) {
        }
        ::_exit(status);
    }
    return pid;
}

// The child's exit status; a child still running after a minute is killed (-1).
int exitStatusOf(pid_t pid)
{
    int status = 0;
    for (int waited = 0; pid > 0 && waited < 60000; waited += 10) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (done < 0)
            return -1;
        ::usleep(10 * 1000);
    }
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    return -1;
}

TEST_F(SettingsStore, AWriteWaitsForTheLockAndBuildsOnTheVersionItThenFinds)
{
    writeDocument(kBrand + "<%%AboutText%%>first<%%/AboutText%%>\r\n");
    const std::string first = readAll(container());
    // Another writer holds the lock on the current version...
    const int held = ::open(container().c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const pid_t writer = runInChild([&] {
        ::close(held); // the lock belongs to the open file, which the child shares otherwise
        return WriteLastNewsId(dir(), "77") == MarkerWrite::Stored ? 0 : 1;
    });
    ASSERT_GT(writer, 0);
    // ...so the marker write waits: the file stays as it was while the lock is held.
    ::usleep(300 * 1000);
    EXPECT_EQ(readAll(container()), first);
    // The holder puts a new version in place (by rename, as every writer does), then lets go.
    const std::string second = kBrand + "<%%AboutText%%>second<%%/AboutText%%>\r\n";
    const auto bytes = encryptSettings(second);
    writeAll(dir_ / "next", std::string(bytes.begin(), bytes.end()));
    fs::rename(dir_ / "next", container());
    ::close(held);
    EXPECT_EQ(exitStatusOf(writer), 0);
    // The marker was added to the version the holder left, not to the one it replaced.
    EXPECT_EQ(storedDocument(), second + "<%%LastNewsId%%>77<%%/LastNewsId%%>\r\n");
}

TEST_F(SettingsStore, TwoWritersAndAReaderAtTheSameTime)
{
    writeDocument(kBrand);
    constexpr int kWrites = 25;
    constexpr int kLoads = 150;
    auto writer = [&](int base) {
        return runInChild([&, base] {
            for (int i = 0; i < kWrites; ++i) {
                if (WriteLastNewsId(dir(), std::to_string(base + i)) != MarkerWrite::Stored)
                    return 1;
            }
            return 0;
        });
    };
    auto validMarker = [&](const std::string &marker) {
        if (marker.empty())
            return true;
        const int n = std::stoi(marker);
        return (n >= 1000 && n < 1000 + kWrites) || (n >= 2000 && n < 2000 + kWrites);
    };
    const pid_t reader = runInChild([&] {
        for (int i = 0; i < kLoads; ++i) {
            const auto doc = readSettingsDocument(dir());
            if (!doc || doc->result != DecryptResult::Ok)
                return 3;
            const std::string text = joinDocumentLines(doc->lines);
            if (!text.starts_with(kBrand) || !validMarker(extractLastNewsId(text)))
                return 4;
        }
        return 0;
    });
    const pid_t one = writer(1000);
    const pid_t two = writer(2000);
    EXPECT_EQ(exitStatusOf(one), 0);
    EXPECT_EQ(exitStatusOf(two), 0);
    EXPECT_EQ(exitStatusOf(reader), 0);
    // The brand survived, with one marker line: the last id of whichever writer came last.
    const std::string stored = storedDocument();
    ASSERT_TRUE(stored.starts_with(kBrand)) << stored;
    const std::string marker = stored.substr(kBrand.size());
    EXPECT_TRUE(marker == "<%%LastNewsId%%>1024<%%/LastNewsId%%>\r\n" ||
                marker == "<%%LastNewsId%%>2024<%%/LastNewsId%%>\r\n")
        << marker;
}

} // namespace
} // namespace lintrel
