// Settings-file wrappers and the atomic writer: round trips, results, private plain copy,
// error messages, and a container that survives a failed rewrite.
#include "brand/settings_file.h"
#include "support/temp_folder.h"
#include "util/atomic_file.h"
#include "util/errors.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lintrel {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path &path)
{
    std::string text(fs::file_size(path), '\0');
    std::ifstream(path, std::ios::binary).read(text.data(), std::streamsize(text.size()));
    return text;
}

void writeAll(const fs::path &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

mode_t modeOf(const fs::path &path)
{
    struct stat st
    {
    };
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

std::set<std::string> namesIn(const fs::path &dir)
{
    std::set<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

class SettingsFile : public testing::Test
{
protected:
    test::TempFolder temp{"settings"};
    fs::path dir = temp.path(), dat = dir / "dbsettings.dat", sim = dir / "dbsettings.sim";
    const std::string document =
        "<AppName>Lintrel Gold</AppName>\r\n<BranderType>Gold</BranderType>";
};

TEST_F(SettingsFile, RoundTripThroughFiles)
{
    writeAll(sim, document);
    EncryptSettingsFile(sim, dat);
    EXPECT_EQ(fs::file_size(dat), document.size() + 20);
    fs::remove(sim);
    EXPECT_EQ(DecryptSettingsFile(dat, sim), DecryptResult::Ok);
    EXPECT_EQ(readAll(sim), document);
    EXPECT_EQ(namesIn(dir), (std::set<std::string>{"dbsettings.dat", "dbsettings.sim"}));
}

TEST_F(SettingsFile, PlainCopyIsPrivateEvenWhenReplacingAnotherFile)
{
    writeAll(dat, "");
    const std::vector<std::uint8_t> container = encryptSettings(document);
    std::ofstream(dat, std::ios::binary)
        .write(reinterpret_cast<const char *>(container.data()), std::streamsize(container.size()));

    const mode_t oldMask = ::umask(0);
    writeAll(sim, "an older and much longer plain text that must disappear entirely");
    fs::permissions(sim, fs::perms(0666));
    EXPECT_EQ(DecryptSettingsFile(dat, sim), DecryptResult::Ok);
    EXPECT_EQ(modeOf(sim), 0600u);
    EXPECT_EQ(readAll(sim), document);

    // A planted link is replaced, not followed.
    const fs::path victim = dir / "victim";
    writeAll(victim, "keep");
    fs::remove(sim);
    fs::create_symlink(victim, sim);
    EXPECT_EQ(DecryptSettingsFile(dat, sim), DecryptResult::Ok);
    ::umask(oldMask);
    EXPECT_FALSE(fs::is_symlink(sim));
    EXPECT_EQ(readAll(victim), "keep");
    EXPECT_EQ(modeOf(sim), 0600u);
}

TEST_F(SettingsFile, ResultsTellWrongPasswordFromDamage)
{
    auto store = [&](const std::vector<std::uint8_t> &bytes) {
        std::ofstream(dat, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    };
    store(encryptSettings(document, "another password"));
    EXPECT_EQ(DecryptSettingsFile(dat, sim), DecryptResult::WrongPassword);
    EXPECT_EQ(readAll(sim), "");

    std::vector<std::uint8_t> damaged = encryptSettings(document);
    damaged[10 + 3] ^= 0x01;
    store(damaged);
    EXPECT_EQ(DecryptSettingsFile(dat, sim), DecryptResult::Damaged);
    std::string expected = document;
    expected[3] ^= 0x01;
    EXPECT_EQ(readAll(sim), expected);

    // Not a container at all.
    writeAll(dat, "plain text, not encrypted");
    EXPECT_EQ(DecryptSettingsFile(dat, sim), DecryptResult::WrongPassword);
}

TEST_F(SettingsFile, FilesThatCannotBeOpenedOrCreatedRaiseTheProgramsMessage)
{
    const fs::path missing = dir / "missing.dat";
    const fs::path noFolder = dir / "no" / "such.sim";
    writeAll(dat, std::string(30, 'x'));
    writeAll(sim, document);
    struct Row
    {
        std::function<void()> call;
        std::string message;
    };
    const std::string noEntry = "\". No such file or directory";
    const Row rows[] = {
        {[&] { DecryptSettingsFile(missing, sim); },
         "Cannot open file \"" + missing.string() + noEntry},
        {[&] { EncryptSettingsFile(missing, dat); },
         "Cannot open file \"" + missing.string() + noEntry},
        {[&] { DecryptSettingsFile(dat, noFolder); },
         "Cannot create file \"" + noFolder.string() + noEntry},
        {[&] { EncryptSettingsFile(sim, noFolder); },
         "Cannot create file \"" + noFolder.string() + noEntry},
    };
    for (const Row &row : rows) {
        try {
            row.call();
            ADD_FAILURE() << "no error for " << row.message;
        } catch (const Error &e) {
            EXPECT_EQ(std::string(e.what()), row.message);
        }
    }
}

// Runs call in a child whose files may not grow past 64 KiB (writes beyond fail with
// EFBIG) and returns its exit code: 0 when call raised "Cannot write file \"<path>...",
// 1 when it raised nothing, 2 for another message.
int exitCodeUnderFileSizeLimit(const std::function<void()> &call, const fs::path &path)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            call();
        } catch (const Error &e) {
            const std::string expected = "Cannot write file \"" + path.string() + "\"";
            ::_exit(std::string(e.what()).rfind(expected, 0) == 0 ? 0 : 2);
        }
        ::_exit(1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST_F(SettingsFile, FailedRewriteLeavesTheOldContainerIntact)
{
    writeAll(sim, document);
    EncryptSettingsFile(sim, dat);
    const std::string before = readAll(dat);
    writeAll(sim, std::string(1 << 20, 'z')); // larger than the child may write

    EXPECT_EQ(exitCodeUnderFileSizeLimit([&] { EncryptSettingsFile(sim, dat); }, dat), 0);
    EXPECT_EQ(readAll(dat), before);
    EXPECT_EQ(namesIn(dir), (std::set<std::string>{"dbsettings.dat", "dbsettings.sim"}));
}

TEST_F(SettingsFile, PlainCopyCutShortByAWriteFailureIsRemoved)
{
    writeAll(sim, std::string(1 << 20, 'z'));
    EncryptSettingsFile(sim, dat);
    fs::remove(sim);

    EXPECT_EQ(exitCodeUnderFileSizeLimit([&] { DecryptSettingsFile(dat, sim); }, sim), 0);
    EXPECT_FALSE(fs::exists(sim));
}

TEST_F(SettingsFile, RewriteKeepsTheContainersPermissions)
{
    writeAll(sim, document);
    writeAll(dat, "old");
    fs::permissions(dat, fs::perms(0640));
    EncryptSettingsFile(sim, dat);
    EXPECT_EQ(modeOf(dat), 0640u);
    EXPECT_EQ(fs::file_size(dat), document.size() + 20);
}

TEST_F(SettingsFile, UncommittedAtomicFileLeavesNoTrace)
{
    writeAll(dat, "original");
    {
        AtomicFile file(dat);
        file.write(std::vector<std::uint8_t>(100, 'n'));
        EXPECT_TRUE(fs::exists(file.temporaryPath()));
    }
    EXPECT_EQ(readAll(dat), "original");
    EXPECT_EQ(namesIn(dir), (std::set<std::string>{"dbsettings.dat"}));

    AtomicFile fresh(sim);
    fresh.write(std::vector<std::uint8_t>{'o', 'k'});
    fresh.commit();
    EXPECT_EQ(readAll(sim), "ok");
    EXPECT_EQ(modeOf(sim), 0666u & ~currentUmask());
}

TEST(SettingsMemory, InMemoryFormsReportTheSameResults)
{
    const std::string doc = "<LastNewsId>42</LastNewsId>";
    const std::vector<std::uint8_t> container = encryptSettings(doc);
    EXPECT_EQ(container.size(), doc.size() + 20);
    const DecryptedSettings ok = decryptSettings(container);
    EXPECT_EQ(ok.result, DecryptResult::Ok);
    EXPECT_EQ(ok.document, doc);
    EXPECT_EQ(decryptSettings(container, "wrong").result, DecryptResult::WrongPassword);
    std::vector<std::uint8_t> damaged = container;
    damaged.back() ^= 1;
    const DecryptedSettings bad = decryptSettings(damaged);
    EXPECT_EQ(bad.result, DecryptResult::Damaged);
    EXPECT_EQ(bad.document, doc);
    EXPECT_THROW(encryptSettings(doc, std::string(129, 'p')), Error);
}

} // namespace
} // namespace lintrel
