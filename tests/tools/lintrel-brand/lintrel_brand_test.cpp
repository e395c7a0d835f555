// lintrel-brand run as a program: round trips, exit codes, messages and what gets written.
#include "tools/lintrel-brand/lintrel_brand_runner.h"
#include "brand/settings_file.h"

#include <filesystem>
#include <fstream>

namespace lintrel {
namespace {

namespace fs = std::filesystem;

using test::readAll;
using test::RunResult;
using test::writeAll;

class LintrelBrand : public test::BrandToolTest
{
protected:
    void SetUp() override
    {
        BrandToolTest::SetUp();
        plain = dir / "brand.txt";
        writeAll(plain, document);
    }

    void makeContainer(const fs::path &path, std::vector<std::uint8_t> bytes)
    {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    }

    fs::path plain;
    const std::string document = "<AppName>Lintrel Platinum</AppName>\r\n<HelpURL>x</HelpURL>";
};

TEST_F(LintrelBrand, RoundTripsWithOptionsInAnyPosition)
{
    const std::vector<std::vector<std::string>> encrypts = {
        {"encrypt", "@brand.txt", "@c.dat"},
        {"encrypt", "--password", "s3cret", "@brand.txt", "@c.dat"},
        {"encrypt", "@brand.txt", "@c.dat", "--password=s3cret"},
        {"encrypt", "@brand.txt", "--password=", "@c.dat"},
    };
    const std::vector<std::vector<std::string>> decrypts = {
        {"decrypt", "@c.dat", "@out.txt"},
        {"decrypt", "@c.dat", "--password=s3cret", "@out.txt"},
        {"decrypt", "--password", "s3cret", "@c.dat", "@out.txt"},
        {"decrypt", "@c.dat", "@out.txt", "--password", ""},
    };
    for (std::size_t i = 0; i < encrypts.size(); ++i) {
        const RunResult enc = run(encrypts[i]);
        ASSERT_EQ(enc.exitCode, 0) << i << enc.err;
        EXPECT_EQ(fs::file_size(dir / "c.dat"), document.size() + 20);
        const RunResult dec = run(decrypts[i]);
        ASSERT_EQ(dec.exitCode, 0) << i << dec.err;
        EXPECT_EQ(readAll(dir / "out.txt"), document) << i;
        fs::remove(dir / "out.txt");
    }
    // The default password is the program's own: its container opens in the library.
    ASSERT_EQ(run({"encrypt", "@brand.txt", "@c.dat"}).exitCode, 0);
    const std::string bytes = readAll(dir / "c.dat");
    const auto opened = decryptSettings(
        std::span(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()));
    EXPECT_EQ(opened.result, DecryptResult::Ok);
    EXPECT_EQ(opened.document, document);
}

TEST_F(LintrelBrand, ExitCodesAndWhatDecryptWrites)
{
    std::vector<std::uint8_t> good = encryptSettings(document);
    makeContainer(dir / "good.dat", good);
    std::vector<std::uint8_t> damaged = good;
    damaged[12] ^= 0x04;
    makeContainer(dir / "damaged.dat", damaged);
    makeContainer(dir / "other.dat", encryptSettings(document, "not the program's"));
    writeAll(dir / "text.dat", "just some text, not a container");
    std::string damagedText = document;
    damagedText[2] ^= 0x04;

    struct Row
    {
        std::vector<std::string> args;
        int exitCode;
        const char *written; // content of out.txt afterwards, or nullptr for no file
        const char *errHas;
    };
    const Row rows[] = {
        {{"verify", "@good.dat"}, 0, nullptr, ""},
        {{"decrypt", "@good.dat", "@out.txt"}, 0, document.c_str(), ""},
        {{"verify", "@other.dat"}, 2, nullptr, "wrong password"},
        {{"decrypt", "@other.dat", "@out.txt"}, 2, nullptr, "wrong password"},
        {{"decrypt", "@other.dat", "@out.txt", "--force"}, 2, nullptr, "wrong password"},
        {{"verify", "@text.dat"}, 2, nullptr, "not a settings container"},
        {{"verify", "@damaged.dat"}, 3, nullptr, "damaged"},
        {{"decrypt", "@damaged.dat", "@out.txt"}, 3, nullptr, "damaged"},
        {{"decrypt", "--force", "@damaged.dat", "@out.txt"}, 3, damagedText.c_str(), "anyway"},
        {{"verify", "@missing.dat"}, 1, nullptr, "Cannot open file"},
        {{"decrypt", "@good.dat", "@no/out.txt"}, 1, nullptr, "Cannot create file"},
        {{"encrypt", "@missing.txt", "@x.dat"}, 1, nullptr, "Cannot open file"},
    };
    for (const Row &row : rows) {
        const RunResult r = run(row.args);
        const std::string label = row.args[0] + " " + row.args[1];
        EXPECT_EQ(r.exitCode, row.exitCode) << label << "\n" << r.err;
        EXPECT_NE(r.err.find(row.errHas), std::string::npos) << label << "\n" << r.err;
        if (row.written == nullptr) {
            EXPECT_FALSE(fs::exists(dir / "out.txt")) << label;
        } else {
            EXPECT_EQ(readAll(dir / "out.txt"), row.written) << label;
            // A plain document is private whatever the umask.
            EXPECT_EQ(fs::status(dir / "out.txt").permissions(),
                      fs::perms::owner_read | fs::perms::owner_write)
                << label;
        }
        fs::remove(dir / "out.txt");
    }
}

TEST_F(LintrelBrand, BadUsagePrintsUsageAndExits64)
{
    const std::vector<std::vector<std::string>> rows = {
        {},
        {"frobnicate"},
        {"encrypt", "@brand.txt"},
        {"encrypt", "@brand.txt", "@a", "@b"},
        {"verify", "@c.dat", "--pasword=x"},
        {"verify", "@c.dat", "--password"},
        {"verify", "@c.dat", "--force"},
        {"decrypt", "@c.dat", "@out.txt", "--force=yes"},
        {"verify", "@c.dat", "--password", std::string(129, 'p')},
    };
    for (const auto &args : rows) {
        const RunResult r = run(args);
        EXPECT_EQ(r.exitCode, 64) << (args.empty() ? "(none)" : args[0]);
        EXPECT_NE(r.err.find("Usage: lintrel-brand"), std::string::npos);
    }
    const RunResult help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("EX_USAGE"), std::string::npos);
    EXPECT_EQ(run({"decrypt", "-h"}).exitCode, 0);
}

} // namespace
} // namespace lintrel
