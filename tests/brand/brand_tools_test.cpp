// Publisher tooling: skin files, the brand listing, the document checks and the template.
#include "brand/brand_lint.h"
#include "brand/brand_loader.h"
#include "brand/brand_report.h"
#include "brand/brand_skin.h"
#include "brand/brand_template.h"
#include "util/errors.h"

#include "brand/brand_support.h"

#include <gtest/gtest.h>

#include <set>

#include <zlib.h>

namespace lintrel {
namespace {

std::string tagged(const std::string &name, const std::string &value)
{
    return "<%%" + name + "%%>" + value + "<%%/" + name + "%%>\r\n";
}

std::string zlibOf(const std::string &data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef *>(out.data()), &size,
              reinterpret_cast<const Bytef *>(data.data()), static_cast<uLong>(data.size()), 9);
    out.resize(size);
    return out;
}

TEST(Skin, RoundTripsAStyleSheet)
{
    const std::string qss = "QPushButton { color: #123456; } /* \xc3\xa9 */\n";
    for (const std::string &text : {qss, std::string(), std::string(kMaxSkinBytes, 'a')})
        EXPECT_EQ(decompressSkin(compressSkin(text)), text);
}

TEST(Skin, RejectsBadData)
{
    const std::string good = compressSkin("QWidget { background: red; }");
    struct Row
    {
        const char *name;
        std::string bytes;
    };
    const Row rows[] = {
        {"empty", ""},
        {"plain text", "QWidget { }"},
        {"truncated", good.substr(0, good.size() - 3)},
        {"trailing bytes", good + "x"},
        {"checksum broken", good.substr(0, good.size() - 1) + char(good.back() ^ 1)},
        {"raw deflate without header", good.substr(2)},
        {"unpacks past the cap", zlibOf(std::string(kMaxSkinBytes + 1, ' '))},
    };
    for (const Row &row : rows)
        EXPECT_EQ(decompressSkin(row.bytes), std::nullopt) << row.name;
}

TEST(Skin, RefusesToPackWhatCouldNotBeUnpacked)
{
    EXPECT_THROW(compressSkin(std::string(kMaxSkinBytes + 1, 'a')), Error);
}

TEST(BrandReport, ListsFieldsEntriesAndTheNewsButton)
{
    const std::string doc = tagged("ApplicationName", "App") + tagged("BranderType", "Free") +
                            tagged("MasterNewsBaseURL", "http://n/") + tagged("MasterPublID", "9") +
                            tagged("MakeMoneyButton", "") +
                            tagged("AboutText", "one\r\ntwo\rthree\n") +
                            tagged("Welcome1", "<p>hi</p>") + tagged("Banner1", "b.gif^http://b/") +
                            tagged("Link1", "L^http://l/") + tagged("Link2", "M");
    const std::string expected = "ApplicationName=App\n"
                                 "BranderCode=\n"
                                 "BranderType=Free\n"
                                 "AffiliateURL=\n"
                                 "AffiliateTYPE=\n"
                                 "AffiliateID=\n"
                                 "MasterNewsBaseURL=http://n/\n"
                                 "PlatinumNewsBaseURL=\n"
                                 "GoldNewsBaseURL=\n"
                                 "MasterPublID=9\n"
                                 "PlatinumPublID=\n"
                                 "GoldPublID=\n"
                                 "MakeMoneyButton=\n"
                                 "AppHelpURL=\n"
                                 "CopyrightYears=\n"
                                 "CopyrightCompany=\n"
                                 "AboutText=one\\r\\ntwo\\r\\nthree\\r\\n\n"
                                 "Welcome1=<p>hi</p>\n"
                                 "Banner1=b.gif^http://b/\n"
                                 "Link1=L^http://l/\n"
                                 "Link2=M\n"
                                 "NewsButton=shown\n";
    EXPECT_EQ(brandReport(readBrandDocument(doc)), expected);
    EXPECT_TRUE(brandReport(readBrandDocument("")).ends_with("AboutText=\nNewsButton=hidden\n"));
}

// The checks of doc, without the warning every document lacking a BranderType gets.
std::vector<LintWarning> lintWithoutLevel(const std::string &doc,
                                          const std::set<std::string> &bannerFiles = {})
{
    auto warnings = lintBrandDocument(
        doc, [&](const std::string &name) { return bannerFiles.count(name) != 0; });
    std::erase_if(warnings, [](const LintWarning &w) {
        return w.message.starts_with("BranderType \"\" is not one of");
    });
    return warnings;
}

TEST(BrandLint, WarnsAboutEachKindOfMistake)
{
    struct Row
    {
        const char *name;
        std::string doc;
        std::vector<std::pair<std::string, std::string>> warnings; // field, message part
    };
    const Row rows[] = {
        {"field hidden by order",
         tagged("BranderCode", "C") + tagged("ApplicationName", "A") + tagged("AboutText", "t"),
         {{"BranderCode", "BranderCode is not read: it stands before the end of ApplicationName"}}},
        {"misspelt tag, reported once",
         tagged("AplicationName", "A"),
         {{"AplicationName", "Unknown tag AplicationName (did you mean ApplicationName?)"}}},
        {"unknown tag without a near name",
         tagged("Colour", "red"),
         {{"Colour", "Unknown tag Colour; the loader ignores it."}}},
        {"entry number past the limit",
         tagged("Link17", "x^y"),
         {{"Link17", "only Link1 to Link16 are read"}}},
        {"no closing tag",
         "<%%ApplicationName%%>A\r\n",
         {{"ApplicationName", "ApplicationName has no closing tag <%%/ApplicationName%%>"}}},
        {"gap in the numbering",
         tagged("Welcome1", "a") + tagged("Welcome2", "b") + tagged("Welcome4", "d") +
             tagged("Welcome5", "e"),
         {{"Welcome4", "Welcome4, Welcome5 are never read: the Welcome entries end at Welcome3, "
                       "which is missing."}}},
        {"empty first entry",
         tagged("Link1", "") + tagged("Link2", "L^u"),
         {{"Link2", "Link2 is never read: the Link entries end at Link1, which is empty."}}},
        {"unclosed entry",
         "<%%Banner1%%>a.gif^\r\n" + tagged("Banner2", "b.gif^"),
         {{"Banner2", "Banner2 is never read: the Banner entries end at Banner1, which is not "
                      "closed."},
          {"Banner1", "Banner1 has no closing tag"}}},
        {"entry hidden by order",
         tagged("Welcome2", "b") + tagged("Welcome1", "a") + tagged("Welcome3", "c"),
         {{"Welcome2", "Welcome2 is not read: it stands before the end of Welcome1"},
          {"Welcome3", "Welcome3 is never read: the Welcome entries end at Welcome2, which is "
                       "not read."}}},
        {"banner picture missing or unnamed",
         tagged("Banner1", "a.gif^") + tagged("Banner2", "b.png^u") + tagged("Banner3", "^u") +
             tagged("Banner4", "noext^"),
         {{"Banner2", "Banner2: banner2.dat is missing beside the settings file."},
          {"Banner3", "Banner3 names no picture file"},
          {"Banner4", "the file name noext has no extension"}}},
        {"field written twice",
         tagged("AboutText", "a") + tagged("Welcome1", "w") + tagged("ABOUTTEXT", "b"),
         {{"AboutText", "AboutText appears more than once: only the first is read."}}},
        {"malformed tag",
         "<%% ApplicationName%%>A<%%/ApplicationName%%>\r\n",
         {{"", "Malformed tag <%% ApplicationName%%>"}}},
        {"marker in the wrong case",
         tagged("lastnewsid", "7"),
         {{"LastNewsId", "The marker is written lastnewsid"}}},
        {"zero byte",
         std::string("<%%AboutText%%>a<%%/AboutText%%>\0junk", 37),
         {{"", "A zero byte at offset 32 ends the document"}}},
    };
    for (const Row &row : rows) {
        const auto warnings =
            lintWithoutLevel(row.doc, {"banner1.dat", "banner3.dat", "banner4.dat"});
        ASSERT_EQ(warnings.size(), row.warnings.size())
            << row.name << ": " << (warnings.empty() ? "" : warnings[0].message);
        for (std::size_t i = 0; i < warnings.size(); ++i) {
            EXPECT_EQ(warnings[i].field, row.warnings[i].first) << row.name;
            EXPECT_NE(warnings[i].message.find(row.warnings[i].second), std::string::npos)
                << row.name << ": " << warnings[i].message;
            EXPECT_EQ(warnings[i].message.find_first_of("\r\n"), std::string::npos) << row.name;
        }
    }
}

TEST(BrandLint, ChecksTheBrandLevel)
{
    struct Row
    {
        std::string doc;
        std::vector<std::string> messages;
    };
    const Row rows[] = {
        {"", {"BranderType \"\" is not one of Master, Platinum, Gold, Free"}},
        {tagged("BranderType", "free"), {"BranderType \"free\" is not one of"}},
        {tagged("BranderType", "Gold") + tagged("GoldPublID", "3"),
         {"BranderType Gold needs GoldNewsBaseURL"}},
        {tagged("BranderType", "Free") + tagged("PlatinumNewsBaseURL", "u"),
         {"BranderType Free needs MasterPublID", "BranderType Free needs MasterNewsBaseURL"}},
        {tagged("BranderType", "Platinum") + tagged("PlatinumNewsBaseURL", "u") +
             tagged("PlatinumPublID", "2"),
         {}},
    };
    for (const Row &row : rows) {
        const auto warnings = lintBrandDocument(row.doc, [](const std::string &) { return true; });
        ASSERT_EQ(warnings.size(), row.messages.size()) << row.doc;
        for (std::size_t i = 0; i < warnings.size(); ++i)
            EXPECT_TRUE(warnings[i].message.starts_with(row.messages[i])) << warnings[i].message;
    }
}

TEST(BrandLint, SampleDocumentIsClean)
{
    const auto exists = [](const std::string &) { return true; };
    EXPECT_TRUE(lintBrandDocument(testing::readFixture("brand/sample_brand.txt"), exists).empty());
}

TEST(BrandTemplate, LoadsAndLintsClean)
{
    const std::string doc = brandTemplate();
    const auto warnings =
        lintBrandDocument(doc, [](const std::string &name) { return name == "banner1.dat"; });
    for (const LintWarning &w : warnings)
        ADD_FAILURE() << w.message;
    const BrandLoadResult r = readBrandDocument(doc);
    for (const BrandField &field : kBrandFields) {
        const bool optional = field.tag.starts_with("Platinum") || field.tag.starts_with("Gold");
        EXPECT_EQ((r.settings.*field.member).empty(), optional) << field.tag;
    }
    EXPECT_EQ(r.settings.AffiliateURL, "https://www.example.com/join?aff=12345");
    EXPECT_TRUE(r.newsButtonVisible);
    EXPECT_EQ(r.welcomeEntries.size(), 1u);
    EXPECT_EQ(r.bannerEntries.size(), 1u);
    EXPECT_EQ(r.linkEntries.size(), 2u);
    EXPECT_EQ(doc.find("\n"), doc.find("\r\n") + 1); // CR LF line ends
}

} // namespace
} // namespace lintrel
