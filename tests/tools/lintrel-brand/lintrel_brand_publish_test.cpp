// lintrel-brand show, lint, skin, new and marker run as a program on files in a temp folder.
#include "brand/brand_document.h"
#include "brand/brand_skin.h"
#include "brand/brand_template.h"
#include "tools/lintrel-brand/lintrel_brand_runner.h"
#include "brand/settings_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace lintrel {
namespace {

namespace fs = std::filesystem;
using test::BrandToolTest;
using test::readAll;
using test::RunResult;
using test::writeAll;

std::string fixture(const std::string &name)
{
    return readAll(fs::path(std::getenv("LINTREL_FIXTURES")) / "brandtool" / name);
}

class BrandPublish : public BrandToolTest
{
protected:
    void writeContainer(const std::string &name, std::string_view document,
                        std::string_view password = SettingsPassword)
    {
        const std::vector<std::uint8_t> bytes = encryptSettings(document, password);
        writeAll(dir / name, std::string(bytes.begin(), bytes.end()));
    }

    DecryptedSettings openContainer(const std::string &name)
    {
        const std::string bytes = readAll(dir / name);
        return decryptSettings(
            std::span(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()));
    }
};

std::string flipLastByte(std::string bytes)
{
    bytes.back() = static_cast<char>(bytes.back() ^ 0x01);
    return bytes;
}

TEST_F(BrandPublish, ShowListsWhatTheProgramReadsFromAnyForm)
{
    const std::string document = fixture("brand.txt");
    const std::string expected = fixture("brand.expected");
    writeAll(dir / "brand.txt", document);
    writeContainer("dbsettings.dat", document);
    writeContainer("other.dat", document, "a publisher's own");
    writeAll(dir / "damaged.dat", flipLastByte(readAll(dir / "dbsettings.dat")));

    struct Row
    {
        std::vector<std::string> args;
        int exitCode;
        const char *errHas; // "" when standard error must stay empty
    };
    const Row rows[] = {
        {{"show", "@brand.txt"}, 0, ""},
        {{"show", "@dbsettings.dat"}, 0, ""},
        {{"show", "@other.dat", "--password=a publisher's own"}, 0, ""},
        // The program reads a container whose code fails: so does show, and says so.
        {{"show", "@damaged.dat"}, 3, "damaged container"},
    };
    for (const Row &row : rows) {
        const RunResult r = run(row.args);
        EXPECT_EQ(r.exitCode, row.exitCode) << row.args[1] << "\n" << r.err;
        EXPECT_EQ(r.out, expected) << row.args[1];
        if (*row.errHas == '\0') {
            EXPECT_EQ(r.err, "") << row.args[1];
        } else {
            EXPECT_NE(r.err.find(row.errHas), std::string::npos) << row.args[1] << "\n" << r.err;
        }
    }
}

TEST_F(BrandPublish, ShowOfAContainerWithAnotherPasswordWarnsAndFindsNoFields)
{
    writeContainer("other.dat", fixture("brand.txt"), "a publisher's own");
    const RunResult r = run({"show", "@other.dat"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.err.find("wrong --password?"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("ApplicationName=\nBranderCode=\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("NewsButton=hidden\n"), std::string::npos) << r.out;

    const RunResult missing = run({"show", "@missing.dat"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("lintrel-brand: Cannot open file"), std::string::npos);
    EXPECT_EQ(missing.out, "");
}

TEST_F(BrandPublish, OutputThatCannotBeWrittenIsAFailure)
{
    writeAll(dir / "brand.txt", fixture("brand.txt"));
    const RunResult full = run({"show", "@brand.txt"}, "/dev/full");
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_NE(full.err.find("cannot write the standard output"), std::string::npos) << full.err;
}

TEST_F(BrandPublish, LintExitsOneWithWarningsAndLooksForBannersBesideTheFile)
{
    writeAll(dir / "brand.txt", fixture("brand.txt"));
    fs::create_directory(dir / "kit");
    writeContainer("kit/dbsettings.dat", brandTemplate());
    writeAll(dir / "banner1.dat", "GIF89a");

    struct Row
    {
        std::vector<std::string> args;
        int exitCode;
        std::string out;
    };
    const std::string kit = (dir / "kit" / "dbsettings.dat").string();
    const Row rows[] = {
        {{"lint", "@brand.txt"},
         1,
         (dir / "brand.txt").string() +
             ": Welcome4 is never read: the Welcome entries end at Welcome3, which is missing.\n"},
        // The template names banner1.dat, which stands beside brand.txt but not in kit/.
        {{"lint", "@kit/dbsettings.dat"},
         1,
         kit + ": Banner1: banner1.dat is missing beside the settings file.\n"},
        {{"lint", "@missing.txt"}, 1, ""},
    };
    for (const Row &row : rows) {
        const RunResult r = run(row.args);
        EXPECT_EQ(r.exitCode, row.exitCode) << row.args[1] << "\n" << r.err;
        EXPECT_EQ(r.out, row.out) << row.args[1];
    }
    writeAll(dir / "kit" / "banner1.dat", "GIF89a");
    const RunResult clean = run({"lint", "@kit/dbsettings.dat"});
    EXPECT_EQ(clean.exitCode, 0) << clean.out << clean.err;
    EXPECT_EQ(clean.out, "");
}

TEST_F(BrandPublish, SkinRoundTripsAndReplacesTheTargetWhole)
{
    const std::string qss = fixture("style.qss");
    writeAll(dir / "style.qss", qss);
    writeAll(dir / "mainskin.dat", "old skin");
    ASSERT_EQ(run({"skin", "@style.qss", "@mainskin.dat"}).exitCode, 0);
    EXPECT_EQ(decompressSkin(readAll(dir / "mainskin.dat")), qss);

    // An empty style sheet is still a valid skin.
    writeAll(dir / "empty.qss", "");
    ASSERT_EQ(run({"skin", "@empty.qss", "@empty.dat"}).exitCode, 0);
    EXPECT_EQ(decompressSkin(readAll(dir / "empty.dat")), "");

    // A style sheet too large to load: refused, the old skin stays.
    writeAll(dir / "huge.qss", std::string(kMaxSkinBytes + 1, 'a'));
    const RunResult huge = run({"skin", "@huge.qss", "@mainskin.dat"});
    EXPECT_EQ(huge.exitCode, 1);
    EXPECT_NE(huge.err.find("lintrel-brand: "), std::string::npos);
    EXPECT_EQ(decompressSkin(readAll(dir / "mainskin.dat")), qss);

    const RunResult missing = run({"skin", "@missing.qss", "@new.dat"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Cannot open file"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "new.dat"));
    EXPECT_EQ(fs::directory_iterator(dir / "tmp"), fs::directory_iterator());
}

TEST_F(BrandPublish, NewWritesTheTemplateAndOverwritesOnlyWhenForced)
{
    ASSERT_EQ(run({"new", "@brand.txt"}).exitCode, 0);
    EXPECT_EQ(readAll(dir / "brand.txt"), brandTemplate());
    EXPECT_EQ(fs::status(dir / "brand.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    writeAll(dir / "brand.txt", "my work");
    const RunResult again = run({"new", "@brand.txt"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("--force"), std::string::npos);
    EXPECT_EQ(readAll(dir / "brand.txt"), "my work");

    ASSERT_EQ(run({"new", "--force", "@brand.txt"}).exitCode, 0);
    EXPECT_EQ(readAll(dir / "brand.txt"), brandTemplate());

    // The template loads as a brand whose news button shows, and lints clean once its banner
    // picture is there.
    const RunResult show = run({"show", "@brand.txt"});
    EXPECT_EQ(show.exitCode, 0);
    EXPECT_NE(show.out.find("\nBranderType=Free\n"), std::string::npos) << show.out;
    EXPECT_NE(show.out.find("\nWelcome1="), std::string::npos) << show.out;
    EXPECT_NE(show.out.find("\nLink2="), std::string::npos) << show.out;
    EXPECT_NE(show.out.find("\nNewsButton=shown\n"), std::string::npos) << show.out;
    writeAll(dir / "banner1.dat", "GIF89a");
    const RunResult lint = run({"lint", "@brand.txt"});
    EXPECT_EQ(lint.exitCode, 0) << lint.out;
}

TEST_F(BrandPublish, MarkerReadsAndWritesThroughAPrivateCopy)
{
    const std::string document = fixture("brand.txt");
    writeContainer("brand.dat", document);
    ::chmod((dir / "brand.dat").c_str(), 0640);
    fs::create_symlink("brand.dat", dir / "link.dat");

    EXPECT_EQ(run({"marker", "@brand.dat"}).out, "5\n");
    ASSERT_EQ(run({"marker", "@brand.dat", "120"}).exitCode, 0);
    ASSERT_EQ(run({"marker", "@link.dat", "121"}).exitCode, 0);
    const RunResult read = run({"marker", "@link.dat"});
    EXPECT_EQ(read.exitCode, 0);
    EXPECT_EQ(read.out, "121\n");

    // One marker line, replaced in place; the brand itself unchanged.
    const DecryptedSettings opened = openContainer("brand.dat");
    ASSERT_EQ(opened.result, DecryptResult::Ok);
    std::vector<std::string> lines = readDocumentLines(document);
    lines.back() = "<%%LastNewsId%%>121<%%/LastNewsId%%>";
    EXPECT_EQ(opened.document, joinDocumentLines(lines));

    EXPECT_TRUE(fs::is_symlink(dir / "link.dat"));
    EXPECT_EQ(fs::status(dir / "brand.dat").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // No plain copy or temporary folder is left anywhere.
    EXPECT_FALSE(fs::exists(dir / "dbsettings.sim"));
    EXPECT_EQ(fs::directory_iterator(dir / "tmp"), fs::directory_iterator());
}

TEST_F(BrandPublish, MarkerStoresNothingInAContainerThatDoesNotOpenCleanly)
{
    writeContainer("good.dat", fixture("brand.txt"));
    writeContainer("other.dat", fixture("brand.txt"), "a publisher's own");
    writeAll(dir / "damaged.dat", flipLastByte(readAll(dir / "good.dat")));
    writeAll(dir / "plain.txt", fixture("brand.txt"));

    struct Row
    {
        std::string file;
        int exitCode;
        const char *readOut; // what a read prints: what the program sees
        const char *errHas;
    };
    const Row rows[] = {
        {"other.dat", 2, "\n", "wrong password"},
        {"plain.txt", 2, "\n", "not a settings container"},
        {"damaged.dat", 3, "5\n", "damaged container"},
        {"missing.dat", 1, "", "Cannot open file"},
    };
    for (const Row &row : rows) {
        const bool exists = fs::exists(dir / row.file);
        const std::string before = exists ? readAll(dir / row.file) : "";
        const RunResult write = run({"marker", "@" + row.file, "130"});
        EXPECT_EQ(write.exitCode, row.exitCode) << row.file << "\n" << write.err;
        EXPECT_NE(write.err.find(row.errHas), std::string::npos) << row.file << "\n" << write.err;
        EXPECT_EQ(exists ? readAll(dir / row.file) : "", before) << row.file;
        EXPECT_EQ(fs::exists(dir / row.file), exists) << row.file;

        const RunResult read = run({"marker", "@" + row.file});
        EXPECT_EQ(read.exitCode, row.exitCode) << row.file;
        EXPECT_EQ(read.out, row.readOut) << row.file;
    }
}

TEST_F(BrandPublish, BadUsageExits64)
{
    const std::vector<std::vector<std::string>> rows = {
        {"show"},
        {"show", "@a", "@b"},
        {"lint", "@a", "--force"},
        {"skin", "@style.qss"},
        {"new", "@a", "--password=x"},
        {"marker", "@a", "1", "2"},
        {"marker", "@a", "--password=x"},
        {"news", "@a"},
        {"news", "@a", "latest"},
        {"news", "@a", "body"},
        {"news", "@a", "list", "7"},
        {"news", "@a", "last", "--timeout=soon"},
        {"news", "@a", "last", "--timeout=-1"},
    };
    for (const auto &args : rows) {
        const RunResult r = run(args);
        EXPECT_EQ(r.exitCode, 64) << args[0] << " " << args.size() << "\n" << r.err;
        EXPECT_NE(r.err.find("Usage: lintrel-brand"), std::string::npos);
    }
}

} // namespace
} // namespace lintrel
