// The last-news marker store on real settings files: read, write, and files it must not touch.
#include "brand/brand_document.h"
#include "brand/settings_file.h"
#include "brand/settings_store.h"
#include "support/temp_folder.h"
#include "util/errors.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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
        // The plain copy never outlives a call, whatever the call did.
        EXPECT_FALSE(fs::exists(dir_ / kPlainSettingsFileName));
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

TEST_F(SettingsStore, AStalePlainCopyIsReplacedAndRemoved)
{
    // A plain copy left behind by a crash must not leak into the document or stay around.
    writeAll(dir_ / kPlainSettingsFileName, "<%%LastNewsId%%>999<%%/LastNewsId%%>\r\n");
    writeDocument(kBrand + "<%%LastNewsId%%>4<%%/LastNewsId%%>\r\n");
    EXPECT_EQ(ReadLastNewsId(dir()), "4");
    writeAll(dir_ / kPlainSettingsFileName, "stale");
    EXPECT_EQ(WriteLastNewsId(dir(), "5"), MarkerWrite::Stored);
    EXPECT_EQ(storedDocument(), kBrand + "<%%LastNewsId%%>5<%%/LastNewsId%%>\r\n");
}

TEST_F(SettingsStore, APlainCopyThatCannotBeMadeFailsLoudlyAndKeepsTheFile)
{
    // A directory in the way of the plain copy: no one, root included, can create it.
    writeDocument(kBrand + "<%%LastNewsId%%>4<%%/LastNewsId%%>\r\n");
    const std::string before = readAll(container());
    fs::create_directory(dir_ / kPlainSettingsFileName);
    writeAll(dir_ / kPlainSettingsFileName / "inside", "x");
    EXPECT_THROW(ReadLastNewsId(dir()), Error);
    EXPECT_THROW(WriteLastNewsId(dir(), "5"), Error);
    EXPECT_EQ(readAll(container()), before);
    EXPECT_EQ(readAll(dir_ / kPlainSettingsFileName / "inside"), "x");
    fs::remove_all(dir_ / kPlainSettingsFileName);
}

} // namespace
} // namespace lintrel
